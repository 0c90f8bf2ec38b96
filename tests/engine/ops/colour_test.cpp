// Grey levels, colour reduction with error diffusion, exact conversions and
// the halftone screen.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/ops/ops.h"
#include "ops_checks.h"
#include "support/oracle.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

TEST(Colour, GreyUsesTheLumaWeightsAtEveryDepth) {
  for (const DepthCase& d : kDepths) {
    SCOPED_TRACE(d.name);
    const Picture src = makePattern(29, 17, d.bits, d.gray, 3);
    Picture p = copyOf(src);
    ASSERT_TRUE(ops::toGrayscale(p).ok());
    ASSERT_EQ(p.bits(), 8);
    ASSERT_TRUE(p.isGray());
    for (uint32_t y = 0; y < src.height(); ++y)
      for (uint32_t x = 0; x < src.width(); ++x) {
        const Rgb c = pixelAt(src, x, y);
        ASSERT_LE(std::abs(pixelAt(p, x, y).r - (0.299 * c.r + 0.587 * c.g + 0.114 * c.b)),
                  0.5 + 1e-3);
      }
  }
}

// The colour count fits the depth, and the error, pixel by pixel and seen
// from a distance, stays within bounds and close to ImageMagick's.
TEST(Colour, PaletteReductionBoundsTheErrorLikeImageMagick) {
  REQUIRE_TOOL(Tool::ImageMagick);
  const Picture photo = makePhoto(240, 160);
  Picture gray = copyOf(photo);
  ASSERT_TRUE(ops::toGrayscale(gray).ok());
  TempDir dir;  // ImageMagick's black and white: diffusion onto exactly these two
  Picture bw = makePattern(2, 1, 1, true);
  bw.row(0)[0] = 0, bw.row(0)[1] = 1;
  ASSERT_TRUE(writePnm(bw, dir.file("bw.pgm")));
  const struct {
    int bits;
    size_t colours;
    double maxPixelError, maxBlockError;
    std::vector<std::string> im;
  } cases[] = {
      {8, 256, 6.0, 1.5, {"-dither", "FloydSteinberg", "-colors", "256"}},
      {4, 16, 16.0, 6.0, {"-dither", "FloydSteinberg", "-colors", "16"}},
      // Black and white is judged against the picture's greys.
      {1,
       2,
       130.0,
       12.0,
       {"-colorspace", "Gray", "-dither", "FloydSteinberg", "-remap", dir.file("bw.pgm")}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits);
    Picture p = copyOf(photo);
    ASSERT_TRUE(ops::changeColorDepth(p, c.bits, ops::Dither::ErrorDiffusion).ok());
    ASSERT_EQ(p.bits(), c.bits);
    EXPECT_LE(colourCount(p), c.colours);
    EXPECT_GE(colourCount(p), c.colours / 2);
    const Picture& ref = c.bits == 1 ? gray : photo;
    const Picture theirs = toolApplies(Tool::ImageMagick, photo, c.im);
    const double pixelError = meanChannelDiff(p, ref), blockError = blockMeanError(p, ref, 4);
    EXPECT_LE(pixelError, c.maxPixelError);
    EXPECT_LE(blockError, c.maxBlockError);
    EXPECT_LE(pixelError, meanChannelDiff(theirs, ref) * 1.1 + 0.5);
    EXPECT_LE(blockError, blockMeanError(theirs, ref, 4) * 1.1 + 0.5);
  }
}

TEST(Colour, ErrorDiffusionKeepsFlatGreysEverywhere) {
  // Flat greys become patterns with the same mean in every strip of rows:
  // the picture is tall enough to be done in parts, and no seam may show.
  for (int g : {0, 30, 128, 200, 255})
    for (int bits : {1, 4}) {
      SCOPED_TRACE(testing::Message() << g << " grey, " << bits << " bits");
      Picture p = solid(64, 1600, {uint8_t(g), uint8_t(g), uint8_t(g)});
      // A few other colours, so 16 colours cannot hold the grey exactly.
      for (uint32_t y = 0; y < 16; ++y)
        p.row(y)[0] = uint8_t(y * 16), p.row(y)[1] = uint8_t(255 - y * 16);
      ASSERT_TRUE(ops::changeColorDepth(p, bits, ops::Dither::ErrorDiffusion).ok());
      ASSERT_EQ(p.bits(), bits);
      if (bits == 1) {
        EXPECT_EQ(p.palette(), (Palette{{0, 0, 0}, {255, 255, 255}}));
      }
      for (uint32_t y0 = 16; y0 + 8 <= 1600; y0 += 8) {
        double sum = 0;
        for (uint32_t y = y0; y < y0 + 8; ++y)
          for (uint32_t x = 0; x < 64; ++x) sum += pixelAt(p, x, y).g;
        ASSERT_NEAR(sum / (8 * 64), g, bits == 1 ? 4.0 : 1.0) << "rows from " << y0;
      }
    }
}

TEST(Colour, ConversionsThatFitKeepEveryColour) {
  // Up to 24 bits, 1 and 4 bits up to 8, and 24-bit pictures with few
  // colours back down: no colour changes, whatever the dither.
  for (const DepthCase& d : kDepths) {
    if (d.bits == 24) continue;
    SCOPED_TRACE(d.name);
    const Picture src = makePattern(31, 9, d.bits, d.gray);
    Picture p = copyOf(src), rgb = copyOf(src);
    ASSERT_TRUE(ops::changeColorDepth(p, 8, ops::Dither::ErrorDiffusion).ok());
    EXPECT_EQ(p.bits(), 8);
    EXPECT_TRUE(closeColours(p, src, 0));
    ASSERT_TRUE(ops::changeColorDepth(rgb, 24, ops::Dither::Nearest).ok());
    ASSERT_EQ(rgb.bits(), 24);
    ASSERT_TRUE(closeColours(rgb, src, 0));
    // 1 bit is black and white, so 1-bit colours go back to 4 bits.
    const int target = d.bits == 8 ? 8 : 4;
    ASSERT_TRUE(ops::changeColorDepth(rgb, target, ops::Dither::ErrorDiffusion).ok());
    EXPECT_EQ(rgb.bits(), target);
    EXPECT_TRUE(closeColours(rgb, src, 0));
  }
}

TEST(Colour, HalftoneReadsAsTheSameGreysFromADistanceInClusteredDots) {
  // A ramp of greys: averaged over whole 8 × 8 screen cells, the dots give
  // back the grey within one step of the 65-level screen.
  Picture p = makePattern(256, 64, 8, true);
  for (uint32_t y = 0; y < 64; ++y)
    for (uint32_t x = 0; x < 256; ++x) p.row(y)[x] = uint8_t(x / 8 * 8 + 4);
  ASSERT_TRUE(ops::makeHalftone(p, ops::Halftone::ClusteredDot).ok());
  ASSERT_EQ(p.bits(), 1);
  ASSERT_TRUE(p.isGray());
  for (uint32_t cx = 0; cx < 256; cx += 8) {
    double sum = 0;
    for (uint32_t y = 0; y < 64; ++y)
      for (uint32_t x = cx; x < cx + 8; ++x) sum += pixelAt(p, x, y).r;
    EXPECT_NEAR(sum / (64 * 8), cx + 4, 255.0 / 64 + 0.5) << cx;
  }
  // Mid grey is one dot per cell, so most black pixels touch black.
  Picture mid = solid(64, 64, {128, 128, 128});
  ASSERT_TRUE(ops::makeHalftone(mid, ops::Halftone::ClusteredDot).ok());
  int black = 0, clustered = 0;
  for (uint32_t y = 1; y < 63; ++y)
    for (uint32_t x = 1; x < 63; ++x) {
      if (pixelAt(mid, x, y).r != 0) continue;
      ++black;
      clustered += pixelAt(mid, x + 1, y).r == 0 && pixelAt(mid, x, y + 1).r == 0;
    }
  EXPECT_GT(clustered, black / 2);
}

}  // namespace
}  // namespace zelmar::test
