#pragma once
// Window positions are kept in twips (1/1440 inch) and distances in
// millimetres; these convert them at the primary screen's logical DPI and
// place windows by their outer frame.
#include <QPoint>
#include <QSize>
#include <functional>

class QWidget;

namespace units {
// Rounded to whole pixels: widgets sit on whole pixels.
int twipsToPixels(float twips);
float pixelsToTwips(float pixels);
float millimetresToPixels(float mm);
}  // namespace units

// Puts the frame's top-left of top-level window `w` where `where` says for
// its outer size, now and once more as soon as the window system reports
// the frame (on X11 only after the window is shown: until then the outer
// size is the client size).
void placeByFrame(QWidget* w, std::function<QPoint(const QSize& outer)> where);

// Centres `frm` by its outer size on the primary screen's full geometry
// (the task bar not subtracted), computed in twips at single precision. A
// window larger than the screen gets a negative position, applied as is.
void CenterForm(QWidget* frm);
