#pragma once
// Run-length pixel data of bitmaps (4 and 8 bits, and OS/2's 24 bits).
#include "engine/core/bytes.h"
#include "engine/core/picture.h"

namespace zelmar::bmp {

// Paints the RLE4 (bits 4), RLE8 (bits 8) or RLE24 (bits 24, runs of B, G, R
// pixels) stream into `picture`, whose pixels the caller has zeroed: pixels the stream skips with a
// delta or an early end of line stay index 0. Runs past the right edge and rows past the last one
// are clipped. File rows go bottom-up unless `topDown`. Returns false when the stream ends before
// the end-of-bitmap mark and before every row was reached.
bool decodeRle(Bytes stream, int bits, bool topDown, Picture& picture);

}  // namespace zelmar::bmp
