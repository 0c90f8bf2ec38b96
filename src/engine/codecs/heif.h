#pragma once
// HEIF (HEIC) and AVIF through libheif and the decoders it has; read only.
#include "engine/codecs/codec.h"

namespace zelmar::heif {

// True for an ISO media file whose brands name a HEIF or AVIF still picture.
bool probe(Bytes data);

// The primary picture, turned and cropped as the file says, as 24-bit colour
// (deeper samples reduced to 8); transparent pixels are composed over
// `options.background`. FileFormat is AVIF's code for AV1 pictures, HEIF's
// otherwise; PageCount counts the top-level pictures. Errors: BadHeader,
// BadDimensions, LimitExceeded, Unsupported (a codec libheif lacks),
// Truncated, CorruptData, OutOfMemory.
Status decode(Bytes data, const DecodeOptions& options, Decoded& out);

}  // namespace zelmar::heif
