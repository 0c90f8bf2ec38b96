#pragma once
// PNG: libspng reads the header and the layouts that need its conversions;
// 8-bit rows that are not interlaced are inflated and unfiltered by us.
#include "engine/codecs/codec.h"

namespace zelmar::png {

// True when the data starts with the eight-byte PNG signature.
bool probe(Bytes data);

// Every colour type and depth. Palette pictures of 1 bit load as 1 bit, of 2
// and 4 bits as 4 bits, of 8 bits as 8 bits (palette entries with alpha
// composed over the background); grey loads as 8-bit grey and truecolour as
// 24-bit colour, 16-bit samples reduced to 8. Transparent pixels are composed
// over `options.background` (grey pictures stay grey over a grey one).
// Interlaced files load whole. Pixel data cut short or damaged after its
// first row loads what decoded, with `truncated` set and the rest black.
// Errors: BadHeader, BadDimensions, LimitExceeded, Truncated (no row
// decoded), CorruptData, OutOfMemory.
Status decode(Bytes data, const DecodeOptions& options, Decoded& out);

// Writes the picture at its own depth: 24-bit colour as truecolour, 8-bit
// grey (a palette that is the grey ramp) as 8-bit grey, other palette
// pictures as indexed colour of 1, 4 or 8 bits. Lossless, so the factor is
// unused; zlib runs at level 3, favouring speed. Errors: NoPicture, WriteFailed, OutOfMemory.
Status encode(const Picture& picture, const EncodeOptions& options, OutputBuffer& out);

}  // namespace zelmar::png
