// The file list window: opening and closing with its marks, rows chosen by
// mouse or keyboard, placement and layout; and the slide show, which moves
// it along while it is visible.
#include <QAction>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/viewer_fixture.h"
#include "base/placement.h"
#include "browse/ListFrm.h"

namespace {

class ListWindowTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start();
    paths = pictures({"p0.bmp", "p1.bmp", "p2.bmp"});
    useList(paths);
  }
  bool listShown() {
    const bool check = window->action(Command::idm_FileList)->isChecked();
    EXPECT_EQ(tool()->button("list")->isChecked(), check);
    EXPECT_EQ(window->listWindow().visible(), check);
    return check;
  }
  QStringList paths;
};

TEST_F(ListWindowTest, OpensWithEveryRowAndClosesWithItsMarks) {
  ctx().setPictureIndex(1);
  window->doFunc("list");
  ASSERT_TRUE(listShown());
  QStringList rows;
  for (int i = 0; i < list()->List1->count(); ++i) rows << list()->List1->item(i)->text();
  EXPECT_EQ(rows, paths);
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第2/3张");
  EXPECT_TRUE(list()->List1->selectedItems().isEmpty());
  EXPECT_EQ(list()->List1->font().pointSize(), 10);
  EXPECT_EQ(list()->parentWidget(), window.get());
  // 15 mm from the screen's right and bottom edges, by the outer frame.
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const int margin = qRound(units::millimetresToPixels(15));
  EXPECT_EQ(screen.right() - list()->frameGeometry().right(), margin);
  EXPECT_EQ(screen.bottom() - list()->frameGeometry().bottom(), margin);
  window->runCommand(Command::idm_FileList);
  EXPECT_FALSE(listShown());
  EXPECT_TRUE(window->listWindow().loaded());
  window->doFunc("list");
  ctx().setPictureCount(0);
  window->doFunc("list");  // an empty list only makes sure the window is gone
  EXPECT_FALSE(listShown());
  EXPECT_FALSE(window->listWindow().loaded());
}

TEST_F(ListWindowTest, ChoosingARowByMouseOrKeyboardShowsIt) {
  window->doFunc("list");
  QListWidget* rows = list()->List1;
  const auto click = [&](int row) {
    spy().log.clear();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                      rows->visualItemRect(rows->item(row)).center());
  };
  click(2);
  EXPECT_EQ(window->PictureIndex(), 2);
  EXPECT_EQ(window->windowTitle(), paths[2]);
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第3/3张");
  EXPECT_EQ(spy().count("LoadFile"), 1);
  click(2);  // the picture on screen is shown again
  EXPECT_EQ(spy().count("LoadFile"), 1);
  spy().log.clear();
  rows->setFocus();
  QTest::keyClick(rows, Qt::Key_Up);
  EXPECT_EQ(window->PictureIndex(), 1);
  EXPECT_EQ(window->windowTitle(), paths[1]);
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第2/3张");
  EXPECT_EQ(spy().count("LoadFile"), 1);
}

TEST_F(ListWindowTest, ListKeepsAMillimetreMarginAndIgnoresTinySizes) {
  window->doFunc("list");
  const int m = qRound(units::millimetresToPixels(1));
  list()->resize(300, 200);
  EXPECT_EQ(list()->List1->geometry(), QRect(m, m, 300 - 2 * m, 200 - 2 * m));
  list()->resize(300, 1);  // too low: the list keeps its height
  EXPECT_EQ(list()->List1->geometry(), QRect(m, m, 300 - 2 * m, 200 - 2 * m));
}

TEST_F(ListWindowTest, SlideShow) {
  const auto tick = [&] {
    spy().log.clear();
    emit window->Timer1->timeout({});
  };
  const auto running = [&] {
    const bool on = window->Timer1->isActive();
    EXPECT_EQ(window->action(Command::idm_stop)->isEnabled(), on);
    EXPECT_EQ(window->action(Command::idm_slide)->isEnabled(), !on);
    EXPECT_EQ(tool()->button("slide")->isChecked(), on);
    return on;
  };
  const auto delayMark = [&] {
    emit window->action(Command::idm_display)->menu<QMenu*>()->aboutToShow();
    QStringList out;
    for (QAction* a : window->action(Command::idm_autodelay)->menu<QMenu*>()->actions())
      if (a->isChecked()) out << a->objectName();
    return out;
  };
  for (int count : {0, 1}) {  // fewer than two pictures: nothing moves
    ctx().setPictureCount(int16_t(count));
    window->doFunc("slide");
    EXPECT_FALSE(running());
  }
  useList(paths);
  EXPECT_EQ(delayMark(), QStringList{"idm_delay2"});
  window->doFunc("slide");
  EXPECT_TRUE(running());
  EXPECT_EQ(window->windowTitle(), "Zelmar");  // the first picture comes with the first tick
  tick();
  EXPECT_EQ(window->windowTitle(), paths[1]);
  window->action(Command::idm_Half500)->trigger();  // a new pace, still running
  EXPECT_TRUE(running());
  EXPECT_EQ(window->Timer1->interval(), 500);
  EXPECT_EQ(delayMark(), QStringList{"idm_Half500"});
  tick();
  tick();
  EXPECT_EQ(window->PictureIndex(), 0);  // round again
  window->doFunc("SLIDE");
  EXPECT_FALSE(running());
  window->action(Command::idm_delay3)->trigger();
  EXPECT_FALSE(running());
  EXPECT_EQ(delayMark(), QStringList{"idm_delay3"});
  window->Timer1->setInterval(1234);
  EXPECT_EQ(delayMark(), QStringList{});
  // Started again, the show goes on from the picture on screen; the list
  // window's title and selection follow while it is visible, with each
  // picture shown once.
  window->runCommand(Command::idm_slide);
  window->doFunc("list");
  tick();
  EXPECT_EQ(window->PictureIndex(), 1);
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第2/3张");
  EXPECT_EQ(list()->List1->currentRow(), 1);
  EXPECT_EQ(spy().count("LoadFile"), 1);
  window->doFunc("list");
  tick();
  EXPECT_EQ(window->PictureIndex(), 2);
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第2/3张");
  // The real timer drives it too.
  window->Timer1->setInterval(1);
  QTRY_COMPARE_WITH_TIMEOUT(window->PictureIndex(), int16_t(0), 10000);
  window->doFunc("slide");
}

}  // namespace
