// The settings file: defaults, what is read back, and what a write keeps.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/ini_file.h"
#include "app/module1.h"
#include "app/settings.h"
#include "engine/qt/file_names.h"
#include "support/temp_dir.h"

namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.path().string()));
    Module1::UseChinese = 7;
    Module1::StartFolder = "stale";
  }
  QString path() const { return QString::fromStdString(dir.file("zelmar32.ini")); }
  void write(const QByteArray& bytes) {
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QByteArray read() const {
    QFile f(path());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  zelmar::test::TempDir dir;
};

TEST_F(SettingsTest, MissingFileGivesChineseAndNoFolder) {
  Module1::ReadSettings();
  EXPECT_EQ(Module1::UseChinese, 1);
  EXPECT_EQ(Module1::StartFolder, "");
  EXPECT_EQ(Module1::settingsPath(), path());
}

TEST_F(SettingsTest, ReadsOwnSectionIgnoringCaseAndBlanks) {
  write("[other]\nLANGUAGE=0\nFILES=/wrong\n[vantrel]\n  language =  0 \nFiles =   /pics/a b  \n");
  Module1::ReadSettings();
  EXPECT_EQ(Module1::UseChinese, 0);
  EXPECT_EQ(Module1::StartFolder, "/pics/a b");
}

TEST_F(SettingsTest, LanguageValues) {
  const struct {
    const char* text;
    int16_t expected;
  } cases[] = {{"1", 1}, {"0", 0}, {"2", 2}, {"-1", 0}, {"abc", 0}, {"", 0},
               {"12abc", 12}, {"99999999999999999999", 1}, {"32767", 32767}, {"32768", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Module1::languageFromText(c.text), c.expected);
  }
}

TEST_F(SettingsTest, LongChineseFolderComesBackWhole) {
  // Far beyond the old 126-byte cut, and three bytes per character.
  const QString folder = "/home/用户/" + QString("很长的文件夹名字").repeated(12) + "/照片";
  ASSERT_GT(folder.toUtf8().size(), 300);
  Module1::StartFolder = folder;
  Module1::UseChinese = 0;
  Module1::WriteSettings();
  Module1::StartFolder.clear();
  Module1::ReadSettings();
  EXPECT_EQ(Module1::StartFolder, folder);
  EXPECT_EQ(Module1::UseChinese, 0);
}

TEST_F(SettingsTest, FolderNotInUtf8KeepsEveryByte) {
  const QByteArray bytes = "/home/u/caf\xe9 \xff\xfe/pics";
  Module1::StartFolder = filenames::nameFromBytes(bytes);
  Module1::WriteSettings();
  EXPECT_TRUE(read().contains("FILES=" + bytes + "\n")) << read().toStdString();
  Module1::StartFolder.clear();
  Module1::ReadSettings();
  EXPECT_EQ(filenames::nameToBytes(Module1::StartFolder), bytes);
}

TEST_F(SettingsTest, BlankOrNulFolderValues) {
  write("[VANTREL]\nFILES=     \n");
  Module1::ReadSettings();
  EXPECT_EQ(Module1::StartFolder, "");
  write(QByteArray("[VANTREL]\nFILES= /a/b\0/c/d\n", 25));
  Module1::ReadSettings();
  EXPECT_EQ(Module1::StartFolder, "/a/b");
}

TEST_F(SettingsTest, GarbageFileReadsAsDefaultsAndSurvivesWrite) {
  QByteArray garbage;
  for (int i = 0; i < 4096; ++i) garbage += char((i * 131 + 7) % 256);
  garbage.replace("[", "(");  // no section header by accident
  write(garbage);
  Module1::ReadSettings();
  EXPECT_EQ(Module1::UseChinese, 1);
  EXPECT_EQ(Module1::StartFolder, "");
  Module1::StartFolder = "/x";
  Module1::WriteSettings();
  const QByteArray after = read();
  EXPECT_TRUE(after.startsWith(garbage)) << "bytes of others must stay untouched";
  EXPECT_TRUE(after.endsWith("\n[VANTREL]\nLANGUAGE= 1\nFILES=/x\n"));
}

TEST_F(SettingsTest, WriteKeepsEverythingElseByteForByte) {
  write("; comment kept\n[Other]\nkey = value\n\n[VANTREL]\nFILES=/old\n# note\nEXTRA=1\n\n"
        "[Last]\nz=9\n");
  Module1::UseChinese = 0;
  Module1::StartFolder = "/new folder/图片";
  Module1::WriteSettings();
  EXPECT_EQ(read(),
            QByteArray("; comment kept\n[Other]\nkey = value\n\n[VANTREL]\nFILES=/new folder/图片\n"
                       "# note\nEXTRA=1\nLANGUAGE= 0\n\n[Last]\nz=9\n"));
}

TEST_F(SettingsTest, FreshFileHoldsExactlyTheTwoKeys) {
  QDir(QString::fromStdString(dir.path().string())).rmdir(".");  // the folder is made on write
  Module1::UseChinese = 1;
  Module1::StartFolder = "/pics";
  Module1::WriteSettings();
  EXPECT_EQ(read(), QByteArray("[VANTREL]\nLANGUAGE= 1\nFILES=/pics\n"));
}

TEST_F(SettingsTest, FolderWithLineBreakIsNotWritten) {
  write("[VANTREL]\nLANGUAGE= 1\nFILES=/good\n");
  Module1::UseChinese = 0;
  Module1::StartFolder = "/evil\n[VANTREL]\nLANGUAGE=5";
  Module1::WriteSettings();
  EXPECT_EQ(read(), QByteArray("[VANTREL]\nLANGUAGE= 0\nFILES=/good\n"));
}

TEST_F(SettingsTest, FailedWriteReportsAndLeavesNoDebris) {
  IniFile ini;
  ASSERT_TRUE(ini.setValue("VANTREL", "FILES", "/new"));
  // A folder where the file should go: the rename cannot replace it.
  const QString blocked = path();
  ASSERT_TRUE(QDir().mkpath(blocked));
  EXPECT_FALSE(ini.save(blocked));
  EXPECT_TRUE(QFileInfo(blocked).isDir());
  EXPECT_EQ(QDir(QString::fromStdString(dir.path().string())).entryList(QDir::Files).size(), 0);
  // The viewer's own write ignores the failure.
  Module1::WriteSettings();
  EXPECT_TRUE(QFileInfo(blocked).isDir());
}

TEST(CutAtNull, CountsBeforeFirstNul) {
  EXPECT_EQ(Module1::CutAtNull(QString("abc")), 3);
  EXPECT_EQ(Module1::CutAtNull(QString("")), 0);
  EXPECT_EQ(Module1::CutAtNull(QString::fromUtf16(u"ab\0cd\0", 6)), 2);
  EXPECT_EQ(Module1::CutAtNull(QString::fromUtf16(u"\0x", 2)), 0);
}

}  // namespace
