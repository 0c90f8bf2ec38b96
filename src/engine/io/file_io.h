#pragma once
// Pictures to and from files. Loads read the whole file, then decode from
// memory; saves encode to memory, then replace the target atomically.
#include <memory>
#include <string>
#include <vector>

#include "engine/codecs/codec.h"

namespace zelmar {

// A whole file's bytes, read straight into a block nothing cleared first.
// Read rather than mapped: a file another program shortens while we decode
// would turn a mapping into a crash.
class FileBytes {
 public:
  Bytes bytes() const { return {data_.get(), size_}; }
  size_t size() const { return size_; }

 private:
  friend Status readFile(const std::string& path, FileBytes& out);
  std::unique_ptr<uint8_t[]> data_;
  size_t size_ = 0;
};

// Reads a whole regular file. On failure `out` is untouched. Errors:
// FileNotFound, NotAFile (folders, devices), FileUnreadable, EmptyFile,
// OutOfMemory.
Status readFile(const std::string& path, FileBytes& out);
// The same into a vector.
Status readFileBytes(const std::string& path, std::vector<uint8_t>& out);

// Loads the first page of a picture file, at the file's depth mapped to the
// picture model, transparent pixels composed over the options' background.
// On failure `out` is untouched. Fills facts.fileSize.
Status loadPicture(const std::string& path, const DecodeOptions& options, Decoded& out);

// Writes `data` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`. A failure leaves whatever was at `path` untouched
// and removes the temporary file. Errors: WriteFailed (with the reason).
Status writeFileAtomic(const std::string& path, Bytes data);

// Encodes and writes in one step. `bits` must be the picture's own depth
// (or 0 for "as it is"); `formatCode` is a save code (see formats.h);
// `factor` 2..255; `append` (add a page) is refused.
Status savePicture(const Picture& picture, const std::string& path, int formatCode, int bits,
                   int factor, bool append);

}  // namespace zelmar
