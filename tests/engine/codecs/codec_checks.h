#pragma once
// What the codec tests share: the facts of a decode as one value, and files
// kept under tests/data/codecs with what they must decode to.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "engine/codecs/codec.h"
#include "support/oracle.h"

namespace zelmar::test {

inline constexpr Tool kIm = Tool::ImageMagick, kGm = Tool::GraphicsMagick, kVips = Tool::Vips,
                      kPil = Tool::Pillow;

using DecodeFn = Status (*)(Bytes, const Limits&, Decoded&);
using EncodeFn = Status (*)(const Picture&, const EncodeOptions&, OutputBuffer&);

// What a decode tells, compared and printed whole. Sizes are as stored.
struct Facts {
  int bits = 0, originBits = 0;
  uint32_t width = 0, height = 0;
  int format = 0;
  std::string compression;
  bool gray = false, truncated = false;
  int pages = 1;
  friend bool operator==(const Facts&, const Facts&) = default;
};
std::ostream& operator<<(std::ostream& out, const Facts& f);
Facts factsOf(const Decoded& d);

// A codec's encode or decode; an error fails the running test.
ByteVec encodeOk(EncodeFn encode, const Picture& picture, int factor = 64);
Decoded decodeOk(DecodeFn decode, Bytes file);

// A file of tests/data/codecs, such as "bmp-rle8.bmp" (a failed test when
// missing), and the names of those in one of its folders, such as "refused/truncated".
ByteVec dataFile(const std::string& name);
std::vector<std::string> dataFiles(const std::string& folder);

// A file of tests/data/codecs no program writes, and what it must decode
// to: its facts and the picture's bytes as held (indexes, or R G B), with
// the palette's first entries when given; or, for `shown`, the colours of
// its pixels row by row, within `tolerance` per channel.
struct DecodeRow {
  std::string file;
  Facts facts;
  ByteVec samples = {};
  Palette palette = {};
  std::vector<Rgb> shown = {};
  int tolerance = 0;
};
void expectDecodes(const std::vector<DecodeRow>& rows);

}  // namespace zelmar::test
