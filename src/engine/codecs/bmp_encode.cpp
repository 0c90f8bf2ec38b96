#include <cstring>
#include <string>

#include "engine/codecs/bmp.h"
#include "engine/codecs/packed_rows.h"
#include "engine/core/checked.h"

namespace zelmar::bmp {
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
  out.append("BM", 2);
  out.put32le(uint32_t(*total));
  out.put32le(0);
  out.put32le(uint32_t(dataOffset));
  out.put32le(40);
  out.put32le(width);
  out.put32le(height);  // positive: bottom-up
  out.put16le(1);
  out.put16le(uint16_t(bits));
  out.put32le(0);  // uncompressed
  out.put32le(uint32_t(rowBytes * height));
  out.put32le(2835);  // 72 dots per inch
  out.put32le(2835);
  out.put32le(colors);
  out.put32le(0);
  for (uint32_t i = 0; i < colors; ++i) {
    const Rgb c = picture.palette()[i];
    const uint8_t entry[4] = {c.b, c.g, c.r, 0};
    out.append(entry, 4);
  }
  uint8_t* const p = out.tail(rowBytes * height);
  const size_t used = size_t(rows::packedBytes(width, bits));
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* dst = p + size_t(height - 1 - y) * rowBytes;
    if (bits == 24)
      rows::swapRedBlue(picture.row(y), dst, width);
    else
      rows::pack(picture.row(y), width, bits, dst);
    std::memset(dst + used, 0, rowBytes - used);
  }
  out.commit(rowBytes * height);
  return {};
}

}  // namespace zelmar::bmp
