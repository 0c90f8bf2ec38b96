#include <gtest/gtest.h>

#include "engine/ops/ops.h"
#include "engine/ops/saturation_session.h"
#include "op_helpers.h"

namespace zelmar::test {
namespace {

TEST(Saturation, MovesColoursAlongTheirGreyAxis) {
  Picture p;
  ASSERT_TRUE(Picture::create(2, 1, 24, p).ok());
  const uint8_t px[] = {200, 100, 50, 90, 90, 90};
  std::copy(std::begin(px), std::end(px), p.data());
  // Luma of (200, 100, 50) is 124.2; +50 % moves each channel 1.5 times as far
  // from it, -100 % (nearly: -99 %) to it.
  Picture out;
  ASSERT_TRUE(ops::adjustSaturation(p, 500, out).ok());
  EXPECT_NEAR(pixelAt(out, 0, 0).r, 124.2 + 1.5 * (200 - 124.2), 1);
  EXPECT_NEAR(pixelAt(out, 0, 0).g, 124.2 + 1.5 * (100 - 124.2), 1);
  EXPECT_NEAR(pixelAt(out, 0, 0).b, 124.2 + 1.5 * (50 - 124.2), 1);
  EXPECT_EQ(pixelAt(out, 1, 0), (Rgb{90, 90, 90}));  // grey has nothing to change
  ASSERT_TRUE(ops::adjustSaturation(p, -990, out).ok());
  EXPECT_NEAR(pixelAt(out, 0, 0).r, 124.2 + 0.01 * (200 - 124.2), 1);
  EXPECT_NEAR(pixelAt(out, 0, 0).b, 124.2 + 0.01 * (50 - 124.2), 1);
  // Strong saturation clips instead of wrapping.
  ASSERT_TRUE(ops::adjustSaturation(p, 990, out).ok());
  EXPECT_EQ(pixelAt(out, 0, 0).r, 255);
  EXPECT_EQ(pixelAt(out, 0, 0).b, 0);
}

TEST(Saturation, ZeroGivesTheBaseExactlyAtEveryDepth) {
  for (const DepthCase& d : kDepths) {
    SCOPED_TRACE(d.name);
    const Picture base = makePattern(21, 14, d.bits, d.gray);
    Picture out;
    ASSERT_TRUE(ops::adjustSaturation(base, 0, out).ok());
    EXPECT_EQ(out.bits(), base.bits());
    EXPECT_EQ(out.palette(), base.palette());
    EXPECT_TRUE(std::equal(out.data(), out.data() + out.byteSize(), base.data()));
    ASSERT_TRUE(ops::adjustSaturation(base, 300, out).ok());
    EXPECT_EQ(out.bits(), base.isGray() ? base.bits() : 24);
    EXPECT_EQ(ops::adjustSaturation(base, 991, out).code(), ErrorCode::InvalidArgument);
    EXPECT_EQ(ops::adjustSaturation(base, -991, out).code(), ErrorCode::InvalidArgument);
  }
}

TEST(SaturationSession, ARunAlwaysStartsFromItsBase) {
  const Picture photo = makePhoto(60, 40);
  ops::SaturationSession s;
  s.reset(copyOf(photo));
  EXPECT_FALSE(s.hasBase());
  // Any run of values: each result is the base changed once by that value.
  for (int v : {500, -300, 990, -990, 10, 500}) {
    SCOPED_TRACE(v);
    ASSERT_TRUE(s.adjustSaturation(v).ok());
    EXPECT_TRUE(s.hasBase());
    Picture direct;
    ASSERT_TRUE(ops::adjustSaturation(photo, v, direct).ok());
    EXPECT_TRUE(sameColors(s.picture(), direct));
  }
  // A refused value leaves the picture and the run alone.
  Picture before = copyOf(s.picture());
  EXPECT_EQ(s.adjustSaturation(1000).code(), ErrorCode::InvalidArgument);
  EXPECT_TRUE(sameColors(s.picture(), before));
  ASSERT_TRUE(s.adjustSaturation(0).ok());
  EXPECT_TRUE(sameColors(s.picture(), photo));
}

TEST(SaturationSession, AnyOtherOperationOrPictureEndsTheRun) {
  const Picture photo = makePhoto(60, 40);
  ops::SaturationSession s;
  s.reset(copyOf(photo));
  ASSERT_TRUE(s.adjustSaturation(600).ok());
  ASSERT_TRUE(s.apply([](Picture& p) { return ops::mirrorHorizontal(p); }).ok());
  EXPECT_FALSE(s.hasBase());
  // 0 now gives the mirrored, saturated picture, not the original.
  ASSERT_TRUE(s.adjustSaturation(0).ok());
  Picture expect;
  ASSERT_TRUE(ops::adjustSaturation(photo, 600, expect).ok());
  ASSERT_TRUE(ops::mirrorHorizontal(expect).ok());
  EXPECT_TRUE(sameColors(s.picture(), expect));
  // A failed operation ends the run too.
  ASSERT_TRUE(s.adjustSaturation(-500).ok());
  EXPECT_FALSE(s.apply([](Picture& p) { return ops::enhanceEdges(p, 5000); }).ok());
  EXPECT_FALSE(s.hasBase());
  // A new picture starts afresh.
  ASSERT_TRUE(s.adjustSaturation(300).ok());
  s.reset(makePattern(5, 5, 8, true));
  EXPECT_FALSE(s.hasBase());
  ASSERT_TRUE(s.adjustSaturation(0).ok());
  EXPECT_EQ(s.picture().bits(), 8);
  // No picture at all.
  s.reset(Picture());
  EXPECT_EQ(s.adjustSaturation(100).code(), ErrorCode::NoPicture);
  EXPECT_FALSE(s.hasBase());
}

}  // namespace
}  // namespace zelmar::test
