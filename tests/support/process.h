#pragma once
// Running other programs, and our own command-line tool, as a user would.
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

inline std::string convertTool() { return ZELMAR_CONVERT_TOOL; }

}  // namespace zelmar::test
