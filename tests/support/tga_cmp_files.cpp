#include "support/tga_cmp_files.h"

#include <fstream>

#include "support/pictures.h"
#include "support/process.h"

namespace zelmar::test {
namespace {

// gm takes a "convert" subcommand; ImageMagick's convert does not.
std::vector<std::string> convertCommand(const std::string& program) {
  if (program == gm()) return {program, "convert"};
  return {program};
}

}  // namespace

// writeBytes is defined once, in bmp_pcx_files.cpp.

bool readWithOracle(const std::string& program, const std::string& file, Picture& out) {
  const std::string pnm = file + ".oracle.ppm";
  auto argv = convertCommand(program);
  // -strip keeps comments (a Targa image ID, say) out of the PNM header;
  // -depth 8 keeps 5-bit channels from coming out as samples up to 31.
  argv.insert(argv.end(), {file, "-strip", "-depth", "8", "ppm:" + pnm});
  return run(argv).exitCode == 0 && readPnm(pnm, out);
}

bool writeWithOracle(const std::string& program, const Picture& picture, const std::string& file,
                     const std::vector<std::string>& options) {
  const std::string pnm = file + ".source.pnm";
  if (!writePnm(picture, pnm)) return false;
  auto argv = convertCommand(program);
  argv.push_back(pnm);
  argv.insert(argv.end(), options.begin(), options.end());
  argv.push_back(file);
  return run(argv).exitCode == 0;
}

}  // namespace zelmar::test
