#pragma once
// The size dialog for four numbers: margins and size of a print in
// centimetres, or (relabelled by the resize command) a picture's present
// and new size in pixels. Its own texts are Chinese in both languages.
#include <QDialog>
#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class ViewerContext;

class PrnFrm : public QDialog {
  Q_OBJECT

 public:
  // Loading: the design's texts ("1", "1", "7", "5"), keep-ratio unticked.
  explicit PrnFrm(ViewerContext& context, QWidget* owner = nullptr);

  QLabel *Label1, *Label2, *Label3, *Label4;
  QLineEdit *Text1, *Text2, *Text3, *Text4;  // width, height, top, left
  QCheckBox* Check1;                         // keep the picture's width-to-height ratio
  QPushButton *Command1, *Command2;          // OK, Cancel

  int16_t Confirmed = 0;  // 1 after OK; 0 after Cancel and on every showing
  // The leading numbers of Text3, Text4, Text1 and Text2, read by OK.
  float SizeTop = 0, SizeLeft = 0, SizeWidth = 0, SizeHeight = 0;

  void Command1_Click();
  void Command2_Click();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void activate();
  void Text1_Change();
  void Text2_Change();
  // With keep-ratio ticked, `to` gets Val(from) divided or multiplied by
  // the ratio, unless the change came from the other box.
  void follow(const QLineEdit* from, QLineEdit* to, bool divide);

  ViewerContext& context_;
  float SizeRatio = 1;  // the picture's width / height
  int16_t guard_ = 0;   // set while one size box rewrites the other
};
