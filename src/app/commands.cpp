#include "app/commands.h"

#include "app/picfrm.h"
#include "app/settings.h"
#include "browse/ListFrm.h"
#include "browse/navigation.h"
#include "browse/slideshow.h"
#include "files/open_command.h"
#include "ui/language.h"
#include "ui/tool_window.h"
#include "view/view_commands.h"

namespace app {

void idm_exit(picfrm& w) {
  Module1::WriteSettings();
  w.close();
}

void wireCommands(picfrm& w) {
  w.setCommand("idm_exit", [&w] { idm_exit(w); });
  w.setCommand("idm_open", [&w] { files::idm_open(w); });
  w.setCommand("idm_FileList", [&w] { browse::idm_FileList(w); });
  w.setCommand("idm_ToolBar", [&w] { ui::idm_ToolBar(w); });
  w.setCommand("idm_lang", [&w] { ui::idm_lang(w); });
  w.setCommand("idm_About", [&w] { ui::idm_About(w); });
  browse::wireNavigation(w);
  browse::wireSlideShow(w);
  view::wireViewCommands(w);
  // Save, information, print, acquire, copy, paste and the processing items
  // get their commands from their own subsystems.
}

}  // namespace app
