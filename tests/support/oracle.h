#pragma once
// The other programs our pictures are checked against (ImageMagick,
// GraphicsMagick, vips, Pillow), exchanging pixels with them as PNM, and a
// byte builder for hand-made files no program writes.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/core/bytes.h"
#include "engine/core/picture.h"

namespace zelmar::test {

using ByteVec = std::vector<uint8_t>;

enum class Tool { ImageMagick, GraphicsMagick, Vips, Pillow };

// Empty when `tool` is installed, else why it cannot be used.
std::string missingTool(Tool tool);

// Skips the running test, with the reason, when `tool` is missing. A skip
// is a failure of the test command on a machine its set-up prepared.
#define REQUIRE_TOOL(tool)                                                   \
  if (const std::string zelmar_missing_ = ::zelmar::test::missingTool(tool); \
      !zelmar_missing_.empty()) {                                            \
    GTEST_SKIP() << zelmar_missing_;                                         \
  }

// The file `tool` makes of `pages` (several make a multi-page file for the
// magicks). `name`'s extension picks the format; the magicks also take a
// "CODER:" prefix. `args` come before the output name for the magicks, are
// save options ("compression=jpeg") or an operation and its arguments
// ("bandjoin_const", "128") for vips, and keyword arguments of save for
// Pillow ("quality=90"). A failure records a test failure, no bytes.
ByteVec toolWrites(Tool tool, const std::vector<const Picture*>& pages,
                   const std::vector<std::string>& args, const std::string& name);
inline ByteVec toolWrites(Tool tool, const Picture& picture, const std::vector<std::string>& args,
                          const std::string& name) {
  return toolWrites(tool, std::vector<const Picture*>{&picture}, args, name);
}

// What `tool` decodes from the first page of `file`, named with
// `extension`, at 8 bits a sample, with `args` applied while reading (for
// vips, an operation in place of copy and its arguments). A failure
// records a test failure and gives an empty picture.
Picture toolReads(Tool tool, Bytes file, const std::string& extension,
                  const std::vector<std::string>& args = {});

// The picture after `tool` (a magick) applies `args` to it, such as {"-flop"}.
Picture toolApplies(Tool tool, const Picture& picture, const std::vector<std::string>& args);

// ImageMagick's identify -format `format` on the first page of `file`.
std::string toolIdentify(Bytes file, const std::string& extension, const std::string& format);

// Bytes of a hand-built file, numbers in the given byte order.
struct ByteBuilder {
  enum Order { LittleEndian, BigEndian };
  explicit ByteBuilder(Order order = LittleEndian) : bigEndian(order == BigEndian) {}
  ByteVec b;
  bool bigEndian;
  ByteBuilder& u8(uint8_t v) {
    b.push_back(v);
    return *this;
  }
  ByteBuilder& u16(uint16_t v) {
    return bigEndian ? u8(uint8_t(v >> 8)).u8(uint8_t(v)) : u8(uint8_t(v)).u8(uint8_t(v >> 8));
  }
  ByteBuilder& u32(uint32_t v) {
    return bigEndian ? u16(uint16_t(v >> 16)).u16(uint16_t(v))
                     : u16(uint16_t(v)).u16(uint16_t(v >> 16));
  }
  ByteBuilder& bytes(std::initializer_list<uint8_t> v) { return append(ByteVec(v)); }
  ByteBuilder& append(const ByteVec& v) {
    b.insert(b.end(), v.begin(), v.end());
    return *this;
  }
  ByteBuilder& fill(size_t n, uint8_t v = 0) {
    b.insert(b.end(), n, v);
    return *this;
  }
  // Overwrites four bytes at `at` (little-endian), for sizes known at the end.
  void set32(size_t at, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
  }
  size_t size() const { return b.size(); }
};

}  // namespace zelmar::test
