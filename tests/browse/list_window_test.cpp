// The file list window: opening and closing, titles, row clicks, layout.
#include <QAction>
#include <QListWidget>

#include "app/module1.h"
#include "app/units.h"
#include "app/viewer_fixture.h"
#include "browse/ListFrm.h"
#include "browse/navigation.h"
#include "ui/ToolFrm.h"

namespace {

class ListWindowTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    window = Module1::Main(QString());
    tool = qobject_cast<ToolFrm*>(window->toolWindow());
    ASSERT_NE(tool, nullptr);
  }
  ListFrm* list() { return window->listForm(); }
  QStringList rows() {
    QStringList out;
    for (int i = 0; i < list()->List1->count(); ++i) out << list()->List1->item(i)->text();
    return out;
  }
  bool listPressed() { return tool->button("list")->isChecked(); }
  ToolFrm* tool = nullptr;
};

TEST_F(ListWindowTest, OpensWithAllRowsAndPositionTitle) {
  setList(12);
  window->PictureIndex = 4;
  window->doFunc("list");
  EXPECT_TRUE(list()->isVisible());
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第5/12张");
  EXPECT_EQ(rows().size(), 12);
  EXPECT_EQ(rows().value(11), Module1::PictureList[11]);
  EXPECT_EQ(list()->List1->currentRow(), -1);
  EXPECT_EQ(list()->List1->font().pointSize(), 10);
  EXPECT_TRUE(window->action("idm_FileList")->isChecked());
  EXPECT_TRUE(listPressed());
  EXPECT_EQ(list()->parentWidget(), window.get());
  window->doFunc("list");
  EXPECT_FALSE(list()->isVisible());
  EXPECT_FALSE(window->action("idm_FileList")->isChecked());
  EXPECT_FALSE(listPressed());
}

TEST_F(ListWindowTest, EmptyListUnloadsAndClearsMarks) {
  setList(2);
  window->runCommand("idm_FileList");
  Module1::PictureCount = 0;
  window->runCommand("idm_FileList");
  EXPECT_FALSE(window->listFormLoaded());
  EXPECT_FALSE(window->action("idm_FileList")->isChecked());
  EXPECT_FALSE(listPressed());
}

TEST_F(ListWindowTest, RowClickShowsThatPicture) {
  setList(5);
  window->runCommand("idm_FileList");
  engine().clearLog();
  list()->List1->setCurrentRow(3);
  list()->List1_Click();
  EXPECT_EQ(window->PictureIndex, 3);
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第4/5张");
  EXPECT_EQ(engine().calls("LoadFile"),
            QStringList{"LoadFile(" + Module1::PictureList[3] + ",0,0,1)"});
  // The same row again shows it again.
  list()->List1_Click();
  EXPECT_EQ(engine().count("LoadFile"), 2);
  // No row selected: nothing.
  list()->List1->setCurrentRow(-1);
  list()->List1_Click();
  EXPECT_EQ(engine().count("LoadFile"), 2);
}

TEST_F(ListWindowTest, FillFileListTitlesAndClears) {
  setList(12);
  browse::FillFileList(*window);
  EXPECT_EQ(list()->windowTitle(), "图象文件列表 共12张");
  EXPECT_EQ(rows().size(), 12);
  Module1::PictureCount = 0;
  browse::FillFileList(*window);
  EXPECT_EQ(rows().size(), 0);
  EXPECT_EQ(list()->windowTitle(), "图象文件列表 共12张");
}

TEST_F(ListWindowTest, LayoutKeepsMarginAndIgnoresTinySizes) {
  setList(2);
  window->runCommand("idm_FileList");
  const int m = qRound(units::millimetresToPixels(1));
  list()->resize(300, 200);
  EXPECT_EQ(list()->List1->geometry(), QRect(m, m, 300 - 2 * m, 200 - 2 * m));
  list()->resize(300, 1);  // too low: the list keeps its height
  EXPECT_EQ(list()->List1->geometry(), QRect(m, m, 300 - 2 * m, 200 - 2 * m));
}

}  // namespace
