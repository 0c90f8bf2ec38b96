#pragma once
// Carrying out a parsed command line. Each returns the exit status and
// writes at most one line to `err` on failure.
#include <cstdio>

#include "convert/args.h"

namespace zelmar::convert {

int runInfo(const Options& options, std::FILE* out, std::FILE* err);
int runConvert(const Options& options, std::FILE* err);

}  // namespace zelmar::convert
