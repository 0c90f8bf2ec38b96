// The file layer: reading whole files safely and replacing files atomically.
#include "engine/io/file_io.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>

#include "support/pictures.h"
#include "support/temp_dir.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;
using test::readText;
using test::TempDir;
using test::writeText;

std::set<std::string> namesIn(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename());
  return names;
}

Bytes asBytes(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

// Runs `body` in a child process, for process-wide changes (user, limits,
// alarms) the test program must not keep; its exit status, or -1.
int inChild(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST(ReadFileBytes, RefusesWhatIsNotARegularReadableFileAndHandsOutNothing) {
  TempDir dir;
  writeText(dir.file("plain"), "x");
  writeText(dir.file("empty.bmp"), "");
  ASSERT_EQ(mkfifo(dir.file("pipe.bmp").c_str(), 0600), 0);
  const struct {
    std::string path;
    ErrorCode code;
  } cases[] = {
      {dir.file("missing.bmp"), ErrorCode::FileNotFound},
      {"", ErrorCode::FileNotFound},
      {dir.file("plain") + "/below", ErrorCode::FileNotFound},
      {dir.path().string(), ErrorCode::NotAFile},
      {"/dev/null", ErrorCode::NotAFile},
      {dir.file("empty.bmp"), ErrorCode::EmptyFile},
  };
  std::vector<uint8_t> data{7};
  for (const auto& c : cases) EXPECT_EQ(readFileBytes(c.path, data).code(), c.code) << c.path;
  EXPECT_EQ(data, std::vector<uint8_t>{7});
  // A FIFO with no writer is refused at once; the alarm turns a hang into a failure.
  EXPECT_EQ(inChild([&] {
              alarm(5);
              return int(readFileBytes(dir.file("pipe.bmp"), data).code());
            }),
            int(ErrorCode::NotAFile));
  // Root reads any file, so the child gives up root first.
  writeText(dir.file("secret.bmp"), "BM not really");
  ASSERT_EQ(chmod(dir.file("secret.bmp").c_str(), 0), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  constexpr int kCannotDrop = 200;
  const int code = inChild([&] {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return kCannotDrop;
    return int(readFileBytes(dir.file("secret.bmp"), data).code());
  });
  if (code == kCannotDrop)
    GTEST_SKIP() << "platform: root cannot change to an unprivileged user here";
  EXPECT_EQ(code, int(ErrorCode::FileUnreadable));
}

TEST(WriteFileAtomic, KeepsModesAndLinksAndWhereItCannotWriteOrSaveFailsHalfWayTouchesNothing) {
  TempDir dir;
  const std::string target = dir.file("out.bmp");
  const mode_t old = umask(027);  // the test's own mask, so the expectation is known
  const Status first = writeFileAtomic(target, asBytes("first"));
  umask(old);
  ASSERT_TRUE(first.ok());
  struct stat st;
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(readText(target), "first");
  ASSERT_EQ(chmod(target.c_str(), 0604), 0);
  ASSERT_TRUE(writeFileAtomic(target, asBytes("second, longer")).ok());
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0604u);
  EXPECT_EQ(readText(target), "second, longer");
  EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"out.bmp"});
  // Saving through a link replaces the file it names, and keeps the link.
  fs::create_directory(dir.file("real"));
  writeText(dir.file("real/photo.bmp"), "old");
  fs::create_symlink(dir.file("real/photo.bmp"), dir.file("link.bmp"));
  ASSERT_TRUE(writeFileAtomic(dir.file("link.bmp"), asBytes("new")).ok());
  EXPECT_TRUE(fs::is_symlink(dir.file("link.bmp")));
  EXPECT_EQ(readText(dir.file("real/photo.bmp")), "new");
  EXPECT_EQ(namesIn(dir.file("real")), std::set<std::string>{"photo.bmp"});
  // Where it cannot write, nothing changes. Root may write into read-only
  // folders, so: a folder that does not exist, a folder in /proc, a name
  // that is a folder, a FIFO.
  fs::create_directory(dir.file("folder.bmp"));
  writeText(dir.file("folder.bmp/inside"), "kept");
  ASSERT_EQ(mkfifo(dir.file("pipe.bmp").c_str(), 0600), 0);
  for (const std::string& path :
       {dir.file("no/such/folder/a.bmp"), std::string("/proc/self/zelmar-test.bmp"),
        dir.file("folder.bmp"), dir.file("pipe.bmp"), std::string()})
    EXPECT_EQ(writeFileAtomic(path, asBytes("x")).code(), ErrorCode::WriteFailed) << path;
  EXPECT_EQ(readText(dir.file("folder.bmp/inside")), "kept");
  EXPECT_TRUE(fs::is_fifo(dir.file("pipe.bmp")));
  EXPECT_EQ(namesIn(dir.path()),
            (std::set<std::string>{"out.bmp", "real", "link.bmp", "folder.bmp", "pipe.bmp"}));
  // Refusals, and a save failing half-way, keep the old file.
  fs::create_directory(dir.file("save"));
  const std::string kept = dir.file("save/keep.bmp");
  writeText(kept, "the old picture");
  const Picture picture = test::makePattern(4, 4, 8);
  const struct {
    const Picture* p;
    int format, bits, factor;
    bool append;
    ErrorCode code;
  } cases[] = {
      {nullptr, 6, 0, 64, false, ErrorCode::NoPicture},
      {&picture, 99, 8, 64, false, ErrorCode::UnsupportedFormat},
      {&picture, 6, 24, 64, false, ErrorCode::UnsupportedDepth},
      {&picture, 6, 8, 64, true, ErrorCode::InvalidArgument},
      {&picture, 6, 8, 1, false, ErrorCode::InvalidArgument},
      {&picture, 6, 8, 256, false, ErrorCode::InvalidArgument},
  };
  const Picture none;
  for (const auto& c : cases)
    EXPECT_EQ(savePicture(c.p ? *c.p : none, kept, c.format, c.bits, c.factor, c.append).code(),
              c.code);
  // A file size limit makes the write fail part-way, like a full disk; the
  // child ignores the signal so write() reports it.
  const Picture big = test::makePattern(600, 600, 24);  // a BMP of about 1 MB
  EXPECT_EQ(inChild([&] {
              signal(SIGXFSZ, SIG_IGN);
              const rlimit limit{64 * 1024, 64 * 1024};
              if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 201;
              return int(savePicture(big, kept, 6, 24, 64, false).code());
            }),
            int(ErrorCode::WriteFailed));
  EXPECT_EQ(readText(kept), "the old picture");
  EXPECT_EQ(namesIn(dir.file("save")), std::set<std::string>{"keep.bmp"});
}

}  // namespace
}  // namespace zelmar
