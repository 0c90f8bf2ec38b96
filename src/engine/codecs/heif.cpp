#include "engine/codecs/heif.h"

#include <libheif/heif.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <string_view>

#include "engine/codecs/alpha.h"

namespace zelmar::heif {
namespace {

struct ContextFree {
  void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleRelease {
  void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageRelease {
  void operator()(heif_image* i) const { heif_image_release(i); }
};
struct OptionsFree {
  void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};

enum class Stage { Header, Pixels };

Status heifError(const heif_error& e, Stage stage) {
  ErrorCode code = stage == Stage::Header ? ErrorCode::BadHeader : ErrorCode::CorruptData;
  if (e.code == heif_error_Memory_allocation_error) code = ErrorCode::OutOfMemory;
  if (e.code == heif_error_Unsupported_feature || e.code == heif_error_Unsupported_filetype)
    code = ErrorCode::Unsupported;
  if (e.subcode == heif_suberror_Security_limit_exceeded) code = ErrorCode::LimitExceeded;
  if (e.subcode == heif_suberror_End_of_data) code = ErrorCode::Truncated;
  return {code, e.message ? e.message : "libheif error"};
}

// libheif keeps its decoders registered from the first use to the end.
void initialiseOnce() {
  static const bool done = [] {
    heif_init(nullptr);
    return true;
  }();
  (void)done;
}

enum class Brand { None, Heif, Avif };

// What the file type box names: HEVC brands mean HEIF, AV1 brands AVIF; the
// generic image brands (mif1, msf1) defer to the compatible ones.
Brand brandOf(Bytes data) {
  if (data.size() < 16 || std::memcmp(data.data() + 4, "ftyp", 4) != 0) return Brand::None;
  static constexpr std::string_view kHevc[] = {"heic", "heix", "heim", "heis",
                                               "hevc", "hevx", "hevm", "hevs"};
  static constexpr std::string_view kAv1[] = {"avif", "avis"}, kGeneric[] = {"mif1", "msf1"};
  auto in = [](std::string_view b, const auto& set) {
    return std::find(std::begin(set), std::end(set), b) != std::end(set);
  };
  const size_t box = size_t(data[0]) << 24 | size_t(data[1]) << 16 | size_t(data[2]) << 8 | data[3];
  const size_t end = std::min(box, data.size());
  bool hevc = false, av1 = false, generic = false;
  // The major brand, then the compatible ones after the minor version.
  for (size_t at = 8; at + 4 <= end; at += at == 8 ? 8 : 4) {
    const std::string_view brand(reinterpret_cast<const char*>(data.data() + at), 4);
    if (at == 8 && in(brand, kHevc)) return Brand::Heif;
    if (at == 8 && in(brand, kAv1)) return Brand::Avif;
    hevc = hevc || in(brand, kHevc);
    av1 = av1 || in(brand, kAv1);
    generic = generic || in(brand, kGeneric);
  }
  if (hevc) return Brand::Heif;
  if (av1) return Brand::Avif;
  return generic ? Brand::Heif : Brand::None;
}

// `n` pixels whose colour is already multiplied by their alpha.
void premultipliedOver(const uint8_t* rgba, uint8_t* rgb, size_t n, Rgb back) {
  for (size_t i = 0; i < n; ++i, rgba += 4, rgb += 3) {
    const unsigned a = rgba[3];
    rgb[0] = uint8_t(std::min<unsigned>(255, rgba[0] + alpha::over(0, a, back.r)));
    rgb[1] = uint8_t(std::min<unsigned>(255, rgba[1] + alpha::over(0, a, back.g)));
    rgb[2] = uint8_t(std::min<unsigned>(255, rgba[2] + alpha::over(0, a, back.b)));
  }
}

}  // namespace

bool probe(Bytes data) { return brandOf(data) != Brand::None; }

Status decode(Bytes data, const DecodeOptions& options, Decoded& out) {
  if (!probe(data)) return {ErrorCode::BadHeader, "no HEIF brand"};
  initialiseOnce();
  std::unique_ptr<heif_context, ContextFree> ctx(heif_context_alloc());
  if (!ctx) return {ErrorCode::OutOfMemory};
  heif_context_set_maximum_image_size_limit(
      ctx.get(), int(std::min<uint64_t>(options.limits.maxDimension, INT_MAX)));
  heif_error e =
      heif_context_read_from_memory_without_copy(ctx.get(), data.data(), data.size(), nullptr);
  if (e.code != heif_error_Ok) return heifError(e, Stage::Header);
  heif_image_handle* rawHandle = nullptr;
  e = heif_context_get_primary_image_handle(ctx.get(), &rawHandle);
  std::unique_ptr<heif_image_handle, HandleRelease> handle(rawHandle);
  if (e.code != heif_error_Ok) return heifError(e, Stage::Header);

  // libheif allocates the coded size, then turns and crops it: both are ours to check first.
  const int width = heif_image_handle_get_width(handle.get());
  const int height = heif_image_handle_get_height(handle.get());
  const int codedWidth = heif_image_handle_get_ispe_width(handle.get());
  const int codedHeight = heif_image_handle_get_ispe_height(handle.get());
  if (width <= 0 || height <= 0) return {ErrorCode::BadDimensions, "no picture size"};
  ZELMAR_TRY(checkDimensions(uint64_t(width), uint64_t(height), options.limits));
  ZELMAR_TRY(checkDimensions(uint64_t(std::max(codedWidth, 1)), uint64_t(std::max(codedHeight, 1)),
                             options.limits));

  const bool hasAlpha = heif_image_handle_has_alpha_channel(handle.get());
  std::unique_ptr<heif_decoding_options, OptionsFree> decoding(heif_decoding_options_alloc());
  if (!decoding) return {ErrorCode::OutOfMemory};
  decoding->convert_hdr_to_8bit = 1;
  heif_image* rawImage = nullptr;
  e = heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                        hasAlpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                        decoding.get());
  std::unique_ptr<heif_image, ImageRelease> image(rawImage);
  if (e.code != heif_error_Ok || !image) return heifError(e, Stage::Pixels);
  int stride = 0;
  const uint8_t* plane =
      heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  const int w = heif_image_get_width(image.get(), heif_channel_interleaved);
  const int h = heif_image_get_height(image.get(), heif_channel_interleaved);
  const int bytesPerPixel = hasAlpha ? 4 : 3;
  if (!plane || w <= 0 || h <= 0 || stride < w * bytesPerPixel)
    return {ErrorCode::CorruptData, "no pixels decoded"};

  Picture pic;
  ZELMAR_TRY(Picture::create(uint64_t(w), uint64_t(h), 24, pic, options.limits));
  const bool premultiplied = heif_image_is_premultiplied_alpha(image.get());
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = plane + size_t(y) * size_t(stride);
    uint8_t* dst = pic.row(uint32_t(y));
    if (!hasAlpha)
      std::memcpy(dst, src, pic.stride());
    else if (premultiplied)
      premultipliedOver(src, dst, size_t(w), options.background);
    else
      alpha::rgbaOver(src, dst, size_t(w), options.background);
  }

  const bool avif = brandOf(data) == Brand::Avif;
  out.picture = std::move(pic);
  out.truncated = false;
  out.facts = FileFacts{};
  out.facts.fileFormat = avif ? format::kAvif : format::kHeif;
  out.facts.originBits =
      std::max(heif_image_handle_get_luma_bits_per_pixel(handle.get()), 8) * bytesPerPixel;
  out.facts.originWidth = uint32_t(width);
  out.facts.originHeight = uint32_t(height);
  out.facts.compression = avif ? "AV1" : "HEVC";
  out.facts.pageCount = std::max(1, heif_context_get_number_of_top_level_images(ctx.get()));
  return {};
}

}  // namespace zelmar::heif
