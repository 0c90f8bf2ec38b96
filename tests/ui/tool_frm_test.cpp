// The floating tool bar window: its buttons and tool tips, clicks reaching
// the dispatcher, pressed states that follow their modes, placement.
#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <cmath>

#include "base/placement.h"
#include "base/viewer_context.h"
#include "ui/ToolFrm.h"

namespace {

class ToolWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    context.setUseChinese(1);
    tool = new ToolFrm(context, &owner, [this](const QString& key) { calls << key; });
  }
  QStringList column(QString (QAction::*text)() const) const {
    QStringList out;
    for (QAction* a : tool->buttons()) out << (a->*text)();
    return out;
  }
  QToolButton* widgetOf(const QString& key) const {
    return tool->findChild<QToolButton*>("button_" + key);
  }

  ViewerContext context;
  QMainWindow owner;
  ToolFrm* tool = nullptr;  // owned by `owner`
  QStringList calls;
};

const QStringList kKeys{"open", "save", "info",  "print", "acquire", "fit",   "next",
                        "prev", "end",  "first", "func",  "list",    "slide", "exit"};

TEST_F(ToolWindow, ButtonsAndTheirTipsInBothLanguages) {
  EXPECT_EQ(column(&QAction::objectName), kKeys);
  for (QAction* a : tool->buttons()) {
    EXPECT_TRUE(a->text().isEmpty() && !a->icon().isNull());  // pictures only
    EXPECT_EQ(tool->button(a->objectName()), a);
  }
  EXPECT_EQ(tool->button("effect"), nullptr);
  const QStringList chinese{"打开",   "另存为", "信息",   "打印", "采集",     "满窗口", "下一幅",
                            "上一幅", "最后幅", "第一幅", "处理", "图像列表", "播放",   "退出"};
  const QStringList english{"Open", "Save", "Info",  "Print", "Acquire",  "Fit",   "Next",
                            "Prev", "Last", "First", "处理",  "图像列表", "Slide", "Exit"};
  EXPECT_EQ(column(&QAction::toolTip), chinese);
  context.setUseChinese(0);
  EXPECT_EQ(column(&QAction::toolTip), english);
  context.setUseChinese(2);
  EXPECT_EQ(column(&QAction::toolTip), chinese);
  EXPECT_EQ(tool->windowTitle(), "工具");  // in both languages
}

TEST_F(ToolWindow, EachClickPassesItsKeyOnly) {
  tool->show();
  for (const QString& key : kKeys) QTest::mouseClick(widgetOf(key), Qt::LeftButton);
  EXPECT_EQ(calls, kKeys);
  owner.hide();  // the main window hidden: still reaches the dispatcher
  tool->button("func")->trigger();
  EXPECT_EQ(calls.last(), "func");
}

TEST_F(ToolWindow, ModeButtonsShowTheirModeOnly) {
  const auto pressed = [&] {
    QStringList out;
    for (QAction* a : tool->buttons())
      if (a->isChecked()) out << a->objectName();
    return out;
  };
  EXPECT_EQ(pressed(), QStringList{"fit"});
  bool fit = true, list = false, slide = false;
  tool->setPressedSource("fit", [&] { return fit; });
  tool->setPressedSource("list", [&] { return list; });
  tool->setPressedSource("slide", [&] { return slide; });
  tool->setPressedSource("next", [] { return true; });  // a plain button has no state
  tool->show();
  // A click whose command leaves the mode as it was leaves the button too.
  QTest::mouseClick(widgetOf("slide"), Qt::LeftButton);
  QTest::mouseClick(widgetOf("list"), Qt::LeftButton);
  EXPECT_EQ(pressed(), QStringList{"fit"});
  fit = false, list = true, slide = true;
  tool->syncPressed();
  tool->hide();
  tool->show();
  EXPECT_EQ(pressed(), (QStringList{"list", "slide"}));
}

TEST_F(ToolWindow, FloatsAtFifteenByThirtyMillimetresInTwoColumns) {
  EXPECT_EQ(tool->parentWidget(), &owner);
  EXPECT_TRUE(tool->windowFlags() & Qt::Tool);
  const auto mm = [](float v) { return int(std::lround(units::millimetresToPixels(v))); };
  EXPECT_EQ(tool->pos(),
            QGuiApplication::primaryScreen()->geometry().topLeft() + QPoint(mm(15), mm(30)));
  tool->show();
  // Left to right, then top to bottom, every button whole inside the window.
  QPoint last(-1, -1);
  for (int i = 0; i < kKeys.size(); ++i) {
    QToolButton* b = widgetOf(kKeys[i]);
    const QRect r(b->mapTo(tool, QPoint(0, 0)), b->size());
    EXPECT_TRUE(tool->rect().contains(r) && r.width() >= 16 && r.height() >= 16) << i;
    if (i > 0) {
      EXPECT_TRUE(i % 2 ? r.y() == last.y() && r.x() > last.x() : r.y() > last.y()) << i;
    }
    last = r.topLeft();
  }
}

}  // namespace
