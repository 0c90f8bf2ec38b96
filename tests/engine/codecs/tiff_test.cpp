// TIFF layouts no writer here makes, built by hand or kept as files under
// tests/data/codecs: JPEG strips, YCbCr, sample formats, looping chains.
#include "engine/codecs/tiff.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/codecs/codec_checks.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

TEST(Tiff, ManyStripsAndWhiteFirstBilevelRoundTripAndJpegStripsGiveTheirSampling) {
  REQUIRE_TOOL(Tool::ImageMagick);
  Picture whiteFirst = makePattern(37, 9, 1, true);
  whiteFirst.setPalette({{255, 255, 255}, {0, 0, 0}});
  for (const Picture& p :
       {makePattern(1500, 200, 24), makePattern(9000, 300, 1, true), copyOf(whiteFirst)}) {
    const ByteVec file = encodeOk(tiff::encode, p);
    EXPECT_TRUE(closeColours(decodeOk(tiff::decode, file).picture, p, 0)) << p.width();
    EXPECT_TRUE(closeColours(toolReads(Tool::ImageMagick, file, ".tif"), p, 0)) << p.width();
  }
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

// Each directory counts once and the first page still shows.
TEST(Tiff, HandBuiltFilesLoopingChainsAndSampleLayoutsBeyondUnsignedBytes) {
  const Picture first = makePattern(13, 11, 24, false, 1);
  expectDecodes({
      // ImageMagick's three pages, the last linking back to the second.
      {"tif-last-directory-linking-back-to-the-second.tif",
       {24, 24, 13, 11, format::kTiff, "LZW", false, false, 3},
       ByteVec(first.data(), first.data() + first.byteSize())},
      {"tif-directory-linking-to-itself.tif",
       {8, 8, 2, 1, format::kTiff, "None", true, false, 1},
       {7, 9}},
  });
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
