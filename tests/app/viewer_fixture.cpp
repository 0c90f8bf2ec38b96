#include "app/viewer_fixture.h"

#include <QApplication>
#include <QFile>
#include <fstream>

#include "app/module1.h"
#include "app/prompt.h"
#include "engine/io/file_io.h"
#include "support/pictures.h"

void ViewerTest::SetUp() {
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path().string()));
  Module1::PictureList.fill(QString());
  Module1::PictureCount = 0;
  Module1::UseChinese = 0;
  Module1::StartFolder.clear();
  Module1::AppFolder.clear();
  RecordingEngine::install();
  prompt::setMessageHook([this](QMessageBox& box) {
    messages << box.windowTitle() + "|" + box.text();
    return answer;
  });
}

void ViewerTest::TearDown() {
  window.reset();
  prompt::setMessageHook({});
  prompt::setPopupHook({});
  RecordingEngine::uninstall();
  // No test may leave the busy cursor behind.
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

picfrm& ViewerTest::start(const QString& commandLine) {
  window = std::make_unique<picfrm>(commandLine);
  return *window;
}

QString ViewerTest::pictureFile(const QString& name) {
  const QString path = picturesDir() + "/" + name;
  std::ofstream(path.toStdString()) << "picture";
  return path;
}

void ViewerTest::setList(int count) {
  for (int i = 0; i < count; ++i)
    Module1::PictureList[size_t(i)] = pictureFile(QString("p%1.jpg").arg(i, 4, 10, QChar('0')));
  Module1::PictureCount = int16_t(count);
}

QString ViewerTest::realPicture(const QString& folder, const QString& name, int width,
                                int height) {
  const QString path = folder + "/" + name;
  const zelmar::Status s = zelmar::savePicture(
      zelmar::test::makePattern(uint32_t(width), uint32_t(height), 24), path.toStdString(), 6, 0,
      64, false);
  EXPECT_TRUE(s.ok()) << path.toStdString();
  return path;
}

QString ViewerTest::picturesDir() const { return QString::fromStdString(pictures.path().string()); }

QString ViewerTest::configDir() const { return QString::fromStdString(config.path().string()); }

QString ViewerTest::settingsText() const {
  QFile f(configDir() + "/zelmar32.ini");
  if (!f.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(f.readAll());
}

void ViewerTest::writeSettings(const QByteArray& bytes) {
  QFile f(configDir() + "/zelmar32.ini");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}
