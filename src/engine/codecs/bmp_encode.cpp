#include <cstring>
#include <string>

#include "engine/codecs/bmp.h"
#include "engine/codecs/packed_rows.h"
#include "engine/core/checked.h"

namespace zelmar::bmp {
namespace {

uint8_t* put16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  return p + 2;
}

uint8_t* put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
  return p + 4;
}

}  // namespace

Status encode(const Picture& picture, const EncodeOptions&, OutputBuffer& out) {
  const int bits = picture.bits();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
    return {ErrorCode::UnsupportedDepth, std::to_string(bits) + " bits"};
  const uint32_t width = picture.width(), height = picture.height();
  const size_t rowBytes = size_t(rows::packedBytes(width, bits, 4));
  const uint32_t colors = bits == 24 ? 0 : 1u << bits;
  const uint64_t dataOffset = 14 + 40 + uint64_t(colors) * 4;
  const auto total = checkedAdd(dataOffset, *checkedMul(rowBytes, height));
  // The format's sizes are 32-bit.
  if (!total || *total > UINT32_MAX) return {ErrorCode::LimitExceeded, "too large for a bitmap"};

  out.reserve(out.size() + *total);
  uint8_t* p = out.tail(*total);
  *p++ = 'B';
  *p++ = 'M';
  p = put32(p, uint32_t(*total));
  p = put32(p, 0);
  p = put32(p, uint32_t(dataOffset));
  p = put32(p, 40);
  p = put32(p, width);
  p = put32(p, height);  // positive: bottom-up
  p = put16(p, 1);
  p = put16(p, uint16_t(bits));
  p = put32(p, 0);  // uncompressed
  p = put32(p, uint32_t(rowBytes * height));
  p = put32(p, 2835);  // 72 dots per inch
  p = put32(p, 2835);
  p = put32(p, colors);
  p = put32(p, 0);
  for (uint32_t i = 0; i < colors; ++i) {
    const Rgb c = picture.palette()[i];
    *p++ = c.b;
    *p++ = c.g;
    *p++ = c.r;
    *p++ = 0;
  }
  const size_t used = size_t(rows::packedBytes(width, bits));
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* dst = p + size_t(height - 1 - y) * rowBytes;
    if (bits == 24)
      rows::swapRedBlue(picture.row(y), dst, width);
    else
      rows::pack(picture.row(y), width, bits, dst);
    std::memset(dst + used, 0, rowBytes - used);
  }
  out.commit(*total);
  return {};
}

}  // namespace zelmar::bmp
