// Loading and saving through the control, and the file facts it reports.
#include <filesystem>

#include "control_fixture.h"
#include "engine/io/file_io.h"
#include "support/bmp_pcx_files.h"
#include "support/pictures.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/tiff_jpeg_oracle.h"

namespace zelmar::test {
namespace {

QString qpath(const std::string& s) { return QString::fromStdString(s); }

TEST_F(ControlTest, LoadReportsThePictureAndTheFactsOfItsFile) {
  TempDir dir;
  struct Case {
    int bits;
    bool gray;
    int format;
    const char* name;
  };
  for (const Case c : {Case{24, false, 6, "colour.bmp"}, Case{8, true, 6, "grey.bmp"},
                       Case{4, false, 1, "sixteen.pcx"}, Case{1, true, 6, "bw.bmp"}}) {
    SCOPED_TRACE(c.name);
    const Picture source = makePattern(33, 17, c.bits, c.gray);
    const std::string path = dir.file(c.name);
    ASSERT_TRUE(savePicture(source, path, c.format, c.bits, 64, false).ok());

    ASSERT_EQ(control->LoadFile(qpath(path), 0, 0, 1), 0);
    EXPECT_EQ(control->ImageWidth(), 33);
    EXPECT_EQ(control->ImageHeight(), 17);
    EXPECT_EQ(control->BitsPerPixel(), c.bits);
    EXPECT_EQ(control->IsGray(), c.gray ? 1 : 0);
    EXPECT_EQ(control->FileFormat(), c.format);
    EXPECT_EQ(control->OriginWidth(), 33);
    EXPECT_EQ(control->OriginHeight(), 17);
    EXPECT_EQ(control->OriginBits(), c.bits);
    EXPECT_EQ(control->FileSize(), int32_t(std::filesystem::file_size(path)));
    const int paletteBytes = c.bits == 24 ? 0 : (1 << c.bits) * 3;
    EXPECT_EQ(control->MemSize(), 33 * 17 * (c.bits == 24 ? 3 : 1) + paletteBytes);
    EXPECT_FALSE(control->Compression().isEmpty());
    EXPECT_EQ(control->PageCount(), 1);
    EXPECT_TRUE(sameColors(control->picture(), source));
  }
}

// Transparent pixels show the colour the control paints around the picture.
TEST_F(ControlTest, TransparentPixelsLoadAsTheBackColor) {
  if (imConvert().empty()) GTEST_SKIP() << "ImageMagick missing";
  TempDir dir;
  const std::string path = dir.file("clear.png");
  const std::vector<std::string> clear = {"-alpha",    "set", "-channel", "A",
                                          "-evaluate", "set", "0"};
  ASSERT_TRUE(writeBytes(path, oracleEncode(imConvert(), makePhoto(8, 6), clear, "png")));
  for (const QColor& back : {QColor(200, 30, 90), QColor(0x40, 0x40, 0x40)}) {
    control->setBackColor(back);
    ASSERT_EQ(control->LoadFile(qpath(path), 0, 0, 1), 0);
    EXPECT_EQ(pixelAt(control->picture(), 5, 3), rgbOf(back.rgb()));
  }
}

TEST_F(ControlTest, SaveWritesWhatAnotherControlLoadsBack) {
  TempDir dir;
  control->adoptPicture(makePattern(21, 13, 24));
  const std::string path = dir.file("copy.pcx");
  ASSERT_EQ(control->SaveFile(qpath(path), 1, 24, 64, false), 0);
  ImageControl other;
  ASSERT_EQ(other.LoadFile(qpath(path), 0, 0, 1), 0);
  EXPECT_TRUE(sameColors(other.picture(), makePattern(21, 13, 24)));

  control->setRaiseErrors(false);
  EXPECT_NE(control->SaveFile(qpath(dir.file("no/such/folder/x.bmp")), 6, 24, 64, false), 0);
  EXPECT_NE(control->SaveFile(qpath(path), 6, 24, 64, true), 0);  // appending a page
  ASSERT_EQ(other.LoadFile(qpath(path), 0, 0, 1), 0);
  EXPECT_EQ(other.FileFormat(), 1);
}

TEST_F(ControlTest, ALoadEndsARunOfSaturationChangesAndRepaintsOnlyWhenAllowed) {
  TempDir dir;
  const std::string path = dir.file("next.bmp");
  ASSERT_TRUE(savePicture(makePhoto(30, 20, 3), path, 6, 24, 64, false).ok());
  control->adoptPicture(makePhoto(30, 20, 9));
  ASSERT_EQ(control->AdjustSaturation(600), 0);

  control->setRepaintEnabled(false);
  QApplication::processEvents();
  const int paints = control->paintCount();
  ASSERT_EQ(control->LoadFile(qpath(path), 0, 0, 1), 0);
  QApplication::processEvents();
  EXPECT_EQ(control->paintCount(), paints);

  control->setRepaintEnabled(true);
  ASSERT_EQ(control->AdjustSaturation(0), 0);  // gives back the loaded picture
  QApplication::processEvents();
  EXPECT_EQ(control->paintCount(), paints + 1);
  EXPECT_EQ(maxChannelDiff(control->picture(), makePhoto(30, 20, 3)), 0);
}

}  // namespace
}  // namespace zelmar::test
