// The open dialog's building blocks: byte-exact file names, wildcard
// patterns, and the folder, file and drive lists on real folders.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <filesystem>
#include <fstream>

#include "engine/qt/file_names.h"
#include "files/DriveList.h"
#include "files/FileList.h"
#include "files/FolderList.h"
#include "files/dir_entries.h"
#include "files/wildcard.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using zelmar::test::TempDir;

namespace {

void touch(const fs::path& p) { std::ofstream(p) << "x"; }
QString qpath(const fs::path& p) { return filenames::fromFsPath(p); }

TEST(OpenFileNames, EveryByteSequenceRoundTrips) {
  // Valid UTF-8, a 4-byte character, never-valid bytes, a cut-off sequence,
  // an overlong "/", an encoded surrogate, a cut-off end, a pair then a bad byte.
  // clang-format off
  const QByteArray cases[] = {"\xE5\x9B\xBE\xE7\x89\x87 a.jpg", "\xF0\x9F\x93\xB7.jpg", "bad\xFF\xFE.jpg",
      "caf\xE9.jpg", "over \xC0\xAF", "sur \xED\xA0\x80", "tail \xE5\x9B", "\xF0\x9F\x93\xB7\xDC"};
  // clang-format on
  for (const QByteArray& bytes : cases) {
    SCOPED_TRACE(bytes.toHex().toStdString());
    const QString name = filenames::nameFromBytes(bytes);
    EXPECT_EQ(filenames::nameToBytes(name), bytes);
    EXPECT_EQ(filenames::toFsPath(name).native(), bytes.toStdString());
    // What is shown is well-formed text, one character per escaped byte.
    const QString shown = filenames::displayName(name);
    EXPECT_EQ(QString::fromUtf8(shown.toUtf8()), shown);
    EXPECT_EQ(shown.size(), name.size());
  }
  EXPECT_EQ(filenames::nameFromBytes("\xE5\x9B\xBE a"), QString::fromUtf8("\xE5\x9B\xBE a"));
  EXPECT_EQ(files::joinPath("/", "a.jpg"), "/a.jpg");
  EXPECT_EQ(files::joinPath("/pics/", "a.jpg"), "/pics/a.jpg");
}

TEST(OpenWildcard, MatchesLikeTheFileBox) {
  // clang-format off
  const struct { const char* patterns; const char* name; bool match; } cases[] = {
      {"*.BMP;*.PCX;*.TIF;*.JPG;*.TGA", "A.Tga", true}, {"*.BMP;*.JPG", "a.jpeg", false},
      {"*.JPG", "a.jpg.txt", false}, {"*.JPG", "jpg", false}, {"*.*", "README", true},
      {"img?.png", "IMG7.PNG", true}, {"img?.png", "img10.png", false},
      {"*a*b*c", "xxaYYbZZc", true}, {"*a*b*c", "xxaYYbZZcd", false},
      {" *.jpg ; *.bmp", "x.BMP", true}, {"*.jpg", "照片.JPG", true}, {"", "a.jpg", false},
      {";;", "a.jpg", false}};
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(files::WildcardSet(QString::fromUtf8(c.patterns)).matches(QString::fromUtf8(c.name)),
              c.match)
        << c.patterns << " " << c.name;
}

TEST(OpenFileList, ListsMatchingPlainVisibleFilesSortedWithoutCase) {
  TempDir dir;
  for (const char* n : {"b.JPG", "A.jpg", "c.bmp", "notes.txt", ".hidden.jpg", "a.JPG"})
    touch(dir.path() / n);
  fs::create_directory(dir.path() / "folder.jpg");
  fs::create_symlink(dir.path() / "c.bmp", dir.path() / "link.bmp");
  fs::create_symlink(dir.path() / "missing", dir.path() / "broken.jpg");
  FileList list;
  const auto names = [&] {
    QStringList out;
    for (int i = 0; i < list.count(); ++i) out << list.fileName(i);
    return out;
  };
  list.setPath(qpath(dir.path()));
  EXPECT_EQ(names(), (QStringList{"A.jpg", "a.JPG", "b.JPG", "c.bmp", "link.bmp", "notes.txt"}));
  list.setPattern("*.jpg;*.BMP");
  EXPECT_EQ(names(), (QStringList{"A.jpg", "a.JPG", "b.JPG", "c.bmp", "link.bmp"}));
  list.setPath(qpath(dir.path() / "nowhere"));
  EXPECT_TRUE(list.count() == 0 && list.fileName(0).isEmpty());
}

TEST(OpenFolderList, AncestorsThenSortedSubFoldersAndOnlyFoldersThatExist) {
  TempDir dir;
  for (const char* n : {"beta", "Alpha", "gamma", ".hidden"}) fs::create_directory(dir.path() / n);
  touch(dir.path() / "file.jpg");
  const QString root = qpath(fs::canonical(dir.path()));
  FolderList list;
  QStringList changes, shown;
  QObject::connect(&list, &FolderList::pathChanged, [&](const QString& p) { changes << p; });
  ASSERT_TRUE(list.setPath(root + "/"));  // a trailing slash is accepted
  EXPECT_EQ(changes, QStringList{root});
  for (int i = 0; i < list.count(); ++i) shown << FolderList::itemPath(list.item(i));
  const int current = list.currentRow();
  QStringList ancestors{root};
  for (QDir d(root); d.cdUp();) ancestors.prepend(d.path());
  EXPECT_EQ(shown, ancestors + QStringList({root + "/Alpha", root + "/beta", root + "/gamma"}));
  EXPECT_EQ(shown[current], root);
  // Only folders that exist, and quotes are part of a name.
  for (const QString& bad : {root + "/missing", root + "/file.jpg", QString(), "\"" + root + "\""})
    EXPECT_FALSE(list.setPath(bad)) << bad.toStdString();
  EXPECT_EQ(list.path(), root);
  EXPECT_EQ(list.count(), shown.size());
  emit list.itemDoubleClicked(list.item(current + 2));  // enters a sub-folder
  EXPECT_EQ(list.path(), root + "/beta");
  emit list.itemDoubleClicked(list.item(0));  // and an ancestor
  EXPECT_EQ(list.path(), "/");
}

TEST(OpenDriveList, RootFirstThenHomeThenOthersByPath) {
  EXPECT_EQ(DriveList::orderDrives({"/media/usb", "/", "/boot", "/home/ann", "/boot"}, "/home/ann"),
            (QStringList{"/", "/home/ann", "/boot", "/media/usb"}));
  // Home is listed even when it is not a volume of its own, "/" even when missing.
  EXPECT_EQ(DriveList::orderDrives({"/data"}, "/home/bo"), (QStringList{"/", "/home/bo", "/data"}));
}

}  // namespace
