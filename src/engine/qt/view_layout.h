#pragma once
// Where the picture goes in the control, in device pixels.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace zelmar::qt {

enum class DisplayMode {
  Natural,  // one picture pixel per device pixel
  Fit,      // the whole picture, proportions kept, enlarged or shrunk
  Zoom,     // at a zoom percentage
};

// Zoom factors the control paints: anything else is clamped, never refused.
inline constexpr double kMaxScale = 64.0;

struct LayoutInput {
  QSize picture;  // picture pixels; empty when none is held
  QSize area;     // the whole control in device pixels
  DisplayMode mode = DisplayMode::Fit;
  double zoomPercent = 100;
  QSize scrollBars;  // thickness of the vertical (width) and horizontal (height) bars
};

struct Layout {
  double scale = 1;  // device pixels per picture pixel
  QSize scaled;      // the whole picture at that scale
  QSize viewport;    // the part of the control left after the scroll bars
  bool hBar = false, vBar = false;
  QPoint offset;  // where the scaled picture's origin lies when not scrolled
  // The part of the scaled picture in view, for scroll position `scroll`.
  QRect visible(QPoint scroll) const;
  // Largest scroll position on each axis (0 when the picture fits).
  QPoint maxScroll() const;
};

// The scale of a mode and zoom: fit keeps proportions and may enlarge;
// a zoom percentage that is not a number falls back to 100, and every scale is
// clamped so the picture spans at least one pixel and at most kMaxScale.
double displayScale(const LayoutInput& in);

Layout computeLayout(const LayoutInput& in);

}  // namespace zelmar::qt
