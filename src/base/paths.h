#pragma once
// Splitting a full path; "/" is the only separator.
#include <QString>

struct SplitResult {
  QString folder;     // up to and including the last "/", or empty
  QString fileName;   // after the last "/"
  QString baseName;   // file name before its last "."
  QString extension;  // from the last "." on, dot included
};

SplitResult SplitPath(const QString& fullPath);
// The folder part of SplitPath.
QString FolderOfPath(const QString& fullPath);
