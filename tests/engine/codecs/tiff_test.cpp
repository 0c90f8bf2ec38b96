// TIFF layouts no writer here makes, built by hand or kept as files under
// tests/data/codecs: JPEG strips, YCbCr, sample formats, looping chains.
#include "engine/codecs/tiff.h"

#include <gtest/gtest.h>

#include <algorithm>

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

TEST(Tiff, JpegStripsGiveTheirSamplingAsFormat) {
  REQUIRE_TOOL(Tool::ImageMagick);
  // ImageMagick's JPEG as the one strip of a YCbCr TIFF, as JPEG-in-TIFF
  // with inline tables looks; the sampling tag matches the stream's.
  for (const auto& [sampling, code] : {std::pair{"1x1", format::kTiffJpeg444},
                                       {"2x1", format::kTiffJpeg422},
                                       {"2x2", format::kTiffJpeg420}}) {
    SCOPED_TRACE(sampling);
    const ByteVec file = dataFile(std::string("tif-jpeg-strip-") + sampling + ".tif");
    const uint8_t soi[] = {0xFF, 0xD8, 0xFF};
    const ByteVec jpeg(std::search(file.begin(), file.end(), soi, soi + 3), file.end());
    const Decoded d = decodeOk(tiff::decode, file);
    EXPECT_EQ(factsOf(d), (Facts{24, 24, 32, 16, code, "JPEG"}));
    EXPECT_TRUE(closeColours(d.picture, toolReads(Tool::ImageMagick, jpeg, ".jpg"), 2));
  }
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
  // The last directory links back to the second, and (a file) one links to
  // itself: each directory counts once and the first page still shows.
  ByteVec loop = pages;
  const size_t secondIfd = read32(loop, linkOf(loop, read32(loop, 4)));
  const size_t lastLink = linkOf(loop, read32(loop, linkOf(loop, secondIfd)));
  for (size_t i = 0; i < 4; ++i) loop[lastLink + i] = uint8_t(secondIfd >> (8 * i));
  const Decoded looped = decodeOk(tiff::decode, loop);
  EXPECT_EQ(looped.facts.pageCount, 3);
  EXPECT_TRUE(closeColours(looped.picture, first, 0));
  expectDecodes({{"tif-directory-linking-to-itself.tif",
                  {8, 8, 2, 1, format::kTiff, "None", true, false, 1},
                  {7, 9}}});
}

TEST(Tiff, SampleLayoutsBeyondUnsignedBytesAreScaledToEightBits) {
  const auto grey = [](int originBits) {
    return Facts{8, originBits, 4, 1, format::kTiff, "None", true};
  };
  expectDecodes({
      // Four pixels each, shifted or scaled into 0..255.
      {"tif-signed-8-bits.tif", grey(8), {0, 127, 128, 255}},  // -128, -1, 0, 127
      {"tif-signed-16-bits.tif", grey(16), {0, 127, 128, 255}},
      {"tif-float-32-bits.tif", grey(32), {0, 0, 128, 255}},  // -0.5, 0, 0.5, 2 clamped
      {"tif-12-bits.tif", grey(12), {0, 128, 255, 85}},       // 0x000, 0x800, 0xFFF, 0x555
      // White, cyan, black, and 50% magenta with full yellow.
      {"tif-16-bit-cmyk.tif",
       {24, 64, 4, 1, format::kTiffCmyk, "None"},
       {255, 255, 255, 0, 255, 255, 0, 0, 0, 255, 127, 0}},
      // Full-range YCbCr without subsampling (greys keep Cb = Cr = 128) by
      // the JPEG equations: black, grey 200, red; green, blue, white.
      {"tif-ycbcr.tif",
       {24, 24, 3, 2, format::kTiffYcbcr, "None"},
       {},
       {},
       {{0, 0, 0}, {200, 200, 200}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}},
       2},
      // A byte count claiming 4 GB for a 3 × 4 strip, 8 of whose 12 bytes are there.
      {"tif-forged-strip-size.tif",
       {8, 8, 3, 4, format::kTiff, "None", true, true},
       {200, 200, 200, 200, 200, 200, 200, 200, 0, 0, 0, 0}},
  });
}

}  // namespace
}  // namespace zelmar::test
