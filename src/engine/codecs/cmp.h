#pragma once
// CMP, our own lossless format: a small header, the palette, and the pixel
// rows filtered and compressed with zstd.
//
// File layout (integers little-endian):
//   offset size
//        0    4  magic "ZCMP"
//        4    1  version, 1
//        5    1  depth: 1, 4, 8 or 24 bits per pixel
//        6    1  filter: 0 none (palette depths); for 24 bits 1 median-edge
//                prediction, 2 the same after subtracting green
//        7    1  reserved, 0
//        8    4  width in pixels, 1..65535
//       12    4  height in pixels, 1..65535
//       16    2  palette entries n: 2^depth for palette depths, 0 for 24 bits
//       18    2  reserved, 0
//       20   3n  palette, R,G,B per entry
//   20 + 3n      one zstd frame that declares its content size and carries a
//                checksum; nothing follows it.
// The frame holds the payload:
//   - palette depths: the rows top to bottom, each ceil(width * depth / 8)
//     bytes, leftmost pixel in the high bits (indexes predict nothing, so
//     they are only packed);
//   - 24 bits: three planes, green, then red, then blue, each the rows top
//     to bottom of width bytes. With filter 2, red and blue are first taken
//     less green (mod 256); the writer picks that when it makes the
//     residuals smaller, as when the channels share their noise. A byte is
//     the sample minus its prediction (mod 256) from the same plane: the
//     left neighbour on the first row (0 for the first pixel), the one above
//     in the first column, elsewhere the median-edge predictor of left a,
//     above b and upper-left c: min(a, b) when c >= max(a, b), max(a, b)
//     when c <= min(a, b), else a + b - c.
#include "engine/codecs/codec.h"

namespace zelmar::cmp {

// True when the data starts with the magic.
bool probe(Bytes data);

// Loads the picture at its stored depth. Errors: Unsupported (another
// version), BadHeader, BadDimensions, LimitExceeded, Truncated (header,
// palette or frame header missing, or no row decoded), CorruptData (a frame
// that disagrees with the header, fails to decompress or its checksum, or
// is followed by other data). A frame cut short gives a partial picture with
// out.truncated set; the samples not decoded are 0.
Status decode(Bytes data, const Limits& limits, Decoded& out);

// Writes the picture at its depth. The factor picks the zstd level: up to 64
// (the default) level 1, the fastest; above, rising evenly to level 19 at 255
// for the smallest file (much slower). Errors: OutOfMemory.
Status encode(const Picture& picture, const EncodeOptions& options, OutputBuffer& out);

}  // namespace zelmar::cmp
