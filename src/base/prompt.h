#pragma once
// The seam every modal message box and pop-up menu of the viewer goes
// through, so tests can answer them without an event loop. One per viewer
// context; no hooks are shared between viewers.
#include <QMessageBox>
#include <functional>

class QAction;
class QMenu;
class QPoint;

class Prompter {
 public:
  using MessageHook = std::function<QMessageBox::StandardButton(QMessageBox&)>;
  using PopupHook = std::function<QAction*(QMenu&)>;

  // Shows `box` modally; returns the button chosen.
  QMessageBox::StandardButton exec(QMessageBox& box);
  // Pops `menu` up at `at`; the chosen item runs. Returns it (null when dismissed).
  QAction* popup(QMenu& menu, const QPoint& at);

  // Answers instead of the user; an empty hook restores the real display.
  void setMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }
  void setPopupHook(PopupHook hook) { popupHook_ = std::move(hook); }

 private:
  MessageHook messageHook_;
  PopupHook popupHook_;
};
