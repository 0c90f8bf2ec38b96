#pragma once
// A check of our own on the first TIFF directory, before libtiff reads it.
#include "engine/core/bytes.h"

namespace zelmar::tiff {

// False when a tag the pixels depend on (sample sizes, strip and tile
// tables, colour map, extra samples, YCbCr and JPEG tables) keeps its values
// past the end of the data. libtiff drops such tags with a warning and
// carries on with defaults, which turns a cut-short header into a wrong
// picture rather than an error. Classic TIFF only; BigTIFF passes.
bool essentialTagsFit(Bytes data);

}  // namespace zelmar::tiff
