#include "engine/qt/display_adjust.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zelmar::qt {

ToneTable makeToneTable(int32_t brightness, int32_t contrast) {
  const double b = std::clamp(brightness, -1000, 1000) * 255.0 / 1000.0;
  // tan maps -1000..1000 onto a slope of 0..infinity with 0 -> 1; stop short
  // of the pole so 1000 is a steep threshold rather than a division by zero.
  const double c = std::clamp(contrast, -1000, 999) / 1000.0;
  const double slope = std::tan((c + 1.0) * std::numbers::pi / 4.0);
  ToneTable table{};
  for (int v = 0; v < 256; ++v) {
    const double out = (v - 127.5) * slope + 127.5 + b;
    table[size_t(v)] = uint8_t(std::clamp(std::lround(out), 0L, 255L));
  }
  return table;
}

}  // namespace zelmar::qt
