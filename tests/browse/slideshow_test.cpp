// The slide show: starting and stopping, ticks with wrap-around, the delay
// items, and the file list following along.
#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QtTest/QTest>

#include "app/module1.h"
#include "app/viewer_fixture.h"
#include "browse/ListFrm.h"
#include "ui/ToolFrm.h"

namespace {

class SlideShowTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    window = Module1::Main(QString());
    tool = qobject_cast<ToolFrm*>(window->toolWindow());
    ASSERT_NE(tool, nullptr);
  }
  void tick() { emit window->Timer1->timeout({}); }
  bool running() {
    return window->Timer1->isActive() && window->action("idm_stop")->isEnabled() &&
           !window->action("idm_slide")->isEnabled() && tool->button("slide")->isChecked();
  }
  bool stopped() {
    return !window->Timer1->isActive() && !window->action("idm_stop")->isEnabled() &&
           window->action("idm_slide")->isEnabled() && !tool->button("slide")->isChecked();
  }
  QStringList checkedDelays() {
    emit window->menu("idm_display")->aboutToShow();
    QStringList out;
    for (QAction* a : window->menu("idm_autodelay")->actions())
      if (a->isChecked()) out << a->objectName();
    return out;
  }
  ToolFrm* tool = nullptr;
};

TEST_F(SlideShowTest, StartsStopsAndLoops) {
  setList(2);
  EXPECT_TRUE(stopped());
  window->runCommand("idm_slide");
  EXPECT_TRUE(running());
  EXPECT_EQ(engine().count("LoadFile"), 0);  // the first picture comes with the first tick
  tick();
  EXPECT_EQ(window->windowTitle(), Module1::PictureList[1]);
  tick();
  EXPECT_EQ(window->windowTitle(), Module1::PictureList[0]);
  EXPECT_EQ(window->PictureIndex, 0);
  window->runCommand("idm_stop");
  EXPECT_TRUE(stopped());
  EXPECT_EQ(window->PictureIndex, 0);
  // Again: on from the picture on screen.
  window->doFunc("slide");
  tick();
  EXPECT_EQ(window->PictureIndex, 1);
}

TEST_F(SlideShowTest, FewerThanTwoPicturesChangeNothing) {
  for (int n : {0, 1}) {
    SCOPED_TRACE(n);
    setList(n);
    window->runCommand("idm_slide");
    EXPECT_TRUE(stopped());
  }
}

TEST_F(SlideShowTest, DelayItemsSetThePaceAndTheMark) {
  setList(3);
  EXPECT_EQ(checkedDelays(), QStringList{"idm_delay2"});
  window->runCommand("idm_slide");
  window->action("idm_Half500")->trigger();
  EXPECT_EQ(window->Timer1->interval(), 500);
  EXPECT_TRUE(running());
  EXPECT_EQ(checkedDelays(), QStringList{"idm_Half500"});
  window->action("idm_delay4")->trigger();
  EXPECT_EQ(checkedDelays(), QStringList{"idm_delay4"});
  window->Timer1->setInterval(1234);
  EXPECT_EQ(checkedDelays(), QStringList{});
  window->runCommand("idm_stop");
  window->action("idm_delay3")->trigger();
  EXPECT_TRUE(stopped());
  EXPECT_EQ(window->Timer1->interval(), 3000);
}

TEST_F(SlideShowTest, FileListFollowsOnlyWhileVisible) {
  setList(3);
  window->runCommand("idm_FileList");
  ListFrm* list = window->listForm();
  window->runCommand("idm_slide");
  tick();
  EXPECT_EQ(list->windowTitle(), "图像文件列表 第2/3张");
  EXPECT_EQ(list->List1->currentRow(), 1);
  EXPECT_EQ(window->PictureIndex, 1);
  window->runCommand("idm_FileList");  // hide
  tick();
  EXPECT_EQ(list->windowTitle(), "图像文件列表 第2/3张");
  EXPECT_EQ(window->PictureIndex, 2);
}

TEST_F(SlideShowTest, FailingPicturesDoNotStopTheShow) {
  setList(3);
  engine().failPath(Module1::PictureList[1]);
  window->runCommand("idm_slide");
  tick();
  EXPECT_TRUE(running());
  EXPECT_EQ(window->windowTitle(), "Zelmar");
  tick();
  EXPECT_EQ(window->windowTitle(), Module1::PictureList[2]);
  EXPECT_EQ(engine().count("Repaint"), 1);
}

TEST_F(SlideShowTest, RealTimerAdvances) {
  setList(3);
  window->action("idm_Half500")->trigger();
  window->runCommand("idm_slide");
  window->Timer1->setInterval(1);  // no wall-clock waiting in a unit test
  QTRY_COMPARE_WITH_TIMEOUT(window->PictureIndex >= 1, true, 5000);
}

}  // namespace
