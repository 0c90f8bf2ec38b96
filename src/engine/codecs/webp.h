#pragma once
// WebP through libwebp; read only.
#include "engine/codecs/codec.h"

namespace zelmar::webp {

// True for a RIFF container of type WEBP.
bool probe(Bytes data);

// Lossy and lossless, with or without alpha, as 24-bit colour; transparent
// pixels are composed over `options.background`. An animation shows its
// first frame on the whole canvas; PageCount counts its frames. A still
// picture cut short after its first row loads what decoded (out.truncated),
// the rest black. Errors: BadHeader, BadDimensions, LimitExceeded, Truncated
// (no row decoded), CorruptData, OutOfMemory.
Status decode(Bytes data, const DecodeOptions& options, Decoded& out);

}  // namespace zelmar::webp
