#include "files/FileList.h"

#include "engine/qt/file_names.h"
#include "files/dir_entries.h"
#include "files/wildcard.h"

namespace {
constexpr int kNameRole = Qt::UserRole;
}

FileList::FileList(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileList::setPath(const QString& folder) {
  path_ = folder;
  refresh();
}

void FileList::setPattern(const QString& pattern) {
  pattern_ = pattern;
  refresh();
}

void FileList::refresh() {
  clear();
  if (path_.isEmpty()) return;
  const files::WildcardSet wanted(pattern_);
  // Adding thousands of rows one by one repaints each time.
  setUpdatesEnabled(false);
  for (const QString& name : files::listFolder(path_, files::EntryKind::Files)) {
    if (!wanted.matches(name)) continue;
    auto* item = new QListWidgetItem(filenames::displayName(name), this);
    item->setData(kNameRole, name);
  }
  setUpdatesEnabled(true);
}

QString FileList::fileName(int row) const {
  const QListWidgetItem* it = item(row);
  return it ? it->data(kNameRole).toString() : QString();
}
