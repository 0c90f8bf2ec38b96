#pragma once
// The main window: the menus, the imaging control filling the client area,
// the slide show timer and the picture position. The commands live in
// their subsystems and act on it through the public members below.
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>

#include "engine/qt/image_engine.h"
#include "ui/menu_tree.h"

class QTimer;
class ListFrm;

class picfrm : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the window and runs its load: settings, captions, the first
  // picture list from `commandLine` (one path, or empty) or the remembered
  // folder, the first picture, menu states, centring and layout.
  explicit picfrm(const QString& commandLine = QString());
  ~picfrm() override;

  ImageEngine* Engine1 = nullptr;
  QTimer* Timer1 = nullptr;
  int16_t PictureIndex = 0;

  // Picture display.
  int16_t ShowPicture(int16_t index);
  int16_t ShowPicture1(const QString& Fname);
  void LayoutPicture();
  static float SingleMax(float s1, float s2) { return s1 <= s2 ? s2 : s1; }

  // Runs the command of a tool bar key ("next", "slide", ...); other keys do nothing.
  void doFunc(const QString& id);

  // Menu items and menus by name; null for an unknown name.
  QAction* action(const QString& name) const { return menus_.items.value(name); }
  QMenu* menu(const QString& name) const { return menus_.menus.value(name); }
  const ui::MenuActions& menus() const { return menus_; }
  // Runs a menu item's command exactly as a click on it does.
  void runCommand(const QString& name);
  void setCommand(const QString& name, std::function<void()> handler);

  // The other windows, each created on first use and kept until unloaded.
  ListFrm* listForm();
  bool listFormLoaded() const { return !listForm_.isNull(); }
  void unloadListForm();
  QWidget* toolWindow() const { return toolWindow_; }
  void setToolWindow(QWidget* w) { toolWindow_ = w; }
  QWidget* openWindow() const { return openWindow_; }
  void setOpenWindow(QWidget* w) { openWindow_ = w; }

  // True when the load was started with a picture path (menus hidden).
  bool embedded() const { return embedded_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void load(const QString& commandLine);
  int16_t display(const QString* name);
  void unloadForms();

  ui::MenuActions menus_;
  QHash<QString, std::function<void()>> commands_;
  QWidget* client_ = nullptr;
  int16_t EffectPhase = 0;
  bool embedded_ = false;
  QPointer<ListFrm> listForm_;
  QPointer<QWidget> toolWindow_;
  QPointer<QWidget> openWindow_;
};

namespace Module1 {
// The start procedure: loads picfrm, shows it and then the tool bar window.
std::unique_ptr<picfrm> Main(const QString& commandLine);
// The command line as one path: the arguments joined by blanks, made
// absolute against the working folder.
QString commandLineFrom(const QStringList& arguments);
// The process arguments with every byte of a file name kept (Qt's own
// decoding replaces bytes that are not UTF-8).
QStringList argumentsFrom(int argc, char** argv);
}  // namespace Module1
