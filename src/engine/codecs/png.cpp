#include "engine/codecs/png.h"

#include <spng.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "engine/codecs/alpha.h"
#include "engine/codecs/packed_rows.h"
#include "engine/codecs/png_context.h"

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

  const int flags = h.kind == Kind::ColourAlpha ? SPNG_DECODE_TRNS : 0;
  ZELMAR_TRY(checkedCall(
      spng_decode_image(ctx.get(), nullptr, 0, h.format, flags | SPNG_DECODE_PROGRESSIVE),
      Stage::Header));
  // Interlaced rows are visited once a pass, so each keeps its own buffer
  // (the picture's row when the layouts match), cleared for the pixels
  // later passes never bring.
  const bool interlaced = h.ihdr.interlace_method != SPNG_INTERLACE_NONE;
  const RowWriter write(h, options.background, width);
  std::unique_ptr<uint8_t[]> rowsIn;
  if (!write.direct())
    rowsIn = std::make_unique_for_overwrite<uint8_t[]>(interlaced ? imageBytes : rowBytes);
  uint8_t* in = write.direct() ? pic.data() : rowsIn.get();
  if (interlaced) std::memset(in, 0, imageBytes);

  int rc = 0;
  uint32_t rowsDone = 0, lastRow = 0;
  while (rc == 0) {
    spng_row_info info;
    rc = spng_get_row_info(ctx.get(), &info);
    if (rc) break;
    uint8_t* row = in + (interlaced || write.direct() ? size_t(info.row_num) * rowBytes : 0);
    rc = spng_decode_row(ctx.get(), row, rowBytes);
    if (rc != 0 && rc != SPNG_EOI) break;
    if (!write.direct() && !interlaced) write(row, pic.row(info.row_num));
    ++rowsDone;
    lastRow = info.row_num;
  }
  const bool complete = rc == SPNG_EOI;
  if (!complete && rowsDone == 0) return checkedCall(rc, Stage::Pixels);
  if (interlaced && !write.direct())
    for (uint32_t y = 0; y < height; ++y) write(in + size_t(y) * rowBytes, pic.row(y));
  if (!complete && !interlaced)
    for (uint32_t y = lastRow + 1; y < height; ++y) std::memset(pic.row(y), 0, pic.stride());

  out.picture = std::move(pic);
  out.truncated = !complete;
  out.facts = FileFacts{};
  out.facts.fileFormat = format::kPng;
  static constexpr int kChannels[] = {1, 0, 3, 1, 2, 0, 4};
  out.facts.originBits = h.ihdr.bit_depth * kChannels[std::min<int>(h.ihdr.color_type, 6)];
  out.facts.originWidth = width;
  out.facts.originHeight = height;
  out.facts.compression = "Deflate";
  out.facts.pageCount = 1;
  return {};
}

}  // namespace zelmar::png
