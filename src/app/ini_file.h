#pragma once
// A small INI file editor that keeps every byte it does not own: other
// sections, keys, comments and odd lines survive a write unchanged.
// Section and key names compare without regard to case; blanks around
// names and values are ignored on reading.
#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

class IniFile {
 public:
  // Reads `path`; a missing or unreadable file reads as empty.
  static IniFile load(const QString& path);

  // The value of `key` in `section`, or nothing when either is missing.
  std::optional<QByteArray> value(const QString& section, const QString& key) const;

  // Replaces the key's line, or adds it at the end of its section (the
  // section is added at the end of the file when missing). Returns false,
  // changing nothing, for a value holding a line break or NUL, which would
  // spill into lines of their own.
  bool setValue(const QString& section, const QString& key, const QByteArray& value);

  // Writes atomically (temporary file + rename), creating the folder.
  bool save(const QString& path) const;

  QByteArray bytes() const;

 private:
  struct Found {
    int sectionLine = -1;  // the [section] line
    int sectionEnd = -1;   // one past its last non-blank line
    int keyLine = -1;
  };
  Found find(const QString& section, const QString& key) const;

  std::vector<QByteArray> lines_;  // without their '\n'
};
