// The settings file, both start modes on real folders, the way out, and the
// program's command line.
#include "app/settings.h"
#include "app/viewer_fixture.h"

namespace {

// Bytes that are no INI file at all (and hold no section header by accident).
QByteArray garbage() {
  QByteArray bytes;
  for (int i = 0; i < 4096; ++i) bytes += char((i * 131 + 7) % 256);
  return bytes.replace("[", "(");
}

using StartupTest = ViewerTest;

TEST_F(StartupTest, SettingsReadAndWrittenKeepingEverythingElseByteForByte) {
  ViewerContext context;
  const auto store = [&](int16_t language, const QString& folder) {
    context.setUseChinese(language);
    context.setStartFolder(folder);
    app::WriteSettings(context);
  };
  // clang-format off
  const struct { QByteArray file; int16_t language; QString folder; } cases[] = {  // file null: none
      {{}, 1, ""}, {garbage(), 1, ""},
      {"[o]\nLANGUAGE=0\nFILES=/no\n[vantrel]\n  language =  0 \nFiles =   /a b  \n", 0, "/a b"},
      {"[VANTREL]\nLANGUAGE=2\nFILES=     \n", 2, ""}, {"[VANTREL]\nLANGUAGE=-1\n", 0, ""},
      {"[VANTREL]\nLANGUAGE=abc\n", 0, ""}, {"[VANTREL]\nLANGUAGE=12abc\n", 12, ""},
      {"[VANTREL]\nLANGUAGE=32768\n", 1, ""},  // too large for 16 bits: Chinese
      {QByteArray("[VANTREL]\nLANGUAGE=\nFILES= /a/b") + '\0' + "/c/d\n", 0, "/a/b"}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.left(40).toStdString());
    QFile::remove(settingsPath());
    if (!c.file.isNull()) writeSettings(c.file);
    context.setStartFolder("stale");
    app::ReadSettings(context);
    EXPECT_EQ(context.UseChinese(), c.language);
    EXPECT_EQ(context.StartFolder(), c.folder);
  }
  QDir(QString::fromStdString(config.path())).removeRecursively();  // made on write
  store(1, "/pics");
  EXPECT_EQ(settingsBytes(), "[VANTREL]\nLANGUAGE= 1\nFILES=/pics\n");
  writeSettings(
      "; comment kept\n[Other]\nkey = value\n\n[VANTREL]\nFILES=/old\n# note\nEXTRA=1\n\n"
      "[Last]\nz=9\n");
  store(0, "/new folder/图片");
  EXPECT_EQ(settingsBytes(),
            "; comment kept\n[Other]\nkey = value\n\n[VANTREL]\nFILES=/new folder/图片\n"
            "# note\nEXTRA=1\nLANGUAGE= 0\n\n[Last]\nz=9\n");
  // A folder with a line break would spill into keys of its own: the old value stays.
  store(0, "/evil\n[VANTREL]\nLANGUAGE=5");
  EXPECT_FALSE(settingsBytes().contains("evil"));
  writeSettings(garbage());
  store(1, "/x");
  EXPECT_EQ(settingsBytes(), garbage() + "\n[VANTREL]\nLANGUAGE= 1\nFILES=/x\n");
  // Folder names come back whole: far beyond the 126 bytes a profile
  // function keeps, and bytes that are not UTF-8.
  const QString longChinese = "/home/用户/" + QString("很长的文件夹名字").repeated(12) + "/照片";
  for (const QString& folder : {longChinese, filenames::nameFromBytes("/u/caf\xe9 \xff\xfe/p")}) {
    store(0, folder);
    context.setStartFolder({});
    app::ReadSettings(context);
    EXPECT_EQ(filenames::nameToBytes(context.StartFolder()), filenames::nameToBytes(folder));
  }
  EXPECT_TRUE(settingsBytes().contains("FILES=/u/caf\xe9 \xff\xfe/p\n"));
}

TEST_F(StartupTest, StartModesAndUnreadableSettings) {
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
    EXPECT_TRUE(c.count < 0 || ctx().PictureCount() == c.count);
    EXPECT_EQ(window->windowTitle(), c.shown < 0 ? "Zelmar" : paths[c.shown]);
    EXPECT_EQ(window->PictureIndex(), c.index);
    for (Command m : {Command::idm_File, Command::idm_display, Command::idm_processing})
      EXPECT_EQ(window->action(m)->isVisible(), c.menus);
    EXPECT_EQ(ctx().StartFolder(), c.startFolder);
    window->doFunc("next");  // goes on from the picture on screen
    EXPECT_EQ(window->windowTitle(), c.shownAfterNext < 0 ? "Zelmar" : paths[c.shownAfterNext]);
  }
  // Settings that cannot be read give the defaults and stay as they are.
  QFile::remove(settingsPath());
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

TEST(CommandLine, OnePathJoinedMadeAbsoluteKeptByteForByteQtOptionsIncluded) {
  const QString cwd = QDir::currentPath();
  EXPECT_EQ(app::commandLineFrom({"zelmar"}), "");
  EXPECT_EQ(app::commandLineFrom({"zelmar", "/pics/my", "photo.jpg"}), "/pics/my photo.jpg");
  EXPECT_EQ(app::commandLineFrom({"zelmar", "sub/../b.jpg"}), cwd + "/b.jpg");
  char program[] = "zelmar", bytes[] = "/pics/caf\xe9 \xff.jpg";
  char* argv[] = {program, bytes, nullptr};
  EXPECT_EQ(filenames::nameToBytes(app::commandLineFrom(app::argumentsFrom(2, argv))), bytes);
  // The program reads it before Qt takes its options out.
  const zelmar::test::TempDir home;  // its settings and working folder; offscreen as we are
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.path().string()));
  QProcess viewer;
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
