#include "engine/codecs/png.h"

#include <spng.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "engine/codecs/alpha.h"
#include "engine/codecs/packed_rows.h"
#include "engine/codecs/png_context.h"
#include "engine/codecs/png_rows.h"

namespace zelmar::png {
namespace {

// How the rows come from libspng and what they become.
enum class Kind {
  Colour,       // truecolour without transparency: R, G, B straight into the picture
  ColourAlpha,  // truecolour with alpha or a transparent colour: R, G, B, A composed
  Indexed,      // palette indexes as stored, 1 to 8 bits
  Grey,         // grey samples as stored, 1 to 16 bits, with alpha or a transparent grey
};

struct Header {
  spng_ihdr ihdr{};
  spng_plte plte{};
  spng_trns trns{};
  bool hasTrns = false;
  Kind kind = Kind::Colour;
  int format = SPNG_FMT_RGB8;
  bool greyAlpha = false;  // grey with an alpha channel or a transparent grey
  int bits = 24;           // the picture's depth
};

Status readHeader(spng_ctx* ctx, const DecodeOptions& options, Header& h) {
  ZELMAR_TRY(checkedCall(spng_get_ihdr(ctx, &h.ihdr), Stage::Header));
  ZELMAR_TRY(checkDimensions(h.ihdr.width, h.ihdr.height, options.limits));
  const spng_ihdr& i = h.ihdr;
  // Both read only the chunks before the pixel data.
  h.hasTrns = spng_get_trns(ctx, &h.trns) == 0;
  if (i.color_type == SPNG_COLOR_TYPE_INDEXED) {
    const int rc = spng_get_plte(ctx, &h.plte);
    if (rc) return checkedCall(rc, Stage::Header);
    h.kind = Kind::Indexed;
    h.format = SPNG_FMT_PNG;
    h.bits = i.bit_depth == 1 ? 1 : i.bit_depth == 8 ? 8 : 4;
  } else if (i.color_type == SPNG_COLOR_TYPE_GRAYSCALE ||
             i.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA) {
    h.kind = Kind::Grey;
    h.format = SPNG_FMT_PNG;
    h.greyAlpha = i.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA || h.hasTrns;
    h.bits = h.greyAlpha && !alpha::isGrey(options.background) ? 24 : 8;
  } else if (i.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA || h.hasTrns) {
    h.kind = Kind::ColourAlpha;
    h.format = SPNG_FMT_RGBA8;
  }
  return {};
}

// Grey samples of any depth (packed, or 16-bit in the machine's order) as
// grey, alpha pairs; a transparent grey has alpha 0.
void greyPairs(const Header& h, const uint8_t* src, uint8_t* ga, uint32_t width, uint8_t* scratch) {
  const int depth = h.ihdr.bit_depth;
  const bool alphaChannel = h.ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA;
  const int key = h.hasTrns ? h.trns.gray : -1;
  if (depth < 8) {
    rows::unpack(src, width, depth, scratch);
    const unsigned scale = 255 / ((1u << depth) - 1);
    for (uint32_t x = 0; x < width; ++x) {
      ga[2 * x] = uint8_t(scratch[x] * scale);
      ga[2 * x + 1] = scratch[x] == key ? 0 : 255;
    }
    return;
  }
  const unsigned step = alphaChannel ? 2 : 1;
  for (uint32_t x = 0; x < width; ++x) {
    unsigned v, a = 255;
    if (depth == 8) {
      v = src[step * x];
      if (alphaChannel) a = src[step * x + 1];
    } else {
      uint16_t s[2];
      std::memcpy(s, src + 2 * step * x, 2 * step);
      v = s[0];
      if (alphaChannel) a = (s[1] * 255u + 32767) / 65535;
    }
    if (int(v) == key) a = 0;
    ga[2 * x] = uint8_t(depth == 8 ? v : (v * 255 + 32767) / 65535);
    ga[2 * x + 1] = uint8_t(a);
  }
}

// Turns one decoded row into the picture's row `y`.
class RowWriter {
 public:
  RowWriter(const Header& h, Rgb back, uint32_t width) : h_(h), back_(back), width_(width) {
    if (h.kind == Kind::Grey) {
      pairs_ = std::make_unique_for_overwrite<uint8_t[]>(size_t(width) * 2);
      scratch_ = std::make_unique_for_overwrite<uint8_t[]>(width);
    }
  }

  // True when libspng's rows already are the picture's.
  bool direct() const {
    return h_.kind == Kind::Colour || (h_.kind == Kind::Indexed && h_.ihdr.bit_depth == 8) ||
           (h_.kind == Kind::Grey && h_.ihdr.bit_depth == 8 && !h_.greyAlpha);
  }

  void operator()(const uint8_t* src, uint8_t* dst) const {
    switch (h_.kind) {
      case Kind::Colour:
        std::memcpy(dst, src, size_t(width_) * 3);
        return;
      case Kind::ColourAlpha:
        alpha::rgbaOver(src, dst, width_, back_);
        return;
      case Kind::Indexed:
        rows::unpack(src, width_, h_.ihdr.bit_depth, dst);
        return;
      case Kind::Grey:
        greyPairs(h_, src, pairs_.get(), width_, scratch_.get());
        if (h_.bits == 24)
          alpha::greyAlphaOverColour(pairs_.get(), dst, width_, back_);
        else
          alpha::greyAlphaOver(pairs_.get(), dst, width_, back_.r);
        return;
    }
  }

 private:
  const Header& h_;
  Rgb back_;
  uint32_t width_;
  std::unique_ptr<uint8_t[]> pairs_, scratch_;
};

Palette paletteOf(const Header& h, Rgb back) {
  Palette pal;
  for (uint32_t i = 0; i < h.plte.n_entries; ++i)
    pal.push_back({h.plte.entries[i].red, h.plte.entries[i].green, h.plte.entries[i].blue});
  if (h.hasTrns) alpha::paletteOver(pal, h.trns.type3_alpha, h.trns.n_type3_entries, back);
  return pal;
}

// Samples a pixel, by colour type.
unsigned channelsOf(const Header& h) {
  static constexpr unsigned kChannels[] = {1, 0, 3, 1, 2, 0, 4};
  return kChannels[std::min<int>(h.ihdr.color_type, 6)];
}

// The IDAT chunks' contents, one after another. A chunk cut short gives
// what there is; checksums are not checked (as libspng is told).
class IdatChunks {
 public:
  explicit IdatChunks(Bytes file) : file_(file) {}
  bool next(Bytes& chunk) {
    while (pos_ + 8 <= file_.size()) {
      const uint8_t* at = file_.data() + pos_;
      const size_t length = size_t(at[0]) << 24 | size_t(at[1]) << 16 | size_t(at[2]) << 8 | at[3];
      const size_t start = pos_ + 8, size = std::min(length, file_.size() - start);
      pos_ = start + size + 4;
      if (std::memcmp(at + 4, "IDAT", 4) == 0) {
        seen_ = true;
        chunk = file_.subspan(start, size);
        return true;
      }
      if (seen_) break;  // the pixel data ends with the first other chunk after it
    }
    return false;
  }

 private:
  Bytes file_;
  size_t pos_ = 8;  // after the signature
  bool seen_ = false;
};

struct Inflater {
  z_stream z{};
  bool open = false;
  ~Inflater() {
    if (open) inflateEnd(&z);
  }
};

struct RowsRead {
  uint32_t done = 0;
  bool complete = false;
  Status failure;  // why none could be read
};

// Rows of whole bytes a pixel, not interlaced: inflated and unfiltered here,
// as libspng undoes the commonest filter a byte at a time.
RowsRead ownRows(Bytes file, const Header& h, size_t rowBytes, const RowWriter& write,
                 Picture& pic) {
  RowsRead r;
  const unsigned bpp = channelsOf(h);
  Inflater inf;
  if (inflateInit(&inf.z) != Z_OK) {
    r.failure = {ErrorCode::OutOfMemory, "cannot start inflating"};
    return r;
  }
  inf.open = true;
  inflateValidate(&inf.z, 0);
  IdatChunks chunks(file);
  std::vector<uint8_t> raw(rowBytes + 1), mine(write.direct() ? 0 : 2 * rowBytes);
  const std::vector<uint8_t> zeros(rowBytes);
  const uint8_t* prev = zeros.data();
  bool ended = false;
  for (uint32_t y = 0; y < h.ihdr.height && !ended; ++y) {
    inf.z.next_out = raw.data();
    inf.z.avail_out = uInt(raw.size());
    while (inf.z.avail_out > 0) {
      if (inf.z.avail_in == 0) {
        Bytes chunk;
        if (!chunks.next(chunk)) break;
        inf.z.next_in = const_cast<Bytef*>(chunk.data());
        inf.z.avail_in = uInt(chunk.size());
        continue;
      }
      const int rc = inflate(&inf.z, Z_NO_FLUSH);
      if (rc == Z_STREAM_END) break;
      if (rc != Z_OK && rc != Z_BUF_ERROR) {
        ended = true;
        r.failure = {rc == Z_MEM_ERROR ? ErrorCode::OutOfMemory : ErrorCode::CorruptData,
                     "the pixel data does not inflate"};
        break;
      }
    }
    if (inf.z.avail_out > 0) {
      if (r.failure.ok()) r.failure = {ErrorCode::Truncated, "the pixel data ends early"};
      break;
    }
    uint8_t* out = write.direct() ? pic.row(y) : mine.data() + (y % 2) * rowBytes;
    if (!unfilterRow(raw[0], raw.data() + 1, prev, out, rowBytes, bpp)) {
      r.failure = {ErrorCode::CorruptData, "unknown row filter"};
      break;
    }
    if (!write.direct()) write(out, pic.row(y));
    prev = out;
    ++r.done;
  }
  r.complete = r.done == h.ihdr.height;
  if (r.complete) r.failure = {};
  return r;
}

// Any other layout, through libspng's progressive reader (started by the
// caller). Interlaced rows are visited once a pass, so each keeps its own
// buffer (the picture's row when the layouts match), cleared for the pixels
// later passes never bring.
RowsRead spngRows(spng_ctx* ctx, const Header& h, size_t imageBytes, size_t rowBytes,
                  const RowWriter& write, Picture& pic) {
  RowsRead r;
  const uint32_t height = h.ihdr.height;
  const bool interlaced = h.ihdr.interlace_method != SPNG_INTERLACE_NONE;
  std::unique_ptr<uint8_t[]> rowsIn;
  if (!write.direct())
    rowsIn = std::make_unique_for_overwrite<uint8_t[]>(interlaced ? imageBytes : rowBytes);
  uint8_t* in = write.direct() ? pic.data() : rowsIn.get();
  if (interlaced) std::memset(in, 0, imageBytes);
  int rc = 0;
  uint32_t lastRow = 0;
  while (rc == 0) {
    spng_row_info info;
    rc = spng_get_row_info(ctx, &info);
    if (rc) break;
    uint8_t* row = in + (interlaced || write.direct() ? size_t(info.row_num) * rowBytes : 0);
    rc = spng_decode_row(ctx, row, rowBytes);
    if (rc != 0 && rc != SPNG_EOI) break;
    if (!write.direct() && !interlaced) write(row, pic.row(info.row_num));
    ++r.done;
    lastRow = info.row_num;
  }
  r.complete = rc == SPNG_EOI;
  if (!r.complete) r.failure = checkedCall(rc, Stage::Pixels);
  if (interlaced && !write.direct())
    for (uint32_t y = 0; y < height; ++y) write(in + size_t(y) * rowBytes, pic.row(y));
  // Rows after the last one read stay black.
  if (!interlaced && r.done) r.done = lastRow + 1;
  return r;
}

}  // namespace

bool probe(Bytes data) {
  static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  return data.size() >= 8 && std::equal(kSignature, kSignature + 8, data.begin());
}

Status decode(Bytes data, const DecodeOptions& options, Decoded& out) {
  if (!probe(data)) return {ErrorCode::BadHeader, "no PNG signature"};
  Context ctx;
  ZELMAR_TRY(openReader(data, options.limits, ctx));
  Header h;
  ZELMAR_TRY(readHeader(ctx.get(), options, h));
  size_t imageBytes = 0;
  ZELMAR_TRY(checkedCall(spng_decoded_image_size(ctx.get(), h.format, &imageBytes), Stage::Header));
  const uint32_t width = h.ihdr.width, height = h.ihdr.height;
  const size_t rowBytes = imageBytes / height;

  Picture pic;
  ZELMAR_TRY(Picture::create(width, height, h.bits, pic, options.limits));
  if (h.kind == Kind::Indexed) pic.setPalette(paletteOf(h, options.background));
  if (h.bits == 8 && h.kind == Kind::Grey) pic.setPalette(grayPalette(256));

  const bool interlaced = h.ihdr.interlace_method != SPNG_INTERLACE_NONE;
  const RowWriter write(h, options.background, width);
  // Ours for 8-bit rows libspng would hand over as stored.
  const bool own =
      !interlaced && h.ihdr.bit_depth == 8 && rowBytes == size_t(width) * channelsOf(h) &&
      !(h.kind == Kind::ColourAlpha && h.ihdr.color_type != SPNG_COLOR_TYPE_TRUECOLOR_ALPHA);
  RowsRead rows;
  if (own) {
    rows = ownRows(data, h, rowBytes, write, pic);
  } else {
    const int flags = h.kind == Kind::ColourAlpha ? SPNG_DECODE_TRNS : 0;
    ZELMAR_TRY(checkedCall(
        spng_decode_image(ctx.get(), nullptr, 0, h.format, flags | SPNG_DECODE_PROGRESSIVE),
        Stage::Header));
    rows = spngRows(ctx.get(), h, imageBytes, rowBytes, write, pic);
  }
  if (!rows.complete && rows.done == 0) return rows.failure;
  if (!rows.complete && !interlaced)
    for (uint32_t y = rows.done; y < height; ++y) std::memset(pic.row(y), 0, pic.stride());

  out.picture = std::move(pic);
  out.truncated = !rows.complete;
  out.facts = FileFacts{};
  out.facts.fileFormat = format::kPng;
  out.facts.originBits = h.ihdr.bit_depth * int(channelsOf(h));
  out.facts.originWidth = width;
  out.facts.originHeight = height;
  out.facts.compression = "Deflate";
  out.facts.pageCount = 1;
  return {};
}

}  // namespace zelmar::png
