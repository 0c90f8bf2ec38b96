#include "engine/qt/control_codes.h"

#include "engine/qt/engine_codes.h"

namespace zelmar::qt::codes {

DisplayMode displayMode(int16_t mode) {
  if (mode == engine_codes::kSizeFit) return DisplayMode::Fit;
  if (mode == engine_codes::kSizeZoom) return DisplayMode::Zoom;
  return DisplayMode::Natural;
}

Effect effect(int16_t effect) {
  if (effect == engine_codes::kEffectWipe) return Effect::Wipe;
  if (effect == engine_codes::kEffectCrossFade) return Effect::CrossFade;
  return Effect::None;
}

std::optional<ops::Filter> filter(int16_t code) {
  if (code == engine_codes::kFilterEmboss) return ops::Filter::Emboss;
  if (code == engine_codes::kFilterEdges) return ops::Filter::EdgeDetect;
  return std::nullopt;
}

bool grayLevels(int16_t bits) { return bits == engine_codes::kGray256; }

std::optional<ops::Halftone> halftone(int16_t kind, int16_t angle) {
  if (kind == engine_codes::kHalftoneClusteredDot && angle == 0) return ops::Halftone::ClusteredDot;
  return std::nullopt;
}

std::optional<ops::Dither> dither(int16_t bits, int16_t palette, int16_t dither, int16_t colors) {
  // Expanding to full colour has nothing to choose: the other arguments do not matter.
  if (bits == 24) return ops::Dither::Nearest;
  if (palette != engine_codes::kPaletteOptimised || colors != 0) return std::nullopt;
  if (dither == engine_codes::kDitherDiffusion) return ops::Dither::ErrorDiffusion;
  if (dither == engine_codes::kDitherNearest) return ops::Dither::Nearest;
  return std::nullopt;
}

std::optional<ops::ResizeMethod> resizeMethod(int16_t method) {
  if (method == engine_codes::kResizeResample) return ops::ResizeMethod::Smooth;
  return std::nullopt;
}

bool copyAsPicture(int16_t kind) { return kind == engine_codes::kClipboardPicture; }
bool pasteReplacing(int16_t kind) { return kind == engine_codes::kPasteReplace; }
bool scanWithDialog(int32_t option) { return option == engine_codes::kAcquireWithDialog; }

}  // namespace zelmar::qt::codes
