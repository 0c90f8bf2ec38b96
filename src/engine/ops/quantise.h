#pragma once
// Palette optimisation and error diffusion; internal to the operations.
#include <cstddef>

#include "engine/core/error.h"
#include "engine/core/picture.h"

namespace zelmar::ops::detail {

// When the 24-bit picture has at most `limit` (<= 256) distinct colours: sets
// `pal` to them and `out` to the picture's indices into it, and gives true.
bool exactIndices(const Picture& rgb, size_t limit, Palette& pal, Picture& out);

// At most `colors` colours chosen for a 24-bit picture: variance-based median
// cut over a 15-bit histogram, then a few rounds of k-means on the histogram.
Palette optimisePalette(const Picture& rgb, int colors);

// Maps the 24-bit picture onto `pal` (at most 256 entries) into the indices of
// `out`, which has the picture's size; Floyd–Steinberg when `dither`, else
// the nearest colour.
void mapToPalette(const Picture& rgb, const Palette& pal, bool dither, Picture& out);

// Black (index 0) and white (1) from an 8-bit grey ramp picture.
void mapToBlackWhite(const Picture& gray, bool dither, Picture& out);

}  // namespace zelmar::ops::detail
