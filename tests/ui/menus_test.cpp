// The menu tree, its captions in both languages, the language switch, About
// and the tool bar's key dispatch.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "app/module1.h"
#include "app/prompt.h"
#include "app/viewer_fixture.h"
#include "ui/ToolFrm.h"
#include "ui/language.h"

namespace {

class MenusTest : public ViewerTest {
 protected:
  QString text(const char* name) { return window->action(name)->text(); }
  // Every item's caption, by name.
  QHash<QString, QString> captions() {
    QHash<QString, QString> out;
    for (auto it = window->menus().items.begin(); it != window->menus().items.end(); ++it)
      out.insert(it.key(), it.value()->text());
    return out;
  }
};

TEST_F(MenusTest, TreeOrderAndInitialStates) {
  start();
  // Items of each menu in order, separators by name too.
  auto names = [&](const char* menu) {
    QStringList out;
    for (QAction* a : window->menu(menu)->actions()) out << a->objectName();
    return out;
  };
  EXPECT_EQ(names("idm_File"),
            (QStringList{"idm_open", "idm_save", "idm_picinfo", "idm_print", "idm_acquire",
                         "idm_copy", "idm_paste", "idm_FileList", "idm_About", "idm_sparator",
                         "idm_exit"}));
  EXPECT_EQ(names("idm_display"),
            (QStringList{"idm_next", "idm_prev", "idm_first", "idm_end", "idm_fit", "idm_zoomin",
                         "idm_zoomout", "idm_origin", "idm_effect", "idm_slide", "idm_autodelay",
                         "idm_stop", "idm_ToolBar", "idm_lang"}));
  EXPECT_EQ(names("idm_autodelay"), (QStringList{"idm_Half500", "idm_delay1", "idm_delay2",
                                                 "idm_delay3", "idm_delay4"}));
  EXPECT_EQ(names("idm_processing"),
            (QStringList{"idm_cinverse", "idm_invert", "idm_Flip", "idm_resize", "idm_rotate",
                         "idm_Emboss", "idm_fringer", "idm_enhanceb", "idm_convert",
                         "idm_coloradjust"}));
  EXPECT_EQ(names("idm_convert"), (QStringList{"idm_toRGB", "idm_to8bit", "idm_toGray",
                                               "idm_to4Bit", "idm_to1Bit", "idm_halftone"}));
  QStringList top;
  for (QAction* a : window->menuBar()->actions()) top << a->objectName();
  EXPECT_EQ(top, (QStringList{"idm_File", "idm_display", "idm_processing"}));

  QStringList hidden, checked, shortcuts;
  for (QAction* a : window->menus().items) {
    if (!a->isVisible()) hidden << a->objectName();
    if (a->isChecked()) checked << a->objectName();
    if (!a->shortcut().isEmpty())
      shortcuts << a->objectName() + "=" + a->shortcut().toString();
  }
  hidden.sort();
  checked.sort();
  shortcuts.sort();
  EXPECT_EQ(hidden, (QStringList{"idm_Emboss", "idm_effect", "idm_enhanceb", "idm_fringer",
                                 "idm_lang"}));
  EXPECT_EQ(checked, (QStringList{"idm_ToolBar", "idm_fit"}));
  EXPECT_EQ(shortcuts, (QStringList{"idm_end=Ctrl+E", "idm_exit=Ctrl+X", "idm_first=Ctrl+F",
                                    "idm_next=Ctrl+N", "idm_prev=Ctrl+P"}));
  EXPECT_TRUE(window->action("idm_sparator")->isSeparator());
}

TEST_F(MenusTest, CaptionsInBothLanguages) {
  writeSettings("[VANTREL]\nLANGUAGE=0\n");
  start();
  EXPECT_EQ(text("idm_File"), "&File");
  EXPECT_EQ(text("idm_open"), "&Open...");
  EXPECT_EQ(text("idm_Flip"), "&Filp");
  EXPECT_EQ(text("idm_origin"), "&Actual Size");
  EXPECT_EQ(text("idm_delay2"), "2 Seconds");
  EXPECT_EQ(text("idm_toRGB"), "To RGB");
  // Never re-captioned, or Chinese only.
  EXPECT_EQ(text("idm_FileList"), "图像文件列表");
  EXPECT_EQ(text("idm_Half500"), "延时0.5秒");
  window->runCommand("idm_lang");
  EXPECT_EQ(Module1::UseChinese, 1);
  EXPECT_EQ(text("idm_File"), "文件[&F]");
  EXPECT_EQ(text("idm_origin"), "愿始尺寸[&A]");
  EXPECT_EQ(text("idm_delay1"), "延时 1 秒");
  EXPECT_EQ(text("idm_halftone"), "半色调");
  EXPECT_EQ(text("idm_coloradjust"), "颜色调节[&A]");
  EXPECT_EQ(text("idm_FileList"), "图像文件列表");
}

TEST_F(MenusTest, SwitchingTwiceRestoresEveryCaptionAndState) {
  writeSettings("[VANTREL]\nLANGUAGE=2\n");
  start();
  EXPECT_EQ(text("idm_exit"), "退出[&X]");
  const auto before = captions();
  window->action("idm_lang")->trigger();
  EXPECT_EQ(Module1::UseChinese, 0);
  EXPECT_EQ(text("idm_exit"), "E&xit");
  window->action("idm_lang")->trigger();
  EXPECT_EQ(Module1::UseChinese, 1);
  EXPECT_EQ(captions(), before);
  EXPECT_TRUE(window->action("idm_fit")->isChecked());
  EXPECT_FALSE(window->action("idm_lang")->isVisible());
}

TEST_F(MenusTest, LanguageSwitchRetipsToolBarAtOnce) {
  writeSettings("[VANTREL]\nLANGUAGE=1\n");
  window = Module1::Main(QString());
  auto* tool = qobject_cast<ToolFrm*>(window->toolWindow());
  ASSERT_NE(tool, nullptr);
  EXPECT_EQ(tool->button("save")->toolTip(), "另存为");
  window->runCommand("idm_lang");
  EXPECT_EQ(tool->button("save")->toolTip(), "Save");
  EXPECT_EQ(tool->button("func")->toolTip(), "处理");
}

TEST_F(MenusTest, AboutInBothLanguages) {
  start();
  for (int16_t lang : {int16_t(0), int16_t(1)}) {
    Module1::UseChinese = lang;
    messages.clear();
    window->runCommand("idm_About");
    ASSERT_EQ(messages.size(), 1);
    const QStringList lines = messages[0].section('|', 1).split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(messages[0].section('|', 0, 0).endsWith(" 1.1"));
    EXPECT_EQ(lines[1], "Zelmar Developers");
    if (lang) {
      EXPECT_TRUE(lines[0].endsWith("，版本1.1"));
      EXPECT_FALSE(lines[2].startsWith(' '));
      EXPECT_TRUE(lines[3].startsWith("    ") && !lines[3].startsWith("     "));
    } else {
      EXPECT_TRUE(lines[0].startsWith("   ") && lines[0].endsWith(" 1.1"));
      EXPECT_TRUE(lines[2].startsWith("   "));
      EXPECT_TRUE(lines[3].startsWith("   ") && !lines[3].startsWith("    "));
    }
  }
}

TEST_F(MenusTest, AboutBoxHasOnlyOkAndNoIcon) {
  start();
  prompt::setMessageHook([](QMessageBox& box) {
    EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
    return QMessageBox::Ok;
  });
  window->runCommand("idm_About");
}

class DispatchTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start();
    setList(3);
    engine().clearLog();
  }
};

TEST_F(DispatchTest, KeysIgnoreCaseButNotBlanks) {
  window->doFunc("NEXT");
  EXPECT_EQ(window->PictureIndex, 1);
  for (const char* key : {" next", "next ", "", "nxt", "idm_next"}) window->doFunc(key);
  EXPECT_EQ(window->PictureIndex, 1);
  EXPECT_EQ(engine().count("LoadFile"), 1);
  window->doFunc("End");
  EXPECT_EQ(window->PictureIndex, 2);
  window->doFunc("first");
  window->doFunc("prev");
  EXPECT_EQ(window->PictureIndex, 2);
}

TEST_F(DispatchTest, SlideKeyToggles) {
  window->doFunc("slide");
  EXPECT_TRUE(window->Timer1->isActive());
  window->doFunc("SLIDE");
  EXPECT_FALSE(window->Timer1->isActive());
}

TEST_F(DispatchTest, FitAndEffectKeysRunTheirCommands) {
  window->doFunc("fit");
  EXPECT_FALSE(window->action("idm_fit")->isChecked());
  EXPECT_EQ(engine().DisplaySizeMode(), 0);
  window->doFunc("effect");
  EXPECT_TRUE(window->action("idm_effect")->isChecked());
}

TEST_F(DispatchTest, FuncPopsUpProcessingMenuEvenWhenHidden) {
  window->action("idm_processing")->setVisible(false);
  QStringList offered;
  prompt::setPopupHook([&](QMenu& menu) -> QAction* {
    for (QAction* a : menu.actions()) offered << a->objectName();
    return nullptr;
  });
  window->doFunc("func");
  EXPECT_EQ(offered.size(), 10);
  EXPECT_EQ(offered.value(0), "idm_cinverse");
}

TEST_F(DispatchTest, MenuClickOnCheckableItemDoesNotDoubleToggle) {
  // A click toggles the mark by itself; the command must see the state before it.
  window->action("idm_fit")->trigger();
  EXPECT_FALSE(window->action("idm_fit")->isChecked());
  EXPECT_EQ(engine().DisplaySizeMode(), 0);
  window->action("idm_fit")->trigger();
  EXPECT_TRUE(window->action("idm_fit")->isChecked());
  EXPECT_EQ(engine().DisplaySizeMode(), 3);
}

}  // namespace
