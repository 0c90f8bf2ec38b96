#include "browse/ListFrm.h"

#include <QAction>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <cmath>

#include "app/module1.h"
#include "app/picfrm.h"
#include "app/units.h"
#include "browse/navigation.h"
#include "ui/tool_window.h"

ListFrm::ListFrm(picfrm* owner) : QWidget(owner, Qt::Tool), owner_(owner) {
  setObjectName("ListFrm");
  setWindowTitle(QStringLiteral("图像文件列表"));
  List1 = new QListWidget(this);
  List1->setObjectName("List1");
  List1->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(List1, &QListWidget::itemClicked, this, [this] { List1_Click(); });
  resize(int(units::twipsToPixels(3570)), int(units::twipsToPixels(4365)));
  // 15 mm from the screen's right and bottom edges.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect full = screen->geometry();
    const QRect outer = frameGeometry();
    const int margin = int(std::lround(units::millimetresToPixels(15)));
    move(full.right() + 1 - outer.width() - margin, full.bottom() + 1 - outer.height() - margin);
  }
  LayoutList();
}

void ListFrm::fillRows() {
  for (int i = 0; i < Module1::PictureCount; ++i) List1->addItem(Module1::PictureList[size_t(i)]);
}

void ListFrm::setListFont() {
  QFont font = List1->font();
  font.setPointSize(10);
  List1->setFont(font);
}

void ListFrm::LayoutList() {
  const float m = units::millimetresToPixels(1);
  const float w = float(width()) - 2 * m;
  const float h = float(height()) - 2 * m;
  QRect r = List1->geometry();
  if (w > 0) r.setWidth(int(std::lround(w)));
  if (h > 0) r.setHeight(int(std::lround(h)));
  r.moveTo(int(std::lround(m)), int(std::lround(m)));
  List1->setGeometry(r);
}

void ListFrm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutList();
}

void ListFrm::List1_Click() {
  const int i = List1->currentRow();
  if (i < 0 || i >= List1->count()) return;
  setWindowTitle(browse::positionTitle(i, List1->count()));
  owner_->PictureIndex = int16_t(i);
  owner_->ShowPicture1(List1->item(i)->text());
}

namespace browse {

void idm_FileList(picfrm& w) {
  ListFrm* list = w.listForm();
  list->List1->clear();
  QAction* check = w.action("idm_FileList");
  if (Module1::PictureCount < 1) {
    w.unloadListForm();
    check->setChecked(false);
  } else if (list->isVisible()) {
    check->setChecked(false);
    list->hide();
  } else {
    list->fillRows();
    writePositionTitle(w);
    list->setListFont();
    list->show();
    check->setChecked(true);
  }
  ui::setToolPressed(w, "list", w.listFormLoaded() && w.listForm()->isVisible());
}

}  // namespace browse
