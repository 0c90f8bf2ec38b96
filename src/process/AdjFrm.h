#pragma once
// The colour adjust dialog: brightness, contrast and saturation as three
// scroll bars from -99 to 99, each change previewed at once on the main
// window's picture. Brightness and contrast are display settings, sent as
// ten times the step on top of the values in force when the dialog was
// shown; saturation changes the picture as it was when the dialog loaded.
// Engine failures (no picture, say) are absorbed: the preview shows what
// the engine could do.
#include <cstdint>

#include "process/confirm_form.h"

class QLabel;
class QScrollBar;

namespace process {
// A display setting of the engine read as a 16-bit number, saturating
// rather than wrapping.
int16_t displaySetting(int32_t value);
}  // namespace process

class AdjFrm : public process::ConfirmForm {
  Q_OBJECT

 public:
  // Loading ends the engine's run of saturation changes, so the picture as
  // it is now is what saturation works from and what Cancel gives back.
  explicit AdjFrm(ViewerContext& context, QWidget* owner = nullptr);

  QLabel *Label1, *Label2, *Label3;  // captions
  QLabel *Label4, *Label5, *Label6;  // the steps as text
  QScrollBar *HScroll1, *HScroll2, *HScroll3;

  // The engine's DisplayBrightness and DisplayContrast, read on load and on
  // every showing.
  int32_t BaseBrightness = 0, BaseContrast = 0;

  // A new value of each scroll bar (not while its thumb is dragged).
  void HScroll1_Change();
  void HScroll2_Change();
  void HScroll3_Change();

  void setCaptions() override;

 protected:
  void activated() override;
};
