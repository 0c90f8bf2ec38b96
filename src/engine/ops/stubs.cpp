// Placeholders until the operations exist; each is replaced by its real file.
#include "engine/ops/ops.h"

namespace zelmar::ops {
namespace {
Status notYet() { return {ErrorCode::Unsupported, "operation not written yet"}; }
}  // namespace

Status flipVertical(Picture&) { return notYet(); }
Status mirrorHorizontal(Picture&) { return notYet(); }
Status invertColors(Picture&) { return notYet(); }
Status applyFilter(Picture&, int) { return notYet(); }
Status enhanceEdges(Picture&, int) { return notYet(); }
Status toGrayscale(Picture&, int) { return notYet(); }
Status makeHalftone(Picture&, int, int) { return notYet(); }
Status changeColorDepth(Picture&, int, int, int, int) { return notYet(); }
Status resize(Picture&, double, double, int, const Limits&) { return notYet(); }
Status rotate(Picture&, int64_t, bool, Rgb, const Limits&) { return notYet(); }
Status adjustSaturation(const Picture&, int, Picture&) { return notYet(); }

}  // namespace zelmar::ops
