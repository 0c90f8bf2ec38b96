#include "engine/codecs/png_context.h"

#include <algorithm>
#include <cstdint>

namespace zelmar::png {
namespace {

// Text, profiles and other ancillary chunks kept at most; the pixel data
// is streamed and not part of this.
constexpr size_t kChunkCache = size_t(64) << 20;

ErrorCode codeFor(int rc, Stage stage) {
  switch (rc) {
    case SPNG_EUSER_WIDTH:
    case SPNG_EUSER_HEIGHT:
    case SPNG_ECHUNK_LIMITS:
      return ErrorCode::LimitExceeded;
    case SPNG_EWIDTH:
    case SPNG_EHEIGHT:
      return ErrorCode::BadDimensions;
    case SPNG_EMEM:
      return ErrorCode::OutOfMemory;
    case SPNG_IO_EOF:
    case SPNG_IO_ERROR:
    case SPNG_EOF:
    case SPNG_EIO:
    case SPNG_EIDAT_TOO_SHORT:
      return stage == Stage::Header ? ErrorCode::BadHeader : ErrorCode::Truncated;
    default:
      return stage == Stage::Header ? ErrorCode::BadHeader : ErrorCode::CorruptData;
  }
}

}  // namespace

Status checkedCall(int rc, Stage stage) {
  if (rc == 0 || rc == SPNG_EOI) return {};
  return {codeFor(rc, stage), spng_strerror(rc)};
}

Status openReader(Bytes data, const Limits& limits, Context& ctx) {
  ctx.reset(spng_ctx_new(0));
  if (!ctx) return {ErrorCode::OutOfMemory};
  // libspng's own width and height limit is 2^31 - 1.
  const auto side = uint32_t(std::min<uint64_t>(limits.maxDimension, INT32_MAX));
  // Checksums are not checked, as other viewers do not: a picture whose
  // data inflates is shown, and computing them costs a tenth of the load.
  // Broken compressed data still fails in the inflater.
  if (spng_set_image_limits(ctx.get(), side, side) ||
      spng_set_chunk_limits(ctx.get(), std::min<size_t>(data.size(), INT32_MAX), kChunkCache) ||
      spng_set_crc_action(ctx.get(), SPNG_CRC_USE, SPNG_CRC_USE) ||
      spng_set_png_buffer(ctx.get(), data.data(), data.size()))
    return {ErrorCode::OutOfMemory, "cannot set up the PNG reader"};
  return {};
}

}  // namespace zelmar::png
