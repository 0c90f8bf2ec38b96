#pragma once
// The floating tool bar window: fourteen icon buttons in two columns. A
// click only passes the button's key to the main window's dispatcher.
// "fit", "list" and "slide" stay pressed while their mode is on; each
// follows a source the owner binds, so a button never shows a mode that
// is not on. Tool tips, and the buttons' accessible names, follow the
// context's language.
#include <QMainWindow>
#include <QString>
#include <functional>
#include <vector>

#include "base/lazy_window.h"

class QAction;
class QToolBar;
class QToolButton;
class ViewerContext;

class ToolFrm : public QMainWindow {
  Q_OBJECT

 public:
  // Loading: placed 15 mm right of and 30 mm below the screen's top-left
  // corner, tool tips in the context's language.
  ToolFrm(ViewerContext& context, QWidget* owner, std::function<void(const QString& key)> doFunc);

  QToolBar* Toolbar1;

  // The button with that key ("open", "save", ... "exit"), or nullptr.
  QAction* button(const QString& key) const;
  const std::vector<QAction*>& buttons() const { return buttons_; }

  // The pressed state of a two-state key follows `isOn`: now, after every
  // click, and on each syncPressed().
  void setPressedSource(const QString& key, std::function<bool()> isOn);
  void syncPressed();

  void setToolLang();

 private:
  void clicked(QAction* action);

  ViewerContext& context_;
  std::function<void(const QString&)> doFunc_;
  std::vector<QAction*> buttons_;
  std::vector<QToolButton*> tools_;
  std::vector<std::function<bool()>> pressedSources_;
};

namespace ui {
// Shows or hides the tool bar window, with the idm_ToolBar check mark.
void idm_ToolBar(ViewerContext& context, LazyWindow<ToolFrm>& tool);
}  // namespace ui
