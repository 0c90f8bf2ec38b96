#include "engine/codecs/gif.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace zelmar::gif {
namespace {

struct Source {
  Bytes data;
  size_t pos = 0;
};

int readFrom(GifFileType* gif, GifByteType* buf, int n) {
  auto* s = static_cast<Source*>(gif->UserData);
  const size_t take = std::min(size_t(std::max(n, 0)), s->data.size() - s->pos);
  std::memcpy(buf, s->data.data() + s->pos, take);
  s->pos += take;
  return int(take);
}

struct GifClose {
  void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};
using GifPtr = std::unique_ptr<GifFileType, GifClose>;

Status gifError(int code, ErrorCode fallback) {
  ErrorCode ours = fallback;
  if (code == D_GIF_ERR_READ_FAILED || code == D_GIF_ERR_EOF_TOO_SOON) ours = ErrorCode::Truncated;
  if (code == D_GIF_ERR_NOT_ENOUGH_MEM) ours = ErrorCode::OutOfMemory;
  const char* text = GifErrorString(code);
  return {ours, text ? text : "GIF error"};
}

// The frame's place on the screen.
struct Frame {
  int left, top, width, height;
  bool interlaced;
};

// Skips an extension, keeping the transparent index from a graphic control block.
Status readExtension(GifFileType* gif, int& transparent) {
  int code;
  GifByteType* block;
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
    return gifError(gif->Error, ErrorCode::CorruptData);
  if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
    GraphicsControlBlock gcb;
    if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
  }
  while (block) {
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
      return gifError(gif->Error, ErrorCode::CorruptData);
  }
  return {};
}

// Moves to the next image descriptor; false at the end of the file.
Status nextImage(GifFileType* gif, int& transparent, bool& found) {
  found = false;
  for (;;) {
    GifRecordType type;
    if (DGifGetRecordType(gif, &type) == GIF_ERROR)
      return gifError(gif->Error, ErrorCode::CorruptData);
    if (type == TERMINATE_RECORD_TYPE) return {};
    if (type == EXTENSION_RECORD_TYPE) {
      ZELMAR_TRY(readExtension(gif, transparent));
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE) return {ErrorCode::CorruptData, "unknown GIF record"};
    if (DGifGetImageDesc(gif) == GIF_ERROR) return gifError(gif->Error, ErrorCode::BadHeader);
    found = true;
    return {};
  }
}

// Frames after the first, counted without decoding their pixels; a file
// that breaks off counts what it had.
int countFrames(GifFileType* gif) {
  int frames = 1, transparent = -1;
  for (;;) {
    bool found;
    if (!nextImage(gif, transparent, found).ok() || !found) return frames;
    ++frames;
    int size;
    GifByteType* block;
    if (DGifGetCode(gif, &size, &block) == GIF_ERROR) return frames;
    while (block)
      if (DGifGetCodeNext(gif, &block) == GIF_ERROR) return frames;
  }
}

// The rows of an interlaced frame come in four passes.
std::vector<int> rowOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(size_t(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
  return order;
}

}  // namespace

bool probe(Bytes data) {
  return data.size() >= 6 && std::memcmp(data.data(), "GIF8", 4) == 0 &&
         (data[4] == '7' || data[4] == '9') && data[5] == 'a';
}

Status decode(Bytes data, const DecodeOptions& options, Decoded& out) {
  if (!probe(data)) return {ErrorCode::BadHeader, "no GIF signature"};
  Source source{data};
  int error = 0;
  GifPtr gif(DGifOpen(&source, readFrom, &error));
  if (!gif) return gifError(error, ErrorCode::BadHeader);
  int transparent = -1;
  bool found;
  ZELMAR_TRY(nextImage(gif.get(), transparent, found));
  if (!found) return {ErrorCode::Truncated, "no image in the file"};
  const GifImageDesc& d = gif->Image;
  const Frame frame{d.Left, d.Top, d.Width, d.Height, d.Interlace};
  if (frame.width <= 0 || frame.height <= 0) return {ErrorCode::BadDimensions, "empty frame"};
  // Some writers leave the screen size at zero: the frame's extent is the picture.
  int width = gif->SWidth, height = gif->SHeight;
  if (width <= 0 || height <= 0) {
    width = frame.left + frame.width;
    height = frame.top + frame.height;
  }
  ZELMAR_TRY(checkDimensions(uint64_t(width), uint64_t(height), options.limits));

  // The frame's colours, with the background for the transparent index;
  // the screen outside the frame shows the background too.
  const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
  Palette palette = grayPalette(256);
  int count = 256;
  if (map) {
    count = std::clamp(map->ColorCount, 0, 256);
    palette.assign(256, Rgb{});
    for (int i = 0; i < count; ++i)
      palette[i] = {map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue};
  }
  int fill = transparent;
  if (fill < 0 || fill > 255)
    fill = count < 256 ? count : std::clamp(gif->SBackGroundColor, 0, 255);
  if (transparent >= 0 && transparent <= 255) palette[transparent] = options.background;
  if (fill == count) palette[fill] = options.background;

  Picture pic;
  ZELMAR_TRY(Picture::create(uint64_t(width), uint64_t(height), 8, pic, options.limits));
  pic.setPalette(palette);
  std::memset(pic.data(), fill, pic.byteSize());

  std::vector<GifPixelType> line(size_t(frame.width));
  const int visibleLeft = std::clamp(frame.left, 0, width);
  const int visibleRight = std::clamp(frame.left + frame.width, 0, width);
  size_t rowsDone = 0;
  bool complete = true;
  for (const int y : rowOrder(frame.height, frame.interlaced)) {
    if (DGifGetLine(gif.get(), line.data(), frame.width) == GIF_ERROR) {
      if (rowsDone == 0) return gifError(gif->Error, ErrorCode::CorruptData);
      complete = false;
      break;
    }
    ++rowsDone;
    const int row = frame.top + y;
    if (row < 0 || row >= height || visibleRight <= visibleLeft) continue;
    std::memcpy(pic.row(uint32_t(row)) + visibleLeft, line.data() + (visibleLeft - frame.left),
                size_t(visibleRight - visibleLeft));
  }

  out.facts = FileFacts{};
  out.facts.pageCount = complete ? countFrames(gif.get()) : 1;
  out.picture = std::move(pic);
  out.truncated = !complete;
  out.facts.fileFormat = format::kGif;
  out.facts.originBits = map ? std::max(map->BitsPerPixel, 1) : 8;
  out.facts.originWidth = uint32_t(width);
  out.facts.originHeight = uint32_t(height);
  out.facts.compression = "LZW";
  return {};
}

}  // namespace zelmar::gif
