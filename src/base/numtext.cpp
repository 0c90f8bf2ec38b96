#include "base/numtext.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace numtext {

QString Str(float value) {
  if (std::isnan(value)) return QStringLiteral(" NaN");
  // %g with 7 digits gives the shortest of fixed and exponent notation.
  QString digits = QString::asprintf("%.7G", double(value));
  if (digits == "-0") digits = "0";
  return value >= 0 || digits == "0" ? " " + digits : digits;
}

QString Str(int32_t value) {
  return value >= 0 ? " " + QString::number(value) : QString::number(value);
}

double Val(const QString& text) {
  QString number;
  int i = 0;
  const int n = int(text.size());
  auto skipBlanks = [&] {
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  };
  auto digitsInto = [&] {
    bool any = false;
    for (skipBlanks(); i < n && text[i].isDigit() && text[i].unicode() < 128; skipBlanks()) {
      number += text[i++];
      any = true;
    }
    return any;
  };
  skipBlanks();
  if (i < n && (text[i] == '+' || text[i] == '-')) number += text[i++];
  bool mantissa = digitsInto();
  if (i < n && text[i] == '.') {
    number += text[i++];
    mantissa = digitsInto() || mantissa;
  }
  if (!mantissa) return 0;
  if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    QString exponent = "e";
    int j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
    const int before = j;
    while (j < n && text[j].isDigit() && text[j].unicode() < 128) exponent += text[j++];
    if (j > before) number += exponent;
  }
  bool ok = false;
  const double v = QLocale::c().toDouble(number, &ok);
  if (ok) return v;
  // Only an exponent out of range fails here.
  return number.startsWith('-') ? -std::numeric_limits<double>::infinity()
                                : std::numeric_limits<double>::infinity();
}

int32_t roundHalfEven(double value) {
  if (std::isnan(value)) return 0;
  const double limit = double(std::numeric_limits<int32_t>::max());
  if (value >= limit) return std::numeric_limits<int32_t>::max();
  if (value <= -limit - 1) return std::numeric_limits<int32_t>::min();
  return int32_t(std::nearbyint(value));  // the default rounding mode is to even
}

}  // namespace numtext
