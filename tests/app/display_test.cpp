// Putting a picture on screen: the order and arguments of the engine calls,
// the title, the transitions, and the layout of the control.
#include <QAction>
#include <QApplication>

#include "app/module1.h"
#include "app/viewer_fixture.h"
#include "app/units.h"

namespace {

class DisplayTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start();
    setList(4);
    engine().clearLog();
  }
  void effectsOn() { window->runCommand("idm_effect"); }
};

TEST_F(DisplayTest, LoadsWithRepaintOffAndPaintsOnce) {
  window->ShowPicture(1);
  EXPECT_EQ(engine().calls(), (QStringList{"setRepaintEnabled(false)", "setTransitionEffect(0)",
                                           "LoadFile(" + Module1::PictureList[1] + ",0,0,1)",
                                           "Repaint()", "setRepaintEnabled(true)"}));
  EXPECT_EQ(window->windowTitle(), Module1::PictureList[1]);
  EXPECT_EQ(engine().ImageWidth(), 640);
}

TEST_F(DisplayTest, EffectsAlternateAcrossBothEntryPoints) {
  effectsOn();
  engine().clearLog();
  window->ShowPicture(0);
  window->ShowPicture1(Module1::PictureList[1]);
  window->ShowPicture(2);
  EXPECT_EQ(engine().calls("setTransitionEffect"),
            (QStringList{"setTransitionEffect(47)", "setTransitionEffect(23)",
                         "setTransitionEffect(47)"}));
  EXPECT_EQ(engine().calls("setTransitionDelay"),
            (QStringList{"setTransitionDelay(0)", "setTransitionDelay(5)", "setTransitionDelay(0)"}));
  EXPECT_EQ(engine().calls("setTransitionGrain"),
            (QStringList{"setTransitionGrain(20)", "setTransitionGrain(10)",
                         "setTransitionGrain(20)"}));
  EXPECT_EQ(engine().count("Repaint"), 3);
}

TEST_F(DisplayTest, EffectPhaseContinuesAfterSwitchingOffAndOn) {
  effectsOn();
  window->ShowPicture(0);  // 47
  effectsOn();             // off
  window->ShowPicture(1);
  effectsOn();             // on again: the phase carries on
  engine().clearLog();
  window->ShowPicture(2);
  EXPECT_EQ(engine().calls("setTransitionEffect"), QStringList{"setTransitionEffect(23)"});
}

TEST_F(DisplayTest, EffectsOffLeaveDelayAndGrain) {
  engine().setTransitionDelay(77);
  engine().setTransitionGrain(33);
  engine().clearLog();
  window->ShowPicture(0);
  EXPECT_EQ(engine().count("setTransitionDelay"), 0);
  EXPECT_EQ(engine().count("setTransitionGrain"), 0);
  EXPECT_EQ(engine().TransitionDelay(), 77);
}

TEST_F(DisplayTest, FailedLoadKeepsTitleAndRestoresRepaint) {
  window->ShowPicture(0);
  const QString good = window->windowTitle();
  for (bool repaint : {true, false}) {
    SCOPED_TRACE(repaint);
    engine().setRepaintEnabled(repaint);
    engine().clearLog();
    // A raised error leaves no status to return.
    EXPECT_EQ(window->ShowPicture1(pictures.path().c_str() + QString("/missing.jpg")), 0);
    EXPECT_EQ(engine().count("Repaint"), 0);
    EXPECT_EQ(engine().RepaintEnabled(), repaint);
    EXPECT_EQ(window->windowTitle(), good);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
}

TEST_F(DisplayTest, QuietFailureIsNotShownAsSuccess) {
  // With errors reported as results, a failed load must not repaint or retitle either.
  engine().setRaiseErrors(false);
  engine().failPath(Module1::PictureList[2]);
  engine().clearLog();
  EXPECT_EQ(window->ShowPicture(2), 1);
  EXPECT_EQ(engine().count("Repaint"), 0);
  EXPECT_EQ(window->windowTitle(), "Zelmar");
}

TEST_F(DisplayTest, IndexOutsideTheListLoadsNothing) {
  for (int16_t index : {int16_t(-1), int16_t(1001), int16_t(32767)}) {
    SCOPED_TRACE(index);
    engine().clearLog();
    EXPECT_EQ(window->ShowPicture(index), 0);
    EXPECT_EQ(engine().count("LoadFile"), 0);
    EXPECT_EQ(engine().count("Repaint"), 0);
    EXPECT_TRUE(engine().RepaintEnabled());
  }
  // Slot 1000 is inside the list but always empty: loaded, and it fails.
  engine().clearLog();
  window->ShowPicture(1000);
  EXPECT_EQ(engine().calls("LoadFile"), QStringList{"LoadFile(,0,0,1)"});
  EXPECT_EQ(engine().count("Repaint"), 0);
}

TEST_F(DisplayTest, FailingRepaintIsAbsorbed) {
  engine().failOperation("Repaint");
  window->ShowPicture(0);
  EXPECT_EQ(window->windowTitle(), Module1::PictureList[0]);
  EXPECT_TRUE(engine().RepaintEnabled());
}

TEST_F(DisplayTest, ControlFillsClientWithMillimetreMargin) {
  const int m = qRound(units::millimetresToPixels(1));
  window->resize(800, 600);
  window->LayoutPicture();
  const QRect r = engine().geometry();
  const QWidget* client = window->centralWidget();
  EXPECT_EQ(r.topLeft(), QPoint(m, m));
  EXPECT_NEAR(r.right() + 1, client->width() - m, 1);
  EXPECT_NEAR(r.bottom() + 1, client->height() - m, 1);
  // Shrunk to almost nothing: at (m, m), m by m.
  window->centralWidget()->resize(1, 1);
  window->LayoutPicture();
  EXPECT_EQ(engine().geometry(), QRect(m, m, m, m));
}

TEST(SingleMax, Larger) {
  EXPECT_EQ(picfrm::SingleMax(1.5f, 2.0f), 2.0f);
  EXPECT_EQ(picfrm::SingleMax(3.0f, 2.0f), 3.0f);
  EXPECT_EQ(picfrm::SingleMax(-1.0f, -1.0f), -1.0f);
}

}  // namespace
