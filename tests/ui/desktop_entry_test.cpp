// Desktop integration: the menu entry, the application icon and where
// `cmake --install` puts them.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QSvgRenderer>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "support/process.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const fs::path kData = fs::path(__FILE__).parent_path().parent_path().parent_path() / "data";

// The [Desktop Entry] group as key → value (keys keep their [locale]).
std::map<std::string, std::string> readEntry(const fs::path& file) {
  std::map<std::string, std::string> keys;
  std::ifstream in(file);
  std::string line;
  bool inGroup = false;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inGroup = line == "[Desktop Entry]";
      continue;
    }
    const auto eq = line.find('=');
    if (inGroup && eq != std::string::npos) keys[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return keys;
}

}  // namespace

TEST(DesktopEntry, NamesCommandAndPictureTypes) {
  auto keys = readEntry(kData / "zelmar.desktop");
  EXPECT_EQ(keys["Type"], "Application");
  EXPECT_EQ(keys["Name"], "Zelmar");
  EXPECT_FALSE(keys["Name[zh_CN]"].empty());
  EXPECT_NE(keys["Name[zh_CN]"], keys["Name"]);
  EXPECT_FALSE(keys["Comment"].empty());
  EXPECT_FALSE(keys["Comment[zh_CN]"].empty());
  EXPECT_EQ(keys["Exec"], "zelmar %f");
  EXPECT_EQ(keys["Icon"], "zelmar");
  for (const char* type : {"image/bmp", "image/x-bmp", "image/x-pcx", "image/vnd.zbrush.pcx",
                           "image/tiff", "image/jpeg", "image/x-tga", "image/x-targa", "image/png",
                           "image/gif", "image/webp", "image/heic", "image/heif", "image/avif"})
    EXPECT_NE((";" + keys["MimeType"]).find(std::string(";") + type + ";"), std::string::npos) << type;
}

TEST(DesktopEntry, AcceptedByTheValidator) {
  const fs::path tool = "/usr/bin/desktop-file-validate";
  ASSERT_TRUE(fs::exists(tool)) << "install desktop-file-utils (scripts/packages.txt)";
  const auto r = zelmar::test::run({tool.string(), (kData / "zelmar.desktop").string()});
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_EQ(r.out + r.err, "");  // not even a hint
}

TEST(DesktopEntry, ApplicationIconRendersAtAnySize) {
  QSvgRenderer svg(QString::fromStdString((kData / "zelmar.svg").string()));
  ASSERT_TRUE(svg.isValid());
  for (int size : {16, 48, 256}) {
    SCOPED_TRACE(size);
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    svg.render(&p);
    p.end();
    int painted = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) painted += qAlpha(img.pixel(x, y)) > 0;
    EXPECT_GT(painted, size * size / 2);
  }
}

TEST(DesktopEntry, InstallPutsBothFilesInTheUsualPlaces) {
  // The test program sits in <build>/tests/app.
  const fs::path build = fs::path(QCoreApplication::applicationDirPath().toStdString()).parent_path().parent_path();
  const fs::path script = build / "data" / "cmake_install.cmake";
  ASSERT_TRUE(fs::exists(script)) << script;
  zelmar::test::TempDir prefix;
  const auto r = zelmar::test::run({"cmake", "-DCMAKE_INSTALL_PREFIX=" + prefix.path().string(),
                                    "-P", script.string()});
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_TRUE(fs::is_regular_file(prefix.path() / "share/applications/zelmar.desktop"));
  EXPECT_TRUE(fs::is_regular_file(prefix.path() / "share/icons/hicolor/scalable/apps/zelmar.svg"));
}
