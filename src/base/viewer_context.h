#pragma once
// The viewer's shared state: the picture list and position, the language,
// the folders, the main engine and the menu actions, with a signal on every
// change. picfrm owns one and hands it to every command and window; tests
// build their own. Members keep the names the behaviour is known by.
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>

#include "base/commands.h"
#include "base/prompt.h"
#include "engine/qt/engine_factory.h"

class PictureDisplay;
class QAction;

class ViewerContext : public QObject {
  Q_OBJECT

 public:
  static constexpr int kListSlots = 1001;        // slots 0..1000
  static constexpr int16_t kMaxPictures = 1000;  // slot 1000 stays empty

  // `factory` makes every engine of the viewer; empty: the real control.
  explicit ViewerContext(ImageEngineFactory factory = {});
  ~ViewerContext() override;

  // The picture list: full paths in list order, names kept byte for byte
  // (see file_names.h). Only slots below PictureCount are valid; the others
  // may hold names of an earlier, longer list.
  const QString& PictureList(int slot) const { return list_[size_t(slot)]; }
  // Overwrites slots 0.. with at most kMaxPictures of `names`, leaving the
  // slots above as they were; returns how many were taken.
  int16_t fillPictureList(const QStringList& names);
  int16_t PictureCount() const { return count_; }
  // Makes the filled slots the current list: emits pictureListChanged even
  // when the count stays the same.
  void setPictureCount(int16_t count);

  // 0-based position of the picture on screen.
  int16_t PictureIndex() const { return index_; }
  void setPictureIndex(int16_t index);

  // Nonzero selects the Chinese texts.
  int16_t UseChinese() const { return useChinese_; }
  bool chinese() const { return useChinese_ != 0; }
  void setUseChinese(int16_t value);

  // The folder of the picture list (remembered in the settings file) and
  // the program's own folder, the fallback start folder.
  const QString& StartFolder() const { return startFolder_; }
  void setStartFolder(const QString& folder) { startFolder_ = folder; }
  const QString& AppFolder() const { return appFolder_; }
  void setAppFolder(const QString& folder) { appFolder_ = folder; }

  // The main window's engine, and new engines for other windows (previews).
  ImageEngine* Engine1() const { return engine1_; }
  void setEngine1(ImageEngine* engine) { engine1_ = engine; }
  ImageEngine* makeEngine(QWidget* parent) const;

  // Menu actions by command. setActions throws std::logic_error unless
  // every command has exactly its own action (a programming error).
  QAction* action(Command c) const { return actions_[size_t(c)]; }
  const CommandActions& actions() const { return actions_; }
  void setActions(const CommandActions& actions);

  // Putting pictures on screen.
  PictureDisplay& display() { return *display_; }
  // Message boxes and pop-up menus.
  Prompter& prompt() { return prompt_; }

 signals:
  void pictureListChanged();
  void pictureIndexChanged(int16_t index);
  void languageChanged(int16_t useChinese);

 private:
  std::array<QString, kListSlots> list_;
  int16_t count_ = 0;
  int16_t index_ = 0;
  int16_t useChinese_ = 0;
  QString startFolder_, appFolder_;
  ImageEngineFactory factory_;
  ImageEngine* engine1_ = nullptr;
  CommandActions actions_{};
  std::unique_ptr<PictureDisplay> display_;
  Prompter prompt_;
};
