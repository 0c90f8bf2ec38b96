#include "engine/codecs/tiff_directory.h"

#include <algorithm>
#include <cstdint>

#include "engine/core/checked.h"

namespace zelmar::tiff {
namespace {

constexpr uint16_t kEssential[] = {258, 273, 279, 320, 324, 325, 338, 347, 530, 532};

unsigned typeSize(uint16_t type) {
  switch (type) {
    case 1:
    case 2:
    case 6:
    case 7:
      return 1;
    case 3:
    case 8:
      return 2;
    case 4:
    case 9:
    case 11:
    case 13:
      return 4;
    case 5:
    case 10:
    case 12:
    case 16:
    case 17:
    case 18:
      return 8;
    default:
      return 0;  // unknown types are libtiff's to judge
  }
}

}  // namespace

bool essentialTagsFit(Bytes data) {
  if (data.size() < 8 || data[2] == 43 || data[3] == 43) return true;
  const bool be = data[0] == 'M';
  ByteReader in(data);
  auto u16 = [&](uint16_t& v) { return be ? in.u16be(v) : in.u16le(v); };
  auto u32 = [&](uint32_t& v) { return be ? in.u32be(v) : in.u32le(v); };
  uint16_t entries;
  uint32_t ifd;
  // A directory libtiff cannot reach is its own error to report.
  if (!in.seek(4) || !u32(ifd) || !in.seek(ifd) || !u16(entries)) return true;
  for (uint16_t i = 0; i < entries; ++i) {
    uint16_t tag, type;
    uint32_t count, offset;
    if (!u16(tag) || !u16(type) || !u32(count) || !u32(offset)) return true;
    if (std::find(std::begin(kEssential), std::end(kEssential), tag) == std::end(kEssential))
      continue;
    const auto bytes = checkedMul(count, typeSize(type));
    if (!bytes || *bytes <= 4) continue;  // held in the entry itself
    const auto end = checkedAdd(offset, *bytes);
    if (!end || *end > data.size()) return false;
  }
  return true;
}

}  // namespace zelmar::tiff
