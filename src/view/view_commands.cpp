#include "view/view_commands.h"

#include <QAction>

#include "base/absorb.h"
#include "base/viewer_context.h"
#include "engine/qt/engine_codes.h"

namespace view {
namespace {

void zoomBy(ViewerContext& context, bool enlarge) {
  ImageEngine* e = context.Engine1();
  e->setDisplaySizeMode(engine_codes::kSizeZoom);
  // Read at single precision, scaled at double: 100, 150, 225, 337.5 ...
  const double current = double(float(e->ZoomPercent()));
  e->setZoomPercent(enlarge ? current * 1.5 : current / 1.5);
  if (!e->RepaintEnabled()) e->Repaint();
}

}  // namespace

void idm_fit(ViewerContext& context) {
  ImageEngine* e = context.Engine1();
  QAction* fit = context.action(Command::idm_fit);
  const bool on = !fit->isChecked();
  e->setDisplaySizeMode(on ? engine_codes::kSizeFit : engine_codes::kSizeNatural);
  for (Command zoom : {Command::idm_zoomin, Command::idm_zoomout, Command::idm_origin})
    context.action(zoom)->setEnabled(!on);
  fit->setChecked(on);
  e->Repaint();
}

void idm_zoomin(ViewerContext& context) { zoomBy(context, true); }
void idm_zoomout(ViewerContext& context) { zoomBy(context, false); }

void idm_origin(ViewerContext& context) {
  ImageEngine* e = context.Engine1();
  // One paint, whether or not the engine repaints by itself.
  RepaintHold hold(*e);
  e->setDisplaySizeMode(engine_codes::kSizeZoom);
  e->setZoomPercent(100);
  e->Repaint();
}

void idm_effect(ViewerContext& context) {
  QAction* effect = context.action(Command::idm_effect);
  const bool on = !effect->isChecked();
  effect->setChecked(on);
  // No repaint: the change shows with the next picture.
  context.Engine1()->setEraseBackground(!on);
}

}  // namespace view
