#include "engine/io/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>

#include "engine/core/huge_pages.h"
#include "engine/io/formats.h"

namespace zelmar {
namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

std::string errnoText(int err) { return std::strerror(err); }

std::string extensionOf(const std::string& path) {
  return std::filesystem::path(path).extension().string();
}

// Creates a file no one else has, named after `target`, in its folder. The
// kernel applies the umask (and a default ACL of the folder) to `mode` as
// for any new file, so the mask need not be read, let alone changed for the
// whole process. Returns the descriptor, or -1 with errno set.
int createBeside(const std::filesystem::path& target, mode_t mode, std::string& name) {
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  // O_EXCL makes the name safe; the varying suffix only avoids retries.
  static std::atomic<uint32_t> counter{0};
  uint64_t seed = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                  (uint64_t(::getpid()) << 32);
  for (int attempt = 0; attempt < 64; ++attempt) {
    seed = seed * 6364136223846793005u + 1442695040888963407u + counter++;
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x", unsigned(seed >> 32));
    name = (folder / ("." + target.filename().string() + suffix)).string();
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

Status readFile(const std::string& path, FileBytes& out) {
  if (path.empty()) return {ErrorCode::FileNotFound, "empty file name"};
  // Non-blocking, so that opening a FIFO with no writer returns at once and
  // is refused below instead of hanging the caller; it changes nothing for
  // reads of a regular file.
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    const int err = errno;
    if (err == ENOENT || err == ENOTDIR) return {ErrorCode::FileNotFound, path};
    if (err == EISDIR) return {ErrorCode::NotAFile, path};
    return {ErrorCode::FileUnreadable, path + ": " + errnoText(err)};
  }
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) return {ErrorCode::FileUnreadable, path};
  if (!S_ISREG(st.st_mode)) return {ErrorCode::NotAFile, path};
  if (st.st_size == 0) return {ErrorCode::EmptyFile, path};
  FileBytes data;
  try {
    data.data_ = uninitialisedBlock(size_t(st.st_size));
  } catch (const std::bad_alloc&) {
    return {ErrorCode::OutOfMemory, path};
  }
  const size_t capacity = size_t(st.st_size);
  while (data.size_ < capacity) {
    const ssize_t n = ::read(fd.get(), data.data_.get() + data.size_, capacity - data.size_);
    if (n < 0) {
      if (errno == EINTR) continue;
      return {ErrorCode::FileUnreadable, path + ": " + errnoText(errno)};
    }
    if (n == 0) break;  // the file shrank while we read it
    data.size_ += size_t(n);
  }
  if (data.size_ == 0) return {ErrorCode::EmptyFile, path};
  out = std::move(data);
  return {};
}

Status readFileBytes(const std::string& path, std::vector<uint8_t>& out) {
  FileBytes file;
  ZELMAR_TRY(readFile(path, file));
  out.assign(file.bytes().begin(), file.bytes().end());
  return {};
}

Status loadPicture(const std::string& path, const DecodeOptions& options, Decoded& out) {
  FileBytes file;
  ZELMAR_TRY(readFile(path, file));
  Decoded result;
  ZELMAR_TRY(decodeAny(file.bytes(), extensionOf(path), options, result));
  result.facts.fileSize = file.size();
  out = std::move(result);
  return {};
}

Status writeFileAtomic(const std::string& path, Bytes data) {
  namespace fs = std::filesystem;
  if (path.empty()) return {ErrorCode::WriteFailed, "empty file name"};
  fs::path target(path);
  std::error_code ec;
  // Saving through a symbolic link replaces the file it points to; renaming
  // over the link itself would silently cut it loose from that file.
  if (fs::is_symlink(target, ec)) {
    fs::path resolved = fs::canonical(target, ec);
    if (!ec) target = std::move(resolved);
  }
  struct stat old;
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  if (replacing && S_ISDIR(old.st_mode)) return {ErrorCode::WriteFailed, path + " is a folder"};
  // A device or FIFO must never be swapped for a regular file (root saving
  // to /dev/null would replace the device node).
  if (replacing && !S_ISREG(old.st_mode))
    return {ErrorCode::WriteFailed, path + " is not a regular file"};

  // A new file gets what any new file gets (0666 less the umask); a
  // replacement stays private until it takes the old file's permissions.
  std::string tmp;
  Fd fd(createBeside(target, replacing ? 0600 : 0666, tmp));
  if (fd.get() < 0) return {ErrorCode::WriteFailed, path + ": " + errnoText(errno)};

  auto fail = [&](int err) -> Status {
    ::unlink(tmp.c_str());
    return {ErrorCode::WriteFailed, path + ": " + errnoText(err)};
  };
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd.get(), data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    if (n == 0) return fail(ENOSPC);  // no progress: stop rather than spin
    done += size_t(n);
  }
  if (replacing && ::fchmod(fd.get(), old.st_mode & 07777) != 0) return fail(errno);
  if (::fsync(fd.get()) != 0) return fail(errno);
  if (::close(fd.release()) != 0) return fail(errno);
  if (::rename(tmp.c_str(), target.c_str()) != 0) return fail(errno);
  return {};
}

Status savePicture(const Picture& picture, const std::string& path, int formatCode, int bits,
                   int factor, bool append) {
  if (picture.empty()) return {ErrorCode::NoPicture};
  if (append) return {ErrorCode::InvalidArgument, "appending pages is not supported"};
  if (bits != 0 && bits != picture.bits())
    return {ErrorCode::UnsupportedDepth, "asked for " + std::to_string(bits) +
                                             " bits, the picture has " +
                                             std::to_string(picture.bits())};
  OutputBuffer buffer;
  ZELMAR_TRY(encodeAs(picture, formatCode, EncodeOptions{factor}, buffer));
  return writeFileAtomic(path, buffer.bytes());
}

}  // namespace zelmar
