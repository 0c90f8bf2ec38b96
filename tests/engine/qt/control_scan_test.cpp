// Scanning a real page from SANE's own test backend, set up per test
// through SANE_CONFIG_DIR; scanimage reading the same device is the oracle.
#include <dlfcn.h>

#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "control_fixture.h"
#include "engine/qt/backend_threads.h"
#include "engine/qt/scan_dialog.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

// SANE reads SANE_CONFIG_DIR once per process, so every test rewrites the
// files of one folder: only the test backend and its settings.
class SaneConfig {
 public:
  explicit SaneConfig(const std::string& testConf) {
    std::ofstream(dir_.file("dll.conf")) << "test\n";
    std::ofstream(dir_.file("test.conf")) << "number_of_devices 1\n" << testConf;
  }
  ~SaneConfig() { std::ofstream(dir_.file("dll.conf")).close(); }

  // The page scanimage gets from the same device.
  Picture reference(const std::vector<std::string>& options = {}) const {
    // scanimage has been seen to hang now and then on a busy machine: bound it, try once more.
    std::vector<std::string> argv{"timeout", "30", "scanimage", "-d", "test:0", "--format=pnm"};
    argv.insert(argv.end(), options.begin(), options.end());
    RunResult r = run(argv);
    if (r.exitCode == 124) r = run(argv);
    // Our reader takes 8-bit samples: keep the high byte of 16-bit (big-endian) ones.
    std::string pnm = r.out;
    if (const auto at = pnm.find("\n65535\n"); at != std::string::npos && at < 64) {
      std::string narrow = pnm.substr(0, at) + "\n255\n";
      for (size_t i = at + 7; i < pnm.size(); i += 2) narrow += pnm[i];
      pnm = narrow;
    }
    std::ofstream(dir_.file("ref.pnm"), std::ios::binary) << pnm;
    Picture p;
    EXPECT_TRUE(r.exitCode == 0 && readPnm(dir_.file("ref.pnm"), p)) << r.err;
    return p;
  }

 private:
  static const TempDir& folder() {
    static const TempDir dir;
    setenv("SANE_CONFIG_DIR", dir.path().c_str(), 1);
    // The test backend leaks its read buffer when a scan is cancelled; kept
    // loaded, the leak checker can name it and the suppression list skip it.
    for (const char* lib : {"/usr/lib/x86_64-linux-gnu/sane/libsane-test.so.1",
                            "/usr/lib/aarch64-linux-gnu/sane/libsane-test.so.1"})
      if (dlopen(lib, RTLD_NOW | RTLD_NODELETE)) break;
    return dir;
  }
  const TempDir& dir_ = folder();
};

// In the scan dialog, as soon as it is shown (the scanner may be slow to
// list): 75 dpi, the mode `mode`, then Scan. One still open a minute later
// is closed as a failure rather than left to hang the suite.
void scanInDialog(int mode) {
  auto* poll = new QTimer(qApp);
  QObject::connect(poll, &QTimer::timeout, [poll, mode] {
    auto* dialog = qobject_cast<qt::ScanDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    poll->stop();
    poll->deleteLater();
    QTimer::singleShot(60000, dialog, [dialog] {
      ADD_FAILURE() << "the scan dialog stayed open";
      dialog->reject();
    });
    dialog->findChild<QComboBox*>("mode")->setCurrentIndex(mode);
    auto* resolution = dialog->findChild<QComboBox*>("resolution");
    ASSERT_GE(resolution->findData(75), 0);
    resolution->setCurrentIndex(resolution->findData(75));
    dialog->findChild<QPushButton*>("scanButton")->click();
  });
  poll->start(10);
}

// With no scanner at all the viewer's acquire test (tests/process) sees the
// control's refusal; a scanner failing mid-scan leaves the picture alone.
TEST_F(ControlTest, ScansColourPagesOfEveryKindAndGreyAndBlackAndWhiteFailuresChangingNothing) {
  SaneConfig sane("mode Color\nread-status-code \"SANE_STATUS_IO_ERROR\"\n");
  control->adoptPicture(solid(4, 4, {1, 2, 3}));
  control->setRaiseErrors(false);
  EXPECT_EQ(control->ScanAcquire(control.get()), int(ErrorCode::DeviceFailed));
  EXPECT_TRUE(closeColours(control->picture(), solid(4, 4, {1, 2, 3}), 0));
  // Colour pages of every kind become ordinary colour.
  const std::string pattern = "mode Color\ntest-picture \"Color pattern\"\n";
  for (const std::string more :
       {"resolution 75\n", "resolution 40\nthree-pass true\n", "resolution 40\ndepth 16\n"}) {
    SaneConfig sane(pattern + more);
    EXPECT_EQ(control->ScanPrepare(control.get()), 0);
    ASSERT_EQ(control->ScanAcquire(control.get()), 0) << more;
    EXPECT_EQ(control->BitsPerPixel(), 24);
    EXPECT_TRUE(closeColours(control->picture(), sane.reference(), 0)) << more;
  }
  // Grey and black and white through the dialog (cancelling in it, before
  // or during a scan, is the viewer's acquire test's, tests/process).
  SaneConfig grid("mode Color\ntest-picture \"Grid\"\n");
  control->setAcquireOption(9);
  const struct {
    int mode, bits;
    std::vector<std::string> options;
  } cases[] = {{1, 8, {"--mode", "Gray", "--resolution", "75"}},
               {2, 1, {"--mode", "Gray", "--depth", "1", "--resolution", "75"}}};
  for (const auto& c : cases) {
    scanInDialog(c.mode);
    ASSERT_EQ(control->ScanAcquire(control.get()), 0);
    EXPECT_EQ(control->BitsPerPixel(), c.bits);
    EXPECT_EQ(control->IsGray(), 1);
    EXPECT_TRUE(closeColours(control->picture(), grid.reference(c.options), 0)) << c.bits;
  }
}

// A backend's reader may only be cancelled once it has ended or sleeps in the
// kernel; at the end of a pass, only once it has ended. Threads that ran
// before sane_start are not its readers. The sleeper and the older thread end
// before settling's half-second limit, so waiting for them shows.
TEST(BackendThreads, SettlingWaitsForReadersThatRunOrMustEndNotForOthers) {
  using namespace std::chrono;
  const auto spinUntil = [](steady_clock::time_point t) {
    while (steady_clock::now() < t) {
    }
  };
  const auto later = steady_clock::now() + milliseconds(400);
  std::atomic<bool> olderEnded{false}, runningEnded{false}, sleeperEnded{false};
  std::thread older([&] { spinUntil(later), olderEnded = true; });
  qt::BackendThreads pass;
  pass.beforeStart();
  std::thread running(
      [&] { spinUntil(steady_clock::now() + milliseconds(30)), runningEnded = true; });
  std::thread asleep([&] { std::this_thread::sleep_until(later), sleeperEnded = true; });
  pass.afterStart();
  pass.settle(false);
  const bool ran = runningEnded, slept = sleeperEnded, olderDone = olderEnded;
  pass.settle(true);
  const bool sleeperDone = sleeperEnded;
  for (std::thread* t : {&older, &running, &asleep}) t->join();
  EXPECT_TRUE(ran);
  EXPECT_FALSE(slept);
  EXPECT_FALSE(olderDone);
  EXPECT_TRUE(sleeperDone);
}

}  // namespace
}  // namespace zelmar::test
