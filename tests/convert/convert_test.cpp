// zelmar-convert as a user runs it: its command line, the format chosen,
// the depth kept, failures leaving OUT alone, the --time report, each
// operation flag running the engine's operation in the order given (the
// operations are checked against their oracles in tests/engine/ops), and
// --info on a file another program wrote.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <sstream>

#include "engine/io/file_io.h"
#include "engine/ops/ops.h"
#include "support/oracle.h"
#include "support/pictures.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

// Running zelmar-convert as a user would, and reading what it reports.
RunResult convert(const std::vector<std::string>& args) {
  std::vector<std::string> argv{convertTool()};
  argv.insert(argv.end(), args.begin(), args.end());
  return run(argv);
}

// The `Name: value` lines of `--info path`, by name; empty when it failed.
std::map<std::string, std::string> infoOf(const std::string& path) {
  std::map<std::string, std::string> facts;
  const RunResult r = convert({"--info", path});
  std::istringstream lines(r.out);
  for (std::string line; r.exitCode == 0 && std::getline(lines, line);)
    if (const size_t colon = line.find(": "); colon != std::string::npos)
      facts[line.substr(0, colon)] = line.substr(colon + 2);
  return facts;
}

// Saves with the engine as a BMP; loads with it (no picture when that fails).
void saveBmp(const Picture& picture, const std::string& path) {
  ASSERT_TRUE(savePicture(picture, path, 6, picture.bits(), 64, false).ok()) << path;
}
Picture load(const std::string& path) {
  Decoded d;
  return loadPicture(path, {}, d).ok() ? std::move(d.picture) : Picture();
}

// Standard error holds exactly one line, starting with the program's name.
bool isOneErrorLine(const std::string& err) {
  return err.starts_with("zelmar-convert: ") && err.size() > 17 && err.find('\n') == err.size() - 1;
}

TEST(ConvertArguments, HelpListsEveryFlagAndBadArgumentsFailWithOneLineWritingNothing) {
  const RunResult r = convert({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.err.empty());
  for (const char* word :
       {"--info",       "--invert",     "--mirror",   "--flip",  "--rotate", "--background",
        "--resize",     "--gray",       "--halftone", "--depth", "--emboss", "--edges",
        "--enhance",    "--saturation", "--format",   "--time",  ".bmp",     ".pcx",
        ".tif",         ".tiff",        ".jpg",       ".jpeg",   ".tga",     ".cmp",
        "BitsPerPixel", "PageCount",    "404040"}) {
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
  }
  // --help wins wherever it stands, even among bad arguments.
  EXPECT_EQ(convert({"in.bmp", "--bogus", "--help"}).exitCode, 0);
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
      {{in, out, "--rotate"}, "--rotate"},
      {{in, "--rotate", "ninety", out}, "--rotate"},
      {{in, "--rotate", "1e3", out}, "--rotate"},
      {{in, "--resize", "0x5", out}, "0x5"},
      {{in, "--resize", "20x", out}, "--resize"},
      {{in, "--resize", "70000x5", out}, "--resize"},
      {{in, "--depth", "3", out}, "--depth"},
      {{in, "--format", "99", out}, "99"},
      {{in, "--format", "bmp", out}, "--format"},
      {{in, "--background", "40404", out}, "--background"},
      {{in, "--background", "zz4040", out}, "--background"},
      {{in, "--saturation", "991", out}, "--saturation"},
      {{in, dir.file("out.gif")}, "out.gif"},
      {{in, dir.file("noextension")}, "noextension"},
      {{in, out, dir.file("third.bmp")}, "third.bmp"},
      {{"--info"}, "--info"},
      {{"--info", in, out}, "--info"},
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

namespace fs = std::filesystem;

TEST(Convert, TheExtensionOrFormatCodeChoosesTheFormatAndTheDepthIsKept) {
  TempDir dir;
  const Picture source = makePattern(37, 23, 4), photo = makePhoto(160, 120);
  saveBmp(source, dir.file("in.bmp"));
  saveBmp(photo, dir.file("photo.bmp"));
  const struct {
    std::vector<std::string> how;  // the output name, maybe after --format CODE
    std::string format, bits;      // as --info reads the file back
  } cases[] = {
      {{"out.bmp"}, "6", "4"},
      {{"out.pcx"}, "1", "4"},
      {{"out.tif"}, "3", "4"},
      {{"out.TIFF"}, "3", "4"},  // any case, either spelling
      {{"out.cmp"}, "5", "4"},
      {{"out.png"}, "200", "4"},
      {{"out.tga"}, "4", "8"},     // Targa maps palettes at 8 bits
      {{"out.Jpeg"}, "21", "24"},  // JPEG holds colour as 24
      {{"--format", "6", "really-bmp.jpg"}, "6", "4"},
      {{"--format", "5", "really-cmp.bmp"}, "5", "4"},
      {{"--format", "3", "really-tiff"}, "3", "4"},
      {{"--format", "21", "really-jpeg.cmp"}, "21", "24"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how.back());
    std::vector<std::string> args{dir.file("in.bmp")};
    for (const auto& h : c.how) args.push_back(h == c.how.back() ? dir.file(h) : h);
    const RunResult r = convert(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty() && r.out.empty());
    const auto facts = infoOf(dir.file(c.how.back()));
    ASSERT_FALSE(facts.empty());
    EXPECT_EQ(facts.at("FileFormat"), c.format);
    EXPECT_EQ(facts.at("BitsPerPixel"), c.bits);
    if (c.format != "21") {
      EXPECT_TRUE(closeColours(load(dir.file(c.how.back())), source, 0));
    }
  }
  // Targa has no signature and is read only under its own extension.
  ASSERT_EQ(convert({dir.file("in.bmp"), "--format", "4", dir.file("really-tga.tif")}).exitCode, 0);
  fs::copy_file(dir.file("really-tga.tif"), dir.file("really.tga"));
  EXPECT_EQ(infoOf(dir.file("really.tga")).at("FileFormat"), "4");
  // JPEG at the default quality 75 stays close to a photo; a file converted
  // onto itself is replaced.
  ASSERT_EQ(convert({dir.file("photo.bmp"), dir.file("photo.jpg")}).exitCode, 0);
  EXPECT_TRUE(closeColours(load(dir.file("photo.jpg")), photo, 40));
  ASSERT_EQ(convert({dir.file("photo.bmp"), "--format", "5", dir.file("photo.bmp")}).exitCode, 0);
  EXPECT_EQ(infoOf(dir.file("photo.bmp")).at("FileFormat"), "5");
  EXPECT_TRUE(closeColours(load(dir.file("photo.bmp")), photo, 0));
}

TEST(Convert, FailuresSayWhyInOneLineLeavingOutUntouchedCutShortInputWarnsAndTimeReportsSteps) {
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
      // 65535 × 65535 passes the check of each side but not the pixel limit.
      {{good, "--resize", "65535x65535", out}, "--resize"},
      {{good, "--format", "6", dir.file("no/such/out.bmp")}, "cannot save"},
      {{good, "--format", "6", dir.file("folder.bmp")}, "cannot save"},
      // --info names the file it cannot read.
      {{"--info", dir.file("words.bmp")}, "words.bmp"},
      {{"--info", dir.file("folder.bmp")}, "folder.bmp"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front() + " " + c.args.back());
    writeText(out, "the old file");
    const RunResult r = convert(c.args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(isOneErrorLine(r.err) && r.out.empty()) << r.err;
    EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    EXPECT_EQ(readText(out), "the old file");
  }
  EXPECT_TRUE(fs::is_directory(dir.file("folder.bmp")));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 5)
      << "no temporary file is left behind";
  // Cut-short input converts with a warning; --time reports each step.
  const std::string in = dir.file("in.bmp");
  saveBmp(makePattern(40, 40, 24), in);
  const RunResult timed = convert({"--time", in, "--mirror", "--flip", dir.file("out.cmp")});
  ASSERT_EQ(timed.exitCode, 0) << timed.err;
  const std::regex line(R"(([a-z]+): ([0-9]+\.[0-9]+) ms)");
  std::vector<std::string> steps;
  std::istringstream lines(timed.err);
  for (std::string text; std::getline(lines, text);) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, line)) << text;
    steps.push_back(m[1]);
  }
  EXPECT_EQ(steps, (std::vector<std::string>{"load", "mirror", "flip", "save"}));
  EXPECT_TRUE(convert({in, "--mirror", dir.file("quiet.cmp")}).err.empty())
      << "silent without --time";
  fs::resize_file(in, fs::file_size(in) * 6 / 10);
  const RunResult cut = convert({in, dir.file("cut.cmp")});
  EXPECT_EQ(cut.exitCode, 0);
  EXPECT_TRUE(isOneErrorLine(cut.err)) << cut.err;
  EXPECT_NE(cut.err.find("cut short"), std::string::npos) << cut.err;
  EXPECT_EQ(load(dir.file("cut.cmp")).height(), 40u);
}

using Op = std::function<Status(Picture&)>;

TEST(ConvertOperations, EachFlagRunsItsOperationInTheOrderGivenAndInfoPrintsTheTwelveFacts) {
  REQUIRE_TOOL(Tool::ImageMagick);
  TempDir dir;
  const Picture source = makePattern(24, 16, 24);
  saveBmp(source, dir.file("in.bmp"));
  const auto saturate = [](int v) {
    return [v](Picture& p) {
      Picture out;
      const Status s = ops::adjustSaturation(p, v, out);
      p = std::move(out);
      return s;
    };
  };
  const struct {
    std::vector<std::string> flags;
    std::vector<Op> ops;
  } cases[] = {
      {{"--invert"}, {ops::invertColors}},
      {{"--mirror"}, {ops::mirrorHorizontal}},
      {{"--flip"}, {ops::flipVertical}},
      {{"--rotate", "4500"}, {[](Picture& p) {
         return ops::rotate(p, 4500, true, {0x40, 0x40, 0x40});
       }}},
      {{"--background", "12ab3C", "--rotate", "-4500"}, {[](Picture& p) {
         return ops::rotate(p, -4500, true, {0x12, 0xab, 0x3c});
       }}},
      {{"--rotate", "9000", "--resize", "30x10"},
       {[](Picture& p) { return ops::rotate(p, 9000, true, {}); },
        [](Picture& p) { return ops::resize(p, 30, 10, ops::ResizeMethod::Smooth); }}},
      {{"--gray"}, {ops::toGrayscale}},
      {{"--halftone"},
       {[](Picture& p) { return ops::makeHalftone(p, ops::Halftone::ClusteredDot); }}},
      {{"--depth", "4"},
       {[](Picture& p) { return ops::changeColorDepth(p, 4, ops::Dither::ErrorDiffusion); }}},
      {{"--gray", "--depth", "24"},
       {ops::toGrayscale, [](Picture& p) { return ops::changeColorDepth(p, 24, {}); }}},
      {{"--emboss"}, {[](Picture& p) { return ops::applyFilter(p, ops::Filter::Emboss); }}},
      {{"--edges"}, {[](Picture& p) { return ops::applyFilter(p, ops::Filter::EdgeDetect); }}},
      {{"--enhance"}, {[](Picture& p) { return ops::enhanceEdges(p, 100); }}},
      // A later saturation starts from where the first did; another
      // operation ends the run, so 0 then changes nothing.
      {{"--saturation", "-300", "--saturation", "200"}, {saturate(200)}},
      {{"--saturation", "500", "--mirror", "--saturation", "0"},
       {saturate(500), ops::mirrorHorizontal}},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const auto& f : c.flags) shown += " " + f;
    SCOPED_TRACE(shown);
    std::vector<std::string> args{dir.file("in.bmp")};
    args.insert(args.end(), c.flags.begin(), c.flags.end());
    args.push_back(dir.file("out.bmp"));
    const RunResult r = convert(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    Picture expected = copyOf(source);
    for (const Op& op : c.ops) ASSERT_TRUE(op(expected).ok());
    const Picture got = load(dir.file("out.bmp"));
    EXPECT_EQ(got.bits(), expected.bits());  // saved at the depth it has
    EXPECT_TRUE(closeColours(got, expected, 0));
  }
  // --info on two pages another program wrote, of which the first is loaded. The facts
  // of each format are checked with its codec; here, how the tool prints them.
  const Picture rgb = makePattern(40, 30, 24), gray = makePattern(64, 48, 8, true);
  const ByteVec file = toolWrites(Tool::ImageMagick, {&rgb, &gray}, {"-compress", "LZW"}, "a.tif");
  writeText(dir.file("two.tif"), std::string(file.begin(), file.end()));
  const RunResult r = convert({"--info", dir.file("two.tif")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_TRUE(r.err.empty()) << r.err;
  EXPECT_EQ(r.out,
            "BitsPerPixel: 24\nImageWidth: 40\nImageHeight: 30\nIsGray: 0\nFileFormat: 3\n"
            "OriginBits: 24\nOriginWidth: 40\nOriginHeight: 30\nFileSize: " +
                std::to_string(file.size()) + "\nMemSize: 3600\nCompression: LZW\nPageCount: 2\n");
}

}  // namespace
}  // namespace zelmar::test
