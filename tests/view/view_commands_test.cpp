// Fit, zoom, actual size and the effect switch: the engine's display
// properties, the repaints, and the marks on menu and tool bar.
#include <QAction>

#include "app/viewer_fixture.h"

namespace {

class ViewCommandsTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start();
    spy().log.clear();
  }
  // The fit mark, the "fit" button and the greyed zoom items agree.
  bool fit() {
    const bool on = window->action(Command::idm_fit)->isChecked();
    EXPECT_EQ(tool()->button("fit")->isChecked(), on);
    for (Command zoom : {Command::idm_zoomin, Command::idm_zoomout, Command::idm_origin})
      EXPECT_EQ(window->action(zoom)->isEnabled(), !on);
    return on;
  }
  ImageEngine& engine() { return *window->Engine1; }
};

TEST_F(ViewCommandsTest, FitOffAndOnRepaintsOnceEachAndOutlivesTheToolBarHidden) {
  EXPECT_TRUE(fit());
  EXPECT_EQ(engine().DisplaySizeMode(), 3);  // the engine starts fitted
  window->doFunc("fit");
  EXPECT_FALSE(fit());
  EXPECT_EQ(spy().log, (QStringList{"setDisplaySizeMode(0)", "Repaint()"}));
  window->runCommand(Command::idm_ToolBar);  // hidden and shown: the button as it was
  EXPECT_FALSE(tool()->isVisible() || window->action(Command::idm_ToolBar)->isChecked());
  window->runCommand(Command::idm_ToolBar);
  EXPECT_TRUE(tool()->isVisible());
  EXPECT_FALSE(fit());
  window->action(Command::idm_fit)->trigger();
  EXPECT_TRUE(fit());
  EXPECT_EQ(engine().DisplaySizeMode(), 3);
  EXPECT_EQ(spy().count("Repaint"), 2);
}

TEST_F(ViewCommandsTest, ZoomStepsByOneAndAHalf) {
  window->doFunc("fit");
  const struct {
    Command command;
    double percent;
  } steps[] = {{Command::idm_origin, 100},     {Command::idm_zoomin, 150},
               {Command::idm_zoomin, 225},     {Command::idm_zoomout, 150},
               {Command::idm_zoomout, 100},    {Command::idm_zoomout, 66.6667},
               {Command::idm_zoomout, 44.4444}};
  for (const auto& s : steps) {
    window->runCommand(s.command);
    EXPECT_NEAR(engine().ZoomPercent(), s.percent, 1e-3);
    EXPECT_EQ(engine().DisplaySizeMode(), 4);
  }
  EXPECT_FALSE(fit());  // zooming leaves the fit marks alone
}

TEST_F(ViewCommandsTest, PaintsOnlyWhenTheEngineWouldNot) {
  for (bool automatic : {true, false}) {
    SCOPED_TRACE(automatic);
    engine().setRepaintEnabled(automatic);
    spy().log.clear();
    window->runCommand(Command::idm_zoomin);
    EXPECT_EQ(spy().count("Repaint"), automatic ? 0 : 1);
    // Actual size paints exactly once either way and leaves the setting as found.
    spy().log.clear();
    window->runCommand(Command::idm_origin);
    EXPECT_EQ(spy().count("Repaint"), 1);
    EXPECT_EQ(spy().log.first(), "setRepaintEnabled(false)");
    EXPECT_EQ(engine().RepaintEnabled(), automatic);
  }
  // The effect switch shows with the next picture only.
  spy().log.clear();
  for (bool on : {true, false}) {
    window->doFunc("effect");
    EXPECT_EQ(window->action(Command::idm_effect)->isChecked(), on);
    EXPECT_EQ(engine().EraseBackground(), !on);
  }
  EXPECT_EQ(spy().count("Repaint"), 0);
}

}  // namespace
