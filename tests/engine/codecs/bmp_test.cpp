// BMP layouts our writer never makes, built field by field, and the files
// other programs write. Checks every format passes are in codec_table_test.
#include "engine/codecs/bmp.h"

#include <gtest/gtest.h>

#include <array>

#include "engine/codecs/codec_checks.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

struct Layout {
  int32_t width = 1, height = 1;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t infoSize = 40;
  std::array<uint32_t, 3> masks{};
  uint32_t colorsUsed = 0;
  Palette palette = {};
};

// A bitmap built field by field, the pixels given exactly as stored.
ByteVec bmpFile(const Layout& l, const ByteVec& pixels) {
  ByteBuilder f;
  f.bytes({'B', 'M'}).u32(0).u32(0).u32(0).u32(l.infoSize);
  f.u32(uint32_t(l.width)).u32(uint32_t(l.height)).u16(1).u16(l.bits).u32(l.compression);
  f.u32(uint32_t(pixels.size())).u32(2835).u32(2835).u32(l.colorsUsed).u32(0);
  if (l.infoSize >= 52 || l.compression == 3)
    for (uint32_t m : l.masks) f.u32(m);
  if (l.infoSize > 52) f.fill(l.infoSize - 52);
  for (const Rgb& c : l.palette) f.bytes({c.b, c.g, c.r, 0});
  f.set32(10, uint32_t(f.size()));
  f.append(pixels);
  f.set32(2, uint32_t(f.size()));
  return f.b;
}

Facts facts(int bits, int originBits, uint32_t w, uint32_t h, const char* compression,
            bool gray = false, bool truncated = false) {
  return {bits, originBits, w, h, format::kBmp, compression, gray, truncated};
}

TEST(Bmp, HandBuiltLayoutsDecodeToTheirFactsAndPixels) {
  // Two rows of two B,G,R pixels, each row padded to 8 bytes.
  const ByteVec px{1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  const ByteVec topFirst{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10};
  const ByteVec bottomFirst{9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4};
  const Palette two{{200, 10, 20}, {30, 40, 250}}, four{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}};
  const Palette grey = grayPalette(16);
  auto cutRle = bmpFile({.width = 4, .height = 3, .bits = 8, .compression = 1, .palette = grey},
                        {3, 5, 0, 0, 0, 3, 1, 2, 3, 0, 6, 7, 0, 0, 0, 2, 1, 0, 1, 9, 0, 1});
  cutRle.resize(cutRle.size() - 18);
  std::vector<DecodeRow> rows = {
      {"top-down", bmpFile({.width = 2, .height = -2}, px), facts(24, 24, 2, 2, "None"), topFirst},
      {"bottom-up", bmpFile({.width = 2, .height = 2}, px), facts(24, 24, 2, 2, "None"),
       bottomFirst},
      {"16 bits without masks are 5-5-5",
       bmpFile({.width = 2, .bits = 16}, {0xff, 0x7f, 0x10, 0x42}),
       facts(24, 16, 2, 1, "None"),
       {255, 255, 255, 132, 132, 132}},
      {"5-6-5 masks",
       bmpFile({.width = 4, .bits = 16, .compression = 3, .masks = {0xf800, 0x07e0, 0x001f}},
               {0x00, 0xf8, 0xe0, 0x07, 0x1f, 0x00, 0x10, 0x84}),
       facts(24, 16, 4, 1, "Bitfields"),
       {255, 0, 0, 0, 255, 0, 0, 0, 255, 132, 130, 132}},
      {"10-10-10 masks keep their top 8 bits",
       bmpFile(
           {.bits = 32, .compression = 3, .infoSize = 56, .masks = {0x3ff00000, 0x000ffc00, 0x3ff}},
           {0x00, 0x02, 0xf0, 0x3f}),
       facts(24, 32, 1, 1, "Bitfields"),
       {255, 0, 128}},
      {"32 bits are B, G, R and a spare byte",
       bmpFile({.bits = 32}, {0x10, 0x20, 0x30, 0xff}),
       facts(24, 32, 1, 1, "None"),
       {0x30, 0x20, 0x10}},
      // Indexes past the colours a file lists show black.
      {"short palette",
       bmpFile({.width = 4, .bits = 8, .colorsUsed = 2, .palette = two}, {0, 1, 2, 255}),
       facts(8, 8, 4, 1, "None"),
       {0, 1, 2, 255},
       {two[0], two[1], {}, {}}},
      {"palette length from the pixel offset",
       bmpFile({.width = 4, .bits = 8, .palette = two}, {1, 0, 1, 7}),
       facts(8, 8, 4, 1, "None"),
       {1, 0, 1, 7},
       {two[0], two[1], {}}},
      {"2 bits load as 4",
       bmpFile({.width = 5, .bits = 2, .palette = four}, {0x1b, 0x40, 0, 0}),
       facts(4, 2, 5, 1, "None", true),
       {0, 1, 2, 3, 1},
       four},
      // Three 5s; absolute 1 2 3 and a run of 7 past the edge; a delta right,
      // one 9, end of bitmap. Bottom row first.
      {"RLE8",
       bmpFile({.width = 4, .height = 3, .bits = 8, .compression = 1, .palette = grey},
               {3, 5, 0, 0, 0, 3, 1, 2, 3, 0, 6, 7, 0, 0, 0, 2, 1, 0, 1, 9, 0, 1}),
       facts(8, 8, 4, 3, "RLE", true),
       {0, 9, 0, 0, 1, 2, 3, 7, 5, 5, 5, 0}},
      // A run of 7 nibbles clipped to 5; an absolute block of 5 nibbles padded.
      {"RLE4",
       bmpFile({.width = 5, .height = 2, .bits = 4, .compression = 2, .palette = grey},
               {7, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 1}),
       facts(4, 4, 5, 2, "RLE", true),
       {3, 4, 5, 6, 7, 1, 2, 1, 2, 1}},
      {"a delta past the last row ends the picture",
       bmpFile({.width = 2, .height = 2, .bits = 8, .compression = 1, .palette = grey},
               {2, 4, 0, 2, 0, 200, 2, 9, 0, 1}),
       facts(8, 8, 2, 2, "RLE", true),
       {0, 0, 4, 4}},
      {"a stream that stops keeps what it painted",
       cutRle,
       facts(8, 8, 4, 3, "RLE", true, true),
       {0, 0, 0, 0, 0, 0, 0, 0, 5, 5, 5, 0}},
  };
  // Longer headers change nothing for plain rows.
  for (uint32_t size : {52u, 56u, 108u, 124u})
    rows.push_back({"header of " + std::to_string(size),
                    bmpFile({.width = 2, .height = 2, .infoSize = size}, px),
                    facts(24, 24, 2, 2, "None"), bottomFirst});
  expectDecodes(bmp::decode, rows);
}

TEST(Bmp, OurFilesHaveFullPalettesAndPaddedRows) {
  for (int bits : {1, 4, 8, 24})
    for (uint32_t w : {1u, 7u, 33u}) {
      const ByteVec file = encodeOk(bmp::encode, makePattern(w, 5, bits));
      EXPECT_EQ(file.size(), 54 + (bits == 24 ? 0 : 4u << bits) + 5 * ((w * bits + 31) / 32 * 4))
          << bits << " bits, width " << w;
    }
  // Only the last row's padding missing: every pixel is there.
  const Picture rgb = makePattern(7, 4, 24);
  ByteVec file = encodeOk(bmp::encode, rgb);
  file.resize(file.size() - 3);
  const Decoded d = decodeOk(bmp::decode, file);
  EXPECT_FALSE(d.truncated);
  EXPECT_TRUE(closeColours(d.picture, rgb, 0));
}

TEST(Bmp, FilesOfOtherProgramsReadAsTheyReadThem) {
  const int b = format::kBmp;
  expectReadsLikeItsMaker(
      bmp::decode, ".bmp",
      {
          {kIm, "24", "", 24, 24, b, "None", 0, kIm, "BMP3:"},
          {kIm, "24", "", 24, 24, b, "None", 0, kIm, "BMP2:"},  // 12-byte header
          {kIm, "24", "", 24, 24, b, "None"},                   // 124-byte header
          {kIm, "8", "-type Palette -compress None", 8, 8, b, "None", 0, kIm, "BMP3:"},
          {kIm, "8", "-type Palette", 8, 8, b, "RLE", 0, kIm, "BMP3:"},
          {kIm, "8", "-type Palette", 8, 8, b, "None", 0, kIm, "BMP2:"},
          {kIm, "4", "-type Palette", 4, 4, b, "None", 0, kIm, "BMP3:"},
          {kIm, "1g", "-type Bilevel", 1, 1, b, "None", 0, kIm, "BMP3:"},
          // Other programs scale 5 and 6 bits to 8 with their own rounding.
          {kIm, "24", "-define bmp:subtype=RGB565", 24, 16, b, "Bitfields", 1},
          {kIm, "24", "-define bmp:subtype=RGB555", 24, 16, b, "Bitfields", 1},
          {kIm, "24", "-alpha set -define bmp:subtype=ARGB8888", 24, 32, b, "Bitfields"},
          {kGm, "24", "", 24, 24, b, "None"},
          {kGm, "8", "-type Palette", 8, 8, b, "RLE"},
          {kGm, "4", "-type Palette", 4, 4, b, "None"},
          {kPil, "24", "", 24, 24, b, "None"},
          {kPil, "8g", "", 8, 8, b, "None"},
      });
}

TEST(Bmp, BrokenHeadersFailWithTheirReason) {
  const ByteVec px(64, 0);
  expectRefused(
      bmp::decode,
      {
          {"info header too short", bmpFile({.infoSize = 14}, px), ErrorCode::BadHeader},
          {"7 bits", bmpFile({.bits = 7}, px), ErrorCode::BadHeader},
          {"compression 9", bmpFile({.compression = 9}, px), ErrorCode::BadHeader},
          {"RLE at 24 bits", bmpFile({.bits = 24, .compression = 1}, px), ErrorCode::BadHeader},
          {"no JPEG inside", bmpFile({.bits = 8, .compression = 4}, px), ErrorCode::CorruptData},
          {"zero width", bmpFile({.width = 0}, px), ErrorCode::BadDimensions},
          {"negative width", bmpFile({.width = -3}, px), ErrorCode::BadDimensions},
          {"lowest height", bmpFile({.height = INT32_MIN}, px), ErrorCode::BadDimensions},
          {"terabytes of pixels", bmpFile({.width = 1000000, .height = 1000000}, px),
           ErrorCode::LimitExceeded},
          {"headers but no pixels", bmpFile({.width = 2, .height = 2}, {}), ErrorCode::Truncated},
      });
}

}  // namespace
}  // namespace zelmar::test
