#include "process/rotate.h"

#include <memory>

#include "base/viewer_context.h"
#include "process/frame.h"

namespace process {

// Shown with no owner window, as the design has it.
RotateCommand::RotateCommand(ViewerContext& context)
    : LazyWindow<DegFrm>([&context] { return new DegFrm(context); }), context_(context) {}

RotateCommand::~RotateCommand() { unload(); }

void RotateCommand::unload() {
  const std::unique_ptr<DegFrm> gone(ifLoaded());
  LazyWindow<DegFrm>::unload();
}

void RotateCommand::idm_rotate() {
  DegFrm* d = get();
  d->exec();
  if (d->Confirmed <= 0) {
    if (d->closedByFrame()) unload();
    return;
  }
  runInFrame(*context_.Engine1(), [d](ImageEngine& e) {
    const int32_t angle = d->Angle;
    const QColor background = e.BackColor();
    return e.RotateImage(angle, true, background);
  });
  unload();
}

}  // namespace process
