#pragma once
// The realistic material the benchmarks run on: the project's shared
// 24-megapixel photo (a camera-like JPEG), read and decoded once. It is
// shared/bench/photo-24mp.jpg beside the checkout, or in a folder above the
// program (a worktree's build finds it there); ZELMAR_PHOTO names another
// file. Without one the program stops, since a generated picture would
// flatter every figure.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/io/file_io.h"
#include "engine/io/formats.h"

namespace zelmar::bench {

inline std::string sharedPhotoPath() {
  if (const char* chosen = std::getenv("ZELMAR_PHOTO")) return chosen;
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(ZELMAR_SHARED_PHOTO, ec)) return ZELMAR_SHARED_PHOTO;
  for (fs::path dir = fs::read_symlink("/proc/self/exe", ec).parent_path();
       !ec && dir.has_relative_path(); dir = dir.parent_path())
    if (fs::exists(dir / "shared/bench/photo-24mp.jpg", ec))
      return (dir / "shared/bench/photo-24mp.jpg").string();
  return ZELMAR_SHARED_PHOTO;  // missing: named in the error
}

// The photo's JPEG file as stored.
inline const std::vector<uint8_t>& sharedPhotoFile() {
  static const std::vector<uint8_t> file = [] {
    std::vector<uint8_t> bytes;
    if (!readFileBytes(sharedPhotoPath(), bytes).ok()) {
      std::fprintf(stderr, "cannot read the benchmark photo %s (set ZELMAR_PHOTO)\n",
                   sharedPhotoPath().c_str());
      std::exit(1);
    }
    return bytes;
  }();
  return file;
}

// Its pixels, 24-bit.
inline const Picture& sharedPhoto() {
  static const Picture photo = [] {
    Decoded d;
    if (!decodeAny(Bytes(sharedPhotoFile().data(), sharedPhotoFile().size()), ".jpg", {}, d).ok()) {
      std::fprintf(stderr, "cannot decode the benchmark photo %s\n", sharedPhotoPath().c_str());
      std::exit(1);
    }
    return std::move(d.picture);
  }();
  return photo;
}

}  // namespace zelmar::bench
