#include "process/confirm_form.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "base/placement.h"
#include "base/viewer_context.h"

namespace process {
namespace {

// What a screen reader should say for a caption: no mnemonic marker, and
// no trailing "&O" after a Chinese word.
QString spoken(QString caption) {
  const auto n = caption.size();
  if (n > 2 && caption[n - 2] == '&' && caption[n - 3].unicode() > 0x7f) caption.chop(2);
  return caption.remove('&');
}

}  // namespace

ConfirmForm::ConfirmForm(ViewerContext& context, QWidget* owner, const char* name, float width,
                         float height)
    : QDialog(owner), context_(context) {
  setObjectName(QString::fromLatin1(name));
  setFixedSize(units::twipsToPixels(width), units::twipsToPixels(height));
}

void ConfirmForm::place(QWidget* w, const char* name, float left, float top, float width,
                        float height) {
  w->setObjectName(QString::fromLatin1(name));
  w->setGeometry(units::twipsToPixels(left), units::twipsToPixels(top), units::twipsToPixels(width),
                 units::twipsToPixels(height));
}

void ConfirmForm::addButtons(float top, float okLeft, float cancelLeft, float width, float height) {
  const struct {
    QPushButton*& button;
    const char* name;
    float left;
    QStyle::StandardPixmap icon;
  } buttons[] = {{Command1, "Command1", okLeft, QStyle::SP_DialogOkButton},
                 {Command2, "Command2", cancelLeft, QStyle::SP_DialogCancelButton}};
  for (const auto& b : buttons) {
    b.button = control<QPushButton>(b.name, b.left, top, width, height);
    b.button->setIcon(style()->standardIcon(b.icon));
    b.button->setAutoDefault(false);
  }
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void ConfirmForm::applyCaptions(std::initializer_list<Caption> captions) {
  const bool zh = context_.chinese();
  for (const Caption& c : captions) {
    const QString text = QString::fromUtf16(zh ? c.chinese : c.english);
    if (c.widget == this) {
      setWindowTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(c.widget)) {
      label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(c.widget)) {
      button->setText(text);
      button->setAccessibleName(spoken(text));
    }
  }
}

void ConfirmForm::Command1_Click() {
  Confirmed = 1;
  done(QDialog::Accepted);
}

void ConfirmForm::Command2_Click() {
  Confirmed = 0;
  done(QDialog::Rejected);
}

void ConfirmForm::showEvent(QShowEvent* event) {
  activated();
  setCaptions();
  Confirmed = 0;
  QDialog::showEvent(event);
  CenterForm(this);
}

void ConfirmForm::closeEvent(QCloseEvent* event) {
  closedByFrame_ = true;
  QDialog::closeEvent(event);
}

void ConfirmForm::keyPressEvent(QKeyEvent* event) {
  // Escape would close the form as Cancel; the design leaves it inert.
  if (event->matches(QKeySequence::Cancel)) return event->accept();
  QDialog::keyPressEvent(event);
}

}  // namespace process
