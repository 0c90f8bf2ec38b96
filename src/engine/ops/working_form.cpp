#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>

#include "engine/ops/internal.h"

namespace zelmar::ops::detail {

Status createResult(uint64_t width, uint64_t height, int bits, Picture& out, const Limits& limits) {
  ZELMAR_TRY(Picture::create(width, height, bits, out, limits));
  constexpr size_t kHuge = size_t(4) << 20;
  if (out.byteSize() >= kHuge) {
    // Only advice: the pages are untouched yet, and a refusal changes nothing.
    const auto page = uintptr_t(sysconf(_SC_PAGESIZE));
    const auto begin = (uintptr_t(out.data()) + page - 1) & ~(page - 1);
    const auto end = uintptr_t(out.data() + out.byteSize()) & ~(page - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
  }
  return {};
}

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
  ZELMAR_TRY(createResult(in.width(), in.height(), 24, res));
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
  ZELMAR_TRY(createResult(in.width(), in.height(), 8, res));
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
