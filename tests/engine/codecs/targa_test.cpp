// Targa layouts no program here writes most of, built by hand once and kept
// under tests/data/codecs (packets run straight across row ends, as many
// writers' do); maps and runs at their edges; headers the probe refuses.
#include "engine/codecs/targa.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "engine/codecs/codec_checks.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

// The pictures the layout files were made of: 13 × 6 patterns with runs
// (for the RLE paths) and detail.
Picture runsAndDetail(int bits, bool gray = false) {
  Picture p = makePattern(13, 6, bits, gray);
  for (uint32_t y = 0; y < 6; y += 2) std::fill(p.row(y), p.row(y) + p.stride() / 2, p.row(y)[0]);
  return p;
}

TEST(Targa, EveryLayoutReadsAsItsSourceAndAsOthersReadIt) {
  REQUIRE_TOOL(Tool::ImageMagick);
  REQUIRE_TOOL(Tool::GraphicsMagick);
  const Picture colors = runsAndDetail(24), indexed = runsAndDetail(4),
                gray = runsAndDetail(8, true);
  struct Case {
    std::string name;
    const Picture* src;
    int stored, tolerance;       // 5-bit channels lose the low bits
    std::optional<Tool> oracle;  // none reads right-to-left rows or grey with alpha
  };
  const Tool gm = Tool::GraphicsMagick;
  std::vector<Case> cases;
  for (const std::string packing : {"raw", "rle"}) {
    const std::string pre = "tga-" + packing + "-";
    for (const std::string rows : {"bottom-up", "top-down"}) {
      cases.push_back({pre + "24-bits-" + rows, &colors, 24, 0, gm});
      cases.push_back({pre + "24-bits-" + rows + "-right-to-left", &colors, 24, 0, {}});
    }
    cases.push_back({pre + "32-bits-with-an-id", &colors, 32, 0, gm});
    cases.push_back({pre + "16-bits", &colors, 16, 8, gm});
    cases.push_back({pre + "15-bits-top-down", &colors, 16, 8, gm});  // two bytes as stored
    cases.push_back({pre + "grey-8-bits-top-down", &gray, 8, 0, gm});
    cases.push_back({pre + "grey-16-bits", &gray, 16, 0, {}});
    // Maps whose first entry is number 100, top-down: only ImageMagick
    // honours the first index, and only with rows top-down.
    for (int mapBits : {15, 16, 24, 32})
      cases.push_back({pre + "map-from-100-of-" + std::to_string(mapBits) + "-bits", &indexed, 8,
                       mapBits <= 16 ? 8 : 0, Tool::ImageMagick});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ByteVec file = dataFile(c.name + ".tga");
    ASSERT_TRUE(targa::probe(file));
    const Decoded d = decodeOk(targa::decode, file);
    EXPECT_TRUE(closeColours(d.picture, *c.src, c.tolerance));
    EXPECT_EQ(factsOf(d), (Facts{c.src->bits() == 24 ? 24 : 8, c.stored, 13, 6, format::kTarga,
                                 c.name.starts_with("tga-rle") ? "RLE" : "None", c.src->isGray()}));
    if (c.oracle) {
      EXPECT_TRUE(closeColours(d.picture, toolReads(*c.oracle, file, ".tga"), c.tolerance ? 1 : 0));
    }
  }
}

TEST(Targa, MapsAndRunsAtTheirEdgesAndHeadersTheProbeRefuses) {
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
  // Every file refused for its header is no Targa to the probe either.
  for (const std::string& name : dataFiles("refused/bad-header")) {
    if (name.ends_with(".tga")) {
      EXPECT_FALSE(targa::probe(dataFile(name))) << name;
    }
  }
  // Grey may be 16 bits (with alpha), colour not 12; the header is 18 bytes.
  ByteVec colors12 = dataFile("tga-raw-grey-16-bits.tga");
  EXPECT_FALSE(targa::probe(Bytes(colors12.data(), 17)));
  colors12[2] = 2, colors12[16] = 12;
  EXPECT_FALSE(targa::probe(colors12));
  // The format cannot hold 65536 columns.
  Picture tooWide;
  ASSERT_TRUE(Picture::create(65536, 1, 24, tooWide, {70000, 1 << 20}).ok());
  OutputBuffer out;
  EXPECT_EQ(targa::encode(tooWide, {}, out).code(), ErrorCode::LimitExceeded);
}

}  // namespace
}  // namespace zelmar::test
