#include "engine/codecs/packed_rows.h"

#include <cstring>

namespace zelmar::rows {

void unpack(const uint8_t* src, uint32_t width, int bits, uint8_t* dst) {
  switch (bits) {
    case 8:
      std::memcpy(dst, src, width);
      return;
    case 4:
      for (uint32_t x = 0; x + 1 < width; x += 2) {
        const uint8_t b = src[x / 2];
        dst[x] = b >> 4;
        dst[x + 1] = b & 0x0f;
      }
      if (width & 1) dst[width - 1] = src[width / 2] >> 4;
      return;
    default: {
      const unsigned perByte = 8 / unsigned(bits), mask = (1u << bits) - 1;
      const uint32_t whole = width / perByte * perByte;
      for (uint32_t x = 0; x < whole; x += perByte) {
        const unsigned b = src[x / perByte];
        for (unsigned i = 0; i < perByte; ++i) dst[x + i] = uint8_t((b >> (8 - bits * (i + 1))) & mask);
      }
      for (uint32_t x = whole; x < width; ++x) {
        const unsigned i = x % perByte;
        dst[x] = uint8_t((src[x / perByte] >> (8 - bits * (i + 1))) & mask);
      }
      return;
    }
  }
}

void pack(const uint8_t* src, uint32_t width, int bits, uint8_t* dst) {
  if (bits == 8) {
    std::memcpy(dst, src, width);
    return;
  }
  const unsigned perByte = 8 / unsigned(bits), mask = (1u << bits) - 1;
  const uint32_t bytes = (width + perByte - 1) / perByte;
  for (uint32_t i = 0; i < bytes; ++i) {
    unsigned b = 0;
    const uint32_t x0 = i * perByte;
    for (unsigned k = 0; k < perByte; ++k) {
      const unsigned v = x0 + k < width ? src[x0 + k] & mask : 0;
      b |= v << (8 - bits * (k + 1));
    }
    dst[i] = uint8_t(b);
  }
}

void swapRedBlue(const uint8_t* __restrict src, uint8_t* __restrict dst, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i) {
    dst[3 * i] = src[3 * i + 2];
    dst[3 * i + 1] = src[3 * i + 1];
    dst[3 * i + 2] = src[3 * i];
  }
}

}  // namespace zelmar::rows
