#pragma once
// The one place where the control's numeric property and argument codes
// (engine_codes.h) become the enums of the core and of the view. Codes the
// control does not offer come back empty, and the operation is refused.
#include <cstdint>
#include <optional>

#include "engine/ops/ops.h"
#include "engine/qt/transition.h"
#include "engine/qt/view_layout.h"

namespace zelmar::qt::codes {

// DisplaySizeMode: fit, zoom, or natural size for any other value.
DisplayMode displayMode(int16_t mode);
// TransitionEffect: wipe, cross-fade, or none for any other value.
Effect effect(int16_t effect);

std::optional<ops::Filter> filter(int16_t code);
// ToGrayscale's depth: only 256 grey levels are offered.
bool grayLevels(int16_t bits);
std::optional<ops::Halftone> halftone(int16_t kind, int16_t angle);
// ChangeColorDepth's palette, dither and colour count, for `bits`.
std::optional<ops::Dither> dither(int16_t bits, int16_t palette, int16_t dither, int16_t colors);
std::optional<ops::ResizeMethod> resizeMethod(int16_t method);

// Clipboard formats, and whether AcquireOption asks for the scan dialog.
bool copyAsPicture(int16_t kind);
bool pasteReplacing(int16_t kind);
bool scanWithDialog(int32_t option);

}  // namespace zelmar::qt::codes
