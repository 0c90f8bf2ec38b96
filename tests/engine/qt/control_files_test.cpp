// Loading and saving through the control, and the file facts it reports.
#include <filesystem>

#include "control_fixture.h"
#include "engine/io/file_io.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

TEST_F(ControlTest, LoadReportsThePictureAndTheFactsOfItsFile) {
  TempDir dir;
  const struct {
    int bits;
    bool gray;
    int format;
    const char* name;
  } cases[] = {{24, false, 6, "colour.bmp"},
               {8, true, 6, "grey.bmp"},
               {4, false, 1, "sixteen.pcx"},
               {1, true, 5, "bw.cmp"}};
  for (const auto& c : cases) {
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
    EXPECT_EQ(control->FileSize(), int64_t(std::filesystem::file_size(path)));
    EXPECT_EQ(control->MemSize(),
              33 * 17 * (c.bits == 24 ? 3 : 1) + (c.bits == 24 ? 0 : (1 << c.bits) * 3));
    EXPECT_EQ(control->Compression(), c.format == 6 ? "None" : c.format == 1 ? "RLE" : "zstd");
    EXPECT_EQ(control->PageCount(), 1);
    EXPECT_TRUE(closeColours(control->picture(), source, 0));
  }
}

TEST_F(ControlTest, SaveWritesWhatAnotherControlLoadsBackAndFailsWithoutHarm) {
  TempDir dir;
  control->adoptPicture(makePattern(21, 13, 24));
  const std::string path = dir.file("copy.pcx");
  ASSERT_EQ(control->SaveFile(qpath(path), 1, 24, 64, false), 0);
  ImageControl other;
  ASSERT_EQ(other.LoadFile(qpath(path), 0, 0, 1), 0);
  EXPECT_TRUE(closeColours(other.picture(), makePattern(21, 13, 24), 0));
  control->setRaiseErrors(false);
  EXPECT_NE(control->SaveFile(qpath(dir.file("no/such/folder/x.bmp")), 6, 24, 64, false), 0);
  EXPECT_NE(control->SaveFile(qpath(path), 6, 24, 64, true), 0);  // appending a page
  ASSERT_EQ(other.LoadFile(qpath(path), 0, 0, 1), 0);
  EXPECT_EQ(other.FileFormat(), 1);
}

}  // namespace
}  // namespace zelmar::test
