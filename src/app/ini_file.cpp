#include "app/ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QByteArray trimmedLine(const QByteArray& line) { return line.trimmed(); }

bool isComment(const QByteArray& t) { return t.startsWith(';') || t.startsWith('#'); }

// The section name of a "[name]" line, or nothing.
std::optional<QString> sectionName(const QByteArray& t) {
  if (!t.startsWith('[')) return std::nullopt;
  const int close = t.indexOf(']');
  if (close < 0) return std::nullopt;
  return QString::fromUtf8(t.mid(1, close - 1)).trimmed();
}

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

IniFile IniFile::load(const QString& path) {
  IniFile ini;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return ini;
  const QByteArray all = f.readAll();
  if (all.isEmpty()) return ini;
  for (const QByteArray& line : all.split('\n')) ini.lines_.push_back(line);
  // split() leaves an empty piece after a final line break.
  if (all.endsWith('\n')) ini.lines_.pop_back();
  return ini;
}

IniFile::Found IniFile::find(const QString& section, const QString& key) const {
  Found found;
  bool inside = false;
  for (int i = 0; i < int(lines_.size()); ++i) {
    const QByteArray t = trimmedLine(lines_[size_t(i)]);
    if (const auto name = sectionName(t)) {
      if (inside) break;  // our section ended
      // Only the first section of that name counts, as with the profile functions.
      if (found.sectionLine < 0 && sameName(*name, section)) {
        inside = true;
        found.sectionLine = i;
        found.sectionEnd = i + 1;
      }
      continue;
    }
    if (!inside || t.isEmpty()) continue;
    found.sectionEnd = i + 1;
    if (isComment(t) || found.keyLine >= 0) continue;
    const int eq = t.indexOf('=');
    if (eq > 0 && sameName(QString::fromUtf8(t.left(eq)).trimmed(), key)) found.keyLine = i;
  }
  return found;
}

std::optional<QByteArray> IniFile::value(const QString& section, const QString& key) const {
  const Found f = find(section, key);
  if (f.keyLine < 0) return std::nullopt;
  const QByteArray t = trimmedLine(lines_[size_t(f.keyLine)]);
  return t.mid(t.indexOf('=') + 1).trimmed();
}

bool IniFile::setValue(const QString& section, const QString& key, const QByteArray& value) {
  if (value.contains('\n') || value.contains('\r') || value.contains('\0')) return false;
  const Found f = find(section, key);
  if (f.keyLine >= 0) {
    // Keep the key as the file spells it.
    const QByteArray& old = lines_[size_t(f.keyLine)];
    lines_[size_t(f.keyLine)] = old.left(old.indexOf('=')).trimmed() + '=' + value;
    return true;
  }
  const QByteArray line = key.toUtf8() + '=' + value;
  if (f.sectionLine >= 0) {
    lines_.insert(lines_.begin() + f.sectionEnd, line);
    return true;
  }
  lines_.push_back('[' + section.toUtf8() + ']');
  lines_.push_back(line);
  return true;
}

QByteArray IniFile::bytes() const {
  QByteArray out;
  for (const QByteArray& line : lines_) out += line + '\n';
  return out;
}

bool IniFile::save(const QString& path) const {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  const QByteArray out = bytes();
  if (f.write(out) != out.size()) {
    f.cancelWriting();
    return false;
  }
  return f.commit();
}
