// PCX layouts our writer never makes, and the files other programs write.
#include "engine/codecs/pcx.h"

#include <gtest/gtest.h>

#include "engine/codecs/codec_checks.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

// A header built field by field; the pixel stream follows as given.
ByteVec pcxFile(uint16_t width, uint16_t height, uint8_t bits, uint8_t planes,
                uint16_t bytesPerLine, const ByteVec& stream, const Palette& headerPalette = {},
                uint8_t encoding = 1) {
  ByteBuilder f;
  f.bytes({0x0a, 5, encoding, bits})
      .u16(0)
      .u16(0)
      .u16(uint16_t(width - 1))
      .u16(uint16_t(height - 1));
  f.u16(72).u16(72);
  for (size_t i = 0; i < 16; ++i) {
    const Rgb c = i < headerPalette.size() ? headerPalette[i] : Rgb{};
    f.bytes({c.r, c.g, c.b});
  }
  f.u8(0).u8(planes).u16(bytesPerLine).u16(1).fill(58);
  return f.append(stream).b;
}

Facts facts(int bits, int originBits, uint32_t w, uint32_t h, bool gray, bool truncated = false,
            const char* compression = "RLE") {
  return {bits, originBits, w, h, format::kPcx, compression, gray, truncated};
}

TEST(Pcx, HandBuiltLayoutsDecodeToTheirFactsAndPixels) {
  const Palette sixteen = makePattern(1, 1, 4).palette();
  ByteVec version3 = pcxFile(2, 1, 4, 1, 2, {0x4e, 0});
  version3[1] = 3;
  expectDecodes(
      pcx::decode,
      {
          // 3 bytes a line (odd): one run of 5 spans both lines; no palette at the end is grey.
          {"runs cross lines",
           pcxFile(3, 2, 8, 1, 3, {0xc5, 9, 0xc1, 0xc7}),
           facts(8, 8, 3, 2, true),
           {9, 9, 9, 9, 9, 0xc7}},
          {"a run crosses planes",
           pcxFile(2, 1, 8, 3, 2, {0xc3, 10, 20, 30, 40}),
           facts(24, 24, 2, 1, false),
           {10, 10, 30, 10, 20, 40}},
          // Four planes of 1 bit: index bit p comes from plane p.
          {"four 1-bit planes",
           pcxFile(4, 1, 1, 4, 2, {0x90, 0, 0x50, 0, 0x30, 0, 0x10, 0}, sixteen),
           facts(4, 4, 4, 1, false),
           {1, 2, 4, 15},
           sixteen},
          {"4 bits packed, not compressed",
           pcxFile(3, 1, 4, 1, 2, {0x5a, 0x30}, sixteen, 0),
           facts(4, 4, 3, 1, false, false, "None"),
           {5, 10, 3},
           sixteen},
          // Version 3 carries no palette: the sixteen standard colours.
          {"version 3",
           version3,
           facts(4, 4, 2, 1, false),
           {4, 14},
           {{0, 0, 0},
            {0, 0, 0xaa},
            {0, 0xaa, 0},
            {0, 0xaa, 0xaa},
            {0xaa, 0, 0},
            {0xaa, 0, 0xaa},
            {0xaa, 0x55, 0},
            {0xaa, 0xaa, 0xaa},
            {0x55, 0x55, 0x55},
            {0x55, 0x55, 0xff},
            {0x55, 0xff, 0x55},
            {0x55, 0xff, 0xff},
            {0xff, 0x55, 0x55},
            {0xff, 0x55, 0xff},
            {0xff, 0xff, 0x55},
            {0xff, 0xff, 0xff}}},
          {"a fourth plane (alpha) is dropped",
           pcxFile(1, 1, 8, 4, 2, {1, 0, 2, 0, 3, 0, 4, 0}),
           facts(24, 32, 1, 1, false),
           {1, 2, 3}},
          {"1 bit with an empty header palette",
           pcxFile(8, 1, 1, 1, 2, {0xa5, 0}),
           facts(1, 1, 8, 1, true),
           {1, 0, 1, 0, 0, 1, 0, 1},
           {{0, 0, 0}, {255, 255, 255}}},
          {"a count byte last",
           pcxFile(4, 1, 8, 1, 4, {7, 0xc9}),
           facts(8, 8, 4, 1, true, true),
           {7, 0, 0, 0}},
      });
}

TEST(Pcx, WidestAndFlatScanLines) {
  // 65535 pixels of 8 bits need an odd line length: 65536 does not fit.
  for (int bits : {8, 24}) {
    const Picture src = makePattern(65535, 2, bits);
    const ByteVec file = encodeOk(pcx::encode, src);
    EXPECT_EQ(file[66] | file[67] << 8, 65535);
    EXPECT_TRUE(closeColours(decodeOk(pcx::decode, file).picture, src, 0)) << bits;
  }
  // 640 bytes a plane line of a value that needs a count byte: ten full
  // runs and one of 10, two bytes each.
  const Picture flat = solid(640, 480, {0xd0, 0xd0, 0xd0});
  EXPECT_EQ(encodeOk(pcx::encode, flat).size(), 128u + 480 * 3 * 11 * 2);
}

TEST(Pcx, FilesOfOtherProgramsReadAsTheyReadThem) {
  const int f = format::kPcx;
  expectReadsLikeItsMaker(pcx::decode, ".pcx",
                          {
                              {kIm, "24", "", 24, 24, f, "RLE"},  // three planes, odd bytes a line
                              {kIm, "8", "-type Palette", 8, 8, f, "RLE"},
                              {kGm, "24", "", 24, 24, f, "RLE"},
                              {kGm, "8", "-type Palette", 8, 8, f, "RLE"},
                              {kGm, "1g", "-type Bilevel", 1, 1, f, "RLE"},
                              {kPil, "24", "", 24, 24, f, "RLE"},
                              {kPil, "8g", "", 8, 8, f, "RLE"},
                          });
}

TEST(Pcx, BrokenHeadersFailWithTheirReason) {
  const ByteVec px(16, 0);
  ByteVec shortHeader = pcxFile(4, 4, 8, 1, 4, px), inverted = shortHeader;
  shortHeader.resize(100);
  inverted[4] = 9;  // xmin past xmax
  expectRefused(pcx::decode,
                {
                    {"short header", shortHeader, ErrorCode::BadHeader},
                    {"no bytes per line", pcxFile(4, 4, 8, 1, 0, px), ErrorCode::BadHeader},
                    {"two planes of 8 bits", pcxFile(4, 4, 8, 2, 4, px), ErrorCode::Unsupported},
                    {"no pixel data", pcxFile(4, 4, 8, 1, 4, {}), ErrorCode::Truncated},
                    {"inverted corners", inverted, ErrorCode::BadDimensions},
                    {"65536 wide", pcxFile(0, 0, 1, 1, 8192, px), ErrorCode::LimitExceeded},
                });
}

}  // namespace
}  // namespace zelmar::test
