#include "convert/info.h"

namespace zelmar::convert {

std::string formatInfo(const Decoded& loaded) {
  const Picture& p = loaded.picture;
  const FileFacts& f = loaded.facts;
  const std::pair<const char*, std::string> lines[] = {
      {"BitsPerPixel", std::to_string(p.bits())},
      {"ImageWidth", std::to_string(p.width())},
      {"ImageHeight", std::to_string(p.height())},
      {"IsGray", p.isGray() ? "1" : "0"},
      {"FileFormat", std::to_string(f.fileFormat)},
      {"OriginBits", std::to_string(f.originBits)},
      {"OriginWidth", std::to_string(f.originWidth)},
      {"OriginHeight", std::to_string(f.originHeight)},
      {"FileSize", std::to_string(f.fileSize)},
      {"MemSize", std::to_string(p.memSize())},
      {"Compression", f.compression},
      {"PageCount", std::to_string(f.pageCount)},
  };
  std::string text;
  for (const auto& [name, value] : lines) text += std::string(name) + ": " + value + "\n";
  return text;
}

}  // namespace zelmar::convert
