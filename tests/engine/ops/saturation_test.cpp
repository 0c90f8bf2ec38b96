// Saturation against its definition, and the run rules of the session that
// keeps its base (the control and the converter both work through it).
#include <gtest/gtest.h>

#include "engine/ops/ops.h"
#include "engine/ops/saturation_session.h"
#include "ops_checks.h"

namespace zelmar::test {
namespace {

TEST(Saturation, MovesColoursAlongTheirGreyAxisAndZeroGivesTheBase) {
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
  for (const DepthCase& d : kDepths) {
    const Picture base = makePattern(21, 14, d.bits, d.gray);
    Picture out;
    ASSERT_TRUE(ops::adjustSaturation(base, 0, out).ok());
    EXPECT_EQ(out.bits(), base.bits()) << d.name;
    EXPECT_EQ(out.palette(), base.palette());
    EXPECT_TRUE(std::equal(out.data(), out.data() + out.byteSize(), base.data()));
    ASSERT_TRUE(ops::adjustSaturation(base, 300, out).ok());
    EXPECT_EQ(out.bits(), base.isGray() ? base.bits() : 24) << d.name;
  }
}

TEST(SaturationSession, ARunStartsFromItsBaseUntilAnythingElseHappens) {
  const Picture photo = makePhoto(60, 40);
  const auto saturated = [&](const Picture& from, int v) {
    Picture out;
    EXPECT_TRUE(ops::adjustSaturation(from, v, out).ok());
    return out;
  };
  ops::SaturationSession s;
  s.reset(copyOf(photo));
  EXPECT_FALSE(s.hasBase());
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
  EXPECT_FALSE(s.hasBase());
  Picture expect = saturated(photo, 600);
  ASSERT_TRUE(ops::mirrorHorizontal(expect).ok());
  ASSERT_TRUE(s.adjustSaturation(0).ok());
  EXPECT_TRUE(closeColours(s.picture(), expect, 0));
  ASSERT_TRUE(s.adjustSaturation(-500).ok());
  EXPECT_FALSE(s.apply([](Picture& p) { return ops::enhanceEdges(p, 5000); }).ok());
  EXPECT_FALSE(s.hasBase());
  // A new picture starts afresh; none at all refuses.
  ASSERT_TRUE(s.adjustSaturation(300).ok());
  s.reset(makePattern(5, 5, 8, true));
  EXPECT_FALSE(s.hasBase());
  s.reset(Picture());
  EXPECT_EQ(s.adjustSaturation(100).code(), ErrorCode::NoPicture);
}

}  // namespace
}  // namespace zelmar::test
