// Files from the wild that other programs open: JPEG with libjpeg's
// warnings, TIFF sample layouts beyond plain unsigned bytes, OS/2 and bare
// DIB bitmaps, PCX lines stored shorter than the width.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/codecs/bmp.h"
#include "engine/codecs/codec_checks.h"
#include "engine/codecs/jpeg.h"
#include "engine/codecs/png.h"
#include "engine/codecs/tiff.h"
#include "engine/io/formats.h"
#include "support/pictures.h"

namespace zelmar {
namespace {

using test::ByteVec;

ByteVec spliced(ByteVec file, size_t at, const ByteVec& bytes) {
  file.insert(file.begin() + long(at), bytes.begin(), bytes.end());
  return file;
}

size_t markerAt(const ByteVec& f, uint8_t marker) {
  for (size_t i = 2; i + 1 < f.size(); ++i)
    if (f[i] == 0xFF && f[i + 1] == marker) return i;
  return 0;
}

TEST(RealWorldJpeg, WarningsLoadWhatDecodesAndErrorsStillFail) {
  const ByteVec clean = test::encodeOk(jpeg::encode, test::makePhoto(48, 160), 20);
  const Decoded reference = test::decodeOk(jpeg::decode, clean);
  const size_t dqt = markerAt(clean, 0xDB), sof = markerAt(clean, 0xC0),
               sos = markerAt(clean, 0xDA);
  ASSERT_TRUE(dqt && sof && sos);
  // A quantisation table no segment defines: fatal, and after a warning too.
  ByteVec undefinedTable = clean;
  undefinedTable[sof + 12] = 3;
  enum Expect { Whole, CutShort, Refused };
  const struct {
    const char* name;
    ByteVec file;
    Expect expect;
  } cases[] = {
      {"stray bytes before a table", spliced(clean, dqt, {0x00, 0x11, 0x22}), Whole},
      {"stray bytes before the scan", spliced(clean, sos, {0x7F}), Whole},
      {"a second picture after the first",
       spliced(clean, clean.size(), test::encodeOk(jpeg::encode, test::makePattern(9, 7, 24))),
       Whole},
      {"cut inside the scan", ByteVec(clean.begin(), clean.begin() + (sos + clean.size()) / 2),
       CutShort},
      {"undefined table after stray bytes", spliced(undefinedTable, sos, {0x01, 0x02}), Refused},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Decoded d;
    const Status s = jpeg::decode(c.file, {}, d);
    ASSERT_EQ(s.ok(), c.expect != Refused) << s.message();
    if (c.expect == Refused) continue;
    EXPECT_EQ(d.truncated, c.expect == CutShort);
    const Picture& p = d.picture;
    ASSERT_EQ(p.width(), reference.picture.width());
    if (c.expect == Whole) {
      EXPECT_TRUE(test::closeColours(p, reference.picture, 0));
    } else {  // the first block row as in the whole file, the rows never reached black
      EXPECT_EQ(std::memcmp(p.row(0), reference.picture.row(0), p.stride() * 8), 0);
      EXPECT_EQ(test::pixelAt(p, p.width() - 1, p.height() - 1), Rgb{});
    }
  }
}

// Samples in the machine's (little-endian) order, as the files built here declare.
template <class T>
ByteVec bytesOf(std::initializer_list<T> v) {
  ByteVec out(v.size() * sizeof(T));
  std::memcpy(out.data(), std::data(v), out.size());
  return out;
}

TEST(RealWorldTiff, SampleFormatsAndDepthsAreScaledToEightBits) {
  const uint16_t kSigned = 2, kFloat = 3, kGrey = 1, kCmyk = 5;
  const struct {
    const char* name;
    uint16_t bps, samples, photometric, sampleFormat;
    ByteVec pixels;                 // four pixels in one row
    std::vector<uint8_t> expected;  // grey values, or R, G, B of each pixel
  } cases[] = {
      // clang-format off
      {"signed 8-bit", 8, 1, kGrey, kSigned, {0x80, 0xFF, 0x00, 0x7F}, {0, 127, 128, 255}},
      {"signed 16-bit", 16, 1, kGrey, kSigned, bytesOf<int16_t>({-32768, -1, 0, 32767}),
       {0, 127, 128, 255}},
      {"float 32-bit", 32, 1, kGrey, kFloat, bytesOf<float>({-0.5f, 0.0f, 0.5f, 2.0f}),
       {0, 0, 128, 255}},
      // 0x000, 0x800, 0xFFF, 0x555 packed most significant bit first.
      {"12-bit", 12, 1, kGrey, 1, {0x00, 0x08, 0x00, 0xFF, 0xF5, 0x55}, {0, 128, 255, 85}},
      {"16-bit CMYK", 16, 4, kCmyk, 1,
       bytesOf<uint16_t>({0, 0, 0, 0, 65535, 0, 0, 0, 0, 0, 0, 65535, 0, 32896, 65535, 0}),
       {255, 255, 255, 0, 255, 255, 0, 0, 0, 255, 127, 0}},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ByteVec file = test::buildTiff(4, 1, c.bps, c.samples, c.photometric, c.pixels,
                                         {{339, 3, 1, c.sampleFormat}});
    const Decoded d = test::decodeOk(tiff::decode, file);
    const Picture& p = d.picture;
    EXPECT_EQ(std::vector<uint8_t>(p.row(0), p.row(0) + p.stride()), c.expected);
    EXPECT_EQ(p.isGray(), p.bits() == 8);
  }
}

TEST(RealWorldTiff, OtherWritersLayoutsReadAsImageMagickReadsThem) {
  REQUIRE_TOOL(test::Tool::ImageMagick);
  REQUIRE_TOOL(test::Tool::GraphicsMagick);
  const struct {
    test::Tool tool;
    std::vector<std::string> args;
    int tolerance;
  } cases[] = {
      {test::Tool::ImageMagick, {"-colorspace", "CMYK", "-compress", "JPEG"}, 3},
      {test::Tool::ImageMagick, {"-colorspace", "CMYK", "-depth", "16", "-interlace", "plane"}, 2},
      {test::Tool::ImageMagick,
       {"-colorspace", "CMYK", "-interlace", "plane", "-compress", "LZW"},
       2},
      {test::Tool::ImageMagick, {"-depth", "12", "-compress", "LZW"}, 1},
      {test::Tool::GraphicsMagick,
       {"-depth", "32", "-define", "quantum:format=floating-point"},
       1},  // half floats
      // libtiff's RGBA reader: its CIELab conversion and ImageMagick's part ways.
      {test::Tool::ImageMagick, {"-colorspace", "Lab"}, 40},
  };
  const Picture photo = test::makePhoto(33, 21);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const ByteVec file = test::toolWrites(c.tool, photo, c.args, "a.tif");
    ASSERT_FALSE(file.empty());
    const Decoded d = test::decodeOk(tiff::decode, file);
    const Picture theirs =
        test::toolReads(test::Tool::ImageMagick, file, ".tif", {"-colorspace", "sRGB"});
    EXPECT_EQ(d.picture.bits(), 24);
    EXPECT_TRUE(test::closeColours(d.picture, theirs, c.tolerance));
  }
}

TEST(RealWorldBmpPcx, OddLayoutsLoad) {
  using test::ByteBuilder;
  // OS/2 RLE24, 4 x 2, bottom-up: three red and a blue; then green, white,
  // black as a literal block (padded) and a grey run.
  ByteBuilder rle24;
  rle24.bytes({'B', 'M'}).u32(0).u32(0).u32(14 + 64).u32(64).u32(4).u32(2).u16(1).u16(24);
  rle24.u32(4).fill(44);
  rle24.bytes({3, 0, 0, 255, 1, 255, 0, 0, 0, 0});
  rle24.bytes({0, 3, 0, 255, 0, 255, 255, 255, 0, 0, 0, 0, 1, 128, 128, 128, 0, 0, 0, 1});
  // OS/2 2.x with a 16-byte header, 2 x 1 at 8 bits; entry i is (255 - i, 0, i).
  ByteBuilder os2;
  os2.bytes({'B', 'M'}).u32(0).u32(0).u32(14 + 16 + 1024).u32(16).u32(2).u32(1).u16(1).u16(8);
  for (int i = 0; i < 256; ++i) os2.bytes({uint8_t(i), 0, uint8_t(255 - i), 0});
  os2.bytes({0, 200, 0, 0});
  // PCX, 5 x 1 in three planes, each line stored in 4 bytes: the fifth pixel black.
  ByteBuilder pcx;
  pcx.bytes({0x0A, 5, 0, 8}).u16(0).u16(0).u16(4).u16(0).fill(128 - 12);
  pcx.b[65] = 3;
  pcx.b[66] = 4;
  pcx.bytes({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120});
  const struct {
    const char* name;
    ByteVec file;
    std::vector<Rgb> expected;  // row by row
  } cases[] = {
      // clang-format off
      {"RLE24", rle24.b, {{0, 255, 0}, {255, 255, 255}, {0, 0, 0}, {128, 128, 128},
                          {255, 0, 0}, {255, 0, 0}, {255, 0, 0}, {0, 0, 255}}},
      // clang-format on
      {"16-byte OS/2 header", os2.b, {{255, 0, 0}, {55, 0, 200}}},
      {"PCX lines shorter than the width",
       pcx.b,
       {{10, 50, 90}, {20, 60, 100}, {30, 70, 110}, {40, 80, 120}, {0, 0, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Decoded d;
    ASSERT_TRUE(decodeAny(c.file, "", {}, d).ok());
    std::vector<Rgb> shown;
    for (uint32_t y = 0; y < d.picture.height(); ++y)
      for (uint32_t x = 0; x < d.picture.width(); ++x)
        shown.push_back(test::pixelAt(d.picture, x, y));
    EXPECT_EQ(shown, c.expected);
  }
}

TEST(RealWorldBmpPcx, BitmapsHoldingAJpegOrPngLoadIt) {
  const Picture photo = test::makePhoto(12, 9);
  for (const auto& [compression, inner] : {std::pair{4u, test::encodeOk(jpeg::encode, photo)},
                                           {5u, test::encodeOk(png::encode, photo)}}) {
    test::ByteBuilder f;
    f.bytes({'B', 'M'}).u32(0).u32(0).u32(14 + 40).u32(40).u32(12).u32(9).u16(1).u16(0);
    f.u32(compression).u32(uint32_t(inner.size())).fill(16);
    f.b.insert(f.b.end(), inner.begin(), inner.end());
    Decoded d, alone;
    ASSERT_TRUE(decodeAny(f.b, "", {}, d).ok());
    ASSERT_TRUE(decodeAny(inner, "", {}, alone).ok());
    EXPECT_EQ(d.facts.fileFormat, format::kBmp);
    EXPECT_TRUE(test::closeColours(d.picture, alone.picture, 0));
  }
}

TEST(RealWorldBmpPcx, ClipboardDibsWithoutTheFileHeaderLoadAsTheirBitmap) {
  for (int bits : {4, 8, 24}) {
    SCOPED_TRACE(bits);
    const ByteVec bmp = test::encodeOk(bmp::encode, test::makePattern(13, 5, bits));
    const ByteVec dib(bmp.begin() + 14, bmp.end());
    Decoded whole, bare;
    ASSERT_TRUE(decodeAny(bmp, "", {}, whole).ok());
    ASSERT_TRUE(decodeAny(dib, "", {}, bare).ok());
    EXPECT_TRUE(test::closeColours(bare.picture, whole.picture, 0));
    EXPECT_EQ(bare.facts.fileFormat, format::kBmp);
    // Cut short, nothing vouches for it being a bitmap.
    EXPECT_EQ(decodeAny(Bytes(dib.data(), dib.size() - 1), "", {}, bare).code(),
              ErrorCode::UnknownFormat);
  }
}

}  // namespace
}  // namespace zelmar
