#pragma once
// Error codes of the imaging core. Every fallible core function returns a
// Status; nothing in the core throws across its public functions.
#include <string>
#include <utility>

namespace zelmar {

enum class ErrorCode : int {
  Ok = 0,
  NoPicture = 1,        // the operation needs a picture and none is held
  InvalidArgument = 2,  // an argument outside what the operation accepts
  FileNotFound = 3,
  FileUnreadable = 4,  // permission denied or an input/output error
  NotAFile = 5,        // a folder, a device or another non-regular file
  EmptyFile = 6,
  UnknownFormat = 7,   // no reader recognises the content
  BadHeader = 8,       // the format's header is broken or inconsistent
  BadDimensions = 9,   // zero or impossible sizes declared by a file
  LimitExceeded = 10,  // sizes beyond the caller's limits (not a broken file)
  Truncated = 11,      // the data ended before any pixel could be decoded
  CorruptData = 12,    // pixel data the format forbids
  OutOfMemory = 13,
  UnsupportedFormat = 14,  // a format code that cannot be written
  UnsupportedDepth = 15,   // a depth the format or operation cannot hold
  WriteFailed = 16,
  Cancelled = 17,
  NoDevice = 18,        // no scanner or printer to use
  DeviceFailed = 19,    // the scanner or printer failed mid-way
  ClipboardEmpty = 20,  // no picture on the clipboard
  Unsupported = 21,     // a feature of a file this reader does not handle
};

// A short readable English text for each code, such as "file truncated".
const char* errorText(ErrorCode code);

class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(ErrorCode code, std::string detail = {}) : code_(code), detail_(std::move(detail)) {}

  bool ok() const { return code_ == ErrorCode::Ok; }
  ErrorCode code() const { return code_; }
  const std::string& detail() const { return detail_; }
  // The code's text, followed by the detail when there is one.
  std::string message() const;

 private:
  ErrorCode code_ = ErrorCode::Ok;
  std::string detail_;
};

inline Status okStatus() { return {}; }

}  // namespace zelmar

// Return from the calling function when a Status-returning expression fails.
#define ZELMAR_TRY(expr)                           \
  do {                                             \
    ::zelmar::Status zelmar_try_s_ = (expr);       \
    if (!zelmar_try_s_.ok()) return zelmar_try_s_; \
  } while (0)
