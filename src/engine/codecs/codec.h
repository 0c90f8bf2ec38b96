#pragma once
// The shape every codec follows: a cheap probe of the signature, a decode
// from memory that checks sizes before allocating, and an encode into an
// OutputBuffer. Each format lives in its own namespace with these three
// functions (see bmp.h, pcx.h, tiff.h, jpeg.h, targa.h, cmp.h).
#include "engine/core/bytes.h"
#include "engine/core/error.h"
#include "engine/core/facts.h"
#include "engine/core/limits.h"
#include "engine/core/picture.h"

namespace zelmar {

struct Decoded {
  Picture picture;
  FileFacts facts;         // fileSize is filled by the file layer, not the codec
  bool truncated = false;  // pixel data ended early; the rest of the picture is filled
};

struct EncodeOptions {
  int factor = 64;  // compression factor, 2 (best quality) to 255 (smallest file)
};

}  // namespace zelmar

// Declares a format's probe / decode / encode in namespace zelmar::NAME.
#define ZELMAR_DECLARE_CODEC(NAME)                                             \
  namespace zelmar::NAME {                                                     \
  bool probe(Bytes data);                                                      \
  Status decode(Bytes data, const Limits& limits, Decoded& out);               \
  Status encode(const Picture& picture, const EncodeOptions& options,          \
                OutputBuffer& out);                                            \
  }
