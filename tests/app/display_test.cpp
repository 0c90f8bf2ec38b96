// Putting a picture on screen: one paint with repaint held off, the
// alternating transitions, the title, failures, and the control's layout.
#include <functional>

#include "app/viewer_fixture.h"
#include "base/placement.h"

namespace {

class DisplayTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start({}, false);
    useList(paths = pictures({"a.bmp", "b.bmp", "c.bmp"}));
    spy().log.clear();
  }
  QStringList take(const QString& filter) {
    const QStringList out = spy().log.filter(filter);
    spy().log.clear();
    return out;
  }
  QStringList paths;
};

TEST_F(DisplayTest, OnePaintAfterTheLoadWithTransitionsInTurnAcrossBothEntryPoints) {
  window->ShowPicture(1);
  EXPECT_EQ(spy().log, (QStringList{"setRepaintEnabled(false)", "setTransitionEffect(0)",
                                    "LoadFile(" + paths[1] + ",0,0,1)", "Repaint()",
                                    "setRepaintEnabled(true)"}));
  EXPECT_EQ(window->windowTitle(), paths[1]);
  spy().log.clear();
  window->runCommand(Command::idm_effect);
  window->ShowPicture(0);
  window->ShowPicture1(paths[1]);
  window->ShowPicture(2);
  EXPECT_EQ(
      take("Transition"),
      (QStringList{"setTransitionEffect(47)", "setTransitionDelay(0)", "setTransitionGrain(20)",
                   "setTransitionEffect(23)", "setTransitionDelay(5)", "setTransitionGrain(10)",
                   "setTransitionEffect(47)", "setTransitionDelay(0)", "setTransitionGrain(20)"}));
  window->runCommand(Command::idm_effect);  // off: effect 0, delay and grain kept
  window->ShowPicture(0);
  EXPECT_EQ(take("Transition"), QStringList{"setTransitionEffect(0)"});
  window->runCommand(Command::idm_effect);  // on again: the phase goes on
  window->ShowPicture(1);
  EXPECT_EQ(take("TransitionEffect"), QStringList{"setTransitionEffect(23)"});
}

TEST_F(DisplayTest, FailuresKeepTitleAndRepaintSettingAndShowNothing) {
  window->ShowPicture(0);
  // clang-format off
  const struct { const char* what; std::function<int16_t()> show; int loads; } cases[] = {
      {"missing file", [&] { return window->ShowPicture1(path("missing.bmp")); }, 1},
      {"empty name", [&] { return window->ShowPicture1(""); }, 1},
      {"empty slot 1000", [&] { return window->ShowPicture(1000); }, 1},
      {"index -1", [&] { return window->ShowPicture(-1); }, 0},
      {"index 1001", [&] { return window->ShowPicture(1001); }, 0}};
  // clang-format on
  for (const auto& c : cases) {
    for (bool repaint : {true, false}) {
      SCOPED_TRACE(c.what);
      window->Engine1->setRepaintEnabled(repaint);
      spy().log.clear();
      EXPECT_EQ(c.show(), 0);  // a raised error leaves no status
      EXPECT_EQ(spy().count("LoadFile"), c.loads);
      EXPECT_EQ(spy().count("Repaint"), 0);
      EXPECT_EQ(window->Engine1->RepaintEnabled(), repaint);
      EXPECT_EQ(window->windowTitle(), paths[0]);
    }
  }
  window->Engine1->setRaiseErrors(false);  // errors as results: still no success
  EXPECT_NE(window->ShowPicture1(path("missing.bmp")), 0);
  EXPECT_EQ(window->windowTitle(), paths[0]);
  // A failing repaint is absorbed; the picture was loaded, so the title moves.
  window->Engine1->setRepaintEnabled(true);
  spy().failing = "Repaint";
  window->ShowPicture(2);
  EXPECT_EQ(window->windowTitle(), paths[2]);
  EXPECT_TRUE(window->Engine1->RepaintEnabled());
}

TEST_F(DisplayTest, ControlFillsTheClientAreaWithAMillimetreMargin) {
  const int m = qRound(units::millimetresToPixels(1));
  window->show();  // a hidden window's resizes wait for its showing
  window->centralWidget()->resize(400, 300);
  EXPECT_EQ(window->Engine1->widget()->geometry(), QRect(m, m, 400 - 2 * m, 300 - 2 * m));
  window->centralWidget()->resize(1, 1);  // shrunk to nothing: m by m at (m, m)
  EXPECT_EQ(window->Engine1->widget()->geometry(), QRect(m, m, m, m));
}

}  // namespace
