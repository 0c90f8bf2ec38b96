#pragma once
// The angle dialog of the Rotate command: the angle in hundredths of a
// degree, "9000" (a quarter turn) each time it loads.
#include <cstdint>

#include "process/confirm_form.h"

class QLabel;
class QLineEdit;

class DegFrm : public process::ConfirmForm {
  Q_OBJECT

 public:
  explicit DegFrm(ViewerContext& context, QWidget* owner = nullptr);

  QLabel* Label1;
  QLineEdit* Text1;

  // Hundredths of a degree, set by OK only.
  int32_t Angle = 0;

  // OK: Confirmed = 1 and Angle from Text1's leading number, to the nearest
  // integer (halves to even), limited to the 32-bit range; then hides.
  void Command1_Click() override;
  void setCaptions() override;
};
