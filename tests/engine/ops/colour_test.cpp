#include <gtest/gtest.h>

#include <cmath>

#include "engine/ops/ops.h"
#include "op_helpers.h"

namespace zelmar::test {
namespace {

TEST(Colour, InvertGivesTheNegativeAndKeepsTheDepth) {
  for (const DepthCase& d : kDepths) {
    SCOPED_TRACE(d.name);
    const Picture src = makePattern(19, 13, d.bits, d.gray);
    Picture p = copyOf(src);
    ASSERT_TRUE(ops::invertColors(p).ok());
    EXPECT_EQ(p.bits(), d.bits);
    EXPECT_EQ(p.isGray(), src.isGray());
    for (uint32_t y = 0; y < src.height(); ++y)
      for (uint32_t x = 0; x < src.width(); ++x) {
        const Rgb a = pixelAt(src, x, y), b = pixelAt(p, x, y);
        ASSERT_EQ(b, (Rgb{uint8_t(255 - a.r), uint8_t(255 - a.g), uint8_t(255 - a.b)}));
      }
    ASSERT_TRUE(ops::invertColors(p).ok());
    EXPECT_EQ(maxChannelDiff(p, src), 0);
  }
}

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
        const double expect = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
        ASSERT_LE(std::abs(pixelAt(p, x, y).r - expect), 0.5 + 1e-3) << x << "," << y;
      }
  }
  // Already grey: unchanged.
  const Picture gray = makePattern(8, 8, 8, true);
  Picture again = copyOf(gray);
  ASSERT_TRUE(ops::toGrayscale(again).ok());
  EXPECT_TRUE(sameColors(again, gray));
}

// Palette reduction of a photo: the colour count fits the depth, and the
// colour error, pixel by pixel and seen from a distance, stays within bounds
// and close to ImageMagick's for the same number of colours.
TEST(Colour, PaletteReductionBoundsTheColourError) {
  const Picture photo = makePhoto(240, 160);
  Picture gray = copyOf(photo);
  ASSERT_TRUE(ops::toGrayscale(gray).ok());
  // ImageMagick's black and white: error diffusion onto exactly these two.
  TempDir dir;
  const std::string bw = dir.file("bw.pgm");
  Picture bwPalette;
  ASSERT_TRUE(Picture::create(2, 1, 1, bwPalette).ok());
  bwPalette.setPalette(grayPalette(2));
  bwPalette.row(0)[0] = 0;
  bwPalette.row(0)[1] = 1;
  ASSERT_TRUE(writePnm(bwPalette, bw));
  struct Case {
    int bits;
    size_t colours;
    double maxPixelError, maxBlockError;
    std::vector<std::string> im;
  } cases[] = {
      {8, 256, 6.0, 1.5, {"-dither", "FloydSteinberg", "-colors", "256"}},
      {4, 16, 16.0, 6.0, {"-dither", "FloydSteinberg", "-colors", "16"}},
      // Black and white is judged against the picture's greys.
      {1, 2, 130.0, 12.0, {"-colorspace", "Gray", "-dither", "FloydSteinberg", "-remap", bw}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    Picture p = copyOf(photo);
    ASSERT_TRUE(ops::changeColorDepth(p, c.bits, ops::Dither::ErrorDiffusion).ok());
    ASSERT_EQ(p.bits(), c.bits);
    EXPECT_LE(colourCount(p), c.colours);
    EXPECT_GE(colourCount(p), c.colours / 2);
    const Picture& ref = c.bits == 1 ? gray : photo;
    const double pixelError = meanChannelDiff(p, ref), blockError = blockMeanError(p, ref, 4);
    EXPECT_LE(pixelError, c.maxPixelError);
    EXPECT_LE(blockError, c.maxBlockError);
    Picture theirs;
    if (!imageMagick(photo, c.im, theirs)) continue;
    EXPECT_LE(pixelError, meanChannelDiff(theirs, ref) * 1.1 + 0.5);
    EXPECT_LE(blockError, blockMeanError(theirs, ref, 4) * 1.1 + 0.5);
  }
}

TEST(Colour, ErrorDiffusionKeepsFlatGreysEverywhere) {
  // Flat greys come out as patterns with the same mean in every strip of
  // rows, from the first to the last: the picture is tall enough to be done
  // in several parts, and no seam may show between them.
  for (int g : {0, 30, 128, 200, 255}) {
    for (int bits : {1, 4}) {
      SCOPED_TRACE(std::to_string(g) + " grey, " + std::to_string(bits) + " bits");
      Picture p;
      ASSERT_TRUE(Picture::create(64, 1600, 24, p).ok());
      std::fill(p.data(), p.data() + p.byteSize(), uint8_t(g));
      // A few other colours, so 16 colours cannot hold the grey exactly.
      for (uint32_t y = 0; y < 16; ++y)
        p.row(y)[0] = uint8_t(y * 16), p.row(y)[1] = uint8_t(255 - y * 16);
      ASSERT_TRUE(ops::changeColorDepth(p, bits, ops::Dither::ErrorDiffusion).ok());
      ASSERT_EQ(p.bits(), bits);
      if (bits == 1) {
        EXPECT_EQ(p.palette()[0], (Rgb{0, 0, 0}));
        EXPECT_EQ(p.palette()[1], (Rgb{255, 255, 255}));
      }
      for (uint32_t y0 = 16; y0 + 8 <= 1600; y0 += 8) {
        double sum = 0;
        for (uint32_t y = y0; y < y0 + 8; ++y)
          for (uint32_t x = 0; x < 64; ++x) sum += pixelAt(p, x, y).g;
        ASSERT_NEAR(sum / (8 * 64), g, bits == 1 ? 4.0 : 1.0) << "rows from " << y0;
      }
    }
  }
}

TEST(Colour, ExactConversionsKeepEveryColour) {
  // Expanding to 24 bits, 1 and 4 bits going up to 8, and 24-bit pictures
  // with few colours going down: no colour may change.
  for (const DepthCase& d : kDepths) {
    if (d.bits == 24) continue;
    SCOPED_TRACE(d.name);
    const Picture src = makePattern(31, 9, d.bits, d.gray);
    Picture p = copyOf(src);
    ASSERT_TRUE(ops::changeColorDepth(p, 8, ops::Dither::ErrorDiffusion).ok());
    EXPECT_EQ(p.bits(), 8);
    EXPECT_TRUE(sameColors(p, src));
    Picture rgb = copyOf(src);
    ASSERT_TRUE(ops::changeColorDepth(rgb, 24, ops::Dither::Nearest).ok());
    ASSERT_EQ(rgb.bits(), 24);
    ASSERT_TRUE(sameColors(rgb, src));
    const int target = d.bits == 8 ? 8 : 4;
    ASSERT_TRUE(ops::changeColorDepth(rgb, target, ops::Dither::ErrorDiffusion).ok());
    EXPECT_EQ(rgb.bits(), target);
    if (d.bits <= target) {
      EXPECT_TRUE(sameColors(rgb, src));
    }
  }
  // Black and white stays exactly black and white.
  Picture bw = makePattern(16, 16, 1, true);
  const Picture before = copyOf(bw);
  ASSERT_TRUE(ops::changeColorDepth(bw, 1, ops::Dither::ErrorDiffusion).ok());
  EXPECT_TRUE(sameColors(bw, before));
}

TEST(Colour, HalftoneReadsAsTheSameGreysFromADistance) {
  // A horizontal ramp of greys: averaged over whole 8 × 8 screen cells, the
  // dots give back the grey within one step of the 65-level screen.
  Picture p;
  ASSERT_TRUE(Picture::create(256, 64, 8, p).ok());
  p.setPalette(grayPalette(256));
  for (uint32_t y = 0; y < 64; ++y)
    for (uint32_t x = 0; x < 256; ++x) p.row(y)[x] = uint8_t(x / 8 * 8 + 4);
  const Picture src = copyOf(p);
  ASSERT_TRUE(ops::makeHalftone(p, ops::Halftone::ClusteredDot).ok());
  ASSERT_EQ(p.bits(), 1);
  ASSERT_TRUE(p.isGray());
  for (uint32_t cx = 0; cx < 256; cx += 8) {
    double sum = 0;
    for (uint32_t y = 0; y < 64; ++y)
      for (uint32_t x = cx; x < cx + 8; ++x) sum += pixelAt(p, x, y).r;
    EXPECT_NEAR(sum / (64 * 8), pixelAt(src, cx, 0).r, 255.0 / 64 + 0.5) << cx;
  }
  // Clustered: mid grey is one dot per cell, so most black pixels touch black.
  Picture mid;
  ASSERT_TRUE(Picture::create(64, 64, 24, mid).ok());
  std::fill(mid.data(), mid.data() + mid.byteSize(), uint8_t(128));
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
