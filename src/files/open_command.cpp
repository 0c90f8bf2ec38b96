#include "files/open_command.h"

#include "app/module1.h"
#include "app/picfrm.h"
#include "browse/ListFrm.h"
#include "browse/navigation.h"
#include "files/OpenFrm.h"

namespace files {
namespace {

OpenFrm* dialog(picfrm& w) {
  auto* d = qobject_cast<OpenFrm*>(w.openWindow());
  if (!d) {
    d = new OpenFrm(&w);
    w.setOpenWindow(d);
  }
  return d;
}

}  // namespace

int16_t buildStartList(picfrm& w, const QString& pattern) {
  OpenFrm* d = dialog(w);
  d->setVisible(false);
  if (!d->Dir1->setPath(Module1::StartFolder)) d->Dir1->setPath(Module1::AppFolder);
  d->File1->setPattern(pattern);
  d->Command3_Click();
  d->Command1_Click();
  return d->SelectedCount;
}

void idm_open(picfrm& w) {
  OpenFrm* d = dialog(w);
  d->preparePatterns();
  d->exec();
  int16_t selected = d->SelectedCount;
  if (d->discarded()) {
    // Closed by its frame: acts as Cancel, and the next use starts afresh.
    selected = 0;
    unloadOpenWindow(w);
  }
  if (selected <= 0) return;
  Module1::PictureCount = selected;
  if (w.listFormLoaded() && w.listForm()->isVisible()) browse::FillFileList(w);
  w.ShowPicture(0);
  w.PictureIndex = 0;
}

void unloadOpenWindow(picfrm& w) { delete w.openWindow(); }

}  // namespace files
