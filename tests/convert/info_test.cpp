// `--info` on files that other programs wrote.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/pictures.h"
#include "support/temp_dir.h"
#include "tool.h"

namespace zelmar::test {
namespace {

// Writes `picture` through ImageMagick, so the facts come from a file our
// writers did not make.
std::string imFile(const TempDir& dir, const Picture& picture, const std::string& name,
                   const std::vector<std::string>& options) {
  const std::string pnm = dir.file(name + ".pnm"), path = dir.file(name);
  EXPECT_TRUE(writePnm(picture, pnm));
  std::vector<std::string> argv{imConvert(), pnm};
  argv.insert(argv.end(), options.begin(), options.end());
  argv.push_back(path);
  EXPECT_EQ(run(argv).exitCode, 0) << name;
  return path;
}

std::string size(const std::string& path) { return std::to_string(std::filesystem::file_size(path)); }

TEST(ConvertInfo, PrintsTheTwelveFactsInOrder) {
  TempDir dir;
  const std::string path = imFile(dir, makePattern(40, 30, 24), "rgb.bmp", {"-type", "TrueColor"});
  const RunResult r = convert({"--info", path});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(r.err.empty());
  EXPECT_EQ(infoNames(r.out),
            (std::vector<std::string>{"BitsPerPixel", "ImageWidth", "ImageHeight", "IsGray",
                                      "FileFormat", "OriginBits", "OriginWidth", "OriginHeight",
                                      "FileSize", "MemSize", "Compression", "PageCount"}));
  const auto facts = infoOf(path);
  EXPECT_EQ(facts.at("BitsPerPixel"), "24");
  EXPECT_EQ(facts.at("ImageWidth"), "40");
  EXPECT_EQ(facts.at("ImageHeight"), "30");
  EXPECT_EQ(facts.at("IsGray"), "0");
  EXPECT_EQ(facts.at("FileFormat"), "6");
  EXPECT_EQ(facts.at("OriginBits"), "24");
  EXPECT_EQ(facts.at("OriginWidth"), "40");
  EXPECT_EQ(facts.at("OriginHeight"), "30");
  EXPECT_EQ(facts.at("FileSize"), size(path));
  EXPECT_EQ(facts.at("MemSize"), std::to_string(40 * 30 * 3));
  EXPECT_EQ(facts.at("Compression"), "None");
  EXPECT_EQ(facts.at("PageCount"), "1");
}

TEST(ConvertInfo, FactsOfEachFormat) {
  TempDir dir;
  const Picture photo = makePhoto(64, 48);
  const Picture gray = makePattern(64, 48, 8, true);
  struct Case {
    std::string name;
    const Picture* picture;
    std::vector<std::string> options;
    std::map<std::string, std::string> expected;
  };
  const std::vector<Case> cases = {
      {"gray.bmp", &gray, {"-type", "Palette"},
       {{"BitsPerPixel", "8"}, {"IsGray", "1"}, {"FileFormat", "6"},
        {"MemSize", std::to_string(64 * 48 + 256 * 3)}}},
      {"s420.jpg", &photo, {"-sampling-factor", "2x2"},
       {{"BitsPerPixel", "24"}, {"FileFormat", "21"}, {"Compression", "JPEG"}}},
      {"s422.jpg", &photo, {"-sampling-factor", "2x1"}, {{"FileFormat", "23"}}},
      {"s444.jpg", &photo, {"-sampling-factor", "1x1"}, {{"FileFormat", "10"}}},
      {"gray.jpg", &gray, {}, {{"BitsPerPixel", "8"}, {"IsGray", "1"}, {"FileFormat", "10"}}},
      {"lzw.tif", &photo, {"-compress", "lzw"},
       {{"FileFormat", "3"}, {"Compression", "LZW"}, {"BitsPerPixel", "24"}}},
      {"rle.pcx", &photo, {}, {{"FileFormat", "1"}, {"OriginWidth", "64"}}},
      {"plain.tga", &photo, {"-compress", "none"}, {{"FileFormat", "4"}, {"OriginHeight", "48"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = imFile(dir, *c.picture, c.name, c.options);
    const auto facts = infoOf(path);
    ASSERT_EQ(facts.size(), 12u);
    for (const auto& [name, value] : c.expected) EXPECT_EQ(facts.at(name), value) << name;
    EXPECT_EQ(facts.at("FileSize"), size(path));
  }
}

TEST(ConvertInfo, CountsTiffPages) {
  TempDir dir;
  const std::string a = dir.file("a.pnm"), b = dir.file("b.pnm"), tif = dir.file("two.tif");
  ASSERT_TRUE(writePnm(makePattern(20, 10, 24), a));
  ASSERT_TRUE(writePnm(makePattern(30, 15, 24, false, 3), b));
  ASSERT_EQ(run({imConvert(), a, b, tif}).exitCode, 0);
  const auto facts = infoOf(tif);
  ASSERT_FALSE(facts.empty());
  EXPECT_EQ(facts.at("PageCount"), "2");
  EXPECT_EQ(facts.at("ImageWidth"), "20") << "the first page is the one loaded";
}

TEST(ConvertInfo, UnreadableFilesFailWithOneLineNamingTheFile) {
  TempDir dir;
  writeText(dir.file("words.jpg"), "no picture here");
  writeText(dir.file("empty.bmp"), "");
  for (const std::string name : {"missing.bmp", "words.jpg", "empty.bmp", ""}) {
    SCOPED_TRACE(name);
    const std::string path = name.empty() ? dir.path().string() : dir.file(name);
    const RunResult r = convert({"--info", path});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(isOneErrorLine(r.err)) << r.err;
    EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace zelmar::test
