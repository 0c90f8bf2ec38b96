#pragma once
// The realistic material every codec benchmark runs on: the project's
// shared 24-megapixel photo (a camera-like JPEG), read and decoded once.
// ZELMAR_PHOTO names another file; without one the program stops, since a
// generated picture would flatter every figure.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/io/file_io.h"
#include "engine/io/formats.h"

namespace zelmar::bench {

inline std::string sharedPhotoPath() {
  const char* chosen = std::getenv("ZELMAR_PHOTO");
  return chosen ? chosen : ZELMAR_SHARED_PHOTO;
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
