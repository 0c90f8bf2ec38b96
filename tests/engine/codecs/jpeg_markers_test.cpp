#include "engine/codecs/jpeg_markers.h"

#include <gtest/gtest.h>

#include "support/pictures.h"
#include "support/tiff_jpeg_oracle.h"

namespace zelmar::jpeg {
namespace {

using test::ByteVec;

// Patches the orientation tag's type or value in a block from exifBlock()
// (the third entry of IFD0, which starts at offset 10).
ByteVec patchedBlock(bool bigEndian, size_t fieldOffset, uint16_t v) {
  ByteVec b = test::exifBlock(1, bigEndian);
  const size_t at = 10 + 2 * 12 + fieldOffset;
  b[at + (bigEndian ? 1 : 0)] = uint8_t(v);
  b[at + (bigEndian ? 0 : 1)] = uint8_t(v >> 8);
  return b;
}

TEST(ExifOrientation, ReadsTheTagInBothByteOrders) {
  for (bool be : {false, true})
    for (int o = 1; o <= 8; ++o) {
      SCOPED_TRACE(testing::Message() << (be ? "MM " : "II ") << o);
      EXPECT_EQ(exifOrientation(test::exifBlock(o, be)), o);
    }
}

TEST(ExifOrientation, InvalidValuesAndTypesMeanAsStored) {
  for (bool be : {false, true}) {
    SCOPED_TRACE(be ? "MM" : "II");
    EXPECT_EQ(exifOrientation(test::exifBlock(0, be)), 1);
    EXPECT_EQ(exifOrientation(test::exifBlock(9, be)), 1);
    EXPECT_EQ(exifOrientation(patchedBlock(be, 2, 4)), 1);       // a LONG, not a SHORT
    EXPECT_EQ(exifOrientation(patchedBlock(be, 0, 0x0113)), 1);  // no orientation tag
  }
  EXPECT_EQ(exifOrientation({}), 1);
  ByteVec noMagic = test::exifBlock(6, false);
  noMagic[2] = 43;
  EXPECT_EQ(exifOrientation(noMagic), 1);
}

TEST(ExifOrientation, HostileBlocksNeverReadPastTheEnd) {
  // Every prefix of a valid block: the tag is found only when it is whole.
  const ByteVec full = test::exifBlock(6, true);
  const size_t tagEnd = 10 + 3 * 12;
  for (size_t n = 0; n <= full.size(); ++n) {
    SCOPED_TRACE(n);
    const ByteVec cut(full.begin(), full.begin() + long(n));
    EXPECT_EQ(exifOrientation(cut), n >= tagEnd ? 6 : 1);
  }
  // An IFD offset past the end, and an entry count far beyond the data.
  ByteVec farIfd = test::exifBlock(6, false);
  farIfd[4] = 0xF0;
  farIfd[7] = 0x7F;
  EXPECT_EQ(exifOrientation(farIfd), 1);
  ByteVec manyEntries = test::exifBlock(3, false);
  ByteVec onlyTwo(manyEntries.begin(), manyEntries.begin() + 10 + 2 * 12);
  onlyTwo[8] = 0xFF;
  onlyTwo[9] = 0xFF;
  EXPECT_EQ(exifOrientation(onlyTwo), 1);
}

ByteVec segment(uint8_t marker, const ByteVec& payload) {
  ByteVec s = {0xFF, marker, uint8_t((payload.size() + 2) >> 8), uint8_t(payload.size() + 2)};
  s.insert(s.end(), payload.begin(), payload.end());
  return s;
}

ByteVec exifPayload(int orientation) {
  ByteVec p = {'E', 'x', 'i', 'f', 0, 0};
  const ByteVec b = test::exifBlock(orientation, false);
  p.insert(p.end(), b.begin(), b.end());
  return p;
}

ByteVec concat(std::initializer_list<ByteVec> parts) {
  ByteVec v;
  for (const auto& p : parts) v.insert(v.end(), p.begin(), p.end());
  return v;
}

TEST(JpegMarkers, FindsExifAndAdobeBeforeTheScan) {
  const ByteVec soi = {0xFF, 0xD8};
  const ByteVec jfif = segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 2});
  const ByteVec adobe = segment(0xEE, {'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 2});
  const ByteVec sos = {0xFF, 0xDA, 0, 2};

  MarkerInfo m = scanMarkers(concat({soi, jfif, segment(0xE1, exifPayload(8)), adobe, sos}));
  EXPECT_EQ(m.orientation, 8);
  EXPECT_TRUE(m.adobe);

  // Fill bytes before a marker are allowed; only the first EXIF segment counts.
  m = scanMarkers(concat(
      {soi, {0xFF, 0xFF}, segment(0xE1, exifPayload(6)), segment(0xE1, exifPayload(3)), sos}));
  EXPECT_EQ(m.orientation, 6);
  EXPECT_FALSE(m.adobe);

  // Segments after the first scan are pixel data, not markers to trust.
  m = scanMarkers(concat({soi, sos, segment(0xE1, exifPayload(6)), adobe}));
  EXPECT_EQ(m.orientation, 1);
  EXPECT_FALSE(m.adobe);
}

TEST(JpegMarkers, MalformedSegmentsEndTheWalk) {
  const ByteVec good = concat({{0xFF, 0xD8}, segment(0xE1, exifPayload(5))});
  // A length running past the end, a length below 2, and no start of image.
  ByteVec overrun = good;
  overrun[4] = 0x7F;
  EXPECT_EQ(scanMarkers(overrun).orientation, 1);
  ByteVec tiny = good;
  tiny[4] = 0;
  tiny[5] = 1;
  EXPECT_EQ(scanMarkers(tiny).orientation, 1);
  EXPECT_EQ(scanMarkers(ByteVec(good.begin() + 2, good.end())).orientation, 1);
  for (size_t n = 0; n <= good.size(); ++n)
    EXPECT_EQ(scanMarkers(ByteVec(good.begin(), good.begin() + long(n))).orientation,
              n == good.size() ? 5 : 1);
}

// A 3 × 2 picture whose pixels are a b c / d e f, at depth `bits`.
Picture letters(int bits) {
  Picture p;
  EXPECT_TRUE(Picture::create(3, 2, bits, p).ok());
  for (int i = 0; i < 6; ++i) {
    if (bits == 24) {
      p.data()[3 * i] = uint8_t('a' + i);
      p.data()[3 * i + 1] = uint8_t(i);
      p.data()[3 * i + 2] = uint8_t(200 + i);
    } else {
      p.data()[i] = uint8_t('a' + i);
    }
  }
  return p;
}

std::string spelled(const Picture& p) {
  std::string s;
  for (uint32_t y = 0; y < p.height(); ++y) {
    if (y) s += '/';
    for (uint32_t x = 0; x < p.width(); ++x) {
      const uint8_t* px = p.row(y) + x * p.bytesPerPixel();
      s += char(px[0]);
      if (p.bits() == 24 && (px[1] != px[0] - 'a' || px[2] != 200 + px[1])) s += '?';
    }
  }
  return s;
}

TEST(ApplyOrientation, TurnsEveryOrientationUpright) {
  // What a viewer shows for each EXIF orientation of the stored "abc/def".
  const char* upright[] = {"abc/def",  "cba/fed",  "fed/cba",  "def/abc",
                           "ad/be/cf", "da/eb/fc", "fc/eb/da", "cf/be/ad"};
  for (int bits : {8, 24})
    for (int o = 1; o <= 8; ++o) {
      SCOPED_TRACE(testing::Message() << bits << " bits, orientation " << o);
      Picture p = letters(bits);
      ASSERT_TRUE(applyOrientation(p, o).ok());
      EXPECT_EQ(spelled(p), upright[o - 1]);
      EXPECT_EQ(p.bits(), bits);
    }
  Picture p = letters(8);
  ASSERT_TRUE(applyOrientation(p, 42).ok());
  EXPECT_EQ(spelled(p), "abc/def");
}

}  // namespace
}  // namespace zelmar::jpeg
