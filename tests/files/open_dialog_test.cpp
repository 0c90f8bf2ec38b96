// The open dialog, its lists and its command on real folders, driven through
// named controls and public handlers, with the real control for its preview.
#include <fstream>

#include "app/viewer_fixture.h"
#include "files/dir_entries.h"
#include "files/wildcard.h"

namespace fs = std::filesystem;
using zelmar::test::TempDir;

namespace {

void touch(const fs::path& p) { std::ofstream(p) << "x"; }

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

TEST(OpenLists, FilesThatMatchAndFoldersByAncestorsThenSortedSubFoldersOnlyWhereTheyExist) {
  TempDir dir;
  for (const char* n : {"b.JPG", "A.jpg", "c.bmp", "notes.txt", ".hidden.jpg", "a.JPG"})
    touch(dir.path() / n);
  for (const char* n : {"beta", "Alpha", "gamma", ".hidden", "folder.jpg"})
    fs::create_directory(dir.path() / n);
  fs::create_symlink(dir.path() / "c.bmp", dir.path() / "link.bmp");
  fs::create_symlink(dir.path() / "missing", dir.path() / "broken.jpg");
  const QString root = filenames::fromFsPath(fs::canonical(dir.path()));
  FileList files;
  const auto names = [&] {
    QStringList out;
    for (int i = 0; i < files.count(); ++i) out << files.fileName(i);
    return out;
  };
  files.setPath(root);
  EXPECT_EQ(names(), (QStringList{"A.jpg", "a.JPG", "b.JPG", "c.bmp", "link.bmp", "notes.txt"}));
  files.setPattern("*.jpg;*.BMP");
  EXPECT_EQ(names(), (QStringList{"A.jpg", "a.JPG", "b.JPG", "c.bmp", "link.bmp"}));
  files.setPath(root + "/nowhere");
  EXPECT_TRUE(files.count() == 0 && files.fileName(0).isEmpty());
  EXPECT_EQ(files::joinPath("/", "a.jpg"), "/a.jpg");
  EXPECT_EQ(files::joinPath("/pics/", "a.jpg"), "/pics/a.jpg");

  FolderList folders;
  QStringList shown;
  ASSERT_TRUE(folders.setPath(root + "/"));  // a trailing slash is accepted
  for (int i = 0; i < folders.count(); ++i) shown << FolderList::itemPath(folders.item(i));
  const int current = folders.currentRow();
  QStringList ancestors{root};
  for (QDir d(root); d.cdUp();) ancestors.prepend(d.path());
  EXPECT_EQ(shown, ancestors + QStringList({root + "/Alpha", root + "/beta", root + "/folder.jpg",
                                            root + "/gamma"}));
  EXPECT_EQ(shown[current], root);
  // Only folders that exist, and quotes are part of a name.
  for (const QString& bad : {root + "/missing", root + "/c.bmp", QString(), "\"" + root + "\""})
    EXPECT_FALSE(folders.setPath(bad)) << bad.toStdString();
  EXPECT_EQ(folders.path(), root);
  emit folders.itemDoubleClicked(folders.item(current + 2));  // enters a sub-folder
  EXPECT_EQ(folders.path(), root + "/beta");
  emit folders.itemDoubleClicked(folders.item(0));  // and an ancestor
  EXPECT_EQ(folders.path(), "/");
}

TEST(OpenDriveList, RootFirstThenHomeThenOthersByPath) {
  EXPECT_EQ(DriveList::orderDrives({"/media/usb", "/", "/boot", "/home/ann", "/boot"}, "/home/ann"),
            (QStringList{"/", "/home/ann", "/boot", "/media/usb"}));
  // Home is listed even when it is not a volume of its own, "/" even when missing.
  EXPECT_EQ(DriveList::orderDrives({"/data"}, "/home/bo"), (QStringList{"/", "/home/bo", "/data"}));
}

class OpenDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    context.setStartFolder("unchanged");
    context.fillPictureList(QStringList(3, "old"));
  }
  SpyEngine& preview() { return *static_cast<SpyEngine*>(frm->Engine1); }
  void touch(std::initializer_list<const char*> names, const char* sub = "") {
    fs::create_directories(dir.path() / sub);
    for (const char* n : names) std::ofstream(dir.path() / sub / n) << "x";
  }
  QString full(const QString& name) const { return folder + "/" + name; }
  QStringList selected() const {
    QStringList out;
    for (int i = 0; i < frm->List1->count(); ++i) out << frm->List1->item(i)->text();
    return out;
  }
  QString counts() const { return frm->Label7->text() + "/" + frm->Label9->text(); }
  // Keyboard focus on a row without choosing it, as Tab does.
  static void focusOnly(QListWidget* list, int row) {
    list->clearSelection();
    list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                            QItemSelectionModel::NoUpdate);
  }

  ViewerContext context{SpyEngine::make};
  zelmar::test::TempDir dir;
  const QString folder = filenames::fromFsPath(fs::canonical(dir.path()));
  std::unique_ptr<OpenFrm> frm = std::make_unique<OpenFrm>(context);
};

TEST_F(OpenDialog, TextsTipsAndPlaceOnEveryShowing) {
  // clang-format off
  const struct { QWidget* w; QString zh, en; } rows[] = {
      {frm->Label2, "目录列表", "Directories"}, {frm->Label5, "文件列表", "File List"},
      {frm->Label4, "已选文件", "Selected Files"}, {frm->Label1, "驱动器", "Drive"},
      {frm->Label3, "文件类型", "File Type"}, {frm->Check1, "预览", "Preview"},
      {frm->Command1, "确认&O", "&OK"}, {frm->Command2, "取消&C", "&Cancel"},
      {frm->Label6, "待选文件个数：", "待选文件个数："}, {frm->Label8, "已选文件个数：", "已选文件个数："}};
  // clang-format on
  for (int zh : {0, -3}) {
    context.setUseChinese(int16_t(zh));
    frm->SelectedCount = 7;
    frm->move(3, 4);  // dragged aside
    frm->show();
    for (const auto& r : rows)
      EXPECT_EQ(r.w->property("text").toString(), zh ? r.zh : r.en) << r.en.toStdString();
    QStringList tips;
    for (QPushButton* b :
         {frm->Command1, frm->Command2, frm->Command3, frm->Command4, frm->Command5, frm->Command6})
      tips << (b->icon().isNull() ? "no picture" : b->toolTip());
    EXPECT_EQ(tips, (QStringList{"确认选择", "取消退出", "全部添加", "全部清除", "增加", "剔除"}));
    EXPECT_EQ(frm->windowTitle(), "选择图像文件");
    EXPECT_EQ(frm->SelectedCount, 0);
    EXPECT_TRUE(centred(*frm));
    frm->hide();
  }
}

TEST_F(OpenDialog, FoldersDrivesAndCounts) {
  touch({"b.jpg", "A.BMP", "c.txt"});
  touch({"z.jpg"}, "sub");
  ASSERT_TRUE(frm->Dir1->setPath(folder + "/sub"));
  frm->Command3_Click();
  frm->Dir1->setPath(folder);
  QTest::mouseClick(frm->Command3, Qt::LeftButton);
  EXPECT_EQ(selected(),
            (QStringList{full("sub/z.jpg"), full("A.BMP"), full("b.jpg"), full("c.txt")}));
  EXPECT_EQ(counts(), "3/4");
  fs::create_directory(dir.path() / "empty");
  frm->Dir1->setPath(folder + "/empty");
  frm->Command3_Click();  // nothing to add
  EXPECT_EQ(counts(), "0/4");
  // A drive points the folder list at it; one that cannot be read keeps both.
  const int root = frm->Drive1->findData(QStringLiteral("/"));
  frm->Drive1->setCurrentIndex(root);
  frm->Drive1_Change();
  EXPECT_EQ(frm->File1->path(), "/");
  frm->Drive1->addItem("gone", "/no/such/volume");
  frm->Drive1->setCurrentIndex(frm->Drive1->count() - 1);
  frm->Drive1_Change();
  EXPECT_EQ(frm->Dir1->path(), "/");
  EXPECT_EQ(frm->Drive1->currentIndex(), root);
}

TEST_F(OpenDialog, AddRemoveAndPreviewActOnTheChosenRowOnly) {
  touch({"a.jpg", "b.jpg", "c.jpg"});
  frm->Dir1->setPath(folder);
  preview().log.clear();
  focusOnly(frm->File1, 1);
  frm->Command5_Click();
  EXPECT_EQ(frm->List1->count() + preview().count("LoadFile"), 0);
  frm->File1->setCurrentRow(1);  // chosen: previewed
  EXPECT_EQ(preview().log, QStringList{"LoadFile(" + full("b.jpg") + ",0,0,1)"});
  frm->Command5_Click();
  frm->File1_DblClick();  // the same as the button
  QTest::mouseClick(frm->Command5, Qt::LeftButton);
  EXPECT_EQ(selected(), QStringList(3, full("b.jpg")));  // no duplicate check
  focusOnly(frm->List1, 0);
  frm->Command6_Click();
  EXPECT_EQ(counts(), "3/3");
  frm->List1->setCurrentRow(2);
  frm->List1_DblClick();
  frm->Command6_Click();  // nothing is chosen after a removal
  EXPECT_EQ(counts(), "3/2");
  QTest::mouseClick(frm->Command4, Qt::LeftButton);
  EXPECT_EQ(counts(), "3/0");
  QTest::mouseClick(frm->Check1, Qt::LeftButton);  // preview off
  preview().log.clear();
  frm->File1->setCurrentRow(0);
  EXPECT_EQ(preview().count("LoadFile"), 0);
  // A file gone since it was listed fails quietly, even in an engine that raises.
  frm->Check1->setChecked(true);
  fs::remove(dir.path() / "c.jpg");
  frm->Engine1->setRaiseErrors(true);
  frm->File1->setCurrentRow(2);
  EXPECT_EQ(preview().count("LoadFile"), 1);
}

TEST_F(OpenDialog, PatternsChosenFromTheListOnly) {
  touch({"a.BMP", "b.pcx", "c.Tif", "d.jpg", "e.tga", "f.jpeg", "g.png"});
  frm->Dir1->setPath(folder);
  for (int i = 0; i < 3; ++i) frm->preparePatterns();
  QStringList entries;
  for (int i = 0; i < frm->FilePattern->count(); ++i) entries << frm->FilePattern->itemText(i);
  EXPECT_EQ(entries, (QStringList{"*.*", "*.BMP;*.PCX;*.TIF;*.JPG;*.TGA", "*.BMP", "*.PCX", "*.TIF",
                                  "*.JPG", "*.TGA"}));
  EXPECT_EQ(frm->FilePattern->currentText(), "*.BMP;*.PCX;*.TIF;*.TGA;*.JPG");
  EXPECT_EQ(frm->File1->count(), 5);
  frm->FilePattern_Click(1);  // the same files, JPG before TGA
  EXPECT_EQ(frm->File1->count(), 5);
  emit frm->FilePattern->activated(3);
  EXPECT_EQ(counts(), "1/0");
  // Typing, even an entry's text, filters nothing: not on Enter, not on leaving the box.
  frm->show();
  frm->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));  // focus moves in an active window only
  for (const char* typed : {"*.jpg", "*.TGA", "*.png"}) {
    frm->FilePattern->lineEdit()->setFocus();
    frm->FilePattern->lineEdit()->clear();
    QTest::keyClicks(frm->FilePattern->lineEdit(), typed);
    QTest::keyClick(frm->FilePattern->lineEdit(), Qt::Key_Return);
    frm->File1->setFocus();
    EXPECT_EQ(frm->File1->pattern(), "*.PCX") << typed;
  }
}

TEST_F(OpenDialog, OkCancelEscapeAndTheFrame) {
  touch({"a.jpg"});
  frm->Dir1->setPath(folder);
  frm->Command3_Click();
  const auto answer = [&](std::function<void()> how) {
    QTimer::singleShot(0, frm.get(), how);
    return frm->exec();
  };
  frm->SelectedCount = 5;
  EXPECT_EQ(answer([&] { QTest::mouseClick(frm->Command2, Qt::LeftButton); }), QDialog::Rejected);
  EXPECT_EQ(answer([&] { QTest::keyClick(frm.get(), Qt::Key_Escape); }), QDialog::Rejected);
  EXPECT_EQ(frm->SelectedCount, 0);
  EXPECT_EQ(context.PictureList(0) + context.StartFolder(), "oldunchanged");
  // Opened again, the selection is still there, and OK hands it over.
  EXPECT_EQ(answer([&] { frm->Command1_Click(); }), QDialog::Accepted);
  EXPECT_EQ(context.PictureList(0), full("a.jpg"));
  EXPECT_EQ(context.PictureList(1), "old");  // slots past the count are left alone
  EXPECT_EQ(context.StartFolder(), folder);
  EXPECT_EQ(frm->List1->count(), 1);  // kept for the next opening
  // OK with nothing selected only moves the start folder.
  frm->Command4_Click();
  frm->Dir1->setPath(folder + "/..");
  frm->Command1_Click();
  EXPECT_EQ(frm->SelectedCount, 0);
  EXPECT_EQ(context.PictureList(0), full("a.jpg"));
  EXPECT_EQ(context.StartFolder(), QFileInfo(folder).path());
  EXPECT_FALSE(frm->discarded());
  // The frame's close box cancels and discards the form.
  EXPECT_EQ(answer([&] { frm->close(); }), QDialog::Rejected);
  EXPECT_TRUE(frm->discarded());
}

using OpenCommandTest = ViewerTest;

TEST_F(OpenCommandTest, OkMakesANewListOfAtMostAThousandNamesOfAnyBytesAndTheFrameCancels) {
  start();
  useList(pictures({"a.bmp", "b.bmp"}, "before"));
  QStringList named{"my photo.bmp", QString::fromUtf8("图片.bmp")};
  // Never-valid bytes, a cut-off sequence, an overlong "/", an encoded
  // surrogate, a cut-off end, a 4-byte character then a bad byte.
  for (const QByteArray bytes :
       {"raw\xFF\xFE.bmp", "caf\xE9.bmp", "over \xC0\xAF.bmp", "sur \xED\xA0\x80.bmp",
        "tail \xE5\x9B.bmp", "\xF0\x9F\x93\xB7\xDC.bmp"}) {
    named << filenames::nameFromBytes(bytes);
    EXPECT_EQ(filenames::nameToBytes(named.last()), bytes);
  }
  named = pictures(
      named, filenames::nameFromBytes("\xE7\x9B\xB8\xE5\x86\x8C \xFE"));  // 相册 and a stray byte
  window->doFunc("list");
  withDialog<OpenFrm>("open", [&](OpenFrm& d) {
    ASSERT_TRUE(d.Dir1->setPath(QFileInfo(named[0]).path()));
    for (int i = 0; i < d.File1->count(); ++i)  // shown as well-formed text
      EXPECT_EQ(QString::fromUtf8(d.File1->item(i)->text().toUtf8()), d.File1->item(i)->text());
    for (int i = 0; i < 126; ++i) d.Command3_Click();  // 1008 names, eight files
    d.Command1_Click();
  });
  ASSERT_EQ(ctx().PictureCount(), 1000);
  EXPECT_EQ(ctx().PictureList(1000), "");
  EXPECT_EQ(window->PictureIndex(), 0);
  // The visible file list window is refilled.
  EXPECT_EQ(list()->List1->count(), 1000);
  EXPECT_EQ(list()->windowTitle(), "图象文件列表 共1000张");
  // Each name reaches the screen byte for byte (the title moves only when a load succeeds).
  QStringList shown;
  for (int i = 0; i < named.size(); ++i, window->doFunc("next")) {
    EXPECT_EQ(window->windowTitle(), ctx().PictureList(int16_t(i)));
    shown << window->windowTitle();
  }
  shown.sort();
  named.sort();
  EXPECT_EQ(shown, named);
  window->doFunc("end");
  EXPECT_EQ(list()->windowTitle(), "图像文件列表 第1000/1000张");
  EXPECT_EQ(window->windowTitle(), ctx().PictureList(999));
  withDialog<OpenFrm>("open", [](OpenFrm& d) { d.close(); });  // as Cancel; the dialog goes
  EXPECT_TRUE(ctx().PictureCount() == 1000 && !window->openDialog().loaded());
}

}  // namespace
