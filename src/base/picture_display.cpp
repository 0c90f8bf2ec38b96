#include "base/picture_display.h"

#include <QAction>
#include <QTimer>

#include "base/absorb.h"
#include "base/viewer_context.h"
#include "engine/qt/engine_codes.h"

PictureDisplay::PictureDisplay(ViewerContext& context) : context_(context) {
  // A step back turns the direction of travel, a step on turns it forward
  // again; a jump keeps it.
  connect(&context_, &ViewerContext::pictureIndexChanged, this, [this](int16_t index) {
    const int count = context_.PictureCount();
    if (count > 2 && index == (lastIndex_ + 1) % count) direction_ = 1;
    if (count > 2 && index == (lastIndex_ + count - 1) % count) direction_ = -1;
    lastIndex_ = index;
  });
}

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
    // Once the command is over: some set PictureIndex after showing.
    QTimer::singleShot(0, this, [this] { hintNeighbours(); });
  }
  return status;
}

void PictureDisplay::hintNeighbours() {
  ImageEngine* engine = context_.Engine1();
  const int count = context_.PictureCount(), index = context_.PictureIndex();
  if (!engine) return;
  if (count < 2 || index < 0 || index >= count) {
    // A list of one has nothing to prefetch; what was, is let go.
    if (hinted_) engine->PrefetchHint({});
    hinted_ = false;
    return;
  }
  const auto at = [&](int step) { return context_.PictureList((index + step + count) % count); };
  engine->PrefetchHint({at(direction_), at(-direction_)});
  hinted_ = true;
}
