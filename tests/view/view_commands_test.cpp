// Fit, zoom, actual size and the effect switch: engine properties, repaints
// and the marks on menus and tool bar.
#include <QAction>

#include "app/viewer_fixture.h"
#include "ui/ToolFrm.h"

namespace {

class ViewCommandsTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    window = Module1::Main(QString());
    tool = qobject_cast<ToolFrm*>(window->toolWindow());
    ASSERT_NE(tool, nullptr);
    engine().clearLog();
  }
  bool zoomItemsEnabled() {
    return window->action("idm_zoomin")->isEnabled() && window->action("idm_zoomout")->isEnabled() &&
           window->action("idm_origin")->isEnabled();
  }
  ToolFrm* tool = nullptr;
};

TEST_F(ViewCommandsTest, FitOffAndOnAgain) {
  EXPECT_TRUE(tool->button("fit")->isChecked());
  window->runCommand("idm_fit");
  EXPECT_EQ(engine().calls(), (QStringList{"setDisplaySizeMode(0)", "Repaint()"}));
  EXPECT_TRUE(zoomItemsEnabled());
  EXPECT_FALSE(tool->button("fit")->isChecked());
  EXPECT_FALSE(window->action("idm_fit")->isChecked());
  engine().clearLog();
  window->runCommand("idm_fit");
  EXPECT_EQ(engine().calls(), (QStringList{"setDisplaySizeMode(3)", "Repaint()"}));
  EXPECT_FALSE(window->action("idm_zoomin")->isEnabled());
  EXPECT_FALSE(window->action("idm_origin")->isEnabled());
  EXPECT_TRUE(tool->button("fit")->isChecked());
  EXPECT_TRUE(window->action("idm_fit")->isChecked());
}

TEST_F(ViewCommandsTest, ZoomSteps) {
  window->runCommand("idm_fit");
  window->runCommand("idm_origin");
  window->runCommand("idm_zoomin");
  window->runCommand("idm_zoomin");
  EXPECT_DOUBLE_EQ(engine().ZoomPercent(), 225);
  window->runCommand("idm_zoomout");
  EXPECT_DOUBLE_EQ(engine().ZoomPercent(), 150);
  window->runCommand("idm_zoomout");
  window->runCommand("idm_zoomout");
  EXPECT_NEAR(engine().ZoomPercent(), 66.6667, 1e-3);
  EXPECT_EQ(engine().DisplaySizeMode(), 4);
  // Zooming touches neither the fit mark nor the button.
  EXPECT_FALSE(tool->button("fit")->isChecked());
  EXPECT_FALSE(window->action("idm_fit")->isChecked());
}

TEST_F(ViewCommandsTest, ZoomRepaintsOnlyWhenEngineDoesNot) {
  engine().setRepaintEnabled(true);
  engine().clearLog();
  window->runCommand("idm_zoomin");
  EXPECT_EQ(engine().count("Repaint"), 0);
  engine().setRepaintEnabled(false);
  engine().clearLog();
  window->runCommand("idm_zoomout");
  EXPECT_EQ(engine().count("Repaint"), 1);
}

TEST_F(ViewCommandsTest, ActualSizePaintsOnceAndRestoresRepaint) {
  for (bool repaint : {true, false}) {
    SCOPED_TRACE(repaint);
    engine().setRepaintEnabled(repaint);
    engine().clearLog();
    window->runCommand("idm_origin");
    EXPECT_EQ(engine().calls(),
              (QStringList{"setRepaintEnabled(false)", "setDisplaySizeMode(4)",
                           "setZoomPercent(100)", "Repaint()",
                           QString("setRepaintEnabled(%1)").arg(repaint ? "true" : "false")}));
  }
}

TEST_F(ViewCommandsTest, EffectSwitchDoesNotRepaint) {
  window->runCommand("idm_effect");
  EXPECT_EQ(engine().calls(), QStringList{"setEraseBackground(false)"});
  EXPECT_TRUE(window->action("idm_effect")->isChecked());
  window->doFunc("effect");
  EXPECT_EQ(engine().calls().last(), "setEraseBackground(true)");
  EXPECT_FALSE(window->action("idm_effect")->isChecked());
}

TEST_F(ViewCommandsTest, ToolBarHideAndShowKeepsPressedButtons) {
  window->runCommand("idm_fit");
  window->runCommand("idm_ToolBar");
  EXPECT_FALSE(tool->isVisible());
  EXPECT_FALSE(window->action("idm_ToolBar")->isChecked());
  window->runCommand("idm_ToolBar");
  EXPECT_TRUE(tool->isVisible());
  EXPECT_EQ(window->toolWindow(), tool);
  EXPECT_FALSE(tool->button("fit")->isChecked());
}

}  // namespace
