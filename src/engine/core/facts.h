#pragma once
// What a load tells about the file a picture came from.
#include <cstdint>
#include <string>

namespace zelmar {

// Load format codes (the same codes name formats when saving).
namespace format {
inline constexpr int kPcx = 1;
inline constexpr int kTiff = 3;
inline constexpr int kTarga = 4;
inline constexpr int kCmp = 5;
inline constexpr int kBmp = 6;
inline constexpr int kJpeg444 = 10;  // also grey JPEG
inline constexpr int kTiffJpeg444 = 11;
inline constexpr int kJpeg420 = 21;  // also 4:1:1; the code JPEG is saved with
inline constexpr int kTiffJpeg420 = 22;
inline constexpr int kJpeg422 = 23;
inline constexpr int kTiffJpeg422 = 24;
inline constexpr int kTiffCmyk = 85;
inline constexpr int kTiffYcbcr = 93;
// Formats read beyond the control's own table.
inline constexpr int kPng = 200;
inline constexpr int kGif = 201;
inline constexpr int kWebP = 202;
inline constexpr int kHeif = 203;
inline constexpr int kAvif = 204;
}  // namespace format

struct FileFacts {
  int fileFormat = 0;        // a format code above
  int originBits = 0;        // bits per pixel as stored (e.g. 16, 32, 48 for 16-bit RGB)
  uint32_t originWidth = 0;  // as stored, before any orientation is applied
  uint32_t originHeight = 0;
  uint64_t fileSize = 0;    // bytes on disk
  std::string compression;  // "None", "RLE", "LZW", "JPEG", "zstd"...
  int pageCount = 1;
};

}  // namespace zelmar
