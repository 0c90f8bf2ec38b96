#include "base/prompt.h"

#include <QMenu>

QMessageBox::StandardButton Prompter::exec(QMessageBox& box) {
  if (messageHook_) return messageHook_(box);
  box.exec();
  return box.standardButton(box.clickedButton());
}

QAction* Prompter::popup(QMenu& menu, const QPoint& at) {
  if (!popupHook_) return menu.exec(at);
  // As a real choice would, the chosen item runs.
  QAction* chosen = popupHook_(menu);
  if (chosen) chosen->trigger();
  return chosen;
}
