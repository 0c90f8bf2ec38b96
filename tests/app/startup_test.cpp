// Both start modes, on real folders, with the open dialog driven hidden.
#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <fstream>

#include "app/module1.h"
#include "app/settings.h"
#include "app/viewer_fixture.h"
#include "browse/ListFrm.h"
#include "engine/qt/file_names.h"
#include "ui/ToolFrm.h"

namespace {

class StartupTest : public ViewerTest {
 protected:
  // Files in a fresh folder, in the order the list sorts them.
  QStringList makeFolder(const QStringList& names) {
    QStringList paths;
    for (const QString& n : names) paths << pictureFile(n);
    return paths;
  }
  void remember(const QString& folder, int language = 0) {
    writeSettings(QString("[VANTREL]\nLANGUAGE=%1\nFILES=%2\n").arg(language).arg(folder).toUtf8());
  }
  QStringList list() const {
    QStringList out;
    for (int i = 0; i < Module1::PictureCount; ++i) out << Module1::PictureList[size_t(i)];
    return out;
  }
  bool menusShown() const {
    for (const char* m : {"idm_File", "idm_display", "idm_processing"})
      if (!window->action(m)->isVisible()) return false;
    return true;
  }
};

TEST_F(StartupTest, FirstStartShowsNothingWithChineseMenus) {
  start();
  EXPECT_EQ(Module1::UseChinese, 1);
  EXPECT_EQ(Module1::PictureCount, 0);
  EXPECT_EQ(engine().count("LoadFile"), 0);
  EXPECT_TRUE(menusShown());
  EXPECT_EQ(window->action("idm_File")->text(), "文件[&F]");
  EXPECT_EQ(window->windowTitle(), "Zelmar");
}

TEST_F(StartupTest, NormalModeListsRememberedFolderAndShowsFirst) {
  const QStringList paths = makeFolder({"b.JPG", "a.bmp", "c.txt", "d.tga", "e.jpeg", "f.png"});
  remember(picturesDir() + "/");
  start();
  EXPECT_EQ(list(), (QStringList{paths[1], paths[0], paths[3], paths[4]}));
  EXPECT_EQ(engine().calls("LoadFile"), QStringList{"LoadFile(" + paths[1] + ",0,0,1)"});
  EXPECT_EQ(window->windowTitle(), paths[1]);
  EXPECT_EQ(window->PictureIndex, 0);
  EXPECT_TRUE(menusShown());
  EXPECT_EQ(Module1::UseChinese, 0);
  // The folder as the open dialog reports it, without the trailing slash.
  EXPECT_EQ(Module1::StartFolder, QDir(picturesDir()).canonicalPath());
  EXPECT_FALSE(window->action("idm_stop")->isEnabled());
  for (const char* zoom : {"idm_zoomin", "idm_zoomout", "idm_origin"})
    EXPECT_FALSE(window->action(zoom)->isEnabled()) << zoom;
}

TEST_F(StartupTest, MissingFolderFallsBackToProgramFolder) {
  remember(picturesDir() + "/gone");
  start();
  EXPECT_EQ(Module1::StartFolder, QDir(Module1::AppFolder).canonicalPath());
}

TEST_F(StartupTest, EmbeddedModeShowsNamedFileAndHidesMenus) {
  const QStringList paths = makeFolder({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
  start(paths[2]);
  EXPECT_FALSE(window->action("idm_File")->isVisible());
  EXPECT_FALSE(window->action("idm_display")->isVisible());
  EXPECT_FALSE(window->action("idm_processing")->isVisible());
  EXPECT_EQ(engine().calls("LoadFile"), QStringList{"LoadFile(" + paths[2] + ",0,0,1)"});
  EXPECT_EQ(window->windowTitle(), paths[2]);
  // Next goes on from the picture on screen, not from the list's second.
  EXPECT_EQ(window->PictureIndex, 2);
  window->doFunc("next");
  EXPECT_EQ(window->windowTitle(), paths[3]);
}

TEST_F(StartupTest, EmbeddedModeWithUnlistedFileKeepsIndexZero) {
  makeFolder({"a.jpg", "b.jpg"});
  const QString other = pictureFile("notes.txt");
  start(other);
  EXPECT_TRUE(window->embedded());
  EXPECT_EQ(window->PictureIndex, 0);
  EXPECT_EQ(window->windowTitle(), other);  // any file the engine loads is shown
}

TEST_F(StartupTest, CommandLineFolderWithoutPicturesStartsNormally) {
  const QString only = pictureFile("readme.txt");
  start(only);
  EXPECT_TRUE(menusShown());
  EXPECT_EQ(Module1::PictureCount, 0);
  EXPECT_EQ(window->windowTitle(), "Zelmar");
}

TEST_F(StartupTest, CommandLinePathThatDoesNotExist) {
  start("/no/such/folder/x.jpg");
  // The program's folder is listed instead; whatever it holds, nothing crashes
  // and the named file is not shown.
  EXPECT_NE(window->windowTitle(), "/no/such/folder/x.jpg");
  EXPECT_EQ(Module1::StartFolder, QDir(Module1::AppFolder).canonicalPath());
}

TEST_F(StartupTest, OnlyTheFirstThousandFilesAreListed) {
  for (int i = 0; i < 5000; ++i) pictureFile(QString("p%1.jpg").arg(i, 4, 10, QChar('0')));
  remember(picturesDir());
  start();
  EXPECT_EQ(Module1::PictureCount, 1000);
  EXPECT_TRUE(Module1::PictureList[999].endsWith("p0999.jpg"));
  EXPECT_TRUE(Module1::PictureList[1000].isEmpty());
}

TEST_F(StartupTest, NamesWithBlanksAndChineseCharacters) {
  const QString folder = picturesDir() + "/我的 照片";
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString a = folder + "/第一 张.jpg";
  const QString b = folder + "/second one.jpg";
  for (const QString& p : {a, b}) {
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  start(b);
  EXPECT_EQ(window->windowTitle(), b);
  EXPECT_EQ(window->PictureIndex, 0);  // "second one" sorts first
  window->doFunc("next");
  EXPECT_EQ(window->windowTitle(), a);
}

TEST_F(StartupTest, NameThatIsNotUtf8DoesNotStopTheStart) {
  const std::string raw = pictures.path().string() + "/bad\xff\xfe.jpg";
  std::ofstream(raw) << "x";
  const QString good = pictureFile("good.jpg");
  remember(picturesDir());
  start();
  EXPECT_EQ(Module1::PictureCount, 2);
  window->doFunc("next");
  window->doFunc("next");
  EXPECT_EQ(window->windowTitle(), good);
}

TEST_F(StartupTest, WindowIsCentredOnTheScreen) {
  start();
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const QRect frame = window->frameGeometry();
  EXPECT_NEAR(frame.center().x(), screen.center().x(), 1);
  EXPECT_NEAR(frame.center().y(), screen.center().y(), 1);
}

TEST(CommandLine, JoinedAndMadeAbsolute) {
  const QString cwd = QDir::currentPath();
  EXPECT_EQ(Module1::commandLineFrom({"zelmar"}), "");
  EXPECT_EQ(Module1::commandLineFrom({"zelmar", "/pics/my", "photo.jpg"}), "/pics/my photo.jpg");
  EXPECT_EQ(Module1::commandLineFrom({"zelmar", "a.jpg"}), cwd + "/a.jpg");
  EXPECT_EQ(Module1::commandLineFrom({"zelmar", "sub/../b.jpg"}), cwd + "/b.jpg");
}

TEST(CommandLine, NamesNotInUtf8KeepEveryByte) {
  char program[] = "zelmar";
  char path[] = "/pics/caf\xe9 \xff.jpg";
  char* argv[] = {program, path, nullptr};
  const QString line = Module1::commandLineFrom(Module1::argumentsFrom(2, argv));
  EXPECT_EQ(filenames::nameToBytes(line), QByteArray(path));
}

class LifecycleTest : public StartupTest {};

TEST_F(LifecycleTest, ExitWritesSettingsThenAsks) {
  start();
  window->show();
  Module1::StartFolder = "/pics/chosen";
  answer = QMessageBox::No;
  window->doFunc("exit");
  EXPECT_EQ(messages, QStringList{"提示用户|确认是否退出图像浏览软件 ？"});
  EXPECT_EQ(settingsText(), "[VANTREL]\nLANGUAGE= 1\nFILES=/pics/chosen\n");
  // No keeps browsing, with the settings already written.
  EXPECT_TRUE(window->isVisible());
}

TEST_F(LifecycleTest, CloseBoxAsksButDoesNotWrite) {
  start();
  window->show();
  window->runCommand("idm_lang");
  answer = QMessageBox::No;
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  answer = QMessageBox::Yes;
  EXPECT_TRUE(window->close());
  EXPECT_EQ(messages.size(), 2);
  EXPECT_EQ(settingsText(), "");
}

TEST_F(LifecycleTest, YesUnloadsEveryOtherWindow) {
  setList(3);
  start();
  setList(3);
  window->runCommand("idm_FileList");
  ASSERT_TRUE(window->listFormLoaded());
  QPointer<QWidget> tool = window->toolWindow();
  window->runCommand("idm_exit");
  EXPECT_FALSE(window->listFormLoaded());
  EXPECT_EQ(window->toolWindow(), nullptr);
  EXPECT_EQ(window->openWindow(), nullptr);
  EXPECT_TRUE(tool.isNull() || !tool->isVisible());
}

TEST_F(LifecycleTest, MainShowsWindowAndToolBar) {
  window = Module1::Main(QString());
  EXPECT_TRUE(window->isVisible());
  ASSERT_NE(window->toolWindow(), nullptr);
  EXPECT_TRUE(window->toolWindow()->isVisible());
  EXPECT_EQ(window->toolWindow()->parentWidget(), window.get());
}

}  // namespace
