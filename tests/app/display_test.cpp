// Putting a picture on screen: one paint with repaint held off, the
// alternating transitions, the title, and failures.
#include "app/viewer_fixture.h"

namespace {

class DisplayTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start({}, false);
    useList(paths = pictures({"a.bmp", "b.bmp", "c.bmp"}));
    spy().log.clear();
  }
  QStringList paths;
};

TEST_F(DisplayTest, OnePaintAfterTheLoadWithTransitionsInTurnAcrossBothEntryPoints) {
  window->ShowPicture(1);
  EXPECT_EQ(spy().log, (QStringList{"setRepaintEnabled(false)", "setTransitionEffect(0)",
                                    "LoadFile(" + paths[1] + ",0,0,1)", "Repaint()",
                                    "setRepaintEnabled(true)"}));
  EXPECT_EQ(window->windowTitle(), paths[1]);
  // The picture shown ("b" by its name), effects switched first where a star
  // says; the transition written: effect, delay, grain.
  const std::pair<QString, const char*> shows[] = {
      {"*0", "47,0,20"}, {"b", "23,5,10"}, {"2", "47,0,20"}, {"*0", "0"}, {"*1", "23,5,10"}};
  for (const auto& [show, transition] : shows) {
    if (show[0] == '*') window->runCommand(Command::idm_effect);
    spy().log.clear();
    show == "b" ? window->ShowPicture1(paths[1]) : window->ShowPicture(show.back().digitValue());
    QStringList written;
    for (const QString& call : spy().log.filter("setTransition"))
      written << call.section('(', 1).chopped(1);
    EXPECT_EQ(written.join(','), transition) << show.toStdString();
  }
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

}  // namespace
