// Exact geometry: mirror, flip and quarter turns, at every depth. The pixels
// move, the palette stays, so nothing about the colours can change.
#include <algorithm>
#include <cstring>
#include <opencv2/core.hpp>
#include <vector>

#include "engine/ops/geometry.h"
#include "engine/ops/internal.h"
#include "engine/ops/ops.h"

namespace zelmar::ops {
using detail::guarded;
using detail::matOf;
using detail::requirePicture;

namespace {

template <int N>
void mirrorRow(uint8_t* row, uint32_t width) {
  uint8_t* a = row;
  uint8_t* b = row + size_t(width - 1) * N;
  for (; a < b; a += N, b -= N)
    for (int c = 0; c < N; ++c) std::swap(a[c], b[c]);
}

}  // namespace

Status mirrorHorizontal(Picture& p) {
  ZELMAR_TRY(requirePicture(p));
  // In place: nothing is allocated, so nothing can fail half-way.
  cv::parallel_for_(cv::Range(0, int(p.height())), [&](const cv::Range& r) {
    for (int y = r.start; y < r.end; ++y) {
      if (p.bits() == 24)
        mirrorRow<3>(p.row(uint32_t(y)), p.width());
      else
        mirrorRow<1>(p.row(uint32_t(y)), p.width());
    }
  });
  return {};
}

Status flipVertical(Picture& p) {
  ZELMAR_TRY(requirePicture(p));
  const int half = int(p.height() / 2);
  const size_t stride = p.stride();
  constexpr size_t kChunk = 16384;  // swapped through a small buffer on the stack
  cv::parallel_for_(cv::Range(0, half), [&](const cv::Range& r) {
    uint8_t tmp[kChunk];
    for (int y = r.start; y < r.end; ++y) {
      uint8_t* a = p.row(uint32_t(y));
      uint8_t* b = p.row(p.height() - 1 - uint32_t(y));
      for (size_t off = 0; off < stride; off += kChunk) {
        const size_t n = std::min(kChunk, stride - off);
        std::memcpy(tmp, a + off, n);
        std::memcpy(a + off, b + off, n);
        std::memcpy(b + off, tmp, n);
      }
    }
  });
  return {};
}

namespace detail {

Status quarterTurns(Picture& p, int turns, const Limits& limits) {
  ZELMAR_TRY(requirePicture(p));
  turns = ((turns % 4) + 4) % 4;
  if (turns == 0) return {};
  if (turns == 2) {
    ZELMAR_TRY(flipVertical(p));
    return mirrorHorizontal(p);
  }
  return guarded([&]() -> Status {
    Picture out;
    ZELMAR_TRY(detail::createResult(p.height(), p.width(), p.bits(), out, limits));
    out.palette() = p.palette();
    cv::rotate(matOf(p), matOf(out),
               turns == 1 ? cv::ROTATE_90_CLOCKWISE : cv::ROTATE_90_COUNTERCLOCKWISE);
    p = std::move(out);
    return {};
  });
}

}  // namespace detail
}  // namespace zelmar::ops
