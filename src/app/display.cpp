// Putting a picture file on screen, and keeping the control laid out.
#include <QAction>
#include <cmath>

#include "app/absorb.h"
#include "app/module1.h"
#include "app/picfrm.h"
#include "app/units.h"

int16_t picfrm::ShowPicture(int16_t index) {
  const bool inList = index >= 0 && index < Module1::kListSlots;
  return display(inList ? &Module1::PictureList[size_t(index)] : nullptr);
}

int16_t picfrm::ShowPicture1(const QString& Fname) { return display(&Fname); }

// `name` null: an index outside the list, which fails like a bad file.
int16_t picfrm::display(const QString* name) {
  if (!Engine1) return 0;
  const bool repaint = Engine1->RepaintEnabled();
  Engine1->setRepaintEnabled(false);
  if (action("idm_effect")->isChecked()) {
    // Two transitions in turn, shared by every way a picture is shown.
    if (EffectPhase != 0) {
      Engine1->setTransitionEffect(23);
      Engine1->setTransitionDelay(5);
      Engine1->setTransitionGrain(10);
    } else {
      Engine1->setTransitionEffect(47);
      Engine1->setTransitionDelay(0);
      Engine1->setTransitionGrain(20);
    }
    EffectPhase = int16_t((EffectPhase + 1) % 2);
  } else {
    Engine1->setTransitionEffect(0);
  }
  BusyCursor busy;
  ErrorAbsorber absorb;
  int16_t status = 0;
  if (name) {
    status = int16_t(absorb.run([&] { return Engine1->LoadFile(*name, 0, 0, 1); }));
  } else {
    absorb.record(ErrorAbsorber::kSubscript);
  }
  busy.restore();
  if (!absorb.failed()) {
    absorb.run([&] { Engine1->Repaint(); });
    setWindowTitle(*name);
  }
  absorb.run([&] { Engine1->setRepaintEnabled(repaint); });
  return status;
}

void picfrm::LayoutPicture() {
  if (!Engine1) return;
  const float m = units::millimetresToPixels(1);
  const float w = float(client_->width()) - m - m;
  const float h = float(client_->height()) - m - m;
  const int margin = int(std::lround(m));
  Engine1->widget()->setGeometry(margin, margin, int(std::lround(SingleMax(w, m))),
                                 int(std::lround(SingleMax(h, m))));
}
