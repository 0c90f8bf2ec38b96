#pragma once
// Splitting a full path; "/" is the only separator.
#include <QString>

namespace Module1 {

struct SplitResult {
  QString folder;    // up to and including the last "/", or empty
  QString fileName;  // after the last "/"
  QString baseName;  // file name before its last "."
  QString extension; // from the last "." on, dot included
};

// Returns the folder; fills the other three parts.
QString SplitPath(const QString& fullPath, QString& fileName, QString& baseName,
                  QString& extension);
SplitResult SplitPath(const QString& fullPath);

QString FolderOfPath(const QString& fullPath);

}  // namespace Module1
