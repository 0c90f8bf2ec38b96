#include "browse/SlideShow.h"

#include <QAction>
#include <QCoreApplication>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTimer>

#include "base/picture_display.h"
#include "base/viewer_context.h"
#include "browse/list_window.h"

namespace browse {
namespace {

struct Delay {
  Command item;
  int milliseconds;
};
constexpr Delay kDelays[] = {
    {Command::idm_Half500, 500}, {Command::idm_delay1, 1000}, {Command::idm_delay2, 2000},
    {Command::idm_delay3, 3000}, {Command::idm_delay4, 4000},
};

}  // namespace

SlideShow::SlideShow(ViewerContext& context, QTimer& timer, ListWindow& list)
    : context_(context), Timer1(timer), list_(list) {
  connect(&Timer1, &QTimer::timeout, this, &SlideShow::tick);
}

bool SlideShow::running() const { return Timer1.isActive(); }

void SlideShow::setRunning(bool on) {
  context_.action(Command::idm_stop)->setEnabled(on);
  context_.action(Command::idm_slide)->setEnabled(!on);
  emit runningChanged(on);
}

void SlideShow::idm_slide() {
  if (context_.PictureCount() <= 1) return;
  Timer1.start();
  setRunning(true);
}

void SlideShow::idm_stop() {
  Timer1.stop();
  setRunning(false);
}

void SlideShow::setDelay(int milliseconds) {
  // QTimer::setInterval restarts a running timer from now; the show goes on.
  Timer1.setInterval(milliseconds);
}

void SlideShow::refreshDelayChecks() {
  for (const Delay& d : kDelays)
    context_.action(d.item)->setChecked(d.milliseconds == Timer1.interval());
}

void SlideShow::tick() {
  int16_t index = int16_t(context_.PictureIndex() + 1);
  // A list replaced by a shorter one may leave the index beyond its end.
  if (index >= context_.PictureCount() || index < 0) index = 0;
  context_.setPictureIndex(index);
  context_.display().ShowPicture(index);
  if (list_.visible()) {
    ListFrm* list = list_.ifLoaded();
    list->setWindowTitle(positionTitle(index, context_.PictureCount()));
    // Selected by code: the picture is on screen already, not shown twice.
    const QSignalBlocker quiet(list->List1);
    list->List1->setCurrentRow(index);
  }
  QCoreApplication::processEvents();
}

}  // namespace browse
