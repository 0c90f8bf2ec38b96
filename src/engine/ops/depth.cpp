// Colour depth conversion: exact expansion to 24 bits, or reduction to black
// and white, 16 or 256 colours. A picture that already fits the target keeps
// its exact colours; otherwise the palette is optimised and the error diffused.
#include <algorithm>
#include <array>

#include "engine/ops/internal.h"
#include "engine/ops/ops.h"
#include "engine/ops/quantise.h"

namespace zelmar::ops {
using detail::guarded;

namespace {

const Palette kBlackWhite{{0, 0, 0}, {255, 255, 255}};

Status toBlackWhite(const Picture& p, bool dither, Picture& out) {
  Picture gray;
  ZELMAR_TRY(detail::grayOf(p, gray));
  ZELMAR_TRY(detail::createResult(p.width(), p.height(), 1, out));
  out.setPalette(kBlackWhite);
  detail::mapToBlackWhite(gray, dither, out);
  return {};
}

// A palette picture whose used entries hold at most `colors` distinct
// colours: the indices are renumbered, no colour changes.
bool remapPalette(const Picture& p, int bits, Picture& out) {
  std::array<bool, 256> used{};
  for (uint32_t y = 0; y < p.height(); ++y)
    for (uint32_t x = 0; x < p.width(); ++x) used[p.row(y)[x]] = true;
  Palette colours;
  std::array<uint8_t, 256> to{};
  for (size_t i = 0; i < p.palette().size(); ++i) {
    if (!used[i]) continue;
    const auto it = std::find(colours.begin(), colours.end(), p.palette()[i]);
    to[i] = uint8_t(it - colours.begin());
    if (it == colours.end()) colours.push_back(p.palette()[i]);
  }
  if (colours.size() > (size_t(1) << bits)) return false;
  if (!detail::createResult(p.width(), p.height(), bits, out).ok()) return false;
  out.setPalette(colours);
  cv::LUT(detail::matOf(p), cv::Mat(1, 256, CV_8U, to.data()), detail::matOf(out));
  return true;
}

Status toPalette(const Picture& p, int bits, bool dither, Picture& out) {
  if (p.bits() != 24 && remapPalette(p, bits, out)) return {};
  Picture scratch;
  const Picture* rgb = &p;
  if (p.bits() != 24) {
    ZELMAR_TRY(detail::expandTo24(p, scratch));
    rgb = &scratch;
  }
  ZELMAR_TRY(detail::createResult(p.width(), p.height(), bits, out));
  const size_t colors = size_t(1) << bits;
  Palette pal;
  if (detail::exactIndices(*rgb, colors, pal, out)) {
    out.setPalette(pal);
    return {};
  }
  pal = detail::optimisePalette(*rgb, int(colors));
  out.setPalette(pal);
  detail::mapToPalette(*rgb, pal, dither, out);
  return {};
}

}  // namespace

Status changeColorDepth(Picture& p, int bits, Dither dither) {
  ZELMAR_TRY(detail::requirePicture(p));
  if (bits == 24) {
    if (p.bits() == 24) return {};
    Picture out;
    ZELMAR_TRY(detail::expandTo24(p, out));
    p = std::move(out);
    return {};
  }
  if (bits != 1 && bits != 4 && bits != 8)
    return {ErrorCode::InvalidArgument, "depth " + std::to_string(bits)};
  const bool diffuse = dither == Dither::ErrorDiffusion;
  return guarded([&]() -> Status {
    Picture out;
    if (bits == 1)
      ZELMAR_TRY(toBlackWhite(p, diffuse, out));
    else
      ZELMAR_TRY(toPalette(p, bits, diffuse, out));
    p = std::move(out);
    return {};
  });
}

}  // namespace zelmar::ops
