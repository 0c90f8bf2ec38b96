// Choosing the codec: content first, Targa (no signature) only by extension.
#include "engine/io/formats.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/core/facts.h"
#include "engine/io/file_io.h"
#include "support/pictures.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;

TEST(Formats, TargaIsRecognisedOnlyByItsExtension) {
  test::TempDir dir;
  const Picture source = test::makePattern(21, 13, 24);
  const std::string pnm = dir.file("in.ppm"), tga = dir.file("made.tga");
  ASSERT_TRUE(test::writePnm(source, pnm));
  // GraphicsMagick, since ImageMagick 6 stores Targa rows top first while
  // declaring them bottom first.
  ASSERT_EQ(test::run({test::gm(), "convert", pnm, tga}).exitCode, 0);

  Decoded d;
  ASSERT_TRUE(loadPicture(tga, {}, d).ok());
  EXPECT_EQ(d.facts.fileFormat, format::kTarga);
  EXPECT_TRUE(test::sameColors(source, d.picture));

  for (const std::string name : {"upper.TGA", "long.targa", "other.vda"}) {
    SCOPED_TRACE(name);
    fs::copy_file(tga, dir.file(name));
    EXPECT_TRUE(loadPicture(dir.file(name), {}, d).ok());
  }
  for (const std::string name : {"renamed.bin", "renamed.bmp", "noextension", "tga"}) {
    SCOPED_TRACE(name);
    fs::copy_file(tga, dir.file(name));
    EXPECT_EQ(loadPicture(dir.file(name), {}, d).code(), ErrorCode::UnknownFormat);
  }
}

TEST(Formats, ContentWinsOverTheExtension) {
  test::TempDir dir;
  const Picture source = test::makePattern(9, 7, 8);
  OutputBuffer cmp;
  ASSERT_TRUE(encodeAs(source, format::kCmp, {}, cmp).ok());
  // A CMP file named like a Targa file is still read as CMP.
  Decoded d;
  ASSERT_TRUE(decodeAny(cmp.bytes(), ".tga", {}, d).ok());
  EXPECT_EQ(d.facts.fileFormat, format::kCmp);
  EXPECT_TRUE(test::sameColors(source, d.picture));
}

TEST(Formats, OnlyTheSixSaveCodesAreWritten) {
  const Picture p = test::makePattern(4, 4, 24);
  for (int code : {0, 2, 7, 10, 11, 22, 23, 85, 93, -6, 1006}) {
    SCOPED_TRACE(code);
    OutputBuffer out;
    EXPECT_EQ(encodeAs(p, code, {}, out).code(), ErrorCode::UnsupportedFormat);
    EXPECT_EQ(out.size(), 0u);
  }
  OutputBuffer out;
  EXPECT_EQ(encodeAs(Picture(), format::kCmp, {}, out).code(), ErrorCode::NoPicture);
  EXPECT_EQ(decodeAny({}, ".bmp", {}, *std::make_unique<Decoded>()).code(), ErrorCode::EmptyFile);
}

}  // namespace
}  // namespace zelmar
