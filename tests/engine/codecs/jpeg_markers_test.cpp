// The marker walk and the EXIF orientation parser on hand-built segments,
// and the turns each orientation asks for.
#include "engine/codecs/jpeg_markers.h"

#include <gtest/gtest.h>

#include "engine/codecs/codec_checks.h"

namespace zelmar::test {
namespace {

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
