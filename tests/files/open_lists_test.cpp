// The open dialog's building blocks: byte-exact file names, wildcard
// patterns, and the folder, file and drive lists on real folders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "files/DriveList.h"
#include "files/FileList.h"
#include "files/FolderList.h"
#include "engine/qt/file_names.h"
#include "files/dir_entries.h"
#include "files/wildcard.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using zelmar::test::TempDir;

namespace {

void touch(const fs::path& p) { std::ofstream(p) << "x"; }

QString qpath(const fs::path& p) { return filenames::fromFsPath(p); }

QStringList fileNames(const FileList& list) {
  QStringList out;
  for (int i = 0; i < list.count(); ++i) out << list.fileName(i);
  return out;
}

QStringList itemPaths(const FolderList& list) {
  QStringList out;
  for (int i = 0; i < list.count(); ++i) out << FolderList::itemPath(list.item(i));
  return out;
}

}  // namespace

TEST(OpenFileNames, EveryByteSequenceRoundTrips) {
  const QByteArray cases[] = {
      "plain.jpg",
      "with blank.jpg",
      QByteArray("\xE5\x9B\xBE\xE7\x89\x87.jpg"),     // 图片, valid
      QByteArray("\xF0\x9F\x93\xB7 cam.jpg"),         // a 4-byte character
      QByteArray("bad\xFF\xFE.jpg"),                  // never valid in UTF-8
      QByteArray("latin1 caf\xE9.jpg"),               // a cut-off sequence
      QByteArray("overlong \xC0\xAF.jpg"),            // overlong "/"
      QByteArray("surrogate \xED\xA0\x80.jpg"),       // an encoded surrogate
      QByteArray("tail \xE5\x9B"),                    // cut off at the end
      QByteArray("\xF0\x9F\x93\xB7\xDC"),             // a real pair then a bad byte
  };
  for (const QByteArray& bytes : cases) {
    SCOPED_TRACE(bytes.toHex().toStdString());
    const QString name = filenames::nameFromBytes(bytes);
    EXPECT_EQ(filenames::nameToBytes(name), bytes);
    EXPECT_EQ(filenames::toFsPath(name).native(), bytes.toStdString());
    // What is shown is well-formed text: no escapes left in it.
    const QString shown = filenames::displayName(name);
    EXPECT_EQ(QString::fromUtf8(shown.toUtf8()), shown);
    EXPECT_EQ(shown.size(), name.size());
  }
  // Valid text reads exactly as UTF-8 does.
  EXPECT_EQ(filenames::nameFromBytes("\xE5\x9B\xBE a"), QString::fromUtf8("\xE5\x9B\xBE a"));
}

TEST(OpenFileNames, JoinUsesOneSlash) {
  EXPECT_EQ(files::joinPath("/", "a.jpg"), "/a.jpg");
  EXPECT_EQ(files::joinPath("/pics", "a.jpg"), "/pics/a.jpg");
  EXPECT_EQ(files::joinPath("/pics/", "a.jpg"), "/pics/a.jpg");
}

TEST(OpenWildcard, MatchesLikeTheFileBox) {
  const files::WildcardSet images("*.BMP;*.PCX;*.TIF;*.JPG;*.TGA");
  EXPECT_TRUE(images.matches("a.jpg"));
  EXPECT_TRUE(images.matches("A.Tga"));
  EXPECT_FALSE(images.matches("a.jpeg"));
  EXPECT_FALSE(images.matches("a.jpg.txt"));
  EXPECT_FALSE(images.matches("jpg"));

  EXPECT_TRUE(files::WildcardSet("*.*").matches("README"));
  EXPECT_TRUE(files::WildcardSet("*").matches("README"));
  EXPECT_TRUE(files::WildcardSet("img?.png").matches("IMG7.PNG"));
  EXPECT_FALSE(files::WildcardSet("img?.png").matches("img10.png"));
  EXPECT_TRUE(files::WildcardSet("*a*b*c").matches("xxaYYbZZc"));
  EXPECT_FALSE(files::WildcardSet("*a*b*c").matches("xxaYYbZZcd"));
  EXPECT_TRUE(files::WildcardSet(" *.jpg ; *.bmp").matches("x.BMP"));
  EXPECT_TRUE(files::WildcardSet("*.jpg").matches(QString::fromUtf8("照片.JPG")));
  EXPECT_FALSE(files::WildcardSet("").matches("a.jpg"));
  EXPECT_FALSE(files::WildcardSet(";;").matches("a.jpg"));
}

TEST(OpenFileList, ListsMatchingPlainVisibleFilesSortedWithoutCase) {
  TempDir dir;
  for (const char* n : {"b.JPG", "A.jpg", "c.bmp", "notes.txt", ".hidden.jpg", "a.JPG"}) touch(dir.path() / n);
  fs::create_directory(dir.path() / "folder.jpg");
  fs::create_symlink(dir.path() / "c.bmp", dir.path() / "link.bmp");
  fs::create_symlink(dir.path() / "missing", dir.path() / "broken.jpg");

  FileList list;
  list.setPath(qpath(dir.path()));
  EXPECT_EQ(fileNames(list), (QStringList{"A.jpg", "a.JPG", "b.JPG", "c.bmp", "link.bmp", "notes.txt"}));

  list.setPattern("*.jpg;*.BMP");
  EXPECT_EQ(fileNames(list), (QStringList{"A.jpg", "a.JPG", "b.JPG", "c.bmp", "link.bmp"}));
  EXPECT_EQ(list.pattern(), "*.jpg;*.BMP");

  // refresh picks up a file added later.
  touch(dir.path() / "d.jpg");
  EXPECT_EQ(list.count(), 5);
  list.refresh();
  EXPECT_EQ(list.count(), 6);

  list.setPath(qpath(dir.path() / "nowhere"));
  EXPECT_EQ(list.count(), 0);
  EXPECT_TRUE(list.fileName(0).isEmpty());
}

TEST(OpenFileList, KeepsNamesThatAreNotUtf8) {
  TempDir dir;
  const std::string bad = "bad\xFF name.jpg";
  touch(dir.path() / bad);
  touch(dir.path() / "\xE5\x9B\xBE \xE7\x89\x87.jpg");

  FileList list;
  list.setPath(qpath(dir.path()));
  ASSERT_EQ(list.count(), 2);
  for (int i = 0; i < 2; ++i) {
    const fs::path full = filenames::toFsPath(files::joinPath(list.path(), list.fileName(i)));
    EXPECT_TRUE(fs::is_regular_file(full)) << full;
  }
  EXPECT_EQ(list.item(0)->text(), QString::fromUtf8("bad\xEF\xBF\xBD name.jpg"));
}

TEST(OpenFolderList, ShowsAncestorsThenSortedSubFolders) {
  TempDir dir;
  for (const char* n : {"beta", "Alpha", "gamma", ".hidden"}) fs::create_directory(dir.path() / n);
  touch(dir.path() / "file.jpg");
  const QString root = qpath(fs::canonical(dir.path()));

  FolderList list;
  QStringList changes;
  QObject::connect(&list, &FolderList::pathChanged, [&](const QString& p) { changes << p; });
  ASSERT_TRUE(list.setPath(root + "/"));  // a trailing slash is accepted
  EXPECT_EQ(list.path(), root);
  EXPECT_EQ(changes, QStringList{root});

  QStringList expected{"/"};
  QString walked;
  for (const QString& part : root.split('/', Qt::SkipEmptyParts)) expected << (walked += "/" + part);
  const int current = int(expected.size()) - 1;
  expected << root + "/Alpha" << root + "/beta" << root + "/gamma";
  EXPECT_EQ(itemPaths(list), expected);
  EXPECT_EQ(list.currentRow(), current);

  // Double-click enters a sub-folder, and an ancestor.
  QListWidgetItem* beta = list.item(current + 2);
  emit list.itemDoubleClicked(beta);
  EXPECT_EQ(list.path(), root + "/beta");
  emit list.itemDoubleClicked(list.item(0));
  EXPECT_EQ(list.path(), "/");
}

TEST(OpenFolderList, RefusesWhatCannotBeListedAndKeepsItsPlace) {
  TempDir dir;
  touch(dir.path() / "file.jpg");
  const QString root = qpath(fs::canonical(dir.path()));
  FolderList list;
  ASSERT_TRUE(list.setPath(root));
  const int rows = list.count();

  EXPECT_FALSE(list.setPath(root + "/missing"));
  EXPECT_FALSE(list.setPath(root + "/file.jpg"));
  EXPECT_FALSE(list.setPath(""));
  EXPECT_FALSE(list.setPath("\"" + root + "\""));  // quotes are part of the name
  EXPECT_EQ(list.path(), root);
  EXPECT_EQ(list.count(), rows);

  if (geteuid() != 0) {  // root reads any folder
    fs::create_directory(dir.path() / "locked");
    fs::permissions(dir.path() / "locked", fs::perms::none);
    EXPECT_FALSE(list.setPath(root + "/locked"));
    fs::permissions(dir.path() / "locked", fs::perms::owner_all);
  }

  // A relative path is taken from the working folder.
  const QString saved = QDir::currentPath();
  QDir::setCurrent(root);
  fs::create_directory(dir.path() / "sub");
  EXPECT_TRUE(list.setPath("sub"));
  EXPECT_EQ(list.path(), root + "/sub");
  QDir::setCurrent(saved);
}

TEST(OpenFolderList, EntersFoldersWithAnyName) {
  TempDir dir;
  const std::string odd = "\xE7\x9B\xB8\xE5\x86\x8C \xFE";
  fs::create_directory(dir.path() / odd);
  touch(dir.path() / odd / "x.jpg");
  FolderList list;
  ASSERT_TRUE(list.setPath(qpath(fs::canonical(dir.path()))));
  emit list.itemDoubleClicked(list.item(list.count() - 1));
  EXPECT_EQ(filenames::toFsPath(list.path()), fs::canonical(dir.path()) / odd);
}

TEST(OpenDriveList, RootFirstThenHomeThenOthersByPath) {
  EXPECT_EQ(DriveList::orderDrives({"/media/usb", "/", "/boot", "/home/ann", "/boot"}, "/home/ann"),
            (QStringList{"/", "/home/ann", "/boot", "/media/usb"}));
  // Home is listed even when it is not a volume of its own, "/" even when missing.
  EXPECT_EQ(DriveList::orderDrives({"/data"}, "/home/bo"), (QStringList{"/", "/home/bo", "/data"}));

  DriveList live;
  ASSERT_GE(live.count(), 1);
  EXPECT_EQ(live.drive(), "/");
  live.showDriveOf(QDir::homePath() + "/pictures");
  EXPECT_TRUE((QDir::homePath() + "/").startsWith(live.drive()));
}
