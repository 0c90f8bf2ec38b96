#include "engine/qt/image_engine.h"
