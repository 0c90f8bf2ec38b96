#pragma once
// The picture operations the tool offers: one table row per flag, naming
// the value it takes and the engine call it makes.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/core/defaults.h"
#include "engine/core/error.h"
#include "engine/core/picture.h"

namespace zelmar::convert {

struct OpEntry;

// One operation as given on the command line, with its value parsed.
struct Operation {
  const OpEntry* entry = nullptr;
  int64_t a = 0, b = 0;
};

// What operations share while a run applies them in order.
struct OpState {
  Rgb background = kDefaultBackColor;  // rotation corners
  // Saturation always works from the picture as it was before the first of
  // a run of saturation flags, so a later value replaces an earlier one.
  Picture saturationBase;
};

struct OpEntry {
  std::string_view flag;   // "--rotate"
  std::string_view value;  // "HUNDREDTHS"; empty for a flag without a value
  std::string_view help;
  // Reads the value into op.a / op.b; false with `error` set when it is not valid.
  bool (*parse)(std::string_view text, Operation& op, std::string& error);
  Status (*apply)(Picture& picture, const Operation& op, OpState& state);
};

std::span<const OpEntry> operationTable();
// The row of `flag`, or nullptr when it names no operation.
const OpEntry* findOperation(std::string_view flag);

// Applies one operation. On failure the picture is unchanged.
Status applyOperation(Picture& picture, const Operation& op, OpState& state);

// Strict whole-text integer parsing shared with the argument parser.
bool parseInteger(std::string_view text, int64_t& value);

}  // namespace zelmar::convert
