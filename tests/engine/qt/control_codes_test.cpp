// Each numeric argument code the viewer passes runs the core operation it
// names (the operations are checked against their oracles in tests/engine/ops).
#include <functional>

#include "control_fixture.h"
#include "engine/ops/ops.h"

namespace zelmar::test {
namespace {

TEST_F(ControlTest, EachArgumentCodeRunsTheOperationItNames) {
  using Op = std::function<Status(Picture&)>;
  const struct {
    const char* name;
    std::function<int(ImageEngine&)> call;
    Op op;
  } cases[] = {
      {"emboss", [](ImageEngine& e) { return e.ApplyFilter(5); },
       [](Picture& p) { return ops::applyFilter(p, ops::Filter::Emboss); }},
      {"edges", [](ImageEngine& e) { return e.ApplyFilter(16); },
       [](Picture& p) { return ops::applyFilter(p, ops::Filter::EdgeDetect); }},
      {"grey", [](ImageEngine& e) { return e.ToGrayscale(8); }, ops::toGrayscale},
      {"halftone", [](ImageEngine& e) { return e.MakeHalftone(1, 0); },
       [](Picture& p) { return ops::makeHalftone(p, ops::Halftone::ClusteredDot); }},
      {"16 colours diffused", [](ImageEngine& e) { return e.ChangeColorDepth(4, 2, 1, 0); },
       [](Picture& p) { return ops::changeColorDepth(p, 4, ops::Dither::ErrorDiffusion); }},
      {"256 colours nearest", [](ImageEngine& e) { return e.ChangeColorDepth(8, 2, 0, 0); },
       [](Picture& p) { return ops::changeColorDepth(p, 8, ops::Dither::Nearest); }},
      {"2 colours", [](ImageEngine& e) { return e.ChangeColorDepth(1, 2, 1, 0); },
       [](Picture& p) { return ops::changeColorDepth(p, 1, ops::Dither::ErrorDiffusion); }},
      {"resample", [](ImageEngine& e) { return e.ResizeImage(10, 7, 1); },
       [](Picture& p) { return ops::resize(p, 10, 7, ops::ResizeMethod::Smooth); }},
  };
  const Picture photo = makePhoto(24, 16);
  for (const auto& c : cases) {
    control->adoptPicture(copyOf(photo));
    ASSERT_EQ(c.call(*control), 0) << c.name;
    Picture expected = copyOf(photo);
    ASSERT_TRUE(c.op(expected).ok());
    EXPECT_EQ(control->BitsPerPixel(), expected.bits()) << c.name;
    EXPECT_TRUE(closeColours(control->picture(), expected, 0)) << c.name;
  }
  // Expanding back to full colour ignores the other arguments.
  ASSERT_EQ(control->ChangeColorDepth(24, 0, 0, 0), 0);
  EXPECT_EQ(control->BitsPerPixel(), 24);
}

}  // namespace
}  // namespace zelmar::test
