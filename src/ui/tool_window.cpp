#include "ui/tool_window.h"

#include <QAction>

#include "app/picfrm.h"
#include "ui/ToolFrm.h"

namespace ui {
namespace {

ToolFrm* tool(picfrm& w) {
  auto* t = qobject_cast<ToolFrm*>(w.toolWindow());
  if (!t) {
    t = new ToolFrm(&w, [&w](const QString& key) { w.doFunc(key); });
    w.setToolWindow(t);
  }
  return t;
}

}  // namespace

void showToolWindow(picfrm& w) { tool(w)->show(); }

void setToolPressed(picfrm& w, const QString& key, bool pressed) {
  tool(w)->setButtonPressed(key, pressed);
}

void applyToolLang(picfrm& w) { tool(w)->setToolLang(); }

void idm_ToolBar(picfrm& w) {
  QAction* check = w.action("idm_ToolBar");
  if (!check->isChecked()) {
    check->setChecked(true);
    showToolWindow(w);
  } else {
    check->setChecked(false);
    if (QWidget* t = w.toolWindow()) t->hide();
  }
}

void unloadToolWindow(picfrm& w) {
  QWidget* t = w.toolWindow();
  if (!t) return;
  // The exit key unloads the window from inside its own button's click.
  t->hide();
  w.setToolWindow(nullptr);
  t->deleteLater();
}

}  // namespace ui
