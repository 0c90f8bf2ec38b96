// Each operation flag, checked against pixels worked out here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/pictures.h"
#include "support/temp_dir.h"
#include "tool.h"

namespace zelmar::test {
namespace {

class ConvertOperations : public ::testing::Test {
 protected:
  void SetUp() override { saveBmp(source_, in_); }

  // The picture after running the tool with these operations.
  Picture apply(const std::vector<std::string>& operations) {
    std::vector<std::string> args{in_};
    args.insert(args.end(), operations.begin(), operations.end());
    args.push_back(out_);
    const RunResult r = convert(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    return load(out_);
  }

  static constexpr uint32_t kW = 24, kH = 16;
  TempDir dir_;
  const std::string in_ = dir_.file("in.bmp"), out_ = dir_.file("out.bmp");
  const Picture source_ = makePattern(kW, kH, 24);
};

TEST_F(ConvertOperations, GeometryMovesEveryPixel) {
  const Picture mirrored = apply({"--mirror"});
  const Picture flipped = apply({"--flip"});
  const Picture turned = apply({"--rotate", "9000"});
  ASSERT_EQ(turned.width(), kH);
  ASSERT_EQ(turned.height(), kW);
  for (uint32_t y = 0; y < kH; ++y)
    for (uint32_t x = 0; x < kW; ++x) {
      EXPECT_EQ(pixelAt(mirrored, kW - 1 - x, y), pixelAt(source_, x, y));
      EXPECT_EQ(pixelAt(flipped, x, kH - 1 - y), pixelAt(source_, x, y));
      // Clockwise: the left column becomes the top row.
      EXPECT_EQ(pixelAt(turned, kH - 1 - y, x), pixelAt(source_, x, y));
    }
}

TEST_F(ConvertOperations, RotationCornersTakeTheBackground) {
  for (const auto& [args, corner] :
       std::vector<std::pair<std::vector<std::string>, Rgb>>{
           {{"--rotate", "4500"}, {0x40, 0x40, 0x40}},
           {{"--background", "12ab3C", "--rotate", "-4500"}, {0x12, 0xab, 0x3c}},
           {{"--rotate", "4500", "--background", "FF0000"}, {0xff, 0, 0}}}) {
    SCOPED_TRACE(args.back());
    const Picture p = apply(args);
    // A 24 × 16 picture turned by 45° needs about (24 + 16) / √2 on each side.
    EXPECT_NEAR(p.width(), 40 / std::sqrt(2.0), 2);
    EXPECT_EQ(pixelAt(p, 0, 0), corner);
    EXPECT_EQ(pixelAt(p, p.width() - 1, p.height() - 1), corner);
  }
}

TEST_F(ConvertOperations, OperationsRunInTheOrderGiven) {
  const Picture a = apply({"--rotate", "9000", "--resize", "30x10"});
  EXPECT_EQ(a.width(), 30u);
  EXPECT_EQ(a.height(), 10u);
  const Picture b = apply({"--resize", "30x10", "--rotate", "9000"});
  EXPECT_EQ(b.width(), 10u);
  EXPECT_EQ(b.height(), 30u);
  // Two inversions give the picture back exactly.
  EXPECT_TRUE(sameColors(apply({"--invert", "--invert"}), source_));
}

TEST_F(ConvertOperations, ColourOperations) {
  const Picture inverted = apply({"--invert"});
  const Picture gray = apply({"--gray"});
  ASSERT_EQ(gray.bits(), 8);
  EXPECT_TRUE(gray.isGray());
  for (uint32_t y = 0; y < kH; ++y)
    for (uint32_t x = 0; x < kW; ++x) {
      const Rgb s = pixelAt(source_, x, y), i = pixelAt(inverted, x, y);
      EXPECT_EQ(i, (Rgb{uint8_t(255 - s.r), uint8_t(255 - s.g), uint8_t(255 - s.b)}));
      const double luma = 0.299 * s.r + 0.587 * s.g + 0.114 * s.b;
      EXPECT_NEAR(pixelAt(gray, x, y).r, luma, 1.0);
    }
}

TEST_F(ConvertOperations, DepthsAndHalftone) {
  for (const auto& [args, bits] : std::vector<std::pair<std::vector<std::string>, int>>{
           {{"--depth", "1"}, 1},
           {{"--depth", "4"}, 4},
           {{"--depth", "8"}, 8},
           {{"--halftone"}, 1},
           {{"--gray", "--depth", "24"}, 24}}) {
    SCOPED_TRACE(args.front() + " " + args.back());
    EXPECT_EQ(apply(args).bits(), bits);
    EXPECT_EQ(infoOf(out_).at("BitsPerPixel"), std::to_string(bits)) << "saved at that depth";
  }
  // Expanding to 24 bits is exact.
  EXPECT_TRUE(sameColors(apply({"--gray", "--depth", "24"}), apply({"--gray"})));
}

TEST_F(ConvertOperations, FiltersKeepTheSizeAndChangeThePixels) {
  for (const std::string flag : {"--emboss", "--edges", "--enhance"}) {
    SCOPED_TRACE(flag);
    const Picture p = apply({flag});
    ASSERT_EQ(p.width(), kW);
    ASSERT_EQ(p.height(), kH);
    EXPECT_GT(maxChannelDiff(p, source_), 0);
  }
}

TEST_F(ConvertOperations, SaturationWorksFromThePictureBeforeTheRun) {
  const Picture dull = apply({"--saturation", "-990"});
  for (uint32_t y = 0; y < kH; ++y)
    for (uint32_t x = 0; x < kW; ++x) {
      const Rgb c = pixelAt(dull, x, y);
      EXPECT_LE(std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}), 4);
    }
  // A later value replaces an earlier one, so 0 gives the picture back...
  EXPECT_TRUE(sameColors(apply({"--saturation", "500", "--saturation", "0"}), source_));
  EXPECT_TRUE(sameColors(apply({"--saturation", "-300", "--saturation", "200"}),
                         apply({"--saturation", "200"})));
  // ...but any other operation ends the run and becomes the new base.
  const Picture mirroredVivid = apply({"--saturation", "500", "--mirror"});
  EXPECT_TRUE(sameColors(apply({"--saturation", "500", "--mirror", "--saturation", "0"}),
                         mirroredVivid));
}

}  // namespace
}  // namespace zelmar::test
