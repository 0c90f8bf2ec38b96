#include "files/DriveList.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

#include "engine/qt/file_names.h"

namespace {
constexpr int kPathRole = Qt::UserRole;

bool holds(const QString& drive, const QString& folder) {
  return folder == drive || folder.startsWith(drive.endsWith(u'/') ? drive : drive + u'/');
}
}  // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  QStringList mounts;
  for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
    if (v.isValid() && v.isReady()) mounts << v.rootPath();
  for (const QString& d : orderDrives(mounts, QDir::homePath()))
    addItem(filenames::displayName(d), d);
}

QStringList DriveList::orderDrives(const QStringList& mountPoints, const QString& home) {
  QStringList others;
  for (const QString& m : mountPoints)
    if (m != u"/" && m != home && !others.contains(m)) others << m;
  others.sort();
  QStringList out{QStringLiteral("/")};
  if (!home.isEmpty() && home != u"/") out << home;
  return out + others;
}

QString DriveList::drive() const { return currentData(kPathRole).toString(); }

void DriveList::showDriveOf(const QString& folder) {
  int best = -1;
  qsizetype bestLen = -1;
  for (int i = 0; i < count(); ++i) {
    const QString d = itemData(i, kPathRole).toString();
    if (holds(d, folder) && d.size() > bestLen) {
      best = i;
      bestLen = d.size();
    }
  }
  const QSignalBlocker quiet(this);
  setCurrentIndex(best);
}
