// Moving through the list by tool key, menu item and keyboard: wrap-around,
// the position title, loads that fail, and lists of one or no picture.
#include <QAction>
#include <QFile>
#include <QTest>

#include "app/viewer_fixture.h"
#include "browse/ListFrm.h"

namespace {

class NavigationTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start();
    paths = pictures({"p0.bmp", "p1.bmp"});
    QFile broken(path("pics/p2.bmp"));  // named like a picture, but none
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly) && broken.write("BM not really"));
    paths << broken.fileName() << pictures({"p3.bmp"});
    useList(paths);
    window->ShowPicture(0);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));  // keys reach the active window
  }
  // A tool key by doFunc, "idm_..." by its menu item, "key ..." pressed.
  void run(const QString& step) {
    spy().log.clear();
    if (step.startsWith("idm_")) {
      for (QAction* a : ctx().actions())
        if (a->objectName() == step) a->trigger();
    } else if (step.startsWith("key ")) {
      QTest::keyClick(window.get(), QKeySequence(step.mid(4))[0].key());
    } else {
      window->doFunc(step);
    }
  }
  QStringList paths;
};

TEST_F(NavigationTest, WrapsAroundAndTitlesThePosition) {
  const struct {
    const char* step;
    int index;
    int shown;  // the picture the window's title names
    int loads;
  } steps[] = {{"next", 1, 1, 1},      {"NEXT", 2, 1, 1},       {"idm_next", 3, 3, 1},
               {"next", 0, 0, 1},      {"prev", 3, 3, 1},       {"idm_first", 0, 0, 1},
               {"first", 0, 0, 0},     {"End", 3, 3, 1},        {"idm_end", 3, 3, 0},
               {" next", 3, 3, 0},     {"", 3, 3, 0},           {"nxt", 3, 3, 0},
               {"key Left", 2, 3, 1},  {"key PgUp", 1, 1, 1},   {"key Backspace", 0, 0, 1},
               {"key Right", 1, 1, 1}, {"key PgDown", 2, 1, 1}, {"key Space", 3, 3, 1},
               {"key Home", 0, 0, 1},  {"key End", 3, 3, 1}};
  for (int half : {0, 1}) {
    // The title is written into a loaded window only; an unloaded one is
    // never created for it, and gets it when opened.
    if (half == 1) {
      window->doFunc("first");
      window->doFunc("list");
    }
    for (const auto& s : steps) {
      SCOPED_TRACE(s.step);
      run(s.step);
      EXPECT_EQ(window->PictureIndex(), s.index);
      EXPECT_EQ(window->windowTitle(), paths[s.shown]);
      EXPECT_EQ(spy().count("LoadFile"), s.loads);
      EXPECT_EQ(window->listWindow().loaded(), half == 1);
      if (half == 1) {
        EXPECT_EQ(list()->windowTitle(), QString("图像文件列表 第%1/4张").arg(s.index + 1));
      }
    }
  }
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(NavigationTest, OneOrNoPictureMovesNothingOrFailsQuietly) {
  const struct {
    int count;
    const char* step;
    int index;
    const char* listTitle;
    int loads;
  } steps[] = {{1, "next", 0, "图像文件列表", 0},
               {1, "prev", 0, "图像文件列表", 0},
               {1, "first", 0, "图像文件列表", 0},
               {1, "end", 0, "图像文件列表", 0},
               // An empty list: the commands still run, and load nothing that exists.
               {0, "next", 0, "图像文件列表 第1/0张", 1},
               {0, "prev", -1, "图像文件列表 第0/0张", 0},
               {0, "end", -1, "图像文件列表 第0/0张", 0}};
  window->listWindow().get();  // loaded, hidden, to take the titles
  for (const auto& s : steps) {
    SCOPED_TRACE(s.step);
    ctx().setPictureCount(int16_t(s.count));
    run(s.step);
    EXPECT_EQ(window->PictureIndex(), s.index);
    EXPECT_EQ(list()->windowTitle(), s.listTitle);
    EXPECT_EQ(spy().count("LoadFile"), s.loads);
    EXPECT_EQ(window->windowTitle(), paths[0]);
  }
}

}  // namespace
