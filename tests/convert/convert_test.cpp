// IN [OPERATION ...] OUT: the format chosen, the depth kept, failures
// leaving OUT alone, and the --time report.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>

#include "support/pictures.h"
#include "support/temp_dir.h"
#include "tool.h"

namespace zelmar::test {
namespace {

namespace fs = std::filesystem;

// The first bytes each written format must start with, checked without
// our readers.
bool hasSignature(const std::string& path, int code) {
  const std::string head = fileText(path).substr(0, 4);
  switch (code) {
    case 6: return head.starts_with("BM");
    case 1: return !head.empty() && head[0] == '\x0a';
    case 3: return head == std::string("II*\0", 4) || head == std::string("MM\0*", 4);
    case 21: return head.starts_with("\xff\xd8\xff");
    case 200: return head == "\x89PNG";
    case 4: return head.size() >= 3 && (head[2] == 1 || head[2] == 2 || head[2] == 9 || head[2] == 10);
    default: return !head.empty();
  }
}

TEST(Convert, EveryExtensionChoosesItsFormatAndKeepsTheDepth) {
  TempDir dir;
  const struct {
    std::string extension;
    int code;
  } outputs[] = {{".bmp", 6}, {".BMP", 6},  {".pcx", 1}, {".tif", 3},  {".TIFF", 3},
                 {".jpg", 21}, {".Jpeg", 21}, {".tga", 4}, {".cmp", 5}, {".png", 200}};
  for (int bits : {1, 4, 8, 24}) {
    const Picture source = makePattern(37, 23, bits);
    const std::string in = dir.file("in" + std::to_string(bits) + ".bmp");
    saveBmp(source, in);
    for (const auto& o : outputs) {
      const bool jpeg = o.code == 21;
      // Targa holds palette pictures as 8-bit colour-mapped ones.
      const int keptBits = jpeg ? 24 : (o.code == 4 && bits < 8) ? 8 : bits;
      SCOPED_TRACE(std::to_string(bits) + " bits to " + o.extension);
      const std::string out = dir.file("out" + std::to_string(bits) + o.extension);
      const RunResult r = convert({in, out});
      ASSERT_EQ(r.exitCode, 0) << r.err;
      EXPECT_TRUE(r.err.empty() && r.out.empty());
      EXPECT_TRUE(hasSignature(out, o.code));
      const auto facts = infoOf(out);
      ASSERT_FALSE(facts.empty());
      EXPECT_EQ(facts.at("FileFormat"), std::to_string(o.code));
      EXPECT_EQ(facts.at("BitsPerPixel"), std::to_string(keptBits));
      const Picture back = load(out);
      const int diff = maxChannelDiff(source, back);
      if (jpeg) {
        EXPECT_GE(diff, 0);
      } else {
        EXPECT_EQ(diff, 0);
      }
    }
  }
}

TEST(Convert, JpegOutputStaysCloseToThePhoto) {
  TempDir dir;
  const Picture photo = makePhoto(160, 120);
  const std::string in = dir.file("photo.bmp"), out = dir.file("photo.jpg");
  saveBmp(photo, in);
  ASSERT_EQ(convert({in, out}).exitCode, 0);
  // Quality 75 on a smooth photo: no channel strays far.
  const int diff = maxChannelDiff(photo, load(out));
  EXPECT_GE(diff, 1);
  EXPECT_LE(diff, 40);
}

TEST(Convert, FormatCodeOverridesTheExtension) {
  TempDir dir;
  const Picture source = makePattern(16, 9, 8);
  const std::string in = dir.file("in.bmp");
  saveBmp(source, in);
  const struct {
    std::string name;
    std::string code;
  } cases[] = {{"really-bmp.jpg", "6"}, {"really-cmp.bmp", "5"}, {"really-pcx.unknown", "1"},
               {"really-tiff", "3"},    {"really-tga.tif", "4"}, {"really-jpeg.cmp", "21"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string out = dir.file(c.name);
    const RunResult r = convert({in, "--format", c.code, out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(hasSignature(out, std::stoi(c.code)));
    // Targa has no signature and is read only under its own extension.
    std::string readable = out;
    if (c.code == "4") fs::copy_file(out, readable = out + ".tga");
    const auto facts = infoOf(readable);
    ASSERT_FALSE(facts.empty());
    EXPECT_EQ(facts.at("FileFormat"), c.code);
  }
}

TEST(Convert, ConvertingAFileOntoItselfReplacesIt) {
  TempDir dir;
  const Picture source = makePattern(12, 12, 24);
  const std::string path = dir.file("same.bmp");
  saveBmp(source, path);
  ASSERT_EQ(convert({path, "--format", "5", path}).exitCode, 0);
  EXPECT_EQ(infoOf(path).at("FileFormat"), "5");
  EXPECT_EQ(maxChannelDiff(source, load(path)), 0);
}

TEST(Convert, FailuresLeaveOutUntouched) {
  TempDir dir;
  const std::string good = dir.file("good.bmp"), out = dir.file("out.bmp");
  saveBmp(makePattern(8, 8, 24), good);
  writeText(dir.file("words.bmp"), "not a picture");
  writeText(dir.file("empty.bmp"), "");
  fs::create_directory(dir.file("folder.bmp"));
  const struct {
    std::vector<std::string> args;
    std::string mentions;
  } cases[] = {
      {{dir.file("missing.bmp"), out}, "missing.bmp"},
      {{dir.file("words.bmp"), out}, "words.bmp"},
      {{dir.file("empty.bmp"), out}, "empty.bmp"},
      {{dir.file("folder.bmp"), out}, "folder.bmp"},
      // 65535 × 65535 passes the size check of each side but not the pixel limit.
      {{good, "--resize", "65535x65535", out}, "--resize"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front());
    writeText(out, "the old file");
    const RunResult r = convert(c.args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(isOneErrorLine(r.err)) << r.err;
    EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    EXPECT_EQ(fileText(out), "the old file");
  }
  // A failed save: into a folder that does not exist, or onto a folder.
  for (const std::string& target : {dir.file("no/such/out.bmp"), dir.file("folder.bmp")}) {
    SCOPED_TRACE(target);
    const RunResult r = convert({good, "--format", "6", target});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(isOneErrorLine(r.err)) << r.err;
    EXPECT_NE(r.err.find("cannot save"), std::string::npos) << r.err;
  }
  EXPECT_TRUE(fs::is_directory(dir.file("folder.bmp")));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 5)
      << "no temporary file is left behind";
}

TEST(Convert, CutShortInputConvertsWithAWarning) {
  TempDir dir;
  const std::string in = dir.file("cut.bmp"), out = dir.file("out.cmp");
  saveBmp(makePattern(40, 40, 24), in);
  fs::resize_file(in, fs::file_size(in) * 6 / 10);
  const RunResult r = convert({in, out});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(isOneErrorLine(r.err)) << r.err;
  EXPECT_NE(r.err.find("cut short"), std::string::npos) << r.err;
  EXPECT_EQ(load(out).height(), 40u);
}

TEST(Convert, TimeReportsEachStepInOrder) {
  TempDir dir;
  const std::string in = dir.file("in.bmp");
  saveBmp(makePattern(64, 64, 24), in);
  const RunResult r = convert({"--time", in, "--mirror", "--flip", dir.file("out.cmp")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::regex line(R"(([a-z]+): ([0-9]+\.[0-9]+) ms)");
  std::vector<std::string> steps;
  std::istringstream lines(r.err);
  for (std::string text; std::getline(lines, text);) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, line)) << text;
    steps.push_back(m[1]);
    EXPECT_GE(std::stod(m[2]), 0.0);
  }
  EXPECT_EQ(steps, (std::vector<std::string>{"load", "mirror", "flip", "save"}));
  // Without --time the tool is silent.
  EXPECT_TRUE(convert({in, "--mirror", dir.file("quiet.cmp")}).err.empty());
}

}  // namespace
}  // namespace zelmar::test
