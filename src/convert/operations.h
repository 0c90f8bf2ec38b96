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
#include "engine/ops/saturation_session.h"

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
};

struct OpEntry {
  std::string_view flag;   // "--rotate"
  std::string_view value;  // "HUNDREDTHS"; empty for a flag without a value
  std::string_view help;
  // Reads the value into op.a / op.b; false with `error` set when it is not valid.
  bool (*parse)(std::string_view text, Operation& op, std::string& error);
  // Null for --saturation, which works from the base the session keeps.
  Status (*apply)(Picture& picture, const Operation& op, const OpState& state);
};

std::span<const OpEntry> operationTable();
// The row of `flag`, or nullptr when it names no operation.
const OpEntry* findOperation(std::string_view flag);

// Applies one operation to the session's picture: saturation changes apply
// to the picture as it was before the first of a run of them, so a later
// value replaces an earlier one; any other operation ends the run. On
// failure the picture is unchanged.
Status applyOperation(ops::SaturationSession& session, const Operation& op, const OpState& state);

// Strict whole-text integer parsing shared with the argument parser.
bool parseInteger(std::string_view text, int64_t& value);

}  // namespace zelmar::convert
