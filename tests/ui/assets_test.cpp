// What we ship beside the program: the desktop entry (accepted by the
// validator, naming our picture types) and its installation with the icon.
#include <gtest/gtest.h>

#include <QSvgRenderer>
#include <QtWidgets>

#include "support/temp_dir.h"

namespace {

const QString kData = QStringLiteral(ZELMAR_DATA_DIR);

// Output and exit code (-1: did not run to its end) of a program.
std::pair<QString, int> run(const QString& program, const QStringList& args) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  const bool ended = p.waitForFinished() && p.exitStatus() == QProcess::NormalExit;
  return {QString::fromUtf8(p.readAll()), ended ? p.exitCode() : -1};
}

TEST(Assets, DesktopEntryInstalledWithTheIconNamesTheCommandAndPictureTypes) {
  EXPECT_EQ(run("/usr/bin/desktop-file-validate", {kData + "/zelmar.desktop"}),
            std::make_pair(QString(), 0));  // not even a hint
  QFile f(kData + "/zelmar.desktop");
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
  const QString script = QCoreApplication::applicationDirPath() + "/../../data/cmake_install.cmake";
  zelmar::test::TempDir prefix;
  const QString root = QString::fromStdString(prefix.path().string());
  const auto installed = run("cmake", {"-DCMAKE_INSTALL_PREFIX=" + root, "-P", script});
  ASSERT_EQ(installed.second, 0) << installed.first.toStdString();
  EXPECT_TRUE(QFile::exists(root + "/share/applications/zelmar.desktop"));
  EXPECT_TRUE(QSvgRenderer(root + "/share/icons/hicolor/scalable/apps/zelmar.svg").isValid());
}

}  // namespace
