#include "tool.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/io/file_io.h"

namespace zelmar::test {

RunResult convert(const std::vector<std::string>& args) {
  std::vector<std::string> argv{convertTool()};
  argv.insert(argv.end(), args.begin(), args.end());
  return run(argv);
}

std::map<std::string, std::string> infoOf(const std::string& path) {
  std::map<std::string, std::string> facts;
  const RunResult r = convert({"--info", path});
  std::istringstream lines(r.out);
  for (std::string line; r.exitCode == 0 && std::getline(lines, line);) {
    const size_t colon = line.find(": ");
    if (colon != std::string::npos) facts[line.substr(0, colon)] = line.substr(colon + 2);
  }
  return facts;
}

void saveBmp(const Picture& picture, const std::string& path) {
  const Status s = savePicture(picture, path, 6, picture.bits(), 64, false);
  ASSERT_TRUE(s.ok()) << s.message();
}

Picture load(const std::string& path) {
  Decoded d;
  if (!loadPicture(path, {}, d).ok()) return {};
  return std::move(d.picture);
}

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

bool isOneErrorLine(const std::string& err) {
  return err.starts_with("zelmar-convert: ") && err.size() > 17 && err.back() == '\n' &&
         err.find('\n') == err.size() - 1;
}

}  // namespace zelmar::test
