// Placement arithmetic of the view at its edges: scroll bars and huge zooms.
#include "engine/qt/view_layout.h"

#include <gtest/gtest.h>

namespace zelmar::qt {
namespace {

LayoutInput input(QSize picture, QSize area, DisplayMode mode, double zoom = 100) {
  LayoutInput in;
  in.picture = picture;
  in.area = area;
  in.mode = mode;
  in.zoomPercent = zoom;
  in.scrollBars = QSize(10, 10);
  return in;
}

TEST(ViewLayout, ABarOnOneAxisCanCallForTheOther) {
  // 95 high fits 100, but not the 90 left under the horizontal bar.
  const Layout l = computeLayout(input({300, 95}, {200, 100}, DisplayMode::Zoom));
  EXPECT_TRUE(l.hBar);
  EXPECT_TRUE(l.vBar);
  EXPECT_EQ(l.viewport, QSize(190, 90));
  EXPECT_EQ(l.maxScroll(), QPoint(110, 5));
  EXPECT_EQ(l.visible({500, -3}), QRect(110, 0, 190, 90));
}

TEST(ViewLayout, HugeZoomOnAWidePictureStaysWithinIntegers) {
  const Layout l = computeLayout(input({65535, 3}, {100, 100}, DisplayMode::Zoom, 1e300));
  EXPECT_EQ(l.scaled, QSize(65535 * 64, 192));
  EXPECT_EQ(l.maxScroll().x(), 65535 * 64 - 90);
}

}  // namespace
}  // namespace zelmar::qt
