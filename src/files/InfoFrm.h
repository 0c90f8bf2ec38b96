#pragma once
// The picture information dialog: thirteen facts about the picture on the
// main window and the file it came from, a caption and a value per row.
#include <QDialog>

#include "base/lazy_window.h"

class QLabel;
class QPushButton;
class ViewerContext;

class InfoFrm : public QDialog {
  Q_OBJECT

 public:
  // Loading: the captions in the context's language, then centred on the screen.
  explicit InfoFrm(ViewerContext& context, QWidget* owner = nullptr);

  // Odd numbers caption a row, the even number after each shows its value.
  QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10,
      *Label11, *Label12, *Label13, *Label14, *Label15, *Label16, *Label17, *Label18, *Label19,
      *Label20, *Label21, *Label22, *Label23, *Label24, *Label25, *Label26;
  QPushButton* Command1;  // closes the dialog

  // The values of Engine1's picture and PictureList(PictureIndex), a
  // snapshot taken now.
  void fill();

 private:
  ViewerContext& context_;
};

namespace files {

// Shows the information of the picture on screen in a fresh dialog; with
// no picture it does nothing.
void idm_picinfo(ViewerContext& context, LazyWindow<InfoFrm>& window);

}  // namespace files
