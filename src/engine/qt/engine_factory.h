#pragma once
// How the viewer gets its engines: a factory it is handed (tests hand in a
// recording control), by default the real control.
#include <functional>

#include "engine/qt/image_engine.h"

// A new engine widget owned by `parent`.
using ImageEngineFactory = std::function<ImageEngine*(QWidget* parent)>;

// The real control (defined with it).
ImageEngine* createDefaultImageEngine(QWidget* parent);
