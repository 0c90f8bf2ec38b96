// Moving through the list: wrap-around, the position title, failed loads,
// and the keys that reach the same commands.
#include <QAction>
#include <QListWidget>
#include <QTest>

#include "app/module1.h"
#include "app/viewer_fixture.h"
#include "browse/ListFrm.h"

namespace {

class NavigationTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start();
  }
  QString listTitle() { return window->listForm()->windowTitle(); }
  // Shortcuts reach only the active window.
  void showActive() {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  void go(const char* item) {
    engine().clearLog();
    window->runCommand(item);
  }
};

TEST_F(NavigationTest, WrapsBothWays) {
  setList(3);
  go("idm_next");
  EXPECT_EQ(window->PictureIndex, 1);
  EXPECT_EQ(listTitle(), "图像文件列表 第2/3张");
  EXPECT_EQ(window->windowTitle(), Module1::PictureList[1]);
  go("idm_next");
  go("idm_next");
  EXPECT_EQ(window->PictureIndex, 0);
  EXPECT_EQ(window->windowTitle(), Module1::PictureList[0]);
  go("idm_prev");
  EXPECT_EQ(window->PictureIndex, 2);
  EXPECT_EQ(listTitle(), "图像文件列表 第3/3张");
  EXPECT_FALSE(window->listForm()->isVisible());  // written, not shown
}

TEST_F(NavigationTest, FirstAndLastDoNothingWhereTheyAre) {
  setList(3);
  go("idm_first");
  EXPECT_EQ(engine().count("LoadFile"), 0);
  go("idm_end");
  EXPECT_EQ(window->PictureIndex, 2);
  EXPECT_EQ(engine().count("LoadFile"), 1);
  go("idm_end");
  EXPECT_EQ(engine().count("LoadFile"), 0);
  go("idm_first");
  EXPECT_EQ(window->PictureIndex, 0);
  EXPECT_EQ(engine().calls("LoadFile"),
            QStringList{"LoadFile(" + Module1::PictureList[0] + ",0,0,1)"});
}

TEST_F(NavigationTest, OnePictureMovesNothing) {
  setList(1);
  const QString title = listTitle();
  for (const char* item : {"idm_next", "idm_prev", "idm_first", "idm_end"}) {
    go(item);
    EXPECT_EQ(engine().log.size(), 0u) << item;
  }
  EXPECT_EQ(listTitle(), title);
  EXPECT_EQ(window->PictureIndex, 0);
}

TEST_F(NavigationTest, EmptyListStillRunsQuietly) {
  go("idm_next");
  EXPECT_EQ(window->PictureIndex, 0);
  EXPECT_EQ(listTitle(), "图像文件列表 第1/0张");
  EXPECT_EQ(engine().calls("LoadFile"), QStringList{"LoadFile(,0,0,1)"});
  EXPECT_EQ(engine().count("Repaint"), 0);
  go("idm_prev");
  EXPECT_EQ(window->PictureIndex, -1);
  EXPECT_EQ(listTitle(), "图像文件列表 第0/0张");
  EXPECT_EQ(engine().count("LoadFile"), 0);
  go("idm_end");
  EXPECT_EQ(window->PictureIndex, -1);
  EXPECT_EQ(messages.size(), 0);
}

TEST_F(NavigationTest, ThousandPictures) {
  setList(1000);
  go("idm_end");
  EXPECT_EQ(listTitle(), "图像文件列表 第1000/1000张");
  EXPECT_EQ(engine().calls("LoadFile"),
            QStringList{"LoadFile(" + Module1::PictureList[999] + ",0,0,1)"});
}

TEST_F(NavigationTest, FailedLoadStillMoves) {
  setList(3);
  go("idm_next");
  engine().failPath(Module1::PictureList[2]);
  go("idm_next");
  EXPECT_EQ(window->PictureIndex, 2);
  EXPECT_EQ(listTitle(), "图像文件列表 第3/3张");
  EXPECT_EQ(window->windowTitle(), Module1::PictureList[1]);
  go("idm_next");
  EXPECT_EQ(window->windowTitle(), Module1::PictureList[0]);
}

TEST_F(NavigationTest, ViewerKeysRunTheMenuCommands) {
  setList(4);
  showActive();
  const struct {
    Qt::Key key;
    int16_t index;
  } steps[] = {{Qt::Key_Right, 1}, {Qt::Key_PageDown, 2}, {Qt::Key_Space, 3}, {Qt::Key_Right, 0},
               {Qt::Key_Left, 3},  {Qt::Key_PageUp, 2},   {Qt::Key_Backspace, 1},
               {Qt::Key_End, 3},   {Qt::Key_Home, 0}};
  for (const auto& s : steps) {
    SCOPED_TRACE(QKeySequence(s.key).toString().toStdString());
    QTest::keyClick(window.get(), s.key);
    EXPECT_EQ(window->PictureIndex, s.index);
  }
  // The same handlers: the position title follows.
  EXPECT_EQ(listTitle(), "图像文件列表 第1/4张");
}

TEST_F(NavigationTest, KeysWorkWithMenusHidden) {
  setList(2);
  showActive();
  for (const char* m : {"idm_File", "idm_display", "idm_processing"})
    window->action(m)->setVisible(false);
  QTest::keyClick(window.get(), Qt::Key_Right);
  EXPECT_EQ(window->PictureIndex, 1);
}

}  // namespace
