#pragma once
// The main window's menu tree: every item with its name, both captions,
// shortcut and initial state, built once and re-captioned in place.
#include <QHash>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;

namespace ui {

struct MenuActions {
  QHash<QString, QAction*> items;  // every item by name (a menu by its menu action)
  QHash<QString, QMenu*> menus;    // idm_File, idm_display, idm_processing, idm_autodelay, idm_convert
};

// Builds the tree into `bar`; actions are owned by their menus.
MenuActions buildMenuTree(QMenuBar* bar);

// Sets every caption from Module1::UseChinese; states are left alone.
void setMenuLang(const MenuActions& menu);

}  // namespace ui
