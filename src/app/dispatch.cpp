// The tool bar's way into the main window's commands.
#include <QAction>
#include <QCursor>
#include <QMenu>

#include "app/commands.h"
#include "app/picfrm.h"

void picfrm::doFunc(const QString& id) {
  const QString key = id.toLower();
  if (key == QLatin1String("slide")) {
    runCommand(slides_->running() ? Command::idm_stop : Command::idm_slide);
  } else if (key == QLatin1String("func")) {
    // Pops up even while the menu bar hides the Processing menu.
    context_.prompt().popup(*action(Command::idm_processing)->menu<QMenu*>(), QCursor::pos());
  } else if (const auto c = app::commandOfKey(key)) {
    runCommand(*c);
  }
}
