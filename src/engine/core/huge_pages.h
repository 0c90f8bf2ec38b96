#pragma once
// Large picture and file buffers are written once, front to back. Asking
// the kernel to back them with huge pages roughly halves the cost of that
// first touch (one fault and one zeroing per 2 MB instead of per 4 KB).
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zelmar {

// A hint only: failures and small buffers are ignored.
inline void adviseHugePages(void* p, size_t bytes) {
  constexpr size_t kMinBytes = size_t(4) << 20, kPage = 4096;
  if (bytes < kMinBytes) return;
  const uintptr_t begin = (uintptr_t(p) + kPage - 1) & ~uintptr_t(kPage - 1);
  const uintptr_t end = (uintptr_t(p) + bytes) & ~uintptr_t(kPage - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// A block for bytes that are about to be written whole: nothing clears it
// first, and large ones ask for huge pages. Throws std::bad_alloc.
inline std::unique_ptr<uint8_t[]> uninitialisedBlock(size_t bytes) {
  auto block = std::make_unique_for_overwrite<uint8_t[]>(bytes);
  adviseHugePages(block.get(), bytes);
  return block;
}

}  // namespace zelmar
