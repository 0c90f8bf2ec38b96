#pragma once
// TIFF through libtiff, from and into memory.
#include "engine/codecs/codec.h"

namespace zelmar::tiff {

// True for the little- and big-endian signatures of TIFF and BigTIFF.
bool probe(Bytes data);

// The first page, strips or tiles, any compression libtiff reads. Bilevel
// loads as 1 bit; 2- and 4-bit grey or palette as 4 bits; 8-bit palette as 8
// bits; grey of any other depth as 8-bit grey; RGB and CMYK (plain, planar
// or JPEG-compressed) as 24 bits. Samples of any width up to 32 bits are
// scaled to 8; signed ones are shifted into the unsigned range; floating
// point maps 0..1 to 0..255, clamped. Other layouts (YCbCr, CIELab, ...)
// go through libtiff's RGBA reader. Data cut short or damaged loads what
// decoded, with `truncated` set. PageCount counts the directories.
// Errors: BadHeader, BadDimensions, LimitExceeded (also strips or tiles far
// larger than the picture), Unsupported (layouts neither we nor libtiff's
// RGBA reader convert, such as signed samples in a colour space only that
// reader knows), Truncated (no pixel data in the file), CorruptData,
// OutOfMemory.
Status decode(Bytes data, const Limits& limits, Decoded& out);

// LZW at the picture's depth (1, 4, 8 or 24 bits), with the horizontal
// predictor for 8 and 24 bits; grey pictures are written as grey, others
// with a colour map. Errors: NoPicture, WriteFailed.
Status encode(const Picture& picture, const EncodeOptions& options, OutputBuffer& out);

}  // namespace zelmar::tiff
