#pragma once
// Number texts as the dialogs show and read them.
#include <QString>
#include <cstdint>

namespace numtext {

// Decimal text with a leading blank for zero and positive values, a minus
// sign for negative ones, no separators, no decimals for whole numbers and
// at most seven significant digits (" 640", "-2.5", " 0.3333333").
QString Str(float value);
QString Str(int32_t value);

// The leading number of `text`: leading blanks skipped, blanks inside the
// number ignored, optional sign, digits, one point, an exponent; reading
// stops at the first character that cannot continue it. 0 without a number.
double Val(const QString& text);

// Nearest integer, an exact half going to the even neighbour.
int32_t roundHalfEven(double value);

}  // namespace numtext
