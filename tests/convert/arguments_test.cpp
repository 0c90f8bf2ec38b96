// What zelmar-convert says about its command line, before any picture is read.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "tool.h"

namespace zelmar::test {
namespace {

TEST(ConvertArguments, HelpListsEveryFlagAndExtension) {
  const RunResult r = convert({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.err.empty());
  for (const char* word :
       {"--info", "--invert", "--mirror", "--flip", "--rotate", "--background", "--resize",
        "--gray", "--halftone", "--depth", "--emboss", "--edges", "--enhance", "--saturation",
        "--format", "--time", ".bmp", ".pcx", ".tif", ".tiff", ".jpg", ".jpeg", ".tga", ".cmp",
        "BitsPerPixel", "PageCount", "404040"}) {
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  }
  // --help wins wherever it stands, even among bad arguments.
  EXPECT_EQ(convert({"in.bmp", "--bogus", "--help"}).exitCode, 0);
}

TEST(ConvertArguments, BadArgumentsFailWithOneLineAndWriteNothing) {
  TempDir dir;
  const std::string in = dir.file("in.bmp"), out = dir.file("out.bmp");
  writeText(in, "never read: the arguments are refused first");
  struct Case {
    std::vector<std::string> args;
    std::string mentions;  // a word the message must contain
  };
  const std::vector<Case> cases = {
      {{}, "missing"},
      {{in}, "missing output"},
      {{in, "--bogus", out}, "--bogus"},
      {{in, "-x", out}, "-x"},
      {{in, out, "--rotate"}, "--rotate"},
      {{in, "--rotate", "ninety", out}, "--rotate"},
      {{in, "--rotate", "1e3", out}, "--rotate"},
      {{in, "--resize", "0x5", out}, "0x5"},
      {{in, "--resize", "axb", out}, "axb"},
      {{in, "--resize", "20x", out}, "--resize"},
      {{in, "--resize", "-4x5", out}, "--resize"},
      {{in, "--resize", "70000x5", out}, "--resize"},
      {{in, "--depth", "3", out}, "--depth"},
      {{in, "--depth", "", out}, "--depth"},
      {{in, "--format", "99", out}, "99"},
      {{in, "--format", "bmp", out}, "--format"},
      {{in, out, "--format"}, "--format"},
      {{in, "--background", "40404", out}, "--background"},
      {{in, "--background", "zz4040", out}, "--background"},
      {{in, "--saturation", "991", out}, "--saturation"},
      {{in, "--saturation", "-991", out}, "--saturation"},
      {{in, dir.file("out.gif")}, "out.gif"},
      {{in, dir.file("noextension")}, "noextension"},
      {{in, out, dir.file("third.bmp")}, "third.bmp"},
      {{"--info"}, "--info"},
      {{"--info", in, out}, "--info"},
      {{in, "--info", out}, "--info"},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const auto& a : c.args) shown += " [" + a + "]";
    SCOPED_TRACE(shown);
    const RunResult r = convert(c.args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(isOneErrorLine(r.err)) << r.err;
    EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.gif")));
}

}  // namespace
}  // namespace zelmar::test
