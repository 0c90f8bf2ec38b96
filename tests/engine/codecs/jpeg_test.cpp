#include "engine/codecs/jpeg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "engine/codecs/jpeg_markers.h"
#include "support/pictures.h"
#include "support/process.h"
#include "support/tiff_jpeg_oracle.h"

namespace zelmar::jpeg {
namespace {

using test::ByteVec;

ByteVec encoded(const Picture& p, int factor = 64) { return test::encodeOk(encode, p, factor); }
Decoded decoded(Bytes file) { return test::decodeOk(decode, file); }

TEST(Jpeg, ProbeWantsStartOfImageAndAMarker) {
  const ByteVec file = encoded(test::makePhoto(8, 8));
  EXPECT_TRUE(probe(file));
  EXPECT_FALSE(probe(ByteVec{0xFF, 0xD8}));
  EXPECT_FALSE(probe(ByteVec{'I', 'I', 42, 0}));
  EXPECT_FALSE(probe({}));
}

TEST(Jpeg, WritesGreyOrColourByPaletteAndReadsThemBack) {
  struct Case {
    const char* name;
    Picture picture;
    int bits, originBits, format;
    double meanLimit;  // at quality 100
  };
  Case cases[] = {
      {"photo 24", test::makePhoto(61, 33), 24, 24, format::kJpeg420, 4.0},
      {"grey ramp 8", test::makePattern(33, 7, 8, true), 8, 8, format::kJpeg444, 1.0},
      {"grey 4", test::makePattern(7, 5, 4, true), 8, 8, format::kJpeg444, 1.0},
      {"black and white 1", test::makePattern(33, 9, 1, true), 8, 8, format::kJpeg444, 3.0},
      // A busy colour pattern loses detail to 4:2:0 even at quality 100.
      {"colour palette 8", test::makePattern(1, 7, 8), 24, 24, format::kJpeg420, 25.0},
      {"colour palette 4", test::makePattern(33, 9, 4), 24, 24, format::kJpeg420, 50.0},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ByteVec file = encoded(c.picture, 2);
    const Decoded d = decoded(file);
    EXPECT_EQ(d.picture.bits(), c.bits);
    EXPECT_EQ(d.picture.isGray(), c.bits == 8);
    EXPECT_EQ(d.facts.originBits, c.originBits);
    EXPECT_EQ(d.facts.fileFormat, c.format);
    EXPECT_EQ(d.facts.compression, "JPEG");
    EXPECT_EQ(d.facts.pageCount, 1);
    EXPECT_EQ(d.facts.originWidth, c.picture.width());
    EXPECT_EQ(d.facts.originHeight, c.picture.height());
    EXPECT_FALSE(d.truncated);
    EXPECT_LT(test::meanChannelDiff(d.picture, c.picture), c.meanLimit);
  }
}

TEST(Jpeg, RefusesWhatItCannotWrite) {
  const Picture photo = test::makePhoto(8, 8);
  OutputBuffer out;
  EXPECT_EQ(encode(photo, EncodeOptions{1}, out).code(), ErrorCode::InvalidArgument);
  EXPECT_EQ(encode(photo, EncodeOptions{256}, out).code(), ErrorCode::InvalidArgument);
  EXPECT_EQ(encode(Picture(), EncodeOptions{}, out).code(), ErrorCode::NoPicture);
  EXPECT_EQ(out.size(), 0u);
}

// The quantisation tables of a file, which the quality alone decides.
ByteVec quantTables(const ByteVec& file) {
  ByteVec tables;
  for (size_t i = 2; i + 4 < file.size() && !(file[i] == 0xFF && file[i + 1] == 0xDA);) {
    const size_t length = size_t(file[i + 2]) << 8 | file[i + 3];
    if (file[i + 1] == 0xDB)
      tables.insert(tables.end(), file.begin() + long(i), file.begin() + long(i + 2 + length));
    i += 2 + length;
  }
  return tables;
}

TEST(Jpeg, FactorMapsToTheQualityOfOtherWriters) {
  if (test::imConvert().empty()) GTEST_SKIP() << "ImageMagick missing";
  const Picture photo = test::makePhoto(32, 32);
  struct Case {
    int factor;
    const char* quality;
  };
  for (const Case& c :
       {Case{2, "100"}, Case{64, "75"}, Case{129, "49"}, Case{254, "1"}, Case{255, "1"}}) {
    SCOPED_TRACE(c.factor);
    const ByteVec theirs =
        test::oracleEncode(test::imConvert(), photo, {"-quality", c.quality}, "jpg");
    ASSERT_FALSE(theirs.empty());
    const ByteVec ours = encoded(photo, c.factor);
    EXPECT_FALSE(quantTables(ours).empty());
    EXPECT_EQ(quantTables(ours), quantTables(theirs));
  }
  EXPECT_EQ(test::oracleIdentify(encoded(photo), "jpg", "%[jpeg:sampling-factor]"), "2x2,1x1,1x1");
}

TEST(Jpeg, OtherReadersSeeWhatWeRead) {
  const Picture sources[] = {test::makePhoto(45, 31), test::makePattern(17, 9, 8, true)};
  for (const auto& tool : {test::imConvert(), test::gm()}) {
    if (tool.empty()) continue;
    for (const auto& src : sources) {
      SCOPED_TRACE(tool + " " + std::to_string(src.bits()));
      const ByteVec file = encoded(src);
      const Picture theirs = test::oracleDecode(tool, file, "jpg");
      ASSERT_FALSE(theirs.empty());
      EXPECT_LE(test::maxChannelDiff(theirs, decoded(file).picture), 2);
    }
  }
}

TEST(Jpeg, ReadsEverySamplingProgressiveAndGreyFromImageMagick) {
  if (test::imConvert().empty()) GTEST_SKIP() << "ImageMagick missing";
  const Picture photo = test::makePhoto(50, 34);
  struct Case {
    std::vector<std::string> args;
    int format, bits;
  };
  const Case cases[] = {
      {{"-sampling-factor", "1x1"}, format::kJpeg444, 24},
      {{"-sampling-factor", "2x1"}, format::kJpeg422, 24},
      {{"-sampling-factor", "2x2"}, format::kJpeg420, 24},
      {{"-sampling-factor", "4x1"}, format::kJpeg420, 24},
      {{"-sampling-factor", "1x2"}, format::kJpeg422, 24},
      {{"-sampling-factor", "3x1"}, format::kJpeg422, 24},  // a sampling TurboJPEG cannot name
      {{"-sampling-factor", "2x2", "-interlace", "Plane"}, format::kJpeg420, 24},
      {{"-colorspace", "Gray"}, format::kJpeg444, 8},
      {{"-colorspace", "Gray", "-interlace", "Plane"}, format::kJpeg444, 8},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"-quality", "95"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(testing::PrintToString(args));
    const ByteVec file = test::oracleEncode(test::imConvert(), photo, args, "jpg");
    ASSERT_FALSE(file.empty());
    const Decoded d = decoded(file);
    EXPECT_EQ(d.facts.fileFormat, c.format);
    EXPECT_EQ(d.picture.bits(), c.bits);
    EXPECT_EQ(d.facts.originBits, c.bits);
    EXPECT_LE(test::maxChannelDiff(d.picture, test::oracleDecode(test::imConvert(), file, "jpg")),
              2);
    if (c.bits == 24) {
      EXPECT_LT(test::meanChannelDiff(d.picture, photo), 8.0);
    }
  }
}

TEST(Jpeg, CmykLoadsAsColour) {
  const Picture photo = test::makePhoto(40, 24);
  for (const auto& tool : {test::imConvert(), test::gm()}) {
    if (tool.empty()) continue;
    SCOPED_TRACE(tool);
    const ByteVec file =
        test::oracleEncode(tool, photo, {"-colorspace", "CMYK", "-quality", "95"}, "jpg");
    ASSERT_FALSE(file.empty());
    // Both write Adobe's inverted samples; reading them plainly would
    // give a negative.
    EXPECT_TRUE(scanMarkers(file).adobe);
    const Decoded d = decoded(file);
    EXPECT_EQ(d.picture.bits(), 24);
    EXPECT_EQ(d.facts.originBits, 32);
    EXPECT_EQ(d.facts.fileFormat, format::kJpeg444);
    // GraphicsMagick separates black from the inks in its own way, so the
    // file, not the source, is the reference: ImageMagick reads it too.
    if (!test::imConvert().empty()) {
      const Picture theirs = test::oracleDecode(test::imConvert(), file, "jpg");
      EXPECT_LE(test::maxChannelDiff(d.picture, theirs), 2);
    }
    if (tool == test::imConvert()) {
      EXPECT_LT(test::meanChannelDiff(d.picture, photo), 4.0);
    }
  }
}

TEST(Jpeg, ExifOrientationStandsThePictureUpright) {
  const ByteVec plain = encoded(test::makePhoto(40, 24), 2);
  const Picture stored = decoded(plain).picture;
  for (bool be : {false, true})
    for (int o = 1; o <= 8; ++o) {
      SCOPED_TRACE(testing::Message() << (be ? "MM " : "II ") << o);
      const ByteVec file = test::withApp1Exif(plain, test::exifBlock(o, be));
      const Decoded d = decoded(file);
      EXPECT_EQ(d.picture.width(), o >= 5 ? 24u : 40u);
      EXPECT_EQ(d.facts.originWidth, 40u);
      EXPECT_EQ(d.facts.originHeight, 24u);
      Picture expect;
      ASSERT_TRUE(stored.cloneTo(expect).ok());
      ASSERT_TRUE(applyOrientation(expect, o).ok());
      EXPECT_EQ(test::maxChannelDiff(d.picture, expect), 0);
      if (!test::imConvert().empty()) {
        const Picture theirs = test::oracleDecode(test::imConvert(), file, "jpg", {"-auto-orient"});
        EXPECT_LE(test::maxChannelDiff(d.picture, theirs), 1);
      }
    }
}

// The first `rows` rows of a 24-bit picture.
Picture topRows(const Picture& p, uint32_t rows) {
  Picture top;
  EXPECT_TRUE(Picture::create(p.width(), rows, 24, top).ok());
  std::memcpy(top.data(), p.data(), top.byteSize());
  return top;
}

TEST(Jpeg, CutShortFilesLoadTheirUpperPart) {
  const Picture photo = test::makePhoto(64, 64);
  const ByteVec baseline = encoded(photo, 2);
  const ByteVec cut(baseline.begin(), baseline.begin() + long(baseline.size() * 6 / 10));
  const Decoded d = decoded(cut);
  EXPECT_TRUE(d.truncated);
  ASSERT_EQ(d.picture.height(), 64u);
  // The rows that arrived are exact; the rows that did not are black.
  EXPECT_EQ(test::maxChannelDiff(topRows(d.picture, 16), topRows(decoded(baseline).picture, 16)),
            0);
  const uint8_t* last = d.picture.row(63);
  EXPECT_TRUE(std::all_of(last, last + d.picture.stride(), [](uint8_t v) { return v == 0; }));

  // Cut right after the scan header: not one pixel arrived.
  size_t sos = 2;
  while (sos + 3 < baseline.size() && !(baseline[sos] == 0xFF && baseline[sos + 1] == 0xDA)) ++sos;
  const size_t scanStart = sos + 2 + (size_t(baseline[sos + 2]) << 8 | baseline[sos + 3]);
  Decoded none;
  EXPECT_EQ(decode(Bytes(baseline.data(), scanStart), Limits{}, none).code(), ErrorCode::Truncated);

  if (test::imConvert().empty()) return;
  // A progressive file cut short has every row, only coarser.
  const ByteVec progressive = test::oracleEncode(test::imConvert(), photo,
                                                 {"-interlace", "Plane", "-quality", "95"}, "jpg");
  const Decoded p = decoded(
      ByteVec(progressive.begin(), progressive.begin() + long(progressive.size() * 6 / 10)));
  EXPECT_TRUE(p.truncated);
  EXPECT_LT(test::meanChannelDiff(p.picture, photo), 8.0);
}

TEST(Jpeg, EveryPrefixIsAnErrorOrAPartialPicture) {
  const ByteVec file = encoded(test::makePhoto(24, 16), 30);
  Decoded d;
  EXPECT_EQ(decode({}, Limits{}, d).code(), ErrorCode::BadHeader);
  for (size_t n = 0; n < file.size(); ++n) {
    SCOPED_TRACE(n);
    Decoded part;
    const Status s = decode(Bytes(file.data(), n), Limits{}, part);
    if (s.ok()) {
      EXPECT_TRUE(part.truncated);
      EXPECT_EQ(part.picture.width(), 24u);
    } else {
      EXPECT_TRUE(part.picture.empty());
    }
  }
}

// The start-of-frame segment of one of our files, where the size sits.
size_t sofAt(const ByteVec& file) {
  for (size_t i = 2; i + 1 < file.size(); ++i)
    if (file[i] == 0xFF && file[i + 1] == 0xC0) return i;
  return 0;
}

TEST(Jpeg, AbsurdSizesFailBeforeAllocating) {
  ByteVec file = encoded(test::makePhoto(16, 16));
  const size_t sof = sofAt(file);
  ASSERT_GT(sof, 0u);
  struct Case {
    uint16_t w, h;
    ErrorCode code;
  };
  // 65500 × 65500 would take 12 GB; 40000 × 30000 breaks only the pixel
  // limit; past 65500 libjpeg itself refuses the header.
  for (const Case& c :
       {Case{65500, 65500, ErrorCode::LimitExceeded}, Case{65535, 65535, ErrorCode::BadHeader},
        Case{40000, 30000, ErrorCode::LimitExceeded}, Case{16, 0, ErrorCode::BadHeader}}) {
    SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
    ByteVec forged = file;
    forged[sof + 5] = uint8_t(c.h >> 8);
    forged[sof + 6] = uint8_t(c.h);
    forged[sof + 7] = uint8_t(c.w >> 8);
    forged[sof + 8] = uint8_t(c.w);
    Decoded d;
    EXPECT_EQ(decode(forged, Limits{}, d).code(), c.code);
  }
  Decoded d;
  EXPECT_EQ(decode(file, Limits{65535, 100}, d).code(), ErrorCode::LimitExceeded);
}

}  // namespace
}  // namespace zelmar::jpeg
