#include "support/bmp_pcx_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "engine/io/formats.h"
#include "support/pictures.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace zelmar::test {

bool readBytes(const std::string& path, std::vector<uint8_t>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), {});
  return true;
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& data) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  return bool(out);
}

std::vector<uint8_t> madeBy(const std::vector<std::string>& tool, const Picture& src,
                            const std::vector<std::string>& args, const std::string& outSpec) {
  std::vector<uint8_t> file;
  if (tool.empty() || tool[0].empty()) return file;
  TempDir dir;
  const std::string in = dir.file("in.pnm");
  if (!writePnm(src, in)) return file;
  std::vector<std::string> argv = tool;
  argv.push_back(in);
  argv.insert(argv.end(), args.begin(), args.end());
  const auto colon = outSpec.find(':');
  const std::string name = colon == std::string::npos ? outSpec : outSpec.substr(colon + 1);
  const std::string prefix = colon == std::string::npos ? "" : outSpec.substr(0, colon + 1);
  argv.push_back(prefix + dir.file(name));
  if (run(argv).exitCode != 0) return file;
  readBytes(dir.file(name), file);
  return file;
}

bool readBy(const std::vector<std::string>& tool, const std::vector<uint8_t>& file,
            const std::string& extension, Picture& out) {
  if (tool.empty() || tool[0].empty()) return false;
  TempDir dir;
  const std::string in = dir.file("in" + extension), pnm = dir.file("out.pnm");
  if (!writeBytes(in, file)) return false;
  std::vector<std::string> argv = tool;
  // Always full colour out, so P6 carries the pixels whatever the depth.
  argv.insert(argv.end(), {in, "-depth", "8", "ppm:" + pnm});
  if (run(argv).exitCode != 0) return false;
  return readPnm(pnm, out);
}

std::vector<uint8_t> encodedWith(EncodeFn encode, const Picture& p) {
  OutputBuffer out;
  const Status s = encode(p, {}, out);
  EXPECT_TRUE(s.ok()) << s.message();
  if (!s.ok()) return {};
  return {out.data(), out.data() + out.size()};
}

Decoded decodedWith(DecodeFn decode, const std::vector<uint8_t>& file) {
  Decoded d;
  const Status s = decode({file.data(), file.size()}, {}, d);
  EXPECT_TRUE(s.ok()) << s.message();
  return d;
}

std::vector<uint8_t> indexesOf(const Picture& p) { return {p.data(), p.data() + p.byteSize()}; }

void expectEveryDepthRoundTrips(EncodeFn encode, int fileFormat, const std::string& compression,
                                void (*check)(const Picture&, const std::vector<uint8_t>&)) {
  for (int bits : {1, 4, 8, 24})
    for (uint32_t width : {1u, 7u, 33u}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, width " << width);
      const Picture src = makePattern(width, 5, bits);
      const auto file = encodedWith(encode, src);
      if (check) check(src, file);
      Decoded d;
      ASSERT_TRUE(decodeAny({file.data(), file.size()}, "", {}, d).ok());
      EXPECT_EQ(d.picture.bits(), bits);
      EXPECT_TRUE(sameColors(src, d.picture));
      EXPECT_FALSE(d.truncated);
      EXPECT_EQ(d.facts.fileFormat, fileFormat);
      EXPECT_EQ(d.facts.originBits, bits);
      EXPECT_EQ(d.facts.originWidth, width);
      EXPECT_EQ(d.facts.originHeight, 5u);
      EXPECT_EQ(d.facts.compression, compression);
      EXPECT_EQ(d.facts.pageCount, 1);
    }
}

Tool imageMagick() { return {imConvert()}; }
Tool graphicsMagick() { return {gm(), "convert"}; }
bool haveOracles() { return !imConvert().empty() && !gm().empty(); }

void expectReadLikeItsMaker(const MadeElsewhere& c, DecodeFn decode, const std::string& extension) {
  SCOPED_TRACE(testing::Message() << c.tool[0] << " " << c.out << " " << c.originBits << " bits "
                                  << (c.args.empty() ? "" : c.args.back()));
  const Picture src = makePattern(33, 7, c.sourceBits, c.sourceBits == 1);
  const auto file = madeBy(c.tool, src, c.args, c.out);
  ASSERT_FALSE(file.empty());
  Picture theirs;
  ASSERT_TRUE(readBy(c.tool, file, extension, theirs));
  Decoded d;
  const Status s = decode({file.data(), file.size()}, {}, d);
  ASSERT_TRUE(s.ok()) << s.message();
  EXPECT_FALSE(d.truncated);
  EXPECT_EQ(d.facts.originBits, c.originBits);
  if (!c.compression.empty()) {
    EXPECT_EQ(d.facts.compression, c.compression);
  }
  EXPECT_EQ(d.picture.bits(), c.originBits > 8 ? 24 : c.originBits);
  const int diff = maxChannelDiff(d.picture, theirs);
  EXPECT_GE(diff, 0) << "sizes differ";
  EXPECT_LE(diff, c.tolerance);
}

void expectToolsRead(const std::vector<uint8_t>& file, const std::string& extension,
                     const Picture& src, const std::vector<Tool>& tools) {
  for (const Tool& tool : tools) {
    SCOPED_TRACE(tool[0]);
    Picture theirs;
    ASSERT_TRUE(readBy(tool, file, extension, theirs));
    EXPECT_EQ(maxChannelDiff(src, theirs), 0);
  }
}

void expectPrefixesSafe(const std::vector<uint8_t>& file, DecodeFn decode, bool mustFlag) {
  for (size_t n = 0; n < file.size(); ++n) {
    SCOPED_TRACE(testing::Message() << "first " << n << " of " << file.size() << " bytes");
    Decoded out;
    const Status s = decode({file.data(), n}, {}, out);
    if (s.ok()) {
      EXPECT_TRUE(out.truncated || !mustFlag);
    } else {
      EXPECT_TRUE(s.code() == ErrorCode::BadHeader || s.code() == ErrorCode::Truncated)
          << s.message();
    }
  }
}

}  // namespace zelmar::test
