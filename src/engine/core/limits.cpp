#include "engine/core/limits.h"

#include <string>

#include "engine/core/checked.h"

namespace zelmar {

Status checkDimensions(uint64_t width, uint64_t height, const Limits& limits) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width == 0 || height == 0) return {ErrorCode::BadDimensions, size};
  if (width > limits.maxDimension || height > limits.maxDimension)
    return {ErrorCode::LimitExceeded, size};
  auto pixels = checkedMul(width, height);
  if (!pixels || *pixels > limits.maxPixels) return {ErrorCode::LimitExceeded, size};
  return {};
}

}  // namespace zelmar
