// Every operation without a picture, on the smallest pictures, and with
// arguments it refuses.
#include <gtest/gtest.h>

#include <functional>

#include "engine/ops/ops.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

using Op = std::function<Status(Picture&)>;

const std::vector<std::pair<const char*, Op>>& everyOperation() {
  static const std::vector<std::pair<const char*, Op>> all = {
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
      {"16 colours", [](Picture& p) { return ops::changeColorDepth(p, 4, ops::Dither::Nearest); }},
      {"256 colours",
       [](Picture& p) { return ops::changeColorDepth(p, 8, ops::Dither::ErrorDiffusion); }},
      {"24 bits", [](Picture& p) { return ops::changeColorDepth(p, 24, ops::Dither::Nearest); }},
      {"shrink", [](Picture& p) { return ops::resize(p, 1, 1, ops::ResizeMethod::Smooth); }},
      {"resize", [](Picture& p) { return ops::resize(p, 10, 10, ops::ResizeMethod::Smooth); }},
      {"rotate", [](Picture& p) { return ops::rotate(p, 3333, true, {}); }},
      {"quarter turn", [](Picture& p) { return ops::rotate(p, 9000, true, {}); }},
      {"saturation",
       [](Picture& p) {
         Picture out;
         const Status s = ops::adjustSaturation(p, 100, out);
         if (s.ok()) p = std::move(out);
         return s;
       }},
  };
  return all;
}

TEST(BadInput, NoPictureFailsTheSmallestPicturesWorkAndRefusedArgumentsChangeNothing) {
  for (const auto& [name, op] : everyOperation()) {
    Picture none;
    EXPECT_EQ(op(none).code(), ErrorCode::NoPicture) << name;
    EXPECT_TRUE(none.empty());
    for (auto [w, h] : {std::pair{1u, 1u}, {1u, 3u}, {3u, 1u}, {2u, 2u}})
      for (const Depth d : kDepths) {
        Picture p = makePattern(w, h, d.bits, d.gray);
        ASSERT_TRUE(op(p).ok()) << name << " " << d << " " << w << "x" << h;
        EXPECT_FALSE(p.empty());
      }
  }
  const std::vector<std::pair<const char*, Op>> refused{
      {"depth 16",
       [](Picture& p) { return ops::changeColorDepth(p, 16, ops::Dither::ErrorDiffusion); }},
      {"depth 0", [](Picture& p) { return ops::changeColorDepth(p, 0, ops::Dither::Nearest); }},
      {"depth -1",
       [](Picture& p) { return ops::changeColorDepth(p, -1, ops::Dither::ErrorDiffusion); }},
      {"enhance -1", [](Picture& p) { return ops::enhanceEdges(p, -1); }},
      {"enhance 1001", [](Picture& p) { return ops::enhanceEdges(p, 1001); }},
      {"saturation 991",
       [](Picture& p) {
         Picture out;
         return ops::adjustSaturation(p, 991, out);
       }},
  };
  for (const Depth d : kDepths) {
    const Picture src = makePattern(9, 7, d.bits, d.gray);
    for (const auto& [name, op] : refused) {
      Picture p = copyOf(src);
      EXPECT_EQ(op(p).code(), ErrorCode::InvalidArgument) << name << " " << d;
      EXPECT_EQ(p.bits(), src.bits());
      EXPECT_EQ(p.palette(), src.palette());
      EXPECT_TRUE(closeColours(p, src, 0));
    }
  }
}

}  // namespace
}  // namespace zelmar::test
