#pragma once
// The floating file list window: one row per picture of the list; a click
// on a row shows that picture.
#include <QWidget>

class QListWidget;
class picfrm;

class ListFrm : public QWidget {
  Q_OBJECT

 public:
  explicit ListFrm(picfrm* owner);

  QListWidget* List1;

  // Adds PictureList entries 0 .. PictureCount - 1 as rows.
  void fillRows();
  // The list's font size, set each time the rows are rebuilt.
  void setListFont();
  // Places List1 with a 1 mm margin; a side too small keeps its size.
  void LayoutList();
  // The row-click handler: shows the selected row's picture.
  void List1_Click();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  picfrm* owner_;
};

namespace browse {
// Opens or closes the file list window.
void idm_FileList(picfrm& w);
}  // namespace browse
