#include <algorithm>
#include <array>

#include "engine/ops/internal.h"

namespace zelmar::ops::detail {

bool isGrayRamp(const Picture& p) {
  if (p.bits() != 8) return false;
  const Palette& pal = p.palette();
  for (int i = 0; i < 256; ++i)
    if (pal[i] != Rgb{uint8_t(i), uint8_t(i), uint8_t(i)}) return false;
  return true;
}

Status expandTo24(const Picture& in, Picture& out) {
  ZELMAR_TRY(requirePicture(in));
  if (in.bits() == 24) return in.cloneTo(out);
  Picture res;
  ZELMAR_TRY(Picture::create(in.width(), in.height(), 24, res, Limits{~0ull, ~0ull}));
  const Palette& pal = in.palette();
  cv::parallel_for_(cv::Range(0, int(in.height())), [&](const cv::Range& rows) {
    for (int y = rows.start; y < rows.end; ++y) {
      const uint8_t* src = in.row(uint32_t(y));
      uint8_t* dst = res.row(uint32_t(y));
      for (uint32_t x = 0; x < in.width(); ++x, dst += 3) {
        const Rgb c = pal[src[x]];
        dst[0] = c.r;
        dst[1] = c.g;
        dst[2] = c.b;
      }
    }
  });
  out = std::move(res);
  return {};
}

Status workingForm(const Picture& in, bool keepGray, Picture& scratch, const Picture*& work) {
  ZELMAR_TRY(requirePicture(in));
  if (in.bits() == 24 || (keepGray && isGrayRamp(in))) {
    work = &in;
    return {};
  }
  if (!keepGray || !in.isGray()) {
    ZELMAR_TRY(expandTo24(in, scratch));
    work = &scratch;
    return {};
  }
  // A grey palette in any order: the indices become grey levels.
  Picture res;
  ZELMAR_TRY(Picture::create(in.width(), in.height(), 8, res, Limits{~0ull, ~0ull}));
  res.setPalette(grayPalette(256));
  std::array<uint8_t, 256> level{};
  for (size_t i = 0; i < in.palette().size(); ++i) level[i] = in.palette()[i].r;
  cv::Mat lut(1, 256, CV_8U, level.data());
  cv::LUT(matOf(in), lut, matOf(res));
  scratch = std::move(res);
  work = &scratch;
  return {};
}

}  // namespace zelmar::ops::detail
