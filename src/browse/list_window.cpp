#include "browse/list_window.h"

#include <QAction>
#include <QListWidget>

#include "base/viewer_context.h"

namespace browse {

QString positionTitle(int index, int count) {
  return QStringLiteral("图像文件列表 第%1/%2张").arg(index + 1).arg(count);
}

ListWindow::ListWindow(ViewerContext& context, QWidget* owner)
    : LazyWindow<ListFrm>([&context, owner] { return new ListFrm(context, owner); }),
      context_(context) {
  connect(&context_, &ViewerContext::pictureListChanged, this, [this] {
    if (visible()) FillFileList();
  });
}

void ListWindow::idm_FileList() {
  QAction* check = context_.action(Command::idm_FileList);
  if (context_.PictureCount() < 1) {
    unload();
    check->setChecked(false);
    return;
  }
  ListFrm* list = get();
  list->List1->clear();
  if (list->isVisible()) {
    check->setChecked(false);
    list->hide();
  } else {
    list->fillRows();
    writePositionTitle();
    list->setListFont();
    list->show();
    check->setChecked(true);
  }
}

void ListWindow::writePositionTitle() {
  if (ListFrm* list = ifLoaded())
    list->setWindowTitle(positionTitle(context_.PictureIndex(), context_.PictureCount()));
}

void ListWindow::FillFileList() {
  ListFrm* list = ifLoaded();
  if (!list) return;
  list->List1->clear();
  if (context_.PictureCount() < 1) return;
  list->fillRows();
  // 图象, not the 图像 of the position title: kept letter for letter.
  list->setWindowTitle(QStringLiteral("图象文件列表 共%1张").arg(context_.PictureCount()));
  list->setListFont();
}

}  // namespace browse
