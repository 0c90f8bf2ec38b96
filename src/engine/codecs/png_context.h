#pragma once
// libspng's context for reading and writing, and its error codes as ours.
#include <spng.h>

#include <memory>

#include "engine/core/bytes.h"
#include "engine/core/error.h"
#include "engine/core/limits.h"

namespace zelmar::png {

struct ContextFree {
  void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using Context = std::unique_ptr<spng_ctx, ContextFree>;

// Reading the header and the chunks before the pixels, or the pixels.
enum class Stage { Header, Pixels };

// Ok for 0 (and for the end of the image); otherwise libspng's reason,
// classed by where it happened.
Status checkedCall(int rc, Stage stage);

// A decoder on `data` that refuses sizes past `limits` and keeps at most a
// bounded amount of ancillary chunks in memory. Errors: OutOfMemory.
Status openReader(Bytes data, const Limits& limits, Context& ctx);

}  // namespace zelmar::png
