#pragma once
// Targa: colour-mapped (8-bit indexes), grey and true-colour pictures,
// uncompressed or run-length encoded, any of the four origins.
#include "engine/codecs/codec.h"

namespace zelmar::targa {

// Targa has no signature: true when the 18-byte header is plausible (a known
// image type, colour-map fields consistent with it, a depth that fits the
// type, non-zero sizes). The registry asks only for files named like Targa.
bool probe(Bytes data);

// Loads colour-mapped files as 8 bits (indexes outside the colour map show
// black), grey as 8-bit grey and 15/16/24/32-bit colour as 24 bits (alpha
// and attribute bits are dropped). Errors: BadHeader, BadDimensions,
// LimitExceeded, Unsupported (16-bit indexes), Truncated (the header, colour
// map or first pixel is missing). Pixel data cut short gives a partial
// picture with out.truncated set, the rest black (index 0).
Status decode(Bytes data, const Limits& limits, Decoded& out);

// Writes uncompressed, bottom row first: 24-bit pictures as true colour,
// 1-, 4- and 8-bit pictures as 8-bit indexes into a colour map of 2^bits
// 24-bit entries. `options` is unused: the format has nothing to tune.
// Errors: LimitExceeded for a side over 65535 (the header holds 16 bits).
Status encode(const Picture& picture, const EncodeOptions& options, OutputBuffer& out);

}  // namespace zelmar::targa
