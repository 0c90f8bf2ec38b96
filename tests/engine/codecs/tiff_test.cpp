#include "engine/codecs/tiff.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/io/file_io.h"
#include "support/pictures.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/tiff_jpeg_oracle.h"

namespace zelmar::tiff {
namespace {

using test::ByteVec;

ByteVec encoded(const Picture& p) { return test::encodeOk(encode, p); }
Decoded decoded(Bytes file) { return test::decodeOk(decode, file); }

Picture blackAndWhite(uint32_t w, uint32_t h, bool whiteFirst) {
  Picture p = test::makePattern(w, h, 1, true);
  if (whiteFirst) p.setPalette({{255, 255, 255}, {0, 0, 0}});
  return p;
}

struct Variant {
  std::string name;
  Picture picture;
};

std::vector<Variant> everyDepth(uint32_t w, uint32_t h) {
  std::vector<Variant> v;
  v.push_back({"1 bit", test::makePattern(w, h, 1, true)});
  v.push_back({"1 bit white first", blackAndWhite(w, h, true)});
  v.push_back({"1 bit colours", test::makePattern(w, h, 1)});
  v.push_back({"4 bit grey", test::makePattern(w, h, 4, true)});
  v.push_back({"4 bit colours", test::makePattern(w, h, 4)});
  v.push_back({"8 bit grey", test::makePattern(w, h, 8, true)});
  v.push_back({"8 bit colours", test::makePattern(w, h, 8)});
  v.push_back({"24 bit", test::makePattern(w, h, 24)});
  return v;
}

TEST(Tiff, ProbeKnowsBothByteOrdersAndBigTiff) {
  for (ByteVec sig : {ByteVec{'I', 'I', 42, 0}, ByteVec{'M', 'M', 0, 42}, ByteVec{'I', 'I', 43, 0},
                      ByteVec{'M', 'M', 0, 43}})
    EXPECT_TRUE(probe(sig));
  EXPECT_FALSE(probe(ByteVec{'I', 'I', 0, 42}));
  EXPECT_FALSE(probe(ByteVec{'I', 'I', 42}));
  EXPECT_FALSE(probe(ByteVec{0xFF, 0xD8, 0xFF, 0xE0}));
}

TEST(Tiff, EveryDepthRoundTripsExactly) {
  for (uint32_t w : {1u, 7u, 33u})
    for (auto& v : everyDepth(w, 5)) {
      SCOPED_TRACE(v.name + " width " + std::to_string(w));
      const Decoded d = decoded(encoded(v.picture));
      EXPECT_EQ(d.picture.bits(), v.picture.bits());
      EXPECT_TRUE(test::sameColors(d.picture, v.picture));
      EXPECT_EQ(d.picture.palette(), v.picture.palette());
      if (v.picture.bits() != 24) {
        EXPECT_EQ(std::memcmp(d.picture.data(), v.picture.data(), v.picture.byteSize()), 0);
      }
      EXPECT_EQ(d.facts.fileFormat, format::kTiff);
      EXPECT_EQ(d.facts.compression, "LZW");
      EXPECT_EQ(d.facts.originBits, v.picture.bits());
      EXPECT_EQ(d.facts.originWidth, w);
      EXPECT_EQ(d.facts.originHeight, 5u);
      EXPECT_EQ(d.facts.pageCount, 1);
      EXPECT_FALSE(d.truncated);
    }
}

TEST(Tiff, ManyStripsRoundTrip) {
  // Tall enough for several strips of our writer.
  const Picture p = test::makePattern(1500, 200, 24);
  EXPECT_TRUE(test::sameColors(decoded(encoded(p)).picture, p));
  const Picture bits = test::makePattern(9000, 300, 1, true);
  EXPECT_TRUE(test::sameColors(decoded(encoded(bits)).picture, bits));
}

TEST(Tiff, OtherReadersSeeWhatWeWrote) {
  for (const auto& tool : {test::imConvert(), test::gm()}) {
    if (tool.empty()) continue;
    for (auto& v : everyDepth(33, 9)) {
      SCOPED_TRACE(tool + " " + v.name);
      const ByteVec file = encoded(v.picture);
      const Picture theirs = test::oracleDecode(tool, file, "tif");
      ASSERT_FALSE(theirs.empty());
      EXPECT_EQ(test::maxChannelDiff(theirs, v.picture), 0);
    }
  }
}

struct OracleCase {
  std::string tool;
  std::vector<std::string> args;
  int bits, originBits;
  const char* compression;
};

void expectReadsExactly(const Picture& source, const std::vector<OracleCase>& cases) {
  for (const auto& c : cases) {
    if (c.tool.empty()) continue;
    SCOPED_TRACE(c.tool + " " + testing::PrintToString(c.args));
    const ByteVec file = test::oracleEncode(c.tool, source, c.args, "tif");
    ASSERT_FALSE(file.empty());
    const Decoded d = decoded(file);
    EXPECT_EQ(d.picture.bits(), c.bits);
    EXPECT_EQ(d.facts.originBits, c.originBits);
    EXPECT_EQ(d.facts.compression, c.compression);
    EXPECT_EQ(d.facts.fileFormat, format::kTiff);
    EXPECT_EQ(test::maxChannelDiff(d.picture, source), 0);
  }
}

TEST(Tiff, ReadsColourFilesOfOtherWritersExactly) {
  const std::string im = test::imConvert(), gm = test::gm();
  const std::string tiles = "tiff:tile-geometry=16x16";
  expectReadsExactly(
      test::makePattern(37, 23, 24),
      {
          {im, {"-compress", "None"}, 24, 24, "None"},
          {im, {"-compress", "LZW"}, 24, 24, "LZW"},
          {im, {"-compress", "LZW", "-define", "tiff:predictor=2"}, 24, 24, "LZW"},
          {im, {"-compress", "Zip"}, 24, 24, "Deflate"},
          {im, {"-compress", "RLE"}, 24, 24, "PackBits"},
          {im, {"-compress", "LZW", "-define", tiles}, 24, 24, "LZW"},
          {im, {"-compress", "Zip", "-define", tiles, "-depth", "16"}, 24, 48, "Deflate"},
          {im, {"-depth", "16"}, 24, 48, "None"},
          {im, {"-interlace", "Plane", "-compress", "LZW"}, 24, 24, "LZW"},
          {im, {"-interlace", "Plane", "-define", tiles}, 24, 24, "None"},
          {im, {"-alpha", "set"}, 24, 32, "None"},
          {im, {"-alpha", "set", "-depth", "16", "-compress", "Zip"}, 24, 64, "Deflate"},
          {gm, {"-compress", "LZW"}, 24, 24, "LZW"},
          {gm, {"-compress", "None", "-endian", "MSB"}, 24, 24, "None"},
          {gm, {"-depth", "16", "-endian", "MSB"}, 24, 48, "None"},
      });
}

TEST(Tiff, ReadsGreyBilevelAndPaletteFilesExactly) {
  const std::string im = test::imConvert(), gm = test::gm();
  expectReadsExactly(
      test::makePattern(37, 23, 8, true),
      {
          {im, {"-depth", "8"}, 8, 8, "None"},
          {im, {"-compress", "LZW", "-define", "tiff:predictor=2"}, 8, 8, "LZW"},
          {im, {"-depth", "16"}, 8, 16, "None"},
          {im, {"-define", "tiff:photometric=min-is-white", "-compress", "Zip"}, 8, 8, "Deflate"},
          {gm, {"-compress", "LZW"}, 8, 8, "LZW"},
      });
  expectReadsExactly(test::makePattern(37, 23, 4, true), {
                                                             {im, {"-depth", "4"}, 4, 4, "None"},
                                                         });
  Picture fourGreys = test::makePattern(37, 23, 4, true);
  for (size_t i = 0; i < fourGreys.byteSize(); ++i)
    fourGreys.data()[i] = fourGreys.data()[i] / 5 * 5;
  expectReadsExactly(fourGreys, {
                                    {im, {"-depth", "2", "-compress", "LZW"}, 4, 2, "LZW"},
                                });
  expectReadsExactly(
      blackAndWhite(37, 23, false),
      {
          {im, {"-compress", "Group4"}, 1, 1, "CCITT G4"},
          {im, {"-compress", "Fax"}, 1, 1, "CCITT G3"},
          {im, {"-depth", "1", "-compress", "None"}, 1, 1, "None"},
          {im, {"-depth", "1", "-define", "quantum:polarity=min-is-white"}, 1, 1, "None"},
          {im, {"-depth", "1", "-define", "tiff:fill-order=lsb"}, 1, 1, "None"},
          {im, {"-depth", "1", "-compress", "LZW"}, 1, 1, "LZW"},
          {gm, {"-compress", "Group4"}, 1, 1, "CCITT G4"},
      });
  expectReadsExactly(test::makePattern(37, 23, 8),
                     {
                         {im, {"-type", "Palette"}, 8, 8, "None"},
                         {im, {"-type", "Palette", "-compress", "LZW"}, 8, 8, "LZW"},
                     });
  expectReadsExactly(test::makePattern(37, 23, 4),
                     {
                         {im, {"-type", "Palette", "-compress", "Zip"}, 4, 4, "Deflate"},
                     });
}

TEST(Tiff, ReadsCmykJpegAndYcbcrLayouts) {
  const Picture photo = test::makePhoto(48, 32);
  struct Case {
    std::string tool;
    std::vector<std::string> args;
    int format, originBits;
    const char* compression;
    double meanLimit;
  };
  const std::string im = test::imConvert(), gm = test::gm();
  const Case cases[] = {
      {im, {"-colorspace", "CMYK"}, format::kTiffCmyk, 32, "None", 1.0},
      {im,
       {"-colorspace", "CMYK", "-compress", "LZW", "-define", "tiff:tile-geometry=16x16"},
       format::kTiffCmyk,
       32,
       "LZW",
       1.0},
      // ImageMagick keeps JPEG-in-TIFF in RGB, unsampled.
      {im, {"-compress", "JPEG", "-quality", "95"}, format::kTiffJpeg444, 24, "JPEG", 4.0},
      // GraphicsMagick writes YCbCr at libtiff's usual 2 × 2 sampling.
      {gm, {"-compress", "JPEG", "-quality", "95"}, format::kTiffJpeg420, 24, "JPEG", 6.0},
      // vips keeps full chroma from quality 90 up, and tiles when asked.
      {test::vips(),
       {"compression=jpeg", "Q=95", "tile", "tile-width=16", "tile-height=16"},
       format::kTiffJpeg444,
       24,
       "JPEG",
       4.0},
      {test::vips(),
       {"compression=jpeg", "Q=85", "tile", "tile-width=16", "tile-height=16"},
       format::kTiffJpeg420,
       24,
       "JPEG",
       8.0},
  };
  for (const auto& c : cases) {
    if (c.tool.empty()) continue;
    SCOPED_TRACE(c.tool + " " + testing::PrintToString(c.args));
    const ByteVec file = test::oracleEncode(c.tool, photo, c.args, "tif");
    ASSERT_FALSE(file.empty());
    const Decoded d = decoded(file);
    EXPECT_EQ(d.picture.bits(), 24);
    EXPECT_EQ(d.facts.fileFormat, c.format);
    EXPECT_EQ(d.facts.originBits, c.originBits);
    EXPECT_EQ(d.facts.compression, c.compression);
    EXPECT_LT(test::meanChannelDiff(d.picture, photo), c.meanLimit);
    if (!im.empty()) {
      const Picture theirs = test::oracleDecode(im, file, "tif");
      EXPECT_LE(test::maxChannelDiff(d.picture, theirs), 3);
    }
  }
}

TEST(Tiff, JpegStripsGiveTheirSamplingAsFormat) {
  if (test::imConvert().empty()) GTEST_SKIP() << "ImageMagick missing";
  // A whole JPEG stream as the one strip of a YCbCr TIFF, which is how
  // JPEG-in-TIFF with inline tables looks; the sampling tag must match it.
  const Picture photo = test::makePhoto(32, 16);
  struct Case {
    const char* sampling;
    uint16_t h, v;
    int format;
  };
  for (const Case& c :
       {Case{"1x1", 1, 1, format::kTiffJpeg444}, Case{"2x1", 2, 1, format::kTiffJpeg422},
        Case{"2x2", 2, 2, format::kTiffJpeg420}}) {
    SCOPED_TRACE(c.sampling);
    const ByteVec jpeg = test::oracleEncode(
        test::imConvert(), photo, {"-sampling-factor", c.sampling, "-quality", "95"}, "jpg");
    ASSERT_FALSE(jpeg.empty());
    const ByteVec file = test::buildTiff(32, 16, 8, 3, 6, jpeg,
                                         {{259, 3, 1, 7}, {530, 3, 2, c.h | uint32_t(c.v) << 16}});
    const Decoded d = decoded(file);
    EXPECT_EQ(d.facts.fileFormat, c.format);
    EXPECT_EQ(d.facts.compression, "JPEG");
    EXPECT_LE(test::maxChannelDiff(d.picture, test::oracleDecode(test::imConvert(), jpeg, "jpg")),
              2);
  }
}

TEST(Tiff, ReadsUncompressedYcbcr) {
  // Full-range YCbCr without subsampling: greys keep Cb = Cr = 128, and the
  // colours follow the JPEG equations.
  const ByteVec samples = {0,   128, 128, 200, 128, 128, 76,  85,  255,
                           150, 44,  21,  29,  255, 107, 255, 128, 128};
  const Rgb expect[] = {{0, 0, 0},   {200, 200, 200}, {255, 0, 0},
                        {0, 255, 0}, {0, 0, 255},     {255, 255, 255}};
  const ByteVec file = test::buildTiff(3, 2, 8, 3, 6, samples, {{530, 3, 2, 1 | 1u << 16}});
  const Decoded d = decoded(file);
  ASSERT_EQ(d.picture.bits(), 24);
  EXPECT_EQ(d.facts.fileFormat, format::kTiffYcbcr);
  EXPECT_EQ(d.facts.originBits, 24);
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const Rgb got = test::pixelAt(d.picture, i % 3, i / 3);
    EXPECT_NEAR(got.r, expect[i].r, 2);
    EXPECT_NEAR(got.g, expect[i].g, 2);
    EXPECT_NEAR(got.b, expect[i].b, 2);
  }
}

TEST(Tiff, CountsPagesAndShowsTheFirst) {
  if (test::imConvert().empty()) GTEST_SKIP() << "ImageMagick missing";
  const Picture first = test::makePattern(13, 11, 24, false, 1);
  const Picture second = test::makePattern(13, 11, 24, false, 2);
  test::TempDir dir;
  ASSERT_TRUE(test::writePnm(first, dir.file("a.ppm")));
  ASSERT_TRUE(test::writePnm(second, dir.file("b.ppm")));
  const std::string out = dir.file("pages.tif");
  ASSERT_EQ(test::run({test::imConvert(), dir.file("a.ppm"), dir.file("b.ppm"), dir.file("a.ppm"),
                       "-compress", "LZW", out})
                .exitCode,
            0);
  std::vector<uint8_t> file;
  ASSERT_TRUE(readFileBytes(out, file).ok());
  const Decoded d = decoded(file);
  EXPECT_EQ(d.facts.pageCount, 3);
  EXPECT_TRUE(test::sameColors(d.picture, first));
}

ByteVec rgbSamples(const Picture& p) { return ByteVec(p.data(), p.data() + p.byteSize()); }

TEST(Tiff, CutShortPixelDataLoadsWhatArrived) {
  const Picture p = test::makePattern(5, 4, 24);
  const ByteVec full = test::buildTiff(5, 4, 8, 3, 2, rgbSamples(p));
  const size_t pixelsAt = full.size() - p.byteSize();
  // Cut in the middle of the third row: two rows whole, one partial, one black.
  const ByteVec cut(full.begin(), full.begin() + long(pixelsAt + 2 * 15 + 7));
  const Decoded d = decoded(cut);
  EXPECT_TRUE(d.truncated);
  ASSERT_EQ(d.picture.height(), 4u);
  EXPECT_EQ(std::memcmp(d.picture.data(), p.data(), 2 * 15 + 7), 0);
  for (size_t i = 2 * 15 + 7; i < d.picture.byteSize(); ++i) EXPECT_EQ(d.picture.data()[i], 0);

  // No pixel byte at all: nothing to show.
  Decoded none;
  EXPECT_EQ(decode(Bytes(full.data(), pixelsAt), Limits{}, none).code(), ErrorCode::Truncated);
}

TEST(Tiff, EveryPrefixIsAnErrorOrAPartialPicture) {
  std::vector<ByteVec> files = {
      encoded(test::makePattern(19, 13, 24)), encoded(test::makePattern(19, 13, 1, true)),
      encoded(test::makePattern(19, 13, 8)), test::buildTiff(6, 5, 8, 1, 1, ByteVec(30, 77))};
  if (!test::imConvert().empty())
    files.push_back(test::oracleEncode(test::imConvert(), test::makePattern(19, 13, 24),
                                       {"-compress", "Zip", "-define", "tiff:tile-geometry=16x16"},
                                       "tif"));
  for (const auto& file : files) {
    const Picture whole = decoded(file).picture;
    for (size_t n = 0; n < file.size(); ++n) {
      SCOPED_TRACE(n);
      Decoded d;
      const Status s = decode(Bytes(file.data(), n), Limits{}, d);
      if (!s.ok()) {
        EXPECT_TRUE(d.picture.empty());
      } else if (!d.truncated) {
        // Only bytes nothing depends on were cut, such as a last link of 0.
        EXPECT_TRUE(test::sameColors(d.picture, whole));
      }
    }
  }
}

TEST(Tiff, HostileHeadersFailCleanly) {
  const ByteVec px(12, 1);
  struct Case {
    const char* name;
    ByteVec file;
    ErrorCode code;
  };
  const Case cases[] = {
      {"empty", {}, ErrorCode::BadHeader},
      {"signature only", {'I', 'I', 42, 0}, ErrorCode::BadHeader},
      {"directory past the end", {'I', 'I', 42, 0, 0xF0, 0xFF, 0xFF, 0x0F}, ErrorCode::BadHeader},
      {"zero width", test::buildTiff(0, 4, 8, 1, 1, px), ErrorCode::BadHeader},
      // 65535 × 65535 grey would take 4 GB: refused by the pixel limit.
      {"huge", test::buildTiff(65535, 65535, 8, 1, 1, px), ErrorCode::LimitExceeded},
      {"too wide", test::buildTiff(70000, 1, 8, 1, 1, px), ErrorCode::LimitExceeded},
      {"strip past the end", test::buildTiff(3, 4, 8, 1, 1, px, {{273, 4, 1, 100000}}),
       ErrorCode::Truncated},
      // One 32768 × 32768 tile for a 1 × 1 picture: 3 GB of buffer for 3 bytes.
      {"giant tile",
       test::buildTiff(1, 1, 8, 3, 2, px,
                       {{322, 4, 1, 32768}, {323, 4, 1, 32768}, {324, 4, 1, 0}, {325, 4, 1, 12}}),
       ErrorCode::LimitExceeded},
      // libtiff alone would drop these tags and read the pixels wrongly.
      {"colour map past the end", test::buildTiff(3, 4, 8, 1, 3, px, {{320, 3, 768, 4000}}),
       ErrorCode::BadHeader},
      {"sample sizes past the end", test::buildTiff(2, 2, 8, 3, 2, px, {{258, 3, 3, 4000}}),
       ErrorCode::BadHeader},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Decoded d;
    const Status s = decode(c.file, Limits{}, d);
    EXPECT_EQ(s.code(), c.code) << s.message();
    EXPECT_TRUE(d.picture.empty());
  }
  Decoded d;
  EXPECT_EQ(decode(encoded(test::makePattern(20, 20, 8)), Limits{65535, 100}, d).code(),
            ErrorCode::LimitExceeded);
  // Signed samples in a layout only libtiff's RGBA reader knows (CIELab) are
  // refused rather than shown as noise.
  EXPECT_EQ(
      decode(test::buildTiff(1, 2, 8, 3, 8, ByteVec(6, 1), {{339, 3, 1, 2}}), Limits{}, d).code(),
      ErrorCode::Unsupported);
}

TEST(Tiff, ForgedStripSizesStayWithinThePicture) {
  // A byte count claiming 4 GB for a 3 × 4 strip of 12 bytes, 8 of them present.
  ByteVec file = test::buildTiff(3, 4, 8, 1, 1, ByteVec(12, 200), {{279, 4, 1, 0xFFFFFFF0u}});
  file.resize(file.size() - 4);
  const Decoded d = decoded(file);
  EXPECT_TRUE(d.truncated);
  EXPECT_EQ(test::pixelAt(d.picture, 1, 2), (Rgb{200, 200, 200}));
  EXPECT_EQ(test::pixelAt(d.picture, 2, 3), (Rgb{0, 0, 0}));
}

}  // namespace
}  // namespace zelmar::tiff
