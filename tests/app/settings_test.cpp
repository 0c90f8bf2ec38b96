// The settings file: what is read, and what a write keeps of everything else.
#include "app/settings.h"

#include "app/viewer_fixture.h"

namespace {

// Bytes that are no INI file at all (and hold no section header by accident).
QByteArray garbage() {
  QByteArray bytes;
  for (int i = 0; i < 4096; ++i) bytes += char((i * 131 + 7) % 256);
  return bytes.replace("[", "(");
}

class SettingsTest : public ViewerTest {
 protected:
  void store(int16_t language, const QString& folder) {
    context.setUseChinese(language);
    context.setStartFolder(folder);
    app::WriteSettings(context);
  }
  ViewerContext context;
};

TEST_F(SettingsTest, Reading) {
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
}

TEST_F(SettingsTest, WritingKeepsEverythingElseByteForByte) {
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

}  // namespace
