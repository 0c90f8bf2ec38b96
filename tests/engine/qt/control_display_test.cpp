// What the control puts on the screen: size modes, centring, zoom clamping,
// panning, the display tone, when it paints, and a screen of two device
// pixels per pixel.
#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "control_fixture.h"
#include "engine/qt/view_layout.h"
#include "support/process.h"

namespace zelmar::test {
namespace {

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0};

// Left half red, right half green.
Picture halves(uint32_t w, uint32_t h) {
  Picture p = solid(w, h, kRed);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = w / 2; x < w; ++x) p.row(y)[3 * x] = 0, p.row(y)[3 * x + 1] = 255;
  return p;
}

TEST_F(ControlTest, StartsEmptyFittingOnDarkGreyThenFitsEnlargingAndCentred) {
  EXPECT_EQ(control->DisplaySizeMode(), 3);
  EXPECT_EQ(control->ZoomPercent(), 100);
  EXPECT_EQ(control->BitsPerPixel(), 0);
  control->Repaint();
  EXPECT_EQ(at(0, 0), kBack);
  EXPECT_EQ(at(199, 99), kBack);
  control->adoptPicture(halves(40, 40));  // 2.5 times fills 100 x 100 in the middle
  control->Repaint();
  for (auto [x, y, c] : {std::tuple{49, 50, kBack},
                         {52, 2, kRed},
                         {60, 97, kRed},
                         {140, 50, kGreen},
                         {147, 97, kGreen},
                         {150, 50, kBack}})
    EXPECT_EQ(at(x, y), c) << x << "," << y;
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
    const Rgb c = at(x, 50);
    EXPECT_NEAR(c.r, 128, 1) << x;
    EXPECT_EQ(c.r, c.g) << x;
  }
}

TEST_F(ControlTest, AtHundredPercentEveryPixelShowsCentredOnTheBackColour) {
  const Picture pattern = makePattern(40, 30, 24);
  control->setBackColor(QColor(10, 20, 30));
  for (int mode : {0, 4}) {
    control->setDisplaySizeMode(int16_t(mode));
    control->adoptPicture(copyOf(pattern));
    control->Repaint();
    const QImage shot = screen();
    const QRect placed(80, 35, 40, 30);
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) {
        const Rgb want = placed.contains(x, y) ? pixelAt(pattern, x - 80, y - 35) : Rgb{10, 20, 30};
        ASSERT_EQ(rgbOf(shot.pixel(x, y)), want) << "mode " << mode << " at " << x << "," << y;
      }
  }
}

TEST_F(ControlTest, ZoomLargerThanTheControlPansWithScrollBarsAndDragging) {
  const Picture pattern = makePattern(150, 80, 24);
  control->adoptPicture(copyOf(pattern));
  control->setDisplaySizeMode(4);
  control->resize(100, 60);
  control->Repaint();
  auto* h = control->findChild<QScrollBar*>("hScroll");
  auto* v = control->findChild<QScrollBar*>("vScroll");
  ASSERT_TRUE(h && v);
  EXPECT_TRUE(h->isVisible() && v->isVisible());
  EXPECT_EQ(at(0, 0), pixelAt(pattern, 0, 0));
  // Dragging the picture left and up shows more of its right and bottom.
  QTest::mousePress(control.get(), Qt::LeftButton, {}, QPoint(50, 30));
  QTest::mouseMove(control.get(), QPoint(30, 20));
  QTest::mouseRelease(control.get(), Qt::LeftButton, {}, QPoint(30, 20));
  QApplication::processEvents();
  EXPECT_EQ(control->scrollPosition(), QPoint(20, 10));
  EXPECT_EQ(at(0, 0), pixelAt(pattern, 20, 10));
  // Scrolled to the end, the last pixel sits just before the bars.
  h->setValue(h->maximum());
  v->setValue(v->maximum());
  control->Repaint();
  EXPECT_EQ(at(h->width() - 1, v->height() - 1), pixelAt(pattern, 149, 79));
}

TEST_F(ControlTest, ZoomFactorsItCannotPaintAreClampedNotRefused) {
  control->adoptPicture(solid(10, 10, kRed));
  control->setDisplaySizeMode(4);
  const double inf = std::numeric_limits<double>::infinity();
  for (double zoom :
       {0.0, -50.0, 1e-30, 1e30, inf, -inf, std::numeric_limits<double>::quiet_NaN()}) {
    control->setZoomPercent(zoom);
    control->Repaint();
    // Tiny factors still show one pixel in the middle; huge ones fill the control.
    EXPECT_EQ(at(99, 49), kRed) << zoom;
    EXPECT_EQ(at(2, 2), zoom > 1e6 ? kRed : kBack) << zoom;
  }
}

TEST_F(ControlTest, BrightnessAndContrastToneEachChannelOnScreenOnly) {
  control->adoptPicture(solid(20, 20, {100, 30, 200}));
  // Brightness shifts by up to a full 255; contrast -1000 is flat grey and
  // 1000 a threshold at mid-grey.
  const struct {
    int brightness, contrast;
    Rgb shown;
  } cases[] = {{0, 0, {100, 30, 200}},     {1000, 0, {255, 255, 255}}, {-1000, 0, {0, 0, 0}},
               {5000, 0, {255, 255, 255}}, {500, 0, {228, 158, 255}},  {0, -1000, {128, 128, 128}},
               {0, 1000, {0, 0, 255}},     {-200000, 0, {0, 0, 0}}};
  for (const auto& c : cases) {
    control->setDisplayBrightness(c.brightness);
    control->setDisplayContrast(c.contrast);
    control->Repaint();
    const Rgb got = at(100, 50);
    EXPECT_NEAR(got.r, c.shown.r, 1) << c.brightness << " " << c.contrast;
    EXPECT_NEAR(got.g, c.shown.g, 1) << c.brightness << " " << c.contrast;
    EXPECT_NEAR(got.b, c.shown.b, 1) << c.brightness << " " << c.contrast;
  }
  EXPECT_EQ(control->picture().row(0)[0], 100);
  // The setting stays for the next picture.
  control->setDisplayContrast(0);
  control->setDisplayBrightness(1000);
  control->adoptPicture(solid(20, 20, {10, 10, 10}));
  control->Repaint();
  EXPECT_EQ(at(100, 50).r, 255);
}

TEST_F(ControlTest, NothingIsPaintedWhileRepaintIsOffAndRepaintPaintsOnce) {
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
  // An unchanged view repaints from the reduced copy it has.
  control->adoptPicture(makePhoto(800, 600));
  control->setDisplaySizeMode(3);
  control->Repaint();
  const int rebuilds = control->viewRebuilds();
  control->Repaint();
  EXPECT_EQ(control->viewRebuilds(), rebuilds);
  control->resize(300, 150);
  control->Repaint();
  EXPECT_EQ(control->viewRebuilds(), rebuilds + 1);
}

TEST(HiDpi, ZoomHundredMapsOnePicturePixelToOneDevicePixel) {
  if (QApplication::primaryScreen()->devicePixelRatio() == 1) {
    ASSERT_EQ(std::getenv("QT_SCALE_FACTOR"), nullptr) << "the platform ignores QT_SCALE_FACTOR";
    const RunResult r =
        run({"/usr/bin/env", "QT_SCALE_FACTOR=2",
             std::filesystem::read_symlink("/proc/self/exe").string(),
             "--gtest_filter=HiDpi.ZoomHundredMapsOnePicturePixelToOneDevicePixel"});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("[  PASSED  ] 1 test"), std::string::npos) << r.out;
    return;
  }
  ImageControl control;
  control.resize(100, 50);  // 200 x 100 device pixels
  control.show();
  const Picture pattern = makePattern(40, 30, 24);
  control.adoptPicture(copyOf(pattern));
  control.setDisplaySizeMode(4);
  control.setZoomPercent(100);
  control.Repaint();
  const QImage shot = control.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shot.size(), QSize(200, 100));
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(rgbOf(shot.pixel(80 + x, 35 + y)), pixelAt(pattern, x, y)) << x << "," << y;
  EXPECT_EQ(rgbOf(shot.pixel(79, 35)), kBack);
}

// Placement at its edges: scroll bars and huge zooms.
qt::LayoutInput layoutOf(QSize picture, QSize area, double zoom) {
  qt::LayoutInput in;
  in.picture = picture, in.area = area, in.mode = qt::DisplayMode::Zoom, in.zoomPercent = zoom;
  in.scrollBars = QSize(10, 10);
  return in;
}

TEST(ViewLayout, ABarOnOneAxisCanCallForTheOtherAndHugeZoomsStayWithinIntegers) {
  // 95 high fits 100, but not the 90 left under the horizontal bar.
  const qt::Layout l = qt::computeLayout(layoutOf({300, 95}, {200, 100}, 100));
  EXPECT_TRUE(l.hBar && l.vBar);
  EXPECT_EQ(l.viewport, QSize(190, 90));
  EXPECT_EQ(l.maxScroll(), QPoint(110, 5));
  EXPECT_EQ(l.visible({500, -3}), QRect(110, 0, 190, 90));
  const qt::Layout huge = qt::computeLayout(layoutOf({65535, 3}, {100, 100}, 1e300));
  EXPECT_EQ(huge.scaled, QSize(65535 * 64, 192));
  EXPECT_EQ(huge.maxScroll().x(), 65535 * 64 - 90);
}

}  // namespace
}  // namespace zelmar::test
