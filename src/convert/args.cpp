#include "convert/args.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "engine/core/facts.h"
#include "engine/io/formats.h"

namespace zelmar::convert {
namespace {

struct ExtensionCode {
  std::string_view extension;
  int code;
};

constexpr ExtensionCode kExtensions[] = {
    {".bmp", format::kBmp},   {".pcx", format::kPcx},     {".tif", format::kTiff},
    {".tiff", format::kTiff}, {".jpg", format::kJpeg420}, {".jpeg", format::kJpeg420},
    {".tga", format::kTarga}, {".cmp", format::kCmp},     {".png", format::kPng},
};

std::string hexColor(Rgb c) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X%02X", c.r, c.g, c.b);
  return text;
}

std::string inQuotes(std::string_view text) { return "'" + std::string(text) + "'"; }

bool parseColor(std::string_view text, Rgb& color) {
  if (text.size() != 6 ||
      !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c); }))
    return false;
  const unsigned long v = std::stoul(std::string(text), nullptr, 16);
  color = {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
  return true;
}

bool parseFormat(std::string_view text, int& code) {
  int64_t v = 0;
  FileType type;
  if (!parseInteger(text, v) || v < 0 || v > 255 || !typeForSaveCode(int(v), type)) return false;
  code = int(v);
  return true;
}

// Options that are not operations and take a value.
bool parseSetting(std::string_view flag, std::string_view value, Options& options,
                  std::string& error) {
  if (flag == "--background") {
    if (parseColor(value, options.background)) return true;
    error = "--background needs a colour RRGGBB in hexadecimal, not " + inQuotes(value);
  } else {
    if (parseFormat(value, options.formatCode)) return true;
    error = "--format needs a save code: 6 BMP, 1 PCX, 3 TIFF, 21 JPEG, 4 Targa or 5 CMP, not " +
            inQuotes(value);
  }
  return false;
}

}  // namespace

int formatForPath(std::string_view path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  for (const auto& e : kExtensions)
    if (e.extension == ext) return e.code;
  return 0;
}

bool parseArguments(const std::vector<std::string_view>& args, Options& options,
                    std::string& error) {
  Options result;
  if (std::find(args.begin(), args.end(), "--help") != args.end()) {
    result.mode = Mode::Help;
    options = std::move(result);
    return true;
  }
  if (!args.empty() && args.front() == "--info") {
    if (args.size() != 2 || args[1].starts_with("--")) {
      error = "--info takes exactly one file: --info FILE";
      return false;
    }
    result.mode = Mode::Info;
    result.input = args[1];
    options = std::move(result);
    return true;
  }
  std::vector<std::string_view> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (!arg.starts_with("-") || arg == "-") {
      files.push_back(arg);
      continue;
    }
    if (arg == "--time") {
      result.time = true;
      continue;
    }
    const OpEntry* entry = findOperation(arg);
    const bool setting = arg == "--background" || arg == "--format";
    if (!entry && !setting) {
      error = arg == "--info" ? "--info must come first and alone: --info FILE"
                              : "unknown option " + inQuotes(arg) + " (see --help)";
      return false;
    }
    const bool takesValue = setting || !entry->value.empty();
    if (takesValue && i + 1 == args.size()) {
      error = std::string(arg) + " needs a value";
      return false;
    }
    if (setting) {
      if (!parseSetting(arg, args[++i], result, error)) return false;
      continue;
    }
    Operation op{entry};
    if (takesValue && !entry->parse(args[++i], op, error)) {
      error = std::string(arg) + ": " + error;
      return false;
    }
    result.operations.push_back(op);
  }
  if (files.size() < 2) {
    error = files.empty() ? "missing input and output files: IN [OPERATION ...] OUT"
                          : "missing output file: IN [OPERATION ...] OUT";
    return false;
  }
  if (files.size() > 2) {
    error = "too many files: " + inQuotes(files[2]) + " (only IN and OUT are taken)";
    return false;
  }
  result.input = files[0];
  result.output = files[1];
  if (result.formatCode == 0) result.formatCode = formatForPath(result.output);
  if (result.formatCode == 0) {
    error = "cannot tell the format of " + inQuotes(result.output) +
            " from its extension; use .bmp .pcx .tif .jpg .tga .cmp .png or --format CODE";
    return false;
  }
  options = std::move(result);
  return true;
}

std::string helpText() {
  std::string text =
      "usage: zelmar-convert --info FILE\n"
      "       zelmar-convert IN [OPERATION ...] OUT\n"
      "\n"
      "--info FILE prints the file's facts, one 'Name: value' line each: BitsPerPixel,\n"
      "ImageWidth, ImageHeight, IsGray, FileFormat, OriginBits, OriginWidth, OriginHeight,\n"
      "FileSize, MemSize, Compression, PageCount.\n"
      "\n"
      "IN [OPERATION ...] OUT loads IN (any format the engine reads), applies the\n"
      "operations in the order given and saves OUT at the picture's present depth, in\n"
      "the format of OUT's extension (any case): .bmp 6, .pcx 1, .tif/.tiff 3,\n"
      ".jpg/.jpeg 21, .tga 4, .cmp 5, or .png (PNG, which only this tool writes).\n"
      "\n"
      "Operations:\n";
  for (const auto& entry : operationTable()) {
    std::string left = "  " + std::string(entry.flag);
    if (!entry.value.empty()) left += " " + std::string(entry.value);
    left.resize(std::max<size_t>(left.size() + 1, 26), ' ');
    text += left + std::string(entry.help) + "\n";
  }
  text +=
      "\n"
      "Options:\n"
      "  --format CODE           save with this format code instead of OUT's extension\n"
      "  --background RRGGBB     corner colour of --rotate (default " +
      hexColor(kDefaultBackColor) +
      ")\n"
      "  --time                  print the milliseconds of the load, each operation and\n"
      "                          the save to standard error\n"
      "  --help                  print this text\n"
      "\n"
      "Exit status 0 on success; on any failure 1, with one line on standard error,\n"
      "and OUT left untouched.\n";
  return text;
}

}  // namespace zelmar::convert
