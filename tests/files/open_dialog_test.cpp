// The open dialog driven through its named controls and public handlers,
// on real folders of real files.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/module1.h"
#include "app/recording_engine.h"
#include "app/units.h"
#include "engine/qt/engine_factory.h"
#include "engine/qt/file_names.h"
#include "files/OpenFrm.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using zelmar::test::TempDir;

namespace {

const QString kStartupPattern = "*.jpg;*.bmp;*.pcx;*.tif;*.tga;*.jpeg";

class OpenDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    Module1::UseChinese = 1;
    Module1::PictureCount = 0;
    Module1::StartFolder = "unchanged";
    for (QString& s : Module1::PictureList) s = "old";
    folder = filenames::fromFsPath(fs::canonical(dir.path()));
    RecordingEngine::install();
    frm = std::make_unique<OpenFrm>();
    engine = dynamic_cast<RecordingEngine*>(frm->Engine1);
  }
  void TearDown() override {
    frm.reset();
    RecordingEngine::uninstall();
  }
  QString load(const QString& path) const { return QString("LoadFile(%1,0,0,1)").arg(path); }

  void touch(const std::string& name) { std::ofstream(dir.path() / name) << "x"; }
  void touchAll(std::initializer_list<const char*> names) {
    for (const char* n : names) touch(n);
  }
  QString full(const QString& name) const { return folder + "/" + name; }

  QStringList selected() const {
    QStringList out;
    for (int i = 0; i < frm->List1->count(); ++i) out << frm->List1->item(i)->text();
    return out;
  }
  void expectCounts(int files, int chosen) const {
    EXPECT_EQ(frm->Label7->text(), QString::number(files));
    EXPECT_EQ(frm->Label9->text(), QString::number(chosen));
  }

  TempDir dir;
  QString folder;
  std::unique_ptr<OpenFrm> frm;
  RecordingEngine* engine = nullptr;  // the dialog's own, owned by it
};

TEST_F(OpenDialog, LoadsWithNamedControlsAtTheirDesignPlaces) {
  EXPECT_EQ(frm->SelectedCount, 0);
  EXPECT_EQ(frm->List1->count(), 0);
  EXPECT_TRUE(frm->Check1->isChecked());
  EXPECT_TRUE(frm->FilePattern->isEditable());
  EXPECT_EQ(frm->FilePattern->currentText(), "*.*");
  EXPECT_EQ(frm->File1->pattern(), "*.*");
  ASSERT_NE(engine, nullptr);
  EXPECT_FALSE(frm->Engine1->RaiseErrors());

  const char* names[] = {"Drive1", "Dir1", "File1", "List1", "FilePattern", "Check1", "Engine1",
                         "Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7",
                         "Label8", "Label9", "Command1", "Command2", "Command3", "Command4",
                         "Command5", "Command6"};
  for (const char* name : names) EXPECT_NE(frm->findChild<QWidget*>(name), nullptr) << name;

  // Twips (1/1440 inch) become pixels at the screen's resolution.
  const double perTwip = units::screenDpi() / 1440;
  EXPECT_NEAR(frm->List1->x(), 5520 * perTwip, 1);
  EXPECT_NEAR(frm->List1->width(), 3000 * perTwip, 1);
  // Everything fits in the window.
  for (QWidget* w : frm->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    EXPECT_TRUE(frm->rect().contains(w->geometry())) << w->objectName().toStdString();
}

TEST_F(OpenDialog, CaptionsFollowTheLanguageButSomeTextsStayChinese) {
  struct Row {
    QWidget* w;
    QString zh, en;
  };
  const auto text = [](QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    return qobject_cast<QAbstractButton*>(w)->text();
  };
  const std::vector<Row> rows = {
      {frm->Label2, "目录列表", "Directories"}, {frm->Label5, "文件列表", "File List"},
      {frm->Label4, "已选文件", "Selected Files"}, {frm->Label1, "驱动器", "Drive"},
      {frm->Label3, "文件类型", "File Type"},   {frm->Check1, "预览", "Preview"},
      {frm->Command1, "确认&O", "&OK"},        {frm->Command2, "取消&C", "&Cancel"}};
  for (int zh : {1, 0, -3}) {
    SCOPED_TRACE(zh);
    Module1::UseChinese = int16_t(zh);
    frm->setCaptions();
    for (const Row& r : rows) EXPECT_EQ(text(r.w), zh ? r.zh : r.en) << r.w->objectName().toStdString();
    EXPECT_EQ(frm->windowTitle(), "选择图像文件");
    EXPECT_EQ(frm->Label6->text(), "待选文件个数：");
    EXPECT_EQ(frm->Label8->text(), "已选文件个数：");
    EXPECT_EQ(frm->Command5->toolTip(), "增加");
    EXPECT_EQ(frm->Command6->toolTip(), "剔除");
    EXPECT_EQ(frm->Command3->toolTip(), "全部添加");
    EXPECT_EQ(frm->Command4->toolTip(), "全部清除");
    EXPECT_EQ(frm->Command1->toolTip(), "确认选择");
    EXPECT_EQ(frm->Command2->toolTip(), "取消退出");
  }
  EXPECT_TRUE(frm->Label6->alignment() & Qt::AlignRight);
  EXPECT_TRUE(frm->Label8->alignment() & Qt::AlignRight);
}

TEST_F(OpenDialog, ShowingAppliesCaptionsResetsTheCountAndCentres) {
  Module1::UseChinese = 0;
  frm->SelectedCount = 7;
  frm->move(0, 0);
  frm->show();
  EXPECT_EQ(frm->Label2->text(), "Directories");
  EXPECT_EQ(frm->SelectedCount, 0);
  const QPoint shown = frm->pos();
  frm->move(3, 4);
  Module1::CenterForm(frm.get());
  EXPECT_EQ(frm->pos(), shown);
  frm->hide();
}

TEST_F(OpenDialog, FolderChangeListsItsFilesAndUpdatesBothCounts) {
  touchAll({"b.jpg", "A.BMP", "c.txt", ".hidden.jpg"});
  ASSERT_TRUE(frm->Dir1->setPath(folder));
  EXPECT_EQ(frm->File1->path(), folder);
  EXPECT_EQ(frm->File1->count(), 3);
  expectCounts(3, 0);

  const int before = frm->File1->count();
  EXPECT_FALSE(frm->Dir1->setPath(folder + "/does not exist"));
  EXPECT_EQ(frm->Dir1->path(), folder);
  EXPECT_EQ(frm->File1->count(), before);
}

TEST_F(OpenDialog, AddOneNeedsASelectionAndKeepsDuplicates) {
  touchAll({"a.jpg", "b.jpg"});
  frm->Dir1->setPath(folder);
  frm->File1->setCurrentRow(-1);
  frm->Command5_Click();
  EXPECT_EQ(frm->List1->count(), 0);

  frm->File1->setCurrentRow(1);
  frm->Command5_Click();
  frm->File1_DblClick();  // the same as the button
  QTest::mouseClick(frm->Command5, Qt::LeftButton);
  EXPECT_EQ(selected(), QStringList(3, full("b.jpg")));
  expectCounts(2, 3);

  frm->Command1_Click();
  EXPECT_EQ(frm->SelectedCount, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Module1::PictureList[size_t(i)], full("b.jpg"));
  EXPECT_EQ(Module1::PictureList[3], "old");  // slots past the count are left alone
}

TEST_F(OpenDialog, AddAllAppendsInListOrderFromSeveralFolders) {
  touchAll({"b.jpg", "A.jpg"});
  fs::create_directory(dir.path() / "sub");
  std::ofstream(dir.path() / "sub" / "z.jpg") << "x";

  frm->Dir1->setPath(folder + "/sub");
  frm->Command3_Click();
  frm->Dir1->setPath(folder);
  QTest::mouseClick(frm->Command3, Qt::LeftButton);
  EXPECT_EQ(selected(), (QStringList{folder + "/sub/z.jpg", full("A.jpg"), full("b.jpg")}));
  expectCounts(2, 3);

  // An empty folder adds nothing and leaves the counts as they were.
  fs::create_directory(dir.path() / "empty");
  frm->Dir1->setPath(folder + "/empty");
  expectCounts(0, 3);
  frm->Command3_Click();
  EXPECT_EQ(frm->List1->count(), 3);
}

TEST_F(OpenDialog, RemoveAndClear) {
  touchAll({"a.jpg", "b.jpg", "c.jpg"});
  frm->Dir1->setPath(folder);
  frm->Command3_Click();

  frm->List1->setCurrentRow(-1);
  frm->Command6_Click();
  EXPECT_EQ(frm->List1->count(), 3);

  frm->List1->setCurrentRow(1);
  frm->Command6_Click();
  EXPECT_EQ(selected(), (QStringList{full("a.jpg"), full("c.jpg")}));
  expectCounts(3, 2);
  frm->Command6_Click();  // nothing is selected after a removal
  EXPECT_EQ(frm->List1->count(), 2);
  frm->List1->setCurrentRow(0);
  frm->List1_DblClick();
  EXPECT_EQ(selected(), QStringList{full("c.jpg")});

  QTest::mouseClick(frm->Command4, Qt::LeftButton);
  EXPECT_EQ(frm->List1->count(), 0);
  expectCounts(3, 0);
  frm->Label9->setText("marker");
  frm->Command4_Click();  // an empty list is left alone
  EXPECT_EQ(frm->Label9->text(), "marker");
}

TEST_F(OpenDialog, OkTakesAtMostAThousandInOrder) {
  for (int i = 0; i < 1200; ++i) touch(QString("p%1.jpg").arg(i, 4, 10, QChar('0')).toStdString());
  Module1::PictureList[1000] = "slot 1000";
  frm->Dir1->setPath(folder);
  frm->Command3_Click();
  ASSERT_EQ(frm->List1->count(), 1200);
  expectCounts(1200, 1200);

  frm->Command1_Click();
  EXPECT_EQ(frm->SelectedCount, 1000);
  EXPECT_EQ(Module1::PictureList[0], full("p0000.jpg"));
  EXPECT_EQ(Module1::PictureList[999], full("p0999.jpg"));
  EXPECT_EQ(Module1::PictureList[1000], "slot 1000");
  EXPECT_EQ(Module1::StartFolder, folder);
  EXPECT_EQ(frm->List1->count(), 1200);  // kept for the next opening
}

TEST_F(OpenDialog, OkWithAnEmptyListOnlyMovesTheStartFolder) {
  frm->Dir1->setPath(folder);
  frm->Command1_Click();
  EXPECT_EQ(frm->SelectedCount, 0);
  EXPECT_EQ(Module1::StartFolder, folder);
  EXPECT_EQ(Module1::PictureList[0], "old");
}

TEST_F(OpenDialog, CancelKeepsTheSelectionButNotThePictureList) {
  touchAll({"a.jpg"});
  frm->Dir1->setPath(folder);
  frm->Command3_Click();
  QTimer::singleShot(0, frm.get(), [this] { QTest::mouseClick(frm->Command2, Qt::LeftButton); });
  EXPECT_EQ(frm->exec(), QDialog::Rejected);
  EXPECT_EQ(frm->SelectedCount, 0);
  EXPECT_EQ(Module1::PictureList[0], "old");
  EXPECT_EQ(Module1::StartFolder, "unchanged");
  EXPECT_FALSE(frm->discarded());

  // Opened again: still selected, and OK hands it over.
  QTimer::singleShot(0, frm.get(), [this] {
    EXPECT_EQ(frm->List1->count(), 1);
    frm->Command1_Click();
  });
  EXPECT_EQ(frm->exec(), QDialog::Accepted);
  EXPECT_EQ(frm->SelectedCount, 1);
  EXPECT_EQ(Module1::PictureList[0], full("a.jpg"));
}

TEST_F(OpenDialog, EscapeActsAsCancel) {
  frm->SelectedCount = 5;
  QTimer::singleShot(0, frm.get(), [this] { QTest::keyClick(frm.get(), Qt::Key_Escape); });
  EXPECT_EQ(frm->exec(), QDialog::Rejected);
  EXPECT_EQ(frm->SelectedCount, 0);
  EXPECT_FALSE(frm->discarded());
}

TEST_F(OpenDialog, ClosingByTheFrameCancelsAndDiscardsTheForm) {
  touchAll({"a.jpg"});
  frm->Dir1->setPath(folder);
  frm->Command3_Click();
  QSignalSpy spy(frm.get(), &OpenFrm::discardedByUser);
  QTimer::singleShot(0, frm.get(), [this] { frm->close(); });
  EXPECT_EQ(frm->exec(), QDialog::Rejected);
  EXPECT_FALSE(frm->isVisible());
  EXPECT_EQ(frm->SelectedCount, 0);
  EXPECT_TRUE(frm->discarded());
  EXPECT_EQ(spy.count(), 1);
  EXPECT_EQ(Module1::PictureList[0], "old");
  EXPECT_EQ(Module1::StartFolder, "unchanged");
}

TEST_F(OpenDialog, PatternListAndInitialPattern) {
  touchAll({"a.BMP", "b.pcx", "c.Tif", "d.jpg", "e.tga", "f.jpeg", "g.png"});
  frm->Dir1->setPath(folder);
  for (int i = 0; i < 3; ++i) frm->preparePatterns();
  const QStringList expected{"*.*",   "*.BMP;*.PCX;*.TIF;*.JPG;*.TGA", "*.BMP", "*.PCX",
                             "*.TIF", "*.JPG",                         "*.TGA"};
  ASSERT_EQ(frm->FilePattern->count(), 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(frm->FilePattern->itemText(i), expected[i]);
  EXPECT_EQ(frm->FilePattern->currentText(), "*.BMP;*.PCX;*.TIF;*.TGA;*.JPG");
  EXPECT_EQ(frm->File1->pattern(), "*.BMP;*.PCX;*.TIF;*.TGA;*.JPG");
  const int initialCount = frm->File1->count();
  EXPECT_EQ(initialCount, 5);

  // The list's own entry with JPG before TGA lists the same files.
  frm->FilePattern_Click(1);
  EXPECT_EQ(frm->File1->count(), initialCount);
  frm->FilePattern_Click(3);
  EXPECT_EQ(frm->File1->count(), 1);
  EXPECT_EQ(frm->File1->fileName(0), "b.pcx");
  EXPECT_EQ(frm->Label7->text(), "1");
  emit frm->FilePattern->activated(0);
  EXPECT_EQ(frm->File1->count(), 7);

  // Typing a pattern filters nothing.
  frm->FilePattern->lineEdit()->clear();
  QTest::keyClicks(frm->FilePattern->lineEdit(), "*.png");
  QTest::keyClick(frm->FilePattern->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(frm->File1->pattern(), "*.*");
  EXPECT_EQ(frm->FilePattern->count(), 7);
}

TEST_F(OpenDialog, PreviewLoadsTheClickedFileWhileChecked) {
  touchAll({"a.jpg", "b.jpg"});
  frm->Dir1->setPath(folder);
  engine->clearLog();

  frm->File1->setCurrentRow(1);
  EXPECT_EQ(engine->calls(), QStringList{load(full("b.jpg"))});

  frm->Command3_Click();
  frm->List1->setCurrentRow(0);
  EXPECT_EQ(engine->calls("LoadFile"), (QStringList{load(full("b.jpg")), load(full("a.jpg"))}));

  // Removing and clearing leave the preview alone.
  frm->Command6_Click();
  frm->Command4_Click();
  EXPECT_EQ(engine->count("LoadFile"), 2);
  QTest::mouseClick(frm->Check1, Qt::LeftButton);
  ASSERT_FALSE(frm->Check1->isChecked());
  frm->File1->setCurrentRow(0);
  frm->File1_Click();
  EXPECT_EQ(engine->count("LoadFile"), 2);
}

TEST_F(OpenDialog, PreviewOfAVanishedFileFailsQuietly) {
  touchAll({"gone.jpg"});
  frm->Dir1->setPath(folder);
  fs::remove(dir.path() / "gone.jpg");
  engine->clearLog();
  frm->File1->setCurrentRow(0);  // the engine fails; nothing escapes
  EXPECT_EQ(engine->calls(), QStringList{load(full("gone.jpg"))});
  // Even an engine that raises its errors is kept quiet.
  engine->setRaiseErrors(true);
  engine->failOperation("LoadFile");
  frm->File1_Click();
  EXPECT_EQ(engine->count("LoadFile"), 2);
}

TEST_F(OpenDialog, WorksWithoutAnEngine) {
  setImageEngineFactory([](QWidget*) { return static_cast<ImageEngine*>(nullptr); });
  OpenFrm bare;
  EXPECT_EQ(bare.Engine1, nullptr);
  touchAll({"a.jpg"});
  bare.Dir1->setPath(folder);
  bare.File1->setCurrentRow(0);
  bare.Command5_Click();
  EXPECT_EQ(bare.List1->count(), 1);
}

TEST_F(OpenDialog, NamesWithBlanksChineseAndStrayBytesOpen) {
  const std::string names[] = {"my photo.jpg", "\xE5\x9B\xBE\xE7\x89\x87 1.jpg", "raw\xFF\xFE.jpg"};
  for (const std::string& n : names) touch(n);
  fs::create_directory(dir.path() / "\xE7\x9B\xB8\xE5\x86\x8C\xFF");
  std::ofstream(dir.path() / "\xE7\x9B\xB8\xE5\x86\x8C\xFF" / "x y.jpg") << "x";

  frm->Dir1->setPath(folder);
  frm->Command3_Click();
  frm->Dir1->setPath(filenames::fromFsPath(fs::canonical(dir.path()) / "\xE7\x9B\xB8\xE5\x86\x8C\xFF"));
  frm->Command3_Click();
  frm->Command1_Click();
  ASSERT_EQ(frm->SelectedCount, 4);
  for (int i = 0; i < 4; ++i) {
    const fs::path p = filenames::toFsPath(Module1::PictureList[size_t(i)]);
    EXPECT_TRUE(std::ifstream(p).good()) << p;
  }
  // The preview engine gets the same exact path.
  engine->clearLog();
  frm->List1->setCurrentRow(0);
  ASSERT_EQ(engine->count("LoadFile"), 1);
  EXPECT_TRUE(fs::is_regular_file(filenames::toFsPath(engine->log.back().args[0].toString())));
}

TEST_F(OpenDialog, StartUpDrivesTheHiddenForm) {
  touchAll({"b.JPG", "a.jpeg", "c.png", "d.TGA"});
  ASSERT_TRUE(frm->Dir1->setPath(folder + "/"));
  frm->File1->setPattern(kStartupPattern);
  frm->Command3_Click();
  frm->Command1_Click();
  EXPECT_FALSE(frm->isVisible());
  EXPECT_EQ(frm->SelectedCount, 3);
  EXPECT_EQ(Module1::PictureList[0], full("a.jpeg"));
  EXPECT_EQ(Module1::PictureList[1], full("b.JPG"));
  EXPECT_EQ(Module1::PictureList[2], full("d.TGA"));
  EXPECT_EQ(Module1::StartFolder, folder);  // without a trailing "/"
  EXPECT_EQ(frm->List1->count(), 3);        // listed as selected at the first opening
}

TEST_F(OpenDialog, AFolderOfFiveThousandFiles) {
  for (int i = 0; i < 5000; ++i) touch("f" + std::to_string(i) + ".jpg");
  frm->Dir1->setPath(folder);
  expectCounts(5000, 0);
  frm->Command3_Click();
  frm->Command1_Click();
  EXPECT_EQ(frm->SelectedCount, 1000);
}

TEST_F(OpenDialog, DriveChoicePointsTheFolderList) {
  frm->Dir1->setPath(folder);
  const int root = frm->Drive1->findData(QStringLiteral("/"));
  ASSERT_GE(root, 0);
  frm->Drive1->setCurrentIndex(root);
  frm->Drive1_Change();
  EXPECT_EQ(frm->Dir1->path(), "/");
  EXPECT_EQ(frm->File1->path(), "/");

  // A drive that cannot be read keeps the folder and the previous choice.
  frm->Drive1->addItem("gone", "/no/such/volume");
  frm->Drive1->setCurrentIndex(frm->Drive1->count() - 1);
  frm->Drive1_Change();
  EXPECT_EQ(frm->Dir1->path(), "/");
  EXPECT_EQ(frm->Drive1->currentIndex(), root);
}

}  // namespace
