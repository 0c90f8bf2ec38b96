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

namespace {

constexpr int kBandRows = 16;

// The columns of canvas row y whose inverse image lies within a pixel of the
// source (where bilinear sampling can see it), widened by a pixel for
// rounding; empty when first > last.
void coveredSpan(const cv::Matx23d& m, double y, double w, double h, int width, int& first,
                 int& last) {
  double lo = -1e300, hi = 1e300;
  // Each source coordinate is linear in x: a x + b must stay within [-1, n].
  auto clip = [&](double a, double b, double n) {
    if (std::fabs(a) < 1e-12) {
      if (b < -1 || b > n) lo = 1, hi = 0;
      return;
    }
    const double x0 = (-1 - b) / a, x1 = (n - b) / a;
    lo = std::max(lo, std::min(x0, x1));
    hi = std::min(hi, std::max(x0, x1));
  };
  clip(m(0, 0), m(0, 1) * y + m(0, 2), w);
  clip(m(1, 0), m(1, 1) * y + m(1, 2), h);
  if (lo > hi) {
    first = 1, last = 0;
    return;
  }
  first = int(std::max(0.0, std::floor(lo) - 1));
  last = int(std::min(double(width - 1), std::ceil(hi) + 1));
}

void fillSpan(uint8_t* row, int from, int to, int channels, const uint8_t* colour) {
  for (int x = from; x < to; ++x)
    for (int c = 0; c < channels; ++c) row[x * channels + c] = colour[c];
}

// Bilinear warp of the whole canvas in bands of rows: only the span of each
// band that the turned picture covers is interpolated, the corners outside
// it are plain fill, which is about half of the canvas at middling angles.
void warpCovered(const cv::Mat& src, cv::Mat& dst, const cv::Matx23d& inv, Rgb fill) {
  const int channels = dst.channels();
  const uint8_t colour[3] = {fill.r, fill.g, fill.b};
  const cv::Scalar border = channels == 3 ? cv::Scalar(fill.r, fill.g, fill.b) : cv::Scalar(fill.r);
  const int bands = (dst.rows + kBandRows - 1) / kBandRows;
  cv::parallel_for_(cv::Range(0, bands), [&](const cv::Range& r) {
    for (int band = r.start; band < r.end; ++band) {
      const int y0 = band * kBandRows, y1 = std::min(dst.rows, y0 + kBandRows);
      int first = dst.cols, last = -1;
      for (int y = y0; y < y1; ++y) {
        int f, l;
        coveredSpan(inv, y, src.cols, src.rows, dst.cols, f, l);
        if (f <= l) first = std::min(first, f), last = std::max(last, l);
      }
      if (first > last) first = 0, last = -1;
      for (int y = y0; y < y1; ++y) {
        fillSpan(dst.ptr(y), 0, first, channels, colour);
        fillSpan(dst.ptr(y), last + 1, dst.cols, channels, colour);
      }
      if (first > last) continue;
      // The same map, moved to the band's corner.
      cv::Matx23d m = inv;
      m(0, 2) += inv(0, 0) * first + inv(0, 1) * y0;
      m(1, 2) += inv(1, 0) * first + inv(1, 1) * y0;
      cv::Mat part = dst(cv::Range(y0, y1), cv::Range(first, last + 1));
      cv::warpAffine(src, part, m, part.size(), cv::INTER_LINEAR | cv::WARP_INVERSE_MAP,
                     cv::BORDER_CONSTANT, border);
    }
  });
}

}  // namespace

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

    const RotatedSize size =
        enlarge ? rotatedSize(p.width(), p.height(), a) : RotatedSize{p.width(), p.height()};
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
    cv::Mat dst = matOf(out);
    warpCovered(matOf(*src), dst, inv, fill);
    p = std::move(out);
    return {};
  });
}

}  // namespace zelmar::ops
