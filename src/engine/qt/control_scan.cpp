// Acquiring a picture from a scanner through SANE.
#include <QCoreApplication>

#include "engine/qt/control_codes.h"
#include "engine/qt/image_control.h"
#include "engine/qt/sane_scanner.h"
#include "engine/qt/scan_dialog.h"

using zelmar::Status;

int ImageControl::ScanPrepare(QWidget*) {
  const zelmar::qt::SaneSession session;
  std::vector<zelmar::qt::ScannerInfo> scanners;
  const Status s = session.devices(scanners);
  return s.ok() ? 0 : fail(s);
}

int ImageControl::ScanAcquire(QWidget* window) {
  const zelmar::qt::SaneSession session;
  std::vector<zelmar::qt::ScannerInfo> scanners;
  Status s = session.devices(scanners);
  if (!s.ok()) return fail(s);
  zelmar::Picture page;
  if (zelmar::qt::codes::scanWithDialog(acquireOption_)) {
    zelmar::qt::ScanDialog dialog(session, scanners, window ? window : this);
    dialog.exec();
    s = dialog.status();
    page = dialog.takePage();
  } else {
    zelmar::qt::ScanSettings settings;
    settings.device = scanners.front().name;
    s = session.scan(
        settings,
        [](double) {
          QCoreApplication::processEvents();
          return true;
        },
        page);
  }
  if (!s.ok()) return fail(s);
  adoptPicture(std::move(page));
  return 0;
}
