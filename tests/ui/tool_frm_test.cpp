// The floating tool bar window: its buttons, their tool tips and spoken
// names, clicks reaching the dispatcher, pressed states that follow their
// modes.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "base/viewer_context.h"
#include "ui/ToolFrm.h"

namespace {

class ToolWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    context.setUseChinese(1);
    tool = new ToolFrm(context, &owner, [this](const QString& key) { calls << key; });
  }
  QStringList column(std::function<QString(QAction*)> text) const {
    QStringList out;
    for (QAction* a : tool->buttons()) out << text(a);
    return out;
  }
  QString pressed() const {
    return column([](QAction* a) { return a->isChecked() ? a->objectName() + " " : ""; }).join("");
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

TEST_F(ToolWindow, ButtonsAndTheirTipsAsShownAndSpokenInBothLanguages) {
  EXPECT_EQ(column(&QAction::objectName), kKeys);
  for (QAction* a : tool->buttons()) EXPECT_TRUE(a->text().isEmpty() && !a->icon().isNull());
  // clang-format off
  const QStringList chinese{"打开", "另存为", "信息", "打印", "采集", "满窗口", "下一幅", "上一幅",
                            "最后幅", "第一幅", "处理", "图像列表", "播放", "退出"};
  const QStringList english{"Open", "Save", "Info", "Print", "Acquire", "Fit", "Next", "Prev",
                            "Last", "First", "处理", "图像列表", "Slide", "Exit"};
  // clang-format on
  for (int16_t language : {1, 0}) {
    context.setUseChinese(language);
    EXPECT_EQ(column(&QAction::toolTip), language ? chinese : english);
    // Icon-only buttons: a screen reader says the tip.
    for (QAction* a : tool->buttons())
      EXPECT_EQ(
          QAccessible::queryAccessibleInterface(widgetOf(a->objectName()))->text(QAccessible::Name),
          a->toolTip());
  }
  EXPECT_TRUE(tool->parentWidget() == &owner && (tool->windowFlags() & Qt::Tool));
}

TEST_F(ToolWindow, ClicksPassTheirKeyAndModeButtonsShowTheirModeOnly) {
  EXPECT_EQ(pressed(), "fit ");
  bool fit = true, list = false, slide = false;
  tool->setPressedSource("fit", [&] { return fit; });
  tool->setPressedSource("list", [&] { return list; });
  tool->setPressedSource("slide", [&] { return slide; });
  tool->setPressedSource("next", [] { return true; });  // a plain button has no state
  tool->show();
  for (const QString& key : kKeys) QTest::mouseClick(widgetOf(key), Qt::LeftButton);
  EXPECT_EQ(calls, kKeys);
  // Clicked, but the commands left the modes as they were: so are the buttons.
  EXPECT_EQ(pressed(), "fit ");
  fit = false;
  list = slide = true;
  tool->syncPressed();
  tool->hide();
  tool->show();
  EXPECT_EQ(pressed(), "list slide ");
  owner.hide();  // the main window hidden: still reaches the dispatcher
  tool->button("func")->trigger();
  EXPECT_EQ(calls.last(), "func");
}

}  // namespace
