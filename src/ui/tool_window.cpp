#include "ui/tool_window.h"

#include <QAction>

#include "app/picfrm.h"

// The tool bar window is built beside this file by its own developer; until
// it is in the tree the viewer runs without one.
#if __has_include("ui/ToolFrm.h")
#include "ui/ToolFrm.h"
#define ZELMAR_HAVE_TOOLFRM 1
#endif

namespace ui {
namespace {

#ifdef ZELMAR_HAVE_TOOLFRM
ToolFrm* tool(picfrm& w) {
  auto* t = qobject_cast<ToolFrm*>(w.toolWindow());
  if (!t) {
    t = new ToolFrm(&w, [&w](const QString& key) { w.doFunc(key); });
    w.setToolWindow(t);
  }
  return t;
}
#endif

}  // namespace

void showToolWindow(picfrm& w) {
#ifdef ZELMAR_HAVE_TOOLFRM
  tool(w)->show();
#else
  (void)w;
#endif
}

void setToolPressed(picfrm& w, const QString& key, bool pressed) {
#ifdef ZELMAR_HAVE_TOOLFRM
  tool(w)->setButtonPressed(key, pressed);
#else
  (void)w, (void)key, (void)pressed;
#endif
}

void applyToolLang(picfrm& w) {
#ifdef ZELMAR_HAVE_TOOLFRM
  tool(w)->setToolLang();
#else
  (void)w;
#endif
}

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

void unloadToolWindow(picfrm& w) { delete w.toolWindow(); }

}  // namespace ui
