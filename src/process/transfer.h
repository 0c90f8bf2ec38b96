#pragma once
// Moving a picture between the main engine and the outside world: the
// clipboard and a scanner. None of them touches the picture list; a pasted
// or scanned picture simply replaces the one shown.
class QWidget;
class ViewerContext;

namespace process {

// Copies the picture to the clipboard under the busy cursor. With no
// picture nothing happens and nothing is said.
void idm_copy(ViewerContext& context);
// Replaces the picture by the clipboard's and paints it. With nothing
// usable on the clipboard the picture stays and nothing is said.
void idm_paste(ViewerContext& context);
// Acquires a page from a scanner through the engine's scan dialog;
// `window` is the main window. A scanner that is not ready, a failed scan
// and a cancelled one each end with a message in the user's language.
void idm_acquire(ViewerContext& context, QWidget* window);

}  // namespace process
