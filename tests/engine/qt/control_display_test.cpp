// What the control puts on the screen: size modes, centring, zoom clamping,
// panning, the display tone, when it paints, a screen of two device pixels
// per pixel, and the transitions between pictures.
#include <QApplication>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "control_fixture.h"
#include "engine/ops/ops.h"
#include "engine/qt/transition.h"
#include "engine/qt/view_cache.h"
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

TEST_F(ControlTest, FitsCentredEnlargingOrAveragingAndTonesEachChannelOnScreenOnly) {
  EXPECT_EQ(control->DisplaySizeMode(), 3);
  EXPECT_EQ(control->ZoomPercent(), 100);
  EXPECT_EQ(control->BitsPerPixel(), 0);
  control->Repaint();
  expectShows({{0, 0, kBack}, {199, 99, kBack}});
  control->adoptPicture(halves(40, 40));  // 2.5 times fills 100 x 100 in the middle
  control->Repaint();
  expectShows({{49, 50, kBack},
               {52, 2, kRed},
               {60, 97, kRed},
               {140, 50, kGreen},
               {147, 97, kGreen},
               {150, 50, kBack}});
  // Shrinking averages: one-pixel black and white columns give grey, where
  // sampling would not.
  Picture p = solid(400, 100, {0, 0, 0});
  for (uint32_t y = 0; y < 100; ++y)
    for (uint32_t x = 1; x < 400; x += 2) std::fill_n(p.row(y) + 3 * x, 3, uint8_t(255));
  control->adoptPicture(std::move(p));
  control->Repaint();
  expectShows({{100, 24, kBack}, {100, 75, kBack}});
  const Rgb grey{128, 128, 128};
  expectShows({{0, 50, grey}, {57, 50, grey}, {100, 50, grey}, {199, 50, grey}}, 1);
  // Palette pictures are shrunk as their indices, yet show what their
  // colours would: palettes affine in the index (two entries, rising and
  // falling grey ramps) and others, at whole, fractional and sub-two factors.
  for (int bits : {1, 4, 8})
    for (bool gray : {false, true}) {
      Picture indexed = makePattern(331, 207, bits, gray);
      if (gray && bits == 4) std::reverse(indexed.palette().begin(), indexed.palette().end());
      Picture rgb = copyOf(indexed);
      ASSERT_TRUE(ops::changeColorDepth(rgb, 24, ops::Dither::Nearest).ok());
      for (double s : {0.5, 0.3, 1 / 7.0, 0.13, 0.6, 0.004}) {
        const QRect whole(0, 0, qMax(1, int(331 * s)), qMax(1, int(207 * s)));
        for (QRect v : {whole, whole.adjusted(whole.width() / 3, 0, 0, -whole.height() / 4)})
          ASSERT_EQ(qt::renderView(indexed, s, v), qt::renderView(rgb, s, v)) << bits << gray << s;
      }
    }
  // The display tone, on screen only.
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
    SCOPED_TRACE(testing::Message() << c.brightness << " " << c.contrast);
    control->setDisplayBrightness(c.brightness);
    control->setDisplayContrast(c.contrast);
    control->Repaint();
    expectShows({{100, 50, c.shown}}, 1);
  }
  EXPECT_EQ(control->picture().row(0)[0], 100);
  // The setting stays for the next picture.
  control->setDisplayContrast(0);
  control->setDisplayBrightness(1000);
  control->adoptPicture(solid(20, 20, {10, 10, 10}));
  control->Repaint();
  expectShows({{100, 50, {255, 255, 255}}});
}

TEST_F(ControlTest, ZoomLargerThanTheControlPansAndZoomsItCannotPaintAreClamped) {
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
  // Factors it cannot paint are clamped, not refused.
  control->adoptPicture(solid(10, 10, kRed));
  control->resize(200, 100);
  const double inf = std::numeric_limits<double>::infinity();
  for (double zoom :
       {0.0, -50.0, 1e-30, 1e30, inf, -inf, std::numeric_limits<double>::quiet_NaN()}) {
    SCOPED_TRACE(zoom);
    control->setZoomPercent(zoom);
    control->Repaint();
    // Tiny factors still show one pixel in the middle; huge ones fill the control.
    expectShows({{99, 49, kRed}, {2, 2, zoom > 1e6 ? kRed : kBack}});
  }
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
  // A tone step tones that copy again: each channel through the table.
  const QImage plain = screen();
  control->setDisplayContrast(300);
  control->Repaint();
  EXPECT_EQ(control->viewRebuilds(), rebuilds);
  const qt::ToneTable tone = qt::makeToneTable(0, 300);
  const QImage toned = screen();
  for (int y = 0; y < plain.height(); y += 7)
    for (int x = 75; x < 145; x += 3) {  // within the picture, fitted to 146 x 110
      const QRgb c = plain.pixel(x, y);
      ASSERT_EQ(toned.pixel(x, y), qRgb(tone[qRed(c)], tone[qGreen(c)], tone[qBlue(c)]))
          << x << "," << y;
    }
  control->resize(300, 150);
  control->Repaint();
  EXPECT_EQ(control->viewRebuilds(), rebuilds + 1);
}

// At 100 % every pixel shows, centred on the back colour, in the original
// size and in the zoom mode: on an ordinary screen and, run again in a
// process of its own, on a screen of two device pixels a pixel.
TEST(HiDpi, AtHundredPercentOnePicturePixelIsOneDevicePixel) {
  const qreal ratio = QApplication::primaryScreen()->devicePixelRatio();
  if (ratio == 1) {
    ASSERT_EQ(std::getenv("QT_SCALE_FACTOR"), nullptr) << "the platform ignores QT_SCALE_FACTOR";
    const RunResult r =
        run({"/usr/bin/env", "QT_SCALE_FACTOR=2",
             std::filesystem::read_symlink("/proc/self/exe").string(),
             "--gtest_filter=HiDpi.AtHundredPercentOnePicturePixelIsOneDevicePixel"});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("[  PASSED  ] 1 test"), std::string::npos) << r.out;
  }
  ImageControl control;
  control.resize(int(200 / ratio), int(100 / ratio));  // 200 x 100 device pixels
  control.show();
  control.setBackColor(QColor(10, 20, 30));
  const Picture pattern = makePattern(40, 30, 24);
  for (int mode : {0, 4}) {
    control.setDisplaySizeMode(int16_t(mode));
    control.adoptPicture(copyOf(pattern));
    control.Repaint();
    const QImage shot = control.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(200, 100));
    const QRect placed(80, 35, 40, 30);
    for (int y = 0; y < shot.height(); ++y)
      for (int x = 0; x < shot.width(); ++x) {
        const Rgb want = placed.contains(x, y) ? pixelAt(pattern, x - 80, y - 35) : Rgb{10, 20, 30};
        ASSERT_EQ(rgbOf(shot.pixel(x, y)), want)
            << ratio << " mode " << mode << " at " << x << "," << y;
      }
  }
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

// The two transitions differ while running, plan to stay within about half
// a second, and always end on the newest picture. How long they take on
// screen is measured in bench/control_qt_bench.
TEST(Transition, PlansStayWithinHalfASecondWhateverTheSettings) {
  for (qt::Effect effect : {qt::Effect::Wipe, qt::Effect::CrossFade})
    for (int delay : {0, 1, 5, 100, 1000, 32767, -5})
      for (int grain : {-3, 0, 1, 10, 5000}) {
        const auto plan = qt::planTransition(effect, delay, grain, 1280);
        EXPECT_TRUE(plan.steps >= 1 && plan.intervalMs > 0 && plan.steps * plan.intervalMs <= 500)
            << int(effect) << " " << delay << " " << grain;
      }
  EXPECT_EQ(qt::planTransition(qt::Effect::None, 5, 10, 1280).steps, 0);
  EXPECT_EQ(qt::planTransition(qt::Effect::Wipe, 20, 10, 35).steps, 4);  // no more steps than bands
}

class TransitionTest : public ControlTest {
 protected:
  // Shows red, then starts towards `next` with the effect code; returns the
  // first frame in between.
  QImage firstStepFromRed(int16_t effect, int16_t delay, int16_t grain, Rgb next,
                          bool erase = false) {
    control->setTransitionEffect(0);
    control->adoptPicture(solid(200, 100, {255, 0, 0}));
    control->Repaint();
    control->setRepaintEnabled(false);
    control->setTransitionEffect(effect);
    control->setTransitionDelay(delay);
    control->setTransitionGrain(grain);
    control->setEraseBackground(erase);
    control->adoptPicture(solid(200, 100, next));
    QSignalSpy steps(control.get(), &ImageControl::transitionStepped);
    control->Repaint();
    EXPECT_TRUE(control->transitionRunning());
    if (erase) return screen();
    EXPECT_TRUE(steps.wait(2000));
    EXPECT_TRUE(control->transitionRunning());  // several steps remain
    return screen();
  }
  void expectEndsOn(Rgb colour) {
    EXPECT_TRUE(QTest::qWaitFor([&] { return !control->transitionRunning(); }, 5000));
    expectShows({{0, 50, colour}, {50, 50, colour}, {199, 50, colour}});
  }
};

TEST_F(TransitionTest, EachEffectRunsItsWayThenEndsOnTheNewestPicture) {
  QImage mid = firstStepFromRed(47, 0, 20, kGreen);  // a cross-fade mixes both
  for (int x : {0, 100, 199}) {
    const Rgb c = rgbOf(mid.pixel(x, 50));
    EXPECT_TRUE(c.r > 0 && c.g > 0 && c.b == 0) << x;
  }
  expectEndsOn(kGreen);
  mid = firstStepFromRed(23, 5, 10, kGreen);  // a wipe shows new bands from the left
  EXPECT_EQ(rgbOf(mid.pixel(0, 50)), kGreen);
  EXPECT_EQ(rgbOf(mid.pixel(199, 50)), kRed);
  expectEndsOn(kGreen);
  mid = firstStepFromRed(23, 100, 10, kGreen, true);  // erasing first starts from the background
  EXPECT_EQ(rgbOf(mid.pixel(199, 50)), kBack);
  expectEndsOn(kGreen);
  // A new picture during a transition: it ends on the newest.
  firstStepFromRed(23, 100, 10, kGreen);
  control->adoptPicture(solid(200, 100, {0, 0, 255}));
  control->Repaint();
  EXPECT_TRUE(control->transitionRunning());
  expectEndsOn({0, 0, 255});
  EXPECT_EQ(control->picture().row(0)[2], 255);
}

TEST_F(TransitionTest, PlainEffectAndAHiddenControlShowTheNewFrameAtOnce) {
  control->adoptPicture(solid(200, 100, {255, 0, 0}));
  control->Repaint();
  control->setTransitionEffect(0);
  control->adoptPicture(solid(200, 100, {0, 0, 255}));
  control->Repaint();
  EXPECT_FALSE(control->transitionRunning());
  expectShows({{100, 50, {0, 0, 255}}});
  control->hide();
  control->setTransitionEffect(47);
  control->Repaint();
  EXPECT_FALSE(control->transitionRunning());
}

}  // namespace
}  // namespace zelmar::test
