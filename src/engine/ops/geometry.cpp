// Exact geometry: mirror, flip and quarter turns, at every depth. The pixels
// move, the palette stays, so nothing about the colours can change.
#include "engine/ops/geometry.h"

#include <algorithm>
#include <cstring>
#include <opencv2/core.hpp>
#include <vector>

#include "engine/ops/internal.h"
#include "engine/ops/ops.h"

namespace zelmar::ops {
using detail::guarded;
using detail::matOf;
using detail::requirePicture;

namespace {

void mirrorRow1(uint8_t* row, uint32_t width) { std::reverse(row, row + width); }

// Through a copy of the row: each pixel is one 4-byte load and store, the
// extra byte landing on the next pixel, which is written after it.
void mirrorRow3(uint8_t* row, uint32_t width, std::vector<uint8_t>& tmp) {
  const size_t bytes = size_t(width) * 3;
  std::memcpy(tmp.data(), row, bytes);
  const uint8_t* last = tmp.data() + bytes - 3;
  for (uint32_t x = 0; x + 1 < width; ++x) {
    uint32_t px;
    std::memcpy(&px, last - size_t(x) * 3, 4);
    std::memcpy(row + size_t(x) * 3, &px, 4);
  }
  std::memcpy(row + bytes - 3, tmp.data(), 3);
}

}  // namespace

Status mirrorHorizontal(Picture& p) {
  ZELMAR_TRY(requirePicture(p));
  // In place, in stripes of rows. The row buffers are allocated before any
  // row is touched, so a failure leaves the picture as it was.
  const int stripes = std::max(1, cv::getNumThreads());
  return guarded([&]() -> Status {
    std::vector<std::vector<uint8_t>> tmp(static_cast<size_t>(stripes));
    if (p.bits() == 24)
      for (auto& t : tmp) t.resize(p.stride() + 1);
    const int64_t h = p.height();
    cv::parallel_for_(cv::Range(0, stripes), [&](const cv::Range& r) {
      for (int i = r.start; i < r.end; ++i)
        for (int64_t y = h * i / stripes; y < h * (i + 1) / stripes; ++y) {
          if (p.bits() == 24)
            mirrorRow3(p.row(uint32_t(y)), p.width(), tmp[size_t(i)]);
          else
            mirrorRow1(p.row(uint32_t(y)), p.width());
        }
    });
    return {};
  });
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
