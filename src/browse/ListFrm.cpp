#include "browse/ListFrm.h"

#include <QEvent>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <cmath>

#include "base/picture_display.h"
#include "base/placement.h"
#include "base/viewer_context.h"
#include "browse/list_window.h"

ListFrm::ListFrm(ViewerContext& context, QWidget* owner)
    : QMainWindow(owner, Qt::Tool), context_(context) {
  setObjectName(QStringLiteral("ListFrm"));
  setWindowTitle(QStringLiteral("图像文件列表"));
  setCentralWidget(new QWidget(this));
  List1 = new QListWidget(centralWidget());
  List1->setObjectName(QStringLiteral("List1"));
  List1->setSelectionMode(QAbstractItemView::SingleSelection);
  // Every choice of a row counts as a click, from the keyboard too; a click
  // on the row already chosen changes no selection and counts as well.
  connect(List1, &QListWidget::itemSelectionChanged, this, [this] {
    selectionChangedSincePress_ = true;
    List1_Click();
  });
  connect(List1, &QListWidget::itemClicked, this, [this] {
    if (!selectionChangedSincePress_) List1_Click();
  });
  List1->viewport()->installEventFilter(this);
  resize(units::twipsToPixels(3570), units::twipsToPixels(4365));
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect full = screen->geometry();
    placeByFrame(this, [full](const QSize& outer) {
      const int margin = int(std::lround(units::millimetresToPixels(15)));
      return QPoint(full.right() + 1 - outer.width() - margin,
                    full.bottom() + 1 - outer.height() - margin);
    });
  }
  LayoutList();
}

bool ListFrm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == List1->viewport() && event->type() == QEvent::MouseButtonPress)
    selectionChangedSincePress_ = false;
  return QMainWindow::eventFilter(watched, event);
}

void ListFrm::fillRows() {
  for (int i = 0; i < context_.PictureCount(); ++i) List1->addItem(context_.PictureList(i));
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
  QMainWindow::resizeEvent(event);
  LayoutList();
}

void ListFrm::List1_Click() {
  const QList<QListWidgetItem*> chosen = List1->selectedItems();
  if (chosen.isEmpty()) return;
  const int i = List1->row(chosen.first());
  setWindowTitle(browse::positionTitle(i, List1->count()));
  context_.setPictureIndex(int16_t(i));
  context_.display().ShowPicture1(chosen.first()->text());
}
