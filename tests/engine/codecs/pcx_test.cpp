// PCX layouts our writer never makes, kept as files under tests/data/codecs,
// and the widest and flattest lines ours make.
#include "engine/codecs/pcx.h"

#include <gtest/gtest.h>

#include "engine/codecs/codec_checks.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

Facts facts(int bits, int originBits, uint32_t w, uint32_t h, bool gray, bool truncated = false,
            const char* compression = "RLE") {
  return {bits, originBits, w, h, format::kPcx, compression, gray, truncated};
}

TEST(Pcx, HandBuiltLayoutsDecodeToTheirFactsAndPixelsAndTheWidestLinesRoundTrip) {
  const Palette sixteen = makePattern(1, 1, 4).palette();  // in the header of some files
  expectDecodes({
      // 3 bytes a line (odd): one run of 5 spans both lines; no palette at the end is grey.
      {"pcx-runs-cross-lines.pcx", facts(8, 8, 3, 2, true), {9, 9, 9, 9, 9, 0xc7}},
      {"pcx-run-crosses-planes.pcx", facts(24, 24, 2, 1, false), {10, 10, 30, 10, 20, 40}},
      // Four planes of 1 bit: index bit p comes from plane p.
      {"pcx-four-1-bit-planes.pcx", facts(4, 4, 4, 1, false), {1, 2, 4, 15}, sixteen},
      {"pcx-4-bits-uncompressed.pcx", facts(4, 4, 3, 1, false, false, "None"), {5, 10, 3}, sixteen},
      // Version 3 carries no palette: the sixteen standard colours.
      {"pcx-version-3.pcx",
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
      {"pcx-alpha-plane.pcx", facts(24, 32, 1, 1, false), {1, 2, 3}},  // the fourth plane dropped
      {"pcx-1-bit-empty-palette.pcx",
       facts(1, 1, 8, 1, true),
       {1, 0, 1, 0, 0, 1, 0, 1},
       {{0, 0, 0}, {255, 255, 255}}},
      {"pcx-count-byte-last.pcx", facts(8, 8, 4, 1, true, true), {7, 0, 0, 0}},
      // 5 x 1 in three uncompressed planes of 4 bytes a line, as some
      // programs write them: the fifth pixel black.
      {"pcx-lines-shorter-than-width.pcx",
       facts(24, 24, 5, 1, false, false, "None"),
       {10, 50, 90, 20, 60, 100, 30, 70, 110, 40, 80, 120, 0, 0, 0}},
  });
  // 65535 pixels of 8 bits need an odd line length: 65536 does not fit.
  for (int bits : {8, 24}) {
    const Picture src = makePattern(65535, 2, bits);
    const ByteVec file = encodeOk(pcx::encode, src);
    EXPECT_EQ(file[66] | file[67] << 8, 65535);
    EXPECT_TRUE(closeColours(decodeOk(pcx::decode, file).picture, src, 0)) << bits;
  }
}

}  // namespace
}  // namespace zelmar::test
