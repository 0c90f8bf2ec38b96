#pragma once
// The control's numeric property and argument codes, by name. The viewer
// passes these through ImageEngine; only the control turns them into the
// core's enums.
#include <cstdint>

namespace engine_codes {

// DisplaySizeMode.
inline constexpr int16_t kSizeNatural = 0;
inline constexpr int16_t kSizeFit = 3;
inline constexpr int16_t kSizeZoom = 4;

// TransitionEffect.
inline constexpr int16_t kEffectNone = 0;
inline constexpr int16_t kEffectWipe = 23;  // bands of TransitionGrain pixels
inline constexpr int16_t kEffectCrossFade = 47;

// ApplyFilter.
inline constexpr int16_t kFilterEmboss = 5;
inline constexpr int16_t kFilterEdges = 16;

// ToGrayscale: 256 grey levels.
inline constexpr int16_t kGray256 = 8;

// MakeHalftone(kind, angle).
inline constexpr int16_t kHalftoneClusteredDot = 1;

// ChangeColorDepth(bits, palette, dither, colours): an optimised palette
// with error diffusion, as many colours as the depth holds; (24, 0, 0, 0)
// expands exactly.
inline constexpr int16_t kPaletteOptimised = 2;
inline constexpr int16_t kDitherNearest = 0;
inline constexpr int16_t kDitherDiffusion = 1;

// ResizeImage method.
inline constexpr int16_t kResizeResample = 1;

// CopyToClipboard / PasteFromClipboard.
inline constexpr int16_t kClipboardPicture = 2;
inline constexpr int16_t kPasteReplace = 0;

// AcquireOption: show the scan dialog.
inline constexpr int32_t kAcquireWithDialog = 9;

// SaveFile format codes.
inline constexpr int16_t kSavePcx = 1;
inline constexpr int16_t kSaveTiff = 3;
inline constexpr int16_t kSaveTarga = 4;
inline constexpr int16_t kSaveCmp = 5;
inline constexpr int16_t kSaveBmp = 6;
inline constexpr int16_t kSaveJpeg = 21;

}  // namespace engine_codes
