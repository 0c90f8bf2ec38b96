// The picture list on the real control: showing a picture, moving by key and
// menu, the file list window and the slide show. The third picture is none.
#include "app/viewer_fixture.h"

namespace {

class BrowseTest : public ViewerTest {
 protected:
  void SetUp() override {
    ViewerTest::SetUp();
    start();
    paths = pictures({"p0.bmp", "p1.bmp"});
    QFile broken(path("pics/p2.bmp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly) && broken.write("BM not really"));
    paths << broken.fileName() << pictures({"p3.bmp"});
    useList(paths);
    window->ShowPicture(0);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));  // keys reach the active window
  }
  // A tool key by doFunc, "idm_..." by its menu item, "key ..." pressed,
  // "tick" of the slide show's timer, or a number: the picture count.
  void run(const QString& step) {
    spy().log.clear();
    if (step.startsWith("idm_")) {
      click(step);
    } else if (step.startsWith("key ")) {
      QTest::keyClick(window.get(), QKeySequence(step.mid(4))[0].key());
    } else if (step == "tick") {
      emit window->Timer1->timeout({});
    } else if (!step.isEmpty() && step[0].isDigit()) {
      ctx().setPictureCount(int16_t(step.toInt()));
    } else {
      window->doFunc(step);
    }
  }
  // "index shown loads": the position, the picture the title names, and the
  // loads of the last step.
  QString state() {
    return QString("%1 %2 %3")
        .arg(window->PictureIndex())
        .arg(paths.indexOf(window->windowTitle()))
        .arg(spy().count("LoadFile"));
  }
  bool listShown() {
    const bool check = window->action(Command::idm_FileList)->isChecked();
    EXPECT_EQ(tool()->button("list")->isChecked(), check);
    EXPECT_EQ(window->listWindow().visible(), check);
    return check;
  }
  QStringList paths;
};

TEST_F(BrowseTest, OnePaintAfterTheLoadWithTransitionsInTurnAcrossBothEntryPoints) {
  spy().log.clear();
  window->ShowPicture(1);
  EXPECT_EQ(spy().log, (QStringList{"setRepaintEnabled(false)", "setTransitionEffect(0)",
                                    "LoadFile(" + paths[1] + ",0,0,1)", "Repaint()",
                                    "setRepaintEnabled(true)"}));
  EXPECT_EQ(window->windowTitle(), paths[1]);
  // The picture shown ("b" by its name), effects switched first where a star
  // says; the transition written: effect, delay, grain.
  const std::pair<QString, const char*> shows[] = {
      {"*0", "47,0,20"}, {"b", "23,5,10"}, {"3", "47,0,20"}, {"*0", "0"}, {"*1", "23,5,10"}};
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

TEST_F(BrowseTest, FailuresKeepTitleAndRepaintSettingAndShowNothing) {
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
  window->ShowPicture(3);
  EXPECT_EQ(window->windowTitle(), paths[3]);
  EXPECT_TRUE(window->Engine1->RepaintEnabled());
}

TEST_F(BrowseTest, EachPictureShownHintsItsNeighboursInTheDirectionOfTravel) {
  // "20": the third picture ahead, the first behind; "-": the hints withdrawn.
  const std::pair<const char*, QString> steps[] = {
      {"next", "20"},      {"next", ""},   {"next", "02"},    {"prev", ""}, {"prev", "02"},
      {"idm_first", "31"}, {"tick", "20"}, {"idm_end", "02"}, {"1", ""},    {"tick", "-"}};
  for (const auto& [step, hint] : steps) {
    run(step);
    QCoreApplication::processEvents();  // hints follow the command
    const QString expected =
        hint == "-"      ? "PrefetchHint()"
        : hint.isEmpty() ? QString()
                         : QString("PrefetchHint(%1|%2)")
                               .arg(paths[hint[0].digitValue()], paths[hint[1].digitValue()]);
    EXPECT_EQ(spy().log.filter("PrefetchHint(").join(""), expected) << step;
  }
}

TEST_F(BrowseTest, NavigationWrapsAroundAndTitlesThePosition) {
  // clang-format off
  const std::pair<const char*, const char*> steps[] = {
      {"next", "1 1 1"}, {"NEXT", "2 1 1"}, {"idm_next", "3 3 1"}, {"next", "0 0 1"}, {"prev", "3 3 1"},
      {"idm_first", "0 0 1"}, {"first", "0 0 0"}, {"End", "3 3 1"}, {"idm_end", "3 3 0"}, {" next", "3 3 0"},
      {"", "3 3 0"}, {"nxt", "3 3 0"}, {"key Left", "2 3 1"}, {"key PgUp", "1 1 1"}, {"key Backspace", "0 0 1"},
      {"key Right", "1 1 1"}, {"key PgDown", "2 1 1"}, {"key Space", "3 3 1"}, {"key Home", "0 0 1"},
      {"key End", "3 3 1"}};
  // clang-format on
  for (int half : {0, 1}) {
    // The title is written into a loaded window only; an unloaded one is
    // never created for it, and gets it when opened.
    if (half == 1) {
      window->doFunc("first");
      window->doFunc("list");
    }
    for (const auto& [step, expected] : steps) {
      run(step);
      EXPECT_EQ(state(), expected) << step;
      EXPECT_EQ(window->listWindow().loaded(), half == 1);
      EXPECT_TRUE(half == 0 || list()->windowTitle() ==
                                   QString("图像文件列表 第%1/4张").arg(window->PictureIndex() + 1))
          << step;
    }
  }
  EXPECT_TRUE(messages.isEmpty());
}

TEST_F(BrowseTest, OneOrNoPictureMovesNothingOrFailsQuietly) {
  // clang-format off
  const struct { const char* steps; const char* state; const char* listTitle; } cases[] = {
      {"1 next", "0 0 0", "图像文件列表"}, {"1 prev", "0 0 0", "图像文件列表"},
      {"1 first", "0 0 0", "图像文件列表"}, {"1 end", "0 0 0", "图像文件列表"},
      // An empty list: the commands still run, and load nothing that exists.
      {"0 next", "0 0 1", "图像文件列表 第1/0张"}, {"0 prev", "-1 0 0", "图像文件列表 第0/0张"},
      {"0 end", "-1 0 0", "图像文件列表 第0/0张"}};
  // clang-format on
  window->listWindow().get();  // loaded, hidden, to take the titles
  for (const auto& c : cases) {
    for (const QString& step : QString(c.steps).split(' ')) run(step);
    EXPECT_EQ(state(), c.state) << c.steps;
    EXPECT_EQ(list()->windowTitle(), c.listTitle) << c.steps;
  }
}

TEST_F(BrowseTest, FileListShowsEveryRowAChosenRowByMouseOrKeyboardAndClosesWithItsMarks) {
  ctx().setPictureIndex(1);
  window->doFunc("list");
  ASSERT_TRUE(listShown());
  QListWidget* rows = list()->List1;
  QStringList texts;
  for (int i = 0; i < rows->count(); ++i) texts << rows->item(i)->text();
  EXPECT_EQ(texts, paths);
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第2/4张");
  EXPECT_TRUE(rows->selectedItems().isEmpty());
  EXPECT_EQ(rows->font().pointSize(), 10);
  for (int again : {0, 1}) {  // the picture on screen is shown again
    spy().log.clear();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                      rows->visualItemRect(rows->item(3)).center());
    EXPECT_EQ(spy().count("LoadFile"), 1) << again;
  }
  EXPECT_EQ(state(), "3 3 1");
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第4/4张");
  spy().log.clear();
  rows->setFocus();
  QTest::keyClick(rows, Qt::Key_Up);  // the broken one: shown as far as it goes
  EXPECT_EQ(state(), "2 3 1");
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第3/4张");
  window->runCommand(Command::idm_FileList);
  EXPECT_FALSE(listShown());
  EXPECT_TRUE(window->listWindow().loaded());
  window->doFunc("list");
  ctx().setPictureCount(0);
  window->doFunc("list");  // an empty list only makes sure the window is gone
  EXPECT_FALSE(listShown() || window->listWindow().loaded());
}

TEST_F(BrowseTest, SlideShow) {
  const auto running = [&] {
    const bool on = window->Timer1->isActive();
    EXPECT_EQ(window->action(Command::idm_stop)->isEnabled(), on);
    EXPECT_EQ(window->action(Command::idm_slide)->isEnabled(), !on);
    EXPECT_EQ(tool()->button("slide")->isChecked(), on);
    return on;
  };
  const auto delayMark = [&] {  // as the Display menu opens
    emit window->action(Command::idm_display)->menu<QMenu*>()->aboutToShow();
    QStringList out;
    for (QAction* a : window->action(Command::idm_autodelay)->menu<QMenu*>()->actions())
      if (a->isChecked()) out << a->objectName();
    return out.join(',');
  };
  // clang-format off
  const struct { const char* step; bool running; int index, shown; const char* mark; } steps[] = {
      {"0", false, 0, 0, "idm_delay2"}, {"slide", false, 0, 0, "idm_delay2"},
      {"1", false, 0, 0, "idm_delay2"}, {"slide", false, 0, 0, "idm_delay2"},
      {"4", false, 0, 0, "idm_delay2"}, {"slide", true, 0, 0, "idm_delay2"},
      {"tick", true, 1, 1, "idm_delay2"}, {"idm_Half500", true, 1, 1, "idm_Half500"},
      {"tick", true, 2, 1, "idm_Half500"}, {"tick", true, 3, 3, "idm_Half500"},
      {"SLIDE", false, 3, 3, "idm_Half500"}, {"idm_delay3", false, 3, 3, "idm_delay3"},
      {"idm_slide", true, 3, 3, "idm_delay3"}, {"tick", true, 0, 0, "idm_delay3"}};
  // clang-format on
  for (const auto& s : steps) {
    SCOPED_TRACE(s.step);
    run(s.step);
    EXPECT_EQ(running(), s.running);
    EXPECT_EQ(window->PictureIndex(), s.index);
    EXPECT_EQ(window->windowTitle(), paths[s.shown]);
    EXPECT_EQ(delayMark(), s.mark);
  }
  window->Timer1->setInterval(1234);
  EXPECT_EQ(delayMark(), "");
  // The list window's title and selection follow while it is visible, each
  // picture shown once.
  window->doFunc("list");
  run("tick");
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第2/4张");
  EXPECT_EQ(list()->List1->currentRow(), 1);
  EXPECT_EQ(spy().count("LoadFile"), 1);
  window->doFunc("list");
  run("tick");
  EXPECT_EQ(window->PictureIndex(), 2);
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第2/4张");
  window->Timer1->setInterval(1);  // the real timer drives it too
  QTRY_COMPARE_WITH_TIMEOUT(window->PictureIndex(), int16_t(3), 10000);
  window->doFunc("slide");
}

}  // namespace
