#include "ui/language.h"

#include <QMessageBox>

#include "app/module1.h"
#include "app/picfrm.h"
#include "app/prompt.h"
#include "ui/menu_tree.h"
#include "ui/tool_window.h"

namespace ui {

QString aboutTitle() {
  return Module1::UseChinese ? QStringLiteral("泽尔马图像浏览器 1.1")
                             : QStringLiteral("Zelmar Picture Viewer 1.1");
}

QString aboutText() {
  const QString maker = QStringLiteral("Zelmar Developers");
  if (Module1::UseChinese) {
    return QStringList{QStringLiteral("泽尔马图像浏览器，版本1.1"), maker,
                       QStringLiteral("版权所有，未经许可，不得复制。"),
                       QStringLiteral("    2024-2026，苏州")}
        .join('\n');
  }
  return QStringList{QStringLiteral("   Zelmar Picture Viewer 1.1"), maker,
                     QStringLiteral("   All rights reserved."), QStringLiteral("   2024-2026 Suzhou")}
      .join('\n');
}

void idm_lang(picfrm& w) {
  Module1::UseChinese = Module1::UseChinese == 0 ? 1 : 0;
  setMenuLang(w.menus());
  applyToolLang(w);
}

void idm_About(picfrm& w) {
  QMessageBox box(QMessageBox::NoIcon, aboutTitle(), aboutText(), QMessageBox::Ok, &w);
  box.setObjectName("about");
  prompt::exec(box);
}

}  // namespace ui
