#pragma once
// A real CUPS queue that writes PDF files into $HOME/PDF, for tests that
// print. The scheduler is started when none runs; one test at a time holds
// a queue, since they all write into the same folder.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QProcess>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "support/process.h"

namespace zelmar::test {

inline bool waitFor(const std::function<bool()>& done, std::chrono::seconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return done();
}

class PdfQueue {
 public:
  explicit PdfQueue(std::string name) : name_(std::move(name)), lock_(open(kLock, O_CREAT, 0600)) {
    flock(lock_, LOCK_EX);
    if (!schedulerRunning()) {
      std::filesystem::create_directories("/run/cups");
      cupsd_.start("/usr/sbin/cupsd", {"-f"});
      if (!waitFor(schedulerRunning, std::chrono::seconds(15))) error_ = "cupsd did not start";
    }
    const RunResult r = run({"lpadmin", "-p", name_, "-v", "cups-pdf:/", "-E", "-m",
                             "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"});
    if (error_.empty() && r.exitCode != 0) error_ = "lpadmin: " + r.err;
    before_ = pdfs();
  }
  ~PdfQueue() {
    run({"lpadmin", "-x", name_});
    cupsd_.terminate();
    cupsd_.waitForFinished(5000);
    close(lock_);
  }
  const std::string& error() const { return error_; }

  // The PDF files written since the queue was made, once the queue is idle
  // and one is complete (a PDF exists at 0 bytes before its job ends).
  std::vector<std::filesystem::path> printed() const {
    std::vector<std::filesystem::path> made;
    waitFor([&] { return run({"lpstat", "-o", name_}).out.empty(); }, std::chrono::seconds(60));
    waitFor(
        [&] {
          made = pdfs();
          std::erase_if(
              made, [&](const auto& p) { return std::count(before_.begin(), before_.end(), p); });
          std::error_code ec;
          return !made.empty() && std::filesystem::file_size(made[0], ec) > 0;
        },
        std::chrono::seconds(30));
    return made;
  }

 private:
  static constexpr const char* kLock = "/tmp/zelmar-pdf-queue.lock";
  // lpstat exits 0 whether the scheduler runs or not.
  static bool schedulerRunning() {
    return run({"lpstat", "-r"}).out.find("is running") != std::string::npos;
  }
  static std::vector<std::filesystem::path> pdfs() {
    std::vector<std::filesystem::path> out;
    std::error_code ec;
    const char* home = getenv("HOME");
    for (const auto& e :
         std::filesystem::directory_iterator(std::string(home ? home : "/root") + "/PDF", ec))
      if (e.path().extension() == ".pdf") out.push_back(e.path());
    return out;
  }

  std::string name_, error_;
  int lock_;
  QProcess cupsd_;
  std::vector<std::filesystem::path> before_;
};

}  // namespace zelmar::test
