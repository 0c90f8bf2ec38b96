#include "engine/codecs/jpeg.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "engine/codecs/jpeg_markers.h"
#include "engine/core/checked.h"

namespace zelmar::jpeg {
namespace {

struct TjCloser {
  void operator()(void* h) const { tjDestroy(h); }
};
using TjHandle = std::unique_ptr<void, TjCloser>;

std::string tjMessage(tjhandle h) { return tjGetErrorStr2(h); }

int formatFor(int subsamp) {
  switch (subsamp) {
    case TJSAMP_422:
    case TJSAMP_440:  // half the chroma, like 4:2:2, only vertically
      return format::kJpeg422;
    case TJSAMP_420:
    case TJSAMP_411:
      return format::kJpeg420;
    default:
      return format::kJpeg444;
  }
}

// Plain CMYK stores ink amounts; Adobe's files store them inverted.
void cmykToRgb(const uint8_t* cmyk, uint8_t* rgb, size_t pixels, bool inverted) {
  const uint8_t flip = inverted ? 0 : 255;
  for (size_t i = 0; i < pixels; ++i, cmyk += 4, rgb += 3) {
    const unsigned k = uint8_t(cmyk[3] ^ flip);
    for (int c = 0; c < 3; ++c) rgb[c] = uint8_t((uint8_t(cmyk[c] ^ flip) * k + 127) / 255);
  }
}

Status decodePixels(tjhandle h, Bytes data, int colorspace, bool adobe, Picture& pic) {
  const int w = int(pic.width()), ht = int(pic.height());
  auto run = [&](uint8_t* dst, int bytesPerPixel, int pixelFormat) {
    // Scan-limited: a progressive file of endless scans is refused, not ground through.
    return tjDecompress2(h, data.data(), data.size(), dst, w, w * bytesPerPixel, ht, pixelFormat,
                         TJFLAG_LIMITSCANS)
               ? Status{ErrorCode::CorruptData, tjMessage(h)}
               : Status{};
  };
  if (colorspace == TJCS_GRAY) return run(pic.data(), 1, TJPF_GRAY);
  if (colorspace != TJCS_CMYK && colorspace != TJCS_YCCK) return run(pic.data(), 3, TJPF_RGB);
  const auto bytes = checkedMul(pic.width(), pic.height(), 4);
  if (!bytes) return {ErrorCode::LimitExceeded};
  auto cmyk = std::make_unique_for_overwrite<uint8_t[]>(*bytes);
  const Status s = run(cmyk.get(), 4, TJPF_CMYK);
  // After a warning every row was written; after an error the picture is dropped.
  if (s.ok() || tjGetErrorCode(h) == TJERR_WARNING)
    cmykToRgb(cmyk.get(), pic.data(), size_t(w) * size_t(ht), adobe);
  return s;
}

// libjpeg decodes the blocks after the end of a cut-short file as empty,
// which shows as mid-grey; rows that stayed wholly so are shown black, like
// the missing part of any other cut-short picture.
void blackenMissingRows(Picture& pic) {
  for (uint32_t y = pic.height(); y-- > 0;) {
    uint8_t* row = pic.row(y);
    if (!std::all_of(row, row + pic.stride(), [](uint8_t v) { return v == 128; })) return;
    std::memset(row, 0, pic.stride());
  }
}

}  // namespace

bool probe(Bytes data) {
  return data.size() >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

Status decode(Bytes data, const Limits& limits, Decoded& out) {
  if (!probe(data)) return {ErrorCode::BadHeader, "no JPEG start of image"};
  TjHandle handle(tjInitDecompress());
  if (!handle) return {ErrorCode::OutOfMemory};
  tjhandle h = handle.get();
  int width, height, subsamp, colorspace;
  if (tjDecompressHeader3(h, data.data(), data.size(), &width, &height, &subsamp, &colorspace)) {
    const std::string why = tjMessage(h);
    if (why.find("subsampling") != std::string::npos) return {ErrorCode::Unsupported, why};
    return {ErrorCode::BadHeader, why};
  }
  const int bits = colorspace == TJCS_GRAY ? 8 : 24;
  Decoded result;
  ZELMAR_TRY(Picture::create(uint32_t(width), uint32_t(height), bits, result.picture, limits));
  if (bits == 8) result.picture.setPalette(grayPalette(256));

  const MarkerInfo markers = scanMarkers(data);
  const Status pixels = decodePixels(h, data, colorspace, markers.adobe, result.picture);
  if (!pixels.ok()) {
    // A warning means the decoder carried on: a file cut short still shows
    // its upper part; other warnings (stray bytes) leave a whole picture.
    if (tjGetErrorCode(h) != TJERR_WARNING) return pixels;
    result.truncated = pixels.detail().find("Premature end") != std::string::npos;
    if (result.truncated) blackenMissingRows(result.picture);
  }
  ZELMAR_TRY(applyOrientation(result.picture, markers.orientation));

  FileFacts& f = result.facts;
  f.fileFormat = formatFor(subsamp);
  f.originBits = colorspace == TJCS_GRAY                                ? 8
                 : (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK) ? 32
                                                                        : 24;
  f.originWidth = uint32_t(width);
  f.originHeight = uint32_t(height);
  f.compression = "JPEG";
  f.pageCount = 1;
  out = std::move(result);
  return {};
}

namespace {

// The pixels as TurboJPEG takes them: the picture's own buffer when it
// already has the layout, else an expanded copy held in `scratch`.
const uint8_t* sourcePixels(const Picture& p, bool gray, std::unique_ptr<uint8_t[]>& scratch) {
  if (p.bits() == 24 || (p.bits() == 8 && p.palette() == grayPalette(256))) return p.data();
  const size_t pixels = size_t(p.width()) * p.height();
  scratch = std::make_unique_for_overwrite<uint8_t[]>(pixels * (gray ? 1 : 3));
  const Palette& pal = p.palette();
  const uint8_t* in = p.data();
  uint8_t* o = scratch.get();
  const size_t mask = pal.size() - 1;
  if (gray) {
    for (size_t i = 0; i < pixels; ++i) o[i] = pal[in[i] & mask].r;
  } else {
    for (size_t i = 0; i < pixels; ++i, o += 3) {
      const Rgb c = pal[in[i] & mask];
      o[0] = c.r;
      o[1] = c.g;
      o[2] = c.b;
    }
  }
  return scratch.get();
}

}  // namespace

Status encode(const Picture& picture, const EncodeOptions& options, OutputBuffer& out) {
  if (picture.empty()) return {ErrorCode::NoPicture};
  if (options.factor < 2 || options.factor > 255)
    return {ErrorCode::InvalidArgument, "compression factor " + std::to_string(options.factor)};
  // 100 − (factor − 2) × 100 / 253 taken whole, so 64 gives 75; it reaches 0
  // at 255, and libjpeg's lowest quality is 1.
  const int quality = std::max(1, (100 * 253 - (options.factor - 2) * 100) / 253);
  const bool gray = picture.bits() != 24 && picture.isGray();
  const int subsamp = gray ? TJSAMP_GRAY : TJSAMP_420;
  const int w = int(picture.width()), h = int(picture.height());

  std::unique_ptr<uint8_t[]> scratch;
  const uint8_t* src = sourcePixels(picture, gray, scratch);
  TjHandle handle(tjInitCompress());
  if (!handle) return {ErrorCode::OutOfMemory};
  const unsigned long bound = tjBufSize(w, h, subsamp);
  if (bound == static_cast<unsigned long>(-1)) return {ErrorCode::LimitExceeded};
  // Compress straight into the output: the bound guarantees room.
  unsigned char* dst = out.tail(bound);
  unsigned long size = bound;
  if (tjCompress2(handle.get(), src, w, 0, h, gray ? TJPF_GRAY : TJPF_RGB, &dst, &size, subsamp,
                  quality, TJFLAG_NOREALLOC))
    return {ErrorCode::WriteFailed, tjMessage(handle.get())};
  out.commit(size);
  return {};
}

}  // namespace zelmar::jpeg
