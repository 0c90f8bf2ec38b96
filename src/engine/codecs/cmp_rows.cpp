#include "engine/codecs/cmp_rows.h"

#include <algorithm>
#include <cstring>

namespace zelmar::cmp::detail {
namespace {

inline uint8_t medianEdge(uint8_t a, uint8_t b, uint8_t c) {
  const uint8_t lo = std::min(a, b), hi = std::max(a, b);
  // Between the two, a + b - c stays within 0..255, so 8-bit wrap is exact.
  return c >= hi ? lo : c <= lo ? hi : uint8_t(a + b - c);
}

}  // namespace

void packRow(const uint8_t* indexes, uint32_t width, int bits, uint8_t* packed) {
  if (bits == 8) {
    std::memcpy(packed, indexes, width);
    return;
  }
  const uint32_t perByte = 8 / uint32_t(bits);
  const uint8_t mask = uint8_t((1u << bits) - 1);
  std::memset(packed, 0, packedRowBytes(width, bits));
  for (uint32_t x = 0; x < width; ++x) {
    const unsigned shift = 8 - unsigned(bits) * (x % perByte + 1);
    packed[x / perByte] |= uint8_t((indexes[x] & mask) << shift);
  }
}

void unpackRow(const uint8_t* packed, uint32_t width, int bits, uint8_t* indexes) {
  if (bits == 8) {
    std::memcpy(indexes, packed, width);
    return;
  }
  const uint32_t perByte = 8 / uint32_t(bits);
  const unsigned mask = (1u << bits) - 1;
  for (uint32_t x = 0; x < width; ++x) {
    const unsigned shift = 8 - unsigned(bits) * (x % perByte + 1);
    indexes[x] = uint8_t((packed[x / perByte] >> shift) & mask);
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
                    uint32_t width, uint8_t* __restrict row) {
  if (!above) {
    uint8_t left = 0;
    for (uint32_t x = 0; x < width; ++x) row[3 * x] = left = uint8_t(left + residuals[x]);
    return;
  }
  uint8_t left = uint8_t(above[0] + residuals[0]);
  row[0] = left;
  for (uint32_t x = 1; x < width; ++x) {
    left = uint8_t(medianEdge(left, above[3 * x], above[3 * x - 3]) + residuals[x]);
    row[3 * x] = left;
  }
}

}  // namespace zelmar::cmp::detail
