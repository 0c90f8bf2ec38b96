#include "engine/codecs/pcx.h"

#include <gtest/gtest.h>

#include "engine/io/formats.h"
#include "support/bmp_pcx_files.h"
#include "support/pictures.h"
#include "support/process.h"

namespace zelmar {
namespace {

using test::LeBytes;

Bytes view(const std::vector<uint8_t>& v) { return {v.data(), v.size()}; }

std::vector<uint8_t> encoded(const Picture& p) {
  OutputBuffer out;
  EXPECT_TRUE(pcx::encode(p, {}, out).ok());
  return {out.data(), out.data() + out.size()};
}

Decoded mustDecode(const std::vector<uint8_t>& file) {
  Decoded d;
  const Status s = pcx::decode(view(file), {}, d);
  EXPECT_TRUE(s.ok()) << s.message();
  return d;
}

std::vector<uint8_t> indexes(const Picture& p) { return {p.data(), p.data() + p.byteSize()}; }

// A header built field by field; the pixel stream follows as given.
std::vector<uint8_t> pcxFile(uint16_t width, uint16_t height, uint8_t bits, uint8_t planes,
                             uint16_t bytesPerLine, const std::vector<uint8_t>& stream,
                             const Palette& headerPalette = {}, uint8_t encoding = 1) {
  LeBytes f;
  f.bytes({0x0a, 5, encoding, bits}).u16(0).u16(0).u16(uint16_t(width - 1)).u16(uint16_t(height - 1));
  f.u16(72).u16(72);
  for (size_t i = 0; i < 16; ++i) {
    const Rgb c = i < headerPalette.size() ? headerPalette[i] : Rgb{};
    f.bytes({c.r, c.g, c.b});
  }
  f.u8(0).u8(planes).u16(bytesPerLine).u16(1).fill(58);
  f.b.insert(f.b.end(), stream.begin(), stream.end());
  return f.b;
}

TEST(Pcx, EveryDepthRoundTripsWithItsFacts) {
  for (int bits : {1, 4, 8, 24})
    for (uint32_t width : {1u, 7u, 33u}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, width " << width);
      const Picture src = test::makePattern(width, 5, bits);
      Decoded d;
      ASSERT_TRUE(decodeAny(view(encoded(src)), "", {}, d).ok());
      EXPECT_EQ(d.picture.bits(), bits);
      EXPECT_TRUE(test::sameColors(src, d.picture));
      EXPECT_FALSE(d.truncated);
      EXPECT_EQ(d.facts.fileFormat, 1);
      EXPECT_EQ(d.facts.originBits, bits);
      EXPECT_EQ(d.facts.originWidth, width);
      EXPECT_EQ(d.facts.originHeight, 5u);
      EXPECT_EQ(d.facts.compression, "RLE");
      EXPECT_EQ(d.facts.pageCount, 1);
    }
}

TEST(Pcx, FlatAreasCompress) {
  Picture flat;
  ASSERT_TRUE(Picture::create(640, 480, 24, flat).ok());
  std::fill(flat.data(), flat.data() + flat.byteSize(), 0xd0);  // a value that needs a count byte
  const auto file = encoded(flat);
  // 640 bytes a plane line: ten full runs and one of 10, two bytes each.
  EXPECT_EQ(file.size(), 128u + 480 * 3 * 11 * 2);
  EXPECT_TRUE(test::sameColors(mustDecode(file).picture, flat));
}

TEST(Pcx, OurFilesReadRightByOtherPrograms) {
  if (test::imConvert().empty() || test::gm().empty()) GTEST_SKIP() << "oracles missing";
  const std::vector<std::string> im{test::imConvert()}, gm{test::gm(), "convert"};
  for (int bits : {1, 4, 8, 24}) {
    SCOPED_TRACE(bits);
    // Other programs show 1-bit files in black and white whatever the
    // header palette says, and ImageMagick swaps the two.
    const Picture src = test::makePattern(33, 6, bits, bits == 1);
    const auto file = encoded(src);
    using Tools = std::vector<std::vector<std::string>>;
    for (const auto& tool : bits == 1 ? Tools{gm} : Tools{im, gm}) {
      SCOPED_TRACE(tool[0]);
      Picture theirs;
      ASSERT_TRUE(test::readBy(tool, file, ".pcx", theirs));
      EXPECT_EQ(test::maxChannelDiff(src, theirs), 0);
    }
  }
}

TEST(Pcx, FilesOfOtherProgramsReadRight) {
  if (test::imConvert().empty() || test::gm().empty()) GTEST_SKIP() << "oracles missing";
  struct Case {
    std::vector<std::string> tool;
    int bits;  // of the source picture
    std::vector<std::string> args;
    int originBits;
  };
  const std::vector<std::string> im{test::imConvert()}, gm{test::gm(), "convert"};
  const Case cases[] = {
      {im, 24, {}, 24},                    // three planes, odd bytes per line
      {im, 8, {"-type", "Palette"}, 8},
      {gm, 24, {}, 24},
      {gm, 8, {"-type", "Palette"}, 8},
      {gm, 1, {"-type", "Bilevel"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.tool[0] << " " << c.originBits << " bits");
    const Picture src = test::makePattern(33, 7, c.bits, c.bits == 1);
    const auto file = test::madeBy(c.tool, src, c.args, "a.pcx");
    ASSERT_FALSE(file.empty());
    Picture theirs;
    ASSERT_TRUE(test::readBy(c.tool, file, ".pcx", theirs));
    const Decoded d = mustDecode(file);
    EXPECT_EQ(d.facts.originBits, c.originBits);
    EXPECT_EQ(d.picture.bits(), c.originBits);
    EXPECT_EQ(test::maxChannelDiff(d.picture, theirs), 0);
  }
}

TEST(Pcx, RunsMayCrossTheEndOfAScanLine) {
  // 3 × 2, 8 bits, 3 bytes a line (odd): one run of 5 spans both lines.
  const auto file = pcxFile(3, 2, 8, 1, 3, {0xc5, 9, 0xc1, 0xc7});
  const Decoded d = mustDecode(file);
  EXPECT_EQ(indexes(d.picture), (std::vector<uint8_t>{9, 9, 9, 9, 9, 0xc7}));
  // No palette at the end: grey.
  EXPECT_TRUE(d.picture.isGray());
  EXPECT_FALSE(d.truncated);

  // Three planes: a run crosses from the red plane into the green one.
  const Decoded rgb = mustDecode(pcxFile(2, 1, 8, 3, 2, {0xc3, 10, 20, 30, 40}));
  EXPECT_EQ(test::pixelAt(rgb.picture, 0, 0), (Rgb{10, 10, 30}));
  EXPECT_EQ(test::pixelAt(rgb.picture, 1, 0), (Rgb{10, 20, 40}));
}

TEST(Pcx, PlaneLayouts) {
  const Palette sixteen = test::makePattern(1, 1, 4).palette();
  // Four planes of 1 bit: index bit p comes from plane p.
  // Pixels 0..3: 0b0001, 0b0010, 0b0100, 0b1111.
  const Decoded planar = mustDecode(
      pcxFile(4, 1, 1, 4, 2, {0x90, 0, 0x50, 0, 0x30, 0, 0x10, 0}, sixteen));
  ASSERT_EQ(planar.picture.bits(), 4);
  EXPECT_EQ(indexes(planar.picture), (std::vector<uint8_t>{1, 2, 4, 15}));
  EXPECT_EQ(planar.picture.palette(), sixteen);
  EXPECT_EQ(planar.facts.originBits, 4);

  // One plane of 4 bits, stored without compression.
  const Decoded packed = mustDecode(pcxFile(3, 1, 4, 1, 2, {0x5a, 0x30}, sixteen, 0));
  EXPECT_EQ(indexes(packed.picture), (std::vector<uint8_t>{5, 10, 3}));
  EXPECT_EQ(packed.facts.compression, "None");

  // A fourth plane of 8 bits (alpha) is dropped.
  const Decoded rgba = mustDecode(pcxFile(1, 1, 8, 4, 2, {1, 0, 2, 0, 3, 0, 4, 0}));
  EXPECT_EQ(test::pixelAt(rgba.picture, 0, 0), (Rgb{1, 2, 3}));
  EXPECT_EQ(rgba.facts.originBits, 32);

  // 1 bit with an empty header palette is black and white.
  const Decoded mono = mustDecode(pcxFile(8, 1, 1, 1, 2, {0xa5, 0}));
  EXPECT_EQ(test::pixelAt(mono.picture, 0, 0), (Rgb{255, 255, 255}));
  EXPECT_EQ(test::pixelAt(mono.picture, 1, 0), (Rgb{0, 0, 0}));
}

TEST(Pcx, CutShortFilesLoadWhatIsThereOrFail) {
  const Picture rgb = test::makePattern(7, 4, 24);
  const auto file = encoded(rgb);
  // Every channel of every pixel is either decoded right or black: planes
  // and rows past the cut stay zero.
  for (size_t n = 129; n < file.size(); ++n) {
    SCOPED_TRACE(n);
    Decoded d;
    ASSERT_TRUE(pcx::decode({file.data(), n}, {}, d).ok());
    EXPECT_TRUE(d.truncated);
    for (size_t i = 0; i < rgb.byteSize(); ++i) {
      const uint8_t got = d.picture.data()[i];
      ASSERT_TRUE(got == 0 || got == rgb.data()[i]) << i;
    }
  }

  const std::vector<std::vector<uint8_t>> files{file, encoded(test::makePattern(9, 3, 8)),
                                                encoded(test::makePattern(9, 3, 4)),
                                                encoded(test::makePattern(9, 3, 1))};
  for (const auto& whole : files)
    for (size_t n = 0; n < whole.size(); ++n) {
      SCOPED_TRACE(n);
      Decoded out;
      const Status s = pcx::decode({whole.data(), n}, {}, out);
      if (!s.ok()) {
        EXPECT_TRUE(s.code() == ErrorCode::BadHeader || s.code() == ErrorCode::Truncated)
            << s.message();
      }
    }
  // A count byte as the last byte of the data.
  const Decoded lone = mustDecode(pcxFile(4, 1, 8, 1, 4, {7, 0xc9}));
  EXPECT_TRUE(lone.truncated);
  EXPECT_EQ(indexes(lone.picture), (std::vector<uint8_t>{7, 0, 0, 0}));
}

TEST(Pcx, BrokenHeadersFailWithTheirReason) {
  auto code = [](const std::vector<uint8_t>& f) {
    Decoded d;
    return pcx::decode(view(f), {}, d).code();
  };
  const std::vector<uint8_t> px(16, 0);
  EXPECT_EQ(code({}), ErrorCode::BadHeader);
  auto shortHeader = pcxFile(4, 4, 8, 1, 4, px);
  shortHeader.resize(100);
  EXPECT_EQ(code(shortHeader), ErrorCode::BadHeader);
  EXPECT_EQ(code(pcxFile(4, 4, 8, 1, 3, px)), ErrorCode::BadHeader);  // line shorter than width
  EXPECT_EQ(code(pcxFile(4, 4, 8, 2, 4, px)), ErrorCode::Unsupported);
  EXPECT_EQ(code(pcxFile(4, 4, 8, 1, 4, {})), ErrorCode::Truncated);
  auto inverted = pcxFile(4, 4, 8, 1, 4, px);
  inverted[4] = 9;  // xmin past xmax
  EXPECT_EQ(code(inverted), ErrorCode::BadDimensions);
  // Sizes declared in a tiny file whose pixels would need gigabytes are
  // refused before allocating.
  EXPECT_EQ(code(pcxFile(0, 0, 1, 1, 8192, px)), ErrorCode::LimitExceeded);  // 65536 wide
  EXPECT_EQ(code(pcxFile(40000, 30000, 8, 3, 40000, px)), ErrorCode::LimitExceeded);
  Limits small;
  small.maxPixels = 15;
  Decoded d;
  EXPECT_EQ(pcx::decode(view(pcxFile(4, 4, 8, 1, 4, px)), small, d).code(),
            ErrorCode::LimitExceeded);
}

}  // namespace
}  // namespace zelmar
