// zelmar-convert: the imaging core from the command line.
#include <cstdio>
#include <string_view>
#include <vector>

#include "convert/args.h"
#include "convert/run.h"
#include "engine/core/memory_tuning.h"

int main(int argc, char** argv) {
  using namespace zelmar::convert;
  zelmar::tuneMemoryForPictures();
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  Options options;
  std::string error;
  if (!parseArguments(args, options, error)) {
    std::fprintf(stderr, "zelmar-convert: %s\n", error.c_str());
    return 1;
  }
  switch (options.mode) {
    case Mode::Help:
      std::fputs(helpText().c_str(), stdout);
      return 0;
    case Mode::Info:
      return runInfo(options, stdout, stderr);
    case Mode::Convert:
      break;
  }
  return runConvert(options, stderr);
}
