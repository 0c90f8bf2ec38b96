#pragma once
// picfrm's open dialog: created on first use and then only hidden and
// shown, so its selection, folder and pattern survive between uses. The
// open command runs it; start-up drives it hidden to build the first list.
#include <QString>
#include <cstdint>

#include "base/lazy_window.h"
#include "files/OpenFrm.h"

class ViewerContext;

namespace files {

class OpenDialog : public LazyWindow<OpenFrm> {
 public:
  OpenDialog(ViewerContext& context, QWidget* owner);

  // Runs the dialog modally; a new list becomes current (the file list
  // window follows the context) and its first picture is shown.
  void idm_open();
  // Points the hidden dialog at StartFolder (AppFolder when that cannot be
  // read), filters by `pattern`, adds every file and accepts. Returns the
  // dialog's SelectedCount.
  int16_t buildStartList(const QString& pattern);

 private:
  ViewerContext& context_;
};

}  // namespace files
