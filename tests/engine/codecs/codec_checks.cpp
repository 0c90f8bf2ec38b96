#include "engine/codecs/codec_checks.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/io/formats.h"
#include "support/pictures.h"

namespace zelmar::test {

std::ostream& operator<<(std::ostream& out, const Facts& f) {
  return out << "{" << f.bits << " bits (" << f.originBits << " stored), " << f.width << "x"
             << f.height << ", format " << f.format << ", \"" << f.compression << "\""
             << (f.gray ? ", grey" : "") << (f.truncated ? ", truncated" : "") << ", " << f.pages
             << " page(s)}";
}

Facts factsOf(const Decoded& d) {
  return {d.picture.bits(),     d.facts.originBits, d.facts.originWidth,
          d.facts.originHeight, d.facts.fileFormat, d.facts.compression,
          d.picture.isGray(),   d.truncated,        d.facts.pageCount};
}

ByteVec encodeOk(EncodeFn encode, const Picture& picture, int factor) {
  OutputBuffer out;
  const Status s = encode(picture, EncodeOptions{factor}, out);
  EXPECT_TRUE(s.ok()) << s.message();
  return ByteVec(out.data(), out.data() + out.size());
}

Decoded decodeOk(DecodeFn decode, Bytes file) {
  Decoded d;
  const Status s = decode(file, Limits{}, d);
  EXPECT_TRUE(s.ok()) << s.message();
  return d;
}

ByteVec dataFile(const std::string& name) {
  std::ifstream in(std::string(ZELMAR_TEST_DATA) + "/codecs/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  return ByteVec(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> dataFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(
           std::filesystem::path(ZELMAR_TEST_DATA) / "codecs" / folder, ec))
    names.push_back(folder + "/" + e.path().filename().string());
  EXPECT_FALSE(names.empty()) << folder;
  std::sort(names.begin(), names.end());
  return names;
}

namespace {

// The extension of a file name, with its dot.
std::string extensionOf(const std::string& name) { return name.substr(name.rfind('.')); }

}  // namespace

void expectDecodes(const std::vector<DecodeRow>& rows) {
  for (const DecodeRow& row : rows) {
    SCOPED_TRACE(row.file);
    Decoded d;
    const Status s = decodeAny(dataFile(row.file), extensionOf(row.file), {}, d);
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(factsOf(d), row.facts);
    const Picture& p = d.picture;
    if (!row.samples.empty()) {
      EXPECT_EQ(ByteVec(p.data(), p.data() + p.byteSize()), row.samples);
    }
    EXPECT_TRUE(p.palette().size() >= row.palette.size() &&
                std::equal(row.palette.begin(), row.palette.end(), p.palette().begin()));
    std::vector<Rgb> shown;
    for (uint32_t y = 0; !row.shown.empty() && y < p.height(); ++y)
      for (uint32_t x = 0; x < p.width(); ++x) shown.push_back(pixelAt(p, x, y));
    EXPECT_EQ(shown, row.shown);
  }
}

namespace {

// How a judge reads a file: transparency flattened over `back` (vips
// judges only files with transparency; Pillow none).
Picture judged(Tool judge, Bytes file, const std::string& extension, Rgb back) {
  char text[16];
  if (judge == kPil) return toolReads(judge, file, extension);
  if (judge == kVips) {
    std::snprintf(text, sizeof text, "%d %d %d", back.r, back.g, back.b);
    return toolReads(judge, file, extension, {"flatten", "--background", text});
  }
  std::snprintf(text, sizeof text, "#%02X%02X%02X", back.r, back.g, back.b);
  std::vector<std::string> args = {"-background", text, "-flatten"};
  // ImageMagick would flatten a grey picture over a grey version of `back`.
  if (judge == kIm) args.insert(args.begin(), {"-colorspace", "sRGB"});
  return toolReads(judge, file, extension, args);
}

}  // namespace

void expectReadsLikeItsMaker(const std::string& extension, const std::vector<MadeElsewhere>& rows) {
  for (const MadeElsewhere& r : rows) {
    REQUIRE_TOOL(r.maker);
    REQUIRE_TOOL(r.judge);
  }
  for (const MadeElsewhere& r : rows) {
    SCOPED_TRACE(testing::Message() << extension << " by " << int(r.maker) << " " << r.coder
                                    << r.source << " " << r.args);
    const int bits = r.source == "photo" ? 24 : std::stoi(r.source);
    const bool gray = r.source.back() == 'g';
    const Picture src = r.source == "photo" ? makePhoto(33, 9) : makePattern(33, 9, bits, gray);
    std::vector<std::string> args;
    std::istringstream words(r.args);
    for (std::string w; words >> w;) args.push_back(w);
    const ByteVec file = toolWrites(r.maker, src, args, r.coder + "a" + extension);
    ASSERT_FALSE(file.empty());
    Decoded d;
    const Status s = decodeAny(file, extension, DecodeOptions({}, r.back), d);
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(factsOf(d), (Facts{r.loadsBits, r.originBits, 33, 9, r.format, r.compression,
                                 gray && r.loadsBits < 24}));
    EXPECT_TRUE(closeColours(d.picture, judged(r.judge, file, extension, r.back), r.tolerance));
  }
}

ByteVec sampleOf(const Codec& codec, const Picture& p, int factor) {
  if (codec.encode) return encodeOk(codec.encode, p, factor);
  return toolWrites(kIm, p, codec.makerArgs, "sample" + codec.name);
}

ByteVec buildTiff(uint32_t width, uint32_t height, uint16_t bitsPerSample, uint16_t samples,
                  uint16_t photometric, const ByteVec& pixels,
                  const std::vector<TiffEntry>& extra) {
  constexpr uint16_t kShort = 3, kLong = 4;
  std::vector<TiffEntry> entries = {
      {256, kLong, 1, width},
      {257, kLong, 1, height},
      {258, kShort, 1, bitsPerSample},
      {259, kShort, 1, 1},
      {262, kShort, 1, photometric},
      {273, kLong, 1, 0},
      {277, kShort, 1, samples},
      {278, kLong, 1, height},
      {279, kLong, 1, uint32_t(pixels.size())},
  };
  for (const auto& e : extra) {
    auto same = std::find_if(entries.begin(), entries.end(),
                             [&](const TiffEntry& o) { return o.tag == e.tag; });
    if (same != entries.end())
      *same = e;
    else
      entries.push_back(e);
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const TiffEntry& a, const TiffEntry& b) { return a.tag < b.tag; });
  const uint32_t dirEnd = 8 + 2 + 12 * uint32_t(entries.size()) + 4;
  ByteBuilder f;
  f.bytes({'I', 'I', 42, 0}).u32(8).u16(uint16_t(entries.size()));
  for (auto e : entries) {
    if ((e.tag == 273 || e.tag == 324) && e.value == 0) e.value = dirEnd;
    f.u16(e.tag).u16(e.type).u32(e.count);
    if (e.type == kShort && e.count == 1)
      f.u16(uint16_t(e.value)).u16(0);
    else
      f.u32(e.value);
  }
  return f.u32(0).append(pixels).b;
}

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

}  // namespace zelmar::test
