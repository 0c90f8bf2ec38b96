#include "files/save_as.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <filesystem>

#include "base/absorb.h"
#include "base/viewer_context.h"
#include "engine/qt/engine_codes.h"
#include "engine/qt/file_names.h"
#include "files/message.h"

namespace files {
namespace {

namespace codes = engine_codes;

// The dialog's types, numbered from 1. Each description ends in its pattern
// in brackets, which is how Qt's dialog reads a name filter.
const QStringList& saveTypes() {
  static const QStringList types{
      QStringLiteral("All Files (*.*)"),  QStringLiteral("Bitmap(*.BMP)"),
      QStringLiteral("ZSoft PCX(*.PCX)"), QStringLiteral("TIFF(*.TIF)"),
      QStringLiteral("JPEG(*.JPG)"),      QStringLiteral("TARGA(*.TGA)"),
      QStringLiteral("CMP(*.CMP)")};
  return types;
}

// All Files and anything out of range save as a bitmap.
int16_t formatOfType(int typeIndex) {
  switch (typeIndex - 1) {
    case 2:
      return codes::kSavePcx;
    case 3:
      return codes::kSaveTiff;
    case 4:
      return codes::kSaveJpeg;
    case 5:
      return codes::kSaveTarga;
    case 6:
      return codes::kSaveCmp;
    default:
      return codes::kSaveBmp;
  }
}

QLineEdit* nameBox(QFileDialog& d) {
  return d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

// The name box starts with the shown file's path. Qt cannot enter a folder
// whose name is not UTF-8; the whole path then goes into the box, which the
// dialog takes as it is.
void preselectName(QFileDialog& d, const QString& caption) {
  const QFileInfo info(caption);
  std::error_code ec;
  QLineEdit* box = nameBox(d);
  if (box && info.isAbsolute() && !QFileInfo(info.path()).isDir() &&
      std::filesystem::is_directory(filenames::toFsPath(info.path()), ec)) {
    box->setText(caption);
    return;
  }
  d.selectFile(caption);
}

// Picking a type leaves the typed name alone: Qt's dialog would put the
// type's extension in ("All Files" would make "photo.*"), and here the type
// alone decides the format.
void keepNameOnTypeChange(QFileDialog& d) {
  auto* types = d.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  QLineEdit* box = nameBox(d);
  if (!types || !box) return;
  QObject::disconnect(types, &QComboBox::activated, &d, nullptr);
  QObject::connect(types, &QComboBox::activated, &d, [&d, types, box](int index) {
    const QString typed = box->text();
    d.selectNameFilter(types->itemText(index));
    box->setText(typed);
  });
}

// Qt's dialog asks before replacing a file only when it sees it, and it
// cannot see a name that is not UTF-8: ask here for those.
bool replaceAllowed(ViewerContext& context, QFileDialog& d, const QString& name) {
  std::error_code ec;
  if (QFileInfo::exists(name) || !std::filesystem::exists(filenames::toFsPath(name), ec))
    return true;
  QMessageBox box(QMessageBox::Warning, d.windowTitle(),
                  QFileDialog::tr("%1 already exists.\nDo you want to replace it?")
                      .arg(filenames::displayName(QFileInfo(name).fileName())),
                  QMessageBox::Yes | QMessageBox::No, d.parentWidget());
  box.setDefaultButton(QMessageBox::No);
  return context.prompt().exec(box) == QMessageBox::Yes;
}

}  // namespace

void idm_save(ViewerContext& context, QWidget* owner) {
  QFileDialog dialog(owner, QStringLiteral("保存图象对话框"));  // Chinese in both languages
  dialog.setObjectName(QStringLiteral("CommonDialog1"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);  // asks before overwriting
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(saveTypes());
  dialog.selectNameFilter(saveTypes()[1]);
  preselectName(dialog, owner ? owner->windowTitle() : QString());
  keepNameOnTypeChange(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const int16_t format = formatOfType(int(saveTypes().indexOf(dialog.selectedNameFilter())) + 1);
  const QString name = dialog.selectedFiles().first();
  if (!replaceAllowed(context, dialog, name)) return;

  ErrorAbsorber absorb;
  if (ImageEngine* engine = context.Engine1()) {
    BusyCursor busy;
    absorb.run([&] { return engine->SaveFile(name, format, engine->BitsPerPixel(), 64, false); });
  } else {
    absorb.record(ErrorAbsorber::kUnknown);
  }
  if (!absorb.failed()) return;
  tell(context, owner, QMessageBox::Information, u"It does not support this format",
       u"不能存为这种格式");
}

}  // namespace files
