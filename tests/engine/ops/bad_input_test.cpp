#include <gtest/gtest.h>

#include <functional>

#include "engine/ops/ops.h"
#include "op_helpers.h"

namespace zelmar::test {
namespace {

using Op = std::function<Status(Picture&)>;

std::vector<std::pair<const char*, Op>> everyOperation() {
  return {
      {"flip", ops::flipVertical},
      {"mirror", ops::mirrorHorizontal},
      {"invert", ops::invertColors},
      {"emboss", [](Picture& p) { return ops::applyFilter(p, ops::Filter::Emboss); }},
      {"edges", [](Picture& p) { return ops::applyFilter(p, ops::Filter::EdgeDetect); }},
      {"enhance", [](Picture& p) { return ops::enhanceEdges(p, 100); }},
      {"grey", [](Picture& p) { return ops::toGrayscale(p); }},
      {"halftone", [](Picture& p) { return ops::makeHalftone(p, ops::Halftone::ClusteredDot); }},
      {"2 colours",
       [](Picture& p) { return ops::changeColorDepth(p, 1, ops::Dither::ErrorDiffusion); }},
      {"16 colours",
       [](Picture& p) { return ops::changeColorDepth(p, 4, ops::Dither::ErrorDiffusion); }},
      {"256 colours",
       [](Picture& p) { return ops::changeColorDepth(p, 8, ops::Dither::ErrorDiffusion); }},
      {"24 bits", [](Picture& p) { return ops::changeColorDepth(p, 24, ops::Dither::Nearest); }},
      {"resize", [](Picture& p) { return ops::resize(p, 10, 10, ops::ResizeMethod::Smooth); }},
      {"rotate", [](Picture& p) { return ops::rotate(p, 3333, true, {}); }},
      {"quarter turn", [](Picture& p) { return ops::rotate(p, 9000, true, {}); }},
      {"saturation",
       [](Picture& p) {
         Picture out;
         Status s = ops::adjustSaturation(p, 100, out);
         if (s.ok()) p = std::move(out);
         return s;
       }},
  };
}

TEST(BadInput, EveryOperationWithoutAPictureFailsCleanly) {
  for (const auto& [name, op] : everyOperation()) {
    SCOPED_TRACE(name);
    Picture p;
    EXPECT_EQ(op(p).code(), ErrorCode::NoPicture);
    EXPECT_TRUE(p.empty());
  }
}

TEST(BadInput, EveryOperationHandlesTheSmallestPictures) {
  for (auto [w, h] : {std::pair{1u, 1u}, {1u, 3u}, {3u, 1u}, {2u, 2u}}) {
    for (const DepthCase& d : kDepths) {
      for (const auto& [name, op] : everyOperation()) {
        SCOPED_TRACE(std::string(name) + " " + d.name + " " + std::to_string(w) + "x" +
                     std::to_string(h));
        Picture p = makePattern(w, h, d.bits, d.gray);
        ASSERT_TRUE(op(p).ok());
        EXPECT_FALSE(p.empty());
      }
    }
  }
}

TEST(BadInput, RefusedArgumentsLeaveThePictureAsItWas) {
  const std::vector<std::pair<const char*, Op>> refused{
      {"depth 16",
       [](Picture& p) { return ops::changeColorDepth(p, 16, ops::Dither::ErrorDiffusion); }},
      {"depth 0", [](Picture& p) { return ops::changeColorDepth(p, 0, ops::Dither::Nearest); }},
      {"depth -1",
       [](Picture& p) { return ops::changeColorDepth(p, -1, ops::Dither::ErrorDiffusion); }},
  };
  for (const DepthCase& d : kDepths) {
    const Picture src = makePattern(9, 7, d.bits, d.gray);
    for (const auto& [name, op] : refused) {
      SCOPED_TRACE(std::string(name) + " " + d.name);
      Picture p = copyOf(src);
      EXPECT_EQ(op(p).code(), ErrorCode::InvalidArgument);
      EXPECT_EQ(p.bits(), src.bits());
      EXPECT_EQ(p.palette(), src.palette());
      EXPECT_TRUE(sameColors(p, src));
    }
  }
}

}  // namespace
}  // namespace zelmar::test
