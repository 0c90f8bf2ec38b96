#pragma once
// Running zelmar-convert as a user would, and reading what it reports.
#include <map>
#include <string>
#include <vector>

#include "engine/core/picture.h"
#include "support/process.h"

namespace zelmar::test {

// zelmar-convert with these arguments.
RunResult convert(const std::vector<std::string>& args);

// The `Name: value` lines of `--info path`, by name; empty when it failed.
std::map<std::string, std::string> infoOf(const std::string& path);

// The names of `--info`'s lines, in the order printed.
std::vector<std::string> infoNames(const std::string& output);

// Saves `picture` as a BMP with the engine (aborts the test on failure).
void saveBmp(const Picture& picture, const std::string& path);

// Loads a file with the engine; an empty picture when that fails.
Picture load(const std::string& path);

// File contents, for checking that a failure left a file untouched.
std::string fileText(const std::string& path);
void writeText(const std::string& path, const std::string& text);

// Standard error holds exactly one line, starting with the program's name.
bool isOneErrorLine(const std::string& err);

}  // namespace zelmar::test
