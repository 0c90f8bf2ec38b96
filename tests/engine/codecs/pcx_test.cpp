#include "engine/codecs/pcx.h"

#include <gtest/gtest.h>

#include "support/bmp_pcx_files.h"
#include "support/pictures.h"
#include "support/process.h"

namespace zelmar {
namespace {

using test::LeBytes;

Bytes view(const std::vector<uint8_t>& v) { return {v.data(), v.size()}; }

std::vector<uint8_t> encoded(const Picture& p) { return test::encodedWith(pcx::encode, p); }

Decoded mustDecode(const std::vector<uint8_t>& file) {
  return test::decodedWith(pcx::decode, file);
}

// A header built field by field; the pixel stream follows as given.
std::vector<uint8_t> pcxFile(uint16_t width, uint16_t height, uint8_t bits, uint8_t planes,
                             uint16_t bytesPerLine, const std::vector<uint8_t>& stream,
                             const Palette& headerPalette = {}, uint8_t encoding = 1) {
  LeBytes f;
  f.bytes({0x0a, 5, encoding, bits})
      .u16(0)
      .u16(0)
      .u16(uint16_t(width - 1))
      .u16(uint16_t(height - 1));
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
  test::expectEveryDepthRoundTrips(pcx::encode, 1, "RLE");
}

TEST(Pcx, WidestScanLinesRoundTrip) {
  // 65535 pixels of 8 bits need an odd line length: 65536 does not fit.
  for (int bits : {8, 24}) {
    SCOPED_TRACE(bits);
    const Picture src = test::makePattern(65535, 2, bits);
    const auto file = encoded(src);
    EXPECT_EQ(file[66] | file[67] << 8, 65535);
    EXPECT_TRUE(test::sameColors(mustDecode(file).picture, src));
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
  if (!test::haveOracles()) GTEST_SKIP() << "oracles missing";
  const test::Tool im = test::imageMagick(), gm = test::graphicsMagick();
  for (int bits : {1, 4, 8, 24}) {
    SCOPED_TRACE(bits);
    // Other programs show 1-bit files in black and white whatever the
    // header palette says, and ImageMagick swaps the two.
    const Picture src = test::makePattern(33, 6, bits, bits == 1);
    test::expectToolsRead(
        encoded(src), ".pcx", src,
        bits == 1 ? std::vector<test::Tool>{gm} : std::vector<test::Tool>{im, gm});
  }
}

TEST(Pcx, FilesOfOtherProgramsReadRight) {
  if (!test::haveOracles()) GTEST_SKIP() << "oracles missing";
  const test::Tool im = test::imageMagick(), gm = test::graphicsMagick();
  const test::MadeElsewhere cases[] = {
      {im, 24, {}, "a.pcx", 24, "RLE"},  // three planes, odd bytes per line
      {im, 8, {"-type", "Palette"}, "a.pcx", 8, "RLE"},
      {gm, 24, {}, "a.pcx", 24, "RLE"},
      {gm, 8, {"-type", "Palette"}, "a.pcx", 8, "RLE"},
      {gm, 1, {"-type", "Bilevel"}, "a.pcx", 1, "RLE"},
  };
  for (const auto& c : cases) test::expectReadLikeItsMaker(c, pcx::decode, ".pcx");
}

TEST(Pcx, RunsMayCrossTheEndOfAScanLine) {
  // 3 × 2, 8 bits, 3 bytes a line (odd): one run of 5 spans both lines.
  const auto file = pcxFile(3, 2, 8, 1, 3, {0xc5, 9, 0xc1, 0xc7});
  const Decoded d = mustDecode(file);
  EXPECT_EQ(test::indexesOf(d.picture), (std::vector<uint8_t>{9, 9, 9, 9, 9, 0xc7}));
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
  const Decoded planar =
      mustDecode(pcxFile(4, 1, 1, 4, 2, {0x90, 0, 0x50, 0, 0x30, 0, 0x10, 0}, sixteen));
  ASSERT_EQ(planar.picture.bits(), 4);
  EXPECT_EQ(test::indexesOf(planar.picture), (std::vector<uint8_t>{1, 2, 4, 15}));
  EXPECT_EQ(planar.picture.palette(), sixteen);
  EXPECT_EQ(planar.facts.originBits, 4);

  // One plane of 4 bits, stored without compression.
  const Decoded packed = mustDecode(pcxFile(3, 1, 4, 1, 2, {0x5a, 0x30}, sixteen, 0));
  EXPECT_EQ(test::indexesOf(packed.picture), (std::vector<uint8_t>{5, 10, 3}));
  EXPECT_EQ(packed.facts.compression, "None");

  // Version 3 files carry no palette: the standard sixteen colours.
  auto noPalette = pcxFile(2, 1, 4, 1, 2, {0x4e, 0});
  noPalette[1] = 3;
  const Decoded standard = mustDecode(noPalette);
  EXPECT_EQ(test::pixelAt(standard.picture, 0, 0), (Rgb{0xaa, 0, 0}));        // 4: red
  EXPECT_EQ(test::pixelAt(standard.picture, 1, 0), (Rgb{0xff, 0xff, 0x55}));  // 14: yellow

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

  // Every prefix of several kinds of file. One that loses only the palette
  // at the end loads whole, in grey, so it is not marked truncated.
  for (const auto& whole :
       {file, encoded(test::makePattern(9, 3, 8)), encoded(test::makePattern(9, 3, 4)),
        encoded(test::makePattern(9, 3, 1))})
    test::expectPrefixesSafe(whole, pcx::decode, false);
  // A count byte as the last byte of the data.
  const Decoded lone = mustDecode(pcxFile(4, 1, 8, 1, 4, {7, 0xc9}));
  EXPECT_TRUE(lone.truncated);
  EXPECT_EQ(test::indexesOf(lone.picture), (std::vector<uint8_t>{7, 0, 0, 0}));
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
  EXPECT_EQ(code(pcxFile(4, 4, 8, 1, 0, px)), ErrorCode::BadHeader);  // no bytes per line
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
