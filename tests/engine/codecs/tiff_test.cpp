// TIFF files of other writers in every layout they make, hand-built ones no
// writer makes, and hostile directories.
#include "engine/codecs/tiff.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/codecs/codec_checks.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

TEST(Tiff, ProbeKnowsBothByteOrdersAndBigTiff) {
  for (const ByteVec& sig : {ByteVec{'I', 'I', 42, 0}, ByteVec{'M', 'M', 0, 42},
                             ByteVec{'I', 'I', 43, 0}, ByteVec{'M', 'M', 0, 43}})
    EXPECT_TRUE(tiff::probe(sig));
  for (const ByteVec& sig :
       {ByteVec{'I', 'I', 0, 42}, ByteVec{'I', 'I', 42}, ByteVec{0xFF, 0xD8, 0xFF, 0xE0}})
    EXPECT_FALSE(tiff::probe(sig));
}

TEST(Tiff, ManyStripsAndWhiteFirstBlackAndWhiteRoundTrip) {
  REQUIRE_TOOL(Tool::ImageMagick);
  Picture whiteFirst = makePattern(37, 9, 1, true);
  whiteFirst.setPalette({{255, 255, 255}, {0, 0, 0}});
  for (const Picture& p :
       {makePattern(1500, 200, 24), makePattern(9000, 300, 1, true), copyOf(whiteFirst)}) {
    const ByteVec file = encodeOk(tiff::encode, p);
    EXPECT_TRUE(closeColours(decodeOk(tiff::decode, file).picture, p, 0)) << p.width();
    EXPECT_TRUE(closeColours(toolReads(Tool::ImageMagick, file, ".tif"), p, 0)) << p.width();
  }
}

TEST(Tiff, FilesOfOtherWritersReadAsTheyReadThem) {
  const int t = format::kTiff, cmyk = format::kTiffCmyk, j444 = format::kTiffJpeg444;
  const std::string tiles = " -define tiff:tile-geometry=16x16 ",
                    vipsTiles = " tile tile-width=16 tile-height=16";
  expectReadsLikeItsMaker(
      tiff::decode, ".tif",
      {
          {kIm, "24", "-compress None", 24, 24, t, "None"},
          {kIm, "24", "-compress LZW -define tiff:predictor=2", 24, 24, t, "LZW"},
          {kIm, "24", "-compress Zip", 24, 24, t, "Deflate"},
          {kIm, "24", "-compress RLE", 24, 24, t, "PackBits"},
          {kIm, "24", "-compress LZW" + tiles, 24, 24, t, "LZW"},
          {kIm, "24", "-compress Zip -depth 16" + tiles, 24, 48, t, "Deflate"},
          {kIm, "24", "-depth 16", 24, 48, t, "None"},
          {kIm, "24", "-interlace Plane -compress LZW", 24, 24, t, "LZW"},
          {kIm, "24", "-interlace Plane" + tiles, 24, 24, t, "None"},
          {kIm, "24", "-alpha set", 24, 32, t, "None"},
          {kIm, "24", "-alpha set -depth 16 -compress Zip", 24, 64, t, "Deflate"},
          {kIm, "24", "", 24, 24, t, "None", 0, kIm, "TIFF64:"},  // BigTIFF
          {kGm, "24", "-compress LZW", 24, 24, t, "LZW"},
          {kGm, "24", "-compress None -endian MSB", 24, 24, t, "None"},
          {kGm, "24", "-depth 16 -endian MSB", 24, 48, t, "None"},
          {kIm, "8g", "-depth 8", 8, 8, t, "None"},
          {kIm, "8g", "-compress LZW -define tiff:predictor=2", 8, 8, t, "LZW"},
          {kIm, "8g", "-depth 16", 8, 16, t, "None"},
          {kIm, "8g", "-define tiff:photometric=min-is-white -compress Zip", 8, 8, t, "Deflate"},
          {kGm, "8g", "-compress LZW", 8, 8, t, "LZW"},
          {kIm, "4g", "-depth 4", 4, 4, t, "None"},
          {kIm, "4g", "-depth 2 -compress LZW", 4, 2, t, "LZW"},
          {kIm, "1g", "-compress Group4", 1, 1, t, "CCITT G4"},
          {kIm, "1g", "-compress Fax", 1, 1, t, "CCITT G3"},
          {kIm, "1g", "-depth 1 -compress None", 1, 1, t, "None"},
          {kIm, "1g", "-depth 1 -define quantum:polarity=min-is-white", 1, 1, t, "None"},
          {kIm, "1g", "-depth 1 -define tiff:fill-order=lsb", 1, 1, t, "None"},
          {kIm, "1g", "-depth 1 -compress LZW", 1, 1, t, "LZW"},
          {kGm, "1g", "-compress Group4", 1, 1, t, "CCITT G4"},
          {kPil, "24", "compression=tiff_lzw", 24, 24, t, "LZW"},
          {kPil, "8g", "compression=tiff_adobe_deflate", 8, 8, t, "Deflate"},
          {kIm, "8", "-type Palette", 8, 8, t, "None"},
          {kIm, "8", "-type Palette -compress LZW", 8, 8, t, "LZW"},
          {kIm, "4", "-type Palette -compress Zip", 4, 4, t, "Deflate"},
          // Other colour spaces, judged by ImageMagick reading the same file.
          {kIm, "photo", "-colorspace CMYK", 24, 32, cmyk, "None", 1},
          {kIm, "photo", "-colorspace CMYK -compress LZW" + tiles, 24, 32, cmyk, "LZW", 1},
          // ImageMagick keeps JPEG-in-TIFF in RGB, unsampled; GraphicsMagick
          // writes YCbCr at 2 × 2; vips keeps full chroma from quality 90 up.
          {kIm, "photo", "-compress JPEG -quality 95", 24, 24, j444, "JPEG", 3},
          {kGm, "photo", "-compress JPEG -quality 95", 24, 24, format::kTiffJpeg420, "JPEG", 3,
           kIm},
          {kVips, "photo", "compression=jpeg Q=95" + vipsTiles, 24, 24, j444, "JPEG", 3, kIm},
          {kVips, "photo", "compression=jpeg Q=85" + vipsTiles, 24, 24, format::kTiffJpeg420,
           "JPEG", 3, kIm},
      });
}

TEST(Tiff, JpegStripsGiveTheirSamplingAsFormat) {
  REQUIRE_TOOL(Tool::ImageMagick);
  // A whole JPEG stream as the one strip of a YCbCr TIFF, which is how
  // JPEG-in-TIFF with inline tables looks; the sampling tag must match it.
  const Picture photo = makePhoto(32, 16);
  const struct {
    const char* sampling;
    uint16_t h, v;
    int format;
  } cases[] = {{"1x1", 1, 1, format::kTiffJpeg444},
               {"2x1", 2, 1, format::kTiffJpeg422},
               {"2x2", 2, 2, format::kTiffJpeg420}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sampling);
    const ByteVec jpeg = toolWrites(Tool::ImageMagick, photo,
                                    {"-sampling-factor", c.sampling, "-quality", "95"}, "a.jpg");
    const Decoded d = decodeOk(
        tiff::decode,
        buildTiff(32, 16, 8, 3, 6, jpeg, {{259, 3, 1, 7}, {530, 3, 2, c.h | uint32_t(c.v) << 16}}));
    EXPECT_EQ(factsOf(d), (Facts{24, 24, 32, 16, c.format, "JPEG"}));
    EXPECT_TRUE(closeColours(d.picture, toolReads(Tool::ImageMagick, jpeg, ".jpg"), 2));
  }
}

TEST(Tiff, UncompressedYcbcrFollowsTheJpegEquations) {
  // Full range without subsampling: greys keep Cb = Cr = 128.
  const ByteVec samples = {0,   128, 128, 200, 128, 128, 76,  85,  255,
                           150, 44,  21,  29,  255, 107, 255, 128, 128};
  const Decoded d =
      decodeOk(tiff::decode, buildTiff(3, 2, 8, 3, 6, samples, {{530, 3, 2, 1 | 1u << 16}}));
  EXPECT_EQ(factsOf(d), (Facts{24, 24, 3, 2, format::kTiffYcbcr, "None"}));
  EXPECT_TRUE(closeColours(
      d.picture,
      [] {
        Picture p = solid(3, 2, {});
        const uint8_t rgb[] = {0, 0,   0, 200, 200, 200, 255, 0,   0,
                               0, 255, 0, 0,   0,   255, 255, 255, 255};
        std::memcpy(p.data(), rgb, sizeof rgb);
        return p;
      }(),
      2));
}

// The offset of the next-directory link of the directory at `ifd`.
size_t linkOf(const ByteVec& f, size_t ifd) {
  return ifd + 2 + 12 * size_t(f[ifd] | f[ifd + 1] << 8);
}
uint32_t read32(const ByteVec& f, size_t at) {
  return f[at] | f[at + 1] << 8 | f[at + 2] << 16 | uint32_t(f[at + 3]) << 24;
}

TEST(Tiff, CountsPagesShowsTheFirstAndSurvivesLoopingChains) {
  REQUIRE_TOOL(Tool::ImageMagick);
  const Picture first = makePattern(13, 11, 24, false, 1),
                second = makePattern(13, 11, 24, false, 2);
  const ByteVec pages =
      toolWrites(Tool::ImageMagick, {&first, &second, &first}, {"-compress", "LZW"}, "p.tif");
  const Decoded d = decodeOk(tiff::decode, pages);
  EXPECT_EQ(d.facts.pageCount, 3);
  EXPECT_TRUE(closeColours(d.picture, first, 0));
  // The last directory links back to the second, and one links to itself:
  // each directory counts once and the first page still shows.
  ByteVec loop = pages;
  const size_t secondIfd = read32(loop, linkOf(loop, read32(loop, 4)));
  const size_t lastLink = linkOf(loop, read32(loop, linkOf(loop, secondIfd)));
  for (size_t i = 0; i < 4; ++i) loop[lastLink + i] = uint8_t(secondIfd >> (8 * i));
  ByteVec self = buildTiff(2, 1, 8, 1, 1, {7, 9});
  self[linkOf(self, 8)] = 8;
  for (const auto& [file, count] : {std::pair{loop, 3}, std::pair{self, 1}}) {
    Decoded looped;
    const Status s = tiff::decode(file, {}, looped);
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(looped.facts.pageCount, count);
    EXPECT_EQ(looped.picture.width(), file == self ? 2u : 13u);
  }
}

TEST(Tiff, HostileDirectoriesFailCleanly) {
  const ByteVec px(12, 1);
  expectRefused(
      tiff::decode,
      {
          {"signature only", {'I', 'I', 42, 0}, ErrorCode::BadHeader},
          {"directory past the end",
           {'I', 'I', 42, 0, 0xF0, 0xFF, 0xFF, 0x0F},
           ErrorCode::BadHeader},
          {"zero width", buildTiff(0, 4, 8, 1, 1, px), ErrorCode::BadHeader},
          {"too wide", buildTiff(70000, 1, 8, 1, 1, px), ErrorCode::LimitExceeded},
          {"strip past the end", buildTiff(3, 4, 8, 1, 1, px, {{273, 4, 1, 100000}}),
           ErrorCode::Truncated},
          // One 32768 × 32768 tile for a 1 × 1 picture: 3 GB of buffer for 3 bytes.
          {"giant tile",
           buildTiff(1, 1, 8, 3, 2, px,
                     {{322, 4, 1, 32768}, {323, 4, 1, 32768}, {324, 4, 1, 0}, {325, 4, 1, 12}}),
           ErrorCode::LimitExceeded},
          // libtiff alone would drop these tags and read the pixels wrongly.
          {"colour map past the end", buildTiff(3, 4, 8, 1, 3, px, {{320, 3, 768, 4000}}),
           ErrorCode::BadHeader},
          {"sample sizes past the end", buildTiff(2, 2, 8, 3, 2, px, {{258, 3, 3, 4000}}),
           ErrorCode::BadHeader},
          // Signed samples in a layout only libtiff's RGBA reader knows (CIELab)
          // are refused rather than shown as noise.
          {"signed CIELab", buildTiff(1, 2, 8, 3, 8, ByteVec(6, 1), {{339, 3, 1, 2}}),
           ErrorCode::Unsupported},
      });
  // A byte count claiming 4 GB for a 3 × 4 strip, 8 of whose 12 bytes are there.
  ByteVec forged = buildTiff(3, 4, 8, 1, 1, ByteVec(12, 200), {{279, 4, 1, 0xFFFFFFF0u}});
  forged.resize(forged.size() - 4);
  expectDecodes(tiff::decode, {{"forged strip size",
                                forged,
                                {8, 8, 3, 4, format::kTiff, "None", true, true},
                                {200, 200, 200, 200, 200, 200, 200, 200, 0, 0, 0, 0}}});
}

}  // namespace
}  // namespace zelmar::test
