#pragma once
// Every modal message box and pop-up menu of the viewer goes through here,
// so tests can answer them without an event loop.
#include <QMessageBox>
#include <functional>

class QAction;
class QMenu;
class QPoint;

namespace prompt {

// Shows `box` modally; returns the button chosen.
QMessageBox::StandardButton exec(QMessageBox& box);
// Pops `menu` up at `at`; returns the action chosen (nullptr when dismissed).
QAction* popup(QMenu& menu, const QPoint& at);

using MessageHook = std::function<QMessageBox::StandardButton(QMessageBox&)>;
using PopupHook = std::function<QAction*(QMenu&)>;
// An empty hook restores the real modal display.
void setMessageHook(MessageHook hook);
void setPopupHook(PopupHook hook);

}  // namespace prompt
