#pragma once
// JPEG through TurboJPEG.
#include "engine/codecs/codec.h"

namespace zelmar::jpeg {

// True when the data starts with a start-of-image marker and another marker.
bool probe(Bytes data);

// Baseline and progressive JPEG: grey loads as 8-bit grey, everything else
// (YCbCr at any sampling, RGB, CMYK and YCCK) as 24-bit colour. The EXIF
// orientation is applied; facts keep the stored size. libjpeg's warnings are
// not failures: stray bytes between segments are skipped, and data cut short
// loads what decoded, with `truncated` set and the rows never reached black.
// Data after the first picture (a phone's gain map or second view) is ignored.
// Samplings TurboJPEG has no name for load too, their format code chosen by
// how many luma samples share a chroma sample. Errors: BadHeader,
// BadDimensions, LimitExceeded, Truncated (the file ends before its first
// scan's data), CorruptData (nothing could be decoded), OutOfMemory.
Status decode(Bytes data, const Limits& limits, Decoded& out);

// Writes 8-bit grey (pictures whose palette is grey) or 24-bit colour at
// 4:2:0, quality 100 − (factor − 2) × 100 / 253 rounded down (64 gives 75;
// at least 1). Errors: InvalidArgument for
// a factor outside 2..255, NoPicture, WriteFailed.
Status encode(const Picture& picture, const EncodeOptions& options, OutputBuffer& out);

}  // namespace zelmar::jpeg
