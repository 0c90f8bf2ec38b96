#include "engine/codecs/codec_checks.h"

#include <algorithm>
#include <cstring>
#include <sstream>

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

void expectDecodes(DecodeFn decode, const std::vector<DecodeRow>& rows) {
  for (const DecodeRow& row : rows) {
    SCOPED_TRACE(row.name);
    const Decoded d = decodeOk(decode, row.file);
    EXPECT_EQ(factsOf(d), row.facts);
    EXPECT_EQ(ByteVec(d.picture.data(), d.picture.data() + d.picture.byteSize()), row.samples);
    if (!row.palette.empty()) {
      EXPECT_TRUE(std::equal(row.palette.begin(), row.palette.end(), d.picture.palette().begin()));
    }
  }
}

void expectRefused(DecodeFn decode, const std::vector<Refusal>& rows) {
  for (const Refusal& r : rows) {
    Decoded d;
    const Status s = decode(r.file, {}, d);
    EXPECT_EQ(s.code(), r.code) << r.name << ": " << s.message();
    EXPECT_TRUE(d.picture.empty()) << r.name;
  }
}

void expectReadsLikeItsMaker(DecodeFn decode, const std::string& extension,
                             const std::vector<MadeElsewhere>& rows) {
  for (const MadeElsewhere& r : rows) {
    REQUIRE_TOOL(r.maker);
    REQUIRE_TOOL(r.judge);
  }
  for (const MadeElsewhere& r : rows) {
    SCOPED_TRACE(testing::Message() << int(r.maker) << " " << r.coder << r.source << " " << r.args);
    const int bits = r.source == "photo" ? 24 : std::stoi(r.source);
    const bool gray = r.source.back() == 'g';
    const Picture src = r.source == "photo" ? makePhoto(33, 9) : makePattern(33, 9, bits, gray);
    std::vector<std::string> args;
    std::istringstream words(r.args);
    for (std::string w; words >> w;) args.push_back(w);
    const ByteVec file = toolWrites(r.maker, src, args, r.coder + "a" + extension);
    ASSERT_FALSE(file.empty());
    const Decoded d = decodeOk(decode, file);
    EXPECT_EQ(factsOf(d), (Facts{r.loadsBits, r.originBits, 33, 9, r.format, r.compression, gray}));
    EXPECT_TRUE(closeColours(d.picture, toolReads(r.judge, file, extension), r.tolerance));
  }
}

ByteVec sampleOf(const Codec& codec, const Picture& p, int factor) {
  if (codec.encode) return encodeOk(codec.encode, p, factor);
  return toolWrites(codec.maker, p, codec.makerArgs, "sample" + codec.name);
}

Facts factsFor(const Codec& c, const Picture& p) {
  const int bits = !c.lossless                      ? (p.isGray() ? 8 : 24)
                   : p.bits() < 24 && c.paletteBits ? c.paletteBits
                                                    : p.bits();
  const bool gray = p.isGray() && bits < 24;
  return {bits,       c.storedBits ? c.storedBits(p) : bits,          p.width(),
          p.height(), gray && c.grayFormat ? c.grayFormat : c.format, c.compression,
          gray};
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
