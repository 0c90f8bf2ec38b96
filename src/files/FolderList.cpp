#include "files/FolderList.h"

#include <QDir>
#include <QStyle>

#include "engine/qt/file_names.h"
#include "files/dir_entries.h"

namespace {

constexpr int kPathRole = Qt::UserRole;

QString normalFolder(const QString& folder) {
  if (folder.isEmpty()) return {};
  QString absolute =
      folder.startsWith(u'/') ? folder : files::joinPath(QDir::currentPath(), folder);
  return QDir::cleanPath(absolute);  // drops a trailing "/" except on the root
}

}  // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { setPath(itemPath(item)); });
}

QString FolderList::itemPath(const QListWidgetItem* item) {
  return item ? item->data(kPathRole).toString() : QString();
}

bool FolderList::setPath(const QString& folder) {
  const QString target = normalFolder(folder);
  if (!files::canList(target)) return false;
  path_ = target;
  fill();
  emit pathChanged(path_);
  return true;
}

void FolderList::fill() {
  clear();
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const auto add = [&](const QString& text, const QString& path, int depth, const QIcon& icon) {
    auto* item =
        new QListWidgetItem(icon, QString(depth * 2, u' ') + filenames::displayName(text), this);
    item->setData(kPathRole, path);
    item->setToolTip(filenames::displayName(path));
  };

  add(QStringLiteral("/"), QStringLiteral("/"), 0, open);
  QString walked;
  const QStringList parts = path_.split(u'/', Qt::SkipEmptyParts);
  for (int i = 0; i < parts.size(); ++i) {
    walked += u'/' + parts[i];
    add(parts[i], walked, i + 1, open);
  }
  setCurrentRow(count() - 1);
  for (const QString& name : files::listFolder(path_, files::EntryKind::Folders))
    add(name, files::joinPath(path_, name), int(parts.size()) + 1, closed);
}
