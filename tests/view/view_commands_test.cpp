// Fit, zoom, actual size and the effect switch: the engine's display
// properties, the repaints, and the marks on menu and tool bar.
#include "app/viewer_fixture.h"

namespace {

using ViewCommandsTest = ViewerTest;

TEST_F(ViewCommandsTest, ModesZoomsAndRepaints) {
  start();
  ImageEngine& engine = *window->Engine1;
  // A tool key or a menu item, the engine's RepaintEnabled before it, then its
  // display mode, zoom, fit (the mark, the button, the zoom items greyed) and paints.
  // clang-format off
  const struct { const char* step; bool automatic; int mode; double zoom; bool fit; int repaints; }
  steps[] = {
      {"", true, 3, 100, true, 0}, {"fit", true, 0, 100, false, 1},
      {"idm_origin", true, 4, 100, false, 1}, {"idm_zoomin", true, 4, 150, false, 0},
      {"idm_zoomin", false, 4, 225, false, 1}, {"idm_zoomout", true, 4, 150, false, 0},
      {"idm_zoomout", true, 4, 100, false, 0}, {"idm_zoomout", true, 4, 66.6667, false, 0},
      {"idm_origin", false, 4, 100, false, 1}, {"idm_ToolBar", true, 4, 100, false, 0},
      {"idm_ToolBar", true, 4, 100, false, 0}, {"idm_fit", true, 3, 100, true, 1},
      {"effect", true, 3, 100, true, 0}, {"fit", true, 0, 100, false, 1},
      {"FIT", true, 3, 100, true, 1}};
  // clang-format on
  for (const auto& s : steps) {
    SCOPED_TRACE(s.step);
    engine.setRepaintEnabled(s.automatic);
    spy().log.clear();
    QString(s.step).startsWith("idm_") ? click(s.step) : window->doFunc(s.step);
    EXPECT_EQ(engine.DisplaySizeMode(), s.mode);
    EXPECT_NEAR(engine.ZoomPercent(), s.zoom, 1e-3);
    EXPECT_EQ(window->action(Command::idm_fit)->isChecked(), s.fit);
    EXPECT_EQ(tool()->button("fit")->isChecked(), s.fit);  // hidden and shown: as it was
    for (Command zoom : {Command::idm_zoomin, Command::idm_zoomout, Command::idm_origin})
      EXPECT_EQ(window->action(zoom)->isEnabled(), !s.fit);
    EXPECT_EQ(spy().count("Repaint"), s.repaints);
    EXPECT_EQ(engine.RepaintEnabled(), s.automatic);  // actual size puts it back
  }
  // Actual size holds repaint off while it sets the mode and zoom.
  spy().log.clear();
  window->runCommand(Command::idm_origin);
  EXPECT_EQ(spy().log.mid(0, 4), (QStringList{"setRepaintEnabled(false)", "setDisplaySizeMode(4)",
                                              "setZoomPercent(100)", "Repaint()"}));
  // The effect switch shows with the next picture only.
  EXPECT_TRUE(window->action(Command::idm_effect)->isChecked() && !engine.EraseBackground());
  window->doFunc("effect");
  EXPECT_TRUE(engine.EraseBackground());
  EXPECT_FALSE(tool()->isHidden() || window->action(Command::idm_effect)->isChecked());
}

}  // namespace
