// Grey levels, colour reduction with error diffusion, exact conversions, the
// halftone screen, the filters against the textbook convolution, and
// saturation with the run rules of the session that keeps its base.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "engine/ops/ops.h"
#include "engine/ops/saturation_session.h"
#include "support/oracle.h"
#include "support/pictures.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

// Mean absolute channel difference of the averages of `block` × `block`
// squares: what error diffusion is meant to keep.
double blockMeanError(const Picture& a, const Picture& b, uint32_t block) {
  double sum = 0;
  int n = 0;
  for (uint32_t by = 0; by + block <= a.height(); by += block)
    for (uint32_t bx = 0; bx + block <= a.width(); bx += block) {
      std::array<double, 3> d{};
      for (uint32_t y = by; y < by + block; ++y)
        for (uint32_t x = bx; x < bx + block; ++x) {
          const Rgb p = pixelAt(a, x, y), q = pixelAt(b, x, y);
          d[0] += p.r - q.r, d[1] += p.g - q.g, d[2] += p.b - q.b;
        }
      for (double v : d) sum += std::abs(v) / (block * block);
      n += 3;
    }
  return sum / n;
}

// Grey by the luma weights; conversions that fit (up to 24 bits, 1 and 4
// bits up to 8, 24-bit pictures with few colours back down) keep every
// colour, whatever the dither.
TEST(Colour, GreyLumaExactConversionsAndPaletteReductionBoundingTheErrorLikeImageMagick) {
  REQUIRE_TOOL(Tool::ImageMagick);
  for (const Depth d : kDepths) {
    SCOPED_TRACE(testing::Message() << d);
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
    if (d.bits == 24) continue;
    Picture eight = copyOf(src), rgb = copyOf(src);
    ASSERT_TRUE(ops::changeColorDepth(eight, 8, ops::Dither::ErrorDiffusion).ok());
    EXPECT_EQ(eight.bits(), 8);
    EXPECT_TRUE(closeColours(eight, src, 0));
    ASSERT_TRUE(ops::changeColorDepth(rgb, 24, ops::Dither::Nearest).ok());
    ASSERT_EQ(rgb.bits(), 24);
    ASSERT_TRUE(closeColours(rgb, src, 0));
    // 1 bit is black and white, so 1-bit colours go back to 4 bits.
    const int target = d.bits == 8 ? 8 : 4;
    ASSERT_TRUE(ops::changeColorDepth(rgb, target, ops::Dither::ErrorDiffusion).ok());
    EXPECT_EQ(rgb.bits(), target);
    EXPECT_TRUE(closeColours(rgb, src, 0));
  }
  // Reduced to a palette, the colour count fits the depth, and the error,
  // pixel by pixel and seen from a distance, stays within bounds and close
  // to ImageMagick's.
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

// A 3 × 3 kernel with the edges mirrored (index -1 reads 1, index n reads
// n - 2), then `finish` of the sum and the centre sample.
using Kernel = std::array<std::array<double, 3>, 3>;
Picture reference(const Picture& src, const Kernel& k,
                  const std::function<int(double, int)>& finish) {
  Picture out = solid(src.width(), src.height(), {});
  const auto at = [&](int64_t x, int64_t y, int ch) {
    const auto m = [](int64_t i, int64_t n) {
      return n == 1 ? 0 : i < 0 ? -i : i >= n ? 2 * n - 2 - i : i;
    };
    const Rgb c = pixelAt(src, uint32_t(m(x, src.width())), uint32_t(m(y, src.height())));
    return ch == 0 ? c.r : ch == 1 ? c.g : c.b;
  };
  for (int64_t y = 0; y < src.height(); ++y)
    for (int64_t x = 0; x < src.width(); ++x)
      for (int ch = 0; ch < 3; ++ch) {
        double sum = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            sum += k[size_t(dy + 1)][size_t(dx + 1)] * at(x + dx, y + dy, ch);
        out.row(uint32_t(y))[3 * x + ch] = uint8_t(std::clamp(finish(sum, at(x, y, ch)), 0, 255));
      }
  return out;
}

TEST(Filters, MatchTheTextbookConvolutionAtEveryDepth) {
  const Kernel emboss{{{-1, -1, 0}, {-1, 0, 1}, {0, 1, 1}}},
      laplace{{{-1, -1, -1}, {-1, 8, -1}, {-1, -1, -1}}};
  const struct {
    const char* name;
    std::function<Status(Picture&)> op;
    Kernel kernel;
    std::function<int(double, int)> finish;
    int tolerance;  // sharpening works in fixed point
  } cases[] = {
      {"emboss", [](Picture& p) { return ops::applyFilter(p, ops::Filter::Emboss); }, emboss,
       [](double s, int) { return int(s) + 128; }, 0},
      {"edges", [](Picture& p) { return ops::applyFilter(p, ops::Filter::EdgeDetect); }, laplace,
       [](double s, int) { return int(std::abs(s)); }, 0},
      {"enhance 100", [](Picture& p) { return ops::enhanceEdges(p, 100); }, laplace,
       [](double s, int c) { return int(std::lround(c + s / 9.0)); }, 1},
      {"enhance 250", [](Picture& p) { return ops::enhanceEdges(p, 250); }, laplace,
       [](double s, int c) { return int(std::lround(c + 2.5 * s / 9.0)); }, 1},
      {"enhance 0", [](Picture& p) { return ops::enhanceEdges(p, 0); }, laplace,
       [](double, int c) { return c; }, 0},
  };
  // Grey stays grey, palettes become full colour. The 24-bit picture is
  // taller than the rows a thread takes, so band edges are covered too.
  for (const Depth d : kDepths) {
    const Picture src = makePattern(41, d.bits == 24 ? 300 : 12, d.bits, d.gray, 9);
    for (const auto& f : cases) {
      SCOPED_TRACE(testing::Message() << d << " " << f.name);
      Picture p = copyOf(src);
      ASSERT_TRUE(f.op(p).ok());
      EXPECT_EQ(p.bits(), src.isGray() ? 8 : 24);
      EXPECT_EQ(p.isGray(), src.isGray());
      EXPECT_TRUE(closeColours(p, reference(src, f.kernel, f.finish), f.tolerance));
    }
  }
}

TEST(Saturation, MovesColoursAlongTheirGreyAxisAndARunStartsFromItsBaseUntilAnythingElse) {
  Picture p = solid(2, 1, {200, 100, 50});
  p.row(0)[3] = p.row(0)[4] = p.row(0)[5] = 90;
  // Luma of (200, 100, 50) is 124.2: each channel moves (1 + v/1000) times as
  // far from it; grey has nothing to change; strong values clip.
  for (const auto& [v, r, b] :
       {std::tuple{500, 237.9, 13.0}, {-990, 124.958, 123.442}, {990, 255.0, 0.0}}) {
    Picture out;
    ASSERT_TRUE(ops::adjustSaturation(p, v, out).ok());
    EXPECT_NEAR(pixelAt(out, 0, 0).r, r, 1) << v;
    EXPECT_NEAR(pixelAt(out, 0, 0).b, b, 1) << v;
    EXPECT_EQ(pixelAt(out, 1, 0), (Rgb{90, 90, 90})) << v;
  }
  for (const Depth d : kDepths) {
    const Picture base = makePattern(21, 14, d.bits, d.gray);
    Picture out;
    ASSERT_TRUE(ops::adjustSaturation(base, 0, out).ok());
    EXPECT_EQ(out.bits(), base.bits()) << d;
    EXPECT_EQ(out.palette(), base.palette());
    EXPECT_TRUE(std::equal(out.data(), out.data() + out.byteSize(), base.data()));
    ASSERT_TRUE(ops::adjustSaturation(base, 300, out).ok());
    EXPECT_EQ(out.bits(), base.isGray() ? base.bits() : 24) << d;
  }
  // A run of the session starts from its base until anything else happens.
  const Picture photo = makePhoto(60, 40);
  const auto saturated = [&](const Picture& from, int v) {
    Picture out;
    EXPECT_TRUE(ops::adjustSaturation(from, v, out).ok());
    return out;
  };
  ops::SaturationSession s;
  s.reset(copyOf(photo));
  // Each result is the base changed once by that value, not the sum.
  for (int v : {500, -300, 990, -990, 10, 0}) {
    ASSERT_TRUE(s.adjustSaturation(v).ok());
    EXPECT_TRUE(closeColours(s.picture(), saturated(photo, v), 0)) << v;
  }
  // A refused value leaves the picture and the run alone.
  EXPECT_EQ(s.adjustSaturation(1000).code(), ErrorCode::InvalidArgument);
  EXPECT_TRUE(closeColours(s.picture(), photo, 0));
  // Another operation ends the run, even a failed one: 0 then keeps what is there.
  ASSERT_TRUE(s.adjustSaturation(600).ok());
  ASSERT_TRUE(s.apply(ops::mirrorHorizontal).ok());
  Picture expect = saturated(photo, 600);
  ASSERT_TRUE(ops::mirrorHorizontal(expect).ok());
  ASSERT_TRUE(s.adjustSaturation(0).ok());
  EXPECT_TRUE(closeColours(s.picture(), expect, 0));
  // A failed operation ends it too: 0 keeps the -500 picture.
  ASSERT_TRUE(s.adjustSaturation(-500).ok());
  const Picture before = copyOf(s.picture());
  EXPECT_FALSE(s.apply([](Picture& p) { return ops::enhanceEdges(p, 5000); }).ok());
  ASSERT_TRUE(s.adjustSaturation(0).ok());
  EXPECT_TRUE(closeColours(s.picture(), before, 0));
  // A new picture starts afresh; none at all refuses.
  ASSERT_TRUE(s.adjustSaturation(300).ok());
  const Picture grey = makePattern(5, 5, 8, true);
  s.reset(copyOf(grey));
  ASSERT_TRUE(s.adjustSaturation(0).ok());
  EXPECT_TRUE(closeColours(s.picture(), grey, 0));
  s.reset(Picture());
  EXPECT_EQ(s.adjustSaturation(100).code(), ErrorCode::NoPicture);
}

}  // namespace
}  // namespace zelmar::test
