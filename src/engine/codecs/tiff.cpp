#include "engine/codecs/tiff.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/codecs/tiff_directory.h"
#include "engine/codecs/tiff_io.h"
#include "engine/codecs/tiff_read.h"
#include "engine/core/checked.h"

namespace zelmar::tiff {
namespace {

struct Header {
  uint32_t width = 0, height = 0;
  uint16_t bps = 1, spp = 1, photometric = PHOTOMETRIC_MINISBLACK;
  uint16_t planar = PLANARCONFIG_CONTIG, compression = COMPRESSION_NONE;
  uint16_t subH = 2, subV = 2;  // YCbCr chroma subsampling
  uint16_t sampleFormat = SAMPLEFORMAT_UINT;
};

Status readHeader(TIFF* tif, Header& h) {
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &h.width) ||
      !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h.height))
    return {ErrorCode::BadHeader, "picture size missing"};
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &h.bps);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &h.spp);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &h.planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &h.compression);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &h.sampleFormat);
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &h.photometric))
    h.photometric = h.spp >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
  if (h.photometric == PHOTOMETRIC_YCBCR)
    TIFFGetFieldDefaulted(tif, TIFFTAG_YCBCRSUBSAMPLING, &h.subH, &h.subV);
  if (h.bps == 0 || h.spp == 0) return {ErrorCode::BadHeader, "no samples"};
  return {};
}

bool isJpeg(uint16_t compression) {
  return compression == COMPRESSION_JPEG || compression == COMPRESSION_OJPEG;
}

int fileFormatOf(const Header& h) {
  if (isJpeg(h.compression)) {
    if (h.photometric != PHOTOMETRIC_YCBCR || (h.subH == 1 && h.subV == 1))
      return format::kTiffJpeg444;
    return h.subV == 1 ? format::kTiffJpeg422 : format::kTiffJpeg420;
  }
  if (h.photometric == PHOTOMETRIC_SEPARATED) return format::kTiffCmyk;
  if (h.photometric == PHOTOMETRIC_YCBCR) return format::kTiffYcbcr;
  return format::kTiff;
}

std::string compressionName(uint16_t c) {
  switch (c) {
    case COMPRESSION_NONE:
      return "None";
    case COMPRESSION_CCITTRLE:
      return "CCITT RLE";
    case COMPRESSION_CCITTRLEW:
      return "CCITT RLEW";
    case COMPRESSION_CCITTFAX3:
      return "CCITT G3";
    case COMPRESSION_CCITTFAX4:
      return "CCITT G4";
    case COMPRESSION_LZW:
      return "LZW";
    case COMPRESSION_OJPEG:
    case COMPRESSION_JPEG:
      return "JPEG";
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
      return "Deflate";
    case COMPRESSION_PACKBITS:
      return "PackBits";
    case COMPRESSION_THUNDERSCAN:
      return "ThunderScan";
    case COMPRESSION_NEXT:
      return "NeXT";
    case COMPRESSION_SGILOG:
    case COMPRESSION_SGILOG24:
      return "SGILog";
    case COMPRESSION_PIXARLOG:
      return "PixarLog";
    case COMPRESSION_JBIG:
      return "JBIG";
    case COMPRESSION_LZMA:
      return "LZMA";
    case COMPRESSION_ZSTD:
      return "zstd";
    case COMPRESSION_WEBP:
      return "WebP";
    default:
      return "Unknown (" + std::to_string(c) + ")";
  }
}

// How the pixels of a directory are read and what depth they load as.
struct Plan {
  bool samples = false;  // plain samples through readSamples, else through RGBA
  RowFormat row;
  int planes = 1;           // separate planes to read, one channel each
  bool cmykPlanes = false;  // four planes gathered first, then turned into colour
  int bits = 24;
};

bool sampleKind(uint16_t format, SampleKind& kind) {
  switch (format) {
    case SAMPLEFORMAT_UINT:
    case SAMPLEFORMAT_VOID:
      kind = SampleKind::Unsigned;
      return true;
    case SAMPLEFORMAT_INT:
      kind = SampleKind::Signed;
      return true;
    case SAMPLEFORMAT_IEEEFP:
      kind = SampleKind::Float;
      return true;
    default:
      return false;
  }
}

Plan planFor(TIFF* tif, const Header& h) {
  Plan p;
  SampleKind kind;
  if (!sampleKind(h.sampleFormat, kind)) return p;
  const bool contig = h.planar == PLANARCONFIG_CONTIG;
  const int step = contig ? h.spp : 1;
  uint16_t photometric = h.photometric;
  if (h.compression == COMPRESSION_JPEG && photometric == PHOTOMETRIC_YCBCR &&
      TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB))
    photometric = PHOTOMETRIC_RGB;  // libjpeg converts, far faster than the RGBA path
  const bool gray = photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
  const bool small = kind == SampleKind::Unsigned && (h.bps == 1 || h.bps == 2 || h.bps == 4);
  const bool sized = kind == SampleKind::Float ? h.bps == 16 || h.bps == 32 || h.bps == 64
                                               : h.bps >= 1 && h.bps <= 32;
  uint16_t inkset = INKSET_CMYK;
  TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &inkset);
  p.samples = true;
  if ((photometric == PHOTOMETRIC_PALETTE && (small || h.bps == 8) &&
       kind == SampleKind::Unsigned && h.spp == 1) ||
      (gray && small && (h.spp == 1 || !contig))) {
    // Palette indexes, and grey of a few bits as indexes into a grey ramp.
    p.bits = h.bps == 1 ? 1 : small ? 4 : 8;
    p.row = {.bps = h.bps, .srcStep = step, .index = true};
  } else if (!sized) {
    p.samples = false;
  } else if (gray) {
    p.bits = 8;
    p.row = {.bps = h.bps,
             .srcStep = step,
             .invert = photometric == PHOTOMETRIC_MINISWHITE,
             .kind = kind};
  } else if (photometric == PHOTOMETRIC_RGB && h.spp >= 3) {
    p.row = {.bps = h.bps, .srcStep = step, .channels = contig ? 3 : 1, .dstStep = 3, .kind = kind};
    p.planes = contig ? 1 : 3;
  } else if (photometric == PHOTOMETRIC_SEPARATED && inkset == INKSET_CMYK && h.spp >= 4) {
    if (contig) {
      p.row = {
          .bps = h.bps, .srcStep = step, .channels = 4, .dstStep = 3, .cmyk = true, .kind = kind};
    } else {
      p.row = {.bps = h.bps, .srcStep = 1, .channels = 1, .dstStep = 4, .kind = kind};
      p.planes = 4;
      p.cmykPlanes = true;
    }
  } else {
    p.samples = false;
  }
  return p;
}

Palette colorMap(TIFF* tif, int entries) {
  uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
  Palette pal;
  if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b)) return pal;
  // Some writers store 8-bit values in the 16-bit map.
  bool eightBit = true;
  for (int i = 0; i < entries; ++i) eightBit = eightBit && r[i] < 256 && g[i] < 256 && b[i] < 256;
  const int shift = eightBit ? 0 : 8;
  for (int i = 0; i < entries; ++i)
    pal.push_back({uint8_t(r[i] >> shift), uint8_t(g[i] >> shift), uint8_t(b[i] >> shift)});
  return pal;
}

void setPalette(TIFF* tif, const Header& h, Picture& pic) {
  if (pic.bits() == 24) return;
  const int entries = h.bps < 8 ? 1 << h.bps : 256;
  if (h.photometric == PHOTOMETRIC_PALETTE) {
    pic.setPalette(colorMap(tif, entries));
    return;
  }
  Palette ramp = grayPalette(entries);
  // 8- and 16-bit min-is-white samples were inverted while reading.
  if (h.photometric == PHOTOMETRIC_MINISWHITE && h.bps < 8) std::reverse(ramp.begin(), ramp.end());
  pic.setPalette(ramp);
}

// How far past the end of the file the pixel data claims to reach (0 when it
// all fits), and whether any of it starts inside the file.
struct DataExtent {
  uint64_t end = 0;
  bool anyInside = false;
};

DataExtent dataExtent(TIFF* tif, uint64_t fileSize) {
  DataExtent e;
  const uint32_t units = TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
  for (uint32_t i = 0; i < units; ++i) {
    const uint64_t off = TIFFGetStrileOffset(tif, i), count = TIFFGetStrileByteCount(tif, i);
    if (off >= fileSize || count == 0) continue;
    e.anyInside = true;
    e.end = std::max(e.end, checkedAdd(off, count).value_or(~0ull));
  }
  return e;
}

}  // namespace

bool probe(Bytes d) {
  if (d.size() < 4) return false;
  const bool le = d[0] == 'I' && d[1] == 'I' && d[3] == 0 && (d[2] == 42 || d[2] == 43);
  const bool be = d[0] == 'M' && d[1] == 'M' && d[2] == 0 && (d[3] == 42 || d[3] == 43);
  return le || be;
}

Status decode(Bytes data, const Limits& limits, Decoded& out) {
  if (!probe(data)) return {ErrorCode::BadHeader, "no TIFF signature"};
  // Generous for 16-bit samples of the largest picture the limits allow,
  // yet a bound on what a forged strip size can make libtiff allocate.
  const uint64_t maxAlloc =
      std::max<uint64_t>(checkedMul(limits.maxPixels, 8).value_or(~0ull >> 1), 16u << 20);
  MemSource source{data};
  TiffErrors errors;
  TiffPtr tif = openReader(source, errors, maxAlloc);
  if (!tif) return {ErrorCode::BadHeader, errors.first};
  if (!essentialTagsFit(data)) return {ErrorCode::BadHeader, "directory values past the end"};

  Header h;
  ZELMAR_TRY(readHeader(tif.get(), h));
  Decoded result;
  FileFacts& f = result.facts;
  f.fileFormat = fileFormatOf(h);
  // Both are 16-bit in the file: their product can pass what an int holds.
  f.originBits = int(std::min<int64_t>(int64_t(h.bps) * h.spp, INT32_MAX));
  f.originWidth = h.width;
  f.originHeight = h.height;
  f.compression = compressionName(h.compression);
  f.pageCount = std::max<int>(1, TIFFNumberOfDirectories(tif.get()));
  ZELMAR_TRY(checkDimensions(h.width, h.height, limits));

  // The samples of the whole picture as stored, uncompressed; the dimensions
  // are checked, so this cannot wrap.
  const uint64_t rawBytes = h.width * uint64_t(h.height) * h.spp * ((h.bps + 7) / 8);
  const DataExtent extent = dataExtent(tif.get(), data.size());
  if (!extent.anyInside) return {ErrorCode::Truncated, "no pixel data in the file"};
  bool padded = false;
  if (extent.end > data.size()) {
    // Cut short: reopen with zeros standing in for the missing bytes, at most
    // about a picture's worth, so the strips that run past the end still
    // decode up to where the file stops.
    tif.reset();
    source = MemSource{data, std::min(extent.end, data.size() + rawBytes + (1u << 20))};
    tif = openReader(source, errors, maxAlloc);
    if (!tif) return {ErrorCode::BadHeader, errors.first};
    padded = true;
  }

  const Plan plan = planFor(tif.get(), h);
  // libtiff's RGBA reader would show signed or floating-point samples as noise.
  if (!plan.samples && h.sampleFormat != SAMPLEFORMAT_UINT && h.sampleFormat != SAMPLEFORMAT_VOID)
    return {ErrorCode::Unsupported, "sample format " + std::to_string(h.sampleFormat) +
                                        " with photometric " + std::to_string(h.photometric)};
  // A tile may overhang the picture, but not by gigabytes.
  const uint64_t maxUnit = std::min(maxAlloc, std::max<uint64_t>(2 * rawBytes, 16u << 20));
  const uint64_t unit =
      uint64_t(TIFFIsTiled(tif.get()) ? TIFFTileSize64(tif.get()) : TIFFStripSize64(tif.get()));
  if (unit > maxUnit) return {ErrorCode::LimitExceeded, "strip or tile too large"};
  ZELMAR_TRY(Picture::create(h.width, h.height, plan.bits, result.picture, limits));
  ReadResult read;
  if (plan.cmykPlanes)
    ZELMAR_TRY(readCmykPlanes(tif.get(), plan.row, maxUnit, result.picture, read));
  else if (plan.samples)
    ZELMAR_TRY(readSamples(tif.get(), plan.row, plan.planes, maxUnit, result.picture, read));
  else
    ZELMAR_TRY(readRgba(tif.get(), result.picture, read));
  if (read.failed == read.units && !padded)
    return {ErrorCode::CorruptData, errors.first.empty() ? "no strip decoded" : errors.first};
  setPalette(tif.get(), h, result.picture);
  result.truncated = padded || read.failed > 0;
  out = std::move(result);
  return {};
}

}  // namespace zelmar::tiff
