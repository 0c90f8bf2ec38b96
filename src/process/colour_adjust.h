#pragma once
// The Colour adjust command: a fresh AdjFrm each time, owned by the main
// window, with automatic repaint and background erasing off while it is
// open. OK keeps the preview; Cancel and the close box give back the
// brightness, contrast and saturation found, and the screen shows them once
// automatic repaint is back on.
#include "base/lazy_window.h"
#include "process/AdjFrm.h"

class ViewerContext;

namespace process {

class ColourAdjust : public LazyWindow<AdjFrm> {
 public:
  ColourAdjust(ViewerContext& context, QWidget* owner);

  void idm_coloradjust();

 private:
  ViewerContext& context_;
};

}  // namespace process
