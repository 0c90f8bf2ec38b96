#pragma once
// Running the oracle programs (ImageMagick, GraphicsMagick, vips) and our tools.
#include <string>
#include <vector>

namespace zelmar::test {

struct RunResult {
  int exitCode = -1;  // -1 when the program could not be started or was killed
  std::string out;    // standard output
  std::string err;    // standard error
};

// Runs argv[0] with the arguments, no shell involved, and waits for it.
RunResult run(const std::vector<std::string>& argv);

// Paths found at configure time; empty when the program is missing.
inline std::string imConvert() { return ZELMAR_IM_CONVERT; }
inline std::string gm() { return ZELMAR_GM; }
inline std::string vips() { return ZELMAR_VIPS; }
inline std::string convertTool() { return ZELMAR_CONVERT_TOOL; }

}  // namespace zelmar::test
