#pragma once
// The shape every codec follows: a cheap probe of the signature, a decode
// from memory that checks sizes before allocating, and an encode into an
// OutputBuffer. Each format lives in its own namespace with these three
// functions (see bmp.h, pcx.h, tiff.h, jpeg.h, targa.h, cmp.h); the formats
// we only read (gif.h, webp.h, heif.h) have no encode, and theirs and png.h's
// decode take DecodeOptions, since they compose transparency over a colour.
#include "engine/core/bytes.h"
#include "engine/core/defaults.h"
#include "engine/core/error.h"
#include "engine/core/facts.h"
#include "engine/core/limits.h"
#include "engine/core/picture.h"

namespace zelmar {

// What a load may be told beyond its limits. Converts from Limits, so a
// caller that only limits sizes passes those.
struct DecodeOptions {
  DecodeOptions() = default;
  DecodeOptions(const Limits& l, Rgb back = kDefaultBackColor) : limits(l), background(back) {}
  Limits limits;
  Rgb background = kDefaultBackColor;  // what transparent pixels are composed over
};

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
#define ZELMAR_DECLARE_CODEC(NAME)                                                        \
  namespace zelmar::NAME {                                                                \
  bool probe(Bytes data);                                                                 \
  Status decode(Bytes data, const Limits& limits, Decoded& out);                          \
  Status encode(const Picture& picture, const EncodeOptions& options, OutputBuffer& out); \
  }
