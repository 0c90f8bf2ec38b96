#include "engine/cache/file_identity.h"

#include <sys/stat.h>

namespace zelmar {

bool identifyFile(const std::string& path, FileIdentity& out) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  const auto ns = [](const timespec& t) { return int64_t(t.tv_sec) * 1'000'000'000 + t.tv_nsec; };
  out = {path, st.st_dev, st.st_ino, int64_t(st.st_size), ns(st.st_mtim), ns(st.st_ctim)};
  return true;
}

}  // namespace zelmar
