#pragma once
// Reading a folder by its bytes, so that no name is lost (see file_names.h).
#include <QString>
#include <QStringList>

namespace files {

enum class EntryKind { Folders, Files };

// Names (escaped as in file_names.h) of the visible entries of `folder` of
// one kind, sorted by name without regard to case. Hidden names (leading
// ".") are left out; links count as what they point to. An unreadable
// folder gives an empty list.
QStringList listFolder(const QString& folder, EntryKind kind);

// True when `folder` exists, is a folder and can be listed.
bool canList(const QString& folder);

// "/" unless `folder` already ends in "/" (the root does).
QString joinPath(const QString& folder, const QString& name);

}  // namespace files
