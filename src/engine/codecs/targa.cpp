#include "engine/codecs/targa.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/codecs/packed_rows.h"
#include "engine/codecs/targa_pixels.h"
#include "engine/core/checked.h"

namespace zelmar::targa {
namespace {

using namespace detail;

// Hands out the stored pixels one row at a time. Run-length packets may run
// on into the next row (many writers do that), so the run state carries
// over; a run past the last pixel is simply dropped.
class RowSource {
 public:
  RowSource(Bytes data, int bytesPerPixel, bool rle, uint32_t width)
      : in_(data),
        bpp_(size_t(bytesPerPixel)),
        rle_(rle),
        rowBytes_(width * bpp_),
        row_(rowBytes_) {}

  // The next row's stored bytes, or null when none of its pixels is there.
  // A row that ends part-way is completed with zero bytes (black, index 0).
  const uint8_t* next() {
    if (ended_) return nullptr;
    const size_t pixels = rowBytes_ / bpp_;
    if (!rle_) {
      Bytes whole;
      if (in_.take(rowBytes_, whole)) return whole.data();
      return finish(copyRaw(row_.data(), pixels));
    }
    size_t done = 0;
    while (done < pixels) {
      if (left_ == 0 && !startPacket()) return finish(done);
      const size_t n = std::min(left_, pixels - done);
      uint8_t* dst = row_.data() + done * bpp_;
      if (repeat_) {
        for (size_t i = 0; i < n; ++i) std::memcpy(dst + i * bpp_, value_, bpp_);
      } else if (const size_t got = copyRaw(dst, n); got < n) {
        return finish(done + got);
      }
      done += n;
      left_ -= n;
    }
    return row_.data();
  }

  // True once the data ran out before the last pixel.
  bool ended() const { return ended_; }

 private:
  bool startPacket() {
    uint8_t head;
    Bytes v;
    if (!in_.u8(head)) return false;
    left_ = (head & 0x7f) + 1u;
    repeat_ = (head & 0x80) != 0;
    if (repeat_) {
      if (!in_.take(bpp_, v)) return false;
      std::memcpy(value_, v.data(), bpp_);
    }
    return true;
  }

  // Copies up to n whole pixels; returns how many there were.
  size_t copyRaw(uint8_t* dst, size_t n) {
    const size_t have = std::min(n, in_.remaining() / bpp_);
    Bytes src;
    if (have && in_.take(have * bpp_, src)) std::memcpy(dst, src.data(), src.size());
    return have;
  }

  const uint8_t* finish(size_t pixelsDone) {
    ended_ = true;
    if (pixelsDone == 0) return nullptr;
    std::memset(row_.data() + pixelsDone * bpp_, 0, rowBytes_ - pixelsDone * bpp_);
    return row_.data();
  }

  ByteReader in_;
  size_t bpp_;
  bool rle_;
  size_t rowBytes_;
  std::vector<uint8_t> row_;
  size_t left_ = 0;  // pixels left in the current packet
  bool repeat_ = false;
  uint8_t value_[4] = {};
  bool ended_ = false;
};

void mirrorRow(uint8_t* row, uint32_t width, int bytesPerPixel) {
  if (bytesPerPixel == 1) {
    std::reverse(row, row + width);
    return;
  }
  for (uint32_t a = 0, b = width - 1; a < b; ++a, --b)
    std::swap_ranges(row + 3 * a, row + 3 * a + 3, row + 3 * b);
}

Palette readColorMap(const Header& h, Bytes map) {
  std::vector<uint8_t> rgb(size_t(h.mapLength) * 3);
  toRgb(map.data(), h.bytesPerMapEntry(), h.mapLength, rgb.data());
  Palette pal(256);
  for (size_t i = 0; i < h.mapLength && h.mapFirst + i < pal.size(); ++i)
    pal[h.mapFirst + i] = {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
  return pal;
}

// One stored row to the picture's row.
void convertRow(const Header& h, const uint8_t* src, uint8_t* dst, uint32_t width) {
  if (h.baseType() == kTrueColor) {
    toRgb(src, h.bytesPerPixel(), width, dst);
  } else if (h.depth == 16) {  // grey with alpha: the grey byte comes first
    for (uint32_t x = 0; x < width; ++x) dst[x] = src[2 * x];
  } else {
    std::memcpy(dst, src, width);
  }
}

}  // namespace

bool probe(Bytes data) {
  Header h;
  return readHeader(data, h).ok();
}

Status decode(Bytes data, const Limits& limits, Decoded& out) {
  Header h;
  ZELMAR_TRY(readHeader(data, h));
  ZELMAR_TRY(checkDimensions(h.width, h.height, limits));
  if (h.baseType() == kMapped && h.depth != 8)
    return {ErrorCode::Unsupported, "16-bit colour map indexes"};

  ByteReader in(data);
  Bytes map;
  if (!in.skip(kHeaderSize + h.idLength)) return {ErrorCode::Truncated, "image ID"};
  if (h.mapType == 1 && !in.take(size_t(h.mapLength) * h.bytesPerMapEntry(), map))
    return {ErrorCode::Truncated, "colour map"};
  const int bpp = h.bytesPerPixel();
  if (in.remaining() < size_t(bpp) + (h.rle() ? 1 : 0))
    return {ErrorCode::Truncated, "no pixel data"};

  const bool rgb = h.baseType() == kTrueColor;
  Picture pic;
  ZELMAR_TRY(Picture::create(h.width, h.height, rgb ? 24 : 8, pic, limits));
  if (h.baseType() == kMapped) pic.setPalette(readColorMap(h, map));
  if (h.baseType() == kGray) pic.setPalette(grayPalette(256));

  RowSource rows(data.subspan(in.pos()), bpp, h.rle(), h.width);
  const bool topDown = h.descriptor & kTopDown;
  for (uint32_t r = 0; r < h.height; ++r) {
    uint8_t* dst = pic.row(topDown ? r : h.height - 1 - r);
    const uint8_t* src = rows.next();
    if (!src) {
      std::memset(dst, 0, pic.stride());
      continue;
    }
    convertRow(h, src, dst, h.width);
    if (h.descriptor & kRightToLeft) mirrorRow(dst, h.width, pic.bytesPerPixel());
  }

  out.picture = std::move(pic);
  out.truncated = rows.ended();
  out.facts = {};
  out.facts.fileFormat = format::kTarga;
  out.facts.originBits = bpp * 8;
  out.facts.originWidth = h.width;
  out.facts.originHeight = h.height;
  out.facts.compression = h.rle() ? "RLE" : "None";
  out.facts.pageCount = 1;
  return {};
}

Status encode(const Picture& picture, const EncodeOptions&, OutputBuffer& out) {
  if (picture.empty()) return {ErrorCode::NoPicture};
  const uint32_t w = picture.width(), hgt = picture.height();
  if (w > 65535 || hgt > 65535)
    return {ErrorCode::LimitExceeded, "Targa holds 65535 pixels a side"};
  const bool rgb = picture.bits() == 24;
  const size_t mapEntries = rgb ? 0 : picture.palette().size();
  const auto total = checkedAdd(kHeaderSize + mapEntries * 3, picture.byteSize());
  if (!total) return {ErrorCode::LimitExceeded};

  uint8_t* o = out.tail(*total);
  auto put16 = [](uint8_t* at, size_t v) {
    at[0] = uint8_t(v);
    at[1] = uint8_t(v >> 8);
  };
  // No image ID, origin 0,0, descriptor 0: bottom row first, no alpha bits.
  std::memset(o, 0, kHeaderSize);
  o[1] = rgb ? 0 : 1;  // a colour map follows
  o[2] = rgb ? kTrueColor : kMapped;
  put16(o + 5, mapEntries);
  o[7] = rgb ? 0 : 24;  // bits per map entry
  put16(o + 12, w);
  put16(o + 14, hgt);
  o[16] = rgb ? 24 : 8;
  o += kHeaderSize;
  for (const Rgb& c : picture.palette()) {
    *o++ = c.b;
    *o++ = c.g;
    *o++ = c.r;
  }
  const size_t stride = picture.stride();
  for (uint32_t y = hgt; y-- > 0; o += stride) {
    if (rgb) {
      rows::swapRedBlue(picture.row(y), o, w);
    } else {
      std::memcpy(o, picture.row(y), stride);
    }
  }
  out.commit(*total);
  return {};
}

}  // namespace zelmar::targa
