#pragma once
// The folder list box: the current folder's ancestors from "/" down to it,
// then its sub-folders. Double-click enters a folder.
#include <QListWidget>
#include <QString>

class FolderList : public QListWidget {
  Q_OBJECT

 public:
  explicit FolderList(QWidget* parent = nullptr);

  // Points the list at `folder` (absolute or relative to the working folder,
  // with or without a trailing "/"). False, and nothing changes, when the
  // folder does not exist or cannot be read.
  bool setPath(const QString& folder);
  QString path() const { return path_; }
  // The folder an item stands for.
  static QString itemPath(const QListWidgetItem* item);

 signals:
  // Every successful setPath, by the user or by code.
  void pathChanged(const QString& folder);

 private:
  void fill();

  QString path_;
};
