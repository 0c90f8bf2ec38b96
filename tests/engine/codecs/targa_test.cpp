// Targa layouts built by hand (no program here writes most of them), maps
// and runs at their edges, and the headers the probe must refuse.
#include "engine/codecs/targa.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine/codecs/codec_checks.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

constexpr uint8_t kMapped = 1, kTrueColor = 2, kGray = 3, kRle = 8;

struct Layout {
  uint8_t type = kTrueColor;  // plus kRle for run-length encoding
  int depth = 24;             // bits per stored pixel
  bool topDown = false, rightToLeft = false;
  std::string id = "";
  int mapFirst = 0;  // colour-mapped: the index of the first map entry
  int mapBits = 24;  // colour-mapped: bits per map entry
};

void putColor(ByteBuilder& f, Rgb c, int bits) {
  if (bits <= 16)
    f.u16(uint16_t(0x8000u | (c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3)));
  else
    f.bytes({c.b, c.g, c.r});
  if (bits == 32) f.u8(255);
}

// A Targa file of `src` in any layout, independently of our writer. Packets
// run straight across row ends, as many writers' do.
ByteVec buildTga(const Picture& src, const Layout& l) {
  const int base = l.type & 7;
  const size_t mapLength = base == kMapped ? src.palette().size() : 0;
  const uint32_t w = src.width(), h = src.height();
  ByteBuilder f;
  f.u8(uint8_t(l.id.size())).u8(mapLength ? 1 : 0).u8(l.type).u16(uint16_t(l.mapFirst));
  f.u16(uint16_t(mapLength))
      .u8(uint8_t(mapLength ? l.mapBits : 0))
      .u32(0)
      .u16(uint16_t(w))
      .u16(uint16_t(h));
  f.u8(uint8_t(l.depth)).u8(uint8_t((l.topDown ? 0x20 : 0) | (l.rightToLeft ? 0x10 : 0)));
  f.append(ByteVec(l.id.begin(), l.id.end()));
  for (size_t i = 0; i < mapLength; ++i) putColor(f, src.palette()[i], l.mapBits);
  std::vector<ByteVec> stream;  // pixels in file order
  for (uint32_t r = 0; r < h; ++r)
    for (uint32_t i = 0; i < w; ++i) {
      const uint32_t x = l.rightToLeft ? w - 1 - i : i, y = l.topDown ? r : h - 1 - r;
      ByteBuilder px;
      if (base == kMapped) px.u8(uint8_t(src.row(y)[x] + l.mapFirst));
      if (base == kGray) px.u8(src.row(y)[x]);
      if (base == kGray && l.depth == 16) px.u8(255);  // opaque
      if (base == kTrueColor) putColor(px, pixelAt(src, x, y), l.depth);
      stream.push_back(px.b);
    }
  for (size_t i = 0; i < stream.size();) {
    size_t run = 1;
    if (!(l.type & kRle)) {
      f.append(stream[i++]);
      continue;
    }
    while (i + run < stream.size() && run < 128 && stream[i + run] == stream[i]) ++run;
    if (run > 1) {
      f.u8(uint8_t(0x80 | (run - 1))).append(stream[i]);
    } else {
      while (i + run < stream.size() && run < 128 && stream[i + run] != stream[i + run - 1]) ++run;
      f.u8(uint8_t(run - 1));
      for (size_t k = i; k < i + run; ++k) f.append(stream[k]);
    }
    i += run;
  }
  return f.b;
}

// A pattern with runs (for the RLE paths) and detail.
Picture runsAndDetail(uint32_t w, uint32_t h, int bits, bool gray = false) {
  Picture p = makePattern(w, h, bits, gray);
  for (uint32_t y = 0; y < h; y += 2) std::fill(p.row(y), p.row(y) + p.stride() / 2, p.row(y)[0]);
  return p;
}

TEST(Targa, EveryLayoutReadsAsItsSourceAndAsOthersReadIt) {
  REQUIRE_TOOL(Tool::ImageMagick);
  REQUIRE_TOOL(Tool::GraphicsMagick);
  const Picture colors = runsAndDetail(13, 6, 24), indexed = runsAndDetail(13, 6, 4),
                gray = runsAndDetail(13, 6, 8, true);
  struct Case {
    const Picture* src;
    Layout layout;
    int tolerance;               // 5-bit channels lose the low bits
    std::optional<Tool> oracle;  // none reads right-to-left rows or grey with alpha
  };
  std::vector<Case> cases;
  const Tool gm = Tool::GraphicsMagick;
  for (uint8_t rle : {0, 8}) {
    const auto rgb = uint8_t(kTrueColor + rle), grey = uint8_t(kGray + rle);
    for (bool top : {false, true})
      for (bool rtl : {false, true})
        cases.push_back({&colors,
                         {.type = rgb, .topDown = top, .rightToLeft = rtl},
                         0,
                         rtl ? std::nullopt : std::optional(gm)});
    cases.push_back({&colors, {.type = rgb, .depth = 32, .topDown = true, .id = "an ID"}, 0, gm});
    cases.push_back({&colors, {.type = rgb, .depth = 16}, 8, gm});
    cases.push_back({&colors, {.type = rgb, .depth = 15, .topDown = true}, 8, gm});
    cases.push_back({&gray, {.type = grey, .depth = 8, .topDown = true}, 0, gm});
    cases.push_back({&gray, {.type = grey, .depth = 16}, 0, std::nullopt});
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
                       Tool::ImageMagick});
  }
  for (const Case& c : cases) {
    const Layout& l = c.layout;
    SCOPED_TRACE(testing::Message()
                 << "type " << int(l.type) << ", " << l.depth << " bits, top " << l.topDown
                 << ", right-to-left " << l.rightToLeft << ", map entries " << l.mapBits);
    const ByteVec file = buildTga(*c.src, l);
    ASSERT_TRUE(targa::probe(file));
    const Decoded d = decodeOk(targa::decode, file);
    EXPECT_TRUE(closeColours(d.picture, *c.src, c.tolerance));
    // 15-bit pixels take two bytes as stored.
    EXPECT_EQ(factsOf(d),
              (Facts{(l.type & 7) == kTrueColor ? 24 : 8, l.depth == 15 ? 16 : l.depth, 13, 6,
                     format::kTarga, l.type & kRle ? "RLE" : "None", c.src->isGray()}));
    if (c.oracle) {
      EXPECT_TRUE(closeColours(d.picture, toolReads(*c.oracle, file, ".tga"), c.tolerance ? 1 : 0));
    }
  }
}

TEST(Targa, MapsAndRunsAtTheirEdges) {
  expectDecodes({
      // Four map entries numbered 2..5 (B, G, R of 10, 20, 30, 40 and up);
      // pixels 0, 2, 5, 6, 200: those outside the map black.
      {"tga-map-from-index-2.tga",
       {8, 8, 5, 1, format::kTarga, "None"},
       {},
       {},
       {{}, {12, 11, 10}, {42, 41, 40}, {}, {}}},
      // 3 × 2 grey, top row first: a run of 4 spans both rows, then a raw
      // packet of 4 of which only 2 fit, then a stray run nobody needs.
      {"tga-runs-cross-rows.tga",
       {8, 8, 3, 2, format::kTarga, "RLE", true},
       {50, 50, 50, 50, 1, 2}},
  });
}

TEST(Targa, ProbeAndDecodeRefuseImplausibleHeaders) {
  // Every file refused for its header is no Targa to the probe either.
  for (const std::string& name : dataFiles("refused/bad-header")) {
    if (name.ends_with(".tga")) {
      EXPECT_FALSE(targa::probe(dataFile(name))) << name;
    }
  }
  const ByteVec grey16 = buildTga(makePattern(4, 3, 8, true), {.type = kGray, .depth = 16});
  ByteVec colors12 = grey16;
  colors12[2] = kTrueColor;
  colors12[16] = 12;
  EXPECT_TRUE(targa::probe(grey16));
  EXPECT_FALSE(targa::probe(colors12));
  EXPECT_FALSE(targa::probe(Bytes(grey16.data(), 17)));
  // The format cannot hold 65536 columns.
  Picture tooWide;
  ASSERT_TRUE(Picture::create(65536, 1, 24, tooWide, {70000, 1 << 20}).ok());
  OutputBuffer out;
  EXPECT_EQ(targa::encode(tooWide, {}, out).code(), ErrorCode::LimitExceeded);
}

}  // namespace
}  // namespace zelmar::test
