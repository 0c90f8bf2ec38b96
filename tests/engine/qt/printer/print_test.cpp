// RenderToDevice on a real printer queue: a CUPS queue that writes PDF,
// read back as a picture with pdftoppm.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QThread>
#include <chrono>
#include <filesystem>
#include <thread>

#include "engine/qt/image_control.h"
#include "support/pictures.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(100ms);
  }
  return true;
}

// "scheduler is running" or "scheduler is not running"; lpstat exits 0 either way.
bool schedulerRunning() {
  return run({"lpstat", "-r"}).out.find("is running") != std::string::npos;
}

// A running CUPS scheduler (ours, or one already there) with a PDF queue.
class PdfQueue {
 public:
  explicit PdfQueue(std::string name) : name_(std::move(name)) {
    if (!schedulerRunning()) {
      fs::create_directories("/run/cups");
      cupsd_.start("/usr/sbin/cupsd", {"-f"});
      if (!cupsd_.waitForStarted(5000) || !waitFor(schedulerRunning, 15s)) {
        error_ = "cupsd did not start";
        return;
      }
    }
    const RunResult r = run({"lpadmin", "-p", name_, "-v", "cups-pdf:/", "-E", "-m",
                             "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"});
    if (r.exitCode != 0) error_ = "lpadmin: " + r.err;
  }
  ~PdfQueue() {
    run({"lpadmin", "-x", name_});
    if (cupsd_.state() != QProcess::NotRunning) {
      cupsd_.terminate();
      cupsd_.waitForFinished(5000);
    }
  }
  const std::string& error() const { return error_; }
  bool idle() const { return run({"lpstat", "-o", name_}).out.empty(); }

 private:
  std::string name_, error_;
  QProcess cupsd_;
};

std::vector<fs::path> pdfsIn(const fs::path& dir) {
  std::vector<fs::path> out;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec))
    if (e.path().extension() == ".pdf") out.push_back(e.path());
  return out;
}

TEST(PrinterQueue, PrintsThePictureIntoItsRectangleOnThePage) {
  if (geteuid() != 0) GTEST_SKIP() << "platform: starting cupsd and adding a queue needs root";
  const std::string queue = "ZelmarControlTest" + std::to_string(getpid());
  PdfQueue pdf(queue);
  ASSERT_EQ(pdf.error(), "");
  const fs::path outDir = fs::path(getenv("HOME") ? getenv("HOME") : "/root") / "PDF";
  const auto before = pdfsIn(outDir);

  ImageControl control;
  control.adoptPicture(solid(40, 20, {220, 0, 0}));

  QPrinter printer(QPrinter::HighResolution);
  printer.setPrinterName(QString::fromStdString(queue));
  ASSERT_EQ(printer.printerName(), QString::fromStdString(queue));
  printer.setFullPage(true);
  printer.setDocName("zelmar-control-test");
  QPainter painter;
  ASSERT_TRUE(painter.begin(&printer));
  const float dpi = float(printer.resolution());
  // Two inches by one, an inch from the top left corner of the paper.
  ASSERT_EQ(control.RenderToDevice(&painter, dpi, dpi, 2 * dpi, dpi), 0);
  ASSERT_TRUE(painter.end());

  ASSERT_TRUE(waitFor([&] { return pdf.idle(); }, 60s));
  fs::path made;
  ASSERT_TRUE(waitFor(
      [&] {
        std::error_code ec;
        for (const auto& p : pdfsIn(outDir))
          if (std::find(before.begin(), before.end(), p) == before.end() &&
              fs::file_size(p, ec) > 0)
            made = p;
        return !made.empty();
      },
      30s))
      << "no PDF in " << outDir;

  TempDir dir;
  const RunResult r =
      run({"pdftoppm", "-png", "-r", "50", "-singlefile", made.string(), dir.file("page")});
  fs::remove(made);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const QImage page(QString::fromStdString(dir.file("page.png")));
  ASSERT_FALSE(page.isNull());
  // At 50 dpi the picture covers (50, 50) to (150, 100): red inside, white around.
  for (auto [x, y] : {std::pair{53, 53}, {100, 75}, {147, 97}}) {
    const QRgb c = page.pixel(x, y);
    EXPECT_TRUE(qRed(c) > 180 && qGreen(c) < 60 && qBlue(c) < 60) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{45, 75}, {155, 75}, {100, 45}, {100, 105}})
    EXPECT_GT(qGray(page.pixel(x, y)), 240) << x << "," << y;
}

}  // namespace
}  // namespace zelmar::test
