#include "engine/codecs/tiff_rows.h"

#include <cstring>

namespace zelmar::tiff {
namespace {

void unpackBits(const uint8_t* src, uint8_t* dst, uint32_t count, int bps) {
  const int perByte = 8 / bps;
  const unsigned mask = (1u << bps) - 1;
  for (uint32_t x = 0; x < count; ++x) {
    const int shift = 8 - bps * (int(x % perByte) + 1);
    dst[x] = uint8_t((src[x / perByte] >> shift) & mask);
  }
}

void convert8(const uint8_t* src, uint8_t* dst, uint32_t count, const RowFormat& f) {
  if (f.srcStep == f.channels && f.dstStep == f.channels && !f.invert) {
    std::memcpy(dst, src, size_t(count) * f.channels);
    return;
  }
  const uint8_t flip = f.invert ? 0xFF : 0;
  for (uint32_t x = 0; x < count; ++x, src += f.srcStep, dst += f.dstStep)
    for (int c = 0; c < f.channels; ++c) dst[c] = src[c] ^ flip;
}

void convert16(const uint8_t* src, uint8_t* dst, uint32_t count, const RowFormat& f) {
  const uint8_t flip = f.invert ? 0xFF : 0;
  for (uint32_t x = 0; x < count; ++x, src += 2 * f.srcStep, dst += f.dstStep) {
    for (int c = 0; c < f.channels; ++c) {
      uint16_t v;
      std::memcpy(&v, src + 2 * c, 2);
      dst[c] = uint8_t((uint32_t(v) * 255 + 32767) / 65535) ^ flip;
    }
  }
}

}  // namespace

void convertRow(const uint8_t* src, uint8_t* dst, uint32_t count, const RowFormat& f) {
  if (f.bps < 8)
    unpackBits(src, dst, count, f.bps);
  else if (f.bps == 8)
    convert8(src, dst, count, f);
  else
    convert16(src, dst, count, f);
}

void packRow(const uint8_t* src, uint32_t width, int bits, uint8_t* dst) {
  const int perByte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  std::memset(dst, 0, packedBytes(width, bits));
  for (uint32_t x = 0; x < width; ++x) {
    const int shift = 8 - bits * (int(x % perByte) + 1);
    dst[x / perByte] = uint8_t(dst[x / perByte] | ((src[x] & mask) << shift));
  }
}

}  // namespace zelmar::tiff
