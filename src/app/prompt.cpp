#include "app/prompt.h"

#include <QMenu>

namespace prompt {
namespace {
MessageHook& messageHook() {
  static MessageHook hook;
  return hook;
}
PopupHook& popupHook() {
  static PopupHook hook;
  return hook;
}
}  // namespace

QMessageBox::StandardButton exec(QMessageBox& box) {
  if (messageHook()) return messageHook()(box);
  box.exec();
  return box.standardButton(box.clickedButton());
}

QAction* popup(QMenu& menu, const QPoint& at) {
  if (popupHook()) {
    // As a real choice would, the chosen item runs.
    QAction* chosen = popupHook()(menu);
    if (chosen) chosen->trigger();
    return chosen;
  }
  return menu.exec(at);
}

void setMessageHook(MessageHook hook) { messageHook() = std::move(hook); }
void setPopupHook(PopupHook hook) { popupHook() = std::move(hook); }

}  // namespace prompt
