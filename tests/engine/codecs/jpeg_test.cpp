// JPEG files of other writers, the quality our factor maps to, EXIF
// orientation, files cut short, and the marker walk on hand-built segments.
#include "engine/codecs/jpeg.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/codecs/codec_checks.h"
#include "engine/codecs/jpeg_markers.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

TEST(Jpeg, ProbeWantsStartOfImageAndAMarkerAndFactorsStayInRange) {
  EXPECT_TRUE(jpeg::probe(encodeOk(jpeg::encode, makePhoto(8, 8))));
  for (const ByteVec& bad : {ByteVec{0xFF, 0xD8}, ByteVec{'I', 'I', 42, 0}})
    EXPECT_FALSE(jpeg::probe(bad));
  OutputBuffer out;
  for (int factor : {1, 256})
    EXPECT_EQ(jpeg::encode(makePhoto(8, 8), {factor}, out).code(), ErrorCode::InvalidArgument);
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

TEST(Jpeg, FactorMapsToTheQualityOfOtherWritersAtFourTwoZero) {
  REQUIRE_TOOL(Tool::ImageMagick);
  const Picture photo = makePhoto(32, 32);
  for (const auto& [factor, quality] :
       {std::pair{2, "100"}, {64, "75"}, {129, "49"}, {254, "1"}, {255, "1"}}) {
    const ByteVec theirs = toolWrites(Tool::ImageMagick, photo, {"-quality", quality}, "a.jpg");
    const ByteVec ours = encodeOk(jpeg::encode, photo, factor);
    EXPECT_FALSE(quantTables(ours).empty());
    EXPECT_EQ(quantTables(ours), quantTables(theirs)) << factor;
  }
  EXPECT_EQ(toolIdentify(encodeOk(jpeg::encode, photo), ".jpg", "%[jpeg:sampling-factor]"),
            "2x2,1x1,1x1");
}

TEST(Jpeg, FilesOfOtherWritersReadAsTheyReadThem) {
  REQUIRE_TOOL(Tool::ImageMagick);
  REQUIRE_TOOL(Tool::GraphicsMagick);
  const Tool im = Tool::ImageMagick, gm = Tool::GraphicsMagick;
  const int j444 = format::kJpeg444, j422 = format::kJpeg422, j420 = format::kJpeg420;
  expectReadsLikeItsMaker(
      jpeg::decode, ".jpg",
      {
          {im, "photo", "-quality 95 -sampling-factor 1x1", 24, 24, j444, "JPEG", 2},
          {im, "photo", "-quality 95 -sampling-factor 2x1", 24, 24, j422, "JPEG", 2},
          {im, "photo", "-quality 95 -sampling-factor 2x2", 24, 24, j420, "JPEG", 2},
          {im, "photo", "-quality 95 -sampling-factor 4x1", 24, 24, j420, "JPEG", 2},
          {im, "photo", "-quality 95 -sampling-factor 1x2", 24, 24, j422, "JPEG", 2},
          {im, "photo", "-quality 95 -sampling-factor 2x2 -interlace Plane", 24, 24, j420, "JPEG",
           2},
          {im, "8g", "-quality 95", 8, 8, j444, "JPEG", 2},
          {im, "8g", "-quality 95 -interlace Plane", 8, 8, j444, "JPEG", 2},
          // CMYK as both write it, Adobe's inverted samples: read plainly it
          // would be a negative. GraphicsMagick separates black its own way,
          // so the file, not the source, is the reference.
          {im, "photo", "-quality 95 -colorspace CMYK", 24, 32, j444, "JPEG", 2},
          {gm, "photo", "-quality 95 -colorspace CMYK", 24, 32, j444, "JPEG", 2, im},
      });
}

TEST(Jpeg, ExifOrientationStandsThePictureUpLikeOtherViewers) {
  REQUIRE_TOOL(Tool::ImageMagick);
  const ByteVec plain = encodeOk(jpeg::encode, makePhoto(40, 24), 2);
  for (bool be : {false, true})
    for (int o = 1; o <= 8; ++o) {
      SCOPED_TRACE(testing::Message() << (be ? "MM " : "II ") << o);
      const ByteVec file = withApp1Exif(plain, exifBlock(o, be));
      const Decoded d = decodeOk(jpeg::decode, file);
      EXPECT_EQ(factsOf(d), (Facts{24, 24, 40, 24, format::kJpeg420, "JPEG"}));  // sizes as stored
      EXPECT_TRUE(
          closeColours(d.picture, toolReads(Tool::ImageMagick, file, ".jpg", {"-auto-orient"}), 1));
    }
}

TEST(Jpeg, CutShortFilesLoadTheirUpperPart) {
  REQUIRE_TOOL(Tool::ImageMagick);
  const Picture photo = makePhoto(64, 64);
  const ByteVec baseline = encodeOk(jpeg::encode, photo, 2);
  const Decoded d = decodeOk(
      jpeg::decode, ByteVec(baseline.begin(), baseline.begin() + long(baseline.size() * 6 / 10)));
  const Picture whole = decodeOk(jpeg::decode, baseline).picture;
  EXPECT_TRUE(d.truncated);
  // The rows that arrived are exact; the rows that did not are black.
  EXPECT_TRUE(
      std::equal(d.picture.data(), d.picture.data() + 16 * d.picture.stride(), whole.data()));
  EXPECT_TRUE(std::all_of(d.picture.row(63), d.picture.row(63) + d.picture.stride(),
                          [](uint8_t v) { return v == 0; }));
  // A progressive file cut short has every row, only coarser.
  const ByteVec progressive =
      toolWrites(Tool::ImageMagick, photo, {"-interlace", "Plane", "-quality", "95"}, "a.jpg");
  const Decoded p = decodeOk(
      jpeg::decode,
      ByteVec(progressive.begin(), progressive.begin() + long(progressive.size() * 6 / 10)));
  EXPECT_TRUE(p.truncated);
  EXPECT_LT(meanChannelDiff(p.picture, photo), 8.0);
}

TEST(Jpeg, SizesLibjpegRefusesAreBrokenHeaders) {
  // libjpeg itself refuses sizes past 65500 and a height of zero.
  ByteVec file = encodeOk(jpeg::encode, makePhoto(16, 16));
  const uint8_t marker[] = {0xFF, 0xC0};
  const size_t sof =
      size_t(std::search(file.begin(), file.end(), marker, marker + 2) - file.begin());
  ASSERT_LT(sof, file.size());
  for (const auto& [w, h] : {std::pair{65535, 65535}, {16, 0}}) {
    ByteVec forged = file;
    forged[sof + 5] = uint8_t(h >> 8), forged[sof + 6] = uint8_t(h),
                 forged[sof + 7] = uint8_t(w >> 8), forged[sof + 8] = uint8_t(w);
    Decoded d;
    EXPECT_EQ(jpeg::decode(forged, {}, d).code(), ErrorCode::BadHeader) << w << "x" << h;
  }
}

using jpeg::exifOrientation;
using jpeg::scanMarkers;

// The orientation tag's type or value patched in an exifBlock (the third
// entry of the first directory, from offset 10).
ByteVec patchedBlock(bool bigEndian, size_t field, uint16_t v) {
  ByteVec b = exifBlock(1, bigEndian);
  const size_t at = 10 + 2 * 12 + field;
  b[at + (bigEndian ? 1 : 0)] = uint8_t(v);
  b[at + (bigEndian ? 0 : 1)] = uint8_t(v >> 8);
  return b;
}

TEST(ExifOrientation, ReadsTheTagInBothByteOrdersAndIgnoresWhatIsNotOne) {
  for (bool be : {false, true}) {
    SCOPED_TRACE(be ? "MM" : "II");
    for (int o = 1; o <= 8; ++o) EXPECT_EQ(exifOrientation(exifBlock(o, be)), o);
    EXPECT_EQ(exifOrientation(exifBlock(0, be)), 1);
    EXPECT_EQ(exifOrientation(exifBlock(9, be)), 1);
    EXPECT_EQ(exifOrientation(patchedBlock(be, 2, 4)), 1);       // a LONG, not a SHORT
    EXPECT_EQ(exifOrientation(patchedBlock(be, 0, 0x0113)), 1);  // no orientation tag
  }
  ByteVec noMagic = exifBlock(6, false);
  noMagic[2] = 43;
  EXPECT_EQ(exifOrientation(noMagic), 1);
}

TEST(ExifOrientation, HostileBlocksNeverReadPastTheEnd) {
  // Every prefix: the tag is found only when it is whole.
  const ByteVec full = exifBlock(6, true);
  for (size_t n = 0; n <= full.size(); ++n)
    EXPECT_EQ(exifOrientation(ByteVec(full.begin(), full.begin() + long(n))),
              n >= 10 + 3 * 12 ? 6 : 1)
        << n;
  // A directory offset past the end, and an entry count far beyond the data.
  ByteVec farIfd = exifBlock(6, false), onlyTwo = exifBlock(3, false);
  farIfd[4] = 0xF0, farIfd[7] = 0x7F;
  onlyTwo.resize(10 + 2 * 12);
  onlyTwo[8] = onlyTwo[9] = 0xFF;
  EXPECT_EQ(exifOrientation(farIfd), 1);
  EXPECT_EQ(exifOrientation(onlyTwo), 1);
}

ByteVec segment(uint8_t marker, const ByteVec& payload) {
  return ByteBuilder(ByteBuilder::BigEndian)
      .bytes({0xFF, marker})
      .u16(uint16_t(payload.size() + 2))
      .append(payload)
      .b;
}

ByteVec exif(int orientation) {
  return ByteBuilder().bytes({'E', 'x', 'i', 'f', 0, 0}).append(exifBlock(orientation, false)).b;
}

ByteVec concat(std::initializer_list<ByteVec> parts) {
  ByteBuilder f;
  for (const auto& p : parts) f.append(p);
  return f.b;
}

TEST(JpegMarkers, FindsExifAndAdobeBeforeTheScanOnly) {
  const ByteVec soi = {0xFF, 0xD8}, sos = {0xFF, 0xDA, 0, 2};
  const ByteVec jfif = segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 2});
  const ByteVec adobe = segment(0xEE, {'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 2});
  const ByteVec file = concat({soi, jfif, segment(0xE1, exif(8)), adobe, sos, {1, 2}});
  const struct {
    const char* name;
    ByteVec file;
    int orientation;
    bool adobe;
  } cases[] = {
      {"EXIF and Adobe", file, 8, true},
      // Fill bytes before a marker are allowed; only the first EXIF segment counts.
      {"fill and two EXIF",
       concat({soi, {0xFF, 0xFF}, segment(0xE1, exif(6)), segment(0xE1, exif(3)), sos}), 6, false},
      // Segments after the first scan are pixel data, not markers to trust.
      {"after the scan", concat({soi, sos, segment(0xE1, exif(6)), adobe}), 1, false},
  };
  for (const auto& c : cases) {
    const jpeg::MarkerInfo m = scanMarkers(c.file);
    EXPECT_EQ(m.orientation, c.orientation) << c.name;
    EXPECT_EQ(m.adobe, c.adobe) << c.name;
  }
  EXPECT_EQ(scanMarkers(file).scanData, file.size() - 2);  // the coded data follows the scan header
}

TEST(JpegMarkers, MalformedSegmentsEndTheWalk) {
  const ByteVec good = concat({{0xFF, 0xD8}, segment(0xE1, exif(5))});
  ByteVec overrun = good, tiny = good;
  overrun[4] = 0x7F;         // a length running past the end
  tiny[4] = 0, tiny[5] = 1;  // a length below 2
  for (const ByteVec& bad : {overrun, tiny, ByteVec(good.begin() + 2, good.end())}) {
    EXPECT_EQ(scanMarkers(bad).orientation, 1);
    EXPECT_EQ(scanMarkers(bad).scanData, 0u);
  }
  for (size_t n = 0; n <= good.size(); ++n)
    EXPECT_EQ(scanMarkers(ByteVec(good.begin(), good.begin() + long(n))).orientation,
              n == good.size() ? 5 : 1);
}

TEST(ApplyOrientation, TurnsEveryOrientationUpright) {
  // What a viewer shows for each orientation of the stored "abc/def".
  const char* upright[] = {"abc/def",  "cba/fed",  "fed/cba",  "def/abc",
                           "ad/be/cf", "da/eb/fc", "fc/eb/da", "cf/be/ad"};
  for (int bits : {8, 24})
    for (int o = 1; o <= 9; ++o) {
      Picture p;
      ASSERT_TRUE(Picture::create(3, 2, bits, p).ok());
      for (size_t i = 0; i < p.byteSize(); ++i) p.data()[i] = uint8_t('a' + i / p.bytesPerPixel());
      ASSERT_TRUE(jpeg::applyOrientation(p, o == 9 ? 42 : o).ok());  // nonsense means as stored
      std::string seen;
      for (uint32_t y = 0; y < p.height(); ++y) {
        if (y) seen += '/';
        for (uint32_t x = 0; x < p.width(); ++x) seen += char(p.row(y)[x * p.bytesPerPixel()]);
      }
      EXPECT_EQ(seen, upright[o == 9 ? 0 : o - 1]) << bits << " bits, orientation " << o;
      EXPECT_EQ(p.bits(), bits);
    }
}

}  // namespace
}  // namespace zelmar::test
