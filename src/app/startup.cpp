// The main window's load and the start procedure.
#include <QAction>
#include <QCoreApplication>
#include <QDir>

#include "app/module1.h"
#include "app/paths.h"
#include "app/picfrm.h"
#include "app/settings.h"
#include "engine/qt/file_names.h"
#include "files/open_command.h"
#include "ui/tool_window.h"

namespace {

// Where the named file stands in the new list, so next goes on from it.
int16_t positionInList(const QString& path) {
  const QString wanted = QDir::cleanPath(path.trimmed());
  for (int16_t i = 0; i < Module1::PictureCount; ++i)
    if (QDir::cleanPath(Module1::PictureList[size_t(i)]) == wanted) return i;
  return 0;
}

}  // namespace

void picfrm::load(const QString& commandLine) {
  Module1::ReadSettings();
  Module1::AppFolder = QCoreApplication::applicationDirPath();
  ui::setMenuLang(menus_);
  const QString path = commandLine.trimmed();
  const bool startedWithPath = !path.isEmpty();
  if (startedWithPath) Module1::StartFolder = Module1::FolderOfPath(path);
  if (!Module1::StartFolder.isEmpty()) {
    Module1::PictureCount =
        files::buildStartList(*this, QStringLiteral("*.jpg;*.bmp;*.pcx;*.tif;*.tga;*.jpeg"));
    if (Module1::PictureCount >= 1 && startedWithPath) {
      embedded_ = true;
      for (const char* name : {"idm_File", "idm_display", "idm_processing"})
        action(name)->setVisible(false);
      ShowPicture1(commandLine);
      PictureIndex = positionInList(commandLine);
    } else {
      ShowPicture(0);
    }
  }
  if (action("idm_fit")->isChecked()) {
    for (const char* name : {"idm_zoomin", "idm_zoomout", "idm_origin"})
      action(name)->setEnabled(false);
  }
  EffectPhase = 0;
  action("idm_stop")->setEnabled(false);
  Module1::CenterForm(this);
  LayoutPicture();
}

namespace Module1 {

std::unique_ptr<picfrm> Main(const QString& commandLine) {
  auto w = std::make_unique<picfrm>(commandLine);
  w->show();
  ui::showToolWindow(*w);
  return w;
}

QString commandLineFrom(const QStringList& arguments) {
  const QString joined = arguments.mid(1).join(' ');
  const QString path = joined.trimmed();
  if (path.isEmpty() || !QDir::isRelativePath(path)) return joined;
  return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

QStringList argumentsFrom(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << filenames::nameFromBytes(QByteArray(argv[i]));
  return arguments;
}

}  // namespace Module1
