#pragma once
// Pixel operations on a picture, in place: on success the picture is
// replaced by the result; on failure it is left exactly as it was.
// Every operation on an empty picture fails with NoPicture; any may fail with
// OutOfMemory. Mirror, flip, invert and quarter turns keep the depth and are
// exact. Interpolating and convolving operations (filters, resize, other
// angles, saturation) give 24-bit colour, or 8-bit grey for a grey picture.
#include <cstdint>

#include "engine/core/error.h"
#include "engine/core/limits.h"
#include "engine/core/picture.h"

namespace zelmar::ops {

Status flipVertical(Picture& p);      // top row becomes the bottom row; every depth
Status mirrorHorizontal(Picture& p);  // left column becomes the right one; every depth
Status invertColors(Picture& p);      // palette pictures invert their palette

// 5 emboss, 16 edge detection; other codes are InvalidArgument.
Status applyFilter(Picture& p, int filter);
// Sharpening (unsharp masking against the 3 × 3 mean); strength in percent,
// 0..1000, 0 = unchanged.
Status enhanceEdges(Picture& p, int strength);
// 8: 256 grey levels (luma 0.299/0.587/0.114), an 8-bit grey picture.
Status toGrayscale(Picture& p, int bits);
// kind 1: 1-bit clustered-dot halftone at screen `angle` (0).
Status makeHalftone(Picture& p, int kind, int angle);
// (1|4|8, 2, 1, 0): optimised palette of 2/16/256 colours with Floyd–Steinberg
// error diffusion (1 bit = black and white); dither 0 maps to the nearest
// colour instead. A picture with no more colours than the target keeps them
// exactly. (24, ...): exact expansion. Other arguments: InvalidArgument.
Status changeColorDepth(Picture& p, int bits, int palette, int dither, int colors);
// Sizes round to the nearest integer; zero, negative or NaN sizes are
// InvalidArgument, sizes beyond `limits` LimitExceeded. Area averaging on
// the axes that shrink, bicubic on those that grow. `method` must be 1.
Status resize(Picture& p, double width, double height, int method,
              const Limits& limits = {});
// Positive angles turn clockwise, in hundredths of a degree; `enlarge`
// grows the canvas to hold the whole turned picture; corners take `fill`.
// Multiples of 9000 are exact and keep the depth.
// Angles are reduced modulo a full turn first, so any 64-bit value is safe.
// Errors: NoPicture, LimitExceeded (the canvas would pass `limits`), OutOfMemory.
Status rotate(Picture& p, int64_t hundredths, bool enlarge, Rgb fill,
              const Limits& limits = {});

// The canvas `rotate` with `enlarge` makes for a width × height picture: the
// bounding box of the turned picture, rounded up (swapped for odd quarter turns).
struct RotatedSize {
  uint64_t width = 0, height = 0;
  friend bool operator==(const RotatedSize&, const RotatedSize&) = default;
};
RotatedSize rotatedSize(uint32_t width, uint32_t height, int64_t hundredths);
// `base` with its saturation changed by value/10 percent (-990..990), into
// `out` (`base` is not changed). 0 gives `base` back exactly, depth included,
// and so does a grey picture for any value. SaturationSession keeps the base
// of a run of calls. Errors: InvalidArgument for other values.
Status adjustSaturation(const Picture& base, int value, Picture& out);

}  // namespace zelmar::ops
