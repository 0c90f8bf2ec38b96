// A clustered-dot halftone: the luma is compared with a threshold screen of
// 8 × 8 cells in which a black dot grows from each cell's centre, so a flat
// grey becomes a regular grid of dots whose size gives the shade (65 levels).
#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#include "engine/ops/internal.h"
#include "engine/ops/ops.h"

namespace zelmar::ops {

namespace {

constexpr int kCell = 8;

// Threshold of each cell position: positions nearest the centre turn black
// first as the shade darkens.
std::array<uint8_t, kCell * kCell> makeScreen() {
  std::array<int, kCell * kCell> order;
  std::iota(order.begin(), order.end(), 0);
  auto dist = [](int i) {
    const double dx = i % kCell - (kCell - 1) / 2.0, dy = i / kCell - (kCell - 1) / 2.0;
    // A touch of angle breaks ties so the dot grows round, not in rings of 4.
    return dx * dx + dy * dy + 1e-3 * std::atan2(dy, dx);
  };
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return dist(a) < dist(b); });
  // The k-th position to darken is black while the grey is below the top of
  // the k-th step, so a flat grey g darkens round(64 (255 - g) / 255) positions.
  std::array<uint8_t, kCell * kCell> screen{};
  const int n = kCell * kCell;
  for (int k = 0; k < n; ++k) screen[size_t(order[size_t(k)])] = uint8_t((255 * (n - k) - 128) / n);
  return screen;
}

}  // namespace

Status makeHalftone(Picture& p, Halftone kind) {
  ZELMAR_TRY(detail::requirePicture(p));
  if (kind != Halftone::ClusteredDot) return {ErrorCode::InvalidArgument, "unknown halftone"};
  return detail::guarded([&]() -> Status {
    Picture gray;
    ZELMAR_TRY(detail::grayOf(p, gray));
    Picture out;
    ZELMAR_TRY(detail::createResult(p.width(), p.height(), 1, out));
    out.setPalette({{0, 0, 0}, {255, 255, 255}});
    static const auto screen = makeScreen();
    cv::parallel_for_(cv::Range(0, int(p.height())), [&](const cv::Range& r) {
      for (int y = r.start; y < r.end; ++y) {
        const uint8_t* s = gray.row(uint32_t(y));
        uint8_t* d = out.row(uint32_t(y));
        const uint8_t* t = &screen[size_t(y % kCell) * kCell];
        for (uint32_t x = 0; x < p.width(); ++x) d[x] = s[x] > t[x % kCell];
      }
    });
    p = std::move(out);
    return {};
  });
}

}  // namespace zelmar::ops
