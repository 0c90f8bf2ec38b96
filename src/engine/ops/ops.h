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

enum class Filter {
  Emboss,      // light from the top left: rising edges bright, flat areas mid grey
  EdgeDetect,  // magnitude of the 8-neighbour Laplacian: bright edges on black
};
// How a colour reduction places the colours it cannot keep.
enum class Dither {
  Nearest,         // each pixel takes the nearest palette colour
  ErrorDiffusion,  // Floyd–Steinberg
};
enum class ResizeMethod {
  Smooth,  // area averaging on the axes that shrink, bicubic on those that grow
};
enum class Halftone {
  ClusteredDot,  // 1 bit, 8 × 8 cells, screen angle 0
};

Status applyFilter(Picture& p, Filter filter);
// Sharpening (unsharp masking against the 3 × 3 mean); strength in percent,
// 0..1000, 0 = unchanged.
Status enhanceEdges(Picture& p, int strength);
// 256 grey levels (luma 0.299/0.587/0.114): an 8-bit grey picture.
Status toGrayscale(Picture& p);
// A 1-bit picture whose dots read as the picture's greys from a distance.
Status makeHalftone(Picture& p, Halftone kind);
// bits 1, 4 or 8: an optimised palette of 2 / 16 / 256 colours (1 bit = black
// and white) with `dither`; a picture with no more colours than the target
// keeps them exactly. bits 24: exact expansion (`dither` does not matter).
// Other depths: InvalidArgument.
Status changeColorDepth(Picture& p, int bits, Dither dither);
// Sizes round to the nearest integer; zero, negative or NaN sizes are
// InvalidArgument, sizes beyond `limits` LimitExceeded.
Status resize(Picture& p, double width, double height, ResizeMethod method,
              const Limits& limits = {});
// Positive angles turn clockwise, in hundredths of a degree; `enlarge`
// grows the canvas to hold the whole turned picture; corners take `fill`.
// Multiples of 9000 are exact and keep the depth.
// Angles are reduced modulo a full turn first, so any 64-bit value is safe.
// Errors: NoPicture, LimitExceeded (the canvas would pass `limits`), OutOfMemory.
Status rotate(Picture& p, int64_t hundredths, bool enlarge, Rgb fill, const Limits& limits = {});

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
