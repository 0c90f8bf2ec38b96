// Resampling to a new size: area averaging on the axes that shrink, bicubic
// on the axes that grow.
#include <cmath>
#include <opencv2/imgproc.hpp>

#include "engine/ops/area_shrink.h"
#include "engine/ops/internal.h"
#include "engine/ops/ops.h"

namespace zelmar::ops {
using detail::guarded;
using detail::matOf;

namespace {

// A requested size in pixels, rounded to the nearest integer (halves to even).
Status pixelSize(double v, const Limits& limits, uint32_t& out) {
  if (std::isnan(v) || v < 0.5) return {ErrorCode::InvalidArgument, "size " + std::to_string(v)};
  if (v > double(limits.maxDimension) + 0.5) return {ErrorCode::LimitExceeded};
  out = uint32_t(std::nearbyint(v));
  return {};
}

Status resampleInto(const Picture& src, uint32_t w, uint32_t h, const Limits& limits,
                    Picture& out) {
  ZELMAR_TRY(detail::createResult(w, h, src.bits(), out, limits));
  out.palette() = src.palette();
  cv::Mat dst = matOf(out);
  const bool growX = w > src.width(), growY = h > src.height();
  const bool shrinkX = w < src.width(), shrinkY = h < src.height();
  if ((growX && shrinkY) || (growY && shrinkX)) {
    // One axis each way: shrink first, so the bicubic pass has fewer pixels.
    cv::Mat mid;
    if (shrinkX)
      cv::resize(matOf(src), mid, cv::Size(int(w), int(src.height())), 0, 0, cv::INTER_AREA);
    else
      cv::resize(matOf(src), mid, cv::Size(int(src.width()), int(h)), 0, 0, cv::INTER_AREA);
    cv::resize(mid, dst, dst.size(), 0, 0, cv::INTER_CUBIC);
  } else if (growX || growY) {
    cv::resize(matOf(src), dst, dst.size(), 0, 0, cv::INTER_CUBIC);
  } else if (src.bits() == 24) {
    areaShrink(matOf(src), dst.size(), dst);
    if (dst.data != out.data()) dst.copyTo(matOf(out));
  } else {
    cv::resize(matOf(src), dst, dst.size(), 0, 0, cv::INTER_AREA);
  }
  return {};
}

}  // namespace

Status resize(Picture& p, double width, double height, ResizeMethod method, const Limits& limits) {
  ZELMAR_TRY(detail::requirePicture(p));
  if (method != ResizeMethod::Smooth) return {ErrorCode::InvalidArgument, "unknown method"};
  uint32_t w = 0, h = 0;
  ZELMAR_TRY(pixelSize(width, limits, w));
  ZELMAR_TRY(pixelSize(height, limits, h));
  ZELMAR_TRY(checkDimensions(w, h, limits));
  return guarded([&]() -> Status {
    Picture scratch;
    const Picture* src = nullptr;
    ZELMAR_TRY(detail::workingForm(p, true, scratch, src));
    Picture out;
    ZELMAR_TRY(resampleInto(*src, w, h, limits, out));
    p = std::move(out);
    return {};
  });
}

}  // namespace zelmar::ops
