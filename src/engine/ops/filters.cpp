// 3 × 3 convolutions: emboss, edge detection and edge enhancement. They work
// in full colour (8-bit grey stays grey). Fixed small integer kernels run
// several times faster as plain loops than through a general float filter.
#include <cmath>

#include "engine/ops/internal.h"
#include "engine/ops/neighbourhood.h"
#include "engine/ops/ops.h"

namespace zelmar::ops {
using detail::guarded;

namespace {

// Runs `kernel` on the working form of `p` (24-bit, or 8-bit grey) into a new
// picture of that form, which then replaces `p`.
template <class Kernel>
Status convolveInto(Picture& p, Kernel kernel) {
  ZELMAR_TRY(detail::requirePicture(p));
  return guarded([&]() -> Status {
    Picture scratch;
    const Picture* src = nullptr;
    ZELMAR_TRY(detail::workingForm(p, true, scratch, src));
    Picture out;
    ZELMAR_TRY(detail::createResult(src->width(), src->height(), src->bits(), out));
    out.palette() = src->palette();
    if (src->bits() == 24)
      detail::convolve3x3<3>(*src, out, kernel);
    else
      detail::convolve3x3<1>(*src, out, kernel);
    p = std::move(out);
    return {};
  });
}

// Eight times the pixel less its eight neighbours.
inline int laplacian(const uint8_t* a, const uint8_t* m, const uint8_t* b, int s) {
  return 9 * m[0] - (a[-s] + a[0] + a[s] + m[-s] + m[0] + m[s] + b[-s] + b[0] + b[s]);
}

}  // namespace

Status applyFilter(Picture& p, Filter filter) {
  switch (filter) {
    case Filter::Emboss:
      // Kernel -1 -1 0 / -1 0 1 / 0 1 1, plus 128.
      return convolveInto(p, [](const uint8_t* a, const uint8_t* m, const uint8_t* b, int s) {
        return 128 + m[s] + b[0] + b[s] - a[-s] - a[0] - m[-s];
      });
    case Filter::EdgeDetect:
      return convolveInto(p, [](const uint8_t* a, const uint8_t* m, const uint8_t* b, int s) {
        const int v = laplacian(a, m, b, s);
        return v < 0 ? -v : v;
      });
  }
  return {ErrorCode::InvalidArgument, "unknown filter"};
}

Status enhanceEdges(Picture& p, int strength) {
  ZELMAR_TRY(detail::requirePicture(p));
  if (strength < 0 || strength > 1000)
    return {ErrorCode::InvalidArgument, "strength " + std::to_string(strength)};
  // Unsharp masking: p + k (p - mean of its 3 x 3 neighbourhood), k = strength
  // / 100, as p + (k / 9) (9 p - sum) in 12-bit fixed point.
  const int k = int(std::lround(strength / 100.0 / 9.0 * 4096.0));
  return convolveInto(p, [k](const uint8_t* a, const uint8_t* m, const uint8_t* b, int s) {
    return m[0] + ((laplacian(a, m, b, s) * k + 2048) >> 12);
  });
}

}  // namespace zelmar::ops
