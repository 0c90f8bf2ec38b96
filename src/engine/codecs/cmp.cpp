#include "engine/codecs/cmp.h"

#include <zstd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/codecs/cmp_rows.h"
#include "engine/codecs/packed_rows.h"
#include "engine/core/checked.h"

namespace zelmar::cmp {
namespace {

using namespace detail;

constexpr uint8_t kMagic[4] = {'Z', 'C', 'M', 'P'};
constexpr uint8_t kVersion = 1;
constexpr size_t kHeaderSize = 20;
constexpr uint8_t kFilterNone = 0, kFilterMedianEdge = 1, kFilterGreenMedianEdge = 2;
// Rows are filtered and handed to zstd in chunks of about this many bytes.
constexpr size_t kChunkBytes = 1 << 20;

struct Header {
  int depth = 0;
  uint32_t width = 0, height = 0;
  size_t paletteEntries = 0;
  uint8_t filter = kFilterNone;

  int planes() const { return depth == 24 ? 3 : 1; }
  size_t rowBytes() const { return size_t(rows::packedBytes(width, depth == 24 ? 8 : depth)); }
};

struct CCtxFree {
  void operator()(ZSTD_CCtx* c) const { ZSTD_freeCCtx(c); }
};
struct DCtxFree {
  void operator()(ZSTD_DCtx* d) const { ZSTD_freeDCtx(d); }
};

int levelForFactor(int factor) {
  if (factor <= 64) return 1;
  return 1 + (std::min(factor, 255) - 64) * 18 / 191;
}

// A whole number of rows of about kChunkBytes.
size_t chunkCapacity(size_t rowBytes) {
  return rowBytes * std::max<size_t>(1, kChunkBytes / rowBytes);
}

Status readHeader(Bytes data, Header& h) {
  ByteReader in(data);
  Bytes magic;
  uint8_t version, depth, filter, reserved8;
  uint32_t width, height;
  uint16_t entries, reserved16;
  if (!in.take(4, magic) || !std::equal(magic.begin(), magic.end(), kMagic))
    return {ErrorCode::BadHeader, "not a CMP file"};
  if (!in.u8(version)) return {ErrorCode::Truncated, "CMP header"};
  if (version != kVersion)
    return {ErrorCode::Unsupported, "CMP version " + std::to_string(version)};
  if (!in.u8(depth) || !in.u8(filter) || !in.u8(reserved8) || !in.u32le(width) ||
      !in.u32le(height) || !in.u16le(entries) || !in.u16le(reserved16))
    return {ErrorCode::Truncated, "CMP header"};
  if (depth != 1 && depth != 4 && depth != 8 && depth != 24)
    return {ErrorCode::BadHeader, "depth " + std::to_string(depth)};
  const bool filterFits = depth == 24
                              ? filter == kFilterMedianEdge || filter == kFilterGreenMedianEdge
                              : filter == kFilterNone;
  if (!filterFits) return {ErrorCode::BadHeader, "filter " + std::to_string(filter)};
  if (entries != (depth == 24 ? 0u : 1u << depth))
    return {ErrorCode::BadHeader, std::to_string(entries) + " palette entries"};
  if (reserved8 || reserved16) return {ErrorCode::BadHeader, "reserved fields set"};
  h = {depth, width, height, entries, filter};
  return {};
}

// Streams filtered rows into one zstd frame at the end of `out`.
class FrameWriter {
 public:
  FrameWriter(OutputBuffer& out, uint64_t payload, int level)
      : out_(out), cctx_(ZSTD_createCCtx()), capacity_(ZSTD_compressBound(payload)) {
    if (!cctx_) throw std::bad_alloc();
    ZSTD_CCtx_setParameter(cctx_.get(), ZSTD_c_compressionLevel, level);
    ZSTD_CCtx_setParameter(cctx_.get(), ZSTD_c_checksumFlag, 1);
    ZSTD_CCtx_setPledgedSrcSize(cctx_.get(), payload);
    dst_ = {out.tail(capacity_), capacity_, 0};
  }

  Status write(const uint8_t* data, size_t n, bool last) {
    ZSTD_inBuffer src{data, n, 0};
    const ZSTD_EndDirective mode = last ? ZSTD_e_end : ZSTD_e_continue;
    size_t left;
    do {
      left = ZSTD_compressStream2(cctx_.get(), &dst_, &src, mode);
      if (ZSTD_isError(left)) return {ErrorCode::OutOfMemory, ZSTD_getErrorName(left)};
    } while (last ? left != 0 : src.pos < src.size);
    if (last) out_.commit(dst_.pos);
    return {};
  }

 private:
  OutputBuffer& out_;
  std::unique_ptr<ZSTD_CCtx, CCtxFree> cctx_;
  size_t capacity_;
  ZSTD_outBuffer dst_;
};

// Calls fill(row, dst) for every stored row in order, feeding zstd a chunk
// of rows at a time.
template <class Fill>
Status writeRows(const Header& h, OutputBuffer& out, int level, Fill fill) {
  const size_t rowBytes = h.rowBytes(), rows = size_t(h.height) * h.planes();
  FrameWriter frame(out, uint64_t(rowBytes) * rows, level);
  std::vector<uint8_t> chunk(chunkCapacity(rowBytes));
  size_t used = 0;
  for (size_t r = 0; r < rows; ++r) {
    fill(r, chunk.data() + used);
    used += rowBytes;
    if (used == chunk.size() || r + 1 == rows) {
      ZELMAR_TRY(frame.write(chunk.data(), used, r + 1 == rows));
      used = 0;
    }
  }
  return {};
}

// Zeroes what a cut-short frame did not reach: stored rows from `row` on.
void clearFrom(Picture& pic, const Header& h, size_t row) {
  for (size_t r = row; r < size_t(h.height) * h.planes(); ++r) {
    uint8_t* dst = pic.row(uint32_t(r % h.height));
    if (h.depth != 24) {
      std::memset(dst, 0, pic.stride());
      continue;
    }
    for (uint32_t x = 0; x < h.width; ++x) dst[3 * x + kPlaneChannel[r / h.height]] = 0;
  }
}

// Decompresses the frame and hands each whole stored row to use(row, bytes).
// Returns the number of rows decoded in `rowsDone`; `ended` is false when
// the frame was cut short.
template <class Use>
Status readRows(Bytes frame, const Header& h, size_t& rowsDone, bool& ended, Use use) {
  std::unique_ptr<ZSTD_DCtx, DCtxFree> dctx(ZSTD_createDCtx());
  if (!dctx) return {ErrorCode::OutOfMemory};
  const size_t rowBytes = h.rowBytes();
  const uint64_t expected = uint64_t(rowBytes) * h.height * h.planes();
  std::vector<uint8_t> chunk(chunkCapacity(rowBytes));
  ZSTD_inBuffer src{frame.data(), frame.size(), 0};
  uint64_t produced = 0;
  rowsDone = 0;
  ended = false;
  for (;;) {
    ZSTD_outBuffer dst{chunk.data(), chunk.size(), 0};
    size_t ret;
    do {
      ret = ZSTD_decompressStream(dctx.get(), &dst, &src);
      if (ZSTD_isError(ret)) return {ErrorCode::CorruptData, ZSTD_getErrorName(ret)};
    } while (ret != 0 && dst.pos < dst.size && src.pos < src.size);
    if (dst.pos > expected - produced)
      return {ErrorCode::CorruptData, "more pixel data than declared"};
    produced += dst.pos;
    for (size_t at = 0; at + rowBytes <= dst.pos; at += rowBytes)
      use(rowsDone++, chunk.data() + at);
    if (ret == 0) {
      ended = true;
      break;
    }
    if (dst.pos < dst.size) break;  // the input ran out
  }
  if (ended && produced != expected) return {ErrorCode::CorruptData, "pixel data length"};
  if (ended && src.pos != src.size) return {ErrorCode::CorruptData, "data after the pixels"};
  return {};
}

}  // namespace

bool probe(Bytes data) {
  return data.size() >= sizeof kMagic && std::equal(kMagic, kMagic + 4, data.begin());
}

Status decode(Bytes data, const Limits& limits, Decoded& out) {
  Header h;
  ZELMAR_TRY(readHeader(data, h));
  ZELMAR_TRY(checkDimensions(h.width, h.height, limits));
  ByteReader in(data);
  Bytes pal, frame;
  if (!in.skip(kHeaderSize) || !in.take(h.paletteEntries * 3, pal))
    return {ErrorCode::Truncated, "palette"};
  (void)in.take(in.remaining(), frame);

  // Check the frame against the header before allocating anything.
  constexpr uint8_t kFrameMagic[4] = {0x28, 0xb5, 0x2f, 0xfd};
  if (!std::equal(frame.begin(), frame.begin() + std::min<size_t>(4, frame.size()), kFrameMagic))
    return {ErrorCode::CorruptData, "no zstd frame"};
  const unsigned long long declared = ZSTD_getFrameContentSize(frame.data(), frame.size());
  if (declared == ZSTD_CONTENTSIZE_ERROR) {
    constexpr size_t kLongestFrameHeader = 18;
    if (frame.size() < kLongestFrameHeader) return {ErrorCode::Truncated, "zstd frame header"};
    return {ErrorCode::CorruptData, "zstd frame header"};
  }
  const auto expected = checkedMul(h.rowBytes(), h.height, h.planes());
  if (!expected || declared != *expected)
    return {ErrorCode::CorruptData, "pixel data size does not match the header"};

  Picture pic;
  ZELMAR_TRY(Picture::create(h.width, h.height, h.depth, pic, limits));
  if (h.depth != 24) {
    Palette colors(h.paletteEntries);
    for (size_t i = 0; i < colors.size(); ++i)
      colors[i] = {pal[3 * i], pal[3 * i + 1], pal[3 * i + 2]};
    pic.setPalette(colors);
  }

  // 24-bit planes are rebuilt in plane rows (the predictor works on those)
  // and then stored into their channel.
  const bool plusGreen = h.filter == kFilterGreenMedianEdge;
  std::vector<uint8_t> cur(h.depth == 24 ? h.width : 0), above(cur.size());
  size_t rowsDone;
  bool ended;
  ZELMAR_TRY(readRows(frame, h, rowsDone, ended, [&](size_t r, const uint8_t* src) {
    const auto y = uint32_t(r % h.height);
    if (h.depth != 24) return rows::unpack(src, h.width, h.depth, pic.row(y));
    std::swap(cur, above);
    reconstructRow(src, y ? above.data() : nullptr, h.width, cur.data());
    storePlane(cur.data(), h.width, kPlaneChannel[r / h.height], plusGreen, pic.row(y));
  }));
  if (!ended) {
    if (rowsDone == 0) return {ErrorCode::Truncated, "no pixel row"};
    clearFrom(pic, h, rowsDone);
  }

  out.picture = std::move(pic);
  out.truncated = !ended;
  out.facts = {};
  out.facts.fileFormat = format::kCmp;
  out.facts.originBits = h.depth;
  out.facts.originWidth = h.width;
  out.facts.originHeight = h.height;
  out.facts.compression = "zstd";
  out.facts.pageCount = 1;
  return {};
}

Status encode(const Picture& picture, const EncodeOptions& options, OutputBuffer& out) {
  if (picture.empty()) return {ErrorCode::NoPicture};
  Header h{picture.bits(), picture.width(), picture.height(), picture.palette().size()};
  if (h.depth == 24)
    h.filter = greenSubtractionPays(picture) ? kFilterGreenMedianEdge : kFilterMedianEdge;
  out.append(kMagic, sizeof kMagic);
  out.put8(kVersion);
  out.put8(uint8_t(h.depth));
  out.put8(h.filter);
  out.put8(0);
  out.put32le(h.width);
  out.put32le(h.height);
  out.put16le(uint16_t(h.paletteEntries));
  out.put16le(0);
  for (const Rgb& c : picture.palette()) {
    const uint8_t rgb[3] = {c.r, c.g, c.b};
    out.append(rgb, 3);
  }
  const int level = levelForFactor(options.factor);

  if (h.depth != 24)
    return writeRows(h, out, level, [&](size_t y, uint8_t* dst) {
      rows::pack(picture.row(uint32_t(y)), h.width, h.depth, dst);
    });

  const bool minusGreen = h.filter == kFilterGreenMedianEdge;
  std::vector<uint8_t> cur(h.width), above(h.width);
  return writeRows(h, out, level, [&](size_t r, uint8_t* dst) {
    const auto y = uint32_t(r % h.height);
    std::swap(cur, above);
    extractPlane(picture.row(y), h.width, kPlaneChannel[r / h.height], minusGreen, cur.data());
    predictRow(cur.data(), y ? above.data() : nullptr, h.width, dst);
  });
}

}  // namespace zelmar::cmp
