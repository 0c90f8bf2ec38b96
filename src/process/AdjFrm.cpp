#include "process/AdjFrm.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <functional>
#include <limits>

#include "base/absorb.h"
#include "base/viewer_context.h"

namespace {

// The engine's display values run from -1000 to 1000; beyond they change
// nothing on screen, but a base that kept growing past them would make
// the bar's left half inert and, past the 16-bit range, wrap around.
constexpr int32_t kDisplayLimit = 1000;

int32_t displayValue(int step, int32_t base) {
  return std::clamp(step * 10 + base, -kDisplayLimit, kDisplayLimit);
}

// Shows the step, then one change of the engine and its paint under the
// busy cursor; failures are absorbed.
void preview(ImageEngine& engine, QScrollBar* bar, QLabel* label,
             const std::function<int(ImageEngine&, int)>& change) {
  const int step = bar->value();
  label->setText(QString::number(step));
  BusyCursor busy;
  ErrorAbsorber absorb;
  absorb.run([&] { return change(engine, step); });
  absorb.run([&] { engine.Repaint(); });
}

}  // namespace

int16_t process::displaySetting(int32_t value) {
  return int16_t(std::clamp<int32_t>(value, std::numeric_limits<int16_t>::min(),
                                     std::numeric_limits<int16_t>::max()));
}

AdjFrm::AdjFrm(ViewerContext& context, QWidget* owner)
    : ConfirmForm(context, owner, "AdjFrm", 4575, 2265) {
  Label1 = control<QLabel>("Label1", 120, 180, 975, 255);
  Label2 = control<QLabel>("Label2", 120, 600, 975, 255);
  Label3 = control<QLabel>("Label3", 120, 1020, 975, 255);
  HScroll1 = control<QScrollBar>("HScroll1", 1200, 120, 2475, 315);
  HScroll2 = control<QScrollBar>("HScroll2", 1200, 600, 2475, 315);
  HScroll3 = control<QScrollBar>("HScroll3", 1200, 1020, 2475, 315);
  addButtons(1620, 960, 2640, 1095, 450);
  Label4 = control<QLabel>("Label4", 3840, 180, 495, 255);
  Label5 = control<QLabel>("Label5", 3840, 660, 495, 195);
  Label6 = control<QLabel>("Label6", 3840, 1080, 495, 255);
  const std::pair<QScrollBar*, void (AdjFrm::*)()> bars[] = {{HScroll1, &AdjFrm::HScroll1_Change},
                                                             {HScroll2, &AdjFrm::HScroll2_Change},
                                                             {HScroll3, &AdjFrm::HScroll3_Change}};
  for (const auto& [bar, changed] : bars) {
    bar->setOrientation(Qt::Horizontal);
    bar->setRange(-99, 99);
    bar->setValue(0);
    bar->setSingleStep(1);  // an arrow
    bar->setPageStep(5);    // a click in the track
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->setTracking(false);  // dragging previews nothing; letting go does
    connect(bar, &QScrollBar::valueChanged, this, changed);
  }
  for (QLabel* l : {Label4, Label5, Label6}) l->setText(QStringLiteral("0"));
  ErrorAbsorber().run([&] { return context.Engine1()->EndSaturationRun(); });
  activated();
  setCaptions();
}

void AdjFrm::activated() {
  const ImageEngine& engine = *context_.Engine1();
  BaseBrightness = process::displaySetting(engine.DisplayBrightness());
  BaseContrast = process::displaySetting(engine.DisplayContrast());
}

void AdjFrm::setCaptions() {
  applyCaptions({{this, u"颜色调节", u"Color Adjust"},
                 {Label1, u"亮度", u"Brightness"},
                 {Label2, u"对比度", u"Contrast"},
                 {Label3, u"饱和度", u"Saturation"},
                 {Command1, u"确认&O", u"&OK"},
                 {Command2, u"取消&C", u"&Cancel"}});
  // Each bar is announced by its caption.
  for (auto [bar, caption] : {std::pair{HScroll1, Label1}, {HScroll2, Label2}, {HScroll3, Label3}})
    bar->setAccessibleName(caption->text());
}

void AdjFrm::HScroll1_Change() {
  preview(*context_.Engine1(), HScroll1, Label4, [this](ImageEngine& e, int step) {
    e.setDisplayBrightness(displayValue(step, BaseBrightness));
    return 0;
  });
}

void AdjFrm::HScroll2_Change() {
  preview(*context_.Engine1(), HScroll2, Label5, [this](ImageEngine& e, int step) {
    e.setDisplayContrast(displayValue(step, BaseContrast));
    return 0;
  });
}

void AdjFrm::HScroll3_Change() {
  preview(*context_.Engine1(), HScroll3, Label6,
          [](ImageEngine& e, int step) { return e.AdjustSaturation(int16_t(step * 10)); });
}
