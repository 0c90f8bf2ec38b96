// The shared helpers: a path's folder, number texts, the context's checks.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <cmath>

#include "base/numtext.h"
#include "base/paths.h"
#include "base/viewer_context.h"

namespace {

TEST(SplitPath, TheFolderPartUpToTheLastSlash) {
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {
      {"/pics/a.jpg", "/pics/"}, {"/a.b/noext", "/a.b/"}, {"/", "/"}, {"name.png", ""}, {"", ""},
      {"/pics/.hidden", "/pics/"}, {"/照片/我的 图.JPG", "/照片/"}, {"C:\\p\\a.jpg", ""}};
  // clang-format on
  for (const auto& [path, folder] : cases)
    EXPECT_EQ(FolderOfPath(QString::fromUtf8(path)), QString::fromUtf8(folder)) << path;
}

TEST(NumText, StrValAndRounding) {
  // clang-format off
  const std::pair<float, const char*> strs[] = {
      {640.0f, " 640"}, {0.0f, " 0"}, {-0.0f, " 0"}, {-2.5f, "-2.5"}, {1.0f / 3.0f, " 0.3333333"},
      {1234567.0f, " 1234567"}, {12345678.0f, " 1.234568E+07"}};
  const std::pair<const char*, double> vals[] = {
      {"12", 12}, {"  12.5cm", 12.5}, {"1 2 3", 123}, {"-4.5", -4.5}, {"+7", 7}, {".5", 0.5},
      {"abc", 0}, {"", 0}, {"-", 0}, {".", 0}, {"1e3", 1000}, {"2.5E-1x", 0.25}, {"3e", 3},
      {"1.2.3", 1.2}, {"١٢", 0}, {"  - 3", -3}};
  const std::pair<double, int32_t> rounds[] = {
      {-2.5, -2}, {-3.5, -4}, {2.4999, 2}};
  // clang-format on
  for (const auto& [value, text] : strs) EXPECT_EQ(numtext::Str(value), text);
  EXPECT_EQ(numtext::Str(int32_t(-17)), "-17");
  EXPECT_EQ(numtext::Str(int32_t(2147483647)), " 2147483647");
  for (const auto& [text, value] : vals)
    EXPECT_DOUBLE_EQ(numtext::Val(QString::fromUtf8(text)), value) << text;
  EXPECT_TRUE(std::isinf(numtext::Val("1e999")));
  for (const auto& [value, rounded] : rounds) EXPECT_EQ(numtext::roundHalfEven(value), rounded);
}

TEST(ViewerContext, ListSignalsAndTheMenuCheck) {
  ViewerContext context;
  QSignalSpy list(&context, &ViewerContext::pictureListChanged);
  context.fillPictureList({"/a"});
  context.setPictureCount(1);
  context.setPictureCount(1);  // a new list with the same count is news too
  EXPECT_EQ(list.count(), 2);
  QAction open;  // every command needs its own menu item
  open.setObjectName("idm_open");
  CommandActions actions{};
  actions.fill(&open);
  EXPECT_THROW(context.setActions(actions), std::logic_error);
  EXPECT_EQ(context.action(Command::idm_open), nullptr);
}

}  // namespace
