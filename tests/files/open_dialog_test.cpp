// The open dialog driven through its named controls and public handlers,
// on real folders, with the real control for its preview.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "app/spy_engine.h"
#include "base/viewer_context.h"
#include "engine/qt/file_names.h"
#include "files/OpenFrm.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

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

TEST_F(OpenDialog, NamedControlsTextsAndPlaceOnEveryShowing) {
  // clang-format off
  for (const char* name : {"Drive1", "Dir1", "File1", "List1", "FilePattern", "Check1", "Engine1",
       "Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8", "Label9",
       "Command1", "Command2", "Command3", "Command4", "Command5", "Command6"})
    // clang-format on
    EXPECT_NE(frm->findChild<QWidget*>(name), nullptr) << name;
  EXPECT_TRUE(frm->Check1->isChecked());
  EXPECT_FALSE(frm->Engine1->RaiseErrors());  // a preview never raises
  const auto text = [](QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    return qobject_cast<QAbstractButton*>(w)->text();
  };
  // clang-format off
  const struct { QWidget* w; QString zh, en; } rows[] = {
      {frm->Label2, "目录列表", "Directories"}, {frm->Label5, "文件列表", "File List"},
      {frm->Label4, "已选文件", "Selected Files"}, {frm->Label1, "驱动器", "Drive"},
      {frm->Label3, "文件类型", "File Type"}, {frm->Check1, "预览", "Preview"},
      {frm->Command1, "确认&O", "&OK"}, {frm->Command2, "取消&C", "&Cancel"},
      {frm->Label6, "待选文件个数：", "待选文件个数："}, {frm->Label8, "已选文件个数：", "已选文件个数："}};
  // clang-format on
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  for (int zh : {0, -3}) {
    context.setUseChinese(int16_t(zh));
    frm->SelectedCount = 7;
    frm->move(3, 4);  // dragged aside
    frm->show();
    for (const auto& r : rows) EXPECT_EQ(text(r.w), zh ? r.zh : r.en) << r.en.toStdString();
    QStringList tips;
    for (QPushButton* b :
         {frm->Command1, frm->Command2, frm->Command3, frm->Command4, frm->Command5, frm->Command6})
      tips << (b->icon().isNull() ? "no picture" : b->toolTip());
    EXPECT_EQ(tips, (QStringList{"确认选择", "取消退出", "全部添加", "全部清除", "增加", "剔除"}));
    EXPECT_EQ(frm->windowTitle(), "选择图像文件");
    EXPECT_EQ(frm->SelectedCount, 0);
    const QRect f = frm->frameGeometry();
    EXPECT_NEAR(f.x() + f.width() / 2.0, screen.x() + screen.width() / 2.0, 1.0);
    EXPECT_NEAR(f.y() + f.height() / 2.0, screen.y() + screen.height() / 2.0, 1.0);
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
  EXPECT_EQ(frm->SelectedCount, 1);
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

}  // namespace
