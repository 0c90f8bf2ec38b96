#pragma once
// Helpers for the BMP and PCX tests: little-endian files built byte by byte,
// and pictures passed through the oracle programs as files.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/codecs/codec.h"

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

using Tool = std::vector<std::string>;
Tool imageMagick();     // {imConvert()}
Tool graphicsMagick();  // {gm(), "convert"}
bool haveOracles();     // both are installed

using DecodeFn = Status (*)(Bytes, const Limits&, Decoded&);
using EncodeFn = Status (*)(const Picture&, const EncodeOptions&, OutputBuffer&);

// The file `encode` makes of `p` (a failed test and an empty file if it fails).
std::vector<uint8_t> encodedWith(EncodeFn encode, const Picture& p);
// What `decode` makes of `file`, expected to succeed.
Decoded decodedWith(DecodeFn decode, const std::vector<uint8_t>& file);
// The palette indexes of a picture, top row first.
std::vector<uint8_t> indexesOf(const Picture& p);

// Every depth the picture model has, at widths that need row padding,
// written by `encode` and read back through the registry: the same
// colours at the same depth, and the facts of the file. `check` sees each
// file too.
void expectEveryDepthRoundTrips(EncodeFn encode, int fileFormat, const std::string& compression,
                                void (*check)(const Picture&,
                                              const std::vector<uint8_t>&) = nullptr);

// A file another program makes from a test pattern, and what its header
// should tell us.
struct MadeElsewhere {
  Tool tool;
  int sourceBits;  // depth of the pattern given to the program
  std::vector<std::string> args;
  std::string out;  // "FORMAT:name" or a name with the extension
  int originBits;
  std::string compression;  // empty: not checked
  int tolerance = 0;        // largest channel difference allowed
};

// Makes the file and checks that `decode` finds the colours the program
// itself decodes from it, at the depth of the file.
void expectReadLikeItsMaker(const MadeElsewhere& c, DecodeFn decode, const std::string& extension);

// Checks that each tool reads `file` (ours, of `src`) with exactly src's colours.
void expectToolsRead(const std::vector<uint8_t>& file, const std::string& extension,
                     const Picture& src, const std::vector<Tool>& tools);

// Decodes every prefix of `file`: each must fail with BadHeader or
// Truncated, or load; `mustFlag`: a prefix that loads is marked truncated.
void expectPrefixesSafe(const std::vector<uint8_t>& file, DecodeFn decode, bool mustFlag);

}  // namespace zelmar::test
