#include "engine/ops/area_shrink.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace zelmar::ops {
namespace {

// The rounded mean of output pixel (x, y)'s block, the last ones widened.
cv::Vec3b blockMean(const cv::Mat& src, int x, int y, cv::Size k, cv::Size size) {
  const int x1 = x == size.width - 1 ? src.cols : (x + 1) * k.width;
  const int y1 = y == size.height - 1 ? src.rows : (y + 1) * k.height;
  uint32_t sum[3] = {0, 0, 0};
  for (int r = y * k.height; r < y1; ++r)
    for (int c = x * k.width; c < x1; ++c)
      for (int ch = 0; ch < 3; ++ch) sum[ch] += src.at<cv::Vec3b>(r, c)[ch];
  const uint32_t n = uint32_t(x1 - x * k.width) * uint32_t(y1 - y * k.height);
  return {uint8_t((sum[0] + n / 2) / n), uint8_t((sum[1] + n / 2) / n),
          uint8_t((sum[2] + n / 2) / n)};
}

// Sums the block's source rows column by column (the compiler vectorises
// this), then its columns per output pixel. The last row and column of
// blocks also take the remainder, so no source pixel is left out.
template <class Acc>
void shrinkRows(const cv::Mat& src, cv::Size k, cv::Mat& dst, const cv::Range& rows) {
  const int outW = dst.cols, width3 = src.cols * 3, kx = k.width;
  std::vector<Acc> acc(static_cast<size_t>(width3));
  for (int y = rows.start; y < rows.end; ++y) {
    const int rowCount = y == dst.rows - 1 ? src.rows - y * k.height : k.height;
    std::fill(acc.begin(), acc.end(), Acc(0));
    for (int r = 0; r < rowCount; ++r) {
      const uint8_t* in = src.ptr<uint8_t>(y * k.height + r);
      Acc* a = acc.data();
      for (int i = 0; i < width3; ++i) a[i] = Acc(a[i] + in[i]);
    }
    uint8_t* out = dst.ptr<uint8_t>(y);
    // Division by the reciprocal rounded up: exact while the rounded sum
    // times n stays below 2^40, so only for blocks of up to 2^16 pixels.
    const uint64_t n = uint64_t(kx) * rowCount;
    const uint64_t recip = ((uint64_t(1) << 40) + n - 1) / n;
    for (int x = 0; x < outW; ++x) {
      const int colCount = x == outW - 1 ? src.cols - x * kx : kx;
      uint32_t s0 = 0, s1 = 0, s2 = 0;
      const Acc* a = acc.data() + size_t(x) * kx * 3;
      for (int j = 0; j < colCount; ++j, a += 3) {
        s0 += a[0];
        s1 += a[1];
        s2 += a[2];
      }
      if (colCount == kx && n <= (1u << 16)) {
        const uint64_t half = n / 2;
        out[3 * x] = uint8_t(((s0 + half) * recip) >> 40);
        out[3 * x + 1] = uint8_t(((s1 + half) * recip) >> 40);
        out[3 * x + 2] = uint8_t(((s2 + half) * recip) >> 40);
      } else {
        const uint32_t m = uint32_t(colCount) * uint32_t(rowCount);
        out[3 * x] = uint8_t((s0 + m / 2) / m);
        out[3 * x + 1] = uint8_t((s1 + m / 2) / m);
        out[3 * x + 2] = uint8_t((s2 + m / 2) / m);
      }
    }
  }
}

}  // namespace

void boxShrink(const cv::Mat& src, cv::Size k, cv::Mat& dst) {
  CV_Assert(src.type() == CV_8UC3 && k.width >= 1 && k.height >= 1 && k.width <= 256 &&
            k.height <= 256 && src.cols >= k.width && src.rows >= k.height);
  const cv::Size size(src.cols / k.width, src.rows / k.height);
  if (k == cv::Size(2, 2)) {
    // OpenCV's halving is vectorised and beats the general loop here; only
    // the last column and row, widened by an odd remainder, are redone.
    cv::resize(src(cv::Rect(0, 0, size.width * 2, size.height * 2)), dst, size, 0, 0,
               cv::INTER_AREA);
    cv::Mat out = dst;
    if (src.cols % 2)
      for (int y = 0; y < size.height; ++y)
        out.at<cv::Vec3b>(y, size.width - 1) = blockMean(src, size.width - 1, y, k, size);
    if (src.rows % 2)
      for (int x = 0; x < size.width; ++x)
        out.at<cv::Vec3b>(size.height - 1, x) = blockMean(src, x, size.height - 1, k, size);
    return;
  }
  dst.create(size, CV_8UC3);
  cv::Mat out = dst;
  // 16-bit column sums hold up to 257 rows of 255 (a block and its remainder).
  cv::parallel_for_(cv::Range(0, dst.rows), [&](const cv::Range& rows) {
    if (k.height <= 128)
      shrinkRows<uint16_t>(src, k, out, rows);
    else
      shrinkRows<uint32_t>(src, k, out, rows);
  });
}

namespace {

// Which input pixels each output pixel covers along one axis, and how much
// of each, in 1/2^14 parts summing to exactly 2^14. Input pixel j spans
// edges[j]..edges[j + 1] of the original picture, so inputs that are
// already block means of unequal widths are weighted by the area they stand for.
struct Taps {
  std::vector<int> first, count;
  std::vector<int32_t> weight;  // `stride` per output pixel
  size_t stride = 0;
  const int32_t* of(size_t i) const { return &weight[i * stride]; }
};
constexpr int kOne = 1 << 14;

Taps areaTaps(const std::vector<double>& edges, int to) {
  Taps t;
  const int from = int(edges.size()) - 1;
  const double scale = edges.back() / to;
  t.first.resize(size_t(to));
  t.count.resize(size_t(to));
  int j = 0;
  for (int i = 0; i < to; ++i) {
    const double lo = i * scale;
    while (j + 1 < from && edges[size_t(j) + 1] <= lo) ++j;
    int end = j;
    while (end < from && edges[size_t(end)] < (i + 1) * scale) ++end;
    t.first[size_t(i)] = j;
    t.count[size_t(i)] = std::max(1, end - j);
    t.stride = std::max(t.stride, size_t(t.count[size_t(i)]));
  }
  t.weight.assign(size_t(to) * t.stride, 0);
  for (int i = 0; i < to; ++i) {
    const double lo = i * scale, hi = (i + 1) * scale;
    int32_t* w = &t.weight[size_t(i) * t.stride];
    int32_t sum = 0;
    for (int c = 0; c < t.count[size_t(i)]; ++c) {
      const size_t k = size_t(t.first[size_t(i)] + c);
      const double part = std::min(edges[k + 1], hi) - std::max(edges[k], lo);
      w[c] = int32_t(std::lround(std::max(0.0, part) / scale * kOne));
      sum += w[c];
    }
    // Rounding leftovers go to the largest part, so flat areas stay exact.
    *std::max_element(w, w + t.count[size_t(i)]) += kOne - sum;
  }
  return t;
}

// Edges of n pixels of width k over `total` original pixels, the last one
// taking the remainder.
std::vector<double> edges(int n, int k, int total) {
  std::vector<double> e(size_t(n) + 1);
  for (int j = 0; j < n; ++j) e[size_t(j)] = double(j) * k;
  e[size_t(n)] = total;
  return e;
}

// line = (or +=) in * weight over a whole row. Weights are at most one
// (2^14), so 16-bit products widened to 32 bits are exact; with the
// pointers known not to overlap (bytes could alias the sums otherwise)
// this vectorises.
void weightRow(const uint8_t* __restrict in, int32_t weight, bool first, int32_t* __restrict line,
               int n) {
  const auto w = int16_t(weight);
  if (first)
    for (int i = 0; i < n; ++i) line[i] = int16_t(in[i]) * w;
  else
    for (int i = 0; i < n; ++i) line[i] += int16_t(in[i]) * w;
}

// One output row from the row-weighted line: each pixel's column taps,
// rounded back from 2^28 parts. With N taps known (the widest pixel's
// count), every pixel runs the same unrolled loop: the unused weights are
// zero, so only pixels whose N taps would run off the line's end take
// their own count.
template <int N>
void weightColumns(const int32_t* line, int lineWidth, const Taps& cols, uint8_t* o, int width) {
  for (int x = 0; x < width; ++x) {
    const size_t tx = size_t(x);
    const int first = cols.first[tx];
    const int32_t* l = line + size_t(first) * 3;
    const int32_t* w = cols.of(tx);
    int64_t s0 = 0, s1 = 0, s2 = 0;
    const auto tap = [&](int t) {
      s0 += int64_t(l[3 * t]) * w[t];
      s1 += int64_t(l[3 * t + 1]) * w[t];
      s2 += int64_t(l[3 * t + 2]) * w[t];
    };
    if (N > 0 && first + N <= lineWidth)
      for (int t = 0; t < N; ++t) tap(t);
    else
      for (int t = 0; t < cols.count[tx]; ++t) tap(t);
    constexpr int shift = 28;
    constexpr int64_t half = int64_t(1) << (shift - 1);
    o[3 * x] = uint8_t(std::min<int64_t>(255, (s0 + half) >> shift));
    o[3 * x + 1] = uint8_t(std::min<int64_t>(255, (s1 + half) >> shift));
    o[3 * x + 2] = uint8_t(std::min<int64_t>(255, (s2 + half) >> shift));
  }
}

// Shrinks by any factor of at least one on each axis (below two after the
// block step): rows first (whole rows at a time, which vectorises), then
// columns.
void separableShrink(const cv::Mat& src, const Taps& rows, const Taps& cols, cv::Size size,
                     cv::Mat& dst) {
  const int width3 = src.cols * 3;
  dst.create(size, CV_8UC3);
  cv::Mat out = dst;
  // The widest pixel's tap count, unrolled, when it is small.
  constexpr decltype(&weightColumns<0>) kColumns[] = {
      weightColumns<0>, weightColumns<1>, weightColumns<2>, weightColumns<3>, weightColumns<4>};
  const auto columns = kColumns[cols.stride <= 4 ? cols.stride : 0];
  cv::parallel_for_(cv::Range(0, size.height), [&](const cv::Range& range) {
    std::vector<int32_t> line(static_cast<size_t>(width3));
    for (int y = range.start; y < range.end; ++y) {
      const size_t ty = size_t(y);
      for (int t = 0; t < rows.count[ty]; ++t)
        weightRow(src.ptr<uint8_t>(rows.first[ty] + t), rows.of(ty)[t], t == 0, line.data(),
                  width3);
      uint8_t* o = out.ptr<uint8_t>(y);
      columns(line.data(), src.cols, cols, o, size.width);
    }
  });
}

}  // namespace

void areaShrink(const cv::Mat& src, cv::Size size, cv::Mat& dst) {
  CV_Assert(src.type() == CV_8UC3 && size.width >= 1 && size.height >= 1 &&
            size.width <= src.cols && size.height <= src.rows);
  // Whole blocks first, by far the cheaper part; each axis by its own whole
  // factor, so whole factors come out exact.
  const cv::Size k(std::min(src.cols / size.width, 256), std::min(src.rows / size.height, 256));
  const bool blocks = k.width > 1 || k.height > 1;
  if (blocks && src.cols / k.width == size.width && src.rows / k.height == size.height)
    return boxShrink(src, k, dst);
  if (!blocks) {
    if (src.size() == size) return src.copyTo(dst);
    return separableShrink(src, areaTaps(edges(src.rows, 1, src.rows), size.height),
                           areaTaps(edges(src.cols, 1, src.cols), size.width), size, dst);
  }
  cv::Mat from;
  boxShrink(src, k, from);
  separableShrink(from, areaTaps(edges(from.rows, k.height, src.rows), size.height),
                  areaTaps(edges(from.cols, k.width, src.cols), size.width), size, dst);
}

}  // namespace zelmar::ops
