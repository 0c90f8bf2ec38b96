#include "files/open_command.h"

#include "base/picture_display.h"
#include "base/viewer_context.h"

namespace files {

OpenDialog::OpenDialog(ViewerContext& context, QWidget* owner)
    : LazyWindow<OpenFrm>([&context, owner] { return new OpenFrm(context, owner); }),
      context_(context) {}

int16_t OpenDialog::buildStartList(const QString& pattern) {
  OpenFrm* d = get();
  d->setVisible(false);
  if (!d->Dir1->setPath(context_.StartFolder())) d->Dir1->setPath(context_.AppFolder());
  d->File1->setPattern(pattern);
  d->Command3_Click();
  d->Command1_Click();
  return d->SelectedCount;
}

void OpenDialog::idm_open() {
  OpenFrm* d = get();
  d->preparePatterns();
  d->exec();
  int16_t selected = d->SelectedCount;
  if (d->discarded()) {
    // Closed by its frame: acts as Cancel, and the next use starts afresh.
    selected = 0;
    unload();
  }
  if (selected <= 0) return;
  context_.setPictureCount(selected);
  context_.display().ShowPicture(0);
  context_.setPictureIndex(0);
}

}  // namespace files
