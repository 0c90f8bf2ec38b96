// The floating tool bar window: keys, order, tool tips in both languages,
// pressed states, placement, and clicks reaching the dispatcher.
#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <cmath>
#include <memory>

#include "app/module1.h"
#include "app/units.h"
#include "ui/ToolFrm.h"

namespace {

const QStringList kKeys{"open", "save",  "info", "print", "acquire", "fit",   "next",
                        "prev", "end",   "first", "func", "list",    "slide", "exit"};

class ToolWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    Module1::UseChinese = 1;
    tool = new ToolFrm(&owner, [this](const QString& key) { calls << key; });
  }

  QStringList tips() const {
    QStringList out;
    for (QAction* a : tool->buttons()) out << a->toolTip();
    return out;
  }
  QToolButton* widgetOf(const QString& key) const {
    return tool->findChild<QToolButton*>("button_" + key);
  }

  QMainWindow owner;
  ToolFrm* tool = nullptr;  // owned by `owner`
  QStringList calls;
};

TEST_F(ToolWindow, FourteenButtonsInOrderFoundByKey) {
  ASSERT_EQ(tool->buttons().size(), 14u);
  for (int i = 0; i < kKeys.size(); ++i) {
    SCOPED_TRACE(kKeys[i].toStdString());
    QAction* a = tool->buttons()[size_t(i)];
    EXPECT_EQ(tool->button(kKeys[i]), a);
    EXPECT_TRUE(a->text().isEmpty());  // pictures only
    EXPECT_FALSE(a->icon().isNull());
    ASSERT_NE(widgetOf(kKeys[i]), nullptr);
    EXPECT_EQ(widgetOf(kKeys[i])->defaultAction(), a);
  }
  EXPECT_EQ(tool->button("effect"), nullptr);
  EXPECT_EQ(tool->button("Open"), nullptr);
  EXPECT_EQ(tool->button(""), nullptr);
  EXPECT_NE(tool->findChild<QToolBar*>("Toolbar1"), nullptr);
  EXPECT_EQ(tool->Toolbar1, tool->findChild<QToolBar*>("Toolbar1"));
}

TEST_F(ToolWindow, EachClickPassesItsKeyAndNothingElse) {
  tool->show();
  for (const QString& key : kKeys) QTest::mouseClick(widgetOf(key), Qt::LeftButton);
  EXPECT_EQ(calls, kKeys);
  calls.clear();
  tool->button("next")->trigger();
  EXPECT_EQ(calls, QStringList{"next"});
  // A click while the owner is hidden still reaches the dispatcher.
  owner.hide();
  tool->button("func")->trigger();
  EXPECT_EQ(calls.last(), "func");
}

TEST_F(ToolWindow, ToolTipsInBothLanguages) {
  const QStringList chinese{"打开", "另存为", "信息", "打印", "采集", "满窗口", "下一幅",
                            "上一幅", "最后幅", "第一幅", "处理", "图像列表", "播放", "退出"};
  const QStringList english{"Open", "Save", "Info", "Print", "Acquire", "Fit", "Next",
                            "Prev", "Last", "First", "处理", "图像列表", "Slide", "Exit"};
  EXPECT_EQ(tips(), chinese);
  Module1::UseChinese = 0;
  tool->setToolLang();
  EXPECT_EQ(tips(), english);
  Module1::UseChinese = 2;  // any nonzero value is Chinese
  tool->setToolLang();
  EXPECT_EQ(tips(), chinese);

  Module1::UseChinese = 0;
  ToolFrm english2(&owner, {});
  EXPECT_EQ(english2.button("save")->toolTip(), "Save");
}

TEST_F(ToolWindow, PressedStates) {
  EXPECT_TRUE(tool->button("fit")->isChecked());
  EXPECT_FALSE(tool->button("list")->isChecked());
  EXPECT_FALSE(tool->button("slide")->isChecked());
  for (const QString& key : kKeys) {
    const bool twoState = key == "fit" || key == "list" || key == "slide";
    EXPECT_EQ(tool->button(key)->isCheckable(), twoState) << key.toStdString();
  }

  tool->show();
  // Two-state buttons change their look by themselves when clicked ...
  QTest::mouseClick(widgetOf("slide"), Qt::LeftButton);
  EXPECT_TRUE(tool->button("slide")->isChecked());
  QTest::mouseClick(widgetOf("fit"), Qt::LeftButton);
  EXPECT_FALSE(tool->button("fit")->isChecked());
  // ... "list" only when the command says so.
  QTest::mouseClick(widgetOf("list"), Qt::LeftButton);
  EXPECT_FALSE(tool->button("list")->isChecked());
  tool->setButtonPressed("list", true);
  QTest::mouseClick(widgetOf("list"), Qt::LeftButton);
  EXPECT_TRUE(tool->button("list")->isChecked());
  EXPECT_EQ(calls, (QStringList{"slide", "fit", "list", "list"}));

  tool->setButtonPressed("slide", false);
  tool->setButtonPressed("fit", true);
  tool->setButtonPressed("next", true);  // a plain button has no state
  tool->setButtonPressed("nothing", true);
  EXPECT_FALSE(tool->button("next")->isChecked());

  // Hiding and showing keeps every state.
  tool->hide();
  tool->show();
  EXPECT_TRUE(tool->button("fit")->isChecked());
  EXPECT_TRUE(tool->button("list")->isChecked());
  EXPECT_FALSE(tool->button("slide")->isChecked());
}

TEST_F(ToolWindow, FloatsOverItsOwnerAtFifteenByThirtyMillimetres) {
  EXPECT_EQ(tool->windowTitle(), "工具");
  EXPECT_EQ(tool->parentWidget(), &owner);
  EXPECT_TRUE(tool->windowFlags() & Qt::Tool);
  const QPoint origin = QGuiApplication::primaryScreen()->geometry().topLeft();
  EXPECT_EQ(tool->pos(), origin + QPoint(int(std::lround(units::millimetresToPixels(15))),
                                         int(std::lround(units::millimetresToPixels(30)))));
  Module1::UseChinese = 0;
  tool->setToolLang();
  EXPECT_EQ(tool->windowTitle(), "工具");
}

TEST_F(ToolWindow, TwoColumnsOfSevenInsideTheDesignSize) {
  tool->show();
  const auto px = [](float t) { return int(std::lround(units::twipsToPixels(t))); };
  EXPECT_EQ(tool->size(), QSize(px(705), px(2445)));
  const QRect client = tool->rect();
  QList<QPoint> places;
  for (const QString& key : kKeys) {
    QToolButton* b = widgetOf(key);
    EXPECT_TRUE(b->isVisible()) << key.toStdString();
    const QRect r(b->mapTo(tool, QPoint(0, 0)), b->size());
    EXPECT_TRUE(client.contains(r)) << key.toStdString();
    EXPECT_GE(b->width(), 16);
    EXPECT_GE(b->height(), 16);
    places << r.topLeft();
  }
  // Left to right, then top to bottom.
  for (int i = 0; i < places.size(); i += 2) {
    EXPECT_LT(places[i].x(), places[i + 1].x());
    EXPECT_EQ(places[i].y(), places[i + 1].y());
    if (i > 0) {
      EXPECT_GT(places[i].y(), places[i - 2].y());
    }
  }
}

}  // namespace
