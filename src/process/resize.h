#pragma once
// Resize: the picture on the main window resampled to a new size in pixels,
// asked in the print size dialog relabelled for pixels.
#include "base/lazy_window.h"
#include "files/PrnFrm.h"

class ViewerContext;

namespace process {

// Offers the present size and half of it (halves to the even neighbour) and
// resamples to the size confirmed, inside the processing frame; the dialog
// is unloaded whatever the answer. The sizes are not checked here: the
// engine's refusal is absorbed by the frame.
void idm_resize(ViewerContext& context, LazyWindow<PrnFrm>& dialog);

}  // namespace process
