#pragma once
// Where the viewer gets its engines from. Tests swap the factory for a
// recording double; the default creates the real control.
#include <functional>

#include "engine/qt/image_engine.h"

using ImageEngineFactory = std::function<ImageEngine*(QWidget* parent)>;

// A new engine widget owned by `parent`.
ImageEngine* createImageEngine(QWidget* parent);

// Replaces the factory; an empty function restores the real control.
void setImageEngineFactory(ImageEngineFactory factory);

// The real control (defined with it).
ImageEngine* createDefaultImageEngine(QWidget* parent);
