// The open command: the dialog shown over the main window, and what its OK,
// Cancel and frame close do to the picture list.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTimer>
#include <functional>

#include "app/module1.h"
#include "app/viewer_fixture.h"
#include "browse/ListFrm.h"
#include "files/OpenFrm.h"

namespace {

class OpenCommandTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    folder = picturesDir() + "/open";
    QDir().mkpath(folder);
    for (const char* n : {"a.jpg", "b.bmp", "c.tga"}) QFile(folder + "/" + n).open(QIODevice::WriteOnly);
    start();
    setList(2);  // the list before the command
    before = Module1::PictureList[0];
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
  OpenFrm* dialog() { return qobject_cast<OpenFrm*>(window->openWindow()); }
  QString before;
  QString folder;  // three pictures, apart from the list's own files
};

TEST_F(OpenCommandTest, OkWithFilesReplacesTheListAndShowsFirst) {
  engine().clearLog();
  openWith([&](OpenFrm& d) {
    EXPECT_EQ(d.FilePattern->currentText(), "*.BMP;*.PCX;*.TIF;*.TGA;*.JPG");
    ASSERT_TRUE(d.Dir1->setPath(folder));
    d.Command4_Click();
    d.Command3_Click();
    d.Command1_Click();
  });
  ASSERT_EQ(Module1::PictureCount, 3);
  EXPECT_TRUE(Module1::PictureList[0].endsWith("/a.jpg"));
  EXPECT_EQ(engine().calls("LoadFile"),
            QStringList{"LoadFile(" + Module1::PictureList[0] + ",0,0,1)"});
  EXPECT_EQ(window->windowTitle(), Module1::PictureList[0]);
  EXPECT_EQ(window->PictureIndex, 0);
}

TEST_F(OpenCommandTest, CancelChangesNothingButKeepsTheSelection) {
  window->PictureIndex = 1;
  openWith([&](OpenFrm& d) {
    ASSERT_TRUE(d.Dir1->setPath(folder));
    d.Command3_Click();
    d.Command2_Click();
  });
  EXPECT_EQ(Module1::PictureCount, 2);
  EXPECT_EQ(Module1::PictureList[0], before);
  EXPECT_EQ(window->PictureIndex, 1);
  int kept = 0;
  openWith([&](OpenFrm& d) { kept = d.List1->count(); });
  EXPECT_EQ(kept, 3);
}

TEST_F(OpenCommandTest, PatternListStaysSevenEntries) {
  int entries = 0;
  for (int i = 0; i < 3; ++i) openWith([&](OpenFrm& d) { entries = d.FilePattern->count(); });
  EXPECT_EQ(entries, 7);
}

TEST_F(OpenCommandTest, VisibleFileListIsRefilled) {
  window->runCommand("idm_FileList");
  openWith([&](OpenFrm& d) {
    ASSERT_TRUE(d.Dir1->setPath(folder));
    d.Command4_Click();
    d.Command3_Click();
    d.Command1_Click();
  });
  EXPECT_EQ(window->listForm()->List1->count(), 3);
  EXPECT_EQ(window->listForm()->windowTitle(), "图象文件列表 共3张");
}

TEST_F(OpenCommandTest, ClosingByFrameActsAsCancelAndStartsAfresh) {
  openWith([&](OpenFrm& d) {
    ASSERT_TRUE(d.Dir1->setPath(folder));
    d.Command3_Click();
    d.close();
  });
  EXPECT_EQ(Module1::PictureCount, 2);
  EXPECT_EQ(dialog(), nullptr);
  int kept = -1;
  openWith([&](OpenFrm& d) { kept = d.List1->count(); });
  EXPECT_EQ(kept, 0);
}

}  // namespace
