// The shared helpers: path splitting, number texts, the lazy window rule
// and the context's own checks.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QSignalSpy>
#include <QWidget>
#include <cmath>

#include "base/lazy_window.h"
#include "base/numtext.h"
#include "base/paths.h"
#include "base/viewer_context.h"

namespace {

TEST(SplitPath, Parts) {
  const struct {
    const char *path, *folder, *file, *base, *ext;
  } cases[] = {{"/pics/a.jpg", "/pics/", "a.jpg", "a", ".jpg"},
               {"/pics/archive.tar.gz", "/pics/", "archive.tar.gz", "archive.tar", ".gz"},
               {"/a.b/noext", "/a.b/", "noext", "noext", ""},
               {"/", "/", "", "", ""},
               {"name.png", "", "name.png", "name", ".png"},
               {"", "", "", "", ""},
               {"/pics/.hidden", "/pics/", ".hidden", "", ".hidden"},
               {"/照片/我的 图.JPG", "/照片/", "我的 图.JPG", "我的 图", ".JPG"},
               {"C:\\pics\\a.jpg", "", "C:\\pics\\a.jpg", "C:\\pics\\a", ".jpg"}};
  for (const auto& c : cases) {
    const SplitResult r = SplitPath(QString::fromUtf8(c.path));
    EXPECT_EQ(QStringList({r.folder, r.fileName, r.baseName, r.extension}),
              QStringList({QString::fromUtf8(c.folder), QString::fromUtf8(c.file),
                           QString::fromUtf8(c.base), QString::fromUtf8(c.ext)}))
        << c.path;
    EXPECT_EQ(FolderOfPath(QString::fromUtf8(c.path)), QString::fromUtf8(c.folder));
  }
}

TEST(NumText, StrValAndRounding) {
  const struct {
    float value;
    const char* text;
  } strs[] = {{640.0f, " 640"},
              {0.0f, " 0"},
              {-0.0f, " 0"},
              {-2.5f, "-2.5"},
              {1.0f / 3.0f, " 0.3333333"},
              {1234567.0f, " 1234567"},
              {12345678.0f, " 1.234568E+07"}};
  for (const auto& s : strs) EXPECT_EQ(numtext::Str(s.value), s.text);
  EXPECT_EQ(numtext::Str(int32_t(-17)), "-17");
  EXPECT_EQ(numtext::Str(int32_t(2147483647)), " 2147483647");
  const struct {
    const char* text;
    double value;
  } vals[] = {{"12", 12}, {"  12.5cm", 12.5}, {"1 2 3", 123}, {"-4.5", -4.5},
              {"+7", 7},  {".5", 0.5},        {"abc", 0},     {"", 0},
              {"-", 0},   {".", 0},           {"1e3", 1000},  {"2.5E-1x", 0.25},
              {"3e", 3},  {"1.2.3", 1.2},     {"١٢", 0},      {"  - 3", -3}};
  for (const auto& v : vals)
    EXPECT_DOUBLE_EQ(numtext::Val(QString::fromUtf8(v.text)), v.value) << v.text;
  EXPECT_TRUE(std::isinf(numtext::Val("1e999")));
  const std::pair<double, int32_t> rounds[] = {{320.5, 320},       {321.5, 322},
                                               {-2.5, -2},         {2.4999, 2},
                                               {1e20, 2147483647}, {-1e20, -2147483647 - 1}};
  for (const auto& [value, rounded] : rounds)
    EXPECT_EQ(numtext::roundHalfEven(value), rounded) << value;
}

TEST(LazyWindow, CreatedOnUseNeverByAQueryUnloadedOnce) {
  QWidget owner;
  int made = 0;
  LazyWindow<QWidget> holder([&] {
    ++made;
    return new QWidget(&owner, Qt::Tool);
  });
  EXPECT_FALSE(holder.loaded());
  EXPECT_EQ(holder.ifLoaded(), nullptr);
  EXPECT_FALSE(holder.visible());
  EXPECT_EQ(made, 0);
  QPointer<QWidget> first = holder.get();
  first->show();
  EXPECT_EQ(holder.get(), first);
  EXPECT_EQ(made, 1);
  holder.unload();
  // Forgotten and hidden at once, destroyed once control returns to the loop.
  EXPECT_FALSE(holder.loaded());
  EXPECT_FALSE(first->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull());
  holder.unload();  // nothing left to unload
  EXPECT_NE(holder.get(), nullptr);
  EXPECT_EQ(made, 2);
}

TEST(ViewerContext, ListSignalsAndTheMenuCheck) {
  ViewerContext context;
  QSignalSpy list(&context, &ViewerContext::pictureListChanged);
  QSignalSpy index(&context, &ViewerContext::pictureIndexChanged);
  QSignalSpy language(&context, &ViewerContext::languageChanged);
  EXPECT_EQ(context.fillPictureList({"/a", "/b", "/c"}), 3);
  context.fillPictureList({"/x"});  // the slots above keep their names
  EXPECT_EQ(context.PictureList(1), "/b");
  context.setPictureCount(1);
  context.setPictureCount(1);  // a new list with the same count is news too
  context.setPictureIndex(3);
  context.setPictureIndex(3);
  context.setUseChinese(1);
  EXPECT_EQ(list.count(), 2);
  EXPECT_EQ(index.count(), 1);
  EXPECT_EQ(language.count(), 1);
  // Every command needs its own menu item.
  QAction open;
  open.setObjectName("idm_open");
  CommandActions actions{};
  actions.fill(&open);
  EXPECT_THROW(context.setActions(actions), std::logic_error);
  EXPECT_EQ(context.action(Command::idm_open), nullptr);
}

}  // namespace
