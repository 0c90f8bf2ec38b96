#include "app/settings.h"

#include <QDir>
#include <algorithm>
#include <climits>
#include <cstdint>

#include "app/ini_file.h"
#include "base/viewer_context.h"
#include "engine/qt/file_names.h"

namespace app {
namespace {

const QString kSection = QStringLiteral("VANTREL");
const QString kLanguage = QStringLiteral("LANGUAGE");
const QString kFiles = QStringLiteral("FILES");

// A remembered folder longer than a path can be is not a folder; cut it at
// a character boundary so it cannot leave half a UTF-8 sequence behind.
QString folderFromBytes(const QByteArray& bytes) {
  QByteArray cut = bytes.left(PATH_MAX - 1);
  while (!cut.isEmpty() && cut.size() < bytes.size() && (uchar(bytes[cut.size()]) & 0xC0) == 0x80)
    cut.chop(1);
  // Folder names are bytes: ones that are not UTF-8 must come back as they were.
  return filenames::nameFromBytes(cut);
}

// $XDG_CONFIG_HOME/zelmar32.ini (default ~/.config/zelmar32.ini).
QString settingsPath() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  // The base-directory rules ignore a relative value.
  if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + "/.config";
  return base + "/zelmar32.ini";
}

// The "LANGUAGE" value as the profile functions read integers: leading
// decimal digits, 0 without them or when negative; too large for 16 bits
// reads as 1 (Chinese).
int16_t languageFromText(const QByteArray& text) {
  const QByteArray t = text.trimmed();
  qint64 value = 0;
  int i = 0;
  for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
    value = value * 10 + (t[i] - '0');
    if (value > INT16_MAX) return 1;
  }
  return int16_t(value);
}

// Characters of `text` before its first NUL, or its whole length.
int16_t CutAtNull(const QString& text) {
  const qsizetype nul = text.indexOf(QChar(0));
  const qsizetype n = nul < 0 ? text.size() : nul;
  return int16_t(std::min<qsizetype>(n, INT16_MAX));
}

}  // namespace

void ReadSettings(ViewerContext& context) {
  const IniFile ini = IniFile::load(settingsPath());
  const auto lang = ini.value(kSection, kLanguage);
  context.setUseChinese(lang ? languageFromText(*lang) : int16_t(1));
  const QString folder = folderFromBytes(ini.value(kSection, kFiles).value_or(QByteArray()));
  context.setStartFolder(folder.left(CutAtNull(folder)).trimmed());
}

void WriteSettings(const ViewerContext& context) {
  const QString path = settingsPath();
  IniFile ini = IniFile::load(path);
  const int16_t language = context.UseChinese();
  const QByteArray lang =
      (language < 0 ? QByteArray() : QByteArray(" ")) + QByteArray::number(language);
  ini.setValue(kSection, kLanguage, lang);
  // A folder name with a line break cannot be stored safely; the old value stays.
  ini.setValue(kSection, kFiles, filenames::nameToBytes(context.StartFolder()));
  ini.save(path);
}

}  // namespace app
