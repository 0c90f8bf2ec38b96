#include "engine/codecs/webp.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <memory>
#include <string>

#include "engine/codecs/alpha.h"
#include "engine/core/huge_pages.h"

namespace zelmar::webp {
namespace {

Status statusError(VP8StatusCode code) {
  switch (code) {
    case VP8_STATUS_OUT_OF_MEMORY:
      return {ErrorCode::OutOfMemory};
    case VP8_STATUS_NOT_ENOUGH_DATA:
      return {ErrorCode::Truncated, "no pixel data decoded"};
    case VP8_STATUS_UNSUPPORTED_FEATURE:
      return {ErrorCode::Unsupported, "WebP feature"};
    case VP8_STATUS_BITSTREAM_ERROR:
      return {ErrorCode::CorruptData, "WebP bitstream error"};
    default:
      return {ErrorCode::BadHeader, "WebP code " + std::to_string(int(code))};
  }
}

struct IdecDelete {
  void operator()(WebPIDecoder* d) const { WebPIDelete(d); }
};
struct AnimDelete {
  void operator()(WebPAnimDecoder* d) const { WebPAnimDecoderDelete(d); }
};

// A still picture, decoded incrementally so that a file cut short keeps the
// rows it had: straight into the picture without alpha, else through RGBA.
Status decodeStill(Bytes data, const WebPBitstreamFeatures& f, const DecodeOptions& options,
                   Picture& pic, bool& complete) {
  WebPDecoderConfig config;
  if (!WebPInitDecoderConfig(&config)) return {ErrorCode::OutOfMemory, "libwebp version"};
  const size_t pixels = size_t(pic.width()) * pic.height();
  std::unique_ptr<uint8_t[]> rgba;
  WebPDecBuffer& o = config.output;
  o.is_external_memory = 1;
  if (f.has_alpha) {
    rgba = uninitialisedBlock(pixels * 4);
    o.colorspace = MODE_RGBA;
    o.u.RGBA = {rgba.get(), int(pic.width()) * 4, pixels * 4};
  } else {
    o.colorspace = MODE_RGB;
    o.u.RGBA = {pic.data(), int(pic.stride()), pic.byteSize()};
  }
  std::unique_ptr<WebPIDecoder, IdecDelete> idec(WebPIDecode(nullptr, 0, &config));
  if (!idec) return {ErrorCode::OutOfMemory};
  const VP8StatusCode status = WebPIUpdate(idec.get(), data.data(), data.size());
  int rows = 0, w = 0, h = 0, stride = 0;
  if (!WebPIDecGetRGB(idec.get(), &rows, &w, &h, &stride)) rows = 0;
  complete = status == VP8_STATUS_OK;
  if (!complete && (status != VP8_STATUS_SUSPENDED || rows <= 0))
    return statusError(status == VP8_STATUS_SUSPENDED ? VP8_STATUS_NOT_ENOUGH_DATA : status);
  if (f.has_alpha)
    for (int y = 0; y < rows; ++y)
      alpha::rgbaOver(rgba.get() + size_t(y) * pic.width() * 4, pic.row(uint32_t(y)), pic.width(),
                      options.background);
  for (uint32_t y = uint32_t(rows); y < pic.height(); ++y) std::memset(pic.row(y), 0, pic.stride());
  return {};
}

// The first frame of an animation, as the canvas shows it.
Status decodeFirstFrame(Bytes data, const DecodeOptions& options, Picture& pic, int& frames) {
  WebPAnimDecoderOptions o;
  if (!WebPAnimDecoderOptionsInit(&o)) return {ErrorCode::OutOfMemory, "libwebp version"};
  o.color_mode = MODE_RGBA;
  const WebPData webpData{data.data(), data.size()};
  std::unique_ptr<WebPAnimDecoder, AnimDelete> dec(WebPAnimDecoderNew(&webpData, &o));
  if (!dec) return {ErrorCode::CorruptData, "broken WebP animation"};
  WebPAnimInfo info;
  uint8_t* canvas;
  int timestamp;
  if (!WebPAnimDecoderGetInfo(dec.get(), &info) || info.canvas_width != pic.width() ||
      info.canvas_height != pic.height() || !WebPAnimDecoderGetNext(dec.get(), &canvas, &timestamp))
    return {ErrorCode::CorruptData, "broken WebP animation"};
  for (uint32_t y = 0; y < pic.height(); ++y)
    alpha::rgbaOver(canvas + size_t(y) * pic.width() * 4, pic.row(y), pic.width(),
                    options.background);
  frames = int(info.frame_count);
  return {};
}

}  // namespace

bool probe(Bytes data) {
  return data.size() >= 12 && std::memcmp(data.data(), "RIFF", 4) == 0 &&
         std::memcmp(data.data() + 8, "WEBP", 4) == 0;
}

Status decode(Bytes data, const DecodeOptions& options, Decoded& out) {
  if (!probe(data)) return {ErrorCode::BadHeader, "no WebP signature"};
  WebPBitstreamFeatures f;
  const VP8StatusCode header = WebPGetFeatures(data.data(), data.size(), &f);
  if (header != VP8_STATUS_OK)
    return header == VP8_STATUS_NOT_ENOUGH_DATA ? Status{ErrorCode::BadHeader, "header cut short"}
                                                : statusError(header);
  // libwebp allocates for the canvas on its own: the sizes are ours to check first.
  if (f.width <= 0 || f.height <= 0) return {ErrorCode::BadDimensions, "no canvas"};
  ZELMAR_TRY(checkDimensions(uint64_t(f.width), uint64_t(f.height), options.limits));
  Picture pic;
  ZELMAR_TRY(Picture::create(uint64_t(f.width), uint64_t(f.height), 24, pic, options.limits));
  bool complete = true;
  int frames = 1;
  if (f.has_animation)
    ZELMAR_TRY(decodeFirstFrame(data, options, pic, frames));
  else
    ZELMAR_TRY(decodeStill(data, f, options, pic, complete));

  out.picture = std::move(pic);
  out.truncated = !complete;
  out.facts = FileFacts{};
  out.facts.fileFormat = format::kWebP;
  out.facts.originBits = f.has_alpha ? 32 : 24;
  out.facts.originWidth = uint32_t(f.width);
  out.facts.originHeight = uint32_t(f.height);
  out.facts.compression = f.format == 1 ? "VP8" : f.format == 2 ? "VP8L" : "WebP";
  out.facts.pageCount = frames;
  return {};
}

}  // namespace zelmar::webp
