#include "engine/codecs/targa_pixels.h"

#include <string>

#include "engine/codecs/packed_rows.h"

namespace zelmar::targa::detail {
namespace {

Status bad(const std::string& why) { return {ErrorCode::BadHeader, why}; }

uint8_t expand5(unsigned v) { return uint8_t((v << 3) | (v >> 2)); }

bool isTrueColorDepth(unsigned bits) {
  return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

Status readHeader(Bytes data, Header& h) {
  ByteReader in(data);
  Header r;
  if (!in.u8(r.idLength) || !in.u8(r.mapType) || !in.u8(r.imageType) || !in.u16le(r.mapFirst) ||
      !in.u16le(r.mapLength) || !in.u8(r.mapEntryBits) || !in.skip(4) || !in.u16le(r.width) ||
      !in.u16le(r.height) || !in.u8(r.depth) || !in.u8(r.descriptor))
    return {ErrorCode::Truncated, "Targa header"};

  const uint8_t type = r.baseType();
  if ((r.imageType & ~(kRle | 3)) != 0 || type < kMapped || type > kGray)
    return bad("image type " + std::to_string(r.imageType));
  if (r.mapType > 1) return bad("colour map type " + std::to_string(r.mapType));
  if (r.mapType == 1) {
    if (!isTrueColorDepth(r.mapEntryBits))
      return bad("colour map entries of " + std::to_string(r.mapEntryBits) + " bits");
    if (r.mapLength == 0 || r.mapFirst + r.mapLength > 65536) return bad("colour map range");
  } else if (r.mapFirst != 0 || r.mapLength != 0) {
    return bad("colour map fields without a colour map");
  }
  bool depthFits = false;
  switch (type) {
    case kMapped:
      depthFits = r.mapType == 1 && (r.depth == 8 || r.depth == 16);
      break;
    case kTrueColor:
      depthFits = isTrueColorDepth(r.depth);
      break;
    case kGray:
      depthFits = r.depth == 8 || r.depth == 16;
      break;
  }
  if (!depthFits)
    return bad(std::to_string(r.depth) + " bits for image type " + std::to_string(r.imageType));
  if (r.width == 0 || r.height == 0) return bad("zero size");
  if (r.descriptor & 0xc0) return bad("interleaved rows");
  h = r;
  return {};
}

void toRgb(const uint8_t* src, int bytesPerPixel, size_t n, uint8_t* dst) {
  switch (bytesPerPixel) {
    case 2:
      for (size_t i = 0; i < n; ++i, src += 2, dst += 3) {
        const unsigned v = src[0] | unsigned(src[1]) << 8;
        dst[0] = expand5((v >> 10) & 31);
        dst[1] = expand5((v >> 5) & 31);
        dst[2] = expand5(v & 31);
      }
      break;
    case 3:
      rows::swapRedBlue(src, dst, n);
      break;
    case 4:
      rows::bgrxToRgb(src, dst, n);
      break;
  }
}

}  // namespace zelmar::targa::detail
