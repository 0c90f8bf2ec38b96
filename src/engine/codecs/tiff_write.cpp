#include <algorithm>
#include <memory>
#include <vector>

#include "engine/codecs/packed_rows.h"
#include "engine/codecs/tiff.h"
#include "engine/codecs/tiff_io.h"

namespace zelmar::tiff {
namespace {

constexpr size_t kStripBytes = 256 << 10;  // big strips: fewer LZW restarts, little overhead

bool isRamp(const Palette& pal) { return pal == grayPalette(int(pal.size())); }

uint16_t photometricFor(const Picture& p) {
  if (p.bits() == 24) return PHOTOMETRIC_RGB;
  const Palette& pal = p.palette();
  if (isRamp(pal)) return PHOTOMETRIC_MINISBLACK;
  if (p.bits() == 1 && pal[0] == Rgb{255, 255, 255} && pal[1] == Rgb{0, 0, 0})
    return PHOTOMETRIC_MINISWHITE;
  return PHOTOMETRIC_PALETTE;
}

bool setTags(TIFF* tif, const Picture& p, uint16_t photometric, uint32_t rowsPerStrip) {
  const bool rgb = p.bits() == 24;
  bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, p.width()) &&
            TIFFSetField(tif, TIFFTAG_IMAGELENGTH, p.height()) &&
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, rgb ? 8 : p.bits()) &&
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, rgb ? 3 : 1) &&
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric) &&
            TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
            TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW) &&
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
  if (ok && p.bits() >= 8) ok = TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
  if (ok && photometric == PHOTOMETRIC_PALETTE) {
    const size_t n = p.palette().size();
    std::vector<uint16_t> r(n), g(n), b(n);
    for (size_t i = 0; i < n; ++i) {
      r[i] = uint16_t(p.palette()[i].r * 257);
      g[i] = uint16_t(p.palette()[i].g * 257);
      b[i] = uint16_t(p.palette()[i].b * 257);
    }
    ok = TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
  }
  return ok;
}

}  // namespace

Status encode(const Picture& picture, const EncodeOptions&, OutputBuffer& out) {
  if (picture.empty()) return {ErrorCode::NoPicture};
  const int bits = picture.bits();
  const size_t rowBytes =
      bits == 24 ? picture.stride() : size_t(rows::packedBytes(picture.width(), bits));
  const uint32_t rowsPerStrip =
      uint32_t(std::clamp<size_t>(kStripBytes / rowBytes, 1, picture.height()));

  // LZW with the predictor rarely grows data; reserve about the raw size once.
  out.reserve(out.size() + picture.height() * rowBytes + (64 << 10));
  MemSink sink{&out, out.size()};
  TiffErrors errors;
  TiffPtr tif = openWriter(sink, errors);
  if (!tif) return {ErrorCode::WriteFailed, errors.first};
  if (!setTags(tif.get(), picture, photometricFor(picture), rowsPerStrip))
    return {ErrorCode::WriteFailed, errors.first};

  // 8- and 24-bit rows go to libtiff as they are (it copies before
  // predicting); 1- and 4-bit rows are packed a strip at a time.
  std::unique_ptr<uint8_t[]> packed;
  if (bits < 8) packed = std::make_unique_for_overwrite<uint8_t[]>(rowBytes * rowsPerStrip);
  uint32_t strip = 0;
  for (uint32_t y0 = 0; y0 < picture.height(); y0 += rowsPerStrip, ++strip) {
    const uint32_t rows = std::min(rowsPerStrip, picture.height() - y0);
    const uint8_t* data = picture.row(y0);
    if (packed) {
      for (uint32_t r = 0; r < rows; ++r)
        rows::pack(picture.row(y0 + r), picture.width(), bits, packed.get() + r * rowBytes);
      data = packed.get();
    }
    if (TIFFWriteEncodedStrip(tif.get(), strip, const_cast<uint8_t*>(data),
                              tmsize_t(rows * rowBytes)) < 0)
      return {ErrorCode::WriteFailed, errors.first};
  }
  if (!TIFFWriteDirectory(tif.get()) || errors.count) return {ErrorCode::WriteFailed, errors.first};
  return {};
}

}  // namespace zelmar::tiff
