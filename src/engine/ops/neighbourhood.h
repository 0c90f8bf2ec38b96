#pragma once
// Small fixed 3 × 3 kernels over whole pictures, internal to the filters.
// Each output sample is kernel(above, here, below, step) over three padded
// rows, where `step` is the distance to the next pixel's same channel; edges
// are extended by reflection (the row or column next to the edge is mirrored).
// Rows are done in parallel bands; every output sample is an exact integer
// function of its neighbourhood.
#include <algorithm>
#include <cstring>
#include <opencv2/core.hpp>
#include <vector>

#include "engine/core/picture.h"

namespace zelmar::ops::detail {

template <int N, class Kernel>
void convolve3x3(const Picture& src, Picture& out, Kernel kernel) {
  const uint32_t w = src.width(), h = src.height();
  const size_t rowBytes = size_t(w) * N;
  auto reflect = [](int64_t i, uint32_t n) -> uint32_t {
    if (n == 1) return 0;
    if (i < 0) return uint32_t(-i);
    if (i >= int64_t(n)) return uint32_t(2 * int64_t(n) - 2 - i);
    return uint32_t(i);
  };
  cv::parallel_for_(cv::Range(0, int(h)), [&](const cv::Range& rows) {
    // Three padded rows, one pixel of reflection at each end.
    std::vector<uint8_t> buf(3 * (rowBytes + 2 * N));
    uint8_t* pad[3] = {buf.data(), buf.data() + rowBytes + 2 * N,
                       buf.data() + 2 * (rowBytes + 2 * N)};
    auto load = [&](uint8_t* dst, int64_t y) {
      const uint8_t* s = src.row(reflect(y, h));
      std::memcpy(dst + N, s, rowBytes);
      std::memcpy(dst, s + size_t(reflect(-1, w)) * N, N);
      std::memcpy(dst + N + rowBytes, s + size_t(reflect(w, w)) * N, N);
    };
    load(pad[0], int64_t(rows.start) - 1);
    load(pad[1], rows.start);
    for (int y = rows.start; y < rows.end; ++y) {
      load(pad[2], int64_t(y) + 1);
      const uint8_t* a = pad[0] + N;
      const uint8_t* m = pad[1] + N;
      const uint8_t* b = pad[2] + N;
      uint8_t* d = out.row(uint32_t(y));
      for (size_t i = 0; i < rowBytes; ++i)
        d[i] = uint8_t(std::clamp(kernel(a + i, m + i, b + i, N), 0, 255));
      std::rotate(pad, pad + 1, pad + 3);
    }
  });
}

}  // namespace zelmar::ops::detail
