// BMP layouts our writer never makes, kept as files under tests/data/codecs;
// bitmaps holding a JPEG or a PNG, and the bare bitmaps of the clipboard.
#include "engine/codecs/bmp.h"

#include <gtest/gtest.h>

#include "engine/codecs/codec_checks.h"
#include "engine/io/formats.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

Facts facts(int bits, int originBits, uint32_t w, uint32_t h, const char* compression,
            bool gray = false, bool truncated = false) {
  return {bits, originBits, w, h, format::kBmp, compression, gray, truncated};
}

TEST(Bmp, HandBuiltLayoutsEmbeddedPicturesAndBareClipboardBitmapsLoadAsTheyShould) {
  // Two rows of two pixels stored B,G,R: 1 2 3, 4 5 6 then 7 8 9, 10 11 12.
  const ByteVec topFirst{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10};
  const ByteVec bottomFirst{9, 8, 7, 12, 11, 10, 3, 2, 1, 6, 5, 4};
  const Palette two{{200, 10, 20}, {30, 40, 250}}, four{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}};
  std::vector<DecodeRow> rows = {
      {"bmp-top-down.bmp", facts(24, 24, 2, 2, "None"), topFirst},
      {"bmp-bottom-up.bmp", facts(24, 24, 2, 2, "None"), bottomFirst},
      // 0x7fff and 0x4210 as 5-5-5.
      {"bmp-16-bits-no-masks.bmp", facts(24, 16, 2, 1, "None"), {255, 255, 255, 132, 132, 132}},
      // Red, green, blue and 0x8410 by 5-6-5 masks.
      {"bmp-565-masks.bmp",
       facts(24, 16, 4, 1, "Bitfields"),
       {255, 0, 0, 0, 255, 0, 0, 0, 255, 132, 130, 132}},
      // 10-bit channels 0x3ff, 0, 0x200 keep their top 8 bits.
      {"bmp-10-10-10-masks.bmp", facts(24, 32, 1, 1, "Bitfields"), {255, 0, 128}},
      {"bmp-32-bits.bmp", facts(24, 32, 1, 1, "None"), {0x30, 0x20, 0x10}},  // B, G, R, spare
      // Indexes past the colours a file lists (2, given or told by the
      // pixels' offset) show black.
      {"bmp-short-palette.bmp",
       facts(8, 8, 4, 1, "None"),
       {0, 1, 2, 255},
       {two[0], two[1], {}, {}}},
      {"bmp-palette-by-offset.bmp", facts(8, 8, 4, 1, "None"), {1, 0, 1, 7}, {two[0], two[1], {}}},
      {"bmp-2-bits.bmp", facts(4, 2, 5, 1, "None", true), {0, 1, 2, 3, 1}, four},
      // Bottom row first: three 5s; absolute 1 2 3 and a run of 7 past the
      // edge; a delta right, one 9, end of bitmap.
      {"bmp-rle8.bmp", facts(8, 8, 4, 3, "RLE", true), {0, 9, 0, 0, 1, 2, 3, 7, 5, 5, 5, 0}},
      // A run of 7 nibbles clipped to 5; an absolute block of 5 nibbles padded.
      {"bmp-rle4.bmp", facts(4, 4, 5, 2, "RLE", true), {3, 4, 5, 6, 7, 1, 2, 1, 2, 1}},
      // A run of 4s, then a delta past the last row ends the picture.
      {"bmp-rle8-delta-past-end.bmp", facts(8, 8, 2, 2, "RLE", true), {0, 0, 4, 4}},
      // The RLE8 stream above cut after its first run keeps what it painted.
      {"bmp-rle8-cut.bmp",
       facts(8, 8, 4, 3, "RLE", true, true),
       {0, 0, 0, 0, 0, 0, 0, 0, 5, 5, 5, 0}},
      // OS/2 RLE24, 4 x 2, bottom-up: three red and a blue; then green,
      // white, black as a literal block (padded) and a grey run.
      {"bmp-os2-rle24.bmp",
       facts(24, 24, 4, 2, "RLE"),
       {},
       {},
       {{0, 255, 0},
        {255, 255, 255},
        {0, 0, 0},
        {128, 128, 128},
        {255, 0, 0},
        {255, 0, 0},
        {255, 0, 0},
        {0, 0, 255}}},
      // OS/2 2.x with a 16-byte header, 2 x 1 at 8 bits; entry i is (255 - i, 0, i).
      {"bmp-os2-16-byte-header.bmp",
       facts(8, 8, 2, 1, "None"),
       {},
       {},
       {{255, 0, 0}, {55, 0, 200}}},
  };
  // Longer headers change nothing for plain rows.
  for (const char* size : {"52", "56", "108", "124"})
    rows.push_back(
        {std::string("bmp-header-") + size + ".bmp", facts(24, 24, 2, 2, "None"), bottomFirst});
  expectDecodes(rows);
  // Our rows are padded as the format wants (other programs read our files
  // at every depth and width); a file missing only the last row's padding
  // still has every pixel.
  const Picture rgb = makePattern(7, 4, 24);
  ByteVec file = encodeOk(bmp::encode, rgb);
  file.resize(file.size() - 3);
  const Decoded d = decodeOk(bmp::decode, file);
  EXPECT_FALSE(d.truncated);
  EXPECT_TRUE(closeColours(d.picture, rgb, 0));
  for (const char* name : {"bmp-holding-a-jpeg.bmp", "bmp-holding-a-png.bmp"}) {
    const ByteVec file = dataFile(name), inner(file.begin() + 54, file.end());
    Decoded d, alone;
    ASSERT_TRUE(decodeAny(file, "", {}, d).ok()) << name;
    ASSERT_TRUE(decodeAny(inner, "", {}, alone).ok()) << name;
    EXPECT_EQ(d.facts.fileFormat, format::kBmp);
    EXPECT_TRUE(closeColours(d.picture, alone.picture, 0)) << name;
  }
  // The clipboard's bitmaps come without the file header.
  for (int bits : {4, 8, 24}) {
    SCOPED_TRACE(bits);
    const ByteVec bmp = encodeOk(bmp::encode, makePattern(13, 5, bits));
    const ByteVec dib(bmp.begin() + 14, bmp.end());
    Decoded whole, bare;
    ASSERT_TRUE(decodeAny(bmp, "", {}, whole).ok());
    ASSERT_TRUE(decodeAny(dib, "", {}, bare).ok());
    EXPECT_TRUE(closeColours(bare.picture, whole.picture, 0));
    EXPECT_EQ(bare.facts.fileFormat, format::kBmp);
    // Cut short, nothing vouches for it being a bitmap.
    EXPECT_EQ(decodeAny(Bytes(dib.data(), dib.size() - 1), "", {}, bare).code(),
              ErrorCode::UnknownFormat);
  }
}

}  // namespace
}  // namespace zelmar::test
