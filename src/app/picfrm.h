#pragma once
// The main window: the menus, the imaging control filling the client area
// with a margin, and the viewer context every command works on. It owns the
// other windows' holders and unloads them in order when it closes.
#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <memory>

#include "base/commands.h"
#include "base/picture_display.h"
#include "base/viewer_context.h"
#include "browse/SlideShow.h"
#include "browse/list_window.h"
#include "files/open_command.h"
#include "ui/ToolFrm.h"

class QTimer;

class picfrm : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the window and runs its load: settings, captions, the first
  // picture list from `commandLine` (one path, or empty) or the remembered
  // folder, the first picture, menu states, centring and layout. Every
  // engine comes from `factory` (empty: the real control).
  explicit picfrm(const QString& commandLine = QString(), ImageEngineFactory factory = {});
  ~picfrm() override;

  ViewerContext& context() { return context_; }
  ImageEngine* Engine1 = nullptr;
  QTimer* Timer1 = nullptr;
  int16_t PictureIndex() const { return context_.PictureIndex(); }

  int16_t ShowPicture(int16_t index) { return context_.display().ShowPicture(index); }
  int16_t ShowPicture1(const QString& Fname) { return context_.display().ShowPicture1(Fname); }
  static float SingleMax(float s1, float s2) { return s1 <= s2 ? s2 : s1; }
  void LayoutPicture();

  // Runs the command of a tool bar key ("next", "slide", ...), compared
  // without regard to case; other keys do nothing.
  void doFunc(const QString& id);
  QAction* action(Command c) const { return context_.action(c); }
  // Runs a menu item's command exactly as a click on it does; a command
  // that does not exist yet does nothing (its item is greyed).
  void runCommand(Command c);
  bool hasCommand(Command c) const;

  // The other windows, each created on first use and kept until unloaded.
  LazyWindow<ToolFrm>& toolWindow() { return tool_; }
  browse::ListWindow& listWindow() { return list_; }
  files::OpenDialog& openDialog() { return open_; }
  browse::SlideShow& slideShow() { return *slides_; }

  // True when the load was started with a picture path (menus hidden).
  bool embedded() const { return embedded_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void load(const QString& commandLine);
  ToolFrm* makeToolFrm();

  ViewerContext context_;
  QWidget* client_ = nullptr;
  LazyWindow<ToolFrm> tool_;
  browse::ListWindow list_;
  files::OpenDialog open_;
  std::unique_ptr<browse::SlideShow> slides_;
  bool embedded_ = false;
};

namespace app {
// The start procedure: loads picfrm, shows it and then the tool bar window.
std::unique_ptr<picfrm> Main(const QString& commandLine, ImageEngineFactory factory = {});
// The command line as one path: the arguments after the program's name
// joined by blanks, made absolute against the working folder.
QString commandLineFrom(const QStringList& arguments);
// The process arguments with every byte of a file name kept (Qt's own
// decoding replaces bytes that are not UTF-8).
QStringList argumentsFrom(int argc, char** argv);
}  // namespace app
