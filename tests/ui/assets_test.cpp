// What we ship beside the program: the desktop entry (accepted by the
// validator, naming our picture types), its installation with the icon,
// and icons that render as distinct, crisp pictograms.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <set>

#include "support/temp_dir.h"

// Resources of static libraries load only when referred to.
static void loadIcons() {
  Q_INIT_RESOURCE(icons);
  Q_INIT_RESOURCE(open_icons);
}

namespace {

const QString kData = QStringLiteral(__FILE__).section('/', 0, -4) + "/data";

QString run(const QString& program, const QStringList& args, int* exitCode) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  *exitCode = p.waitForFinished() && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  return QString::fromUtf8(p.readAll());
}

TEST(Assets, DesktopEntryNamesTheCommandAndPictureTypes) {
  int code = 0;
  EXPECT_EQ(run("/usr/bin/desktop-file-validate", {kData + "/zelmar.desktop"}, &code), "");
  EXPECT_EQ(code, 0);  // not even a hint
  QFile f(kData + "/zelmar.desktop");
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
  for (const char* line : {"Exec=zelmar %f", "Icon=zelmar", "Name=Zelmar"})
    EXPECT_TRUE(lines.contains(line)) << line;
  const QString types = lines.filter(QRegularExpression("^MimeType=")).value(0);
  for (const char* type : {"image/bmp", "image/x-pcx", "image/tiff", "image/jpeg", "image/x-tga"})
    EXPECT_TRUE(types.contains(QString(";%1;").arg(type)) ||
                types.contains(QString("=%1;").arg(type)))
        << type;
  EXPECT_EQ(lines.filter(QRegularExpression("^(Name|Comment)\\[zh_CN\\]=.")).size(), 2);
}

TEST(Assets, InstallPutsEntryAndIconInTheUsualPlaces) {
  // The test program sits in <build>/tests/app.
  const QString script = QCoreApplication::applicationDirPath() + "/../../data/cmake_install.cmake";
  zelmar::test::TempDir prefix;
  const QString root = QString::fromStdString(prefix.path().string());
  int code = 0;
  const QString out = run("cmake", {"-DCMAKE_INSTALL_PREFIX=" + root, "-P", script}, &code);
  ASSERT_EQ(code, 0) << out.toStdString();
  EXPECT_TRUE(QFile::exists(root + "/share/applications/zelmar.desktop"));
  EXPECT_TRUE(QFile::exists(root + "/share/icons/hicolor/scalable/apps/zelmar.svg"));
}

TEST(Assets, IconsAreDistinctCrispPictogramsAtAnySize) {
  loadIcons();
  QStringList icons{kData + "/zelmar.svg"};
  for (const char* key : {"open", "save", "info", "print", "acquire", "fit", "next", "prev", "end",
                          "first", "func", "list", "slide", "exit"})
    icons << QStringLiteral(":/tool/%1.svg").arg(key);
  for (const char* name : {"add", "remove", "add_all", "clear", "ok", "cancel"})
    icons << QStringLiteral(":/open/%1.svg").arg(name);
  std::set<QByteArray> seen;
  for (const QString& icon : icons) {
    SCOPED_TRACE(icon.toStdString());
    QSvgRenderer svg(icon);
    ASSERT_TRUE(svg.isValid());
    double share[2] = {0, 0};
    for (int size : {16, 64}) {
      QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
      img.fill(Qt::transparent);
      QPainter p(&img);
      svg.render(&p);
      p.end();
      int painted = 0, solid = 0;
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
          painted += qAlpha(img.pixel(x, y)) > 0;
          solid += qAlpha(img.pixel(x, y)) == 255;
        }
      // A pictogram, not a speck and not a filled square.
      EXPECT_GE(painted, size * size / 8);
      EXPECT_LT(solid, size * size);
      share[size == 64] = painted / double(size * size);
      if (size == 16) {
        EXPECT_GE(solid * 2, painted);  // crisp at the design size: mostly whole pixels
        EXPECT_TRUE(seen.insert(QByteArray(reinterpret_cast<const char*>(img.constBits()),
                                           img.sizeInBytes()))
                        .second)
            << "looks the same as another icon";
      }
    }
    EXPECT_NEAR(share[1], share[0], 0.2);  // it scales as a drawing does
  }
}

}  // namespace
