// The two transitions: they differ while running, plan to stay within about
// half a second, and always end on the newest picture. How long they take
// on screen is measured in bench/control_qt_bench.
#include <QSignalSpy>
#include <QTest>

#include "control_fixture.h"
#include "engine/qt/transition.h"

namespace zelmar::test {
namespace {

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
    for (int x : {0, 50, 199}) EXPECT_EQ(at(x, 50), colour) << x;
  }
};

TEST_F(TransitionTest, CrossFadeMixesBothPicturesThenEndsOnTheNewOne) {
  const QImage mid = firstStepFromRed(47, 0, 20, {0, 255, 0});
  for (int x : {0, 100, 199}) {
    const Rgb c = rgbOf(mid.pixel(x, 50));
    EXPECT_TRUE(c.r > 0 && c.g > 0 && c.b == 0) << x;
  }
  expectEndsOn({0, 255, 0});
}

TEST_F(TransitionTest, WipeShowsNewBandsFromTheLeftThenEndsOnTheNewOne) {
  const QImage mid = firstStepFromRed(23, 5, 10, {0, 255, 0});
  EXPECT_EQ(rgbOf(mid.pixel(0, 50)), (Rgb{0, 255, 0}));
  EXPECT_EQ(rgbOf(mid.pixel(199, 50)), (Rgb{255, 0, 0}));
  expectEndsOn({0, 255, 0});
}

TEST_F(TransitionTest, ErasingFirstStartsFromTheBackground) {
  const QImage first = firstStepFromRed(23, 100, 10, {0, 255, 0}, true);
  EXPECT_EQ(rgbOf(first.pixel(199, 50)), kBack);
  expectEndsOn({0, 255, 0});
}

TEST_F(TransitionTest, ANewPictureDuringATransitionEndsOnTheNewestPicture) {
  firstStepFromRed(23, 100, 10, {0, 255, 0});
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
  EXPECT_EQ(at(100, 50), (Rgb{0, 0, 255}));
  control->hide();
  control->setTransitionEffect(47);
  control->Repaint();
  EXPECT_FALSE(control->transitionRunning());
}

}  // namespace
}  // namespace zelmar::test
