// Every icon we ship is a valid 16 x 16 SVG that draws a clear, crisp
// pictogram at small and large sizes.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <filesystem>
#include <set>

namespace {

struct Coverage {
  int painted = 0;  // pixels with any alpha
  int solid = 0;    // fully opaque pixels
};

Coverage render(QSvgRenderer& svg, int size, QImage* out = nullptr) {
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  svg.render(&p);
  p.end();
  Coverage c;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const int a = qAlpha(img.pixel(x, y));
      c.painted += a > 0;
      c.solid += a == 255;
    }
  if (out) *out = img;
  return c;
}

void checkIcon(const QString& path, std::set<QByteArray>& seen) {
  SCOPED_TRACE(path.toStdString());
  ASSERT_TRUE(QFile::exists(path));
  QSvgRenderer svg(path);
  ASSERT_TRUE(svg.isValid());
  EXPECT_EQ(svg.viewBox(), QRect(0, 0, 16, 16));

  QImage small;
  const Coverage at16 = render(svg, 16, &small);
  const Coverage at64 = render(svg, 64);
  // A pictogram, not a speck and not a filled square.
  EXPECT_GE(at16.painted, 16 * 16 / 8);
  EXPECT_LT(at16.solid, 16 * 16);
  EXPECT_GE(at64.painted, 64 * 64 / 8);
  // Crisp at the design size: mostly whole pixels, few blurred edges.
  EXPECT_GE(at16.solid * 2, at16.painted);
  // It scales as a drawing does: the covered share stays about the same.
  const double share16 = at16.painted / 256.0, share64 = at64.painted / 4096.0;
  EXPECT_NEAR(share64, share16, 0.2);
  EXPECT_TRUE(seen.insert(QByteArray(reinterpret_cast<const char*>(small.constBits()),
                                     small.sizeInBytes())).second)
      << "looks the same as another icon";
}

}  // namespace

static void loadIcons() {
  Q_INIT_RESOURCE(icons);
  Q_INIT_RESOURCE(open_icons);
}

TEST(ToolIcons, EveryToolBarIconIsADistinctCrispPictogram) {
  loadIcons();
  std::set<QByteArray> seen;
  for (const char* key : {"open", "save", "info", "print", "acquire", "fit", "next", "prev", "end",
                          "first", "func", "list", "slide", "exit"})
    checkIcon(QStringLiteral(":/tool/%1.svg").arg(QLatin1String(key)), seen);
  EXPECT_EQ(seen.size(), 14u);
}

TEST(ToolIcons, OpenDialogButtonIcons) {
  loadIcons();
  std::set<QByteArray> seen;
  for (const char* name : {"add", "remove", "add_all", "clear", "ok", "cancel"})
    checkIcon(QStringLiteral(":/open/%1.svg").arg(QLatin1String(name)), seen);
}
