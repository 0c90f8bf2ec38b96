#pragma once
// The file list box: the plain, visible files of one folder whose names
// match the pattern (see wildcard.h), sorted by name without regard to case.
// Single selection; count() is the list's own.
#include <QListWidget>
#include <QString>

class FileList : public QListWidget {
  Q_OBJECT

 public:
  explicit FileList(QWidget* parent = nullptr);

  // Setting the path or the pattern lists the folder anew.
  void setPath(const QString& folder);
  QString path() const { return path_; }
  void setPattern(const QString& pattern);
  QString pattern() const { return pattern_; }
  void refresh();

  // The file name of a row, exactly as on disk (escaped as in
  // file_names.h); empty for a row that does not exist.
  QString fileName(int row) const;

 private:
  QString path_;
  QString pattern_ = QStringLiteral("*.*");
};
