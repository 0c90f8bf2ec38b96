// The tool bar's way into the main window's commands.
#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QTimer>
#include <utility>

#include "app/picfrm.h"
#include "app/prompt.h"

void picfrm::doFunc(const QString& id) {
  static const std::pair<const char*, const char*> kKeys[] = {
      {"open", "idm_open"},       {"save", "idm_save"},   {"info", "idm_picinfo"},
      {"print", "idm_print"},     {"acquire", "idm_acquire"}, {"fit", "idm_fit"},
      {"next", "idm_next"},       {"prev", "idm_prev"},   {"end", "idm_end"},
      {"first", "idm_first"},     {"effect", "idm_effect"}, {"list", "idm_FileList"},
      {"exit", "idm_exit"},
  };
  const QString key = id.toLower();
  if (key == "slide") {
    runCommand(Timer1->isActive() ? "idm_stop" : "idm_slide");
    return;
  }
  if (key == "func") {
    // Pops up even while the menu bar hides the Processing menu.
    prompt::popup(*menu("idm_processing"), QCursor::pos());
    return;
  }
  for (const auto& [k, name] : kKeys) {
    if (key == QLatin1String(k)) {
      runCommand(QString::fromLatin1(name));
      return;
    }
  }
}
