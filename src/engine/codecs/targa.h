#pragma once
#include "engine/codecs/codec.h"

ZELMAR_DECLARE_CODEC(targa)
