#include "engine/qt/area_shrink.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace zelmar::qt {
namespace {

// The rounded mean of output pixel (x, y)'s block, the last ones widened.
cv::Vec3b blockMean(const cv::Mat& src, int x, int y, int k, cv::Size size) {
  const int x1 = x == size.width - 1 ? src.cols : (x + 1) * k;
  const int y1 = y == size.height - 1 ? src.rows : (y + 1) * k;
  uint32_t sum[3] = {0, 0, 0};
  for (int r = y * k; r < y1; ++r)
    for (int c = x * k; c < x1; ++c)
      for (int ch = 0; ch < 3; ++ch) sum[ch] += src.at<cv::Vec3b>(r, c)[ch];
  const uint32_t n = uint32_t(x1 - x * k) * uint32_t(y1 - y * k);
  return {uint8_t((sum[0] + n / 2) / n), uint8_t((sum[1] + n / 2) / n), uint8_t((sum[2] + n / 2) / n)};
}

// Sums the block's source rows column by column (the compiler vectorises
// this), then its columns per output pixel. The last row and column of
// blocks also take the remainder, so no source pixel is left out.
template <class Acc>
void shrinkRows(const cv::Mat& src, int k, cv::Mat& dst, const cv::Range& rows) {
  const int outW = dst.cols, width3 = src.cols * 3;
  std::vector<Acc> acc(static_cast<size_t>(width3));
  for (int y = rows.start; y < rows.end; ++y) {
    const int rowCount = y == dst.rows - 1 ? src.rows - y * k : k;
    std::fill(acc.begin(), acc.end(), Acc(0));
    for (int r = 0; r < rowCount; ++r) {
      const uint8_t* in = src.ptr<uint8_t>(y * k + r);
      Acc* a = acc.data();
      for (int i = 0; i < width3; ++i) a[i] = Acc(a[i] + in[i]);
    }
    uint8_t* out = dst.ptr<uint8_t>(y);
    // Division by a fixed-point reciprocal: exact for these sums.
    const uint64_t n = uint64_t(k) * rowCount;
    const uint64_t recip = ((uint64_t(1) << 40) + n / 2) / n;
    for (int x = 0; x < outW; ++x) {
      const int colCount = x == outW - 1 ? src.cols - x * k : k;
      uint32_t s0 = 0, s1 = 0, s2 = 0;
      const Acc* a = acc.data() + size_t(x) * k * 3;
      for (int j = 0; j < colCount; ++j, a += 3) {
        s0 += a[0];
        s1 += a[1];
        s2 += a[2];
      }
      if (colCount == k) {
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

void boxShrink(const cv::Mat& src, int k, cv::Mat& dst) {
  CV_Assert(src.type() == CV_8UC3 && k >= 2 && k <= 256 && src.cols >= k && src.rows >= k);
  const cv::Size size(src.cols / k, src.rows / k);
  if (k == 2) {
    // OpenCV's halving is vectorised and beats the general loop here; only
    // the last column and row, widened by an odd remainder, are redone.
    cv::Mat out;
    cv::resize(src(cv::Rect(0, 0, size.width * 2, size.height * 2)), out, size, 0, 0,
               cv::INTER_AREA);
    if (src.cols % 2)
      for (int y = 0; y < size.height; ++y)
        out.at<cv::Vec3b>(y, size.width - 1) = blockMean(src, size.width - 1, y, k, size);
    if (src.rows % 2)
      for (int x = 0; x < size.width; ++x)
        out.at<cv::Vec3b>(size.height - 1, x) = blockMean(src, x, size.height - 1, k, size);
    dst = out;
    return;
  }
  dst.create(size, CV_8UC3);
  cv::Mat out = dst;
  // 16-bit column sums hold up to 31 rows of 255 (a block and its remainder).
  cv::parallel_for_(cv::Range(0, dst.rows), [&](const cv::Range& rows) {
    if (k <= 16) shrinkRows<uint16_t>(src, k, out, rows);
    else shrinkRows<uint32_t>(src, k, out, rows);
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
  cv::parallel_for_(cv::Range(0, size.height), [&](const cv::Range& range) {
    std::vector<int32_t> line(static_cast<size_t>(width3));
    for (int y = range.start; y < range.end; ++y) {
      const size_t ty = size_t(y);
      for (int t = 0; t < rows.count[ty]; ++t)
        weightRow(src.ptr<uint8_t>(rows.first[ty] + t), rows.of(ty)[t], t == 0, line.data(), width3);
      uint8_t* o = out.ptr<uint8_t>(y);
      switch (cols.stride) {
        case 1: weightColumns<1>(line.data(), src.cols, cols, o, size.width); break;
        case 2: weightColumns<2>(line.data(), src.cols, cols, o, size.width); break;
        case 3: weightColumns<3>(line.data(), src.cols, cols, o, size.width); break;
        case 4: weightColumns<4>(line.data(), src.cols, cols, o, size.width); break;
        default: weightColumns<0>(line.data(), src.cols, cols, o, size.width);
      }
    }
  });
}

}  // namespace

void areaShrink(const cv::Mat& src, cv::Size size, cv::Mat& dst) {
  CV_Assert(src.type() == CV_8UC3 && size.width >= 1 && size.height >= 1 &&
            size.width <= src.cols && size.height <= src.rows);
  // Whole blocks first, by far the cheaper part.
  const int k = std::min({src.cols / size.width, src.rows / size.height, 256});
  cv::Mat from = src;
  if (k >= 2) {
    cv::Mat blocks;
    boxShrink(src, k, blocks);
    from = blocks;
  }
  if (from.size() == size) {
    dst = from.data == src.data ? from.clone() : from;
    return;
  }
  const int step = std::max(k, 1);
  separableShrink(from, areaTaps(edges(from.rows, step, src.rows), size.height),
                  areaTaps(edges(from.cols, step, src.cols), size.width), size, dst);
}

}  // namespace zelmar::qt
