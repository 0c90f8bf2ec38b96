// The open command: the dialog over the main window, and what its OK,
// Cancel and frame close do to the picture list and the file list window.
#include <functional>

#include "app/viewer_fixture.h"
#include "browse/ListFrm.h"
#include "engine/qt/file_names.h"

namespace {

class OpenCommandTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start();
    before = pictures({"a.bmp", "b.bmp"}, "before");
    useList(before);
    window->ShowPicture(0);
  }
  // Runs the open command, doing `inside` with the dialog once it is up.
  void openWith(std::function<void(OpenFrm&)> inside) {
    QTimer::singleShot(0, [&] {
      auto* d = qobject_cast<OpenFrm*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      inside(*d);
      if (d->isVisible()) d->Command2_Click();  // never leave it open
    });
    window->doFunc("open");
  }
  QStringList before;
};

TEST_F(OpenCommandTest, OkMakesANewListOfAtMostAThousandAndShowsItsFirst) {
  const QStringList two = pictures({"x.bmp", "y.bmp"}, "two");
  window->doFunc("list");
  openWith([&](OpenFrm& d) {
    EXPECT_EQ(d.FilePattern->currentText(), "*.BMP;*.PCX;*.TIF;*.TGA;*.JPG");
    ASSERT_TRUE(d.Dir1->setPath(path("two")));
    d.Command4_Click();
    for (int i = 0; i < 501; ++i) d.Command3_Click();  // 1002 names, two files
    d.Command1_Click();
  });
  ASSERT_EQ(ctx().PictureCount(), 1000);
  EXPECT_EQ(ctx().PictureList(999), two[1]);
  EXPECT_EQ(ctx().PictureList(1000), "");
  EXPECT_EQ(window->windowTitle(), two[0]);
  EXPECT_EQ(window->PictureIndex(), 0);
  // The visible file list window is refilled.
  EXPECT_EQ(list()->List1->count(), 1000);
  EXPECT_EQ(list()->windowTitle(), "图象文件列表 共1000张");
  window->doFunc("end");
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第1000/1000张");
  EXPECT_EQ(window->windowTitle(), two[1]);
}

TEST_F(OpenCommandTest, CancelKeepsTheListAndTheSelectionTheFrameDiscardsTheSelection) {
  ctx().setPictureIndex(1);
  int entries = 0, kept = 0;
  for (int i = 0; i < 3; ++i) openWith([&](OpenFrm& d) { entries = d.FilePattern->count(); });
  EXPECT_EQ(entries, 7);  // however often it opens
  for (bool byFrame : {false, true}) {
    openWith([&](OpenFrm& d) {
      ASSERT_TRUE(d.Dir1->setPath(path("before")));
      d.Command3_Click();
      byFrame ? void(d.close()) : d.Command2_Click();
    });
    EXPECT_EQ(ctx().PictureCount(), 2);
    EXPECT_EQ(ctx().PictureList(0), before[0]);
    EXPECT_EQ(window->PictureIndex(), 1);
    EXPECT_EQ(window->openDialog().loaded(), !byFrame);
    openWith([&](OpenFrm& d) { kept = d.List1->count(); });
    EXPECT_EQ(kept, byFrame ? 0 : 2);
  }
}

TEST_F(OpenCommandTest, NamesOfAnyBytesTravelFromTheFolderToTheScreen) {
  const QStringList named = pictures(  // in 相册 and a stray byte
      {"my photo.bmp", QString::fromUtf8("图片.bmp"), filenames::nameFromBytes("raw\xFF.bmp")},
      filenames::nameFromBytes("\xE7\x9B\xB8\xE5\x86\x8C \xFE"));
  openWith([&](OpenFrm& d) {
    ASSERT_TRUE(d.Dir1->setPath(QFileInfo(named[0]).path()));
    d.Command4_Click();
    d.Command3_Click();
    d.Command1_Click();
  });
  ASSERT_EQ(ctx().PictureCount(), 3);
  // The title moves only when a load succeeds.
  for (int i = 0; i < 3; ++i) {
    window->doFunc("next");
    EXPECT_EQ(window->windowTitle(), ctx().PictureList(window->PictureIndex()));
    EXPECT_TRUE(named.contains(window->windowTitle()));
  }
}

}  // namespace
