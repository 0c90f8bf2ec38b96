// Colour operations that need no palette search: negative and grey levels.
#include <array>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "engine/ops/internal.h"
#include "engine/ops/ops.h"

namespace zelmar::ops {
using detail::guarded;
using detail::matOf;
using detail::requirePicture;

Status invertColors(Picture& p) {
  ZELMAR_TRY(requirePicture(p));
  if (p.bits() != 24) {
    for (Rgb& c : p.palette()) c = {uint8_t(255 - c.r), uint8_t(255 - c.g), uint8_t(255 - c.b)};
    return {};
  }
  // In place, in parallel blocks of whole rows.
  cv::parallel_for_(cv::Range(0, int(p.height())), [&](const cv::Range& r) {
    uint8_t* d = p.row(uint32_t(r.start));
    const size_t n = p.stride() * size_t(r.end - r.start);
    for (size_t i = 0; i < n; ++i) d[i] = uint8_t(~d[i]);
  });
  return {};
}

namespace detail {

Status grayOf(const Picture& p, Picture& result) {
  ZELMAR_TRY(requirePicture(p));
  return guarded([&]() -> Status {
    Picture out;
    ZELMAR_TRY(detail::createResult(p.width(), p.height(), 8, out));
    out.setPalette(grayPalette(256));
    cv::Mat dst = matOf(out);
    if (p.bits() == 24) {
      cv::cvtColor(matOf(p), dst, cv::COLOR_RGB2GRAY);
    } else {
      std::array<uint8_t, 256> level{};
      for (size_t i = 0; i < p.palette().size(); ++i) level[i] = detail::luma(p.palette()[i]);
      cv::LUT(matOf(p), cv::Mat(1, 256, CV_8U, level.data()), dst);
    }
    result = std::move(out);
    return {};
  });
}

}  // namespace detail

Status toGrayscale(Picture& p) {
  ZELMAR_TRY(requirePicture(p));
  Picture out;
  ZELMAR_TRY(detail::grayOf(p, out));
  p = std::move(out);
  return {};
}

}  // namespace zelmar::ops
