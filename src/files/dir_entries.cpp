#include "files/dir_entries.h"

#include <dirent.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "engine/qt/file_names.h"

namespace files {
namespace {

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

DirHandle openFolder(const QString& folder) {
  return DirHandle(opendir(filenames::nameToBytes(folder).constData()));
}

// The entry's type comes with it on most file systems; only links and
// unknown types cost a look at the file itself (which follows links, so a
// broken link is neither kind).
bool isKind(const std::filesystem::path& folder, const dirent& e, EntryKind kind) {
  if (e.d_type == DT_DIR) return kind == EntryKind::Folders;
  if (e.d_type == DT_REG) return kind == EntryKind::Files;
  if (e.d_type != DT_LNK && e.d_type != DT_UNKNOWN) return false;
  std::error_code ec;
  const auto st = std::filesystem::status(folder / e.d_name, ec);
  if (ec) return false;
  return kind == EntryKind::Folders ? std::filesystem::is_directory(st)
                                    : std::filesystem::is_regular_file(st);
}

// Without regard to case; names equal that way keep a fixed order by their
// exact text.
void sortNames(QStringList& names) {
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
  });
}

}  // namespace

bool canList(const QString& folder) { return !folder.isEmpty() && openFolder(folder) != nullptr; }

QString joinPath(const QString& folder, const QString& name) {
  return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

QStringList listFolder(const QString& folder, EntryKind kind) {
  QStringList names;
  DirHandle dir = openFolder(folder);
  if (!dir) return names;
  const std::filesystem::path base = filenames::toFsPath(folder);
  while (const dirent* e = readdir(dir.get())) {
    const std::string name = e->d_name;
    if (name.empty() || name[0] == '.') continue;
    if (isKind(base, *e, kind))
      names << filenames::nameFromBytes(QByteArray(name.data(), qsizetype(name.size())));
  }
  sortNames(names);
  return names;
}

}  // namespace files
