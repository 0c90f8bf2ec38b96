#include "engine/qt/file_names.h"

namespace filenames {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence starting at `i`, or 0.
int validSequence(const QByteArray& b, qsizetype i) {
  const auto byte = [&](qsizetype k) { return uint8_t(b[k]); };
  const uint8_t c = byte(i);
  if (c < 0x80) return 1;
  int len = 0;
  uint32_t min = 0;
  if ((c & 0xE0) == 0xC0) {
    len = 2;
    min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3;
    min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4;
    min = 0x10000;
  } else
    return 0;
  if (i + len > b.size()) return 0;
  uint32_t cp = c & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  // Overlong forms, encoded surrogates and values past Unicode would not
  // come back as the same bytes.
  if (cp < min || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return 0;
  return len;
}

bool isEscape(char16_t u) { return u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF; }

}  // namespace

QString nameFromBytes(const QByteArray& bytes) {
  QString out;
  out.reserve(bytes.size());
  for (qsizetype i = 0; i < bytes.size();) {
    const int len = validSequence(bytes, i);
    if (len == 0) {
      out += QChar(char16_t(kEscapeBase + uint8_t(bytes[i])));
      ++i;
    } else {
      out += QString::fromUtf8(bytes.constData() + i, len);
      i += len;
    }
  }
  return out;
}

QByteArray nameToBytes(const QString& name) {
  QByteArray out;
  out.reserve(name.size());
  qsizetype runStart = 0;
  const auto flush = [&](qsizetype end) {
    if (end > runStart) out += QStringView(name).mid(runStart, end - runStart).toUtf8();
  };
  for (qsizetype i = 0; i < name.size(); ++i) {
    const char16_t u = name[i].unicode();
    // An escape is a lone low surrogate: one preceded by a high surrogate is
    // half of a real character.
    if (isEscape(u) && !(i > 0 && name[i - 1].isHighSurrogate())) {
      flush(i);
      out += char(u - kEscapeBase);
      runStart = i + 1;
    }
  }
  flush(name.size());
  return out;
}

QString displayName(const QString& name) {
  QString out = name;
  for (qsizetype i = 0; i < out.size(); ++i)
    if (isEscape(out[i].unicode()) && !(i > 0 && out[i - 1].isHighSurrogate()))
      out[i] = QChar::ReplacementCharacter;
  return out;
}

std::filesystem::path toFsPath(const QString& name) {
  const QByteArray bytes = nameToBytes(name);
  return std::filesystem::path(std::string(bytes.constData(), size_t(bytes.size())));
}

QString fromFsPath(const std::filesystem::path& path) {
  const std::string& s = path.native();
  return nameFromBytes(QByteArray(s.data(), qsizetype(s.size())));
}

}  // namespace filenames
