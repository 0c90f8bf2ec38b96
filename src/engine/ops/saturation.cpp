// Saturation: every colour moves away from (or towards) its own grey level.
#include <algorithm>
#include <cmath>

#include "engine/ops/internal.h"
#include "engine/ops/ops.h"

namespace zelmar::ops {
using detail::guarded;

namespace {

void saturateRows(const Picture& src, Picture& dst, int gain1024) {
  cv::parallel_for_(cv::Range(0, int(src.height())), [&](const cv::Range& r) {
    for (int y = r.start; y < r.end; ++y) {
      const uint8_t* s = src.row(uint32_t(y));
      uint8_t* d = dst.row(uint32_t(y));
      for (uint32_t x = 0; x < src.width(); ++x, s += 3, d += 3) {
        const int grey = detail::luma(s[0], s[1], s[2]);
        for (int c = 0; c < 3; ++c) {
          const int v = grey + (((s[c] - grey) * gain1024 + 512) >> 10);
          d[c] = uint8_t(std::clamp(v, 0, 255));
        }
      }
    }
  });
}

}  // namespace

Status adjustSaturation(const Picture& base, int value, Picture& out) {
  ZELMAR_TRY(detail::requirePicture(base));
  if (value < -990 || value > 990)
    return {ErrorCode::InvalidArgument, "saturation " + std::to_string(value)};
  return guarded([&]() -> Status {
    Picture res;
    // 0 is the base itself; a grey picture has no saturation to change.
    if (value == 0 || base.isGray()) {
      ZELMAR_TRY(base.cloneTo(res));
      out = std::move(res);
      return {};
    }
    Picture scratch;
    const Picture* src = nullptr;
    ZELMAR_TRY(detail::workingForm(base, false, scratch, src));
    ZELMAR_TRY(detail::createResult(src->width(), src->height(), 24, res));
    saturateRows(*src, res, int(std::lround((1000.0 + value) * 1024.0 / 1000.0)));
    out = std::move(res);
    return {};
  });
}

}  // namespace zelmar::ops
