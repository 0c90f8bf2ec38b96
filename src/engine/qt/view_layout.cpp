#include "engine/qt/view_layout.h"

#include <algorithm>
#include <cmath>

namespace zelmar::qt {

double displayScale(const LayoutInput& in) {
  if (in.picture.isEmpty()) return 1;
  const double w = in.picture.width(), h = in.picture.height();
  double scale = 1;
  if (in.mode == DisplayMode::Fit) {
    if (in.area.isEmpty()) return 1.0 / std::max(w, h);
    scale = std::min(in.area.width() / w, in.area.height() / h);
  } else if (in.mode == DisplayMode::Zoom) {
    scale = std::isnan(in.zoomPercent) ? 1.0 : in.zoomPercent / 100.0;
  }
  return std::clamp(scale, 1.0 / std::max(w, h), kMaxScale);
}

Layout computeLayout(const LayoutInput& in) {
  Layout l;
  l.scale = displayScale(in);
  if (in.picture.isEmpty()) {
    l.viewport = in.area;
    return l;
  }
  l.scaled = QSize(std::max(1, int(std::lround(in.picture.width() * l.scale))),
                   std::max(1, int(std::lround(in.picture.height() * l.scale))));
  int w = in.area.width(), h = in.area.height();
  if (in.mode != DisplayMode::Fit) {
    // A bar on one axis takes room from the other, which may then need one too.
    for (int pass = 0; pass < 2; ++pass) {
      l.hBar = l.scaled.width() > w;
      l.vBar = l.scaled.height() > h;
      w = in.area.width() - (l.vBar ? in.scrollBars.width() : 0);
      h = in.area.height() - (l.hBar ? in.scrollBars.height() : 0);
    }
  }
  l.viewport = QSize(std::max(0, w), std::max(0, h));
  l.offset = QPoint(std::max(0, (l.viewport.width() - l.scaled.width()) / 2),
                    std::max(0, (l.viewport.height() - l.scaled.height()) / 2));
  return l;
}

QPoint Layout::maxScroll() const {
  return {std::max(0, scaled.width() - viewport.width()),
          std::max(0, scaled.height() - viewport.height())};
}

QRect Layout::visible(QPoint scroll) const {
  const QPoint m = maxScroll();
  const QPoint s(std::clamp(scroll.x(), 0, m.x()), std::clamp(scroll.y(), 0, m.y()));
  return QRect(s, QSize(std::min(scaled.width(), viewport.width()),
                        std::min(scaled.height(), viewport.height())));
}

}  // namespace zelmar::qt
