#include "engine/codecs/bmp.h"

#include <gtest/gtest.h>

#include <array>

#include "support/bmp_pcx_files.h"
#include "support/pictures.h"
#include "support/process.h"

namespace zelmar {
namespace {

using test::LeBytes;

Bytes view(const std::vector<uint8_t>& v) { return {v.data(), v.size()}; }

std::vector<uint8_t> encoded(const Picture& p) { return test::encodedWith(bmp::encode, p); }

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
std::vector<uint8_t> bmpFile(const Layout& l, const std::vector<uint8_t>& pixels) {
  LeBytes f;
  f.bytes({'B', 'M'}).u32(0).u32(0).u32(0).u32(l.infoSize);
  f.u32(uint32_t(l.width)).u32(uint32_t(l.height)).u16(1).u16(l.bits).u32(l.compression);
  f.u32(uint32_t(pixels.size())).u32(2835).u32(2835).u32(l.colorsUsed).u32(0);
  if (l.infoSize >= 52 || l.compression == 3)
    for (uint32_t m : l.masks) f.u32(m);
  if (l.infoSize > 52) f.fill(l.infoSize - 52);
  for (const Rgb& c : l.palette) f.bytes({c.b, c.g, c.r, 0});
  f.set32(10, uint32_t(f.size()));
  f.b.insert(f.b.end(), pixels.begin(), pixels.end());
  f.set32(2, uint32_t(f.size()));
  return f.b;
}

Decoded mustDecode(const std::vector<uint8_t>& file) {
  return test::decodedWith(bmp::decode, file);
}

TEST(Bmp, EveryDepthRoundTripsWithItsFacts) {
  test::expectEveryDepthRoundTrips(
      bmp::encode, 6, "None", [](const Picture& src, const auto& file) {
        // Headers, a full palette, rows padded to four bytes.
        const uint32_t w = src.width(), bits = uint32_t(src.bits());
        EXPECT_EQ(file.size(), 54 + (bits == 24 ? 0 : 4u << bits) + 5 * ((w * bits + 31) / 32 * 4));
      });
}

TEST(Bmp, OurFilesReadRightByOtherPrograms) {
  if (!test::haveOracles()) GTEST_SKIP() << "oracles missing";
  for (int bits : {1, 4, 8, 24}) {
    SCOPED_TRACE(bits);
    const Picture src = test::makePattern(33, 6, bits);
    test::expectToolsRead(encoded(src), ".bmp", src, {test::imageMagick(), test::graphicsMagick()});
  }
}

// Each file is made by another program; what that program decodes from it
// is what we must decode.
TEST(Bmp, FilesOfOtherProgramsReadRight) {
  if (!test::haveOracles()) GTEST_SKIP() << "oracles missing";
  const test::Tool im = test::imageMagick(), gm = test::graphicsMagick();
  const test::MadeElsewhere cases[] = {
      {im, 24, {}, "BMP3:a.bmp", 24, "None"},
      {im, 24, {}, "BMP2:a.bmp", 24, "None"},  // OS/2 12-byte header
      {im, 24, {}, "a.bmp", 24, "None"},       // 124-byte header
      {im, 8, {"-type", "Palette", "-compress", "None"}, "BMP3:a.bmp", 8, "None"},
      {im, 8, {"-type", "Palette"}, "BMP3:a.bmp", 8, "RLE"},
      {im, 8, {"-type", "Palette"}, "BMP2:a.bmp", 8, "None"},
      {im, 4, {"-type", "Palette"}, "BMP3:a.bmp", 4, "None"},
      {im, 1, {"-type", "Bilevel"}, "BMP3:a.bmp", 1, "None"},
      // Other programs scale 5 and 6 bits to 8 with their own rounding.
      {im, 24, {"-define", "bmp:subtype=RGB565"}, "a.bmp", 16, "Bitfields", 1},
      {im, 24, {"-define", "bmp:subtype=RGB555"}, "a.bmp", 16, "Bitfields", 1},
      {im, 24, {"-alpha", "set", "-define", "bmp:subtype=ARGB8888"}, "a.bmp", 32, "Bitfields"},
      {gm, 24, {}, "a.bmp", 24, "None"},
      {gm, 8, {"-type", "Palette"}, "a.bmp", 8, "RLE"},
      {gm, 4, {"-type", "Palette"}, "a.bmp", 4, "None"},
  };
  for (const auto& c : cases) test::expectReadLikeItsMaker(c, bmp::decode, ".bmp");
}

TEST(Bmp, RowOrderFollowsTheSignOfTheHeight) {
  // Two rows of two B,G,R pixels, each row padded to 8 bytes.
  const std::vector<uint8_t> px{1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  Layout l{.width = 2, .height = -2};
  const Decoded top = mustDecode(bmpFile(l, px));
  EXPECT_EQ(test::pixelAt(top.picture, 0, 0), (Rgb{3, 2, 1}));
  EXPECT_EQ(test::pixelAt(top.picture, 1, 1), (Rgb{12, 11, 10}));
  EXPECT_EQ(top.facts.originHeight, 2u);
  l.height = 2;
  const Decoded bottom = mustDecode(bmpFile(l, px));
  EXPECT_EQ(test::pixelAt(bottom.picture, 0, 1), (Rgb{3, 2, 1}));
  EXPECT_EQ(test::pixelAt(bottom.picture, 1, 0), (Rgb{12, 11, 10}));
  // Longer headers change nothing for plain rows.
  for (uint32_t size : {52u, 56u, 108u, 124u}) {
    SCOPED_TRACE(size);
    l.infoSize = size;
    EXPECT_TRUE(test::sameColors(mustDecode(bmpFile(l, px)).picture, bottom.picture));
  }
}

TEST(Bmp, SixteenAndThirtyTwoBitsLoadAsColour) {
  // 16 bits without masks are 5-5-5.
  const Decoded plain16 = mustDecode(bmpFile({.width = 2, .bits = 16}, {0xff, 0x7f, 0x10, 0x42}));
  EXPECT_EQ(test::pixelAt(plain16.picture, 0, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(test::pixelAt(plain16.picture, 1, 0), (Rgb{132, 132, 132}));
  EXPECT_EQ(plain16.facts.compression, "None");

  // 5-6-5 masks after a 40-byte header.
  const Decoded rgb565 = mustDecode(
      bmpFile({.width = 4, .bits = 16, .compression = 3, .masks = {0xf800, 0x07e0, 0x001f}},
              {0x00, 0xf8, 0xe0, 0x07, 0x1f, 0x00, 0x10, 0x84}));
  EXPECT_EQ(rgb565.picture.bits(), 24);
  EXPECT_EQ(test::pixelAt(rgb565.picture, 0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(test::pixelAt(rgb565.picture, 1, 0), (Rgb{0, 255, 0}));
  EXPECT_EQ(test::pixelAt(rgb565.picture, 2, 0), (Rgb{0, 0, 255}));
  EXPECT_EQ(test::pixelAt(rgb565.picture, 3, 0), (Rgb{132, 130, 132}));
  EXPECT_EQ(rgb565.facts.compression, "Bitfields");

  // 10-10-10 masks inside a 56-byte header keep their top 8 bits.
  const Decoded wide = mustDecode(bmpFile(
      {.bits = 32, .compression = 3, .infoSize = 56, .masks = {0x3ff00000, 0x000ffc00, 0x3ff}},
      {0x00, 0x02, 0xf0, 0x3f}));
  EXPECT_EQ(test::pixelAt(wide.picture, 0, 0), (Rgb{255, 0, 128}));
  EXPECT_EQ(wide.facts.originBits, 32);

  // Plain 32 bits are B,G,R and an unused byte.
  const Decoded plain32 = mustDecode(bmpFile({.bits = 32}, {0x10, 0x20, 0x30, 0xff}));
  EXPECT_EQ(test::pixelAt(plain32.picture, 0, 0), (Rgb{0x30, 0x20, 0x10}));
}

TEST(Bmp, ShortPalettesPadWithBlack) {
  const Palette two{{200, 10, 20}, {30, 40, 250}};
  // Indexes 2 and 255 lie past the two colours the file lists.
  const Decoded d =
      mustDecode(bmpFile({.width = 4, .bits = 8, .colorsUsed = 2, .palette = two}, {0, 1, 2, 255}));
  ASSERT_EQ(d.picture.bits(), 8);
  EXPECT_EQ(test::pixelAt(d.picture, 0, 0), two[0]);
  EXPECT_EQ(test::pixelAt(d.picture, 1, 0), two[1]);
  EXPECT_EQ(test::pixelAt(d.picture, 2, 0), (Rgb{}));
  EXPECT_EQ(test::pixelAt(d.picture, 3, 0), (Rgb{}));

  // Without a count, the pixel offset tells how long the palette is.
  const Decoded byOffset =
      mustDecode(bmpFile({.width = 4, .bits = 8, .palette = two}, {1, 0, 1, 7}));
  EXPECT_EQ(test::pixelAt(byOffset.picture, 0, 0), two[1]);
  EXPECT_EQ(test::pixelAt(byOffset.picture, 3, 0), (Rgb{}));

  // 2 bits per pixel load as a 4-bit picture.
  const Palette four{{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}};
  const Decoded twoBits =
      mustDecode(bmpFile({.width = 5, .bits = 2, .palette = four}, {0x1b, 0x40, 0, 0}));
  EXPECT_EQ(twoBits.picture.bits(), 4);
  EXPECT_EQ(test::indexesOf(twoBits.picture), (std::vector<uint8_t>{0, 1, 2, 3, 1}));
  EXPECT_EQ(twoBits.facts.originBits, 2);
}

TEST(Bmp, RunLengthEscapesAndClipping) {
  const Palette pal = grayPalette(16);
  // RLE8, 4 × 3, bottom row first.
  const std::vector<uint8_t> rle8{
      3, 5, 0, 0,                    // bottom row: three 5s, end of line
      0, 3, 1, 2, 3, 0, 6, 7, 0, 0,  // absolute 1 2 3 (padded), a run of 7 past the edge
      0, 2, 1, 0, 1, 9, 0, 1,        // delta right by one, one 9, end of bitmap
  };
  const Decoded d8 = mustDecode(
      bmpFile({.width = 4, .height = 3, .bits = 8, .compression = 1, .palette = pal}, rle8));
  EXPECT_EQ(test::indexesOf(d8.picture),
            (std::vector<uint8_t>{0, 9, 0, 0, 1, 2, 3, 7, 5, 5, 5, 0}));
  EXPECT_FALSE(d8.truncated);
  EXPECT_EQ(d8.facts.compression, "RLE");

  // RLE4, 5 × 2: a run of 7 nibbles clipped to 5, an absolute block of 5
  // nibbles padded to 4 bytes.
  const std::vector<uint8_t> rle4{7, 0x12, 0, 0, 0, 5, 0x34, 0x56, 0x70, 0, 0, 1};
  const Decoded d4 = mustDecode(
      bmpFile({.width = 5, .height = 2, .bits = 4, .compression = 2, .palette = pal}, rle4));
  EXPECT_EQ(test::indexesOf(d4.picture), (std::vector<uint8_t>{3, 4, 5, 6, 7, 1, 2, 1, 2, 1}));

  // A delta past the last row ends the picture; what follows is ignored.
  const Decoded past =
      mustDecode(bmpFile({.width = 2, .height = 2, .bits = 8, .compression = 1, .palette = pal},
                         {2, 4, 0, 2, 0, 200, 2, 9, 0, 1}));
  EXPECT_EQ(test::indexesOf(past.picture), (std::vector<uint8_t>{0, 0, 4, 4}));
  EXPECT_FALSE(past.truncated);

  // A stream that stops early keeps what it painted.
  auto cut = bmpFile({.width = 4, .height = 3, .bits = 8, .compression = 1, .palette = pal}, rle8);
  cut.resize(cut.size() - 18);
  const Decoded part = mustDecode(cut);
  EXPECT_TRUE(part.truncated);
  EXPECT_EQ(test::indexesOf(part.picture),
            (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 5, 5, 5, 0}));
}

TEST(Bmp, CutShortFilesLoadWhatIsThereOrFail) {
  const Picture rgb = test::makePattern(7, 4, 24);
  const auto file = encoded(rgb);
  // Half of the rows: the bottom ones come first in the file.
  auto half = file;
  half.resize(54 + 2 * 24);
  const Decoded d = mustDecode(half);
  EXPECT_TRUE(d.truncated);
  for (uint32_t y = 0; y < 4; ++y)
    for (uint32_t x = 0; x < 7; ++x)
      EXPECT_EQ(test::pixelAt(d.picture, x, y), y < 2 ? Rgb{} : test::pixelAt(rgb, x, y));

  // Only the last row's padding missing: every pixel is there.
  auto unpadded = file;
  unpadded.resize(file.size() - 3);
  const Decoded full = mustDecode(unpadded);
  EXPECT_FALSE(full.truncated);
  EXPECT_TRUE(test::sameColors(full.picture, rgb));

  // Every prefix of several kinds of file (rows without padding, so that
  // every prefix misses pixels): an error or a partial picture.
  for (const auto& whole :
       {encoded(test::makePattern(4, 3, 24)), encoded(test::makePattern(8, 3, 8)),
        encoded(test::makePattern(64, 3, 1)),
        bmpFile({.width = 4, .height = 3, .bits = 8, .compression = 1, .palette = grayPalette(3)},
                {3, 5, 0, 0, 0, 3, 1, 2, 3, 0, 0, 0, 4, 1, 0, 1})})
    test::expectPrefixesSafe(whole, bmp::decode, true);
}

TEST(Bmp, BrokenHeadersFailWithTheirReason) {
  auto code = [](const std::vector<uint8_t>& f) {
    Decoded d;
    return bmp::decode(view(f), {}, d).code();
  };
  const std::vector<uint8_t> px(64, 0);
  EXPECT_EQ(code({}), ErrorCode::BadHeader);
  EXPECT_EQ(code(bmpFile({.infoSize = 14}, px)), ErrorCode::BadHeader);
  EXPECT_EQ(code(bmpFile({.bits = 7}, px)), ErrorCode::BadHeader);
  EXPECT_EQ(code(bmpFile({.compression = 9}, px)), ErrorCode::BadHeader);
  EXPECT_EQ(code(bmpFile({.bits = 24, .compression = 1}, px)), ErrorCode::BadHeader);
  EXPECT_EQ(code(bmpFile({.bits = 8, .compression = 4}, px)), ErrorCode::CorruptData);  // no JPEG inside
  EXPECT_EQ(code(bmpFile({.width = 0}, px)), ErrorCode::BadDimensions);
  EXPECT_EQ(code(bmpFile({.width = -3}, px)), ErrorCode::BadDimensions);
  EXPECT_EQ(code(bmpFile({.height = INT32_MIN}, px)), ErrorCode::BadDimensions);
  // Sizes whose pixels would need terabytes are refused before allocating.
  EXPECT_EQ(code(bmpFile({.width = 1000000, .height = 1000000}, px)), ErrorCode::LimitExceeded);
  EXPECT_EQ(code(bmpFile({.width = 40000, .height = -30000}, px)), ErrorCode::LimitExceeded);
  // Headers but no pixels.
  auto bare = bmpFile({.width = 2, .height = 2}, {});
  EXPECT_EQ(code(bare), ErrorCode::Truncated);
}

TEST(Bmp, WritesOnlyTheDepthsItHolds) {
  Picture none;
  OutputBuffer out;
  EXPECT_EQ(bmp::encode(none, {}, out).code(), ErrorCode::UnsupportedDepth);
  EXPECT_EQ(out.size(), 0u);
}

}  // namespace
}  // namespace zelmar
