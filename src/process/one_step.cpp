#include "process/one_step.h"

#include "base/viewer_context.h"
#include "engine/qt/engine_codes.h"
#include "process/frame.h"

namespace process {
namespace {

namespace codes = engine_codes;

constexpr int16_t kSharpenFully = 100;  // EnhanceEdges strength in percent
constexpr int16_t kScreenAngle = 0;     // MakeHalftone's screen, upright

void framed(ViewerContext& context, const Operation& operation) {
  runInFrame(*context.Engine1(), operation);
}

void toDepth(ViewerContext& context, int16_t bits) {
  ImageEngine& engine = *context.Engine1();
  if (int16_t(engine.BitsPerPixel()) == bits) return;
  // True colour expands exactly; the palette depths get an optimised
  // palette with error diffusion.
  const bool palette = bits != 24;
  const int16_t kind = palette ? codes::kPaletteOptimised : int16_t(0);
  const int16_t dither = palette ? codes::kDitherDiffusion : int16_t(0);
  runInFrame(engine, [=](ImageEngine& e) { return e.ChangeColorDepth(bits, kind, dither, 0); });
}

}  // namespace

void idm_cinverse(ViewerContext& context) {
  framed(context, [](ImageEngine& e) { return e.InvertColors(); });
}
void idm_invert(ViewerContext& context) {
  framed(context, [](ImageEngine& e) { return e.MirrorHorizontal(); });
}
void idm_Flip(ViewerContext& context) {
  framed(context, [](ImageEngine& e) { return e.FlipVertical(); });
}
void idm_Emboss(ViewerContext& context) {
  framed(context, [](ImageEngine& e) { return e.ApplyFilter(codes::kFilterEmboss); });
}
void idm_fringer(ViewerContext& context) {
  framed(context, [](ImageEngine& e) { return e.ApplyFilter(codes::kFilterEdges); });
}
void idm_enhanceb(ViewerContext& context) {
  framed(context, [](ImageEngine& e) { return e.EnhanceEdges(kSharpenFully); });
}
void idm_toGray(ViewerContext& context) {
  framed(context, [](ImageEngine& e) { return e.ToGrayscale(codes::kGray256); });
}

void idm_halftone(ViewerContext& context) {
  // A two-colour picture is left alone, before the frame starts.
  if (context.Engine1()->BitsPerPixel() == 1) return;
  framed(context,
         [](ImageEngine& e) { return e.MakeHalftone(codes::kHalftoneClusteredDot, kScreenAngle); });
}

void idm_toRGB(ViewerContext& context) { toDepth(context, 24); }
void idm_to8bit(ViewerContext& context) { toDepth(context, 8); }
void idm_to4Bit(ViewerContext& context) { toDepth(context, 4); }
void idm_to1Bit(ViewerContext& context) { toDepth(context, 1); }

}  // namespace process
