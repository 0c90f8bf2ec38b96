// `--info` on files that other programs wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/oracle.h"
#include "support/pictures.h"
#include "support/temp_dir.h"
#include "tool.h"

namespace zelmar::test {
namespace {

TEST(ConvertInfo, PrintsTheTwelveFactsInOrderForEachFormat) {
  REQUIRE_TOOL(Tool::ImageMagick);
  TempDir dir;
  const Picture rgb = makePattern(40, 30, 24), photo = makePhoto(64, 48),
                gray = makePattern(64, 48, 8, true);
  const std::vector<std::string> names = {
      "BitsPerPixel", "ImageWidth",   "ImageHeight", "IsGray",  "FileFormat",  "OriginBits",
      "OriginWidth",  "OriginHeight", "FileSize",    "MemSize", "Compression", "PageCount"};
  using Facts = std::map<std::string, std::string>;
  const struct {
    std::string name;
    std::vector<const Picture*> pages;
    std::vector<std::string> options;
    Facts expected;
  } cases[] = {
      {"rgb.bmp",
       {&rgb},
       {"-type", "TrueColor"},
       {{"BitsPerPixel", "24"},
        {"ImageWidth", "40"},
        {"ImageHeight", "30"},
        {"IsGray", "0"},
        {"FileFormat", "6"},
        {"OriginBits", "24"},
        {"OriginWidth", "40"},
        {"OriginHeight", "30"},
        {"MemSize", "3600"},
        {"Compression", "None"},
        {"PageCount", "1"}}},
      {"gray.bmp",
       {&gray},
       {"-type", "Palette"},
       {{"BitsPerPixel", "8"},
        {"IsGray", "1"},
        {"FileFormat", "6"},
        {"MemSize", std::to_string(64 * 48 + 256 * 3)}}},
      {"s420.jpg",
       {&photo},
       {"-sampling-factor", "2x2"},
       {{"BitsPerPixel", "24"}, {"FileFormat", "21"}, {"Compression", "JPEG"}}},
      {"s422.jpg", {&photo}, {"-sampling-factor", "2x1"}, {{"FileFormat", "23"}}},
      {"s444.jpg", {&photo}, {"-sampling-factor", "1x1"}, {{"FileFormat", "10"}}},
      {"gray.jpg", {&gray}, {}, {{"BitsPerPixel", "8"}, {"IsGray", "1"}, {"FileFormat", "10"}}},
      {"lzw.tif",
       {&photo},
       {"-compress", "lzw"},
       {{"FileFormat", "3"}, {"Compression", "LZW"}, {"BitsPerPixel", "24"}}},
      {"rle.pcx", {&photo}, {}, {{"FileFormat", "1"}, {"OriginWidth", "64"}}},
      {"plain.tga", {&photo}, {"-compress", "none"}, {{"FileFormat", "4"}, {"OriginHeight", "48"}}},
      // The first page is the one loaded.
      {"two.tif", {&rgb, &photo}, {}, {{"PageCount", "2"}, {"ImageWidth", "40"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ByteVec file = toolWrites(Tool::ImageMagick, c.pages, c.options, c.name);
    writeText(dir.file(c.name), std::string(file.begin(), file.end()));
    const RunResult r = convert({"--info", dir.file(c.name)});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    std::vector<std::string> order;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
      order.push_back(line.substr(0, line.find(':')));
    EXPECT_EQ(order, names);
    const auto facts = infoOf(dir.file(c.name));
    for (const auto& [name, value] : c.expected) EXPECT_EQ(facts.at(name), value) << name;
    EXPECT_EQ(facts.at("FileSize"), std::to_string(file.size()));
  }
}

TEST(ConvertInfo, UnreadableFilesFailWithOneLineNamingTheFile) {
  TempDir dir;
  writeText(dir.file("words.jpg"), "no picture here");
  writeText(dir.file("empty.bmp"), "");
  for (const std::string& path : {dir.file("missing.bmp"), dir.file("words.jpg"),
                                  dir.file("empty.bmp"), dir.path().string()}) {
    const RunResult r = convert({"--info", path});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(isOneErrorLine(r.err)) << r.err;
    EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace zelmar::test
