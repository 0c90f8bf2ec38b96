#include "browse/navigation.h"

#include <QAction>
#include <QListWidget>
#include <initializer_list>

#include "app/module1.h"
#include "app/picfrm.h"
#include "browse/ListFrm.h"

namespace browse {
namespace {

void moveTo(picfrm& w, int16_t index) {
  w.PictureIndex = index;
  // The title moves first, so it shows the new place even when the load fails.
  writePositionTitle(w);
  w.ShowPicture(w.PictureIndex);
}

}  // namespace

QString positionTitle(int index, int count) {
  return QStringLiteral("图像文件列表 第%1/%2张").arg(index + 1).arg(count);
}

void writePositionTitle(picfrm& w) {
  w.listForm()->setWindowTitle(positionTitle(w.PictureIndex, Module1::PictureCount));
}

void idm_next(picfrm& w) {
  const int16_t count = Module1::PictureCount;
  if (count == 1) return;
  const int16_t next = int16_t(w.PictureIndex + 1);
  moveTo(w, next >= count ? int16_t(0) : next);
}

void idm_prev(picfrm& w) {
  const int16_t count = Module1::PictureCount;
  if (count == 1) return;
  const int16_t prev = int16_t(w.PictureIndex - 1);
  moveTo(w, prev < 0 ? int16_t(count - 1) : prev);
}

void idm_first(picfrm& w) {
  if (Module1::PictureCount == 1 || w.PictureIndex == 0) return;
  moveTo(w, 0);
}

void idm_end(picfrm& w) {
  const int16_t last = int16_t(Module1::PictureCount - 1);
  if (Module1::PictureCount == 1 || w.PictureIndex == last) return;
  moveTo(w, last);
}

void FillFileList(picfrm& w) {
  ListFrm* list = w.listForm();
  list->List1->clear();
  if (Module1::PictureCount < 1) return;
  list->fillRows();
  list->setWindowTitle(QStringLiteral("图象文件列表 共%1张").arg(Module1::PictureCount));
  list->setListFont();
}

}  // namespace browse

namespace browse {

void wireNavigation(picfrm& w) {
  struct Keys {
    const char* item;
    std::initializer_list<Qt::Key> keys;
  };
  const Keys table[] = {
      {"idm_next", {Qt::Key_Right, Qt::Key_PageDown, Qt::Key_Space}},
      {"idm_prev", {Qt::Key_Left, Qt::Key_PageUp, Qt::Key_Backspace}},
      {"idm_first", {Qt::Key_Home}},
      {"idm_end", {Qt::Key_End}},
  };
  w.setCommand("idm_next", [&w] { idm_next(w); });
  w.setCommand("idm_prev", [&w] { idm_prev(w); });
  w.setCommand("idm_first", [&w] { idm_first(w); });
  w.setCommand("idm_end", [&w] { idm_end(w); });
  for (const Keys& k : table) {
    // Window-wide actions outside the menus, so they work with the menu bar hidden.
    auto* keys = new QAction(&w);
    keys->setObjectName(QStringLiteral("keys_") + QString::fromLatin1(k.item).mid(4));
    QList<QKeySequence> sequences;
    for (Qt::Key key : k.keys) sequences << QKeySequence(key);
    keys->setShortcuts(sequences);
    keys->setShortcutContext(Qt::WindowShortcut);
    const QString item = QString::fromLatin1(k.item);
    QObject::connect(keys, &QAction::triggered, &w, [&w, item] { w.runCommand(item); });
    w.addAction(keys);
  }
}

}  // namespace browse
