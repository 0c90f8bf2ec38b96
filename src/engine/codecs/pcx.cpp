#include "engine/codecs/pcx.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/codecs/packed_rows.h"
#include "engine/codecs/pcx_layout.h"
#include "engine/codecs/pcx_rle.h"

namespace zelmar::pcx {
namespace {

struct Header {
  int encoding = 1;
  int bitsPerPlane = 0;
  int planes = 0;
  uint32_t width = 0, height = 0;
  uint32_t bytesPerLine = 0;
};

uint16_t le16(Bytes d, size_t at) { return uint16_t(d[at] | d[at + 1] << 8); }

bool knownLayout(int bits, int planes) {
  switch (bits) {
    case 1: return planes >= 1 && planes <= 4;
    case 2: case 4: return planes == 1;
    case 8: return planes == 1 || planes == 3 || planes == 4;
    default: return false;
  }
}

Status readHeader(Bytes data, Header& h) {
  if (data.size() < kHeaderSize) return {ErrorCode::BadHeader, "header cut short"};
  if (!probe(data)) return {ErrorCode::BadHeader, "not a PCX header"};
  h.encoding = data[2];
  h.bitsPerPlane = data[3];
  h.planes = data[kPlanesAt];
  h.bytesPerLine = le16(data, kBytesPerLineAt);
  const uint16_t xmin = le16(data, 4), ymin = le16(data, 6), xmax = le16(data, 8),
                 ymax = le16(data, 10);
  if (xmax < xmin || ymax < ymin)
    return {ErrorCode::BadDimensions, "window " + std::to_string(xmin) + ".." + std::to_string(xmax) +
                                          " x " + std::to_string(ymin) + ".." + std::to_string(ymax)};
  h.width = uint32_t(xmax - xmin) + 1;
  h.height = uint32_t(ymax - ymin) + 1;
  if (!knownLayout(h.bitsPerPlane, h.planes))
    return {ErrorCode::Unsupported, std::to_string(h.planes) + " planes of " +
                                        std::to_string(h.bitsPerPlane) + " bits"};
  if (h.bytesPerLine < rows::packedBytes(h.width, h.bitsPerPlane))
    return {ErrorCode::BadHeader, "scan line shorter than the width"};
  return {};
}

int pictureDepth(const Header& h) {
  if (h.bitsPerPlane == 8) return h.planes == 1 ? 8 : 24;
  return h.bitsPerPlane * h.planes == 1 ? 1 : 4;
}

Palette headerPalette(Bytes data, int entries) {
  Palette pal(entries);
  const uint8_t* p = data.data() + kHeaderPalette;
  for (int i = 0; i < entries; ++i) pal[i] = {p[3 * i], p[3 * i + 1], p[3 * i + 2]};
  return pal;
}

// Where the pixel data ends and, for 8 bits, the palette that follows it.
size_t dataEnd(Bytes data, const Header& h, Palette& palette) {
  const int depth = pictureDepth(h);
  if (depth == 8) {
    const size_t at = data.size() >= kHeaderSize + kTrailerSize ? data.size() - kTrailerSize : 0;
    if (at != 0 && data[at] == kPaletteMark) {
      palette = Palette(256);
      const uint8_t* p = data.data() + at + 1;
      for (int i = 0; i < 256; ++i) palette[i] = {p[3 * i], p[3 * i + 1], p[3 * i + 2]};
      return at;
    }
    palette = grayPalette(256);
  } else if (depth == 1) {
    palette = headerPalette(data, 2);
    // Many writers leave the header palette empty for black and white.
    if (palette[0] == palette[1]) palette = {{0, 0, 0}, {255, 255, 255}};
  } else if (depth == 4) {
    palette = headerPalette(data, 16);
    if (std::all_of(palette.begin(), palette.end(), [](const Rgb& c) { return c == Rgb{}; }))
      palette = defaultSixteen();
  }
  return data.size();
}

// Turns one scan line (all planes) into one picture row.
void convertLine(const Header& h, const uint8_t* line, uint8_t* row) {
  const uint32_t w = h.width;
  const size_t bpl = h.bytesPerLine;
  if (h.planes == 1) {
    rows::unpack(line, w, h.bitsPerPlane, row);
  } else if (h.bitsPerPlane == 8) {
    const uint8_t *r = line, *g = line + bpl, *b = line + 2 * bpl;
    for (uint32_t x = 0; x < w; ++x) {
      row[3 * x] = r[x];
      row[3 * x + 1] = g[x];
      row[3 * x + 2] = b[x];
    }
  } else {
    // Planes of 1 bit: plane p holds bit p of every index.
    std::memset(row, 0, w);
    for (int p = 0; p < h.planes; ++p) {
      const uint8_t* plane = line + size_t(p) * bpl;
      for (uint32_t x = 0; x < w; ++x) row[x] |= uint8_t(((plane[x / 8] >> (7 - x % 8)) & 1) << p);
    }
  }
}

}  // namespace

Palette defaultSixteen() {
  Palette pal(16);
  for (int i = 0; i < 16; ++i) {
    const uint8_t hi = (i & 8) ? 0x55 : 0;
    pal[i] = {uint8_t(((i & 4) ? 0xaa : 0) + hi), uint8_t(((i & 2) ? 0xaa : 0) + hi),
              uint8_t(((i & 1) ? 0xaa : 0) + hi)};
  }
  pal[6].g = 0x55;  // brown, not dark yellow
  return pal;
}

bool probe(Bytes data) {
  if (data.size() < 4 || data[0] != kMaker || data[2] > 1) return false;
  const uint8_t version = data[1], bits = data[3];
  return (version == 0 || (version >= 2 && version <= 5)) &&
         (bits == 1 || bits == 2 || bits == 4 || bits == 8);
}

Status decode(Bytes data, const Limits& limits, Decoded& out) {
  Header h;
  ZELMAR_TRY(readHeader(data, h));
  ZELMAR_TRY(checkDimensions(h.width, h.height, limits));
  Palette palette;
  const size_t end = dataEnd(data, h, palette);
  if (end <= kHeaderSize) return {ErrorCode::Truncated, "no pixel data"};

  const int depth = pictureDepth(h);
  Picture pic;
  ZELMAR_TRY(Picture::create(h.width, h.height, depth, pic, limits));
  if (depth != 24) pic.setPalette(palette);

  const size_t lineBytes = size_t(h.bytesPerLine) * size_t(h.planes);
  std::vector<uint8_t> line(lineBytes);
  RleReader reader(data.subspan(kHeaderSize, end - kHeaderSize), h.encoding == 0);
  bool complete = true;
  for (uint32_t y = 0; y < h.height; ++y) {
    if (!complete) {
      std::memset(pic.row(y), 0, pic.stride());
      continue;
    }
    const size_t got = reader.read(line.data(), lineBytes);
    if (got < lineBytes) {
      // The line the data ends in shows its first part, the rest is black.
      std::memset(line.data() + got, 0, lineBytes - got);
      complete = false;
    }
    convertLine(h, line.data(), pic.row(y));
  }

  out.picture = std::move(pic);
  out.truncated = !complete;
  out.facts = FileFacts{};
  out.facts.fileFormat = format::kPcx;
  out.facts.originBits = h.bitsPerPlane * h.planes;
  out.facts.originWidth = h.width;
  out.facts.originHeight = h.height;
  out.facts.compression = h.encoding == 0 ? "None" : "RLE";
  out.facts.pageCount = 1;
  return {};
}

}  // namespace zelmar::pcx
