// JPEG files of other writers, the quality our factor maps to, EXIF
// orientation, and files cut short.
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
  const auto q = [](std::vector<std::string> more) {
    more.insert(more.begin(), {"-quality", "95"});
    return more;
  };
  expectReadsLikeItsMaker(
      jpeg::decode,
      {
          {im, 0, false, q({"-sampling-factor", "1x1"}), "a.jpg", 24, 24, format::kJpeg444, "JPEG",
           2},
          {im, 0, false, q({"-sampling-factor", "2x1"}), "a.jpg", 24, 24, format::kJpeg422, "JPEG",
           2},
          {im, 0, false, q({"-sampling-factor", "2x2"}), "a.jpg", 24, 24, format::kJpeg420, "JPEG",
           2},
          {im, 0, false, q({"-sampling-factor", "4x1"}), "a.jpg", 24, 24, format::kJpeg420, "JPEG",
           2},
          {im, 0, false, q({"-sampling-factor", "1x2"}), "a.jpg", 24, 24, format::kJpeg422, "JPEG",
           2},
          {im, 0, false, q({"-sampling-factor", "2x2", "-interlace", "Plane"}), "a.jpg", 24, 24,
           format::kJpeg420, "JPEG", 2},
          {im, 8, true, q({}), "a.jpg", 8, 8, format::kJpeg444, "JPEG", 2},
          {im, 8, true, q({"-interlace", "Plane"}), "a.jpg", 8, 8, format::kJpeg444, "JPEG", 2},
          // CMYK as both write it, Adobe's inverted samples: read plainly it
          // would be a negative. GraphicsMagick separates black its own way,
          // so the file, not the source, is the reference.
          {im, 0, false, q({"-colorspace", "CMYK"}), "a.jpg", 24, 32, format::kJpeg444, "JPEG", 2},
          {gm, 0, false, q({"-colorspace", "CMYK"}), "a.jpg", 24, 32, format::kJpeg444, "JPEG", 2,
           im},
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

}  // namespace
}  // namespace zelmar::test
