#pragma once
// GIF through giflib; read only.
#include "engine/codecs/codec.h"

namespace zelmar::gif {

// True for the "GIF87a" and "GIF89a" signatures.
bool probe(Bytes data);

// The first frame on the logical screen, as an 8-bit palette picture. The
// transparent colour, and the screen the frame leaves uncovered, show
// `options.background`; a frame reaching past the screen is clipped (a
// screen of no size takes the frame's). PageCount counts the frames. Data
// cut short after the first row loads what decoded (out.truncated), the
// rest showing the background. Errors: BadHeader, BadDimensions,
// LimitExceeded, Truncated (no row decoded), CorruptData, OutOfMemory.
Status decode(Bytes data, const DecodeOptions& options, Decoded& out);

}  // namespace zelmar::gif
