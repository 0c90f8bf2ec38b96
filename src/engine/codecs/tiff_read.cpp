#include "engine/codecs/tiff_read.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "engine/codecs/packed_rows.h"
#include "engine/core/huge_pages.h"

namespace zelmar::tiff {
namespace {

struct Grid {
  bool tiled;
  uint32_t unitW, unitH;
  uint64_t rowBytes, unitBytes;
};

Status gridOf(TIFF* tif, const Target& pic, Grid& g) {
  g.tiled = TIFFIsTiled(tif);
  if (g.tiled) {
    if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &g.unitW) ||
        !TIFFGetField(tif, TIFFTAG_TILELENGTH, &g.unitH))
      return {ErrorCode::CorruptData, "tile size missing"};
    g.rowBytes = uint64_t(TIFFTileRowSize64(tif));
    g.unitBytes = uint64_t(TIFFTileSize64(tif));
  } else {
    uint32_t rps = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rps);
    g.unitW = pic.width;
    g.unitH = std::clamp<uint32_t>(rps, 1, pic.height);
    g.rowBytes = uint64_t(TIFFScanlineSize64(tif));
    g.unitBytes = g.rowBytes * g.unitH;
  }
  if (g.unitW == 0 || g.unitH == 0 || g.rowBytes == 0 || g.unitBytes == 0)
    return {ErrorCode::CorruptData, "empty strips or tiles"};
  return {};
}

// When the samples already are the picture's bytes, strips decode in place.
bool decodesInPlace(const Grid& g, const RowFormat& f, int planes, const Target& pic) {
  return !g.tiled && planes == 1 && f.bps == 8 && f.kind == SampleKind::Unsigned && !f.cmyk &&
         !f.invert && f.srcStep == f.channels && f.dstStep == f.channels &&
         g.rowBytes == pic.stride;
}

Target targetOf(Picture& pic) {
  return {pic.data(), pic.width(), pic.height(), pic.stride(), pic.bytesPerPixel()};
}

Status readInto(TIFF* tif, const RowFormat& format, int planes, uint64_t maxUnitBytes,
                const Target& pic, ReadResult& result) {
  Grid g;
  ZELMAR_TRY(gridOf(tif, pic, g));
  if (g.unitBytes > maxUnitBytes) return {ErrorCode::LimitExceeded, "strip or tile too large"};
  // The row converter reads this much of each decoded row; libtiff's row
  // size must cover it.
  if (rows::packedBytes(g.unitW, format.bps * format.srcStep) > g.rowBytes)
    return {ErrorCode::CorruptData, "rows shorter than their samples"};
  const bool inPlace = decodesInPlace(g, format, planes, pic);
  std::unique_ptr<uint8_t[]> buf;
  if (!inPlace) buf = std::make_unique_for_overwrite<uint8_t[]>(g.unitBytes);
  const int bpp = pic.bytesPerPixel;
  const RowConverter convert(format, g.unitW);
  // A compressed unit that fails part-way keeps its decoded start, so its
  // buffer is cleared first; plain copies are not, being written whole.
  uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  const bool clearFirst = compression != COMPRESSION_NONE;

  for (int plane = 0; plane < planes; ++plane) {
    for (uint32_t y0 = 0; y0 < pic.height; y0 += g.unitH) {
      const uint32_t rows = std::min(g.unitH, pic.height - y0);
      for (uint32_t x0 = 0; x0 < pic.width; x0 += g.unitW) {
        const uint32_t cols = std::min(g.unitW, pic.width - x0);
        ++result.units;
        uint8_t* dst = inPlace ? pic.row(y0) : buf.get();
        const size_t bytes = inPlace ? rows * pic.stride : size_t(g.unitBytes);
        if (clearFirst) std::memset(dst, 0, bytes);
        const tmsize_t got =
            g.tiled ? TIFFReadEncodedTile(tif, TIFFComputeTile(tif, x0, y0, 0, uint16_t(plane)),
                                          dst, tmsize_t(bytes))
                    : TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, y0, uint16_t(plane)), dst,
                                           tmsize_t(bytes));
        if (got < 0) ++result.failed;
        // What the unit did not fill shows black.
        const size_t filled = got > 0 ? std::min(size_t(got), bytes) : 0;
        if (!clearFirst) std::memset(dst + filled, 0, bytes - filled);
        if (inPlace) continue;
        for (uint32_t r = 0; r < rows; ++r)
          convert(buf.get() + r * g.rowBytes, pic.row(y0 + r) + size_t(x0) * bpp + plane, cols);
      }
    }
  }
  return {};
}

}  // namespace

Status readSamples(TIFF* tif, const RowFormat& format, int planes, uint64_t maxUnitBytes,
                   Picture& pic, ReadResult& result) {
  return readInto(tif, format, planes, maxUnitBytes, targetOf(pic), result);
}

Status readCmykPlanes(TIFF* tif, const RowFormat& plane, uint64_t maxUnitBytes, Picture& pic,
                      ReadResult& result) {
  // The picture's size is checked, so four bytes a pixel cannot wrap.
  const size_t stride = size_t(pic.width()) * 4;
  auto inks = uninitialisedBlock(stride * pic.height());
  ZELMAR_TRY(readInto(tif, plane, 4, maxUnitBytes,
                      {inks.get(), pic.width(), pic.height(), stride, 4}, result));
  const RowConverter toColour({.srcStep = 4, .channels = 4, .dstStep = 3, .cmyk = true},
                              pic.width());
  for (uint32_t y = 0; y < pic.height(); ++y)
    toColour(inks.get() + y * stride, pic.row(y), pic.width());
  return {};
}

Status readRgba(TIFF* tif, Picture& pic, ReadResult& result) {
  char why[1024] = "";
  if (!TIFFRGBAImageOK(tif, why)) return {ErrorCode::Unsupported, why};
  TIFFRGBAImage img;
  if (!TIFFRGBAImageBegin(&img, tif, 1, why)) return {ErrorCode::Unsupported, why};
  struct Ender {
    TIFFRGBAImage* img;
    ~Ender() { TIFFRGBAImageEnd(img); }
  } ender{&img};
  img.req_orientation = ORIENTATION_TOPLEFT;

  constexpr uint32_t kBand = 64;
  const uint32_t w = pic.width();
  auto raster = std::make_unique_for_overwrite<uint32_t[]>(size_t(w) * kBand);
  for (uint32_t y0 = 0; y0 < pic.height(); y0 += kBand) {
    const uint32_t rows = std::min(kBand, pic.height() - y0);
    std::memset(raster.get(), 0, size_t(w) * rows * 4);
    img.row_offset = int(y0);
    img.col_offset = 0;
    ++result.units;
    if (!TIFFRGBAImageGet(&img, raster.get(), w, rows)) ++result.failed;
    for (uint32_t r = 0; r < rows; ++r) {
      const uint32_t* in = raster.get() + size_t(r) * w;
      uint8_t* out = pic.row(y0 + r);
      for (uint32_t x = 0; x < w; ++x, out += 3) {
        out[0] = uint8_t(TIFFGetR(in[x]));
        out[1] = uint8_t(TIFFGetG(in[x]));
        out[2] = uint8_t(TIFFGetB(in[x]));
      }
    }
  }
  return {};
}

}  // namespace zelmar::tiff
