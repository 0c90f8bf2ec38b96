#include "engine/codecs/jpeg_markers.h"

#include <algorithm>
#include <cstring>

namespace zelmar::jpeg {
namespace {

constexpr uint8_t kSoi = 0xD8, kEoi = 0xD9, kSos = 0xDA, kApp1 = 0xE1, kApp14 = 0xEE;
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;

bool startsWith(Bytes data, const char* text, size_t n) {
  return data.size() >= n && std::memcmp(data.data(), text, n) == 0;
}

// Markers that stand alone, without a length.
bool standalone(uint8_t m) { return m == 0x01 || (m >= 0xD0 && m <= 0xD7) || m == kSoi; }

// Start-of-frame markers: every coding process, not DHT (C4), JPG (C8) or DAC (CC).
bool isFrame(uint8_t m) { return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC; }

// The first component's samples over the fewest any other component has.
int chromaShare(Bytes frame) {
  if (frame.size() < 6 || frame[5] < 2) return 1;
  const size_t count = std::min<size_t>(frame[5], (frame.size() - 6) / 3);
  auto samples = [&](size_t c) { return (frame[7 + 3 * c] >> 4) * (frame[7 + 3 * c] & 15); };
  int fewest = 0;
  for (size_t c = 1; c < count; ++c)
    if (samples(c) > 0 && (fewest == 0 || samples(c) < fewest)) fewest = samples(c);
  return fewest > 0 ? std::max(1, samples(0) / fewest) : 1;
}

// A ByteReader that follows the block's own byte order.
struct OrderedReader {
  ByteReader r;
  bool bigEndian;
  bool u16(uint16_t& v) { return bigEndian ? r.u16be(v) : r.u16le(v); }
  bool u32(uint32_t& v) { return bigEndian ? r.u32be(v) : r.u32le(v); }
};

}  // namespace

int exifOrientation(Bytes block) {
  bool bigEndian;
  if (startsWith(block, "II", 2))
    bigEndian = false;
  else if (startsWith(block, "MM", 2))
    bigEndian = true;
  else
    return 1;
  OrderedReader in{ByteReader(block), bigEndian};
  uint16_t magic, entries;
  uint32_t ifd;
  if (!in.r.skip(2) || !in.u16(magic) || magic != 42 || !in.u32(ifd) || !in.r.seek(ifd) ||
      !in.u16(entries))
    return 1;
  for (uint16_t i = 0; i < entries; ++i) {
    uint16_t tag, type, value;
    uint32_t count;
    // Each entry is 12 bytes: tag, type, count, then a 4-byte value field
    // whose first two bytes hold a SHORT value.
    if (!in.u16(tag) || !in.u16(type) || !in.u32(count) || !in.u16(value) || !in.r.skip(2))
      return 1;
    if (tag != kOrientationTag) continue;
    if (type != kTypeShort || count < 1 || value < 1 || value > 8) return 1;
    return value;
  }
  return 1;
}

MarkerInfo scanMarkers(Bytes jpeg) {
  MarkerInfo info;
  bool sawExif = false;
  ByteReader in(jpeg);
  uint8_t b0, b1;
  if (!in.u8(b0) || !in.u8(b1) || b0 != 0xFF || b1 != kSoi) return info;
  for (;;) {
    uint8_t b, marker;
    // Stray bytes before a marker are skipped, as libjpeg does (it only warns).
    do {
      if (!in.u8(b)) return info;
    } while (b != 0xFF);
    do {  // any number of fill bytes may precede a marker code
      if (!in.u8(marker)) return info;
    } while (marker == 0xFF);
    if (marker == kEoi) return info;
    if (standalone(marker)) continue;
    uint16_t length;
    Bytes payload;
    if (!in.u16be(length) || length < 2 || !in.take(length - 2u, payload)) return info;
    if (marker == kSos) {
      info.scanData = in.pos();
      return info;
    }
    if (isFrame(marker)) {
      info.chromaShare = chromaShare(payload);
    } else if (marker == kApp1 && !sawExif && startsWith(payload, "Exif\0\0", 6)) {
      sawExif = true;  // only the first EXIF segment counts, as in cameras' files
      info.orientation = exifOrientation(payload.subspan(6));
    } else if (marker == kApp14 && startsWith(payload, "Adobe", 5)) {
      info.adobe = true;
    }
  }
}

}  // namespace zelmar::jpeg
