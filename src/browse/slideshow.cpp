#include "browse/slideshow.h"

#include <QAction>
#include <QCoreApplication>
#include <QListWidget>
#include <QMenu>
#include <QTimer>

#include "app/module1.h"
#include "app/picfrm.h"
#include "browse/ListFrm.h"
#include "browse/navigation.h"
#include "ui/tool_window.h"

namespace browse {
namespace {

struct Delay {
  const char* item;
  int milliseconds;
};
constexpr Delay kDelays[] = {
    {"idm_Half500", 500}, {"idm_delay1", 1000}, {"idm_delay2", 2000},
    {"idm_delay3", 3000}, {"idm_delay4", 4000},
};

void setRunning(picfrm& w, bool running) {
  w.action("idm_stop")->setEnabled(running);
  w.action("idm_slide")->setEnabled(!running);
  ui::setToolPressed(w, "slide", running);
}

}  // namespace

void idm_slide(picfrm& w) {
  if (Module1::PictureCount <= 1) return;
  setRunning(w, true);
  w.Timer1->start();
}

void idm_stop(picfrm& w) {
  w.Timer1->stop();
  setRunning(w, false);
}

void setSlideDelay(picfrm& w, int milliseconds) {
  // QTimer::setInterval restarts a running timer from now; the show goes on.
  w.Timer1->setInterval(milliseconds);
}

void refreshDelayChecks(picfrm& w) {
  const int interval = w.Timer1->interval();
  for (const Delay& d : kDelays) w.action(d.item)->setChecked(d.milliseconds == interval);
}

void slideTick(picfrm& w) {
  w.PictureIndex = int16_t(w.PictureIndex + 1);
  // A list replaced by a shorter one may leave the index beyond its end.
  if (w.PictureIndex >= Module1::PictureCount || w.PictureIndex < 0) w.PictureIndex = 0;
  w.ShowPicture(w.PictureIndex);
  if (w.listFormLoaded() && w.listForm()->isVisible()) {
    ListFrm* list = w.listForm();
    list->setWindowTitle(positionTitle(w.PictureIndex, Module1::PictureCount));
    list->List1->setCurrentRow(w.PictureIndex);
  }
  QCoreApplication::processEvents();
}

void wireSlideShow(picfrm& w) {
  w.setCommand("idm_slide", [&w] { idm_slide(w); });
  w.setCommand("idm_stop", [&w] { idm_stop(w); });
  for (const Delay& d : kDelays) {
    const int ms = d.milliseconds;
    w.setCommand(d.item, [&w, ms] { setSlideDelay(w, ms); });
  }
  QObject::connect(w.menu("idm_display"), &QMenu::aboutToShow, &w,
                   [&w] { refreshDelayChecks(w); });
  QObject::connect(w.Timer1, &QTimer::timeout, &w, [&w] { slideTick(w); });
}

}  // namespace browse
