#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/codecs/packed_rows.h"
#include "engine/codecs/pcx.h"
#include "engine/codecs/pcx_layout.h"
#include "engine/codecs/pcx_rle.h"

namespace zelmar::pcx {
namespace {

void writeHeader(const Picture& pic, int bitsPerPlane, int planes, size_t bytesPerLine,
                 OutputBuffer& out) {
  const uint8_t start[4] = {kMaker, 5 /* version with the 256-colour palette */, 1 /* RLE */,
                            uint8_t(bitsPerPlane)};
  out.append(start, 4);
  out.put16le(0);
  out.put16le(0);
  out.put16le(uint16_t(pic.width() - 1));
  out.put16le(uint16_t(pic.height() - 1));
  out.put16le(72);
  out.put16le(72);
  uint8_t palette[48] = {};
  if (pic.bits() == 1 || pic.bits() == 4) {
    uint8_t* p = palette;
    for (const Rgb& c : pic.palette()) {
      *p++ = c.r;
      *p++ = c.g;
      *p++ = c.b;
    }
  }
  out.append(palette, sizeof palette);
  out.put8(0);
  out.put8(uint8_t(planes));
  out.put16le(uint16_t(bytesPerLine));
  out.put16le(1);  // colour palette
  const uint8_t filler[58] = {};
  out.append(filler, sizeof filler);
}

// One picture row as a scan line of `planes` planes of bytesPerLine bytes.
void buildLine(const Picture& pic, uint32_t y, size_t bpl, uint8_t* line) {
  const uint8_t* row = pic.row(y);
  const uint32_t w = pic.width();
  switch (pic.bits()) {
    case 24:
      // The planes are filled whole; only their padding needs zeroing.
      rows::deinterleave3(row, line, line + bpl, line + 2 * bpl, w);
      for (int p = 0; p < 3; ++p) std::memset(line + size_t(p) * bpl + w, 0, bpl - w);
      return;
    case 4:
      std::memset(line, 0, 4 * bpl);
      for (uint32_t x = 0; x < w; ++x) {
        const uint8_t bit = uint8_t(0x80 >> (x % 8));
        for (int p = 0; p < 4; ++p)
          if (row[x] >> p & 1) line[size_t(p) * bpl + x / 8] |= bit;
      }
      return;
    default: {
      rows::pack(row, w, pic.bits(), line);
      const size_t used = size_t(rows::packedBytes(w, pic.bits()));
      std::memset(line + used, 0, bpl - used);
      return;
    }
  }
}

}  // namespace

Status encode(const Picture& picture, const EncodeOptions&, OutputBuffer& out) {
  const int bits = picture.bits();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
    return {ErrorCode::UnsupportedDepth, std::to_string(bits) + " bits"};
  const int bitsPerPlane = bits == 1 || bits == 4 ? 1 : 8;
  const int planes = bits == 4 ? 4 : bits == 24 ? 3 : 1;
  // Scan lines are an even number of bytes, except at the widest 8-bit
  // lines, whose 65536 bytes the 16-bit field cannot hold: readers accept
  // odd lengths.
  const size_t bpl =
      std::min<size_t>(rows::packedBytes(picture.width(), bitsPerPlane, 2), UINT16_MAX);
  const size_t lineBytes = bpl * size_t(planes);
  const uint32_t height = picture.height();

  // Room for the usual case at once (bright photos code a little larger
  // than they are); a picture that codes larger still grows it.
  const size_t raw = lineBytes * height;
  out.reserve(out.size() + kHeaderSize + raw + raw / 4 + 2 * lineBytes + kTrailerSize);
  writeHeader(picture, bitsPerPlane, planes, bpl, out);

  std::vector<uint8_t> line(lineBytes);
  for (uint32_t y = 0; y < height; ++y) {
    buildLine(picture, y, bpl, line.data());
    uint8_t* const start = out.tail(2 * lineBytes);
    uint8_t* dst = start;
    // Each plane's runs end with the plane, which every reader accepts.
    for (int p = 0; p < planes; ++p) dst = encodeRle(line.data() + size_t(p) * bpl, bpl, dst);
    out.commit(size_t(dst - start));
  }

  if (bits == 8) {
    uint8_t* p = out.tail(kTrailerSize);
    *p++ = kPaletteMark;
    for (const Rgb& c : picture.palette()) {
      *p++ = c.r;
      *p++ = c.g;
      *p++ = c.b;
    }
    out.commit(kTrailerSize);
  }
  return {};
}

}  // namespace zelmar::pcx
