#pragma once
// Printing the picture on the main window on the default printer, at a
// place and size typed in centimetres.
#include "base/lazy_window.h"
#include "files/PrnFrm.h"

class QPainter;
class ViewerContext;

namespace files {

// The picture's rectangle on the page in printer pixels, measured from the
// printable area's corner.
struct PrintPlace {
  float left, top, width, height;
};

// Centimetres to printer pixels at single precision, step by step as the
// print command computes them: left and width by the horizontal
// resolution, top and height by the vertical one.
PrintPlace printPlace(float top, float left, float width, float height, int dpiX, int dpiY);

// A thin black frame with these corners, its four sides in drawing order.
void DrawFrame(QPainter& printer, float x1, float y1, float x2, float y2);

// Asks for the place and size in `dialog` and prints one page on the
// default printer: the picture, framed two printer pixels outside. No
// printer, a printer gone by the time of the job, or a picture the engine
// cannot render at that place: a message, and no job goes out.
void idm_print(ViewerContext& context, LazyWindow<PrnFrm>& dialog, QWidget* owner);

}  // namespace files
