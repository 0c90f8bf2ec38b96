#pragma once
// The small modal dialog of a scan: scanner, mode and resolution, Scan and
// Cancel, and a progress bar while the page comes in.
#include <QDialog>
#include <vector>

#include "engine/core/error.h"
#include "engine/core/picture.h"
#include "engine/qt/sane_scanner.h"

class QComboBox;
class QProgressBar;
class QPushButton;

namespace zelmar::qt {

class ScanDialog : public QDialog {
  Q_OBJECT
 public:
  ScanDialog(const SaneSession& session, const std::vector<ScannerInfo>& scanners, QWidget* parent);

  // After exec(): the page when accepted; the reason when rejected.
  Picture takePage() { return std::move(page_); }
  const Status& status() const { return status_; }

 public slots:
  void scan();
  void reject() override;  // during a scan: stop it, then close

 private:
  void fillResolutions();

  const SaneSession& session_;
  std::vector<ScannerInfo> scanners_;
  QComboBox* scanner_;
  QComboBox* mode_;
  QComboBox* resolution_;
  QProgressBar* progress_;
  QPushButton* scanButton_;
  QPushButton* cancelButton_;
  bool scanning_ = false, cancelled_ = false;
  Picture page_;
  Status status_{ErrorCode::Cancelled};
};

}  // namespace zelmar::qt
