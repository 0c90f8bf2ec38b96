#include "support/bmp_pcx_files.h"

#include <fstream>
#include <iterator>

#include "support/pictures.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace zelmar::test {

bool readBytes(const std::string& path, std::vector<uint8_t>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), {});
  return true;
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& data) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  return bool(out);
}

std::vector<uint8_t> madeBy(const std::vector<std::string>& tool, const Picture& src,
                            const std::vector<std::string>& args, const std::string& outSpec) {
  std::vector<uint8_t> file;
  if (tool.empty() || tool[0].empty()) return file;
  TempDir dir;
  const std::string in = dir.file("in.pnm");
  if (!writePnm(src, in)) return file;
  std::vector<std::string> argv = tool;
  argv.push_back(in);
  argv.insert(argv.end(), args.begin(), args.end());
  const auto colon = outSpec.find(':');
  const std::string name = colon == std::string::npos ? outSpec : outSpec.substr(colon + 1);
  const std::string prefix = colon == std::string::npos ? "" : outSpec.substr(0, colon + 1);
  argv.push_back(prefix + dir.file(name));
  if (run(argv).exitCode != 0) return file;
  readBytes(dir.file(name), file);
  return file;
}

bool readBy(const std::vector<std::string>& tool, const std::vector<uint8_t>& file,
            const std::string& extension, Picture& out) {
  if (tool.empty() || tool[0].empty()) return false;
  TempDir dir;
  const std::string in = dir.file("in" + extension), pnm = dir.file("out.pnm");
  if (!writeBytes(in, file)) return false;
  std::vector<std::string> argv = tool;
  // Always full colour out, so P6 carries the pixels whatever the depth.
  argv.insert(argv.end(), {in, "-depth", "8", "ppm:" + pnm});
  if (run(argv).exitCode != 0) return false;
  return readPnm(pnm, out);
}

}  // namespace zelmar::test
