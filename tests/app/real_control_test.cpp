// What a user sees, with the real imaging control and real picture files.
#include <QAction>
#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QMenuBar>

#include "app/module1.h"
#include "app/viewer_fixture.h"
#include "browse/ListFrm.h"
#include "ui/ToolFrm.h"

namespace {

class RealControlTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    RecordingEngine::uninstall();
    folder = picturesDir() + "/照片 集";
    ASSERT_TRUE(QDir().mkpath(folder));
    for (int i = 0; i < 3; ++i) paths << realPicture(folder, QString("pic %1.bmp").arg(i), 40, 30);
    // Not a picture at all, but named like one.
    QFile broken(folder + "/pic 3.bmp");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("BM not really");
    paths << broken.fileName();
  }
  QStringList paths;
  QString folder;
};

TEST_F(RealControlTest, BrowsesAFolderLikeAUser) {
  writeSettings(("[VANTREL]\nLANGUAGE=0\nFILES=" + folder + "\n").toUtf8());
  window = Module1::Main(QString());
  ASSERT_NE(window->Engine1, nullptr);
  EXPECT_EQ(window->windowTitle(), paths[0]);
  EXPECT_EQ(window->Engine1->ImageWidth(), 40);
  EXPECT_EQ(window->action("idm_display")->text(), "&Display");

  window->doFunc("list");
  QListWidget* rows = window->listForm()->List1;
  ASSERT_EQ(rows->count(), 4);
  EXPECT_EQ(rows->item(3)->text(), paths[3]);
  EXPECT_EQ(window->listForm()->windowTitle(), "图像文件列表 第1/4张");

  window->doFunc("end");  // the broken file: the title stays on the last good picture
  EXPECT_EQ(window->windowTitle(), paths[0]);
  EXPECT_EQ(window->listForm()->windowTitle(), "图像文件列表 第4/4张");
  window->doFunc("next");
  EXPECT_EQ(window->windowTitle(), paths[0]);
  window->doFunc("next");
  EXPECT_EQ(window->windowTitle(), paths[1]);
  EXPECT_TRUE(window->Engine1->RepaintEnabled());

  // The window paints the picture, not just a background.
  window->resize(300, 240);
  const QImage shot = window->Engine1->widget()->grab().toImage();
  const QColor corner = shot.pixelColor(0, 0);
  const QColor centre = shot.pixelColor(shot.width() / 2, shot.height() / 2);
  EXPECT_NE(corner, centre);
}

TEST_F(RealControlTest, ExitStoresTheListedFolderByteForByte) {
  window = Module1::Main(paths[1]);
  EXPECT_TRUE(window->embedded());
  EXPECT_TRUE(window->menuBar()->actions().size() == 3);
  for (QAction* top : window->menuBar()->actions()) EXPECT_FALSE(top->isVisible());
  EXPECT_EQ(window->windowTitle(), paths[1]);
  window->doFunc("next");
  EXPECT_EQ(window->windowTitle(), paths[2]);
  window->doFunc("exit");
  EXPECT_EQ(settingsText(), "[VANTREL]\nLANGUAGE= 1\nFILES=" + QDir(folder).canonicalPath() + "\n");
  EXPECT_EQ(messages, QStringList{"提示用户|确认是否退出图像浏览软件 ？"});
}

TEST_F(RealControlTest, TinyWindowKeepsWorking) {
  window = Module1::Main(paths[0]);
  window->resize(1, 1);
  window->LayoutPicture();
  window->doFunc("next");
  window->doFunc("fit");
  window->doFunc("fit");
  EXPECT_EQ(window->windowTitle(), paths[1]);
  EXPECT_GE(window->Engine1->widget()->width(), 1);
}

}  // namespace
