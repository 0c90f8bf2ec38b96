#pragma once
// picfrm's file list window and the commands that write into it. The
// window is created on first use; writing a title never creates it, since
// opening it writes the title anew.
#include <QObject>
#include <QString>

#include "base/lazy_window.h"
#include "browse/ListFrm.h"

class ViewerContext;

namespace browse {

// "图像文件列表 第3/12张" for index 2 of 12.
QString positionTitle(int index, int count);

class ListWindow : public QObject, public LazyWindow<ListFrm> {
  Q_OBJECT

 public:
  // A new picture list refills the window while it is visible.
  ListWindow(ViewerContext& context, QWidget* owner);

  // Opens or closes the window (idm_FileList): its check mark follows.
  void idm_FileList();
  // The position title of PictureIndex, into the window if it is loaded.
  void writePositionTitle();
  // Rows and "图象文件列表 共N张" from the list, into a loaded window; an
  // empty list only clears the rows.
  void FillFileList();

 private:
  ViewerContext& context_;
};

}  // namespace browse
