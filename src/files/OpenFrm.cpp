#include "files/OpenFrm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <filesystem>

#include "base/placement.h"
#include "base/viewer_context.h"
#include "engine/qt/file_names.h"
#include "files/dir_entries.h"

OpenFrm::OpenFrm(ViewerContext& context, QWidget* owner) : QDialog(owner), context_(context) {
  buildControls();
  connectControls();
  Engine1 = context_.makeEngine(this);
  if (Engine1) {
    // A file that cannot be previewed is simply not shown.
    Engine1->setRaiseErrors(false);
    Engine1->widget()->setObjectName(QStringLiteral("Engine1"));
  }
  layoutEngine();
  setCaptions();
  SelectedCount = 0;
  List1->clear();
  // The lists start where the program was started, as a fresh file box does.
  std::error_code ec;
  const QString working = filenames::fromFsPath(std::filesystem::current_path(ec));
  for (const QString& start : {working, QDir::homePath(), QStringLiteral("/")})
    if (Dir1->setPath(start)) break;
}

void OpenFrm::connectControls() {
  connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });
  connect(Dir1, &FolderList::pathChanged, this, [this] { Dir1_Change(); });
  connect(FilePattern, &QComboBox::activated, this, &OpenFrm::FilePattern_Click);
  connect(File1, &QListWidget::itemSelectionChanged, this, [this] { File1_Click(); });
  connect(File1, &QListWidget::itemDoubleClicked, this, [this] { File1_DblClick(); });
  connect(List1, &QListWidget::itemSelectionChanged, this, [this] { List1_Click(); });
  connect(List1, &QListWidget::itemDoubleClicked, this, [this] { List1_DblClick(); });
  connect(Command1, &QPushButton::clicked, this, &OpenFrm::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &OpenFrm::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &OpenFrm::Command3_Click);
  connect(Command4, &QPushButton::clicked, this, &OpenFrm::Command4_Click);
  connect(Command5, &QPushButton::clicked, this, &OpenFrm::Command5_Click);
  connect(Command6, &QPushButton::clicked, this, &OpenFrm::Command6_Click);
}

const QStringList& OpenFrm::patternEntries() {
  static const QStringList entries{
      QStringLiteral("*.*"),   QStringLiteral("*.BMP;*.PCX;*.TIF;*.JPG;*.TGA"),
      QStringLiteral("*.BMP"), QStringLiteral("*.PCX"),
      QStringLiteral("*.TIF"), QStringLiteral("*.JPG"),
      QStringLiteral("*.TGA")};
  return entries;
}

void OpenFrm::preparePatterns() {
  FilePattern->clear();
  FilePattern->addItems(patternEntries());
  // Not one of the entries: TGA comes before JPG here.
  const QString initial = QStringLiteral("*.BMP;*.PCX;*.TIF;*.TGA;*.JPG");
  FilePattern->setEditText(initial);
  File1->setPattern(initial);
}

void OpenFrm::updateCounts() {
  Label7->setText(QString::number(File1->count()));
  Label9->setText(QString::number(List1->count()));
}

void OpenFrm::Drive1_Change() {
  if (Dir1->setPath(Drive1->drive())) {
    lastDrive_ = Drive1->currentIndex();
  } else {
    // A volume that cannot be read keeps the previous one.
    const QSignalBlocker quiet(Drive1);
    Drive1->setCurrentIndex(lastDrive_);
  }
}

void OpenFrm::Dir1_Change() {
  File1->setPath(Dir1->path());
  updateCounts();
  Drive1->showDriveOf(Dir1->path());
  lastDrive_ = Drive1->currentIndex();
}

void OpenFrm::FilePattern_Click(int index) {
  if (index < 0 || index >= FilePattern->count()) return;
  File1->setPattern(FilePattern->itemText(index));
  // The count would otherwise go on showing the previous pattern's files.
  updateCounts();
}

int OpenFrm::selectedRow(const QListWidget* list) {
  const QList<QListWidgetItem*> chosen = list->selectedItems();
  return chosen.isEmpty() ? -1 : list->row(chosen.first());
}

QString OpenFrm::selectedFilePath() const {
  const int row = selectedRow(File1);
  if (row < 0) return {};
  return files::joinPath(File1->path(), File1->fileName(row));
}

void OpenFrm::preview(const QString& path) {
  if (!Engine1 || !Check1->isChecked() || path.isEmpty()) return;
  try {
    Engine1->LoadFile(path, 0, 0, 1);
  } catch (const EngineError&) {
    // Errors are off for this engine; a stray one still must not escape.
  }
}

void OpenFrm::File1_Click() { preview(selectedFilePath()); }

void OpenFrm::List1_Click() {
  const int row = selectedRow(List1);
  if (row >= 0) preview(listPath(row));
}

void OpenFrm::Command5_Click() {
  const QString path = selectedFilePath();
  if (path.isEmpty()) return;
  addToList(QStringList{path});
  updateCounts();
}

void OpenFrm::Command3_Click() {
  if (File1->count() == 0) return;
  QStringList paths;
  paths.reserve(File1->count());
  for (int i = 0; i < File1->count(); ++i)
    paths << files::joinPath(File1->path(), File1->fileName(i));
  addToList(paths);
  updateCounts();
}

void OpenFrm::addToList(const QStringList& paths) {
  List1->setUpdatesEnabled(false);
  for (const QString& path : paths) {
    auto* item = new QListWidgetItem(filenames::displayName(path), List1);
    item->setData(Qt::UserRole, path);
  }
  List1->setUpdatesEnabled(true);
}

QString OpenFrm::listPath(int row) const {
  const QListWidgetItem* item = List1->item(row);
  return item ? item->data(Qt::UserRole).toString() : QString();
}

void OpenFrm::Command6_Click() {
  const int row = selectedRow(List1);
  if (row < 0) return;
  {
    // Nothing is selected afterwards; the row that moves up is neither
    // chosen nor previewed until clicked.
    const QSignalBlocker quiet(List1);
    delete List1->takeItem(row);
    List1->setCurrentRow(-1);
  }
  updateCounts();
}

void OpenFrm::Command4_Click() {
  if (List1->count() == 0) return;
  List1->clear();
  updateCounts();
}

void OpenFrm::Command1_Click() {
  QStringList names;
  names.reserve(List1->count());
  for (int i = 0; i < List1->count(); ++i) names << listPath(i);
  SelectedCount = names.isEmpty() ? int16_t(0) : context_.fillPictureList(names);
  context_.setStartFolder(File1->path());
  done(QDialog::Accepted);
}

void OpenFrm::Command2_Click() {
  SelectedCount = 0;
  done(QDialog::Rejected);
}

void OpenFrm::reject() { Command2_Click(); }

void OpenFrm::showEvent(QShowEvent* event) {
  setCaptions();
  SelectedCount = 0;
  QDialog::showEvent(event);
  CenterForm(this);
}

void OpenFrm::closeEvent(QCloseEvent* event) {
  discarded_ = true;
  Command2_Click();
  event->accept();
}
