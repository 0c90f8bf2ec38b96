// What we ship beside the program: the desktop entry (accepted by the
// validator, naming our picture types) and its installation with the icon.
#include <gtest/gtest.h>

#include <QSvgRenderer>
#include <QtWidgets>

#include "support/process.h"
#include "support/temp_dir.h"

namespace {

using zelmar::test::run;

TEST(Assets, DesktopEntryInstalledWithTheIconNamesTheCommandAndPictureTypes) {
  const std::string entry = ZELMAR_DATA_DIR "/zelmar.desktop";
  const auto valid = run({"/usr/bin/desktop-file-validate", entry});
  EXPECT_TRUE(valid.exitCode == 0 && valid.out + valid.err == "") << valid.out << valid.err;
  QFile f(QString::fromStdString(entry));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
  for (const char* line : {"Exec=zelmar %f", "Icon=zelmar", "Name=Zelmar"})
    EXPECT_TRUE(lines.contains(line)) << line;
  const QString types = ";" + lines.filter(QRegularExpression("^MimeType=")).value(0).mid(9);
  for (const char* type : {"image/bmp", "image/x-pcx", "image/tiff", "image/jpeg", "image/x-tga",
                           "image/png", "image/gif", "image/webp", "image/heic", "image/avif"})
    EXPECT_TRUE(types.contains(QString(";%1;").arg(type))) << type;
  EXPECT_EQ(lines.filter(QRegularExpression("^(Name|Comment)\\[zh_CN\\]=.")).size(), 2);
  // The test program sits in <build>/tests/app.
  const QString build = QCoreApplication::applicationDirPath() + "/../..";
  const zelmar::test::TempDir prefix;
  const std::string root = prefix.path().string();
  const auto installed = run({"cmake", "-DCMAKE_INSTALL_PREFIX=" + root, "-P",
                              build.toStdString() + "/data/cmake_install.cmake"});
  ASSERT_EQ(installed.exitCode, 0) << installed.err;
  EXPECT_TRUE(std::filesystem::exists(root + "/share/applications/zelmar.desktop"));
  EXPECT_TRUE(
      QSvgRenderer(QString::fromStdString(root) + "/share/icons/hicolor/scalable/apps/zelmar.svg")
          .isValid());
}

}  // namespace
