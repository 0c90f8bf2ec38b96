#include "base/paths.h"

SplitResult SplitPath(const QString& fullPath) {
  SplitResult r;
  if (fullPath.isEmpty()) return r;
  const qsizetype slash = fullPath.lastIndexOf('/');
  r.folder = fullPath.left(slash + 1);
  r.fileName = fullPath.mid(slash + 1);
  const qsizetype dot = r.fileName.lastIndexOf('.');
  r.baseName = dot < 0 ? r.fileName : r.fileName.left(dot);
  r.extension = dot < 0 ? QString() : r.fileName.mid(dot);
  return r;
}

QString FolderOfPath(const QString& fullPath) { return SplitPath(fullPath).folder; }
