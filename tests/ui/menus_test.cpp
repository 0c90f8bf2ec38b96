// The menus and About in both languages, every item reaching its command,
// the floating tool bar's buttons, tips, spoken names and clicks, and the
// desktop entry we ship with its installation.
#include <QSvgRenderer>

#include "app/commands.h"
#include "app/viewer_fixture.h"
#include "support/process.h"

namespace {

// The design's menu table, letter for letter: level, name, English, Chinese.
// clang-format off
const std::tuple<int, const char*, const char*, const char*> kMenus[] = {
    {0, "idm_File", "&File", "文件[&F]"}, {1, "idm_open", "&Open...", "打开[&O]"},
    {1, "idm_save", "&Save As...", "另存为[&S]"}, {1, "idm_picinfo", "&Information", "信息[&I]"},
    {1, "idm_print", "&Print...", "打印[&P]"}, {1, "idm_acquire", "&Acquire", "采集[&A]"},
    {1, "idm_copy", "&Copy", "复制[&C]"}, {1, "idm_paste", "&Paste", "粘贴[&P]"},
    {1, "idm_FileList", "图像文件列表", "图像文件列表"}, {1, "idm_About", "&About", "关于[&A]"},
    {1, "idm_sparator", "", ""}, {1, "idm_exit", "E&xit", "退出[&X]"},
    {0, "idm_display", "&Display", "显示[&D]"}, {1, "idm_next", "&Next", "下一幅[&N]"},
    {1, "idm_prev", "&Previous", "上一幅[&P]"}, {1, "idm_first", "&First", "第一幅[&F]"},
    {1, "idm_end", "&Last", "最后幅[&L]"}, {1, "idm_fit", "&Fit", "满窗口[&F]"},
    {1, "idm_zoomin", "&Zoom in", "放大[&E]"}, {1, "idm_zoomout", "&Zoom out", "缩小[&S]"},
    {1, "idm_origin", "&Actual Size", "愿始尺寸[&A]"}, {1, "idm_effect", "&Display Effect", "显示效果[&D]"},
    {1, "idm_slide", "&Slide", "自动幻灯[&S]"}, {1, "idm_autodelay", "&Slide Delay", "自动延时[&S]"},
    {2, "idm_Half500", "延时0.5秒", "延时0.5秒"}, {2, "idm_delay1", "1 Second", "延时 1 秒"},
    {2, "idm_delay2", "2 Seconds", "延时 2 秒"}, {2, "idm_delay3", "3 Seconds", "延时 3 秒"},
    {2, "idm_delay4", "4 Seconds", "延时 4 秒"}, {1, "idm_stop", "&Stop", "停止[&S]"},
    {1, "idm_ToolBar", "&Tool Bar", "工具栏[&T]"}, {1, "idm_lang", "&Language", "语言选择[&L]"},
    {0, "idm_processing", "&Processing", "处理[&P]"},
    {1, "idm_cinverse", "&Color Inverse", "颜色翻转[&C]"}, {1, "idm_invert", "&Invert", "左右翻转[&I]"},
    {1, "idm_Flip", "&Filp", "上下翻转[&F]"}, {1, "idm_resize", "&Resize", "重新采样[&R]"},
    {1, "idm_rotate", "&Rotate", "旋转[&R]"}, {1, "idm_Emboss", "&Emboss", "浮雕效果[&E]"},
    {1, "idm_fringer", "&Fringer Detect", "边缘检测[&F]"},
    {1, "idm_enhanceb", "&Enhance Fringer", "边缘增强[&E]"}, {1, "idm_convert", "&Convert", "图象转换[&C]"},
    {2, "idm_toRGB", "To RGB", "24比特真彩"}, {2, "idm_to8bit", "To 256 Color", "256色"},
    {2, "idm_toGray", "To 256 Gray", "256级灰度"}, {2, "idm_to4Bit", "To 16 Color", "16色"},
    {2, "idm_to1Bit", "To 2 Color", "2色"}, {2, "idm_halftone", "To Half Tone", "半色调"},
    {1, "idm_coloradjust", "&Adjust Color", "颜色调节[&A]"}};
// clang-format on

// "level name caption" of every item, walking the menu bar in order.
QStringList tree(const QList<QAction*>& actions, int level = 0) {
  QStringList out;
  for (QAction* a : actions) {
    out << QStringLiteral("%1 %2 %3").arg(level).arg(a->objectName(), a->text());
    if (auto* menu = a->menu<QMenu*>()) out += tree(menu->actions(), level + 1);
  }
  return out;
}

QStringList expected(bool chinese) {
  QStringList out;
  for (const auto& [level, name, en, zh] : kMenus)
    out << QStringLiteral("%1 %2 %3").arg(level).arg(name, QString::fromUtf8(chinese ? zh : en));
  return out;
}

using MenusTest = ViewerTest;

TEST_F(MenusTest, TreeCaptionsStatesTheLanguageSwitchAndWindowsNamedForScreenReaders) {
  start();
  EXPECT_EQ(tree(window->menuBar()->actions()), expected(true));
  window->runCommand(Command::idm_lang);
  EXPECT_EQ(tree(window->menuBar()->actions()), expected(false));
  window->runCommand(Command::idm_lang);
  EXPECT_EQ(tree(window->menuBar()->actions()), expected(true));

  QStringList marks;  // hidden "-", checked "+", shortcut after "="
  for (QAction* a : ctx().actions())
    if (!a->isVisible() || a->isChecked() || !a->shortcut().isEmpty())
      marks << QString(a->isVisible() ? "" : "-") + (a->isChecked() ? "+" : "") + a->objectName() +
                   "=" + a->shortcut().toString();
  EXPECT_EQ(marks.join(' '),
            "idm_exit=Ctrl+X idm_next=Ctrl+N idm_prev=Ctrl+P idm_first=Ctrl+F idm_end=Ctrl+E "
            "+idm_fit= -idm_effect= +idm_ToolBar= -idm_lang= -idm_Emboss= -idm_fringer= "
            "-idm_enhanceb=");
  // Windows are announced as windows, with their titles.
  useList(pictures({"a.bmp"}));
  window->doFunc("list");
  window->openDialog().get()->show();
  // clang-format off
  const struct { QWidget* window; QAccessible::Role role; QString title; } windows[] = {
      {tool(), QAccessible::Window, "工具"}, {list(), QAccessible::Window, "图像文件列表 第1/1张"},
      {window->openDialog().ifLoaded(), QAccessible::Dialog, "选择图像文件"}};
  // clang-format on
  for (const auto& w : windows) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w.window);
    EXPECT_TRUE(a && a->role() == w.role && a->text(QAccessible::Name) == w.title)
        << w.title.toStdString();
  }
}

TEST_F(MenusTest, EveryItemAndToolKeyReachesItsCommandFuncOffersProcessingAndAboutInBothLanguages) {
  start(pictures({"a.bmp"})[0]);  // the menu bar hidden
  QStringList offered;
  for (int i = 0; i < kCommandCount; ++i) {
    QAction* a = window->action(Command(i));
    const bool item = !a->menu<QMenu*>() && !a->isSeparator();
    EXPECT_TRUE(!item || window->hasCommand(Command(i))) << a->objectName().toStdString();
  }
  for (QAction* b : tool()->buttons()) {
    const QString key = b->data().toString();
    const auto c = app::commandOfKey(key);
    EXPECT_TRUE(b->isEnabled() &&
                (key == "slide" || key == "func" || (c && window->hasCommand(*c))))
        << key.toStdString();
  }
  ctx().prompt().setPopupHook([&](QMenu& menu) -> QAction* {
    offered = tree(menu.actions(), 1);
    return nullptr;
  });
  tool()->button("func")->trigger();
  const QStringList all = expected(true);
  EXPECT_EQ(offered, all.mid(all.indexOf("1 idm_cinverse 颜色翻转[&C]")));
  start();
  window->runCommand(Command::idm_About);
  ctx().setUseChinese(0);
  ctx().prompt().setMessageHook([&](QMessageBox& box) {
    messages << box.windowTitle() + "|" + box.text();
    EXPECT_TRUE(box.standardButtons() == QMessageBox::Ok && box.icon() == QMessageBox::NoIcon);
    return QMessageBox::Ok;
  });
  window->runCommand(Command::idm_About);
  EXPECT_EQ(messages, (QStringList{"泽尔马图像浏览器 1.1|   泽尔马图像浏览器，版本1.1\n"
                                   "Zelmar Developers\n版权所有，未经许可，不得复制。\n"
                                   "    2024-2026，苏州",
                                   "Zelmar Picture Viewer 1.1|   Zelmar Picture Viewer 1.1\n"
                                   "Zelmar Developers\n   All rights reserved.\n"
                                   "   2024-2026 Suzhou"}));
}

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

  ViewerContext context;
  QMainWindow owner;
  ToolFrm* tool = nullptr;  // owned by `owner`
  QStringList calls;
};

TEST_F(ToolWindow, ButtonsTipsAndSpokenNamesInBothLanguagesClicksReachTheDispatcher) {
  const QStringList keys{"open", "save", "info",  "print", "acquire", "fit",   "next",
                         "prev", "end",  "first", "func",  "list",    "slide", "exit"};
  EXPECT_EQ(column(&QAction::objectName), keys);
  for (QAction* a : tool->buttons()) EXPECT_TRUE(a->text().isEmpty() && !a->icon().isNull());
  // clang-format off
  const QStringList chinese{"打开", "另存为", "信息", "打印", "采集", "满窗口", "下一幅", "上一幅",
                            "最后幅", "第一幅", "处理", "图像列表", "播放", "退出"};
  const QStringList english{"Open", "Save", "Info", "Print", "Acquire", "Fit", "Next", "Prev",
                            "Last", "First", "处理", "图像列表", "Slide", "Exit"};
  // clang-format on
  const auto widget = [&](const QString& key) {
    return tool->findChild<QWidget*>("button_" + key);
  };
  for (int16_t language : {1, 0}) {
    context.setUseChinese(language);
    EXPECT_EQ(column(&QAction::toolTip), language ? chinese : english);
    // Icon-only buttons: a screen reader says the tip.
    for (QAction* a : tool->buttons())
      EXPECT_EQ(
          QAccessible::queryAccessibleInterface(widget(a->objectName()))->text(QAccessible::Name),
          a->toolTip());
  }
  EXPECT_TRUE(tool->parentWidget() == &owner && (tool->windowFlags() & Qt::Tool));
  // Clicked, but the commands left the modes as they were: so are the buttons.
  for (const char* mode : {"fit", "list", "slide"})
    tool->setPressedSource(mode, [mode] { return mode[0] == 'f'; });
  tool->setPressedSource("next", [] { return true; });  // a plain button has no state
  tool->show();
  for (const QString& key : keys) QTest::mouseClick(widget(key), Qt::LeftButton);
  EXPECT_EQ(calls, keys);
  EXPECT_EQ(column([](QAction* a) { return a->isChecked() ? a->objectName() : ""; }).join(""),
            "fit");
}

TEST(Assets, DesktopEntryInstalledWithTheIconNamesTheCommandAndPictureTypes) {
  const std::string entry = ZELMAR_DATA_DIR "/zelmar.desktop";
  const auto valid = zelmar::test::run({"/usr/bin/desktop-file-validate", entry});
  EXPECT_TRUE(valid.exitCode == 0 && valid.out + valid.err == "") << valid.out << valid.err;
  QFile f(QString::fromStdString(entry));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
  for (const char* line : {"Exec=zelmar %f", "Icon=zelmar", "Name=Zelmar"})
    EXPECT_TRUE(lines.contains(line)) << line;
  const QString types = ";" + lines.filter(QRegularExpression("^MimeType=")).value(0).mid(9);
  for (const char* type : {"image/bmp", "image/x-pcx", "image/tiff", "image/jpeg", "image/x-tga",
                           "image/png", "image/gif", "image/webp", "image/heic", "image/avif"})
    EXPECT_TRUE(types.contains(QString(";%1;").arg(type))) << type;
  EXPECT_EQ(lines.filter(QRegularExpression("^(Name|Comment)\\[zh_CN\\]=.")).size(), 2);
  // The test program sits in <build>/tests/app.
  const QString build = QCoreApplication::applicationDirPath() + "/../..";
  const zelmar::test::TempDir prefix;
  const std::string root = prefix.path().string();
  const auto installed = zelmar::test::run({"cmake", "-DCMAKE_INSTALL_PREFIX=" + root, "-P",
                                            build.toStdString() + "/data/cmake_install.cmake"});
  ASSERT_EQ(installed.exitCode, 0) << installed.err;
  EXPECT_TRUE(std::filesystem::exists(root + "/share/applications/zelmar.desktop"));
  EXPECT_TRUE(
      QSvgRenderer(QString::fromStdString(root) + "/share/icons/hicolor/scalable/apps/zelmar.svg")
          .isValid());
}

}  // namespace
