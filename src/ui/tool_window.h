#pragma once
// picfrm's side of the floating tool bar window: created on first use,
// pressed states of its mode buttons, its tips, showing and hiding.
#include <QString>

class picfrm;

namespace ui {

// Creates the tool bar window if needed and shows it, owned by `w`.
void showToolWindow(picfrm& w);
// Sets the button of `key` ("fit", "list", "slide") pressed or not.
void setToolPressed(picfrm& w, const QString& key, bool pressed);
// Re-applies the tool tips for Module1::UseChinese.
void applyToolLang(picfrm& w);
// Shows or hides the tool bar window, with the idm_ToolBar check mark.
void idm_ToolBar(picfrm& w);
void unloadToolWindow(picfrm& w);

}  // namespace ui
