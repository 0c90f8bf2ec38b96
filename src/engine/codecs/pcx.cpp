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
  int version = 5;
  int encoding = 1;
  int bitsPerPlane = 0;
  int planes = 0;
  uint32_t width = 0, height = 0;
  uint32_t bytesPerLine = 0;  // stored bytes of each plane's scan line
  uint32_t planeStride = 0;   // bytes a plane takes in our line buffer: at least the width's
};

uint16_t le16(Bytes d, size_t at) { return uint16_t(d[at] | d[at + 1] << 8); }

bool knownLayout(int bits, int planes) {
  switch (bits) {
    case 1:
      return planes >= 1 && planes <= 4;
    case 2:
    case 4:
      return planes == 1;
    case 8:
      return planes == 1 || planes == 3 || planes == 4;
    default:
      return false;
  }
}

Status readHeader(Bytes data, Header& h) {
  if (data.size() < kHeaderSize) return {ErrorCode::BadHeader, "header cut short"};
  if (!probe(data)) return {ErrorCode::BadHeader, "not a PCX header"};
  h.version = data[1];
  h.encoding = data[2];
  h.bitsPerPlane = data[3];
  h.planes = data[kPlanesAt];
  h.bytesPerLine = le16(data, kBytesPerLineAt);
  const uint16_t xmin = le16(data, 4), ymin = le16(data, 6), xmax = le16(data, 8),
                 ymax = le16(data, 10);
  if (xmax < xmin || ymax < ymin)
    return {ErrorCode::BadDimensions, "window " + std::to_string(xmin) + ".." +
                                          std::to_string(xmax) + " x " + std::to_string(ymin) +
                                          ".." + std::to_string(ymax)};
  h.width = uint32_t(xmax - xmin) + 1;
  h.height = uint32_t(ymax - ymin) + 1;
  if (!knownLayout(h.bitsPerPlane, h.planes))
    return {ErrorCode::Unsupported,
            std::to_string(h.planes) + " planes of " + std::to_string(h.bitsPerPlane) + " bits"};
  if (h.bytesPerLine == 0) return {ErrorCode::BadHeader, "no bytes per scan line"};
  // Some writers store fewer bytes a line than the width needs; the pixels
  // past them show black.
  h.planeStride =
      uint32_t(std::max<uint64_t>(h.bytesPerLine, rows::packedBytes(h.width, h.bitsPerPlane)));
  return {};
}

int pictureDepth(const Header& h) {
  if (h.bitsPerPlane == 8) return h.planes == 1 ? 8 : 24;
  return h.bitsPerPlane * h.planes == 1 ? 1 : 4;
}

// Palettes are stored R, G, B.
Palette readPalette(const uint8_t* p, int entries) {
  Palette pal(entries);
  for (int i = 0; i < entries; ++i) pal[i] = {p[3 * i], p[3 * i + 1], p[3 * i + 2]};
  return pal;
}

// The standard sixteen colours, for files that carry no palette.
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

// Where the pixel data ends and, for 8 bits, the palette that follows it.
size_t dataEnd(Bytes data, const Header& h, Palette& palette) {
  const int depth = pictureDepth(h);
  if (depth == 8) {
    const size_t at = data.size() >= kHeaderSize + kTrailerSize ? data.size() - kTrailerSize : 0;
    if (at != 0 && data[at] == kPaletteMark) {
      palette = readPalette(data.data() + at + 1, 256);
      return at;
    }
    palette = grayPalette(256);
  } else if (depth == 1) {
    palette = readPalette(data.data() + kHeaderPalette, 2);
    // Many writers leave the header palette empty for black and white.
    if (palette[0] == palette[1]) palette = {{0, 0, 0}, {255, 255, 255}};
  } else if (depth == 4) {
    // Versions 0 and 3 carry no palette and mean the standard sixteen colours.
    palette = h.version == 0 || h.version == 3 ? defaultSixteen()
                                               : readPalette(data.data() + kHeaderPalette, 16);
  }
  return data.size();
}

// Turns one scan line (all planes) into one picture row.
void convertLine(const Header& h, const uint8_t* line, uint8_t* row) {
  const uint32_t w = h.width;
  const size_t bpl = h.planeStride;
  if (h.planes == 1) {
    rows::unpack(line, w, h.bitsPerPlane, row);
  } else if (h.bitsPerPlane == 8) {
    rows::interleave3(line, line + bpl, line + 2 * bpl, row, w);
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

  const size_t stored = h.bytesPerLine, stride = h.planeStride;
  std::vector<uint8_t> line(stride * size_t(h.planes));
  RleReader reader(data.subspan(kHeaderSize, end - kHeaderSize), h.encoding == 0);
  bool complete = true;
  for (uint32_t y = 0; y < h.height; ++y) {
    if (!complete) {
      std::memset(pic.row(y), 0, pic.stride());
      continue;
    }
    // The line the data ends in shows its first part, the rest is black.
    if (stride == stored) {
      const size_t got = reader.read(line.data(), line.size());
      std::memset(line.data() + got, 0, line.size() - got);
      complete = got == line.size();
    } else {
      for (int p = 0; p < h.planes; ++p) {
        uint8_t* plane = line.data() + size_t(p) * stride;
        const size_t got = complete ? reader.read(plane, stored) : 0;
        std::memset(plane + got, 0, stride - got);
        complete = complete && got == stored;
      }
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
