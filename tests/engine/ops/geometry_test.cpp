// Mirror, flip, invert and turns exact at every depth as ImageMagick does them;
// resampling and rotation by any angle: sizes, averages, what the canvas
// holds; the area shrinker against OpenCV's area resampler and block means.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <opencv2/imgproc.hpp>

#include "engine/ops/area_shrink.h"
#include "engine/ops/ops.h"
#include "support/oracle.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

// The mean of each channel of a 24-bit picture, as OpenCV takes it.
cv::Scalar meanColour(const Picture& p) {
  return cv::mean(
      cv::Mat(int(p.height()), int(p.width()), CV_8UC3, const_cast<uint8_t*>(p.data())));
}

TEST(Geometry, MatchesImageMagickExactlyKeepingTheDepth) {
  REQUIRE_TOOL(Tool::ImageMagick);
  const struct {
    const char* name;
    std::function<Status(Picture&)> op;
    std::vector<std::string> im;
  } cases[] = {
      {"mirror", ops::mirrorHorizontal, {"-flop"}},
      {"flip", ops::flipVertical, {"-flip"}},
      {"invert", ops::invertColors, {"-negate"}},
      // The fill must not matter for a quarter turn, not even its greyness.
      {"quarter",
       [](Picture& p) {
         return ops::rotate(p, 9000, true, {200, 10, 10});
       },
       {"-rotate", "90"}},
      {"half", [](Picture& p) { return ops::rotate(p, -18000, true, {}); }, {"-rotate", "180"}},
      {"three quarters",
       [](Picture& p) { return ops::rotate(p, -9000, true, {}); },
       {"-rotate", "270"}},
  };
  for (const Depth d : kDepths) {
    // Odd sizes (the middle stays put) and even ones, by turns.
    const uint32_t even = d.gray;
    const Picture src = makePattern(37 + even, 23 + even, d.bits, d.gray, 11);
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << d << " " << c.name);
      Picture ours = copyOf(src);
      ASSERT_TRUE(c.op(ours).ok());
      EXPECT_EQ(ours.bits(), d.bits);
      EXPECT_EQ(ours.isGray(), src.isGray());
      EXPECT_TRUE(closeColours(ours, toolApplies(Tool::ImageMagick, src, c.im), 0));
    }
  }
}

constexpr auto kSmooth = ops::ResizeMethod::Smooth;

TEST(Resize, GivesTheRoundedSizeKeepsMeanAndGreynessAveragesWholeBlocksAndRefusesBadSizes) {
  const Picture photo = makePhoto(300, 200);
  const auto mean = meanColour(photo);
  const struct {
    double w, h;
    uint32_t ew, eh;
  } cases[] = {{150, 100, 150, 100},     {120, 80, 120, 80}, {97, 61, 97, 61},
               {611, 409, 611, 409},     {50, 400, 50, 400}, {600, 90, 600, 90},
               {149.5, 100.4, 150, 100}, {1, 1, 1, 1}};  // halves to even
  for (const auto& c : cases) {
    Picture p = copyOf(photo);
    ASSERT_TRUE(ops::resize(p, c.w, c.h, kSmooth).ok());
    ASSERT_EQ(p.width(), c.ew);
    ASSERT_EQ(p.height(), c.eh);
    // Resampling moves the mean only by rounding and the cubic's ringing at the borders.
    const auto m = meanColour(p);
    for (int ch = 0; ch < 3; ++ch) EXPECT_NEAR(m[ch], mean[ch], 1.5) << c.w << "x" << c.h;
  }
  for (const Depth d : kDepths) {
    Picture p = makePattern(40, 30, d.bits, d.gray);
    const bool gray = p.isGray();
    ASSERT_TRUE(ops::resize(p, 20, 45, kSmooth).ok());
    EXPECT_EQ(p.bits(), gray ? 8 : 24) << d;
  }
  // Every pixel is the mean of its block, to the nearest level, whatever
  // the factor on each axis.
  const Picture small = makePhoto(60, 40, 4);
  for (auto [fx, fy] : {std::pair{5u, 5u}, {3u, 2u}, {1u, 4u}, {2u, 2u}}) {
    Picture q = copyOf(small);
    ASSERT_TRUE(ops::resize(q, 60 / fx, 40 / fy, kSmooth).ok());
    for (uint32_t y = 0; y < q.height(); ++y)
      for (uint32_t x = 0; x < q.width(); ++x) {
        double sum = 0;
        for (uint32_t by = y * fy; by < (y + 1) * fy; ++by)
          for (uint32_t bx = x * fx; bx < (x + 1) * fx; ++bx) sum += pixelAt(small, bx, by).g;
        ASSERT_NEAR(pixelAt(q, x, y).g, sum / (fx * fy), 0.5 + 1e-9)
            << fx << "x" << fy << " at " << x << "," << y;
      }
  }
  for (auto [w, h] : {std::pair{23.0, 19.0}, {3.0, 2.0}, {17.0, 4.0}}) {
    Picture flat = solid(5, 4, {77, 78, 79});
    ASSERT_TRUE(ops::resize(flat, w, h, kSmooth).ok());
    EXPECT_EQ(colourCount(flat), 1u);
    EXPECT_EQ(pixelAt(flat, 1, 1), (Rgb{77, 78, 79}));
  }
  // Bad sizes are refused and leave the picture as it was.
  const Picture src = makePattern(10, 10, 24);
  const double nan = std::numeric_limits<double>::quiet_NaN(),
               inf = std::numeric_limits<double>::infinity();
  const struct {
    double w, h;
    ErrorCode code;
    Limits limits = {};
  } bad[] = {
      {0, 10, ErrorCode::InvalidArgument},
      {10, 0, ErrorCode::InvalidArgument},
      {-5, 10, ErrorCode::InvalidArgument},
      {0.49, 10, ErrorCode::InvalidArgument},
      {nan, 10, ErrorCode::InvalidArgument},
      {10, -inf, ErrorCode::InvalidArgument},
      {65536, 10, ErrorCode::LimitExceeded},
      {10, inf, ErrorCode::LimitExceeded},
      {1e300, 1e300, ErrorCode::LimitExceeded},
      {40000, 30000, ErrorCode::LimitExceeded},
      // Limits are the caller's: a small cap refuses what the default allows.
      {200, 200, ErrorCode::LimitExceeded, {100, 1000000}},
      {90, 90, ErrorCode::LimitExceeded, {100, 5000}},
  };
  for (const auto& c : bad) {
    Picture p = copyOf(src);
    EXPECT_EQ(ops::resize(p, c.w, c.h, kSmooth, c.limits).code(), c.code) << c.w << " x " << c.h;
    EXPECT_TRUE(closeColours(p, src, 0));
  }
}

TEST(Rotate,
     TheCanvasJustHoldsThePictureTurnedLikeTheQuarterTurnsAnglesReduceAndFillDecidesTheForm) {
  const Rgb fill{10, 200, 30};
  for (auto [w, h] : {std::pair{120u, 80u}, {1u, 40u}, {60u, 1u}})
    for (int64_t a : {1, 1000, 3333, 4500, 9001, -12345, 17999, 27777, -35999}) {
      SCOPED_TRACE(testing::Message() << w << "x" << h << " at " << a);
      Picture p = solid(w, h, {250, 20, 20});
      ASSERT_TRUE(ops::rotate(p, a, true, fill).ok());
      EXPECT_EQ(ops::rotatedSize(w, h, a), (ops::RotatedSize{p.width(), p.height()}));
      // How much of each pixel is picture: red runs from the fill's 10 to 250.
      const auto part = [&](uint32_t x, uint32_t y) { return (pixelAt(p, x, y).r - 10) / 240.0; };
      double covered = 0, top = 0, bottom = 0, left = 0, right = 0;
      for (uint32_t y = 0; y < p.height(); ++y)
        for (uint32_t x = 0; x < p.width(); ++x) covered += part(x, y);
      for (uint32_t x = 0; x < p.width(); ++x) top += part(x, 0), bottom += part(x, p.height() - 1);
      for (uint32_t y = 0; y < p.height(); ++y) left += part(0, y), right += part(p.width() - 1, y);
      EXPECT_NEAR(covered, double(w) * h, w + h + 2.0);  // within the perimeter's blur
      // Nothing is cut off, and each side of the canvas touches the picture.
      for (double edge : {top, bottom, left, right}) {
        EXPECT_GT(edge, 0.0);
        EXPECT_LT(edge, std::max(p.width(), p.height()) * 0.6);
      }
    }
  EXPECT_EQ(ops::rotatedSize(600, 400, 9000), (ops::RotatedSize{400, 600}));
  EXPECT_EQ(ops::rotatedSize(600, 400, -18000), (ops::RotatedSize{600, 400}));
  EXPECT_EQ(ops::rotatedSize(600, 400, 1), (ops::RotatedSize{601, 401}));
  // A linear ramp, which bilinear sampling reproduces exactly: turned by a
  // hair less than a quarter, the interior matches the exact quarter turn
  // within the half-pixel offset of the larger canvas.
  Picture p = solid(30, 20, {});
  for (uint32_t y = 0; y < 20; ++y)
    for (uint32_t x = 0; x < 30; ++x)
      p.row(y)[3 * x] = uint8_t(x * 8), p.row(y)[3 * x + 1] = uint8_t(y * 8);
  for (int64_t a : {9000, -9000}) {
    Picture exact = copyOf(p), near = copyOf(p);
    ASSERT_TRUE(ops::rotate(exact, a, true, {}).ok());
    ASSERT_TRUE(ops::rotate(near, a > 0 ? a - 1 : a + 1, true, {}).ok());
    ASSERT_EQ(near.width(), exact.width() + 1);
    for (uint32_t y = 2; y + 2 < exact.height(); ++y)
      for (uint32_t x = 2; x + 2 < exact.width(); ++x) {
        const Rgb e = pixelAt(exact, x, y), n = pixelAt(near, x, y),
                  n1 = pixelAt(near, x + 1, y + 1);
        ASSERT_NEAR((n.r + n1.r) / 2.0, e.r, 6) << a << " at " << x << "," << y;
        ASSERT_NEAR((n.g + n1.g) / 2.0, e.g, 6) << a << " at " << x << "," << y;
      }
  }
  // Angles reduce modulo a full turn; the depth and the fill decide the form.
  const Picture src = makePattern(30, 20, 24);
  Picture base = copyOf(src);
  ASSERT_TRUE(ops::rotate(base, 4500, true, {1, 2, 3}).ok());
  for (int64_t turns :
       {int64_t(1), int64_t(-1), int64_t(59652), int64_t(-59652), INT64_MAX / 36000 - 1}) {
    Picture p = copyOf(src);
    ASSERT_TRUE(ops::rotate(p, 4500 + 36000 * turns, true, {1, 2, 3}).ok());
    EXPECT_TRUE(closeColours(p, base, 0)) << turns;
  }
  for (int64_t a : {int64_t(INT32_MIN), INT64_MAX, INT64_MIN}) {
    Picture p = copyOf(src);
    EXPECT_TRUE(ops::rotate(p, a, true, {}).ok()) << a;
  }
  for (const Depth d : kDepths) {
    const Picture pic = makePattern(20, 10, d.bits, d.gray);
    Picture greyFill = copyOf(pic), colourFill = copyOf(pic);
    ASSERT_TRUE(ops::rotate(greyFill, 1000, true, {60, 60, 60}).ok());
    ASSERT_TRUE(ops::rotate(colourFill, 1000, true, {60, 0, 0}).ok());
    EXPECT_EQ(greyFill.bits(), pic.isGray() ? 8 : 24) << d;
    EXPECT_EQ(colourFill.bits(), 24) << d;  // a grey picture cannot hold a red corner
    EXPECT_EQ(pixelAt(colourFill, 0, 0), (Rgb{60, 0, 0}));
  }
  Picture same = makePattern(20, 10, 24);  // without enlarging, the canvas keeps its size
  ASSERT_TRUE(ops::rotate(same, 3000, false, {}).ok());
  EXPECT_EQ((ops::RotatedSize{same.width(), same.height()}), (ops::RotatedSize{20, 10}));
  Picture limited = makePattern(100, 50, 8);
  EXPECT_EQ(ops::rotate(limited, 4500, true, {}, {100, 1000000}).code(), ErrorCode::LimitExceeded);
  EXPECT_EQ(ops::rotate(limited, 9000, true, {}, {60, 1000000}).code(), ErrorCode::LimitExceeded);
  EXPECT_TRUE(closeColours(limited, makePattern(100, 50, 8), 0));
}

cv::Mat noise(int w, int h) {
  cv::Mat m(h, w, CV_8UC3);
  cv::randu(m, 0, 256);
  return m;
}

TEST(AreaShrink, WholeBlocksAreRoundedMeansAndTheRestMatchesAreaAveraging) {
  const cv::Mat src = noise(131, 97);
  for (cv::Size k : {cv::Size(2, 2), cv::Size(3, 3), cv::Size(5, 2), cv::Size(1, 16),
                     cv::Size(17, 17), cv::Size(40, 7)}) {
    SCOPED_TRACE(testing::Message() << k.width << "x" << k.height);
    cv::Mat ours;
    ops::boxShrink(src, k, ours);
    ASSERT_EQ(ours.size(), cv::Size(131 / k.width, 97 / k.height));
    for (int y = 0; y < ours.rows; ++y)
      for (int x = 0; x < ours.cols; ++x) {
        const cv::Rect block(x * k.width, y * k.height,
                             x == ours.cols - 1 ? 131 - x * k.width : k.width,
                             y == ours.rows - 1 ? 97 - y * k.height : k.height);
        const cv::Scalar mean = cv::mean(src(block));
        for (int c = 0; c < 3; ++c)
          ASSERT_NEAR(ours.at<cv::Vec3b>(y, x)[c], mean[c], 0.5 + 1e-9) << x << "," << y;
      }
  }
  // Below two on both axes only the area filter runs.
  const cv::Mat wide = noise(300, 200);
  for (cv::Size size :
       {cv::Size(299, 199), cv::Size(200, 150), cv::Size(151, 101), cv::Size(160, 1)}) {
    cv::Mat ours, theirs;
    ops::areaShrink(wide, size, ours);
    cv::resize(wide, theirs, size, 0, 0, cv::INTER_AREA);
    EXPECT_LE(cv::norm(ours, theirs, cv::NORM_INF), 1) << size.width << "x" << size.height;
  }
  // Blocks then area average over slightly wider footprints: invisible on
  // photographic detail, though not on pure noise.
  const Picture photo = makePhoto(1000, 700);
  const cv::Mat pic(700, 1000, CV_8UC3, const_cast<uint8_t*>(photo.data()));
  for (cv::Size size : {cv::Size(97, 61), cv::Size(333, 233), cv::Size(1, 1), cv::Size(499, 349),
                        cv::Size(7, 700)}) {
    cv::Mat ours, theirs;
    ops::areaShrink(pic, size, ours);
    cv::resize(pic, theirs, size, 0, 0, cv::INTER_AREA);
    ASSERT_EQ(ours.size(), size);
    EXPECT_LE(cv::norm(ours, theirs, cv::NORM_L1) / (size.area() * 3.0), 1.0)
        << size.width << "x" << size.height;
    EXPECT_LE(cv::norm(ours, theirs, cv::NORM_INF), 8) << size.width << "x" << size.height;
  }
}

}  // namespace
}  // namespace zelmar::test
