#include <gtest/gtest.h>

#include "engine/ops/ops.h"
#include "op_helpers.h"

namespace zelmar::test {
namespace {

// Odd sizes, so the middle row and column of a mirror or flip stay put.
constexpr uint32_t kW = 37, kH = 23;

// Where pixel (x, y) of a w × h source lands after `turns` clockwise quarter turns.
std::pair<uint32_t, uint32_t> turned(uint32_t x, uint32_t y, uint32_t w, uint32_t h, int turns) {
  switch (turns) {
    case 1: return {h - 1 - y, x};
    case 2: return {w - 1 - x, h - 1 - y};
    case 3: return {y, w - 1 - x};
    default: return {x, y};
  }
}

TEST(Geometry, MirrorAndFlipMovePixelsExactlyAtEveryDepth) {
  for (const DepthCase& d : kDepths) {
    SCOPED_TRACE(d.name);
    const Picture src = makePattern(kW, kH, d.bits, d.gray);
    Picture m = copyOf(src), f = copyOf(src);
    ASSERT_TRUE(ops::mirrorHorizontal(m).ok());
    ASSERT_TRUE(ops::flipVertical(f).ok());
    EXPECT_EQ(m.bits(), d.bits);
    EXPECT_EQ(f.bits(), d.bits);
    EXPECT_EQ(m.palette(), src.palette());
    for (uint32_t y = 0; y < kH; ++y)
      for (uint32_t x = 0; x < kW; ++x) {
        ASSERT_EQ(pixelAt(m, kW - 1 - x, y), pixelAt(src, x, y)) << x << "," << y;
        ASSERT_EQ(pixelAt(f, x, kH - 1 - y), pixelAt(src, x, y)) << x << "," << y;
      }
  }
}

TEST(Geometry, QuarterTurnsAreExactAndKeepTheDepth) {
  for (const DepthCase& d : kDepths) {
    SCOPED_TRACE(d.name);
    const Picture src = makePattern(kW, kH, d.bits, d.gray);
    for (int turns = 1; turns <= 3; ++turns) {
      SCOPED_TRACE(turns);
      Picture p = copyOf(src);
      // The fill must not matter for a quarter turn, not even its greyness.
      ASSERT_TRUE(ops::rotate(p, 9000 * turns, true, {200, 10, 10}).ok());
      ASSERT_EQ(p.bits(), d.bits);
      ASSERT_EQ(p.width(), turns % 2 ? kH : kW);
      ASSERT_EQ(p.height(), turns % 2 ? kW : kH);
      for (uint32_t y = 0; y < kH; ++y)
        for (uint32_t x = 0; x < kW; ++x) {
          const auto [tx, ty] = turned(x, y, kW, kH, turns);
          ASSERT_EQ(pixelAt(p, tx, ty), pixelAt(src, x, y)) << x << "," << y;
        }
    }
  }
}

TEST(Geometry, IdentitiesHoldAtEveryDepth) {
  for (const DepthCase& d : kDepths) {
    SCOPED_TRACE(d.name);
    const Picture src = makePattern(kW + 1, kH + 1, d.bits, d.gray, 5);  // even sizes too
    Picture p = copyOf(src);
    ASSERT_TRUE(ops::mirrorHorizontal(p).ok());
    ASSERT_TRUE(ops::mirrorHorizontal(p).ok());
    EXPECT_TRUE(sameColors(p, src));
    ASSERT_TRUE(ops::flipVertical(p).ok());
    ASSERT_TRUE(ops::flipVertical(p).ok());
    EXPECT_TRUE(sameColors(p, src));
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(ops::rotate(p, -9000, true, {}).ok());
    EXPECT_TRUE(sameColors(p, src));
    // A half turn is a mirror and a flip.
    Picture half = copyOf(src);
    ASSERT_TRUE(ops::rotate(half, 18000, true, {}).ok());
    ASSERT_TRUE(ops::mirrorHorizontal(p).ok());
    ASSERT_TRUE(ops::flipVertical(p).ok());
    EXPECT_TRUE(sameColors(half, p));
    EXPECT_EQ(half.bits(), d.bits);
  }
}

TEST(Geometry, MatchesImageMagick) {
  if (imConvert().empty()) GTEST_SKIP() << "ImageMagick is not installed";
  struct Case {
    const char* name;
    Status (*op)(Picture&);
    std::vector<std::string> im;
  };
  const std::vector<Case> cases{
      {"mirror", ops::mirrorHorizontal, {"-flop"}},
      {"flip", ops::flipVertical, {"-flip"}},
      {"invert", ops::invertColors, {"-negate"}},
      {"quarter turn", [](Picture& p) { return ops::rotate(p, 9000, true, {}); }, {"-rotate", "90"}},
      {"three quarters", [](Picture& p) { return ops::rotate(p, -9000, true, {}); }, {"-rotate", "270"}},
  };
  for (const DepthCase& d : kDepths) {
    SCOPED_TRACE(d.name);
    const Picture src = makePattern(kW, kH, d.bits, d.gray, 11);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      Picture ours = copyOf(src), theirs;
      ASSERT_TRUE(c.op(ours).ok());
      ASSERT_TRUE(imageMagick(src, c.im, theirs));
      EXPECT_TRUE(sameColors(ours, theirs));
    }
  }
}

}  // namespace
}  // namespace zelmar::test
