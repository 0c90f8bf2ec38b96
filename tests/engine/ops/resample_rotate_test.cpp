#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>
#include <numbers>

#include "engine/ops/ops.h"
#include "op_helpers.h"

namespace zelmar::test {
namespace {

TEST(Resize, GivesTheExactSizeAndKeepsTheMeanColour) {
  const Picture photo = makePhoto(300, 200);
  const auto mean = meanColour(photo);
  struct Case {
    double w, h;
    uint32_t ew, eh;
  } cases[] = {{150, 100, 150, 100},     {120, 80, 120, 80}, {97, 61, 97, 61},
               {611, 409, 611, 409},     {50, 400, 50, 400}, {600, 90, 600, 90},
               {149.5, 100.4, 150, 100}, {1, 1, 1, 1}};  // halves go to even
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    Picture p = copyOf(photo);
    ASSERT_TRUE(ops::resize(p, c.w, c.h, ops::ResizeMethod::Smooth).ok());
    ASSERT_EQ(p.width(), c.ew);
    ASSERT_EQ(p.height(), c.eh);
    EXPECT_EQ(p.bits(), 24);
    const auto m = meanColour(p);
    // A single pixel is the average itself; otherwise resampling moves the
    // mean only by rounding and the cubic's ringing at the borders.
    for (int ch = 0; ch < 3; ++ch) EXPECT_NEAR(m[size_t(ch)], mean[size_t(ch)], 1.5) << ch;
  }
}

TEST(Resize, ShrinkingAveragesAndFlatAreasStayFlat) {
  // A 2 × 2 checker of black and white halves to mid grey everywhere.
  Picture p;
  ASSERT_TRUE(Picture::create(64, 32, 24, p).ok());
  for (uint32_t y = 0; y < 32; ++y)
    for (uint32_t x = 0; x < 64 * 3; ++x) p.row(y)[x] = ((x / 3 + y) % 2) ? 255 : 0;
  ASSERT_TRUE(ops::resize(p, 32, 16, ops::ResizeMethod::Smooth).ok());
  for (uint32_t y = 0; y < 16; ++y)
    for (uint32_t x = 0; x < 32; ++x) ASSERT_NEAR(pixelAt(p, x, y).g, 127.5, 1);
  // Whole factors: every pixel is the mean of its block, to the nearest level.
  const Picture photo = makePhoto(60, 40, 4);
  for (auto [fx, fy] : {std::pair{5u, 5u}, {3u, 2u}, {1u, 4u}}) {
    SCOPED_TRACE(std::to_string(fx) + "x" + std::to_string(fy));
    Picture q = copyOf(photo);
    ASSERT_TRUE(ops::resize(q, 60 / fx, 40 / fy, ops::ResizeMethod::Smooth).ok());
    for (uint32_t y = 0; y < q.height(); ++y)
      for (uint32_t x = 0; x < q.width(); ++x) {
        double sum = 0;
        for (uint32_t by = y * fy; by < (y + 1) * fy; ++by)
          for (uint32_t bx = x * fx; bx < (x + 1) * fx; ++bx) sum += pixelAt(photo, bx, by).g;
        ASSERT_NEAR(pixelAt(q, x, y).g, sum / (fx * fy), 0.5 + 1e-9) << x << "," << y;
      }
  }
  // Enlarging a flat colour keeps it exactly.
  Picture flat;
  ASSERT_TRUE(Picture::create(5, 4, 24, flat).ok());
  std::fill(flat.data(), flat.data() + flat.byteSize(), uint8_t(77));
  ASSERT_TRUE(ops::resize(flat, 23, 19, ops::ResizeMethod::Smooth).ok());
  EXPECT_EQ(colourCount(flat), 1u);
  EXPECT_EQ(pixelAt(flat, 11, 9), (Rgb{77, 77, 77}));
}

TEST(Resize, GreyStaysGreyAndPalettesBecomeFullColour) {
  for (const DepthCase& d : kDepths) {
    SCOPED_TRACE(d.name);
    Picture p = makePattern(40, 30, d.bits, d.gray);
    const bool gray = p.isGray();
    ASSERT_TRUE(ops::resize(p, 20, 45, ops::ResizeMethod::Smooth).ok());
    EXPECT_EQ(p.bits(), gray ? 8 : 24);
    EXPECT_EQ(p.width(), 20u);
    EXPECT_EQ(p.height(), 45u);
  }
}

TEST(Resize, RefusesBadSizesAndLeavesThePicture) {
  const Picture src = makePattern(10, 10, 24);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double w, h;
    ErrorCode code;
  } cases[] = {{0, 10, ErrorCode::InvalidArgument},      {10, 0, ErrorCode::InvalidArgument},
               {-5, 10, ErrorCode::InvalidArgument},     {0.49, 10, ErrorCode::InvalidArgument},
               {nan, 10, ErrorCode::InvalidArgument},    {10, -inf, ErrorCode::InvalidArgument},
               {65536, 10, ErrorCode::LimitExceeded},    {10, inf, ErrorCode::LimitExceeded},
               {1e300, 1e300, ErrorCode::LimitExceeded}, {40000, 30000, ErrorCode::LimitExceeded}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    Picture p = copyOf(src);
    EXPECT_EQ(ops::resize(p, c.w, c.h, ops::ResizeMethod::Smooth).code(), c.code);
    EXPECT_TRUE(sameColors(p, src));
    EXPECT_EQ(p.bits(), 24);
  }
  Picture p = copyOf(src);
  // Limits are the caller's: a small cap refuses what the default allows.
  EXPECT_EQ(ops::resize(p, 200, 200, ops::ResizeMethod::Smooth, Limits{100, 1000000}).code(),
            ErrorCode::LimitExceeded);
  EXPECT_EQ(ops::resize(p, 90, 90, ops::ResizeMethod::Smooth, Limits{100, 5000}).code(),
            ErrorCode::LimitExceeded);
}

// The turned picture's corners, by complex multiplication: the bounding box
// holds them all and is less than a pixel larger.
std::pair<double, double> exactBox(double w, double h, double degrees) {
  const std::complex<double> turn = std::polar(1.0, degrees * std::numbers::pi / 180.0);
  double minX = 1e18, maxX = -1e18, minY = 1e18, maxY = -1e18;
  for (auto corner : {std::complex<double>(0, 0), {w, 0}, {0, h}, {w, h}}) {
    const auto q = corner * turn;
    minX = std::min(minX, q.real());
    maxX = std::max(maxX, q.real());
    minY = std::min(minY, q.imag());
    maxY = std::max(maxY, q.imag());
  }
  return {maxX - minX, maxY - minY};
}

TEST(Rotate, CanvasHoldsTheWholeTurnedPictureForAnyAngle) {
  for (auto [w, h] : {std::pair{6000u, 4000u}, {1u, 1u}, {1u, 500u}, {65535u, 3u}}) {
    for (int64_t a = -72000; a <= 72000; a += 737) {
      SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " at " + std::to_string(a));
      const auto [bw, bh] = exactBox(w, h, double(a) / 100);
      const ops::RotatedSize s = ops::rotatedSize(w, h, a);
      EXPECT_GE(double(s.width), bw - 1e-6);
      EXPECT_LT(double(s.width), bw + 1);
      EXPECT_GE(double(s.height), bh - 1e-6);
      EXPECT_LT(double(s.height), bh + 1);
    }
  }
  EXPECT_EQ(ops::rotatedSize(600, 400, 9000), (ops::RotatedSize{400, 600}));
  EXPECT_EQ(ops::rotatedSize(600, 400, -18000), (ops::RotatedSize{600, 400}));
  EXPECT_EQ(ops::rotatedSize(600, 400, 1), (ops::RotatedSize{601, 401}));
}

TEST(Rotate, AnyAngleKeepsThePictureWholeAndFillsTheCorners) {
  // A flat colour turned by 33.33 degrees: the corners take the fill, the
  // picture's area is kept, and nothing of the picture is cut off.
  Picture p;
  ASSERT_TRUE(Picture::create(120, 80, 24, p).ok());
  for (size_t i = 0; i < p.byteSize(); i += 3)
    p.data()[i] = 250, p.data()[i + 1] = 20, p.data()[i + 2] = 20;
  const Rgb fill{10, 200, 30};
  ASSERT_TRUE(ops::rotate(p, 3333, true, fill).ok());
  const ops::RotatedSize s = ops::rotatedSize(120, 80, 3333);
  ASSERT_EQ(p.width(), s.width);
  ASSERT_EQ(p.height(), s.height);
  EXPECT_EQ(pixelAt(p, 0, 0), fill);
  EXPECT_EQ(pixelAt(p, p.width() - 1, p.height() - 1), fill);
  double covered = 0;
  for (uint32_t y = 0; y < p.height(); ++y)
    for (uint32_t x = 0; x < p.width(); ++x) covered += (pixelAt(p, x, y).r - 10) / 240.0;
  EXPECT_NEAR(covered, 120.0 * 80.0, 120.0 + 80.0);  // within the perimeter's blur
  // Every border pixel of the canvas is mostly fill: the picture is inside.
  for (uint32_t x = 0; x < p.width(); ++x) {
    EXPECT_LT(pixelAt(p, x, 0).r, 200) << x;
    EXPECT_LT(pixelAt(p, x, p.height() - 1).r, 200) << x;
  }
}

TEST(Rotate, AnyAngleTurnsTheSameWayAsTheQuarterTurns) {
  // A linear ramp, which bilinear sampling reproduces exactly: turned by a
  // hair less than a quarter, the interior matches the exact quarter turn
  // within the half-pixel offset of the larger canvas.
  Picture p;
  ASSERT_TRUE(Picture::create(30, 20, 24, p).ok());
  for (uint32_t y = 0; y < 20; ++y)
    for (uint32_t x = 0; x < 30; ++x) {
      uint8_t* px = p.row(y) + 3 * x;
      px[0] = uint8_t(x * 8), px[1] = uint8_t(y * 8), px[2] = 0;
    }
  for (int64_t a : {9000, -9000}) {
    SCOPED_TRACE(a);
    Picture exact = copyOf(p), near = copyOf(p);
    ASSERT_TRUE(ops::rotate(exact, a, true, {}).ok());
    ASSERT_TRUE(ops::rotate(near, a > 0 ? a - 1 : a + 1, true, {}).ok());
    ASSERT_EQ(near.width(), exact.width() + 1);
    ASSERT_EQ(near.height(), exact.height() + 1);
    for (uint32_t y = 2; y + 2 < exact.height(); ++y)
      for (uint32_t x = 2; x + 2 < exact.width(); ++x) {
        const Rgb e = pixelAt(exact, x, y), n = pixelAt(near, x, y),
                  n1 = pixelAt(near, x + 1, y + 1);
        ASSERT_NEAR((n.r + n1.r) / 2.0, e.r, 6) << x << "," << y;
        ASSERT_NEAR((n.g + n1.g) / 2.0, e.g, 6) << x << "," << y;
      }
  }
}

TEST(Rotate, AnglesReduceModuloAFullTurn) {
  const Picture src = makePattern(30, 20, 24);
  Picture base = copyOf(src);
  ASSERT_TRUE(ops::rotate(base, 4500, true, {1, 2, 3}).ok());
  const int64_t turns[] = {36000, -36000, 36000LL * 59652, -36000LL * 59652};
  for (int64_t t : turns) {
    Picture p = copyOf(src);
    ASSERT_TRUE(ops::rotate(p, 4500 + t, true, {1, 2, 3}).ok());
    EXPECT_TRUE(sameColors(p, base)) << t;
  }
  // The 32-bit extremes, and the 64-bit ones the signature allows.
  for (int64_t a : {int64_t(INT32_MAX), int64_t(INT32_MIN), INT64_MAX, INT64_MIN}) {
    SCOPED_TRACE(a);
    Picture p = copyOf(src);
    ASSERT_TRUE(ops::rotate(p, a, true, {}).ok());
    const int64_t reduced = ((a % 36000) + 36000) % 36000;
    const ops::RotatedSize s = ops::rotatedSize(30, 20, reduced);
    EXPECT_EQ(p.width(), s.width);
    EXPECT_EQ(p.height(), s.height);
  }
}

TEST(Rotate, DepthAndFillDecideTheResultForm) {
  for (const DepthCase& d : kDepths) {
    SCOPED_TRACE(d.name);
    const Picture src = makePattern(20, 10, d.bits, d.gray);
    Picture greyFill = copyOf(src), colourFill = copyOf(src);
    ASSERT_TRUE(ops::rotate(greyFill, 1000, true, {60, 60, 60}).ok());
    ASSERT_TRUE(ops::rotate(colourFill, 1000, true, {60, 0, 0}).ok());
    EXPECT_EQ(greyFill.bits(), src.isGray() ? 8 : 24);
    EXPECT_EQ(colourFill.bits(), 24);  // a grey picture cannot hold a red corner
    EXPECT_EQ(pixelAt(colourFill, 0, 0), (Rgb{60, 0, 0}));
  }
  // Without enlarging, the canvas keeps the size.
  Picture p = makePattern(20, 10, 24);
  ASSERT_TRUE(ops::rotate(p, 3000, false, {}).ok());
  EXPECT_EQ(p.width(), 20u);
  EXPECT_EQ(p.height(), 10u);
}

TEST(Rotate, RefusesACanvasBeyondTheLimits) {
  const Picture src = makePattern(100, 50, 8);
  Picture p = copyOf(src);
  EXPECT_EQ(ops::rotate(p, 4500, true, {}, Limits{100, 1000000}).code(), ErrorCode::LimitExceeded);
  EXPECT_EQ(ops::rotate(p, 9000, true, {}, Limits{60, 1000000}).code(), ErrorCode::LimitExceeded);
  EXPECT_TRUE(sameColors(p, src));
  EXPECT_EQ(p.bits(), 8);
}

}  // namespace
}  // namespace zelmar::test
