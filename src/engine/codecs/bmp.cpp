#include "engine/codecs/bmp.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include "engine/codecs/bmp_rle.h"
#include "engine/codecs/jpeg.h"
#include "engine/codecs/packed_rows.h"
#include "engine/codecs/png.h"

namespace zelmar::bmp {
namespace {

enum Compression : uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitfields = 3,
  kJpeg = 4,
  kPng = 5,
  kAlphaBitfields = 6,
};

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kOs2MinHeaderSize = 16;  // OS/2 2.x headers may stop after the depth
constexpr uint32_t kInfoHeaderSize = 40;

struct Header {
  size_t infoStart = kFileHeaderSize;  // 0 for a DIB handed over without the file header
  uint32_t dataOffset = 0;
  uint32_t infoSize = 0;
  uint32_t width = 0, height = 0;
  bool topDown = false;
  int bits = 0;
  uint32_t compression = kRgb;
  uint32_t masks[3] = {};  // red, green, blue
  size_t paletteStart = 0;
  unsigned paletteEntry = 4;  // bytes per entry: B, G, R (and one unused)
  uint32_t paletteCount = 0;
};

Status badHeader(const char* why) { return {ErrorCode::BadHeader, why}; }

Status readCoreHeader(ByteReader& r, Header& h) {
  uint16_t w, ht, planes, bits;
  if (!r.u16le(w) || !r.u16le(ht) || !r.u16le(planes) || !r.u16le(bits))
    return badHeader("header cut short");
  h.width = w;
  h.height = ht;
  h.bits = bits;
  h.paletteEntry = 3;
  return {};
}

Status readInfoHeader(ByteReader& r, Header& h, uint32_t& colorsUsed) {
  int32_t w, ht;
  uint16_t planes, bits;
  if (!r.i32le(w) || !r.i32le(ht) || !r.u16le(planes) || !r.u16le(bits))
    return badHeader("header cut short");
  // OS/2 2.x headers of 16 to 36 bytes leave out the fields that follow,
  // which then read as zero; the fields are 32-bit up to colorsUsed.
  // compression, image size, x and y resolution, colours used, important
  uint32_t more[6] = {};
  const uint32_t present = std::min<uint32_t>(6, (h.infoSize - kOs2MinHeaderSize) / 4);
  for (uint32_t i = 0; i < present; ++i)
    if (!r.u32le(more[i])) return badHeader("header cut short");
  h.compression = more[0];
  colorsUsed = more[4];
  // A negative height means the rows run top-down.
  if (w <= 0 || ht == 0 || ht == INT32_MIN)
    return {ErrorCode::BadDimensions, std::to_string(w) + " x " + std::to_string(ht)};
  h.width = uint32_t(w);
  h.topDown = ht < 0;
  h.height = h.topDown ? uint32_t(-ht) : uint32_t(ht);
  h.bits = bits;
  const bool fields = h.compression == kBitfields || h.compression == kAlphaBitfields;
  // Version 3 headers keep the masks just after themselves; later ones inside.
  const bool masksAfter = fields && h.infoSize < 52;
  if (masksAfter && !r.seek(h.infoStart + h.infoSize)) return badHeader("header cut short");
  if (masksAfter || h.infoSize >= 52) {
    for (uint32_t& m : h.masks)
      if (!r.u32le(m)) return badHeader("bit-field masks cut short");
  }
  if (masksAfter) {
    if (h.compression == kAlphaBitfields && !r.skip(4))
      return badHeader("bit-field masks cut short");
  } else if (!r.seek(h.infoStart + h.infoSize)) {
    return badHeader("header cut short");
  }
  if (!fields) std::fill(std::begin(h.masks), std::end(h.masks), 0u);
  return {};
}

// A whole JPEG or PNG file stands for the pixels (OS/2's RLE24 shares JPEG's code).
bool isEmbedded(const Header& h) {
  return h.compression == kPng || (h.compression == kJpeg && h.bits != 24);
}

Status checkLayout(const Header& h) {
  if (isEmbedded(h)) return {};
  constexpr int kDepths[] = {1, 2, 4, 8, 16, 24, 32};
  if (std::find(std::begin(kDepths), std::end(kDepths), h.bits) == std::end(kDepths))
    return badHeader(("bits per pixel " + std::to_string(h.bits)).c_str());
  switch (h.compression) {
    case kRgb:
      return {};
    case kRle8:
      return h.bits == 8 ? okStatus() : badHeader("RLE8 needs 8 bits per pixel");
    case kRle4:
      return h.bits == 4 ? okStatus() : badHeader("RLE4 needs 4 bits per pixel");
    case kBitfields:
      // The same code means Huffman coding for OS/2's 1-bit bitmaps.
      if (h.bits == 1) return {ErrorCode::Unsupported, "Huffman-coded bitmap"};
      [[fallthrough]];
    case kAlphaBitfields:
      return h.bits == 16 || h.bits == 32 ? okStatus()
                                          : badHeader("bit fields need 16 or 32 bits per pixel");
    case kJpeg:  // with 24 bits: RLE24
      return {};
    default:
      return badHeader("unknown compression");
  }
}

bool isRle(const Header& h) {
  return h.compression == kRle8 || h.compression == kRle4 ||
         (h.compression == kJpeg && h.bits == 24);
}

// A DIB as the clipboard hands it over: the info header first, no file
// header. With no signature to go by, it is taken only when every field is
// one a writer makes and the whole picture is in the data.
bool isDib(Bytes data) {
  ByteReader r(data);
  uint32_t size;
  if (!r.u32le(size)) return false;
  uint64_t width, height, tables = 0;
  uint16_t planes, bits;
  uint32_t compression = kRgb, imageSize = 0, used = 0;
  if (size == kCoreHeaderSize) {
    uint16_t w, ht;
    if (!r.u16le(w) || !r.u16le(ht) || !r.u16le(planes) || !r.u16le(bits)) return false;
    width = w;
    height = ht;
    if (bits == 16 || bits == 32) return false;
    if (bits <= 8) tables = uint64_t(3) << bits;
  } else {
    constexpr uint32_t kSizes[] = {kInfoHeaderSize, 52, 56, 108, 124};
    int32_t w, ht;
    uint32_t xppm, yppm;
    if (std::find(std::begin(kSizes), std::end(kSizes), size) == std::end(kSizes) || !r.i32le(w) ||
        !r.i32le(ht) || !r.u16le(planes) || !r.u16le(bits) || !r.u32le(compression) ||
        !r.u32le(imageSize) || !r.u32le(xppm) || !r.u32le(yppm) || !r.u32le(used) || w <= 0 ||
        ht == 0 || ht == INT32_MIN || used > 256)
      return false;
    width = uint64_t(w);
    height = ht < 0 ? uint64_t(-int64_t(ht)) : uint64_t(ht);
    const bool known = compression == kRgb || (compression == kRle8 && bits == 8) ||
                       (compression == kRle4 && bits == 4) ||
                       (compression == kBitfields && (bits == 16 || bits == 32));
    if (!known) return false;
    tables = uint64_t(bits <= 8 && used == 0 ? 1u << bits : used) * 4;
    if (compression == kBitfields && size == kInfoHeaderSize) tables += 12;
  }
  constexpr int kDepths[] = {1, 4, 8, 16, 24, 32};
  if (planes != 1 || width > 65535 || height > 65535 ||
      std::find(std::begin(kDepths), std::end(kDepths), bits) == std::end(kDepths))
    return false;
  // Run-length data has no size of its own but the declared one.
  const uint64_t pixels = compression == kRle8 || compression == kRle4
                              ? imageSize
                              : rows::packedBytes(width, bits, 4) * height;
  return pixels > 0 && size + tables + pixels <= data.size();
}

Status readHeader(Bytes data, Header& h) {
  ByteReader r(data);
  if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') {
    uint32_t fileSize, reserved;
    if (!r.skip(2) || !r.u32le(fileSize) || !r.u32le(reserved) || !r.u32le(h.dataOffset))
      return badHeader("header cut short");
  } else if (isDib(data)) {
    h.infoStart = 0;  // the pixels follow the palette
  } else {
    return badHeader("no BM signature");
  }
  if (!r.u32le(h.infoSize)) return badHeader("header cut short");
  uint32_t colorsUsed = 0;
  if (h.infoSize == kCoreHeaderSize) {
    ZELMAR_TRY(readCoreHeader(r, h));
  } else if (h.infoSize >= kOs2MinHeaderSize) {
    ZELMAR_TRY(readInfoHeader(r, h, colorsUsed));
  } else {
    return badHeader(("header size " + std::to_string(h.infoSize)).c_str());
  }
  ZELMAR_TRY(checkLayout(h));
  h.paletteStart = r.pos();
  if (h.bits <= 8 && !isEmbedded(h)) {
    uint64_t count = uint64_t(1) << h.bits;
    if (colorsUsed != 0) count = std::min<uint64_t>(count, colorsUsed);
    // A palette shorter than the depth allows ends where the pixels begin.
    if (h.dataOffset > h.paletteStart)
      count = std::min<uint64_t>(count, (h.dataOffset - h.paletteStart) / h.paletteEntry);
    if (h.paletteStart + count * h.paletteEntry > data.size())
      return {ErrorCode::Truncated, "palette cut short"};
    h.paletteCount = uint32_t(count);
  }
  // An offset that points into the headers is a writer's mistake: the
  // pixels then follow the palette.
  const size_t headersEnd = h.paletteStart + size_t(h.paletteCount) * h.paletteEntry;
  if (h.dataOffset < headersEnd) h.dataOffset = uint32_t(headersEnd);
  return {};
}

Palette readPalette(Bytes data, const Header& h) {
  Palette pal(h.paletteCount);
  const uint8_t* p = data.data() + h.paletteStart;
  for (auto& c : pal) {
    c = {p[2], p[1], p[0]};
    p += h.paletteEntry;
  }
  return pal;
}

// One colour channel of a bit-field pixel, scaled to 0..255. Channels wider
// than 8 bits keep their top 8.
class Channel {
 public:
  explicit Channel(uint32_t mask) : mask_(mask) {
    if (mask == 0) return;
    shift_ = unsigned(std::countr_zero(mask));
    unsigned width = 32 - unsigned(std::countl_zero(mask)) - shift_;
    if (width > 8) {
      shift_ += width - 8;
      width = 8;
    }
    max_ = (1u << width) - 1;
    for (unsigned i = 0; i <= max_; ++i) lut_[i] = uint8_t((i * 255 + max_ / 2) / max_);
  }
  uint8_t operator()(uint32_t v) const { return lut_[((v & mask_) >> shift_) & max_]; }

 private:
  uint32_t mask_;
  unsigned shift_ = 0, max_ = 0;
  uint8_t lut_[256] = {};
};

// Turns one stored row into one picture row.
class RowConverter {
 public:
  explicit RowConverter(const Header& h)
      : bits_(h.bits),
        width_(h.width),
        masks_(defaultMasks(h)),
        red_(masks_[0]),
        green_(masks_[1]),
        blue_(masks_[2]),
        plain32_(h.bits == 32 && masks_[0] == 0xff0000 && masks_[1] == 0xff00 &&
                 masks_[2] == 0xff) {}

  void operator()(const uint8_t* src, uint8_t* dst) const {
    switch (bits_) {
      case 24:
        rows::swapRedBlue(src, dst, width_);
        return;
      case 32:
        if (plain32_) {
          rows::bgrxToRgb(src, dst, width_);
        } else {
          for (uint32_t x = 0; x < width_; ++x) {
            const uint8_t* p = src + 4 * x;
            putFields(
                uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24,
                dst + 3 * x);
          }
        }
        return;
      case 16:
        for (uint32_t x = 0; x < width_; ++x)
          putFields(uint32_t(src[2 * x]) | uint32_t(src[2 * x + 1]) << 8, dst + 3 * x);
        return;
      default:
        rows::unpack(src, width_, bits_, dst);
        return;
    }
  }

 private:
  static std::array<uint32_t, 3> defaultMasks(const Header& h) {
    if (h.compression == kBitfields || h.compression == kAlphaBitfields)
      return {h.masks[0], h.masks[1], h.masks[2]};
    if (h.bits == 16) return {0x7c00, 0x03e0, 0x001f};
    return {0xff0000, 0xff00, 0xff};
  }
  void putFields(uint32_t v, uint8_t* dst) const {
    dst[0] = red_(v);
    dst[1] = green_(v);
    dst[2] = blue_(v);
  }

  int bits_;
  uint32_t width_;
  std::array<uint32_t, 3> masks_;
  Channel red_, green_, blue_;
  bool plain32_;
};

// Uncompressed rows, each padded to four bytes. Returns false when the data
// ends before the last pixel (some writers leave out the last row's
// padding); the rows it does not reach are zeroed.
bool decodeRows(Bytes pixels, const Header& h, Picture& pic) {
  const size_t rowBytes = size_t(rows::packedBytes(h.width, h.bits, 4));
  const size_t usedBytes = size_t(rows::packedBytes(h.width, h.bits));
  const RowConverter convert(h);
  const size_t whole = std::min<size_t>(pixels.size() / rowBytes, h.height);
  auto target = [&](size_t r) { return pic.row(uint32_t(h.topDown ? r : h.height - 1 - r)); };
  for (size_t r = 0; r < whole; ++r) convert(pixels.data() + r * rowBytes, target(r));
  if (whole == h.height) return true;
  // The row the data ends in shows its first part, the rest is black.
  const size_t left = pixels.size() - whole * rowBytes;
  std::vector<uint8_t> partial(rowBytes, 0);
  std::memcpy(partial.data(), pixels.data() + whole * rowBytes, left);
  convert(partial.data(), target(whole));
  for (size_t r = whole + 1; r < h.height; ++r) std::memset(target(r), 0, pic.stride());
  return whole + 1 == h.height && left >= usedBytes;
}

const char* compressionName(uint32_t compression) {
  switch (compression) {
    case kRle8:
    case kRle4:
    case kJpeg:  // RLE24: nothing else with this code loads
      return "RLE";
    case kBitfields:
    case kAlphaBitfields:
      return "Bitfields";
    default:
      return "None";
  }
}

Status decodeEmbedded(Bytes file, const Header& h, const Limits& limits, Decoded& out) {
  const bool jpeg = h.compression == kJpeg;
  if (jpeg ? !jpeg::probe(file) : !png::probe(file))
    return {ErrorCode::CorruptData,
            jpeg ? "no JPEG inside the bitmap" : "no PNG inside the bitmap"};
  Decoded inner;
  ZELMAR_TRY(jpeg ? jpeg::decode(file, limits, inner) : png::decode(file, limits, inner));
  inner.facts.fileFormat = format::kBmp;
  inner.facts.compression = jpeg ? "JPEG" : "PNG";
  out = std::move(inner);
  return {};
}

}  // namespace

bool probe(Bytes data) {
  return (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') || isDib(data);
}

Status decode(Bytes data, const Limits& limits, Decoded& out) {
  Header h;
  ZELMAR_TRY(readHeader(data, h));
  ZELMAR_TRY(checkDimensions(h.width, h.height, limits));
  if (h.dataOffset >= data.size()) return {ErrorCode::Truncated, "no pixel data"};
  if (isEmbedded(h)) return decodeEmbedded(data.subspan(h.dataOffset), h, limits, out);

  const int depth = h.bits > 8 ? 24 : h.bits == 2 ? 4 : h.bits;
  Picture pic;
  ZELMAR_TRY(Picture::create(h.width, h.height, depth, pic, limits));
  if (depth != 24) pic.setPalette(readPalette(data, h));

  const Bytes pixels = data.subspan(h.dataOffset);
  bool complete;
  if (isRle(h)) {
    std::memset(pic.data(), 0, pic.byteSize());
    complete = decodeRle(pixels, h.bits, h.topDown, pic);
  } else {
    complete = decodeRows(pixels, h, pic);
  }

  out.picture = std::move(pic);
  out.truncated = !complete;
  out.facts = FileFacts{};
  out.facts.fileFormat = format::kBmp;
  out.facts.originBits = h.bits;
  out.facts.originWidth = h.width;
  out.facts.originHeight = h.height;
  out.facts.compression = compressionName(h.compression);
  out.facts.pageCount = 1;
  return {};
}

}  // namespace zelmar::bmp
