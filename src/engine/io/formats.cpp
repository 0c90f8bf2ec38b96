#include "engine/io/formats.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <string>

#include "engine/codecs/bmp.h"
#include "engine/codecs/cmp.h"
#include "engine/codecs/gif.h"
#include "engine/codecs/heif.h"
#include "engine/codecs/jpeg.h"
#include "engine/codecs/pcx.h"
#include "engine/codecs/png.h"
#include "engine/codecs/targa.h"
#include "engine/codecs/tiff.h"
#include "engine/codecs/webp.h"

namespace zelmar {
namespace {

struct CodecEntry {
  FileType type;
  bool (*probe)(Bytes);
  Status (*decode)(Bytes, const DecodeOptions&, Decoded&);
  Status (*encode)(const Picture&, const EncodeOptions&, OutputBuffer&);  // null: read only
};

// The formats without transparency take their limits alone.
template <Status (*decode)(Bytes, const Limits&, Decoded&)>
Status limitsOnly(Bytes data, const DecodeOptions& options, Decoded& out) {
  return decode(data, options.limits, out);
}

// Order matters for probing: signatures first, Targa (no signature) last.
// A BMP may also be a bare DIB, recognised by its fields; no format before
// it can look like one.
constexpr CodecEntry kCodecs[] = {
    {FileType::Jpeg, jpeg::probe, limitsOnly<jpeg::decode>, jpeg::encode},
    {FileType::Png, png::probe, png::decode, nullptr},
    {FileType::Gif, gif::probe, gif::decode, nullptr},
    {FileType::WebP, webp::probe, webp::decode, nullptr},
    {FileType::Heif, heif::probe, heif::decode, nullptr},
    {FileType::Tiff, tiff::probe, limitsOnly<tiff::decode>, tiff::encode},
    {FileType::Cmp, cmp::probe, limitsOnly<cmp::decode>, cmp::encode},
    {FileType::Pcx, pcx::probe, limitsOnly<pcx::decode>, pcx::encode},
    {FileType::Bmp, bmp::probe, limitsOnly<bmp::decode>, bmp::encode},
    {FileType::Targa, targa::probe, limitsOnly<targa::decode>, targa::encode},
};

const CodecEntry& entryFor(FileType type) {
  for (const auto& e : kCodecs)
    if (e.type == type) return e;
  return kCodecs[0];
}

bool isTargaExtension(std::string_view extension) {
  if (!extension.empty() && extension.front() == '.') extension.remove_prefix(1);
  std::string ext(extension);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return ext == "tga" || ext == "targa" || ext == "vda" || ext == "icb" || ext == "vst";
}

}  // namespace

bool detectType(Bytes data, std::string_view extension, FileType& type) {
  for (const auto& e : kCodecs) {
    if (e.type == FileType::Targa) continue;
    if (e.probe(data)) {
      type = e.type;
      return true;
    }
  }
  if (isTargaExtension(extension) && targa::probe(data)) {
    type = FileType::Targa;
    return true;
  }
  return false;
}

Status decodeAny(Bytes data, std::string_view extension, const DecodeOptions& options,
                 Decoded& out) {
  if (data.empty()) return {ErrorCode::EmptyFile};
  FileType type;
  if (!detectType(data, extension, type)) return {ErrorCode::UnknownFormat};
  try {
    Decoded result;
    ZELMAR_TRY(entryFor(type).decode(data, options, result));
    out = std::move(result);
    return {};
  } catch (const std::bad_alloc&) {
    return {ErrorCode::OutOfMemory};
  }
}

bool typeForSaveCode(int formatCode, FileType& type) {
  switch (formatCode) {
    case format::kBmp:
      type = FileType::Bmp;
      return true;
    case format::kPcx:
      type = FileType::Pcx;
      return true;
    case format::kTiff:
      type = FileType::Tiff;
      return true;
    case format::kJpeg420:
      type = FileType::Jpeg;
      return true;
    case format::kTarga:
      type = FileType::Targa;
      return true;
    case format::kCmp:
      type = FileType::Cmp;
      return true;
    default:
      return false;
  }
}

Status encodeAs(const Picture& picture, int formatCode, const EncodeOptions& options,
                OutputBuffer& out) {
  if (picture.empty()) return {ErrorCode::NoPicture};
  FileType type;
  if (!typeForSaveCode(formatCode, type))
    return {ErrorCode::UnsupportedFormat, "format code " + std::to_string(formatCode)};
  if (options.factor < 2 || options.factor > 255)
    return {ErrorCode::InvalidArgument, "compression factor " + std::to_string(options.factor)};
  try {
    return entryFor(type).encode(picture, options, out);
  } catch (const std::bad_alloc&) {
    return {ErrorCode::OutOfMemory};
  }
}

}  // namespace zelmar
