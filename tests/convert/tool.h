#pragma once
// Running zelmar-convert as a user would, and reading what it reports.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/io/file_io.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace zelmar::test {

inline RunResult convert(const std::vector<std::string>& args) {
  std::vector<std::string> argv{convertTool()};
  argv.insert(argv.end(), args.begin(), args.end());
  return run(argv);
}

// The `Name: value` lines of `--info path`, by name; empty when it failed.
inline std::map<std::string, std::string> infoOf(const std::string& path) {
  std::map<std::string, std::string> facts;
  const RunResult r = convert({"--info", path});
  std::istringstream lines(r.out);
  for (std::string line; r.exitCode == 0 && std::getline(lines, line);)
    if (const size_t colon = line.find(": "); colon != std::string::npos)
      facts[line.substr(0, colon)] = line.substr(colon + 2);
  return facts;
}

// Saves with the engine as a BMP; loads with it (no picture when that fails).
inline void saveBmp(const Picture& picture, const std::string& path) {
  ASSERT_TRUE(savePicture(picture, path, 6, picture.bits(), 64, false).ok()) << path;
}
inline Picture load(const std::string& path) {
  Decoded d;
  return loadPicture(path, {}, d).ok() ? std::move(d.picture) : Picture();
}

// Standard error holds exactly one line, starting with the program's name.
inline bool isOneErrorLine(const std::string& err) {
  return err.starts_with("zelmar-convert: ") && err.size() > 17 && err.find('\n') == err.size() - 1;
}

}  // namespace zelmar::test
