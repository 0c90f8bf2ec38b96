// Rotation by any angle: quarter turns exactly, other angles by bilinear
// interpolation onto a canvas that holds the whole turned picture.
#include <cmath>
#include <numbers>
#include <opencv2/imgproc.hpp>

#include "engine/ops/geometry.h"
#include "engine/ops/internal.h"
#include "engine/ops/ops.h"

namespace zelmar::ops {
using detail::guarded;
using detail::matOf;

RotatedSize rotatedSize(uint32_t width, uint32_t height, int64_t hundredths) {
  const int64_t a = ((hundredths % 36000) + 36000) % 36000;
  if (a % 9000 == 0) {
    if ((a / 9000) % 2 == 0) return {width, height};
    return {height, width};
  }
  const double t = double(a) / 100.0 * std::numbers::pi / 180.0;
  const double c = std::fabs(std::cos(t)), s = std::fabs(std::sin(t));
  // The exact bounding box, rounded up unless it is a hair above an integer.
  auto fit = [](double v) { return uint64_t(std::ceil(v - 1e-6)); };
  return {fit(width * c + height * s), fit(width * s + height * c)};
}

Status rotate(Picture& p, int64_t hundredths, bool enlarge, Rgb fill, const Limits& limits) {
  ZELMAR_TRY(detail::requirePicture(p));
  // Reduced first: angles near the 64-bit limits stay exact.
  const int64_t a = ((hundredths % 36000) + 36000) % 36000;
  if (a % 9000 == 0) return detail::quarterTurns(p, int(a / 9000), limits);

  return guarded([&]() -> Status {
    const bool grayFill = fill.r == fill.g && fill.g == fill.b;
    Picture scratch;
    const Picture* src = nullptr;
    ZELMAR_TRY(detail::workingForm(p, grayFill, scratch, src));

    const RotatedSize size = enlarge ? rotatedSize(p.width(), p.height(), a)
                                     : RotatedSize{p.width(), p.height()};
    Picture out;
    ZELMAR_TRY(detail::createResult(size.width, size.height, src->bits(), out, limits));
    out.palette() = src->palette();

    // Inverse map, pixel centres on integers: a canvas point goes back through
    // the turn around the canvas centre to the source centre.
    const double t = double(a) / 100.0 * std::numbers::pi / 180.0;
    const double c = std::cos(t), s = std::sin(t);
    const double sx = (double(p.width()) - 1) / 2, sy = (double(p.height()) - 1) / 2;
    const double dx = (double(size.width) - 1) / 2, dy = (double(size.height) - 1) / 2;
    const cv::Matx23d inv(c, s, sx - c * dx - s * dy,  //
                          -s, c, sy + s * dx - c * dy);
    const cv::Scalar border = src->bits() == 24 ? cv::Scalar(fill.r, fill.g, fill.b)
                                                : cv::Scalar(fill.r);
    cv::Mat dst = matOf(out);
    cv::warpAffine(matOf(*src), dst, inv, dst.size(), cv::INTER_LINEAR | cv::WARP_INVERSE_MAP,
                   cv::BORDER_CONSTANT, border);
    p = std::move(out);
    return {};
  });
}

}  // namespace zelmar::ops
