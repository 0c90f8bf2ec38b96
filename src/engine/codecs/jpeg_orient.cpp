#include <cstddef>
#include <cstring>

#include "engine/codecs/jpeg_markers.h"

namespace zelmar::jpeg {
namespace {

// Every orientation maps source pixel (x, y) to origin + x*xStep + y*yStep
// bytes into the destination, so one loop serves all of them.
struct Mapping {
  ptrdiff_t origin, xStep, yStep;
};

Mapping mappingFor(int orientation, ptrdiff_t w, ptrdiff_t h, ptrdiff_t bpp, ptrdiff_t dstStride) {
  const ptrdiff_t s = dstStride, b = bpp;
  switch (orientation) {
    case 2:
      return {(w - 1) * b, -b, s};  // mirrored
    case 3:
      return {(h - 1) * s + (w - 1) * b, -b, -s};  // turned half-way
    case 4:
      return {(h - 1) * s, b, -s};  // flipped
    case 5:
      return {0, s, b};  // transposed
    case 6:
      return {(h - 1) * b, s, -b};  // needs a clockwise turn
    case 7:
      return {(w - 1) * s + (h - 1) * b, -s, -b};  // transversed
    default:
      return {(w - 1) * s, -s, b};  // 8: needs an anticlockwise turn
  }
}

template <int Bpp>
void remap(const Picture& src, Picture& dst, const Mapping& m) {
  uint8_t* base = dst.data() + m.origin;
  for (uint32_t y = 0; y < src.height(); ++y) {
    const uint8_t* in = src.row(y);
    uint8_t* out = base + ptrdiff_t(y) * m.yStep;
    for (uint32_t x = 0; x < src.width(); ++x, in += Bpp, out += m.xStep) std::memcpy(out, in, Bpp);
  }
}

}  // namespace

Status applyOrientation(Picture& picture, int orientation) {
  if (orientation < 2 || orientation > 8 || picture.empty()) return {};
  const bool swap = orientation >= 5;
  const uint32_t w = picture.width(), h = picture.height();
  Picture turned;
  // The turned picture has as many pixels as the original, so no limit applies.
  ZELMAR_TRY(
      Picture::create(swap ? h : w, swap ? w : h, picture.bits(), turned, Limits{~0ull, ~0ull}));
  turned.palette() = picture.palette();
  const int bpp = picture.bytesPerPixel();
  const Mapping m = mappingFor(orientation, w, h, bpp, ptrdiff_t(turned.stride()));
  if (bpp == 3)
    remap<3>(picture, turned, m);
  else
    remap<1>(picture, turned, m);
  picture = std::move(turned);
  return {};
}

}  // namespace zelmar::jpeg
