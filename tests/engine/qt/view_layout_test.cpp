// Placement arithmetic of the view: scale per mode, clamping, scroll bars.
#include <gtest/gtest.h>

#include <limits>

#include "engine/qt/view_layout.h"

namespace zelmar::qt {
namespace {

LayoutInput input(QSize picture, QSize area, int mode, double zoom = 100) {
  LayoutInput in;
  in.picture = picture;
  in.area = area;
  in.mode = mode;
  in.zoomPercent = zoom;
  in.scrollBars = QSize(10, 10);
  return in;
}

TEST(ViewLayout, FitUsesTheTighterAxisAndNeverScrolls) {
  const Layout l = computeLayout(input({6000, 4000}, {1280, 800}, kModeFit));
  EXPECT_DOUBLE_EQ(l.scale, 0.2);
  EXPECT_EQ(l.scaled, QSize(1200, 800));
  EXPECT_EQ(l.offset, QPoint(40, 0));
  EXPECT_FALSE(l.hBar || l.vBar);
  EXPECT_EQ(l.maxScroll(), QPoint(0, 0));
}

TEST(ViewLayout, ABarOnOneAxisCanCallForTheOther) {
  // 95 high fits 100, but not the 90 left under the horizontal bar.
  const Layout l = computeLayout(input({300, 95}, {200, 100}, kModeZoom));
  EXPECT_TRUE(l.hBar);
  EXPECT_TRUE(l.vBar);
  EXPECT_EQ(l.viewport, QSize(190, 90));
  EXPECT_EQ(l.maxScroll(), QPoint(110, 5));
  EXPECT_EQ(l.visible({500, -3}), QRect(110, 0, 190, 90));
}

TEST(ViewLayout, ScalesAreClampedToWhatCanBePainted) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_DOUBLE_EQ(displayScale(input({100, 50}, {10, 10}, kModeZoom, 1e30)), kMaxScale);
  EXPECT_DOUBLE_EQ(displayScale(input({100, 50}, {10, 10}, kModeZoom, 0)), 0.01);
  EXPECT_DOUBLE_EQ(displayScale(input({100, 50}, {10, 10}, kModeZoom, -7)), 0.01);
  EXPECT_DOUBLE_EQ(displayScale(input({100, 50}, {10, 10}, kModeZoom, nan)), 1);
  EXPECT_DOUBLE_EQ(displayScale(input({100, 50}, {0, 0}, kModeFit)), 0.01);
  EXPECT_DOUBLE_EQ(displayScale(input({100, 50}, {10, 10}, kModeNatural, 300)), 1);
  const Layout l = computeLayout(input({65535, 3}, {100, 100}, kModeZoom, 1e300));
  EXPECT_EQ(l.scaled, QSize(65535 * 64, 192));
}

}  // namespace
}  // namespace zelmar::qt
