#pragma once
// Which file a path names right now, and which version of it: a picture
// decoded earlier may stand in for a new load only while all of this is
// unchanged.
#include <sys/types.h>

#include <cstdint>
#include <string>

namespace zelmar {

struct FileIdentity {
  std::string path;  // the bytes the caller passed
  dev_t device = 0;
  ino_t inode = 0;
  int64_t size = 0;
  int64_t modifiedNs = 0, changedNs = 0;
  bool operator==(const FileIdentity&) const = default;
};

// Fills `out` for a regular file; false when `path` names none.
bool identifyFile(const std::string& path, FileIdentity& out);

}  // namespace zelmar
