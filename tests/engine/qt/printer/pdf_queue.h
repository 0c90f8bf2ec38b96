#pragma once
// A real CUPS queue that writes PDF files, for tests that print: the
// scheduler is started when none runs, and one test at a time holds the
// queue, since every queue of this kind writes into the same folder.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QProcess>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/process.h"

namespace zelmar::test {

inline bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return true;
}

class PdfQueue {
 public:
  explicit PdfQueue(std::string name) : name_(std::move(name)) {
    lock_ = ::open("/tmp/zelmar-pdf-queue.lock", O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    if (lock_ >= 0) ::flock(lock_, LOCK_EX);
    if (!schedulerRunning()) {
      std::filesystem::create_directories("/run/cups");
      cupsd_.start("/usr/sbin/cupsd", {"-f"});
      if (!cupsd_.waitForStarted(5000) || !waitFor(schedulerRunning, std::chrono::seconds(15))) {
        error_ = "cupsd did not start";
        return;
      }
    }
    const RunResult r = run({"lpadmin", "-p", name_, "-v", "cups-pdf:/", "-E", "-m",
                             "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"});
    if (r.exitCode != 0) error_ = "lpadmin: " + r.err;
    before_ = pdfs();
  }
  ~PdfQueue() {
    run({"lpadmin", "-x", name_});
    if (cupsd_.state() != QProcess::NotRunning) {
      cupsd_.terminate();
      cupsd_.waitForFinished(5000);
    }
    if (lock_ >= 0) ::close(lock_);
  }
  const std::string& error() const { return error_; }
  bool idle() const { return run({"lpstat", "-o", name_}).out.empty(); }

  // The PDF files written since the queue was made, once the queue is idle
  // and at least one is complete (a PDF exists at 0 bytes before its job ends).
  std::vector<std::filesystem::path> printed() const {
    std::vector<std::filesystem::path> made;
    waitFor([&] { return idle(); }, std::chrono::seconds(60));
    waitFor(
        [&] {
          made.clear();
          std::error_code ec;
          for (const auto& p : pdfs())
            if (std::find(before_.begin(), before_.end(), p) == before_.end()) made.push_back(p);
          return !made.empty() && std::all_of(made.begin(), made.end(), [&](const auto& p) {
            return std::filesystem::file_size(p, ec) > 0;
          });
        },
        std::chrono::seconds(30));
    return made;
  }

 private:
  // "scheduler is running" or "scheduler is not running"; lpstat exits 0 either way.
  static bool schedulerRunning() {
    return run({"lpstat", "-r"}).out.find("is running") != std::string::npos;
  }
  static std::vector<std::filesystem::path> pdfs() {
    const char* home = getenv("HOME");
    std::vector<std::filesystem::path> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(
             std::filesystem::path(home ? home : "/root") / "PDF", ec))
      if (e.path().extension() == ".pdf") out.push_back(e.path());
    return out;
  }

  std::string name_, error_;
  QProcess cupsd_;
  int lock_ = -1;
  std::vector<std::filesystem::path> before_;
};

}  // namespace zelmar::test
