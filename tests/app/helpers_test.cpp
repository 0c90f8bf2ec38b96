// Path splitting and the number texts of the dialogs.
#include <gtest/gtest.h>

#include "app/numtext.h"
#include "app/paths.h"

namespace {

TEST(SplitPath, Parts) {
  const struct {
    const char* path;
    const char* folder;
    const char* file;
    const char* base;
    const char* ext;
  } cases[] = {
      {"/pics/a.jpg", "/pics/", "a.jpg", "a", ".jpg"},
      {"/pics/archive.tar.gz", "/pics/", "archive.tar.gz", "archive.tar", ".gz"},
      {"/a.b/noext", "/a.b/", "noext", "noext", ""},
      {"/", "/", "", "", ""},
      {"name.png", "", "name.png", "name", ".png"},
      {"", "", "", "", ""},
      {"/pics/.hidden", "/pics/", ".hidden", "", ".hidden"},
      {"/照片/我的 图.JPG", "/照片/", "我的 图.JPG", "我的 图", ".JPG"},
      {"C:\\pics\\a.jpg", "", "C:\\pics\\a.jpg", "C:\\pics\\a", ".jpg"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    QString file, base, ext;
    EXPECT_EQ(Module1::SplitPath(QString::fromUtf8(c.path), file, base, ext), QString::fromUtf8(c.folder));
    EXPECT_EQ(file, QString::fromUtf8(c.file));
    EXPECT_EQ(base, QString::fromUtf8(c.base));
    EXPECT_EQ(ext, QString::fromUtf8(c.ext));
    EXPECT_EQ(Module1::FolderOfPath(QString::fromUtf8(c.path)), QString::fromUtf8(c.folder));
  }
}

TEST(NumText, StrOfNumbers) {
  EXPECT_EQ(numtext::Str(640.0f), " 640");
  EXPECT_EQ(numtext::Str(0.0f), " 0");
  EXPECT_EQ(numtext::Str(-0.0f), " 0");
  EXPECT_EQ(numtext::Str(-2.5f), "-2.5");
  EXPECT_EQ(numtext::Str(1.0f / 3.0f), " 0.3333333");
  EXPECT_EQ(numtext::Str(1234567.0f), " 1234567");
  EXPECT_EQ(numtext::Str(12345678.0f), " 1.234568E+07");
  EXPECT_EQ(numtext::Str(int32_t(0)), " 0");
  EXPECT_EQ(numtext::Str(int32_t(-17)), "-17");
  EXPECT_EQ(numtext::Str(int32_t(2147483647)), " 2147483647");
}

TEST(NumText, ValReadsTheLeadingNumber) {
  const struct {
    const char* text;
    double value;
  } cases[] = {{"12", 12},        {"  12.5cm", 12.5}, {"1 2 3", 123},   {"-4.5", -4.5},
               {"+7", 7},         {".5", 0.5},        {"abc", 0},       {"", 0},
               {"-", 0},          {".", 0},           {"1e3", 1000},    {"2.5E-1x", 0.25},
               {"3e", 3},         {"1.2.3", 1.2},     {"١٢", 0},        {"  - 3", -3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_DOUBLE_EQ(numtext::Val(QString::fromUtf8(c.text)), c.value);
  }
  EXPECT_TRUE(std::isinf(numtext::Val("1e999")));
}

TEST(NumText, RoundsHalfToEven) {
  EXPECT_EQ(numtext::roundHalfEven(320.5), 320);
  EXPECT_EQ(numtext::roundHalfEven(321.5), 322);
  EXPECT_EQ(numtext::roundHalfEven(-2.5), -2);
  EXPECT_EQ(numtext::roundHalfEven(2.4999), 2);
  EXPECT_EQ(numtext::roundHalfEven(1e20), 2147483647);
  EXPECT_EQ(numtext::roundHalfEven(-1e20), -2147483647 - 1);
}

}  // namespace
