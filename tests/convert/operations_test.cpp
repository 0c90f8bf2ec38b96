// Each operation flag runs the engine's operation in the order given (the
// operations are checked against their oracles in tests/engine/ops), and
// --info on a file another program wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "engine/ops/ops.h"
#include "engine/ops/saturation_session.h"
#include "support/oracle.h"
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

TEST(ConvertInfo, PrintsTheTwelveFactsInOrder) {
  REQUIRE_TOOL(Tool::ImageMagick);
  // Two pages another program wrote, of which the first is loaded. The facts
  // of each format are checked with its codec; here, how the tool prints them.
  TempDir dir;
  const Picture rgb = makePattern(40, 30, 24), gray = makePattern(64, 48, 8, true);
  const ByteVec file = toolWrites(Tool::ImageMagick, {&rgb, &gray}, {"-compress", "LZW"}, "a.tif");
  writeText(dir.file("two.tif"), std::string(file.begin(), file.end()));
  const RunResult r = convert({"--info", dir.file("two.tif")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.err.empty()) << r.err;
  EXPECT_EQ(r.out,
            "BitsPerPixel: 24\nImageWidth: 40\nImageHeight: 30\nIsGray: 0\nFileFormat: 3\n"
            "OriginBits: 24\nOriginWidth: 40\nOriginHeight: 30\nFileSize: " +
                std::to_string(file.size()) + "\nMemSize: 3600\nCompression: LZW\nPageCount: 2\n");
}

}  // namespace
}  // namespace zelmar::test
