#pragma once
// Save As: the picture on the main window into a file of one of six formats,
// chosen by the type picked in Qt's own save dialog.
class QWidget;
class ViewerContext;

namespace files {

// Asks for a name (the dialog opens on `owner`'s caption, the shown file's
// path) and saves Engine1's picture at its present depth in the format of
// the type picked; the typed extension never decides. Cancel ends silently;
// every failure shows one message in the current language.
void idm_save(ViewerContext& context, QWidget* owner);

}  // namespace files
