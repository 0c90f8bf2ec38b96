#pragma once
// Shared by the operation tests: measures of colour seen from a distance.
#include <array>
#include <set>

#include "engine/core/picture.h"
#include "support/pictures.h"

namespace zelmar::test {

inline std::array<double, 3> meanColour(const Picture& p) {
  std::array<double, 3> sum{};
  for (uint32_t y = 0; y < p.height(); ++y)
    for (uint32_t x = 0; x < p.width(); ++x) {
      const Rgb c = pixelAt(p, x, y);
      sum[0] += c.r, sum[1] += c.g, sum[2] += c.b;
    }
  const double n = double(p.width()) * p.height();
  return {sum[0] / n, sum[1] / n, sum[2] / n};
}

// Mean absolute channel difference of the averages of `block` × `block`
// squares: what error diffusion is meant to keep.
inline double blockMeanError(const Picture& a, const Picture& b, uint32_t block) {
  double sum = 0;
  int n = 0;
  for (uint32_t by = 0; by + block <= a.height(); by += block)
    for (uint32_t bx = 0; bx + block <= a.width(); bx += block) {
      std::array<double, 3> d{};
      for (uint32_t y = by; y < by + block; ++y)
        for (uint32_t x = bx; x < bx + block; ++x) {
          const Rgb p = pixelAt(a, x, y), q = pixelAt(b, x, y);
          d[0] += p.r - q.r, d[1] += p.g - q.g, d[2] += p.b - q.b;
        }
      for (double v : d) sum += std::abs(v) / (block * block);
      n += 3;
    }
  return sum / n;
}

inline size_t colourCount(const Picture& p) {
  std::set<uint32_t> seen;
  for (uint32_t y = 0; y < p.height(); ++y)
    for (uint32_t x = 0; x < p.width(); ++x) {
      const Rgb c = pixelAt(p, x, y);
      seen.insert(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
    }
  return seen.size();
}

}  // namespace zelmar::test
