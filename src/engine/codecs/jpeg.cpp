#include "engine/codecs/jpeg.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "engine/codecs/jpeg_markers.h"
#include "engine/core/huge_pages.h"

namespace zelmar::jpeg {
namespace {

struct TjCloser {
  void operator()(void* h) const { tjDestroy(h); }
};
using TjHandle = std::unique_ptr<void, TjCloser>;

std::string tjMessage(tjhandle h) { return tjGetErrorStr2(h); }

// How one TurboJPEG call ended. TurboJPEG reports a warning for a call in
// which any warning came first, even when a fatal error followed (a stray
// byte, then a missing table); libjpeg's last message tells them apart.
enum class Outcome { Ok, Warned, Failed };
struct TjResult {
  Outcome outcome = Outcome::Ok;
  std::string message;
};

TjResult resultOf(tjhandle h, int rc) {
  if (rc == 0) return {};
  static constexpr std::string_view kWarnings[] = {"Corrupt JPEG data",
                                                   "Premature end of JPEG file",
                                                   "Unknown Adobe color transform",
                                                   "Inconsistent progression sequence",
                                                   "Warning: unknown JFIF",
                                                   "Invalid SOS parameters for sequential JPEG",
                                                   "Application transferred too many scanlines"};
  TjResult r{Outcome::Failed, tjMessage(h)};  // read once: TurboJPEG clears it
  if (tjGetErrorCode(h) == TJERR_WARNING &&
      std::any_of(std::begin(kWarnings), std::end(kWarnings),
                  [&](std::string_view w) { return r.message.starts_with(w); }))
    r.outcome = Outcome::Warned;
  return r;
}

// `share`: luma samples a chroma sample covers, for samplings TurboJPEG has no name for.
int formatFor(int subsamp, int share) {
  switch (subsamp) {
    case TJSAMP_422:
    case TJSAMP_440:  // half the chroma, like 4:2:2, only vertically
      return format::kJpeg422;
    case TJSAMP_420:
    case TJSAMP_411:
      return format::kJpeg420;
    case -1:
      return share >= 4 ? format::kJpeg420 : share >= 2 ? format::kJpeg422 : format::kJpeg444;
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

TjResult decodePixels(tjhandle h, Bytes data, int colorspace, bool adobe, Picture& pic) {
  const int w = int(pic.width()), ht = int(pic.height());
  auto run = [&](uint8_t* dst, int bytesPerPixel, int pixelFormat) {
    // Scan-limited: a progressive file of endless scans is refused, not ground through.
    return resultOf(h, tjDecompress2(h, data.data(), data.size(), dst, w, w * bytesPerPixel, ht,
                                     pixelFormat, TJFLAG_LIMITSCANS));
  };
  if (colorspace == TJCS_GRAY) return run(pic.data(), 1, TJPF_GRAY);
  if (colorspace != TJCS_CMYK && colorspace != TJCS_YCCK) return run(pic.data(), 3, TJPF_RGB);
  // The picture's own size is checked, and 4 bytes a pixel cannot wrap.
  auto cmyk = uninitialisedBlock(size_t(pic.width()) * pic.height() * 4);
  const TjResult r = run(cmyk.get(), 4, TJPF_CMYK);
  // After a warning every row was written; after an error the picture is dropped.
  if (r.outcome != Outcome::Failed)
    cmykToRgb(cmyk.get(), pic.data(), size_t(w) * size_t(ht), adobe);
  return r;
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
  int width = 0, height = 0, subsamp = -1, colorspace = -1;
  // A warning (stray bytes between segments) still gives the whole header.
  const TjResult header = resultOf(
      h, tjDecompressHeader3(h, data.data(), data.size(), &width, &height, &subsamp, &colorspace));
  // TurboJPEG names few samplings and refuses the header of any other, yet
  // decodes them: the header's values are all there.
  const bool unnamedSampling = header.message.find("subsampling type") != std::string::npos;
  if ((header.outcome == Outcome::Failed && !unnamedSampling) || width <= 0 || height <= 0 ||
      colorspace < 0)
    return {ErrorCode::BadHeader, header.message};
  if (unnamedSampling) subsamp = -1;
  const MarkerInfo markers = scanMarkers(data);
  // libjpeg would "decode" a file that stops at its first scan into grey.
  if (markers.scanData == 0 || markers.scanData >= data.size())
    return {ErrorCode::Truncated, "no pixel data in the file"};
  const int bits = colorspace == TJCS_GRAY ? 8 : 24;
  Decoded result;
  ZELMAR_TRY(Picture::create(uint32_t(width), uint32_t(height), bits, result.picture, limits));
  if (bits == 8) result.picture.setPalette(grayPalette(256));

  const TjResult pixels = decodePixels(h, data, colorspace, markers.adobe, result.picture);
  if (pixels.outcome == Outcome::Failed) return {ErrorCode::CorruptData, pixels.message};
  if (pixels.outcome == Outcome::Warned) {
    // The decoder carried on: a file cut short still shows its upper part;
    // other warnings (stray bytes) leave a whole picture. libjpeg says
    // "Premature end of JPEG file" or "... premature end of data segment".
    std::string why = pixels.message;
    std::transform(why.begin(), why.end(), why.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    result.truncated = why.find("premature end") != std::string::npos;
    if (result.truncated) blackenMissingRows(result.picture);
  }
  ZELMAR_TRY(applyOrientation(result.picture, markers.orientation));

  FileFacts& f = result.facts;
  f.fileFormat = formatFor(subsamp, markers.chromaShare);
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
