// TIFF layouts no writer here makes, built by hand or kept as files under
// tests/data/codecs: JPEG strips, YCbCr, sample formats, looping chains.
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
      // A byte count claiming 4 GB for a 3 × 4 strip, 8 of whose 12 bytes are there.
      {"tif-forged-strip-size.tif",
       {8, 8, 3, 4, format::kTiff, "None", true, true},
       {200, 200, 200, 200, 200, 200, 200, 200, 0, 0, 0, 0}},
  });
}

}  // namespace
}  // namespace zelmar::test
