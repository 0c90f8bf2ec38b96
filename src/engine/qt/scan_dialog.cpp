#include "engine/qt/scan_dialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>

namespace zelmar::qt {

ScanDialog::ScanDialog(const SaneSession& session, const std::vector<ScannerInfo>& scanners,
                       QWidget* parent)
    : QDialog(parent),
      session_(session),
      scanners_(scanners),
      scanner_(new QComboBox(this)),
      mode_(new QComboBox(this)),
      resolution_(new QComboBox(this)),
      progress_(new QProgressBar(this)),
      scanButton_(new QPushButton(QStringLiteral("扫描 Scan"), this)),
      cancelButton_(new QPushButton(QStringLiteral("取消 Cancel"), this)) {
  setObjectName("ScanDialog");
  setWindowTitle(QStringLiteral("扫描 Scan"));
  setModal(true);
  scanner_->setObjectName("scanner");
  mode_->setObjectName("mode");
  resolution_->setObjectName("resolution");
  progress_->setObjectName("progress");
  scanButton_->setObjectName("scanButton");
  cancelButton_->setObjectName("cancelButton");

  for (const ScannerInfo& s : scanners_) scanner_->addItem(QString::fromStdString(s.label));
  mode_->addItem(QStringLiteral("彩色 Colour"), int(ScanMode::Color));
  mode_->addItem(QStringLiteral("灰度 Grey"), int(ScanMode::Gray));
  mode_->addItem(QStringLiteral("黑白 Black and white"), int(ScanMode::BlackAndWhite));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setVisible(false);
  fillResolutions();

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("扫描仪 Scanner"), scanner_);
  form->addRow(QStringLiteral("模式 Mode"), mode_);
  form->addRow(QStringLiteral("分辨率 Resolution"), resolution_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(scanButton_);
  buttons->addWidget(cancelButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(progress_);
  layout->addLayout(buttons);

  connect(scanner_, &QComboBox::currentIndexChanged, this, &ScanDialog::fillResolutions);
  connect(scanButton_, &QPushButton::clicked, this, &ScanDialog::scan);
  connect(cancelButton_, &QPushButton::clicked, this, &ScanDialog::reject);
}

void ScanDialog::fillResolutions() {
  resolution_->clear();
  const int i = scanner_->currentIndex();
  std::vector<int> dpis;
  if (i >= 0 && session_.resolutions(scanners_[size_t(i)].name, dpis).ok())
    for (int dpi : dpis) resolution_->addItem(QString("%1 dpi").arg(dpi), dpi);
  if (resolution_->count() == 0) resolution_->addItem(QStringLiteral("—"), 0);
  // 150 dpi reads well on screen without a long wait.
  const int preferred = resolution_->findData(150);
  if (preferred >= 0) resolution_->setCurrentIndex(preferred);
}

void ScanDialog::scan() {
  if (scanning_ || scanner_->currentIndex() < 0) return;
  ScanSettings settings;
  settings.device = scanners_[size_t(scanner_->currentIndex())].name;
  settings.mode = ScanMode(mode_->currentData().toInt());
  settings.dpi = resolution_->currentData().toInt();
  scanning_ = true;
  cancelled_ = false;
  for (QWidget* w : {static_cast<QWidget*>(scanner_), static_cast<QWidget*>(mode_),
                     static_cast<QWidget*>(resolution_), static_cast<QWidget*>(scanButton_)})
    w->setEnabled(false);
  progress_->setValue(0);
  progress_->setVisible(true);
  const auto report = [this](double done) {
    if (done < 0)
      progress_->setRange(0, 0);  // length unknown: a busy bar
    else
      progress_->setValue(int(done * 100));
    // Let Cancel through while the page comes in.
    QCoreApplication::processEvents();
    return !cancelled_;
  };
  Picture page;
  status_ = session_.scan(settings, report, page);
  scanning_ = false;
  if (status_.ok()) {
    page_ = std::move(page);
    accept();
  } else {
    QDialog::reject();
  }
}

void ScanDialog::reject() {
  if (scanning_) {
    cancelled_ = true;
    return;
  }
  status_ = {ErrorCode::Cancelled};
  QDialog::reject();
}

}  // namespace zelmar::qt
