#pragma once
// The main window's menu tree: every item with its name, both captions,
// shortcut and initial state, built once and re-captioned in place.
#include "base/commands.h"

class QMenuBar;

namespace ui {

// Builds the tree into `bar`; each action is named as its command and owned
// by its menu (a menu or sub-menu by its menu action).
CommandActions buildMenuTree(QMenuBar* bar);

// Sets every caption for the language; check marks, enabled and visible
// states are left alone.
void setMenuLang(const CommandActions& actions, bool chinese);

}  // namespace ui
