#include "files/PrnFrm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/numtext.h"
#include "base/placement.h"
#include "base/viewer_context.h"
#include "files/form_layout.h"

using files::label;
using files::named;
using files::place;

PrnFrm::PrnFrm(ViewerContext& context, QWidget* owner) : QDialog(owner), context_(context) {
  setObjectName(QStringLiteral("PrnFrm"));
  setWindowTitle(QStringLiteral("打印设置"));
  setFixedSize(units::twipsToPixels(3435), units::twipsToPixels(3405));
  const struct {
    QLabel*& caption;
    QLineEdit*& box;
    const char* captionName;
    const char* boxName;
    const char16_t* text;
    const char* initial;
    float top, height;
  } rows[] = {
      {Label3, Text3, "Label3", "Text3", u"上边距(厘米)：", "1", 180, 315},
      {Label4, Text4, "Label4", "Text4", u"左边距(厘米)：", "1", 600, 345},
      {Label1, Text1, "Label1", "Text1", u"宽度(厘米)：", "7", 1020, 315},
      {Label2, Text2, "Label2", "Text2", u"高度(厘米)：", "5", 1440, 315},
  };
  for (const auto& r : rows) {
    r.caption = label(this, r.captionName, QString::fromUtf16(r.text));
    r.caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(r.caption, 300, r.top, 1575, r.height);
    r.box = named<QLineEdit>(this, r.boxName);
    r.box->setText(QString::fromLatin1(r.initial));
    place(r.box, 2040, r.top, 800, r.height);
    r.caption->setBuddy(r.box);  // a screen reader names each box by its caption
  }
  Check1 = named<QCheckBox>(this, "Check1");
  Check1->setText(QStringLiteral("保持纵横比"));
  place(Check1, 960, 1920, 2055, 315);
  Command1 = named<QPushButton>(this, "Command1");
  Command1->setText(QStringLiteral("确认[&O]"));
  place(Command1, 360, 2460, 1215, 495);
  Command2 = named<QPushButton>(this, "Command2");
  Command2->setText(QStringLiteral("取消[&C]"));
  place(Command2, 1860, 2460, 1215, 495);

  connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
  connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
  // Ticking recomputes the height from the width; unticking changes nothing.
  connect(Check1, &QCheckBox::toggled, this, [this] { Text1_Change(); });
  connect(Command1, &QPushButton::clicked, this, &PrnFrm::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &PrnFrm::Command2_Click);
  activate();
}

void PrnFrm::activate() {
  Confirmed = 0;
  guard_ = 0;
  const ImageEngine* e = context_.Engine1();
  const float width = e ? e->ImageWidth() : 0, height = e ? e->ImageHeight() : 0;
  SizeRatio = height > 0 ? width / height : 1;
}

void PrnFrm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  activate();
  CenterForm(this);
}

void PrnFrm::follow(const QLineEdit* from, QLineEdit* to, bool divide) {
  if (!Check1->isChecked() || guard_ != 0) return;
  const QString text = from->text().trimmed();
  if (text.isEmpty()) return;
  const double value = numtext::Val(text);
  guard_ = 1;
  to->setText(numtext::Str(float(divide ? value / SizeRatio : value * SizeRatio)));
  guard_ = 0;
}

void PrnFrm::Text1_Change() { follow(Text1, Text2, true); }

void PrnFrm::Text2_Change() { follow(Text2, Text1, false); }

void PrnFrm::Command1_Click() {
  Confirmed = 1;
  SizeTop = float(numtext::Val(Text3->text()));
  SizeLeft = float(numtext::Val(Text4->text()));
  SizeWidth = float(numtext::Val(Text1->text()));
  SizeHeight = float(numtext::Val(Text2->text()));
  accept();
}

void PrnFrm::Command2_Click() {
  Confirmed = 0;
  reject();
}
