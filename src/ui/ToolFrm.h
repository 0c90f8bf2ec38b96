#pragma once
// The floating tool bar window: fourteen icon buttons in two columns. A
// click only passes the button's key to the main window's dispatcher.
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class QAction;
class QToolBar;

class ToolFrm : public QWidget {
  Q_OBJECT

 public:
  // Loading: placed 15 mm right of and 30 mm below the screen's top-left
  // corner, tool tips by Module1::UseChinese.
  ToolFrm(QWidget* owner, std::function<void(const QString& key)> doFunc);

  QToolBar* Toolbar1;

  // The button with that key ("open", "save", ... "exit"), or nullptr.
  QAction* button(const QString& key) const;
  // Buttons in their order on the bar.
  const std::vector<QAction*>& buttons() const { return buttons_; }
  // "fit", "list" and "slide" stay pressed to show that their mode is on;
  // other keys are ignored.
  void setButtonPressed(const QString& key, bool pressed);
  // Tool tips by Module1::UseChinese.
  void setToolLang();

 private:
  void clicked(QAction* action);

  std::function<void(const QString&)> doFunc_;
  std::vector<QAction*> buttons_;
};
