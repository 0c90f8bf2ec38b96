#include "ui/menu_tree.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace ui {
namespace {

enum Flag : unsigned {
  kNone = 0,
  kCheckable = 1,
  kChecked = 2,
  kHidden = 4,
  kSeparator = 8,
  kFixed = 16,  // keeps its first caption in both languages
};

struct Item {
  int level;  // 0 top menu, 1 its item, 2 item of a sub-menu
  Command command;
  const char* en;  // nullptr: the English branch leaves the caption alone
  const char* zh;
  const char* shortcut;
  unsigned flags;
};

using C = Command;
// In menu order. Sub-menus are the level-1 entries followed by level-2 items.
constexpr Item kTree[] = {
    {0, C::idm_File, "&File", "文件[&F]", nullptr, kNone},
    {1, C::idm_open, "&Open...", "打开[&O]", nullptr, kNone},
    {1, C::idm_save, "&Save As...", "另存为[&S]", nullptr, kNone},
    {1, C::idm_picinfo, "&Information", "信息[&I]", nullptr, kNone},
    {1, C::idm_print, "&Print...", "打印[&P]", nullptr, kNone},
    {1, C::idm_acquire, "&Acquire", "采集[&A]", nullptr, kNone},
    {1, C::idm_copy, "&Copy", "复制[&C]", nullptr, kNone},
    {1, C::idm_paste, "&Paste", "粘贴[&P]", nullptr, kNone},
    {1, C::idm_FileList, "图像文件列表", "图像文件列表", nullptr, kCheckable | kFixed},
    {1, C::idm_About, "&About", "关于[&A]", nullptr, kNone},
    {1, C::idm_sparator, "-", "-", nullptr, kSeparator | kFixed},
    {1, C::idm_exit, "E&xit", "退出[&X]", "Ctrl+X", kNone},
    {0, C::idm_display, "&Display", "显示[&D]", nullptr, kNone},
    {1, C::idm_next, "&Next", "下一幅[&N]", "Ctrl+N", kNone},
    {1, C::idm_prev, "&Previous", "上一幅[&P]", "Ctrl+P", kNone},
    {1, C::idm_first, "&First", "第一幅[&F]", "Ctrl+F", kNone},
    {1, C::idm_end, "&Last", "最后幅[&L]", "Ctrl+E", kNone},
    {1, C::idm_fit, "&Fit", "满窗口[&F]", nullptr, kCheckable | kChecked},
    {1, C::idm_zoomin, "&Zoom in", "放大[&E]", nullptr, kNone},
    {1, C::idm_zoomout, "&Zoom out", "缩小[&S]", nullptr, kNone},
    // The first character is not the usual one: kept letter for letter.
    {1, C::idm_origin, "&Actual Size", "愿始尺寸[&A]", nullptr, kNone},
    {1, C::idm_effect, "&Display Effect", "显示效果[&D]", nullptr, kCheckable | kHidden},
    {1, C::idm_slide, "&Slide", "自动幻灯[&S]", nullptr, kNone},
    {1, C::idm_autodelay, "&Slide Delay", "自动延时[&S]", nullptr, kNone},
    {2, C::idm_Half500, nullptr, "延时0.5秒", nullptr, kCheckable},
    {2, C::idm_delay1, "1 Second", "延时 1 秒", nullptr, kCheckable},
    {2, C::idm_delay2, "2 Seconds", "延时 2 秒", nullptr, kCheckable},
    {2, C::idm_delay3, "3 Seconds", "延时 3 秒", nullptr, kCheckable},
    {2, C::idm_delay4, "4 Seconds", "延时 4 秒", nullptr, kCheckable},
    {1, C::idm_stop, "&Stop", "停止[&S]", nullptr, kNone},
    {1, C::idm_ToolBar, "&Tool Bar", "工具栏[&T]", nullptr, kCheckable | kChecked},
    {1, C::idm_lang, "&Language", "语言选择[&L]", nullptr, kHidden},
    {0, C::idm_processing, "&Processing", "处理[&P]", nullptr, kNone},
    {1, C::idm_cinverse, "&Color Inverse", "颜色翻转[&C]", nullptr, kNone},
    {1, C::idm_invert, "&Invert", "左右翻转[&I]", nullptr, kNone},
    // Misspelt in the design, kept letter for letter (here and in the two below).
    {1, C::idm_Flip, "&Filp", "上下翻转[&F]", nullptr, kNone},
    {1, C::idm_resize, "&Resize", "重新采样[&R]", nullptr, kNone},
    {1, C::idm_rotate, "&Rotate", "旋转[&R]", nullptr, kNone},
    {1, C::idm_Emboss, "&Emboss", "浮雕效果[&E]", nullptr, kHidden},
    {1, C::idm_fringer, "&Fringer Detect", "边缘检测[&F]", nullptr, kHidden},
    {1, C::idm_enhanceb, "&Enhance Fringer", "边缘增强[&E]", nullptr, kHidden},
    {1, C::idm_convert, "&Convert", "图象转换[&C]", nullptr, kNone},
    {2, C::idm_toRGB, "To RGB", "24比特真彩", nullptr, kNone},
    {2, C::idm_to8bit, "To 256 Color", "256色", nullptr, kNone},
    {2, C::idm_toGray, "To 256 Gray", "256级灰度", nullptr, kNone},
    {2, C::idm_to4Bit, "To 16 Color", "16色", nullptr, kNone},
    {2, C::idm_to1Bit, "To 2 Color", "2色", nullptr, kNone},
    {2, C::idm_halftone, "To Half Tone", "半色调", nullptr, kNone},
    {1, C::idm_coloradjust, "&Adjust Color", "颜色调节[&A]", nullptr, kNone},
};

// A level-1 item opens a sub-menu when level-2 items follow it.
bool opensSubMenu(size_t i) {
  return i + 1 < std::size(kTree) && kTree[i].level == 1 && kTree[i + 1].level == 2;
}

}  // namespace

CommandActions buildMenuTree(QMenuBar* bar) {
  CommandActions out{};
  QMenu* top = nullptr;
  QMenu* sub = nullptr;
  for (size_t i = 0; i < std::size(kTree); ++i) {
    const Item& it = kTree[i];
    const QString name = commandName(it.command);
    const QString caption = QString::fromUtf8(it.en ? it.en : it.zh);
    QAction* action = nullptr;
    if (it.level == 0) {
      top = bar->addMenu(caption);
      top->setObjectName(name);
      action = top->menuAction();
    } else if (opensSubMenu(i)) {
      sub = top->addMenu(caption);
      sub->setObjectName(name);
      action = sub->menuAction();
    } else if (it.flags & kSeparator) {
      action = top->addSeparator();
    } else {
      action = (it.level == 2 ? sub : top)->addAction(caption);
    }
    action->setObjectName(name);
    action->setCheckable(it.flags & kCheckable);
    action->setChecked(it.flags & kChecked);
    action->setVisible(!(it.flags & kHidden));
    if (it.shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(it.shortcut)));
    out[size_t(it.command)] = action;
  }
  return out;
}

void setMenuLang(const CommandActions& actions, bool chinese) {
  for (const Item& it : kTree) {
    const char* caption = chinese ? it.zh : it.en;
    if (!caption || (it.flags & kFixed)) continue;
    actions[size_t(it.command)]->setText(QString::fromUtf8(caption));
  }
}

}  // namespace ui
