#include "engine/codecs/codec_checks.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

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

void expectDecodes(const std::vector<DecodeRow>& rows) {
  for (const DecodeRow& row : rows) {
    SCOPED_TRACE(row.file);
    Decoded d;
    const Status s = decodeAny(dataFile(row.file), row.file.substr(row.file.rfind('.')), {}, d);
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(factsOf(d), row.facts);
    const Picture& p = d.picture;
    if (!row.samples.empty()) {
      EXPECT_EQ(ByteVec(p.data(), p.data() + p.byteSize()), row.samples);
    }
    EXPECT_TRUE(p.palette().size() >= row.palette.size() &&
                std::equal(row.palette.begin(), row.palette.end(), p.palette().begin()));
    ASSERT_EQ(row.shown.empty() ? 0 : size_t(p.width()) * p.height(), row.shown.size());
    for (size_t i = 0; i < row.shown.size(); ++i) {
      const Rgb got = pixelAt(p, uint32_t(i % p.width()), uint32_t(i / p.width()));
      EXPECT_TRUE(closeColours(solid(1, 1, got), solid(1, 1, row.shown[i]), row.tolerance)) << i;
    }
  }
}

}  // namespace zelmar::test
