// The main window's load and the start procedure.
#include <QAction>
#include <QCoreApplication>
#include <QDir>

#include "app/picfrm.h"
#include "app/settings.h"
#include "base/paths.h"
#include "base/picture_display.h"
#include "base/placement.h"
#include "engine/qt/file_names.h"
#include "ui/menu_tree.h"

namespace {

// Where the named file stands in the new list, so next goes on from it.
int16_t positionInList(const ViewerContext& context, const QString& path) {
  const QString wanted = QDir::cleanPath(path.trimmed());
  for (int16_t i = 0; i < context.PictureCount(); ++i)
    if (QDir::cleanPath(context.PictureList(i)) == wanted) return i;
  return 0;
}

}  // namespace

void picfrm::load(const QString& commandLine) {
  app::ReadSettings(context_);
  context_.setAppFolder(QCoreApplication::applicationDirPath());
  ui::setMenuLang(context_.actions(), context_.chinese());
  const QString path = commandLine.trimmed();
  const bool startedWithPath = !path.isEmpty();
  if (startedWithPath) context_.setStartFolder(FolderOfPath(path));
  if (!context_.StartFolder().isEmpty()) {
    // The design's pattern, then the formats read beyond it.
    context_.setPictureCount(
        open_.buildStartList(QStringLiteral("*.jpg;*.bmp;*.pcx;*.tif;*.tga;*.jpeg;"
                                            "*.png;*.gif;*.webp;*.heic;*.heif;*.avif")));
    if (context_.PictureCount() >= 1 && startedWithPath) {
      embedded_ = true;
      for (Command menu : {Command::idm_File, Command::idm_display, Command::idm_processing})
        action(menu)->setVisible(false);
      ShowPicture1(commandLine);
      context_.setPictureIndex(positionInList(context_, commandLine));
    } else {
      ShowPicture(0);
    }
  }
  if (action(Command::idm_fit)->isChecked()) {
    for (Command zoom : {Command::idm_zoomin, Command::idm_zoomout, Command::idm_origin})
      action(zoom)->setEnabled(false);
  }
  context_.display().resetEffectPhase();
  action(Command::idm_stop)->setEnabled(false);
  CenterForm(this);
  LayoutPicture();
}

namespace app {

std::unique_ptr<picfrm> Main(const QString& commandLine, ImageEngineFactory factory) {
  auto w = std::make_unique<picfrm>(commandLine, std::move(factory));
  w->show();
  w->toolWindow().get()->show();
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

}  // namespace app
