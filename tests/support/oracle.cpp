#include "support/oracle.h"

#include "support/pictures.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

// Found at configure time; empty when missing.
std::string pathOf(Tool tool) {
  const char* const paths[] = {ZELMAR_IM_CONVERT, ZELMAR_GM, ZELMAR_VIPS, ZELMAR_PYTHON};
  return paths[int(tool)];
}

const char* nameOf(Tool tool) {
  constexpr const char* names[] = {"ImageMagick", "GraphicsMagick", "vips", "Pillow"};
  return names[int(tool)];
}

// The magicks' command up to the first input file.
std::vector<std::string> magick(Tool tool) {
  if (tool == Tool::GraphicsMagick) return {pathOf(tool), "convert"};
  return {pathOf(tool)};
}

// Pillow saves the first input to the output, with keyword arguments "k=v".
constexpr const char* kPillowWrite = R"(import sys
from PIL import Image
opts = dict(a.split('=', 1) for a in sys.argv[3:])
Image.open(sys.argv[1]).save(sys.argv[2], **{k: int(v) if v.isdigit() else v for k, v in opts.items()})
)";

constexpr const char* kPillowRead = R"(import sys
from PIL import Image
Image.open(sys.argv[1]).convert('RGB').save(sys.argv[2], 'PPM')
)";

ByteVec slurp(const std::string& path) {
  const std::string text = readText(path);
  return ByteVec(text.begin(), text.end());
}
void spit(const std::string& path, Bytes data) {
  writeText(path, std::string(data.begin(), data.end()));
}

bool succeeded(Tool tool, const RunResult& r) {
  EXPECT_EQ(r.exitCode, 0) << nameOf(tool) << ": " << r.err;
  return r.exitCode == 0;
}

}  // namespace

std::string missingTool(Tool tool) {
  const std::string path = pathOf(tool);
  if (path.empty()) return std::string(nameOf(tool)) + " is not installed";
  if (tool == Tool::Pillow) {
    static const bool pil = run({path, "-c", "import PIL"}).exitCode == 0;
    if (!pil) return "Pillow is not installed for " + path;
  }
  return {};
}

ByteVec toolWrites(Tool tool, const std::vector<const Picture*>& pages,
                   const std::vector<std::string>& args, const std::string& name) {
  const std::string problem = missingTool(tool);
  if (!problem.empty()) {
    ADD_FAILURE() << problem;
    return {};
  }
  TempDir dir;
  std::vector<std::string> inputs;
  for (const Picture* p : pages) {
    inputs.push_back(dir.file("in" + std::to_string(inputs.size()) + ".pnm"));
    if (!writePnm(*p, inputs.back())) return {};
  }
  const size_t colon = name.find(':');
  const std::string file = colon == std::string::npos ? name : name.substr(colon + 1);
  const std::string out = dir.file(file);
  std::vector<std::string> argv;
  if (tool == Tool::Vips) {
    // Words "k=v" are save options; others name an operation run in place
    // of copy, its arguments after the output.
    std::string options;
    std::vector<std::string> op;
    for (const auto& a : args) {
      if (a.find('=') == std::string::npos) {
        op.push_back(a);
      } else {
        options += (options.empty() ? "" : ",") + a;
      }
    }
    if (op.empty()) op = {"copy"};
    argv = {pathOf(tool), op[0], inputs.front(), out + "[" + options + "]"};
    argv.insert(argv.end(), op.begin() + 1, op.end());
  } else if (tool == Tool::Pillow) {
    argv = {pathOf(tool), "-c", kPillowWrite, inputs.front(), out};
    argv.insert(argv.end(), args.begin(), args.end());
  } else {
    argv = magick(tool);
    argv.insert(argv.end(), inputs.begin(), inputs.end());
    argv.insert(argv.end(), args.begin(), args.end());
    argv.push_back(colon == std::string::npos ? out : name.substr(0, colon + 1) + out);
  }
  if (!succeeded(tool, run(argv))) return {};
  return slurp(out);
}

Picture toolReads(Tool tool, Bytes file, const std::string& extension,
                  const std::vector<std::string>& args) {
  Picture p;
  const std::string problem = missingTool(tool);
  if (!problem.empty()) {
    ADD_FAILURE() << problem;
    return p;
  }
  TempDir dir;
  const std::string in = dir.file("in" + extension), out = dir.file("out.ppm");
  spit(in, file);
  std::vector<std::string> argv;
  if (tool == Tool::Pillow) {
    argv = {pathOf(tool), "-c", kPillowRead, in, out};
  } else if (tool == Tool::Vips) {  // an operation (copy when none), then its arguments
    argv = {pathOf(tool), args.empty() ? "copy" : args[0], in, out};
    if (!args.empty()) argv.insert(argv.end(), args.begin() + 1, args.end());
  } else {
    // Eight bits a sample, so bilevel and 5-bit pictures come out as 0..255.
    argv = magick(tool);
    argv.push_back(in + "[0]");
    argv.insert(argv.end(), args.begin(), args.end());
    argv.insert(argv.end(), {"-depth", "8", "ppm:" + out});
  }
  if (succeeded(tool, run(argv))) {
    EXPECT_TRUE(readPnm(out, p)) << nameOf(tool) << " gave no PPM";
  }
  return p;
}

Picture toolApplies(Tool tool, const Picture& picture, const std::vector<std::string>& args) {
  const ByteVec out = toolWrites(tool, picture, args, "out.pnm");
  return out.empty() ? Picture() : toolReads(tool, out, ".pnm");
}

std::string toolIdentify(Bytes file, const std::string& extension, const std::string& format) {
  TempDir dir;
  const std::string in = dir.file("in" + extension);
  spit(in, file);
  // ImageMagick's identify sits beside its convert, named alike.
  std::string identify = pathOf(Tool::ImageMagick);
  identify.replace(identify.rfind("convert"), 7, "identify");
  return run({identify, "-format", format, in + "[0]"}).out;
}

}  // namespace zelmar::test
