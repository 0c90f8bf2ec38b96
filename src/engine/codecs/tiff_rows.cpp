#include "engine/codecs/tiff_rows.h"

#include <cstring>

#include "engine/codecs/packed_rows.h"

namespace zelmar::tiff {
namespace {

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
    rows::unpack(src, count, f.bps, dst);
  else if (f.bps == 8)
    convert8(src, dst, count, f);
  else
    convert16(src, dst, count, f);
}

}  // namespace zelmar::tiff
