// Each operation flag does what the engine's operation does, in the order
// given; the operations themselves are checked against their oracles in
// tests/engine/ops.
#include <gtest/gtest.h>

#include <functional>

#include "engine/ops/ops.h"
#include "engine/ops/saturation_session.h"
#include "support/pictures.h"
#include "support/temp_dir.h"
#include "tool.h"

namespace zelmar::test {
namespace {

using Op = std::function<Status(Picture&)>;

TEST(ConvertOperations, EachFlagRunsItsOperationInTheOrderGiven) {
  TempDir dir;
  const Picture source = makePattern(24, 16, 24);
  saveBmp(source, dir.file("in.bmp"));
  const auto saturation = [](int a, int b) {
    return [=](Picture& p) {
      ops::SaturationSession s;
      s.reset(copyOf(p));
      Status r = s.adjustSaturation(a);
      if (r.ok()) r = s.adjustSaturation(b);
      p = s.take();
      return r;
    };
  };
  const struct {
    std::vector<std::string> flags;
    std::vector<Op> ops;
  } cases[] = {
      {{"--invert"}, {ops::invertColors}},
      {{"--mirror"}, {ops::mirrorHorizontal}},
      {{"--flip"}, {ops::flipVertical}},
      {{"--rotate", "4500"}, {[](Picture& p) {
         return ops::rotate(p, 4500, true, {0x40, 0x40, 0x40});
       }}},
      {{"--background", "12ab3C", "--rotate", "-4500"}, {[](Picture& p) {
         return ops::rotate(p, -4500, true, {0x12, 0xab, 0x3c});
       }}},
      {{"--rotate", "9000", "--resize", "30x10"},
       {[](Picture& p) { return ops::rotate(p, 9000, true, {}); },
        [](Picture& p) { return ops::resize(p, 30, 10, ops::ResizeMethod::Smooth); }}},
      {{"--gray"}, {ops::toGrayscale}},
      {{"--halftone"},
       {[](Picture& p) { return ops::makeHalftone(p, ops::Halftone::ClusteredDot); }}},
      {{"--depth", "4"},
       {[](Picture& p) { return ops::changeColorDepth(p, 4, ops::Dither::ErrorDiffusion); }}},
      {{"--gray", "--depth", "24"},
       {ops::toGrayscale, [](Picture& p) { return ops::changeColorDepth(p, 24, {}); }}},
      {{"--emboss"}, {[](Picture& p) { return ops::applyFilter(p, ops::Filter::Emboss); }}},
      {{"--edges"}, {[](Picture& p) { return ops::applyFilter(p, ops::Filter::EdgeDetect); }}},
      {{"--enhance"}, {[](Picture& p) { return ops::enhanceEdges(p, 100); }}},
      // A later saturation replaces an earlier one; another operation ends the run.
      {{"--saturation", "-300", "--saturation", "200"}, {saturation(-300, 200)}},
      {{"--saturation", "500", "--mirror", "--saturation", "0"},
       {saturation(500, 500), ops::mirrorHorizontal}},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const auto& f : c.flags) shown += " " + f;
    SCOPED_TRACE(shown);
    std::vector<std::string> args{dir.file("in.bmp")};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    args.push_back(dir.file("out.bmp"));
    const RunResult r = convert(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    Picture expected = copyOf(source);
    for (const Op& op : c.ops) ASSERT_TRUE(op(expected).ok());
    const Picture got = load(dir.file("out.bmp"));
    EXPECT_EQ(got.bits(), expected.bits());  // saved at the depth it has
    EXPECT_TRUE(closeColours(got, expected, 0));
  }
}

}  // namespace
}  // namespace zelmar::test
