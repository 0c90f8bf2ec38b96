// The two transitions: they differ while running, stay within about half a
// second, and always end on the new picture.
#include <QSignalSpy>
#include <QTest>

#include "control_fixture.h"
#include "engine/qt/transition.h"

namespace zelmar::test {
namespace {

using qt::planTransition;

TEST(TransitionPlan, StaysWithinHalfASecondWhateverTheSettings) {
  for (qt::Effect effect : {qt::Effect::Wipe, qt::Effect::CrossFade})
    for (int delay : {0, 1, 5, 100, 1000, 32767, -5})
      for (int grain : {-3, 0, 1, 10, 5000}) {
        SCOPED_TRACE(testing::Message() << int(effect) << " " << delay << " " << grain);
        const auto plan = planTransition(effect, delay, grain, 1280);
        EXPECT_GE(plan.steps, 1);
        EXPECT_GT(plan.intervalMs, 0);
        EXPECT_LE(plan.steps * plan.intervalMs, 500);
      }
  EXPECT_EQ(planTransition(qt::Effect::None, 5, 10, 1280).steps, 0);
  // A narrow wipe needs no more steps than it has bands.
  EXPECT_EQ(planTransition(qt::Effect::Wipe, 20, 10, 35).steps, 4);
}

TEST(TransitionFrames, WipeRevealsWholeBandsFromTheLeft) {
  QImage from(100, 4, QImage::Format_RGB32), to(100, 4, QImage::Format_RGB32);
  from.fill(Qt::black);
  to.fill(Qt::white);
  // 10 bands of 10 pixels over 5 steps: 2 bands a step.
  const QImage mid = qt::blendFrame(from, to, qt::Effect::Wipe, 10, 2, 5);
  EXPECT_EQ(mid.pixel(39, 2), qRgb(255, 255, 255));
  EXPECT_EQ(mid.pixel(40, 2), qRgb(0, 0, 0));
  EXPECT_EQ(qt::blendFrame(from, to, qt::Effect::Wipe, 10, 5, 5), to);
}

class TransitionTest : public ControlTest {
 protected:
  // Shows red, then starts towards green with `effect`; returns the first
  // in-between frame.
  QImage firstStepTowardsGreen(int16_t effect, int16_t delay, int16_t grain) {
    control->adoptPicture(solid(200, 100, {255, 0, 0}));
    control->Repaint();
    control->setRepaintEnabled(false);
    control->setTransitionEffect(effect);
    control->setTransitionDelay(delay);
    control->setTransitionGrain(grain);
    control->setEraseBackground(false);
    control->adoptPicture(solid(200, 100, {0, 255, 0}));
    QSignalSpy steps(control.get(), &ImageControl::transitionStepped);
    control->Repaint();
    EXPECT_TRUE(control->transitionRunning());
    EXPECT_TRUE(steps.wait(2000));
    // Several steps remain after the first, so this is a frame in between.
    EXPECT_TRUE(control->transitionRunning());
    return screen();
  }
  void expectEndsOnGreen() {
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !control->transitionRunning(); }, 3000));
    EXPECT_LT(clock.elapsed(), 1500);
    const QImage shot = screen();
    for (int x : {0, 50, 199}) EXPECT_EQ(rgbOf(shot.pixel(x, 50)), (Rgb{0, 255, 0}));
  }
};

TEST_F(TransitionTest, CrossFadeMixesBothPicturesThenEndsOnTheNewOne) {
  const QImage mid = firstStepTowardsGreen(47, 0, 20);
  // Every pixel is part red, part green.
  for (int x : {0, 100, 199}) {
    const Rgb c = rgbOf(mid.pixel(x, 50));
    EXPECT_GT(c.r, 0);
    EXPECT_GT(c.g, 0);
    EXPECT_EQ(c.b, 0);
  }
  expectEndsOnGreen();
}

TEST_F(TransitionTest, WipeShowsNewBandsOnTheLeftThenEndsOnTheNewOne) {
  const QImage mid = firstStepTowardsGreen(23, 5, 10);
  EXPECT_EQ(rgbOf(mid.pixel(0, 50)), (Rgb{0, 255, 0}));
  EXPECT_EQ(rgbOf(mid.pixel(199, 50)), (Rgb{255, 0, 0}));
  expectEndsOnGreen();
}

TEST_F(TransitionTest, ErasingFirstStartsFromTheBackground) {
  control->adoptPicture(solid(200, 100, {255, 0, 0}));
  control->Repaint();
  control->setTransitionEffect(23);
  control->setTransitionDelay(100);
  control->setTransitionGrain(10);
  control->setEraseBackground(true);
  control->adoptPicture(solid(200, 100, {0, 255, 0}));
  control->Repaint();
  ASSERT_TRUE(control->transitionRunning());
  EXPECT_EQ(at(199, 50), (Rgb{0x40, 0x40, 0x40}));
  expectEndsOnGreen();
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
