#include "engine/qt/box_shrink.h"

#include <cstdint>
#include <vector>

namespace zelmar::qt {
namespace {

// Sums k source rows column by column (the compiler vectorises this), then
// k columns of that sum per output pixel.
template <class Acc>
void shrinkRows(const cv::Mat& src, int k, cv::Mat& dst, const cv::Range& rows) {
  const int outW = dst.cols, width3 = outW * k * 3;
  const uint64_t n = uint64_t(k) * k;
  // Division by a fixed-point reciprocal: exact for these sums.
  const uint64_t recip = ((uint64_t(1) << 40) + n / 2) / n;
  std::vector<Acc> acc(static_cast<size_t>(width3));
  for (int y = rows.start; y < rows.end; ++y) {
    std::fill(acc.begin(), acc.end(), Acc(0));
    for (int r = 0; r < k; ++r) {
      const uint8_t* in = src.ptr<uint8_t>(y * k + r);
      Acc* a = acc.data();
      for (int i = 0; i < width3; ++i) a[i] = Acc(a[i] + in[i]);
    }
    uint8_t* out = dst.ptr<uint8_t>(y);
    for (int x = 0; x < outW; ++x) {
      uint32_t s0 = 0, s1 = 0, s2 = 0;
      const Acc* a = acc.data() + size_t(x) * k * 3;
      for (int j = 0; j < k; ++j, a += 3) {
        s0 += a[0];
        s1 += a[1];
        s2 += a[2];
      }
      const uint64_t half = n / 2;
      out[3 * x] = uint8_t(((s0 + half) * recip) >> 40);
      out[3 * x + 1] = uint8_t(((s1 + half) * recip) >> 40);
      out[3 * x + 2] = uint8_t(((s2 + half) * recip) >> 40);
    }
  }
}

}  // namespace

void boxShrink(const cv::Mat& src, int k, cv::Mat& dst) {
  CV_Assert(src.type() == CV_8UC3 && k >= 2 && k <= 256 && src.cols >= k && src.rows >= k);
  dst.create(src.rows / k, src.cols / k, CV_8UC3);
  cv::Mat out = dst;
  // 16-bit sums hold up to 16 x 16 blocks of 255.
  cv::parallel_for_(cv::Range(0, dst.rows), [&](const cv::Range& rows) {
    if (k <= 16) shrinkRows<uint16_t>(src, k, out, rows);
    else shrinkRows<uint32_t>(src, k, out, rows);
  });
}

}  // namespace zelmar::qt
