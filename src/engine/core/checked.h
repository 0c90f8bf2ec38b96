#pragma once
// Size arithmetic that cannot wrap: every product or sum of sizes taken from
// a file goes through these before anything is allocated.
#include <cstdint>
#include <optional>

namespace zelmar {

inline std::optional<uint64_t> checkedMul(uint64_t a, uint64_t b) {
  uint64_t r;
  if (__builtin_mul_overflow(a, b, &r)) return std::nullopt;
  return r;
}

inline std::optional<uint64_t> checkedMul(uint64_t a, uint64_t b, uint64_t c) {
  auto ab = checkedMul(a, b);
  if (!ab) return std::nullopt;
  return checkedMul(*ab, c);
}

inline std::optional<uint64_t> checkedAdd(uint64_t a, uint64_t b) {
  uint64_t r;
  if (__builtin_add_overflow(a, b, &r)) return std::nullopt;
  return r;
}

}  // namespace zelmar
