#pragma once
// The open dialog: walk drives and folders, filter by a pattern, preview a
// file, and gather files from any folders into the list that OK turns into
// the picture list. Start-up drives it hidden through the same public
// operations (folder, pattern, add all, OK).
#include <QDialog>
#include <QStringList>
#include <cstdint>

#include "files/DriveList.h"
#include "files/FileList.h"
#include "files/FolderList.h"

class ImageEngine;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class ViewerContext;

class OpenFrm : public QDialog {
  Q_OBJECT

 public:
  // Loading: captions in the context's language, SelectedCount = 0, List1
  // empty. The preview engine comes from the context's factory.
  explicit OpenFrm(ViewerContext& context, QWidget* owner = nullptr);

  DriveList* Drive1;
  FolderList* Dir1;
  FileList* File1;
  QListWidget* List1;
  QComboBox* FilePattern;
  QCheckBox* Check1;
  ImageEngine* Engine1;  // may be null when no engine can be made: no preview then
  QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
  QPushButton *Command1, *Command2, *Command3, *Command4, *Command5, *Command6;

  // Files the last OK handed over; 0 after Cancel and on every showing.
  int16_t SelectedCount = 0;

  // The add, remove and preview handlers act on the selected (highlighted)
  // row, never on a row that merely has the keyboard focus.
  void Command1_Click();  // OK: at most 1000 names into the picture list
  void Command2_Click();  // Cancel
  void Command3_Click();  // add every file of File1
  void Command4_Click();  // clear List1
  void Command5_Click();  // add File1's selected file
  void Command6_Click();  // remove List1's selected entry

  void Drive1_Change();
  void Dir1_Change();
  void FilePattern_Click(int index);
  void File1_Click();
  void File1_DblClick() { Command5_Click(); }
  void List1_Click();
  void List1_DblClick() { Command6_Click(); }

  // What the open command does before showing the dialog: the seven
  // patterns in the drop-down (once each, however often it runs) and the
  // initial pattern "*.BMP;*.PCX;*.TIF;*.TGA;*.JPG" in the box and File1.
  void preparePatterns();
  static const QStringList& patternEntries();

  // Applies the captions of the current language.
  void setCaptions();

  // True once the user closed the window by its frame. That close acts as
  // Cancel and discards the form: the owner destroys this instance after
  // the modal display returns and creates a fresh one when next needed.
  bool discarded() const { return discarded_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 public slots:
  void reject() override;  // Escape, as Cancel

 private:
  void buildControls();
  void connectControls();
  void layoutEngine();
  void updateCounts();
  void addToList(const QStringList& paths);
  QString listPath(int row) const;  // the full path behind a row of List1
  QString selectedFilePath() const;
  static int selectedRow(const QListWidget* list);
  void preview(const QString& path);

  ViewerContext& context_;
  bool discarded_ = false;
  int lastDrive_ = -1;
};
