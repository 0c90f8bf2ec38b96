#pragma once
// The floating file list window: one row per picture of the list; choosing
// a row, by mouse or keyboard, shows that picture.
#include <QMainWindow>

class QListWidget;
class ViewerContext;

class ListFrm : public QMainWindow {
  Q_OBJECT

 public:
  // Loading: 15 mm from the screen's right and bottom edges (by the outer
  // frame), List1 laid out.
  ListFrm(ViewerContext& context, QWidget* owner);

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
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ViewerContext& context_;
  bool selectionChangedSincePress_ = false;
};
