// Both start modes on real folders, the way out, and the program's command
// line.
#include "app/viewer_fixture.h"

namespace {

using StartupTest = ViewerTest;

TEST_F(StartupTest, StartModes) {
  const QStringList paths = pictures({"a.bmp", "b.JPG", "c.webp", "d.jpeg"});
  pictures({"e.cmp"});  // a picture, but not of the start-up pattern
  for (const char* other : {"pics/notes.txt", "empty/readme.txt"}) {
    QDir().mkpath(QFileInfo(path(other)).path());
    QFile(path(other)).open(QIODevice::WriteOnly);
  }
  const QString folder = QDir(path("pics")).canonicalPath(),
                empty = QDir(path("empty")).canonicalPath();
  const QString app = QDir(QCoreApplication::applicationDirPath()).canonicalPath();
  // "{F}": the pictures' folder; shown: the picture the title names, -1 none.
  // clang-format off
  const struct { const char* what; QString settings, commandLine; int count, shown, index;
                 bool menus; QString startFolder; int shownAfterNext; } cases[] = {
      {"first start", {}, {}, 0, -1, 0, true, "", -1},
      {"remembered folder", "FILES={F}/", {}, 4, 0, 0, true, folder, 1},
      {"remembered folder is gone", "FILES={F}/gone", {}, -1, -1, 0, true, app, -1},
      {"picture named", {}, "{F}/b.JPG", 4, 1, 1, false, folder, 2},
      {"named file not listed", {}, "{F}/notes.txt", 4, -1, 0, false, folder, 1},
      {"folder without pictures", {}, empty + "/readme.txt", 0, -1, 0, true, empty, -1},
      {"quoted path", {}, "\"{F}/b.JPG\"", -1, -1, 0, true, app, -1}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QFile::remove(settingsPath());
    if (!c.settings.isEmpty())
      writeSettings("[VANTREL]\n" + QString(c.settings).replace("{F}", path("pics")).toUtf8());
    start(QString(c.commandLine).replace("{F}", path("pics")));
    if (c.count >= 0) {
      EXPECT_EQ(ctx().PictureCount(), c.count);
    }
    EXPECT_EQ(window->windowTitle(), c.shown < 0 ? "Zelmar" : paths[c.shown]);
    EXPECT_EQ(window->PictureIndex(), c.index);
    for (Command m : {Command::idm_File, Command::idm_display, Command::idm_processing})
      EXPECT_EQ(window->action(m)->isVisible(), c.menus);
    EXPECT_EQ(ctx().StartFolder(), c.startFolder);
    window->doFunc("next");  // goes on from the picture on screen
    EXPECT_EQ(window->windowTitle(), c.shownAfterNext < 0 ? "Zelmar" : paths[c.shownAfterNext]);
  }
}

TEST_F(StartupTest, UnreadableSettingsGiveTheDefaultsAndStayAsTheyAre) {
  ASSERT_TRUE(QDir().mkpath(settingsPath()));  // root reads any file: a folder instead
  start();
  EXPECT_EQ(ctx().UseChinese(), 1);
  EXPECT_EQ(ctx().StartFolder(), "");
  answer = QMessageBox::No;
  window->doFunc("exit");
  EXPECT_EQ(messages.size(), 1);
  EXPECT_TRUE(QFileInfo(settingsPath()).isDir());
}

TEST_F(StartupTest, CentredOnceShownExitAsksAndYesUnloadsEveryOtherWindow) {
  pictures({"a.bmp"});
  writeSettings(("[VANTREL]\nFILES=" + path("pics") + "\n").toUtf8());
  start();
  ASSERT_NE(window->frameGeometry().size(), window->size()) << "the platform reports no frame";
  EXPECT_TRUE(centred(*window));
  ctx().setStartFolder("/pics/chosen");
  answer = QMessageBox::No;
  window->doFunc("EXIT");  // writes the settings, then asks
  EXPECT_EQ(messages, QStringList{"提示用户|确认是否退出图像浏览软件 ？"});
  EXPECT_EQ(settingsBytes(), "[VANTREL]\nFILES=/pics/chosen\nLANGUAGE= 1\n");
  EXPECT_TRUE(window->isVisible());  // No keeps browsing
  QFile::remove(settingsPath());
  window->doFunc("list");
  const QList<QPointer<QWidget>> others{list(), window->openDialog().ifLoaded(), tool()};
  ASSERT_FALSE(others.contains(nullptr));
  EXPECT_FALSE(window->close());  // the close box asks too, and writes nothing
  answer = QMessageBox::Yes;
  EXPECT_TRUE(window->close());
  EXPECT_EQ(messages.size(), 3);
  EXPECT_EQ(settingsBytes(), "");
  EXPECT_FALSE(window->listWindow().loaded() || window->openDialog().loaded() ||
               window->toolWindow().loaded());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  for (const QPointer<QWidget>& w : others) EXPECT_TRUE(w.isNull());
}

TEST(CommandLine, OnePathJoinedMadeAbsoluteAndKeptByteForByte) {
  const QString cwd = QDir::currentPath();
  EXPECT_EQ(app::commandLineFrom({"zelmar"}), "");
  EXPECT_EQ(app::commandLineFrom({"zelmar", "/pics/my", "photo.jpg"}), "/pics/my photo.jpg");
  EXPECT_EQ(app::commandLineFrom({"zelmar", "sub/../b.jpg"}), cwd + "/b.jpg");
  char program[] = "zelmar", bytes[] = "/pics/caf\xe9 \xff.jpg";
  char* argv[] = {program, bytes, nullptr};
  EXPECT_EQ(filenames::nameToBytes(app::commandLineFrom(app::argumentsFrom(2, argv))), bytes);
}

TEST(CommandLine, TheProgramLeavesQtOptionsInThePath) {
  zelmar::test::TempDir home;
  QProcess viewer;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(home.path().string()));
  viewer.setProcessEnvironment(env);
  viewer.setWorkingDirectory(QString::fromStdString(home.path().string()));
  // Qt stops at once on a platform it does not know; as part of a picture
  // path the option does nothing and the viewer stays up.
  viewer.start(ZELMAR_PROGRAM, {"-platform", "no-such-platform"});
  ASSERT_TRUE(viewer.waitForStarted());
  EXPECT_FALSE(viewer.waitForFinished(3000)) << viewer.readAllStandardError().toStdString();
  viewer.kill();
  viewer.waitForFinished();
}

}  // namespace
