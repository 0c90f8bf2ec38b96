#include "engine/qt/engine_factory.h"

namespace {
ImageEngineFactory& currentFactory() {
  static ImageEngineFactory factory;
  return factory;
}
}  // namespace

ImageEngine* createImageEngine(QWidget* parent) {
  if (currentFactory()) return currentFactory()(parent);
  return createDefaultImageEngine(parent);
}

void setImageEngineFactory(ImageEngineFactory factory) { currentFactory() = std::move(factory); }
