#pragma once
// File names on Linux are bytes; Qt's own directory listing drops names that
// are not valid UTF-8 and its conversions (QFile::encodeName included)
// replace the bad bytes. These keep every byte, so that a name the open
// dialog lists opens again wherever the path goes: a byte that is not part of valid UTF-8 becomes
// the lone surrogate U+DC80 + byte (the convention of PEP 383), and turns back into the same byte
// on the way out.
#include <QByteArray>
#include <QString>
#include <filesystem>

namespace filenames {

QString nameFromBytes(const QByteArray& bytes);
QByteArray nameToBytes(const QString& name);

// The text to show for a name: escaped bytes read as U+FFFD.
QString displayName(const QString& name);

std::filesystem::path toFsPath(const QString& name);
QString fromFsPath(const std::filesystem::path& path);

}  // namespace filenames
