#include "files/message.h"

#include "base/viewer_context.h"

namespace files {

void tell(ViewerContext& context, QWidget* owner, QMessageBox::Icon icon, const char16_t* english,
          const char16_t* chinese) {
  const bool inEnglish = context.UseChinese() < 1;
  QMessageBox box(icon, inEnglish ? QStringLiteral("Message") : QStringLiteral("信息显示"),
                  QString::fromUtf16(inEnglish ? english : chinese), QMessageBox::Ok, owner);
  context.prompt().exec(box);
}

}  // namespace files
