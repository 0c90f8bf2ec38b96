#include "files/open_command.h"

#include "app/module1.h"
#include "app/picfrm.h"
#include "browse/ListFrm.h"
#include "browse/navigation.h"

// The open dialog is built beside this file by its own developer; until it
// is in the tree no list can be chosen.
#if __has_include("files/OpenFrm.h")
#include <QComboBox>
#include <QStringList>

#include "files/OpenFrm.h"
#define ZELMAR_HAVE_OPENFRM 1
#endif

namespace files {
namespace {

#ifdef ZELMAR_HAVE_OPENFRM
OpenFrm* dialog(picfrm& w) {
  auto* d = qobject_cast<OpenFrm*>(w.openWindow());
  if (!d) {
    d = new OpenFrm(&w);
    w.setOpenWindow(d);
  }
  return d;
}
#endif

}  // namespace

int16_t buildStartList(picfrm& w, const QString& pattern) {
#ifdef ZELMAR_HAVE_OPENFRM
  OpenFrm* d = dialog(w);
  d->setVisible(false);
  if (!d->Dir1->setPath(Module1::StartFolder)) d->Dir1->setPath(Module1::AppFolder);
  d->File1->setPattern(pattern);
  d->Command3_Click();
  d->Command1_Click();
  return d->SelectedCount;
#else
  (void)w, (void)pattern;
  return 0;
#endif
}

void idm_open(picfrm& w) {
#ifdef ZELMAR_HAVE_OPENFRM
  OpenFrm* d = dialog(w);
  static const QStringList kPatterns = {"*.*",   "*.BMP;*.PCX;*.TIF;*.JPG;*.TGA", "*.BMP", "*.PCX",
                                        "*.TIF", "*.JPG",                         "*.TGA"};
  d->FilePattern->clear();
  d->FilePattern->addItems(kPatterns);
  const QString initial = QStringLiteral("*.BMP;*.PCX;*.TIF;*.TGA;*.JPG");
  d->FilePattern->setEditText(initial);
  d->File1->setPattern(initial);
  d->File1->refresh();
  d->exec();
  // Closing the dialog by its frame may have discarded it.
  d = qobject_cast<OpenFrm*>(w.openWindow());
  const int16_t selected = d ? d->SelectedCount : int16_t(0);
  if (selected <= 0) return;
  Module1::PictureCount = selected;
  if (w.listFormLoaded() && w.listForm()->isVisible()) browse::FillFileList(w);
  w.ShowPicture(0);
  w.PictureIndex = 0;
#else
  (void)w;
#endif
}

void unloadOpenWindow(picfrm& w) { delete w.openWindow(); }

}  // namespace files
