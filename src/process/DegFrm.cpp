#include "process/DegFrm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "base/numtext.h"

DegFrm::DegFrm(ViewerContext& context, QWidget* owner)
    : ConfirmForm(context, owner, "DegFrm", 3195, 1290) {
  Label1 = control<QLabel>("Label1", 360, 200, 1395, 255);
  Text1 = control<QLineEdit>("Text1", 1920, 180, 675, 315);
  Text1->setText(QStringLiteral("9000"));
  Label1->setBuddy(Text1);  // the prompt names the box for screen readers
  addButtons(720, 360, 1740, 1155, 450);
  setCaptions();
}

void DegFrm::setCaptions() {
  applyCaptions({{this, u"输入角度", u"Degree"},
                 {Label1, u"角度(1/100度)", u"Degree(1/100)"},
                 {Command1, u"确认&O", u"&OK"},
                 {Command2, u"取消&C", u"&Cancel"}});
}

void DegFrm::Command1_Click() {
  Angle = numtext::roundHalfEven(numtext::Val(Text1->text()));
  ConfirmForm::Command1_Click();
}
