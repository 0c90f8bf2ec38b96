#pragma once
// Helpers for the BMP and PCX tests: little-endian files built byte by byte,
// and pictures passed through the oracle programs as files.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/core/picture.h"

namespace zelmar::test {

// A little-endian byte string for hand-built files.
struct LeBytes {
  std::vector<uint8_t> b;
  LeBytes& u8(uint8_t v) {
    b.push_back(v);
    return *this;
  }
  LeBytes& u16(uint16_t v) { return u8(uint8_t(v)).u8(uint8_t(v >> 8)); }
  LeBytes& u32(uint32_t v) { return u16(uint16_t(v)).u16(uint16_t(v >> 16)); }
  LeBytes& bytes(std::initializer_list<uint8_t> v) {
    b.insert(b.end(), v);
    return *this;
  }
  LeBytes& fill(size_t n, uint8_t v = 0) {
    b.insert(b.end(), n, v);
    return *this;
  }
  void set32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
  }
  size_t size() const { return b.size(); }
};

bool readBytes(const std::string& path, std::vector<uint8_t>& out);
bool writeBytes(const std::string& path, const std::vector<uint8_t>& data);

// Runs `tool` (e.g. {imConvert()} or {gm(), "convert"}) on `src` written as
// PNM, with `args` between input and output, writing to the file name or
// "FORMAT:name" `outSpec` inside a temporary folder; returns the file.
// Empty when the tool is missing or fails.
std::vector<uint8_t> madeBy(const std::vector<std::string>& tool, const Picture& src,
                            const std::vector<std::string>& args, const std::string& outSpec);

// Has `tool` convert `file` (saved with `extension`, such as ".bmp") to PNM
// and reads that. False when the tool is missing or fails.
bool readBy(const std::vector<std::string>& tool, const std::vector<uint8_t>& file,
            const std::string& extension, Picture& out);

}  // namespace zelmar::test
