#pragma once
// Running zelmar-convert as a user would, and reading what it reports.
#include <map>
#include <string>
#include <vector>

#include "engine/core/picture.h"
#include "support/process.h"

namespace zelmar::test {

RunResult convert(const std::vector<std::string>& args);

// The `Name: value` lines of `--info path`, by name; empty when it failed.
std::map<std::string, std::string> infoOf(const std::string& path);

// Saves with the engine as a BMP (a failed test otherwise); loads with it
// (an empty picture when that fails).
void saveBmp(const Picture& picture, const std::string& path);
Picture load(const std::string& path);

std::string fileText(const std::string& path);
void writeText(const std::string& path, const std::string& text);

// Standard error holds exactly one line, starting with the program's name.
bool isOneErrorLine(const std::string& err);

}  // namespace zelmar::test
