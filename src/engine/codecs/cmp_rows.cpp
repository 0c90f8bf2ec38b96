#include "engine/codecs/cmp_rows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace zelmar::cmp::detail {
namespace {

inline uint8_t medianEdge(uint8_t a, uint8_t b, uint8_t c) {
  const uint8_t lo = std::min(a, b), hi = std::max(a, b);
  // Between the two, a + b - c stays within 0..255, so 8-bit wrap is exact.
  // Written as two selects so the serial decoding loop gets no branches.
  uint8_t p = uint8_t(a + b - c);
  p = c >= hi ? lo : p;
  p = c <= lo ? hi : p;
  return p;
}

using Histogram = std::array<uint64_t, 256>;

double entropyBits(const Histogram& h) {
  uint64_t total = 0;
  for (uint64_t n : h) total += n;
  double bits = 0;
  for (uint64_t n : h)
    if (n) bits -= double(n) * std::log2(double(n) / double(total));
  return bits;
}

}  // namespace

void extractPlane(const uint8_t* __restrict rgb, uint32_t width, int channel, bool minusGreen,
                  uint8_t* __restrict plane) {
  if (minusGreen && channel != 1) {
    for (uint32_t x = 0; x < width; ++x) plane[x] = uint8_t(rgb[3 * x + channel] - rgb[3 * x + 1]);
  } else {
    for (uint32_t x = 0; x < width; ++x) plane[x] = rgb[3 * x + channel];
  }
}

void storePlane(const uint8_t* __restrict plane, uint32_t width, int channel, bool plusGreen,
                uint8_t* __restrict rgb) {
  if (plusGreen && channel != 1) {
    for (uint32_t x = 0; x < width; ++x) rgb[3 * x + channel] = uint8_t(plane[x] + rgb[3 * x + 1]);
  } else {
    for (uint32_t x = 0; x < width; ++x) rgb[3 * x + channel] = plane[x];
  }
}

void predictRow(const uint8_t* __restrict cur, const uint8_t* __restrict above, uint32_t width,
                uint8_t* __restrict residuals) {
  if (!above) {
    residuals[0] = cur[0];
    for (uint32_t x = 1; x < width; ++x) residuals[x] = uint8_t(cur[x] - cur[x - 1]);
    return;
  }
  residuals[0] = uint8_t(cur[0] - above[0]);
  // Every input is known here, so this loop vectorises (decoding cannot).
  for (uint32_t x = 1; x < width; ++x)
    residuals[x] = uint8_t(cur[x] - medianEdge(cur[x - 1], above[x], above[x - 1]));
}

void reconstructRow(const uint8_t* __restrict residuals, const uint8_t* __restrict above,
                    uint32_t width, uint8_t* __restrict cur) {
  if (!above) {
    uint8_t left = 0;
    for (uint32_t x = 0; x < width; ++x) cur[x] = left = uint8_t(left + residuals[x]);
    return;
  }
  uint8_t left = uint8_t(above[0] + residuals[0]);
  cur[0] = left;
  for (uint32_t x = 1; x < width; ++x) {
    left = uint8_t(medianEdge(left, above[x], above[x - 1]) + residuals[x]);
    cur[x] = left;
  }
}

bool greenSubtractionPays(const Picture& picture) {
  const uint32_t w = picture.width(), h = picture.height();
  if (h < 2) return false;
  // About 64 row pairs spread over the picture are plenty to judge by.
  const uint32_t step = std::max(1u, (h - 1) / 64);
  std::vector<uint8_t> cur(w), above(w), res(w);
  Histogram plain{}, minusGreen{};
  for (uint32_t y = 1; y < h; y += step)
    for (int channel : {0, 2})
      for (bool subtract : {false, true}) {
        extractPlane(picture.row(y), w, channel, subtract, cur.data());
        extractPlane(picture.row(y - 1), w, channel, subtract, above.data());
        predictRow(cur.data(), above.data(), w, res.data());
        Histogram& hist = subtract ? minusGreen : plain;
        for (uint32_t x = 0; x < w; ++x) ++hist[res[x]];
      }
  return entropyBits(minusGreen) < entropyBits(plain);
}

}  // namespace zelmar::cmp::detail
