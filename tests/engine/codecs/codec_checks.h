#pragma once
// What the codec tests share: the facts of a decode as one value, files kept
// under tests/data/codecs with what they must decode to, and files other
// programs make.
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

// A file another program makes, and what must be read from it: the
// picture its maker reads from it (or `judge`, when the maker misreads the
// format), transparency flattened over `back`, within `tolerance` per channel.
struct MadeElsewhere {
  Tool maker;
  std::string source;  // "24", "8", "4": colour patterns; "8g", "4g", "1g": grey; "photo"
  std::string args;    // the maker's arguments, separated by blanks
  int loadsBits, originBits, format;
  std::string compression;
  int tolerance = 0;
  Tool judge = maker;
  std::string coder = "";  // for the magicks, such as "BMP3:"
  Rgb back = kDefaultBackColor;
};
// Each row's file, named "a" + `extension`, read as its judge reads it.
// Skips the test, with the reason, when a maker or judge is missing.
void expectReadsLikeItsMaker(const std::string& extension, const std::vector<MadeElsewhere>& rows);

}  // namespace zelmar::test
