#pragma once
// picfrm's use of the open dialog: the open command, and the hidden dialog
// start-up drives to build the first picture list.
#include <QString>
#include <cstdint>

class picfrm;

namespace files {

// Runs the open dialog modally and shows the first picture of a new list.
void idm_open(picfrm& w);
// Points the hidden dialog at Module1::StartFolder (or AppFolder when that
// cannot be read), filters by `pattern`, adds every file and accepts.
// Returns the dialog's SelectedCount.
int16_t buildStartList(picfrm& w, const QString& pattern);
void unloadOpenWindow(picfrm& w);

}  // namespace files
