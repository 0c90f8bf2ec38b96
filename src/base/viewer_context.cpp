#include "base/viewer_context.h"

#include <QAction>
#include <algorithm>
#include <stdexcept>

#include "base/picture_display.h"

ViewerContext::ViewerContext(ImageEngineFactory factory)
    : factory_(factory ? std::move(factory) : ImageEngineFactory(createDefaultImageEngine)),
      display_(std::make_unique<PictureDisplay>(*this)) {}

ViewerContext::~ViewerContext() = default;

int16_t ViewerContext::fillPictureList(const QStringList& names) {
  const int n = std::min<int>(int(names.size()), kMaxPictures);
  std::copy_n(names.begin(), n, list_.begin());
  return int16_t(n);
}

void ViewerContext::setPictureCount(int16_t count) {
  count_ = count;
  emit pictureListChanged();
}

void ViewerContext::setPictureIndex(int16_t index) {
  if (index_ == index) return;
  index_ = index;
  emit pictureIndexChanged(index);
}

void ViewerContext::setUseChinese(int16_t value) {
  if (useChinese_ == value) return;
  useChinese_ = value;
  emit languageChanged(value);
}

ImageEngine* ViewerContext::makeEngine(QWidget* parent) const { return factory_(parent); }

void ViewerContext::setActions(const CommandActions& actions) {
  for (int i = 0; i < kCommandCount; ++i) {
    const QString name = commandName(Command(i));
    if (!actions[size_t(i)] || actions[size_t(i)]->objectName() != name)
      throw std::logic_error("no menu item for the command " + name.toStdString());
  }
  actions_ = actions;
}
