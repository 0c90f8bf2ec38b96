#include "view/view_commands.h"

#include <QAction>

#include "app/picfrm.h"
#include "ui/tool_window.h"

namespace view {
namespace {

void zoomBy(picfrm& w, bool enlarge) {
  ImageEngine* e = w.Engine1;
  e->setDisplaySizeMode(4);
  // Read at single precision, scaled at double: 100, 150, 225, 337.5 ...
  const double current = double(float(e->ZoomPercent()));
  e->setZoomPercent(enlarge ? current * 1.5 : current / 1.5);
  if (!e->RepaintEnabled()) e->Repaint();
}

}  // namespace

void idm_fit(picfrm& w) {
  ImageEngine* e = w.Engine1;
  const bool on = !w.action("idm_fit")->isChecked();
  e->setDisplaySizeMode(on ? 3 : 0);
  for (const char* name : {"idm_zoomin", "idm_zoomout", "idm_origin"})
    w.action(name)->setEnabled(!on);
  w.action("idm_fit")->setChecked(on);
  ui::setToolPressed(w, "fit", on);
  e->Repaint();
}

void idm_zoomin(picfrm& w) { zoomBy(w, true); }
void idm_zoomout(picfrm& w) { zoomBy(w, false); }

void idm_origin(picfrm& w) {
  ImageEngine* e = w.Engine1;
  const bool repaint = e->RepaintEnabled();
  e->setRepaintEnabled(false);
  e->setDisplaySizeMode(4);
  e->setZoomPercent(100);
  e->Repaint();
  e->setRepaintEnabled(repaint);
}

void idm_effect(picfrm& w) {
  QAction* effect = w.action("idm_effect");
  const bool on = !effect->isChecked();
  effect->setChecked(on);
  w.Engine1->setEraseBackground(!on);
}

void wireViewCommands(picfrm& w) {
  w.setCommand("idm_fit", [&w] { idm_fit(w); });
  w.setCommand("idm_zoomin", [&w] { idm_zoomin(w); });
  w.setCommand("idm_zoomout", [&w] { idm_zoomout(w); });
  w.setCommand("idm_origin", [&w] { idm_origin(w); });
  w.setCommand("idm_effect", [&w] { idm_effect(w); });
}

}  // namespace view
