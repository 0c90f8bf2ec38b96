#pragma once
// The command line of zelmar-convert, read into one plain structure.
#include <string>
#include <string_view>
#include <vector>

#include "convert/operations.h"

namespace zelmar::convert {

enum class Mode { Help, Info, Convert };

struct Options {
  Mode mode = Mode::Convert;
  std::string input, output;
  int formatCode = 0;  // the save code, from --format or OUT's extension
  bool time = false;
  Rgb background = kDefaultBackColor;
  std::vector<Operation> operations;  // in the order given
};

// Reads the arguments after the program name. False with a one-line
// `error` for an unknown flag, a missing or invalid value, a missing IN or
// OUT, or an OUT whose format cannot be told.
bool parseArguments(const std::vector<std::string_view>& args, Options& options,
                    std::string& error);

// The save code of a file name's extension (any case): .bmp 6, .pcx 1,
// .tif/.tiff 3, .jpg/.jpeg 21, .tga 4, .cmp 5, .png 200; 0 for any other.
int formatForPath(std::string_view path);

std::string helpText();

}  // namespace zelmar::convert
