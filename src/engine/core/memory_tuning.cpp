#include "engine/core/memory_tuning.h"

#include <cstdlib>  // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zelmar {

bool tuneMemoryForPictures() {
  static const bool tuned = [] {
#if defined(__GLIBC__)
    // Setting the thresholds also stops glibc from moving them by itself.
    return mallopt(M_MMAP_THRESHOLD, kReusedBlockBytes) == 1 &&
           mallopt(M_TRIM_THRESHOLD, kKeptFreeBytes) == 1 && mallopt(M_ARENA_MAX, kArenas) == 1;
#else
    return false;
#endif
  }();
  return tuned;
}

}  // namespace zelmar
