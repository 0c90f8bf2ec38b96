// What the control puts on the screen: size modes, centring, zoom clamping,
// panning and the display tone.
#include <QScrollBar>
#include <QTest>
#include <cmath>
#include <limits>
#include <utility>

#include "control_fixture.h"
#include "engine/qt/display_adjust.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

constexpr Rgb kBack{0x40, 0x40, 0x40};
constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0};

// Left half red, right half green.
Picture halves(uint32_t w, uint32_t h) {
  Picture p = solid(w, h, kRed);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = w / 2; x < w; ++x) {
      p.row(y)[3 * x] = 0;
      p.row(y)[3 * x + 1] = 255;
    }
  return p;
}

TEST_F(ControlTest, StartsEmptyInFitModeAtHundredPercentOnDarkGrey) {
  EXPECT_EQ(control->DisplaySizeMode(), 3);
  EXPECT_EQ(control->ZoomPercent(), 100);
  EXPECT_EQ(control->BitsPerPixel(), 0);
  control->Repaint();
  EXPECT_EQ(at(0, 0), kBack);
  EXPECT_EQ(at(199, 99), kBack);
}

TEST_F(ControlTest, FitEnlargesAndCentresKeepingProportions) {
  control->adoptPicture(halves(40, 40));  // 2.5 times fits 100 x 100
  control->Repaint();
  EXPECT_EQ(at(49, 50), kBack);
  EXPECT_EQ(at(52, 2), kRed);
  EXPECT_EQ(at(60, 97), kRed);
  EXPECT_EQ(at(140, 50), kGreen);
  EXPECT_EQ(at(147, 97), kGreen);
  EXPECT_EQ(at(150, 50), kBack);
}

TEST_F(ControlTest, FitShrinksByAreaAveraging) {
  // One-pixel black and white columns: averaging gives grey, sampling would not.
  Picture p = solid(400, 100, {0, 0, 0});
  for (uint32_t y = 0; y < 100; ++y)
    for (uint32_t x = 1; x < 400; x += 2) std::fill_n(p.row(y) + 3 * x, 3, uint8_t(255));
  control->adoptPicture(std::move(p));
  control->Repaint();
  EXPECT_EQ(at(100, 24), kBack);
  EXPECT_EQ(at(100, 75), kBack);
  for (int x : {0, 57, 100, 199}) {
    SCOPED_TRACE(x);
    const Rgb c = at(x, 50);
    EXPECT_NEAR(c.r, 128, 1);
    EXPECT_EQ(c.r, c.g);
  }
}

TEST_F(ControlTest, ZoomHundredShowsEveryPixelExactlyCentred) {
  for (int mode : {0, 4}) {
    SCOPED_TRACE(mode);
    control->setDisplaySizeMode(int16_t(mode));
    control->setZoomPercent(100);
    const Picture pattern = makePattern(40, 30, 24);
    Picture copy;
    ASSERT_TRUE(pattern.cloneTo(copy).ok());
    control->adoptPicture(std::move(copy));
    control->Repaint();
    const QImage shot = screen();
    EXPECT_EQ(rgbOf(shot.pixel(79, 35)), kBack);
    EXPECT_EQ(rgbOf(shot.pixel(120, 64)), kBack);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x)
        ASSERT_EQ(rgbOf(shot.pixel(80 + x, 35 + y)), pixelAt(pattern, x, y)) << x << "," << y;
  }
}

TEST_F(ControlTest, ZoomLargerThanControlPansWithScrollBarsAndDragging) {
  const Picture pattern = makePattern(150, 80, 24);
  Picture copy;
  ASSERT_TRUE(pattern.cloneTo(copy).ok());
  control->adoptPicture(std::move(copy));
  control->setDisplaySizeMode(4);
  control->setZoomPercent(100);
  control->resize(100, 60);
  control->Repaint();
  auto* h = control->findChild<QScrollBar*>("hScroll");
  auto* v = control->findChild<QScrollBar*>("vScroll");
  ASSERT_TRUE(h && v);
  EXPECT_TRUE(h->isVisible());
  EXPECT_TRUE(v->isVisible());
  EXPECT_EQ(rgbOf(screen().pixel(0, 0)), pixelAt(pattern, 0, 0));

  // Dragging the picture left and up shows more of its right and bottom.
  QTest::mousePress(control.get(), Qt::LeftButton, {}, QPoint(50, 30));
  QTest::mouseMove(control.get(), QPoint(30, 20));
  QTest::mouseRelease(control.get(), Qt::LeftButton, {}, QPoint(30, 20));
  QApplication::processEvents();
  EXPECT_EQ(control->scrollPosition(), QPoint(20, 10));
  EXPECT_EQ(rgbOf(screen().pixel(0, 0)), pixelAt(pattern, 20, 10));

  // Scrolled to the end, the last pixel sits just before the bars.
  h->setValue(h->maximum());
  v->setValue(v->maximum());
  control->Repaint();
  const QImage shot = screen();
  EXPECT_EQ(rgbOf(shot.pixel(h->width() - 1, v->height() - 1)), pixelAt(pattern, 149, 79));
}

TEST_F(ControlTest, ZoomFactorsItCannotPaintAreClampedNotRefused) {
  control->adoptPicture(solid(10, 10, kRed));
  control->setDisplaySizeMode(4);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double zoom : {0.0, -50.0, 1e-30, 1e30, inf, -inf, nan}) {
    SCOPED_TRACE(zoom);
    control->setZoomPercent(zoom);
    if (!std::isnan(zoom)) {
      EXPECT_EQ(control->ZoomPercent(), zoom);  // kept as written
    }
    control->Repaint();
    const QImage shot = screen();
    const bool huge = zoom > 1e6;
    // Tiny factors still show one pixel of the picture in the middle; huge
    // ones fill the control with it.
    EXPECT_EQ(rgbOf(shot.pixel(99, 49)), kRed);
    EXPECT_EQ(rgbOf(shot.pixel(2, 2)), huge ? kRed : kBack);
  }
  EXPECT_EQ(control->ImageWidth(), 10);
}

TEST_F(ControlTest, BrightnessAndContrastChangeThePaintNotThePixels) {
  control->adoptPicture(solid(20, 20, {100, 100, 100}));
  struct Case {
    int brightness, contrast, expected;
  };
  for (const Case c : {Case{0, 0, 100}, Case{1000, 0, 255}, Case{-1000, 0, 0},
                       Case{5000, 0, 255}, Case{500, 0, 228}, Case{0, -1000, 128},
                       Case{0, 1000, 0}, Case{-200000, 0, 0}}) {
    SCOPED_TRACE(testing::Message() << c.brightness << " " << c.contrast);
    control->setDisplayBrightness(c.brightness);
    control->setDisplayContrast(c.contrast);
    control->Repaint();
    EXPECT_NEAR(at(100, 50).g, c.expected, 1);
    EXPECT_EQ(control->DisplayBrightness(), c.brightness);
  }
  EXPECT_EQ(control->picture().row(0)[0], 100);
  // The setting stays for the next picture.
  control->setDisplayContrast(0);
  control->setDisplayBrightness(1000);
  control->adoptPicture(solid(20, 20, {10, 10, 10}));
  control->Repaint();
  EXPECT_EQ(at(100, 50).r, 255);
}

TEST_F(ControlTest, BackColorFillsAroundThePicture) {
  control->adoptPicture(solid(10, 10, kRed));
  control->setBackColor(QColor(0, 0, 200));
  control->Repaint();
  EXPECT_EQ(at(2, 50), (Rgb{0, 0, 200}));
  EXPECT_EQ(at(100, 50), kRed);
}

// Every pixel of the frame: the toned picture channel by channel where it
// lies, the background on all four sides of it.
TEST_F(ControlTest, ToneGoesChannelByChannelAndBackgroundFillsEveryMargin) {
  control->setDisplaySizeMode(4);
  control->setZoomPercent(100);
  control->setBackColor(QColor(10, 20, 30));
  const Picture pattern = makePattern(40, 30, 24);
  Picture copy;
  ASSERT_TRUE(pattern.cloneTo(copy).ok());
  control->adoptPicture(std::move(copy));
  for (const auto& [brightness, contrast] : {std::pair{0, 0}, std::pair{300, 400}}) {
    SCOPED_TRACE(testing::Message() << brightness << " " << contrast);
    control->setDisplayBrightness(brightness);
    control->setDisplayContrast(contrast);
    control->Repaint();
    const qt::ToneTable tone = qt::makeToneTable(brightness, contrast);
    const QImage shot = screen();
    const QRect placed(80, 35, 40, 30);
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) {
        Rgb want{10, 20, 30};
        if (placed.contains(x, y)) {
          const Rgb p = pixelAt(pattern, x - placed.left(), y - placed.top());
          want = {tone[p.r], tone[p.g], tone[p.b]};
        }
        ASSERT_EQ(rgbOf(shot.pixel(x, y)), want) << x << "," << y;
      }
  }
}

TEST_F(ControlTest, NothingIsPaintedWhileRepaintIsDisabledAndRepaintPaintsOnce) {
  control->adoptPicture(solid(10, 10, kRed));
  control->Repaint();
  control->setRepaintEnabled(false);
  const int before = control->paintCount();
  control->adoptPicture(solid(10, 10, kGreen));
  control->setDisplayBrightness(-1000);
  control->setDisplaySizeMode(4);
  control->resize(220, 110);
  QApplication::processEvents();
  EXPECT_EQ(at(100, 50), kRed);  // the screen still shows the old frame
  EXPECT_EQ(control->paintCount(), before);

  control->Repaint();
  QApplication::processEvents();
  EXPECT_EQ(control->paintCount(), before + 1);
  EXPECT_EQ(at(110, 55), (Rgb{0, 0, 0}));

  // With repainting on, a batch of changes paints once when events run.
  control->setRepaintEnabled(true);
  control->setDisplayBrightness(0);
  control->setZoomPercent(150);
  QApplication::processEvents();
  EXPECT_EQ(control->paintCount(), before + 2);
  EXPECT_EQ(at(110, 55), kGreen);
  control->Repaint();
  QApplication::processEvents();
  EXPECT_EQ(control->paintCount(), before + 3);
}

TEST_F(ControlTest, RepaintingAnUnchangedViewReusesTheReducedCopy) {
  control->adoptPicture(makePhoto(800, 600));
  control->Repaint();
  const int rebuilds = control->viewRebuilds();
  control->Repaint();
  control->Repaint();
  EXPECT_EQ(control->viewRebuilds(), rebuilds);
  control->resize(300, 150);
  control->Repaint();
  EXPECT_EQ(control->viewRebuilds(), rebuilds + 1);
}

}  // namespace
}  // namespace zelmar::test
