#include "process/colour_adjust.h"

#include "base/absorb.h"
#include "base/viewer_context.h"

namespace process {

ColourAdjust::ColourAdjust(ViewerContext& context, QWidget* owner)
    : LazyWindow<AdjFrm>([&context, owner] { return new AdjFrm(context, owner); }),
      context_(context) {}

void ColourAdjust::idm_coloradjust() {
  ImageEngine& e = *context_.Engine1();
  const int16_t brightness = displaySetting(e.DisplayBrightness());
  const int16_t contrast = displaySetting(e.DisplayContrast());
  const bool repaint = e.RepaintEnabled(), erase = e.EraseBackground();
  e.setEraseBackground(false);
  e.setRepaintEnabled(false);
  AdjFrm* d = get();
  d->exec();
  // With no picture the engine refuses saturation; nothing to give back then.
  ErrorAbsorber absorb;
  if (d->Confirmed == 0) {
    absorb.run([&] { e.setDisplayBrightness(brightness); });
    absorb.run([&] { e.setDisplayContrast(contrast); });
    absorb.run([&] { return e.AdjustSaturation(0); });
  }
  unload();
  absorb.run([&] { e.setRepaintEnabled(repaint); });
  absorb.run([&] { e.setEraseBackground(erase); });
}

}  // namespace process
