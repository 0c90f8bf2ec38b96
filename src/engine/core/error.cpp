#include "engine/core/error.h"

namespace zelmar {

const char* errorText(ErrorCode code) {
  switch (code) {
    case ErrorCode::Ok:
      return "success";
    case ErrorCode::NoPicture:
      return "no picture";
    case ErrorCode::InvalidArgument:
      return "invalid argument";
    case ErrorCode::FileNotFound:
      return "file not found";
    case ErrorCode::FileUnreadable:
      return "file cannot be read";
    case ErrorCode::NotAFile:
      return "not a regular file";
    case ErrorCode::EmptyFile:
      return "empty file";
    case ErrorCode::UnknownFormat:
      return "unknown file format";
    case ErrorCode::BadHeader:
      return "bad file header";
    case ErrorCode::BadDimensions:
      return "bad image dimensions";
    case ErrorCode::LimitExceeded:
      return "image too large";
    case ErrorCode::Truncated:
      return "file truncated";
    case ErrorCode::CorruptData:
      return "corrupt image data";
    case ErrorCode::OutOfMemory:
      return "out of memory";
    case ErrorCode::UnsupportedFormat:
      return "format not supported for writing";
    case ErrorCode::UnsupportedDepth:
      return "colour depth not supported";
    case ErrorCode::WriteFailed:
      return "file cannot be written";
    case ErrorCode::Cancelled:
      return "cancelled";
    case ErrorCode::NoDevice:
      return "no device available";
    case ErrorCode::DeviceFailed:
      return "device failed";
    case ErrorCode::ClipboardEmpty:
      return "no picture on the clipboard";
    case ErrorCode::Unsupported:
      return "unsupported file feature";
  }
  return "unknown error";
}

std::string Status::message() const {
  std::string m = errorText(code_);
  if (!detail_.empty()) {
    m += ": ";
    m += detail_;
  }
  return m;
}

}  // namespace zelmar
