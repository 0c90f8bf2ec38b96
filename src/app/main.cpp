// zelmar: the picture viewer. One optional argument, the path of a picture.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "app/picfrm.h"
#include "engine/core/memory_tuning.h"

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::printf(
        "Usage: zelmar [PICTURE]\n"
        "A picture viewer. Without an argument it lists the pictures of the folder\n"
        "last browsed; with the path of a picture it lists that picture's folder,\n"
        "shows the picture and hides the menus.\n\n"
        "  --help     show this text and exit\n"
        "  --version  show the version and exit\n");
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("zelmar %s\n", ZELMAR_VERSION);
    return 0;
  }
  zelmar::tuneMemoryForPictures();
  // The arguments are one picture path, taken before Qt sees them: Qt gets
  // the program's name alone, so none of its own options (-style, -reverse,
  // -platform ...) is taken out of the path or applied.
  const QString commandLine = app::commandLineFrom(app::argumentsFrom(argc, argv));
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  QApplication::setApplicationName(QStringLiteral("zelmar"));
  auto window = app::Main(commandLine);
  if (!window->Engine1) {
    std::fprintf(stderr, "zelmar: the imaging control is missing from this build\n");
    return 1;
  }
  return application.exec();
}
