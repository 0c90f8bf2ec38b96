// The file layer: reading whole files safely and replacing files atomically.
#include "engine/io/file_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>

#include "support/pictures.h"
#include "support/temp_dir.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::set<std::string> namesIn(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

Bytes asBytes(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

// Runs `body` in a child process and returns its exit status, or -1 when
// it did not exit normally. Used where the child changes process-wide
// state (user, resource limits) the test program must keep.
int inChild(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

constexpr int kCannotDropPrivileges = 200;

TEST(ReadFileBytes, RefusesWhatIsNotARegularReadableFile) {
  TempDir dir;
  std::vector<uint8_t> data{7};
  EXPECT_EQ(readFileBytes(dir.file("missing.bmp"), data).code(), ErrorCode::FileNotFound);
  EXPECT_EQ(readFileBytes("", data).code(), ErrorCode::FileNotFound);
  writeText(dir.file("plain"), "x");
  EXPECT_EQ(readFileBytes(dir.file("plain") + "/below", data).code(), ErrorCode::FileNotFound);
  EXPECT_EQ(readFileBytes(dir.path().string(), data).code(), ErrorCode::NotAFile);
  EXPECT_EQ(readFileBytes("/dev/null", data).code(), ErrorCode::NotAFile);
  writeText(dir.file("empty.bmp"), "");
  EXPECT_EQ(readFileBytes(dir.file("empty.bmp"), data).code(), ErrorCode::EmptyFile);
  // Nothing was handed out by any of the failures.
  EXPECT_EQ(data, std::vector<uint8_t>{7});
}

TEST(ReadFileBytes, FifoWithoutWriterIsRefusedWithoutBlocking) {
  TempDir dir;
  const std::string fifo = dir.file("pipe.bmp");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::vector<uint8_t> data;
  // A blocking open would wait for a writer forever; the alarm turns that
  // hang into a failure of the child instead of the whole test run.
  const int code = inChild([&] {
    alarm(5);
    return int(readFileBytes(fifo, data).code());
  });
  EXPECT_EQ(code, int(ErrorCode::NotAFile));
}

TEST(ReadFileBytes, PermissionDeniedIsUnreadable) {
  TempDir dir;
  const std::string path = dir.file("secret.bmp");
  writeText(path, "BM not really");
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  // Root reads any file, so the child gives up root first when it has it.
  const int code = inChild([&] {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return kCannotDropPrivileges;
    std::vector<uint8_t> data;
    return int(readFileBytes(path, data).code());
  });
  if (code == kCannotDropPrivileges) GTEST_SKIP() << "cannot change to an unprivileged user";
  EXPECT_EQ(code, int(ErrorCode::FileUnreadable));
}

TEST(ReadFileBytes, ReadsEveryByte) {
  TempDir dir;
  std::string content(300000, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = char(i * 31 + i / 977);
  writeText(dir.file("big"), content);
  std::vector<uint8_t> data;
  ASSERT_TRUE(readFileBytes(dir.file("big"), data).ok());
  EXPECT_EQ(std::string(data.begin(), data.end()), content);
}

TEST(LoadPicture, FailuresKeepThePreviousResult) {
  TempDir dir;
  Decoded held;
  ASSERT_TRUE(Picture::create(3, 2, 24, held.picture).ok());
  held.facts.fileFormat = 6;
  writeText(dir.file("notes.bmp"), "just some words, no picture at all");
  EXPECT_EQ(loadPicture(dir.file("notes.bmp"), {}, held).code(), ErrorCode::UnknownFormat);
  writeText(dir.file("empty.jpg"), "");
  EXPECT_EQ(loadPicture(dir.file("empty.jpg"), {}, held).code(), ErrorCode::EmptyFile);
  EXPECT_EQ(loadPicture(dir.file("gone.jpg"), {}, held).code(), ErrorCode::FileNotFound);
  EXPECT_EQ(held.picture.width(), 3u);
  EXPECT_EQ(held.facts.fileFormat, 6);
}

TEST(WriteFileAtomic, CreatesAndReplacesLeavingNoTemporaryFile) {
  TempDir dir;
  const std::string target = dir.file("out.bmp");
  ASSERT_TRUE(writeFileAtomic(target, asBytes("first")).ok());
  EXPECT_EQ(readText(target), "first");
  const mode_t mask = umask(0);
  umask(mask);
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

  ASSERT_EQ(chmod(target.c_str(), 0640), 0);
  ASSERT_TRUE(writeFileAtomic(target, asBytes("second, longer")).ok());
  EXPECT_EQ(readText(target), "second, longer");
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file's permissions are kept";
  EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"out.bmp"});
}

TEST(WriteFileAtomic, UnwritablePlacesFailAndTouchNothing) {
  TempDir dir;
  // Root may write into read-only folders, so use places nobody can write:
  // a folder that does not exist, a folder in /proc, a name that is a folder.
  EXPECT_EQ(writeFileAtomic(dir.file("no/such/folder/a.bmp"), asBytes("x")).code(),
            ErrorCode::WriteFailed);
  EXPECT_EQ(writeFileAtomic("/proc/self/zelmar-test.bmp", asBytes("x")).code(),
            ErrorCode::WriteFailed);
  fs::create_directory(dir.file("folder.bmp"));
  writeText(dir.file("folder.bmp/inside"), "kept");
  EXPECT_EQ(writeFileAtomic(dir.file("folder.bmp"), asBytes("x")).code(), ErrorCode::WriteFailed);
  EXPECT_EQ(readText(dir.file("folder.bmp/inside")), "kept");
  EXPECT_EQ(writeFileAtomic("", asBytes("x")).code(), ErrorCode::WriteFailed);
  EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"folder.bmp"});
}

TEST(WriteFileAtomic, NeverReplacesADeviceOrFifo) {
  TempDir dir;
  const std::string fifo = dir.file("pipe.bmp");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(writeFileAtomic(fifo, asBytes("x")).code(), ErrorCode::WriteFailed);
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"pipe.bmp"});
}

TEST(WriteFileAtomic, SavingThroughALinkReplacesTheFileItNames) {
  TempDir dir;
  fs::create_directory(dir.file("real"));
  const std::string real = dir.file("real/photo.bmp"), link = dir.file("link.bmp");
  writeText(real, "old");
  fs::create_symlink(real, link);
  ASSERT_TRUE(writeFileAtomic(link, asBytes("new")).ok());
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(readText(real), "new");
  EXPECT_EQ(namesIn(dir.file("real")), std::set<std::string>{"photo.bmp"});
}

TEST(SavePicture, WriteErrorHalfWayKeepsTheOldFile) {
  TempDir dir;
  const std::string target = dir.file("photo.bmp");
  writeText(target, "the old picture");
  const Picture big = test::makePattern(600, 600, 24);  // a BMP of about 1 MB
  // The file size limit makes the write fail part-way through, like a
  // full disk; the child ignores the signal so write() reports EFBIG.
  const int code = inChild([&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64 * 1024, 64 * 1024};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 201;
    return int(savePicture(big, target, 6, 24, 64, false).code());
  });
  EXPECT_EQ(code, int(ErrorCode::WriteFailed));
  EXPECT_EQ(readText(target), "the old picture");
  EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"photo.bmp"});
}

TEST(SavePicture, RefusalsLeaveTheOldFileIntact) {
  TempDir dir;
  const std::string target = dir.file("keep.bmp");
  writeText(target, "old");
  Picture picture;
  ASSERT_TRUE(Picture::create(4, 4, 8, picture).ok());
  std::fill(picture.data(), picture.data() + picture.byteSize(), 1);
  EXPECT_EQ(savePicture(Picture(), target, 6, 0, 64, false).code(), ErrorCode::NoPicture);
  EXPECT_EQ(savePicture(picture, target, 99, 8, 64, false).code(), ErrorCode::UnsupportedFormat);
  EXPECT_EQ(savePicture(picture, target, 6, 24, 64, false).code(), ErrorCode::UnsupportedDepth);
  EXPECT_EQ(savePicture(picture, target, 6, 8, 64, true).code(), ErrorCode::InvalidArgument);
  EXPECT_EQ(savePicture(picture, target, 6, 8, 1, false).code(), ErrorCode::InvalidArgument);
  EXPECT_EQ(savePicture(picture, target, 6, 8, 256, false).code(), ErrorCode::InvalidArgument);
  EXPECT_EQ(readText(target), "old");
  EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"keep.bmp"});
}

}  // namespace
}  // namespace zelmar
