#include "ui/language.h"

#include <QMessageBox>

#include "base/viewer_context.h"

namespace ui {
namespace {

QString aboutTitle(bool chinese) {
  return chinese ? QStringLiteral("泽尔马图像浏览器 1.1")
                 : QStringLiteral("Zelmar Picture Viewer 1.1");
}

QString aboutText(bool chinese) {
  const QString maker = QStringLiteral("Zelmar Developers");
  if (chinese) {
    return QStringList{QStringLiteral("   泽尔马图像浏览器，版本1.1"), maker,
                       QStringLiteral("版权所有，未经许可，不得复制。"),
                       QStringLiteral("    2024-2026，苏州")}
        .join(u'\n');
  }
  return QStringList{QStringLiteral("   Zelmar Picture Viewer 1.1"), maker,
                     QStringLiteral("   All rights reserved."),
                     QStringLiteral("   2024-2026 Suzhou")}
      .join(u'\n');
}

}  // namespace

void idm_lang(ViewerContext& context) { context.setUseChinese(context.chinese() ? 0 : 1); }

void idm_About(ViewerContext& context, QWidget* parent) {
  const bool zh = context.chinese();
  QMessageBox box(QMessageBox::NoIcon, aboutTitle(zh), aboutText(zh), QMessageBox::Ok, parent);
  box.setObjectName(QStringLiteral("about"));
  context.prompt().exec(box);
}

}  // namespace ui
