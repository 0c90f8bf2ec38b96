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
      {"emboss", [](Picture& p) { return ops::applyFilter(p, 5); }},
      {"edges", [](Picture& p) { return ops::applyFilter(p, 16); }},
      {"enhance", [](Picture& p) { return ops::enhanceEdges(p, 100); }},
      {"grey", [](Picture& p) { return ops::toGrayscale(p, 8); }},
      {"halftone", [](Picture& p) { return ops::makeHalftone(p, 1, 0); }},
      {"2 colours", [](Picture& p) { return ops::changeColorDepth(p, 1, 2, 1, 0); }},
      {"16 colours", [](Picture& p) { return ops::changeColorDepth(p, 4, 2, 1, 0); }},
      {"256 colours", [](Picture& p) { return ops::changeColorDepth(p, 8, 2, 1, 0); }},
      {"24 bits", [](Picture& p) { return ops::changeColorDepth(p, 24, 0, 0, 0); }},
      {"resize", [](Picture& p) { return ops::resize(p, 10, 10, 1); }},
      {"rotate", [](Picture& p) { return ops::rotate(p, 3333, true, {}); }},
      {"quarter turn", [](Picture& p) { return ops::rotate(p, 9000, true, {}); }},
      {"saturation", [](Picture& p) {
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
      {"filter 0", [](Picture& p) { return ops::applyFilter(p, 0); }},
      {"grey 4", [](Picture& p) { return ops::toGrayscale(p, 4); }},
      {"halftone kind 2", [](Picture& p) { return ops::makeHalftone(p, 2, 0); }},
      {"halftone angle 45", [](Picture& p) { return ops::makeHalftone(p, 1, 45); }},
      {"depth 16", [](Picture& p) { return ops::changeColorDepth(p, 16, 2, 1, 0); }},
      {"depth 8 fixed palette", [](Picture& p) { return ops::changeColorDepth(p, 8, 0, 1, 0); }},
      {"depth 8 dither 3", [](Picture& p) { return ops::changeColorDepth(p, 8, 2, 3, 0); }},
      {"depth 0", [](Picture& p) { return ops::changeColorDepth(p, 0, 0, 0, 0); }},
      {"depth -1", [](Picture& p) { return ops::changeColorDepth(p, -1, 2, 1, 0); }},
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
