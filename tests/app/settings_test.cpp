// The settings file: what is read, and what a write keeps of everything else.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "app/ini_file.h"
#include "base/viewer_context.h"
#include "engine/qt/file_names.h"
#include "support/temp_dir.h"

namespace {

// Bytes that are no INI file at all (and hold no section header by accident).
QByteArray garbage() {
  QByteArray bytes;
  for (int i = 0; i < 4096; ++i) bytes += char((i * 131 + 7) % 256);
  return bytes.replace("[", "(");
}

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.path())); }
  void write(const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
  }
  QByteArray read() const {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void store(int16_t language, const QString& folder) {
    context.setUseChinese(language);
    context.setStartFolder(folder);
    app::WriteSettings(context);
  }
  zelmar::test::TempDir dir;
  const QString path = QString::fromStdString(dir.file("zelmar32.ini"));
  ViewerContext context;
};

TEST_F(SettingsTest, Reading) {
  const struct {
    QByteArray file;  // null: no file at all
    int16_t language;
    QString folder;
  } cases[] = {
      {{}, 1, ""},
      {garbage(), 1, ""},
      {"[o]\nLANGUAGE=0\nFILES=/no\n[vantrel]\n  language =  0 \nFiles =   /a b  \n", 0, "/a b"},
      {"[VANTREL]\nLANGUAGE=2\nFILES=     \n", 2, ""},
      {"[VANTREL]\nLANGUAGE=-1\n", 0, ""},
      {"[VANTREL]\nLANGUAGE=abc\n", 0, ""},
      {"[VANTREL]\nLANGUAGE=12abc\n", 12, ""},
      {"[VANTREL]\nLANGUAGE=32767\n", 32767, ""},
      {"[VANTREL]\nLANGUAGE=32768\n", 1, ""},  // too large for 16 bits: Chinese
      {QByteArray("[VANTREL]\nLANGUAGE=\nFILES= /a/b") + '\0' + "/c/d\n", 0, "/a/b"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.left(40).toStdString());
    QFile::remove(path);
    if (!c.file.isNull()) write(c.file);
    context.setStartFolder("stale");
    app::ReadSettings(context);
    EXPECT_EQ(context.UseChinese(), c.language);
    EXPECT_EQ(context.StartFolder(), c.folder);
  }
}

TEST_F(SettingsTest, WritingKeepsEverythingElseByteForByte) {
  QDir(QString::fromStdString(dir.path())).removeRecursively();  // made on write
  store(1, "/pics");
  EXPECT_EQ(read(), "[VANTREL]\nLANGUAGE= 1\nFILES=/pics\n");
  write(
      "; comment kept\n[Other]\nkey = value\n\n[VANTREL]\nFILES=/old\n# note\nEXTRA=1\n\n"
      "[Last]\nz=9\n");
  store(0, "/new folder/图片");
  EXPECT_EQ(read(),
            "; comment kept\n[Other]\nkey = value\n\n[VANTREL]\nFILES=/new folder/图片\n"
            "# note\nEXTRA=1\nLANGUAGE= 0\n\n[Last]\nz=9\n");
  // A folder with a line break would spill into keys of its own: the old value stays.
  store(0, "/evil\n[VANTREL]\nLANGUAGE=5");
  EXPECT_FALSE(read().contains("evil"));
  write(garbage());
  store(1, "/x");
  EXPECT_EQ(read(), garbage() + "\n[VANTREL]\nLANGUAGE= 1\nFILES=/x\n");
}

TEST_F(SettingsTest, FolderNamesComeBackWhole) {
  // Far beyond the 126 bytes a profile function keeps, and bytes that are not UTF-8.
  const QString longChinese = "/home/用户/" + QString("很长的文件夹名字").repeated(12) + "/照片";
  for (const QString& folder : {longChinese, filenames::nameFromBytes("/u/caf\xe9 \xff\xfe/p")}) {
    store(0, folder);
    context.setStartFolder({});
    app::ReadSettings(context);
    EXPECT_EQ(filenames::nameToBytes(context.StartFolder()), filenames::nameToBytes(folder));
  }
  EXPECT_TRUE(read().contains("FILES=/u/caf\xe9 \xff\xfe/p\n"));
}

TEST_F(SettingsTest, FailedWriteIsReportedAndLeavesNoDebris) {
  IniFile ini;
  ASSERT_TRUE(ini.setValue("VANTREL", "FILES", "/new"));
  ASSERT_TRUE(QDir().mkpath(path));  // a folder where the file should go
  EXPECT_FALSE(ini.save(path));
  store(1, "/x");  // the viewer's own write ignores the failure
  EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files).size(), 0);
}

}  // namespace
