#include "engine/codecs/targa.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine/io/formats.h"
#include "support/pictures.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/tga_cmp_files.h"

namespace zelmar {
namespace {

using test::makePattern;
using test::maxChannelDiff;
using test::pixelAt;
using test::sameColors;

std::vector<uint8_t> encodeTga(const Picture& p) {
  OutputBuffer out;
  EXPECT_TRUE(targa::encode(p, {}, out).ok());
  return {out.data(), out.data() + out.size()};
}

Status decodeTga(const std::vector<uint8_t>& bytes, Decoded& out, const Limits& limits = {}) {
  return targa::decode(Bytes(bytes.data(), bytes.size()), limits, out);
}

constexpr uint8_t kMapped = 1, kTrueColor = 2, kGray = 3;

// A Targa file built by hand, independently of our writer, in any layout.
struct Layout {
  uint8_t type = 2;  // 1 mapped, 2 true colour, 3 grey; +8 run-length encoded
  int depth = 24;    // bits per stored pixel
  bool topDown = false, rightToLeft = false;
  std::string id = "";
  int mapFirst = 0;  // colour-mapped: the index of the first map entry
  int mapBits = 24;  // colour-mapped: bits per map entry
};

void putColor(std::vector<uint8_t>& f, Rgb c, int bits) {
  if (bits <= 16) {
    const unsigned v = 0x8000u | (c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3);
    f.insert(f.end(), {uint8_t(v), uint8_t(v >> 8)});
  } else {
    f.insert(f.end(), {c.b, c.g, c.r});
    if (bits == 32) f.push_back(255);
  }
}

std::vector<uint8_t> storedPixel(const Picture& src, const Layout& l, uint32_t x, uint32_t y) {
  std::vector<uint8_t> px;
  const int base = l.type & 7;
  if (base == 1) px.push_back(uint8_t(src.row(y)[x] + l.mapFirst));
  if (base == 3) px.push_back(src.row(y)[x]);
  if (base == 3 && l.depth == 16) px.push_back(255);  // opaque
  if (base == 2) putColor(px, pixelAt(src, x, y), l.depth);
  return px;
}

std::vector<uint8_t> buildTga(const Picture& src, const Layout& l) {
  const size_t mapLength = (l.type & 7) == 1 ? src.palette().size() : 0;
  const uint32_t w = src.width(), h = src.height();
  std::vector<uint8_t> f = {uint8_t(l.id.size()),
                            uint8_t(mapLength ? 1 : 0),
                            l.type,
                            uint8_t(l.mapFirst),
                            uint8_t(l.mapFirst >> 8),
                            uint8_t(mapLength),
                            uint8_t(mapLength >> 8),
                            uint8_t(mapLength ? l.mapBits : 0),
                            0,
                            0,
                            0,
                            0,
                            uint8_t(w),
                            uint8_t(w >> 8),
                            uint8_t(h),
                            uint8_t(h >> 8),
                            uint8_t(l.depth),
                            uint8_t((l.topDown ? 0x20 : 0) | (l.rightToLeft ? 0x10 : 0))};
  f.insert(f.end(), l.id.begin(), l.id.end());
  for (size_t i = 0; i < mapLength; ++i) putColor(f, src.palette()[i], l.mapBits);
  std::vector<std::vector<uint8_t>> stream;  // pixels in file order
  for (uint32_t r = 0; r < h; ++r)
    for (uint32_t i = 0; i < w; ++i)
      stream.push_back(
          storedPixel(src, l, l.rightToLeft ? w - 1 - i : i, l.topDown ? r : h - 1 - r));
  if (!(l.type & 8)) {
    for (const auto& px : stream) f.insert(f.end(), px.begin(), px.end());
    return f;
  }
  // Packets run straight across row ends, as many writers' do.
  for (size_t i = 0; i < stream.size();) {
    size_t run = 1;
    while (i + run < stream.size() && run < 128 && stream[i + run] == stream[i]) ++run;
    if (run > 1) {
      f.push_back(uint8_t(0x80 | (run - 1)));
      f.insert(f.end(), stream[i].begin(), stream[i].end());
    } else {
      while (i + run < stream.size() && run < 128 && stream[i + run] != stream[i + run - 1]) ++run;
      f.push_back(uint8_t(run - 1));
      for (size_t k = i; k < i + run; ++k) f.insert(f.end(), stream[k].begin(), stream[k].end());
    }
    i += run;
  }
  return f;
}

// A picture with runs (for the RLE paths) and detail.
Picture runsAndDetail(uint32_t w, uint32_t h, int bits, bool gray = false) {
  Picture p = makePattern(w, h, bits, gray);
  for (uint32_t y = 0; y < h; y += 2) std::fill(p.row(y), p.row(y) + p.stride() / 2, p.row(y)[0]);
  return p;
}

TEST(Targa, RoundTripsEveryDepthWeWrite) {
  for (int bits : {1, 4, 8, 24})
    for (bool gray : {false, true})
      for (uint32_t w : {1u, 7u, 33u}) {
        if (gray && bits == 24) continue;
        SCOPED_TRACE(testing::Message() << bits << " bits, gray " << gray << ", width " << w);
        const Picture src = makePattern(w, 5, bits, gray);
        Decoded d;
        ASSERT_TRUE(decodeTga(encodeTga(src), d).ok());
        EXPECT_TRUE(sameColors(src, d.picture));
        EXPECT_EQ(d.picture.bits(), bits == 24 ? 24 : 8);
        EXPECT_EQ(d.picture.isGray(), gray);
        EXPECT_FALSE(d.truncated);
        EXPECT_EQ(d.facts.fileFormat, 4);
        EXPECT_EQ(d.facts.originBits, bits == 24 ? 24 : 8);
        EXPECT_EQ(d.facts.originWidth, w);
        EXPECT_EQ(d.facts.originHeight, 5u);
        EXPECT_EQ(d.facts.compression, "None");
        EXPECT_EQ(d.facts.pageCount, 1);
      }
}

// The ImageMagick release here stores and reads Targa rows against the
// origin bit (its files come out upside down in every other reader), so
// GraphicsMagick is the oracle for row order; ImageMagick's files are
// checked against what GraphicsMagick makes of them.
TEST(Targa, OurFilesReadRightByGraphicsMagick) {
  test::TempDir dir;
  for (int bits : {1, 4, 8, 24}) {
    SCOPED_TRACE(bits);
    const Picture src = makePattern(33, 9, bits);
    const std::string file = dir.file("ours" + std::to_string(bits) + ".tga");
    ASSERT_TRUE(test::writeBytes(file, encodeTga(src)));
    Picture theirs;
    ASSERT_TRUE(test::readWithOracle(test::gm(), file, theirs));
    EXPECT_TRUE(sameColors(src, theirs));
  }
}

TEST(Targa, ReadsOtherProgramsFiles) {
  test::TempDir dir;
  const Picture colors = runsAndDetail(33, 9, 24), indexed = runsAndDetail(33, 9, 8),
                gray = runsAndDetail(33, 9, 8, true);
  struct Case {
    std::string tool;
    const Picture* src;
    std::vector<std::string> options;
    std::string compression;
    int originBits;
  };
  const Case cases[] = {
      {test::imConvert(), &colors, {}, "None", 24},
      {test::imConvert(), &colors, {"-compress", "RLE"}, "RLE", 24},
      {test::imConvert(), &colors, {"-type", "TrueColorAlpha"}, "None", 32},
      {test::imConvert(), &indexed, {"-type", "Palette"}, "None", 8},
      {test::imConvert(), &indexed, {"-type", "Palette", "-compress", "RLE"}, "RLE", 8},
      {test::imConvert(), &gray, {"-type", "Grayscale", "-compress", "RLE"}, "RLE", 8},
      {test::gm(), &colors, {}, "None", 24},
      {test::gm(), &indexed, {"-type", "Palette"}, "None", 8},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << n << " " << c.tool);
    const std::string file = dir.file("theirs" + std::to_string(n++) + ".tga");
    ASSERT_TRUE(test::writeWithOracle(c.tool, *c.src, file, c.options));
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    Decoded d;
    ASSERT_TRUE(decodeTga(bytes, d).ok());
    Picture gmView;
    ASSERT_TRUE(test::readWithOracle(test::gm(), file, gmView));
    EXPECT_TRUE(sameColors(gmView, d.picture));
    if (c.tool == test::gm()) {
      EXPECT_TRUE(sameColors(*c.src, d.picture));
    }
    EXPECT_EQ(d.facts.compression, c.compression);
    EXPECT_EQ(d.facts.originBits, c.originBits);
  }
}

// Layouts no tool here writes, built by hand and checked against the source
// picture and, where one reads them, an oracle reading the same bytes.
TEST(Targa, ReadsEveryLayout) {
  test::TempDir dir;
  const Picture colors = runsAndDetail(13, 6, 24), indexed = runsAndDetail(13, 6, 4),
                gray = runsAndDetail(13, 6, 8, true);
  const std::string gm = test::gm(), im = test::imConvert(), none;
  struct Case {
    const Picture* src;
    Layout layout;
    int tolerance;       // 5-bit channels lose the low bits
    std::string oracle;  // none reads right-to-left rows or grey with alpha
  };
  std::vector<Case> cases;
  for (uint8_t rle : {0, 8}) {
    const auto rgb = uint8_t(kTrueColor + rle), grey = uint8_t(kGray + rle);
    for (bool top : {false, true})
      for (bool rtl : {false, true})
        cases.push_back(
            {&colors, {.type = rgb, .topDown = top, .rightToLeft = rtl}, 0, rtl ? none : gm});
    cases.push_back({&colors, {.type = rgb, .depth = 32, .topDown = true, .id = "an ID"}, 0, gm});
    cases.push_back({&colors, {.type = rgb, .depth = 16}, 8, gm});
    cases.push_back({&colors, {.type = rgb, .depth = 15, .topDown = true}, 8, gm});
    cases.push_back({&gray, {.type = grey, .depth = 8, .topDown = true}, 0, gm});
    cases.push_back({&gray, {.type = grey, .depth = 16}, 0, none});
    // Only ImageMagick honours the first map index, and only top-down rows.
    for (int mapBits : {15, 16, 24, 32})
      cases.push_back({&indexed,
                       {.type = uint8_t(kMapped + rle),
                        .depth = 8,
                        .topDown = true,
                        .id = "id",
                        .mapFirst = 100,
                        .mapBits = mapBits},
                       mapBits <= 16 ? 8 : 0,
                       im});
  }
  int n = 0;
  for (const Case& c : cases) {
    const Layout& l = c.layout;
    SCOPED_TRACE(testing::Message()
                 << "type " << int(l.type) << ", " << l.depth << " bits, top " << l.topDown
                 << ", right-to-left " << l.rightToLeft << ", map entries " << l.mapBits);
    const auto bytes = buildTga(*c.src, l);
    Decoded d;
    ASSERT_TRUE(targa::probe(Bytes(bytes.data(), bytes.size())));
    ASSERT_TRUE(decodeTga(bytes, d).ok());
    EXPECT_LE(maxChannelDiff(*c.src, d.picture), c.tolerance);
    EXPECT_EQ(d.picture.bits(), (l.type & 7) == kTrueColor ? 24 : 8);
    EXPECT_EQ(d.facts.compression, l.type & 8 ? "RLE" : "None");
    EXPECT_FALSE(d.truncated);

    if (c.oracle.empty()) continue;
    const std::string file = dir.file("layout" + std::to_string(n++) + ".tga");
    ASSERT_TRUE(test::writeBytes(file, bytes));
    Picture theirs;
    ASSERT_TRUE(test::readWithOracle(c.oracle, file, theirs));
    EXPECT_LE(maxChannelDiff(theirs, d.picture), c.tolerance ? 1 : 0);
  }
}

TEST(Targa, IndexesOutsideTheColorMapShowBlack) {
  // Four map entries numbered 2..5; the pixels use 0, 2, 5, 6 and 200.
  std::vector<uint8_t> f = {0, 1, 1, 2, 0, 4, 0, 24, 0, 0, 0, 0, 5, 0, 1, 0, 8, 0x20};
  for (uint8_t v : {10, 20, 30, 40}) f.insert(f.end(), {v, uint8_t(v + 1), uint8_t(v + 2)});
  f.insert(f.end(), {0, 2, 5, 6, 200});
  Decoded d;
  ASSERT_TRUE(decodeTga(f, d).ok());
  const Rgb black{}, first{12, 11, 10}, last{42, 41, 40};
  EXPECT_EQ(pixelAt(d.picture, 0, 0), black);
  EXPECT_EQ(pixelAt(d.picture, 1, 0), first);
  EXPECT_EQ(pixelAt(d.picture, 2, 0), last);
  EXPECT_EQ(pixelAt(d.picture, 3, 0), black);
  EXPECT_EQ(pixelAt(d.picture, 4, 0), black);
}

TEST(Targa, RunsCrossRowsAndStopAtThePictureEnd) {
  // 3 × 2 grey, top row first: one run of 4 spans both rows, then a raw
  // packet of 4 of which only 2 fit, then a stray run nobody needs.
  const std::vector<uint8_t> f = {0, 0, 11, 0,    0,    0,  0, 0, 0, 0, 0, 0,    3, 0,
                                  2, 0, 8,  0x20, 0x83, 50, 3, 1, 2, 3, 4, 0xff, 9};
  Decoded d;
  ASSERT_TRUE(decodeTga(f, d).ok());
  EXPECT_FALSE(d.truncated);
  const uint8_t want[2][3] = {{50, 50, 50}, {50, 1, 2}};
  for (uint32_t y = 0; y < 2; ++y)
    for (uint32_t x = 0; x < 3; ++x) EXPECT_EQ(d.picture.row(y)[x], want[y][x]) << x << "," << y;
}

TEST(Targa, CutShortFilesLoadWhatIsThere) {
  for (uint8_t type : {2, 10}) {
    SCOPED_TRACE(int(type));
    const Picture src = runsAndDetail(7, 4, 24);
    const auto whole = buildTga(src, {.type = type, .topDown = true});
    for (size_t len = 0; len < whole.size(); ++len) {
      SCOPED_TRACE(len);
      const std::vector<uint8_t> cut(whole.begin(), whole.begin() + len);
      Decoded d;
      const Status s = decodeTga(cut, d);
      if (len < 18 + 3 + (type == 10)) {
        EXPECT_EQ(s.code(), ErrorCode::Truncated);
        continue;
      }
      ASSERT_TRUE(s.ok()) << s.message();
      EXPECT_TRUE(d.truncated);
      // Every pixel is either the source's or black, and the first is there.
      EXPECT_EQ(pixelAt(d.picture, 0, 0), pixelAt(src, 0, 0));
      for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 7; ++x) {
          const Rgb got = pixelAt(d.picture, x, y);
          if (got != Rgb{}) {
            EXPECT_EQ(got, pixelAt(src, x, y)) << x << "," << y;
          }
        }
    }
  }
}

TEST(Targa, ProbeAndDecodeRejectImplausibleHeaders) {
  const auto good = buildTga(makePattern(4, 3, 8), {.type = 1, .depth = 8});
  ASSERT_TRUE(targa::probe(Bytes(good.data(), good.size())));
  struct Change {
    size_t at;
    uint8_t value;
  };
  const Change changes[] = {
      {2, 0},     {2, 4},  {2, 8}, {2, 12}, {2, 32},  // unknown image types
      {1, 2},                                         // colour map type
      {1, 0},                                         // mapped without a map
      {7, 8},     {7, 0},                             // map entry size
      {5, 0},     {6, 0},                             // empty map (4 + 6 clear the length)
      {16, 24},   {16, 4},                            // index depth
      {12, 0},    {14, 0},                            // zero width, height
      {17, 0x40},                                     // interleaved rows
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(testing::Message() << "byte " << c.at << " = " << int(c.value));
    auto bad = good;
    bad[c.at] = c.value;
    if (c.at == 5) bad[6] = 0;
    Decoded d;
    EXPECT_FALSE(targa::probe(Bytes(bad.data(), bad.size())));
    EXPECT_EQ(decodeTga(bad, d).code(), ErrorCode::BadHeader);
  }
  auto grey16 = buildTga(makePattern(4, 3, 8, true), {.type = 3, .depth = 16});
  auto colors12 = grey16;
  colors12[2] = 2;
  colors12[16] = 12;
  EXPECT_TRUE(targa::probe(Bytes(grey16.data(), grey16.size())));
  EXPECT_FALSE(targa::probe(Bytes(colors12.data(), colors12.size())));
  EXPECT_FALSE(targa::probe(Bytes(good.data(), 17)));
  Decoded d;
  EXPECT_EQ(decodeTga({}, d).code(), ErrorCode::Truncated);
  // Colour-map indexes of 16 bits are a real variant we do not read.
  auto wide = good;
  wide[16] = 16;
  EXPECT_EQ(decodeTga(wide, d).code(), ErrorCode::Unsupported);
}

TEST(Targa, RefusesHugeSizesBeforeAllocating) {
  // 65535 × 65535 true colour would need 12 GB; the data is 3 bytes.
  std::vector<uint8_t> f = {0, 0,    2,    0,    0,    0,  0, 0, 0, 0, 0,
                            0, 0xff, 0xff, 0xff, 0xff, 24, 0, 1, 2, 3};
  Decoded d;
  EXPECT_EQ(decodeTga(f, d).code(), ErrorCode::LimitExceeded);
  f[12] = f[13] = 0x10;  // 4112 × 65535 passes the default limits but not tight ones
  Limits tight;
  tight.maxPixels = 1 << 20;
  EXPECT_EQ(decodeTga(f, d, tight).code(), ErrorCode::LimitExceeded);
  EXPECT_TRUE(d.picture.empty());

  Picture wide;
  ASSERT_TRUE(Picture::create(65536, 1, 24, wide, {70000, 1 << 20}).ok());
  OutputBuffer out;
  EXPECT_EQ(targa::encode(wide, {}, out).code(), ErrorCode::LimitExceeded);
}

TEST(Targa, RegistryTakesItOnlyByExtension) {
  const auto bytes = encodeTga(makePattern(5, 5, 24));
  const Bytes data(bytes.data(), bytes.size());
  Decoded d;
  EXPECT_TRUE(decodeAny(data, ".TGA", {}, d).ok());
  EXPECT_EQ(d.facts.fileFormat, 4);
  EXPECT_EQ(decodeAny(data, ".bin", {}, d).code(), ErrorCode::UnknownFormat);
  OutputBuffer out;
  ASSERT_TRUE(encodeAs(d.picture, 4, {}, out).ok());
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), out.data(), out.data() + out.size()));
}

}  // namespace
}  // namespace zelmar
