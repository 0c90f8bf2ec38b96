#pragma once
// The viewer started on its own settings folder and real pictures, the
// control wrapped in a call log, message boxes answered and recorded.
#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>
#include <filesystem>
#include <memory>

#include "app/picfrm.h"
#include "app/spy_engine.h"
#include "engine/io/file_io.h"
#include "engine/qt/file_names.h"
#include "support/pictures.h"
#include "support/temp_dir.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

// Whether the outer frame of `w` is centred on the primary screen.
inline bool centred(const QWidget& w) {
  const QPoint c = QGuiApplication::primaryScreen()->geometry().center();
  return (w.frameGeometry().center() - c).manhattanLength() <= 2;
}

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override { qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path())); }
  void TearDown() override {
    window.reset();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // no command leaves the busy cursor
  }

  // Starts the viewer as the start procedure does (window and tool bar
  // shown); `show` false only loads the main window.
  void start(const QString& commandLine = {}, bool show = true) {
    window = show ? app::Main(commandLine, SpyEngine::make)
                  : std::make_unique<picfrm>(commandLine, SpyEngine::make);
    ctx().prompt().setMessageHook([this](QMessageBox& box) {
      messages << box.windowTitle() + "|" + box.text();
      return answer;
    });
  }
  ViewerContext& ctx() { return window->context(); }
  SpyEngine& spy() { return *static_cast<SpyEngine*>(window->Engine1); }
  // Clicks the menu item of that name.
  void click(const QString& name) {
    for (QAction* a : ctx().actions())
      if (a->objectName() == name) a->trigger();
  }
  // Runs `command` (a menu item's name or a tool key) with `inside` driving
  // the modal dialog D it shows; one left open is rejected, as Cancel would.
  template <typename D>
  void withDialog(const QString& command, std::function<void(D&)> inside) {
    QTimer::singleShot(0, [inside] {
      auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
      ASSERT_NE(d, nullptr);
      inside(*d);
      if (d->isVisible()) d->reject();
    });
    command.startsWith("idm_") ? click(command) : window->doFunc(command);
  }
  ToolFrm* tool() { return window->toolWindow().ifLoaded(); }
  ListFrm* list() { return window->listWindow().ifLoaded(); }

  QString path(const QString& name) const {
    return QString::fromStdString(files.path().string()) + "/" + name;
  }
  // Real BMP pictures named `names` (any bytes, see file_names.h) in
  // `folder` under `files`, 8, 9, 10 ... pixels wide.
  QStringList pictures(const QStringList& names, const QString& folder = "pics") {
    QStringList out;
    std::filesystem::create_directories(filenames::toFsPath(path(folder)));
    for (const QString& name : names) {
      out << path(folder + "/" + name);
      const auto picture = zelmar::test::makePattern(uint32_t(7 + out.size()), 6, 24);
      const auto file = filenames::nameToBytes(out.last()).toStdString();
      EXPECT_TRUE(zelmar::savePicture(picture, file, 6, 0, 64, false).ok());
    }
    return out;
  }
  // Makes `paths` the picture list, as the open command does.
  void useList(const QStringList& paths) {
    ctx().fillPictureList(paths);
    ctx().setPictureCount(int16_t(paths.size()));
  }
  QString settingsPath() const { return QString::fromStdString(config.file("zelmar32.ini")); }
  void writeSettings(const QByteArray& bytes) {
    QFile f(settingsPath());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
  }
  QByteArray settingsBytes() const {
    QFile f(settingsPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  zelmar::test::TempDir config, files;
  std::unique_ptr<picfrm> window;
  QStringList messages;  // "title|text" of every message box shown
  QMessageBox::StandardButton answer = QMessageBox::Yes;
};
