#pragma once
// Windows and OS/2 bitmaps.
#include "engine/codecs/codec.h"

namespace zelmar::bmp {

// True when the data starts with the "BM" signature, or is a DIB without
// the file header (as the clipboard hands them over) whose every field is
// plausible and whose pixels are all there.
bool probe(Bytes data);

// Reads 1, 2, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, RLE4/RLE8,
// OS/2's RLE24 or with bit-field masks, bottom-up or top-down, with the
// 12-byte OS/2 1.x header, OS/2 2.x headers of 16 to 64 bytes or any Windows
// header of 40 bytes and more, or a whole JPEG or PNG file as the pixels
// (loaded as that file loads). 2 bits load as 4; 16 and 32 bits load as
// 24-bit colour (alpha is dropped). Pixel data cut short loads what is there
// (out.truncated). Errors: BadHeader, BadDimensions, LimitExceeded,
// Truncated (no pixel data at all), Unsupported (OS/2 Huffman), CorruptData,
// OutOfMemory.
Status decode(Bytes data, const Limits& limits, Decoded& out);

// Writes the picture at its own depth (1, 4, 8 or 24 bits), uncompressed,
// bottom-up, with a 40-byte header and a full palette. The factor is unused.
// Errors: UnsupportedDepth, OutOfMemory.
Status encode(const Picture& picture, const EncodeOptions& options, OutputBuffer& out);

}  // namespace zelmar::bmp
