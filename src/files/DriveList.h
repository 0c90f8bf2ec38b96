#pragma once
// The drive list box: the mounted volumes that are ready, "/" first, then
// the user's home folder, then the others by path.
#include <QComboBox>
#include <QString>
#include <QStringList>

class DriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(QWidget* parent = nullptr);

  // The chosen volume's folder.
  QString drive() const;
  // Shows the entry that holds `folder` (the longest matching one) without
  // announcing a change.
  void showDriveOf(const QString& folder);

  // The entries in list order, built from mount points.
  static QStringList orderDrives(const QStringList& mountPoints, const QString& home);
};
