// JPEG: the quality our factor maps to, EXIF orientation, files with
// libjpeg's warnings or cut short, and the marker walk on hand-built segments.
#include "engine/codecs/jpeg.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/codecs/codec_checks.h"
#include "engine/codecs/jpeg_markers.h"
#include "engine/ops/ops.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

// An EXIF block whose first directory holds two ordinary tags, then the
// orientation (a SHORT), in either byte order; and a JPEG carrying it.
ByteVec exifBlock(int orientation, bool bigEndian) {
  ByteBuilder f(bigEndian ? ByteBuilder::BigEndian : ByteBuilder::LittleEndian);
  f.bytes({uint8_t(bigEndian ? 'M' : 'I'), uint8_t(bigEndian ? 'M' : 'I')}).u16(42).u32(8).u16(3);
  // ImageWidth (a LONG) and a resolution unit (a SHORT) before the orientation.
  f.u16(0x0100).u16(4).u32(1).u32(640);
  f.u16(0x0128).u16(3).u32(1).u16(2).u16(0);
  f.u16(0x0112).u16(3).u32(1).u16(uint16_t(orientation)).u16(0);
  return f.u32(0).b;  // no next directory
}
ByteVec withApp1Exif(Bytes jpeg, const ByteVec& block) {
  ByteBuilder f(ByteBuilder::BigEndian);
  f.bytes({0xFF, 0xD8, 0xFF, 0xE1}).u16(uint16_t(2 + 6 + block.size()));
  f.bytes({'E', 'x', 'i', 'f', 0, 0}).append(block);
  return f.append(ByteVec(jpeg.begin() + 2, jpeg.end())).b;
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

TEST(Jpeg, QualityAndOrientationAsOtherProgramsHaveThemWarningsAndFilesCutShortLoad) {
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
  OutputBuffer out;  // factors run from 2 to 255
  for (int factor : {1, 256})
    EXPECT_EQ(jpeg::encode(photo, {factor}, out).code(), ErrorCode::InvalidArgument);
  EXPECT_EQ(out.size(), 0u);
  // EXIF orientation stands the picture up as other viewers do; grey
  // pictures turn through their own path.
  Picture gray = makePhoto(40, 24);
  ASSERT_TRUE(ops::toGrayscale(gray).ok());
  for (const Picture& src : {makePhoto(40, 24), copyOf(gray)})
    for (int o = 1; o <= 16; ++o) {
      SCOPED_TRACE(testing::Message() << src.bits() << " bits, " << (o > 8 ? "MM " : "II ") << o);
      const ByteVec file =
          withApp1Exif(encodeOk(jpeg::encode, src, 2), exifBlock((o - 1) % 8 + 1, o > 8));
      const Decoded d = decodeOk(jpeg::decode, file);
      EXPECT_EQ(factsOf(d), (Facts{src.bits(), src.bits(), 40, 24,
                                   src.bits() == 8 ? format::kJpeg444 : format::kJpeg420, "JPEG",
                                   src.bits() == 8}));  // sizes as stored
      EXPECT_TRUE(
          closeColours(d.picture, toolReads(Tool::ImageMagick, file, ".jpg", {"-auto-orient"}), 1));
    }
  // libjpeg's warnings are no failures: what decodes loads, the rows never
  // reached black (a file with no decodable scan is refused: refused/).
  const Picture whole = decodeOk(jpeg::decode, dataFile("jpeg-clean.jpg")).picture;
  // The same file with bytes before a marker, or another picture after it.
  for (const char* name :
       {"jpeg-stray-bytes-before-a-table.jpg", "jpeg-stray-bytes-before-the-scan.jpg",
        "jpeg-a-second-picture-after-the-first.jpg"}) {
    const Decoded d = decodeOk(jpeg::decode, dataFile(name));
    EXPECT_FALSE(d.truncated) << name;
    EXPECT_TRUE(closeColours(d.picture, whole, 0)) << name;
  }
  const Decoded cut = decodeOk(jpeg::decode, dataFile("jpeg-cut-inside-the-scan.jpg"));
  const Picture& p = cut.picture;
  EXPECT_TRUE(cut.truncated);
  ASSERT_EQ(p.height(), whole.height());
  EXPECT_TRUE(std::equal(p.data(), p.data() + 16 * p.stride(), whole.data()));
  EXPECT_TRUE(std::all_of(p.row(159), p.row(159) + p.stride(), [](uint8_t v) { return !v; }));
  // A progressive file cut short has every row, only coarser.
  const Picture big = makePhoto(64, 64);
  const ByteVec progressive =
      toolWrites(Tool::ImageMagick, big, {"-interlace", "Plane", "-quality", "95"}, "a.jpg");
  const Decoded coarse = decodeOk(
      jpeg::decode,
      ByteVec(progressive.begin(), progressive.begin() + long(progressive.size() * 6 / 10)));
  EXPECT_TRUE(coarse.truncated);
  EXPECT_LT(meanChannelDiff(coarse.picture, big), 8.0);
}

// What is not an orientation tag, or not whole, means the picture as
// stored: blocks under exif-as-stored/ (a value out of range, a LONG, another
// tag, no magic number, a directory past the end, too few entries) and
// every prefix of a whole one.
TEST(JpegMarkers, ExifAndAdobeFoundBeforeTheScanOnlyAndWhatIsNotWholeMeansAsStored) {
  for (const std::string& name : dataFiles("exif-as-stored"))
    EXPECT_EQ(jpeg::exifOrientation(dataFile(name)), 1) << name;
  for (bool bigEndian : {false, true}) {
    const ByteVec full = exifBlock(6, bigEndian);
    for (size_t n = 0; n <= full.size(); ++n)
      EXPECT_EQ(jpeg::exifOrientation(Bytes(full.data(), n)), n >= 46 ? 6 : 1) << n;
  }
  // Files of hand-built segments: EXIF and Adobe found before the first
  // scan only, and nothing trusted past a malformed segment.
  const struct {
    const char* name;
    int orientation;
    bool adobe;
  } cases[] = {
      {"exif-and-adobe", 8, true},
      // Fill bytes before a marker are allowed; only the first EXIF segment counts.
      {"fill-and-two-exif", 6, false},
      // Segments after the first scan are pixel data, not markers to trust.
      {"after-the-scan", 1, false},
      {"length-past-the-end", 1, false},
      {"length-below-2", 1, false},
      {"no-start", 1, false},
  };
  for (const auto& c : cases) {
    const ByteVec file = dataFile(std::string("jpeg-markers-") + c.name + ".jpg");
    EXPECT_EQ(jpeg::scanMarkers(file).orientation, c.orientation) << c.name;
    EXPECT_EQ(jpeg::scanMarkers(file).adobe, c.adobe) << c.name;
  }
  // The coded data follows the scan header, two bytes before the end.
  const ByteVec both = dataFile("jpeg-markers-exif-and-adobe.jpg");
  EXPECT_EQ(jpeg::scanMarkers(both).scanData, both.size() - 2);
  EXPECT_EQ(jpeg::scanMarkers(dataFile("jpeg-markers-length-past-the-end.jpg")).scanData, 0u);
  // An EXIF segment (orientation 5) cut anywhere counts for nothing.
  const ByteVec alone = dataFile("jpeg-markers-exif-5-alone.jpg");
  for (size_t n = 0; n < alone.size(); ++n)
    EXPECT_EQ(jpeg::scanMarkers(Bytes(alone.data(), n)).orientation, 1) << n;
}

}  // namespace
}  // namespace zelmar::test
