#include "engine/ops/area_shrink.h"

#include <algorithm>
#include <array>
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

// A block's sum divided by its n pixels, rounded half up. By the
// reciprocal rounded up: exact while the rounded sum times n stays below
// 2^40, so only for blocks of up to 2^16 pixels; plainly beyond.
class BlockMean {
 public:
  explicit BlockMean(uint64_t n)
      : n_(n), half_(n / 2), recip_(n <= (1u << 16) ? ((uint64_t(1) << 40) + n - 1) / n : 0) {}
  uint64_t pixels() const { return n_; }
  uint8_t operator()(uint64_t sum) const {
    return uint8_t(recip_ ? ((sum + half_) * recip_) >> 40 : (sum + half_) / n_);
  }

 private:
  uint64_t n_, half_, recip_;
};

// Sums the block's source rows column by column (the compiler vectorises
// this), then its columns per output pixel: C bytes a pixel, 16-bit
// column sums up to 257 rows of 255 (a block and its remainder), else
// 32-bit ones. The last row and column of blocks also take the remainder,
// so no source pixel is left out. `rowOf` gives source row r; `put` turns
// a block's channel sums into its three output bytes.
template <int C, class RowOf, class Put>
void sumRows(cv::Size from, cv::Size k, cv::Mat& dst, const cv::Range& rows, RowOf rowOf, Put put) {
  const auto run = [&](auto zero) {
    using Acc = decltype(zero);
    const int outW = dst.cols, widthC = from.width * C, kx = k.width;
    std::vector<Acc> acc(static_cast<size_t>(widthC));
    for (int y = rows.start; y < rows.end; ++y) {
      const int rowCount = y == dst.rows - 1 ? from.height - y * k.height : k.height;
      std::fill(acc.begin(), acc.end(), zero);
      for (int r = 0; r < rowCount; ++r) {
        const uint8_t* in = rowOf(y * k.height + r);
        Acc* a = acc.data();
        for (int i = 0; i < widthC; ++i) a[i] = Acc(a[i] + in[i]);
      }
      uint8_t* out = dst.ptr<uint8_t>(y);
      const BlockMean whole(uint64_t(kx) * uint64_t(rowCount));
      for (int x = 0; x < outW; ++x) {
        const int colCount = x == outW - 1 ? from.width - x * kx : kx;
        uint64_t s[3] = {};
        const Acc* a = acc.data() + size_t(x) * kx * C;
        for (int j = 0; j < colCount; ++j, a += C)
          for (int c = 0; c < C; ++c) s[c] += a[c];
        put(out + 3 * x, s,
            colCount == kx ? whole : BlockMean(uint64_t(colCount) * uint64_t(rowCount)));
      }
    }
  };
  if (k.height <= 128)
    run(uint16_t(0));
  else
    run(uint32_t(0));
}

// Palette indices summed as their colours, block by block straight from
// the rows (no column sums to load and store again): one table load a
// pixel, R, G and B in 21-bit fields of one 64-bit sum. A row of a block
// (up to 511 pixels of 255) always fits them; a whole block is summed
// packed while it does too, else split row by row.
template <class RowOf, class Put>
void sumPaletteRows(cv::Size from, cv::Size k, cv::Mat& dst, const cv::Range& rows,
                    const Palette& palette, RowOf rowOf, Put put) {
  constexpr int kField = 21;
  constexpr uint64_t kMask = (uint64_t(1) << kField) - 1;
  std::array<uint64_t, 256> table{};  // indices beyond the palette are black
  for (size_t i = 0; i < std::min<size_t>(palette.size(), 256); ++i)
    table[i] =
        palette[i].r | uint64_t(palette[i].g) << kField | uint64_t(palette[i].b) << 2 * kField;
  const bool blockFits = (2 * k.width - 1) * (2 * k.height - 1) * 255 < (1 << kField);
  const int outW = dst.cols, kx = k.width;
  std::vector<const uint8_t*> in(static_cast<size_t>(2 * k.height));
  for (int y = rows.start; y < rows.end; ++y) {
    const int rowCount = y == dst.rows - 1 ? from.height - y * k.height : k.height;
    for (int r = 0; r < rowCount; ++r) in[size_t(r)] = rowOf(y * k.height + r);
    uint8_t* out = dst.ptr<uint8_t>(y);
    const BlockMean whole(uint64_t(kx) * uint64_t(rowCount));
    for (int x = 0; x < outW; ++x) {
      const int x0 = x * kx, colCount = x == outW - 1 ? from.width - x0 : kx;
      uint64_t s[3] = {}, packed = 0;
      for (int r = 0; r < rowCount; ++r) {
        const uint8_t* row = in[size_t(r)] + x0;
        for (int c = 0; c < colCount; ++c) packed += table[row[c]];
        if (!blockFits || r == rowCount - 1) {
          s[0] += packed & kMask;
          s[1] += packed >> kField & kMask;
          s[2] += packed >> 2 * kField;
          packed = 0;
        }
      }
      put(out + 3 * x, s,
          colCount == kx ? whole : BlockMean(uint64_t(colCount) * uint64_t(rowCount)));
    }
  }
}

// Whole blocks of a k.width x k.height factor into dst, in parallel bands
// of output rows made by `band(rows, out)`.
template <class Band>
void shrinkBlocks(cv::Size from, cv::Size k, cv::Mat& dst, Band band) {
  CV_Assert(k.width >= 1 && k.height >= 1 && k.width <= 256 && k.height <= 256 &&
            from.width >= k.width && from.height >= k.height);
  dst.create(from.height / k.height, from.width / k.width, CV_8UC3);
  cv::Mat out = dst;
  cv::parallel_for_(cv::Range(0, dst.rows), [&](const cv::Range& rows) { band(rows, out); });
}

constexpr auto putMeans = [](uint8_t* o, const uint64_t* s, const BlockMean& mean) {
  o[0] = mean(s[0]);
  o[1] = mean(s[1]);
  o[2] = mean(s[2]);
};

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
  shrinkBlocks(src.size(), k, dst, [&](const cv::Range& rows, cv::Mat& out) {
    sumRows<3>(
        src.size(), k, out, rows, [&](int r) { return src.ptr<uint8_t>(r); }, putMeans);
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

// Whole blocks first, by far the cheaper part, made by `blocks(k, out)`;
// then the area filter for what remains. Each axis by its own whole factor,
// so whole factors come out exact. `noBlocks` shrinks by less than two.
template <class Blocks, class NoBlocks>
void blocksThenArea(cv::Size from, cv::Size size, cv::Mat& dst, Blocks blocks, NoBlocks noBlocks) {
  const cv::Size k(std::min(from.width / size.width, 256),
                   std::min(from.height / size.height, 256));
  if (k.width == 1 && k.height == 1) return noBlocks();
  if (from.width / k.width == size.width && from.height / k.height == size.height)
    return blocks(k, dst);
  cv::Mat mid;
  blocks(k, mid);
  separableShrink(mid, areaTaps(edges(mid.rows, k.height, from.height), size.height),
                  areaTaps(edges(mid.cols, k.width, from.width), size.width), size, dst);
}

// Each channel as base + step * index over the whole palette: true of
// every two-entry palette and of grey ramps. A block's channel sums then
// follow from the sum of its indices alone.
struct AffinePalette {
  int64_t base[3] = {}, step[3] = {};
  bool holds = false;
};

AffinePalette affineOf(const Palette& palette) {
  AffinePalette a;
  if (palette.size() < 2 || palette.size() > 256) return a;
  const auto channel = [](const Rgb& c, int ch) {
    return int64_t(ch == 0 ? c.r : ch == 1 ? c.g : c.b);
  };
  for (int ch = 0; ch < 3; ++ch) {
    a.base[ch] = channel(palette[0], ch);
    a.step[ch] = channel(palette[1], ch) - a.base[ch];
    for (size_t i = 2; i < palette.size(); ++i)
      if (channel(palette[i], ch) != a.base[ch] + a.step[ch] * int64_t(i)) return a;
  }
  a.holds = true;
  return a;
}

void indexedBlocks(const cv::Mat& indices, const Palette& palette, cv::Size k, cv::Mat& dst) {
  const auto indexRow = [&](int r) { return indices.ptr<uint8_t>(r); };
  if (const AffinePalette a = affineOf(palette); a.holds) {
    // A third of the bytes a colour picture has, and no lookup.
    const auto put = [&a](uint8_t* o, const uint64_t* s, const BlockMean& mean) {
      const auto n = int64_t(mean.pixels());
      for (int ch = 0; ch < 3; ++ch)
        o[ch] = mean(
            uint64_t(std::clamp<int64_t>(n * a.base[ch] + a.step[ch] * int64_t(s[0]), 0, 255 * n)));
    };
    return shrinkBlocks(indices.size(), k, dst, [&](const cv::Range& rows, cv::Mat& out) {
      sumRows<1>(indices.size(), k, out, rows, indexRow, put);
    });
  }
  shrinkBlocks(indices.size(), k, dst, [&](const cv::Range& rows, cv::Mat& out) {
    sumPaletteRows(indices.size(), k, out, rows, palette, indexRow, putMeans);
  });
}

}  // namespace

void areaShrink(const cv::Mat& src, cv::Size size, cv::Mat& dst) {
  CV_Assert(src.type() == CV_8UC3 && size.width >= 1 && size.height >= 1 &&
            size.width <= src.cols && size.height <= src.rows);
  blocksThenArea(
      src.size(), size, dst, [&](cv::Size k, cv::Mat& out) { boxShrink(src, k, out); },
      [&] {
        if (src.size() == size) return src.copyTo(dst);
        separableShrink(src, areaTaps(edges(src.rows, 1, src.rows), size.height),
                        areaTaps(edges(src.cols, 1, src.cols), size.width), size, dst);
      });
}

cv::Mat paletteColours(const cv::Mat& indices, const Palette& palette) {
  CV_Assert(indices.type() == CV_8UC1);
  std::array<cv::Vec3b, 256> table{};  // indices beyond the palette are black
  for (size_t i = 0; i < std::min<size_t>(palette.size(), 256); ++i)
    table[i] = {palette[i].r, palette[i].g, palette[i].b};
  cv::Mat out(indices.size(), CV_8UC3);
  for (int y = 0; y < indices.rows; ++y) {
    const uint8_t* in = indices.ptr<uint8_t>(y);
    auto* o = out.ptr<cv::Vec3b>(y);
    for (int x = 0; x < indices.cols; ++x) o[x] = table[in[x]];
  }
  return out;
}

void areaShrinkIndexed(const cv::Mat& indices, const Palette& palette, cv::Size size,
                       cv::Mat& dst) {
  CV_Assert(indices.type() == CV_8UC1 && size.width >= 1 && size.height >= 1 &&
            size.width <= indices.cols && size.height <= indices.rows);
  blocksThenArea(
      indices.size(), size, dst,
      [&](cv::Size k, cv::Mat& out) { indexedBlocks(indices, palette, k, out); },
      [&] { areaShrink(paletteColours(indices, palette), size, dst); });
}

}  // namespace zelmar::ops
