#include <cstring>
#include <string>
#include <vector>

#include "engine/codecs/packed_rows.h"
#include "engine/codecs/pcx.h"
#include "engine/codecs/pcx_layout.h"
#include "engine/codecs/pcx_rle.h"

namespace zelmar::pcx {
namespace {

void put16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

void writeHeader(const Picture& pic, int bitsPerPlane, int planes, size_t bytesPerLine,
                 uint8_t* h) {
  std::memset(h, 0, kHeaderSize);
  h[0] = kMaker;
  h[1] = 5;  // version with the 256-colour palette
  h[2] = 1;  // RLE
  h[3] = uint8_t(bitsPerPlane);
  put16(h + 8, pic.width() - 1);
  put16(h + 10, pic.height() - 1);
  put16(h + 12, 72);
  put16(h + 14, 72);
  if (pic.bits() == 1 || pic.bits() == 4) {
    uint8_t* p = h + kHeaderPalette;
    for (const Rgb& c : pic.palette()) {
      *p++ = c.r;
      *p++ = c.g;
      *p++ = c.b;
    }
  }
  h[kPlanesAt] = uint8_t(planes);
  put16(h + kBytesPerLineAt, uint32_t(bytesPerLine));
  put16(h + 68, 1);  // colour palette
}

// One picture row as a scan line of `planes` planes of bytesPerLine bytes.
void buildLine(const Picture& pic, uint32_t y, size_t bpl, uint8_t* line) {
  const uint8_t* row = pic.row(y);
  const uint32_t w = pic.width();
  std::memset(line, 0, pic.bits() == 24 ? 3 * bpl : pic.bits() == 4 ? 4 * bpl : bpl);
  switch (pic.bits()) {
    case 24:
      for (uint32_t x = 0; x < w; ++x) {
        line[x] = row[3 * x];
        line[bpl + x] = row[3 * x + 1];
        line[2 * bpl + x] = row[3 * x + 2];
      }
      return;
    case 4:
      for (uint32_t x = 0; x < w; ++x) {
        const uint8_t bit = uint8_t(0x80 >> (x % 8));
        for (int p = 0; p < 4; ++p)
          if (row[x] >> p & 1) line[size_t(p) * bpl + x / 8] |= bit;
      }
      return;
    default: rows::pack(row, w, pic.bits(), line); return;
  }
}

}  // namespace

Status encode(const Picture& picture, const EncodeOptions&, OutputBuffer& out) {
  const int bits = picture.bits();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
    return {ErrorCode::UnsupportedDepth, std::to_string(bits) + " bits"};
  const int bitsPerPlane = bits == 1 || bits == 4 ? 1 : 8;
  const int planes = bits == 4 ? 4 : bits == 24 ? 3 : 1;
  // Scan lines are an even number of bytes.
  const size_t bpl = size_t(rows::packedBytes(picture.width(), bitsPerPlane, 2));
  const size_t lineBytes = bpl * size_t(planes);
  const uint32_t height = picture.height();

  // Room for the usual case at once; a row that codes larger grows it.
  out.reserve(out.size() + kHeaderSize + lineBytes * height + lineBytes + kTrailerSize);
  writeHeader(picture, bitsPerPlane, planes, bpl, out.tail(kHeaderSize));
  out.commit(kHeaderSize);

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
