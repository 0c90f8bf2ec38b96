#include "convert/operations.h"

#include <charconv>
#include <cstdint>

#include "engine/ops/ops.h"

namespace zelmar::convert {
namespace {

bool parseRange(std::string_view text, int64_t lo, int64_t hi, std::string_view what, Operation& op,
                std::string& error) {
  if (!parseInteger(text, op.a) || op.a < lo || op.a > hi) {
    error = std::string(what) + " must be a whole number from " + std::to_string(lo) + " to " +
            std::to_string(hi) + ", not '" + std::string(text) + "'";
    return false;
  }
  return true;
}

bool parseAngle(std::string_view text, Operation& op, std::string& error) {
  // The control takes the angle as a 32-bit number; so does the tool.
  return parseRange(text, INT32_MIN, INT32_MAX, "the angle in hundredths of a degree", op, error);
}

bool parseSize(std::string_view text, Operation& op, std::string& error) {
  const size_t x = text.find_first_of("xX");
  int64_t w = 0, h = 0;
  if (x == std::string_view::npos || !parseInteger(text.substr(0, x), w) ||
      !parseInteger(text.substr(x + 1), h) || w < 1 || h < 1 || w > 65535 || h > 65535) {
    error = "the size must be WIDTHxHEIGHT, each from 1 to 65535, not '" + std::string(text) + "'";
    return false;
  }
  op.a = w;
  op.b = h;
  return true;
}

bool parseDepth(std::string_view text, Operation& op, std::string& error) {
  if (!parseInteger(text, op.a) || (op.a != 1 && op.a != 4 && op.a != 8 && op.a != 24)) {
    error = "the depth must be 1, 4, 8 or 24, not '" + std::string(text) + "'";
    return false;
  }
  return true;
}

bool parseSaturation(std::string_view text, Operation& op, std::string& error) {
  return parseRange(text, -990, 990, "the saturation change in tenths of a percent", op, error);
}

Status depth(Picture& p, const Operation& op, const OpState&) {
  return ops::changeColorDepth(p, int(op.a), ops::Dither::ErrorDiffusion);
}

constexpr OpEntry kOperations[] = {
    {"--invert", "", "negative colours (a palette picture inverts its palette)", nullptr,
     [](Picture& p, const Operation&, const OpState&) { return ops::invertColors(p); }},
    {"--mirror", "", "swap left and right", nullptr,
     [](Picture& p, const Operation&, const OpState&) { return ops::mirrorHorizontal(p); }},
    {"--flip", "", "swap top and bottom", nullptr,
     [](Picture& p, const Operation&, const OpState&) { return ops::flipVertical(p); }},
    {"--rotate", "HUNDREDTHS", "turn clockwise (9000 = a right angle), enlarging the canvas",
     parseAngle,
     [](Picture& p, const Operation& op, const OpState& s) {
       return ops::rotate(p, op.a, true, s.background);
     }},
    {"--resize", "WxH", "resample to W by H pixels", parseSize,
     [](Picture& p, const Operation& op, const OpState&) {
       return ops::resize(p, double(op.a), double(op.b), ops::ResizeMethod::Smooth);
     }},
    {"--gray", "", "256 grey levels", nullptr,
     [](Picture& p, const Operation&, const OpState&) { return ops::toGrayscale(p); }},
    {"--halftone", "", "black and white halftone screen", nullptr,
     [](Picture& p, const Operation&, const OpState&) {
       return ops::makeHalftone(p, ops::Halftone::ClusteredDot);
     }},
    {"--depth", "1|4|8|24", "2, 16 or 256 colours with error diffusion, or exact 24-bit colour",
     parseDepth, depth},
    {"--emboss", "", "emboss filter", nullptr,
     [](Picture& p, const Operation&, const OpState&) {
       return ops::applyFilter(p, ops::Filter::Emboss);
     }},
    {"--edges", "", "edge detection filter", nullptr,
     [](Picture& p, const Operation&, const OpState&) {
       return ops::applyFilter(p, ops::Filter::EdgeDetect);
     }},
    {"--enhance", "", "sharpen edges", nullptr,
     [](Picture& p, const Operation&, const OpState&) { return ops::enhanceEdges(p, 100); }},
    {"--saturation", "V", "change saturation by V/10 percent, -990..990", parseSaturation, nullptr},
};

}  // namespace

bool parseInteger(std::string_view text, int64_t& value) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && ptr == end;
}

std::span<const OpEntry> operationTable() { return kOperations; }

const OpEntry* findOperation(std::string_view flag) {
  for (const auto& entry : kOperations)
    if (entry.flag == flag) return &entry;
  return nullptr;
}

Status applyOperation(ops::SaturationSession& session, const Operation& op, const OpState& state) {
  if (!op.entry->apply) return session.adjustSaturation(int(op.a));
  return session.apply([&](Picture& p) { return op.entry->apply(p, op, state); });
}

}  // namespace zelmar::convert
