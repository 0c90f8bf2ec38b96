#include "base/picture_display.h"

#include <QAction>

#include "base/absorb.h"
#include "base/viewer_context.h"
#include "engine/qt/engine_codes.h"

int16_t PictureDisplay::ShowPicture(int16_t index) {
  const bool inList = index >= 0 && index < ViewerContext::kListSlots;
  return display(inList ? &context_.PictureList(index) : nullptr);
}

int16_t PictureDisplay::ShowPicture1(const QString& Fname) { return display(&Fname); }

// `name` null: an index outside the list, which fails like a bad file.
int16_t PictureDisplay::display(const QString* name) {
  ImageEngine* engine = context_.Engine1();
  if (!engine) return 0;
  // Held off around the settings and the load, so the control paints once,
  // through the chosen transition.
  RepaintHold hold(*engine);
  const QAction* effect = context_.action(Command::idm_effect);
  if (effect && effect->isChecked()) {
    if (EffectPhase != 0) {
      engine->setTransitionEffect(engine_codes::kEffectWipe);
      engine->setTransitionDelay(5);
      engine->setTransitionGrain(10);
    } else {
      engine->setTransitionEffect(engine_codes::kEffectCrossFade);
      engine->setTransitionDelay(0);
      engine->setTransitionGrain(20);
    }
    EffectPhase = int16_t((EffectPhase + 1) % 2);
  } else {
    engine->setTransitionEffect(engine_codes::kEffectNone);
  }
  BusyCursor busy;
  ErrorAbsorber absorb;
  int16_t status = 0;
  if (name) {
    status = int16_t(absorb.run([&] { return engine->LoadFile(*name, 0, 0, 1); }));
  } else {
    absorb.record(ErrorAbsorber::kSubscript);
  }
  busy.restore();
  if (!absorb.failed()) {
    absorb.run([&] { engine->Repaint(); });
    emit shown(*name);
  }
  return status;
}
