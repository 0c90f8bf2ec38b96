#pragma once
// PCX pictures.
#include "engine/codecs/codec.h"

namespace zelmar::pcx {

// True for a plausible header start: the 0x0A maker byte, a known version,
// encoding 0 or 1 and 1, 2, 4 or 8 bits per plane.
bool probe(Bytes data);

// Reads 1 bit (1 plane), 2 to 4 colour planes of 1 bit, 2 or 4 bits in one
// plane (all of these as 4 bits, except 1 bit in 1 plane), 8 bits with the
// 256-colour palette at the end (grey when it is missing), and 8 bits in 3
// or 4 planes (24-bit colour; a fourth plane is dropped). Runs may cross the
// end of a scan line. Scan lines stored shorter than the width needs show
// index 0 (black) past their end. Pixel data cut short loads what is there
// (out.truncated). Errors: BadHeader, BadDimensions, LimitExceeded,
// Truncated (no pixel data at all), Unsupported (other plane layouts),
// OutOfMemory.
Status decode(Bytes data, const Limits& limits, Decoded& out);

// Writes the picture at its own depth with RLE: 1 bit in 1 plane, 4 bits as
// 4 planes of 1 bit (palette in the header), 8 bits with the 256-colour
// palette at the end, 24 bits as 3 planes. The factor is unused.
// Errors: UnsupportedDepth, OutOfMemory.
Status encode(const Picture& picture, const EncodeOptions& options, OutputBuffer& out);

}  // namespace zelmar::pcx
