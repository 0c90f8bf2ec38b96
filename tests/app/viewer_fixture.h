#pragma once
// Shared set-up of every test that starts the viewer: its own settings
// folder, fresh globals, the recording engine, and message boxes answered
// without an event loop.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <memory>
#include <ostream>

#include "app/picfrm.h"
#include "app/recording_engine.h"
#include "support/temp_dir.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& s, std::ostream* os) {
  *os << "{\"" << s.join("\", \"").toStdString() << "\"}";
}

class ViewerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts picfrm (its load runs) and returns the engine it got.
  picfrm& start(const QString& commandLine = QString());
  RecordingEngine& engine() { return *static_cast<RecordingEngine*>(window->Engine1); }

  // Puts `count` names into the picture list (files created in `pictures`).
  void setList(int count);
  QString pictureFile(const QString& name);  // creates it (a few bytes)
  // A real 24-bit BMP of that size in `folder`.
  static QString realPicture(const QString& folder, const QString& name, int width = 8,
                             int height = 6);
  QString picturesDir() const;

  QString configDir() const;
  QString settingsText() const;
  void writeSettings(const QByteArray& bytes);

  zelmar::test::TempDir config;
  zelmar::test::TempDir pictures;
  std::unique_ptr<picfrm> window;
  // Message boxes shown, as "title|text", and the answer given to the next ones.
  QStringList messages;
  QMessageBox::StandardButton answer = QMessageBox::Yes;
};
