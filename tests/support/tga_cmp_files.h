#pragma once
// Byte-level helpers for the Targa and CMP codec tests: files in and out,
// and the oracle programs' view of a file.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/picture.h"

namespace zelmar::test {

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Converts `file` to a PNM with the oracle at `program` (ImageMagick's
// convert or GraphicsMagick's gm) and reads that; false when it failed.
bool readWithOracle(const std::string& program, const std::string& file, Picture& out);

// Writes `picture` as PNM and converts it with the oracle to `file`
// (its extension picks the format), adding `options` before the output.
bool writeWithOracle(const std::string& program, const Picture& picture, const std::string& file,
                     const std::vector<std::string>& options = {});

}  // namespace zelmar::test
