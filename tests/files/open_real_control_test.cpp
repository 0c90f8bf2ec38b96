// The open dialog with the real imaging control: a picture whose name is not
// valid UTF-8 is listed, previewed, and opens again from the picture list.
#include <gtest/gtest.h>

#include <QListWidget>
#include <filesystem>
#include <memory>

#include "app/module1.h"
#include "engine/io/file_io.h"
#include "engine/qt/engine_factory.h"
#include "engine/qt/file_names.h"
#include "files/OpenFrm.h"
#include "support/pictures.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

TEST(OpenRealControl, PicturesWithAnyNameOpen) {
  zelmar::test::TempDir dir;
  const std::string names[] = {"my photo.bmp", "\xE5\x9B\xBE\xE7\x89\x87.bmp", "raw\xFF\xFE.bmp"};
  for (size_t i = 0; i < std::size(names); ++i) {
    const zelmar::Picture p = zelmar::test::makePattern(uint32_t(5 + i), 4, 24);
    ASSERT_TRUE(zelmar::savePicture(p, (dir.path() / names[i]).string(), 6, 0, 64, false).ok());
  }

  OpenFrm frm;
  ASSERT_NE(frm.Engine1, nullptr);
  ASSERT_TRUE(frm.Dir1->setPath(filenames::fromFsPath(dir.path())));
  ASSERT_EQ(frm.File1->count(), 3);
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    frm.File1->setCurrentRow(row);
    // Sorted: "my photo", "raw..", then the Chinese name; widths 5, 7, 6.
    EXPECT_EQ(frm.Engine1->ImageWidth(), float(row == 0 ? 5 : row == 1 ? 7 : 6));
  }

  frm.Command3_Click();
  frm.Command1_Click();
  ASSERT_EQ(frm.SelectedCount, 3);
  std::unique_ptr<QWidget> owner = std::make_unique<QWidget>();
  ImageEngine* viewer = createImageEngine(owner.get());
  ASSERT_NE(viewer, nullptr);
  viewer->setRaiseErrors(false);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(viewer->LoadFile(Module1::PictureList[size_t(i)], 0, 0, 1), 0)
        << Module1::PictureList[size_t(i)].toStdString();
  }
}
