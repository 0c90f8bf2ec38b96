// Mirror, flip, invert and quarter turns: exact at every depth, as
// ImageMagick does them, and each undoing itself.
#include <gtest/gtest.h>

#include <functional>

#include "engine/ops/ops.h"
#include "ops_checks.h"
#include "support/oracle.h"

namespace zelmar::test {
namespace {

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
  for (const DepthCase& d : kDepths) {
    const Picture src = makePattern(37, 23, d.bits, d.gray, 11);  // odd: the middle stays put
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << d.name << " " << c.name);
      Picture ours = copyOf(src);
      ASSERT_TRUE(c.op(ours).ok());
      EXPECT_EQ(ours.bits(), d.bits);
      EXPECT_EQ(ours.isGray(), src.isGray());
      EXPECT_TRUE(closeColours(ours, toolApplies(Tool::ImageMagick, src, c.im), 0));
    }
  }
}

TEST(Geometry, EachUndoesItselfAtEveryDepth) {
  for (const DepthCase& d : kDepths) {
    SCOPED_TRACE(d.name);
    const Picture src = makePattern(38, 24, d.bits, d.gray, 5);  // even sizes too
    Picture p = copyOf(src);
    for (auto op : {ops::mirrorHorizontal, ops::mirrorHorizontal, ops::flipVertical,
                    ops::flipVertical, ops::invertColors, ops::invertColors})
      ASSERT_TRUE(op(p).ok());
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(ops::rotate(p, -9000, true, {}).ok());
    EXPECT_TRUE(closeColours(p, src, 0));
    EXPECT_EQ(p.palette(), src.palette());
  }
}

}  // namespace
}  // namespace zelmar::test
