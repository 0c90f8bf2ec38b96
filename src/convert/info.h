#pragma once
// The facts `--info` prints about a loaded file.
#include <string>

#include "engine/codecs/codec.h"

namespace zelmar::convert {

// Twelve "Name: value" lines, in the order scripts rely on.
std::string formatInfo(const Decoded& loaded);

}  // namespace zelmar::convert
