#include "support/tiff_jpeg_oracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "support/pictures.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

ByteVec slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return ByteVec((std::istreambuf_iterator<char>(in)), {});
}

bool spit(const std::string& path, Bytes data) {
  std::ofstream o(path, std::ios::binary);
  o.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  return bool(o);
}

// gm takes its subcommand first; ImageMagick's convert does not.
std::vector<std::string> command(const std::string& tool) {
  if (tool.size() >= 2 && tool.substr(tool.size() - 2) == "gm") return {tool, "convert"};
  return {tool};
}

void put16(ByteVec& v, uint16_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
void put32(ByteVec& v, uint32_t x) {
  put16(v, uint16_t(x));
  put16(v, uint16_t(x >> 16));
}

}  // namespace

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

ByteVec oracleEncode(const std::string& tool, const Picture& source,
                     const std::vector<std::string>& args, const std::string& ext) {
  TempDir dir;
  const std::string in = dir.file("in.pnm"), out = dir.file("out." + ext);
  if (!writePnm(source, in)) return {};
  std::vector<std::string> argv;
  if (tool == vips()) {
    // vips takes its save options in brackets after the output name.
    std::string options;
    for (const auto& a : args) options += (options.empty() ? "" : ",") + a;
    argv = {tool, "copy", in, out + "[" + options + "]"};
  } else {
    argv = command(tool);
    argv.push_back(in);
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back(out);
  }
  if (run(argv).exitCode != 0) return {};
  return slurp(out);
}

Picture oracleDecode(const std::string& tool, Bytes file, const std::string& ext,
                     const std::vector<std::string>& args) {
  TempDir dir;
  const std::string in = dir.file("in." + ext), out = dir.file("out.ppm");
  Picture p;
  if (!spit(in, file)) return p;
  auto argv = command(tool);
  argv.push_back(in + "[0]");
  argv.insert(argv.end(), args.begin(), args.end());
  // Bilevel pictures would otherwise come out with a maximum value of 1.
  argv.insert(argv.end(), {"-depth", "8", "ppm:" + out});
  if (run(argv).exitCode == 0) readPnm(out, p);
  return p;
}

std::string oracleIdentify(Bytes file, const std::string& ext, const std::string& format) {
  TempDir dir;
  const std::string in = dir.file("in." + ext);
  if (!spit(in, file)) return {};
  // ImageMagick's identify sits beside its convert.
  const std::string tool = imConvert();
  const size_t at = tool.rfind("convert");
  const std::string identify = tool.substr(0, at) + "identify" + tool.substr(at + 7);
  return run({identify, "-format", format, in + "[0]"}).out;
}

ByteVec exifBlock(int orientation, bool bigEndian) {
  ByteVec v;
  auto p16 = [&](uint16_t x) {
    if (bigEndian) {
      v.push_back(uint8_t(x >> 8));
      v.push_back(uint8_t(x));
    } else {
      put16(v, x);
    }
  };
  auto p32 = [&](uint32_t x) {
    p16(uint16_t(bigEndian ? x >> 16 : x));
    p16(uint16_t(bigEndian ? x : x >> 16));
  };
  v.push_back(bigEndian ? 'M' : 'I');
  v.push_back(bigEndian ? 'M' : 'I');
  p16(42);
  p32(8);
  p16(3);
  // ImageWidth (LONG) and a resolution unit (SHORT) before the orientation.
  p16(0x0100), p16(4), p32(1), p32(640);
  p16(0x0128), p16(3), p32(1), p16(2), p16(0);
  p16(0x0112), p16(3), p32(1), p16(uint16_t(orientation)), p16(0);
  p32(0);  // no next IFD
  return v;
}

ByteVec withApp1Exif(Bytes jpeg, const ByteVec& block) {
  const size_t length = 2 + 6 + block.size();
  const uint8_t head[] = {0xFF, 0xD8, 0xFF, 0xE1, uint8_t(length >> 8), uint8_t(length), 'E', 'x',
                          'i',  'f',  0,    0};
  if (jpeg.size() < 2) return {};
  // Copied by hand: GCC 12 warns falsely about inserting into a fresh vector.
  ByteVec v(sizeof head + block.size() + jpeg.size() - 2);
  std::memcpy(v.data(), head, sizeof head);
  std::memcpy(v.data() + sizeof head, block.data(), block.size());
  std::memcpy(v.data() + sizeof head + block.size(), jpeg.data() + 2, jpeg.size() - 2);
  return v;
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
      {273, kLong, 1, 0},  // strip offset, set below
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
  const uint32_t dirBytes = 2 + 12 * uint32_t(entries.size()) + 4;
  ByteVec v = {'I', 'I', 42, 0};
  put32(v, 8);
  put16(v, uint16_t(entries.size()));
  for (auto e : entries) {
    if ((e.tag == 273 || e.tag == 324) && e.value == 0) e.value = 8 + dirBytes;
    put16(v, e.tag);
    put16(v, e.type);
    put32(v, e.count);
    if (e.type == kShort && e.count == 1) {
      put16(v, uint16_t(e.value));
      put16(v, 0);
    } else {
      put32(v, e.value);
    }
  }
  put32(v, 0);
  v.insert(v.end(), pixels.begin(), pixels.end());
  return v;
}

}  // namespace zelmar::test
