#pragma once
// The messages of the file commands, titled and worded in the current language.
#include <QMessageBox>

class ViewerContext;

namespace files {

// Shows one OK message over `owner`: English while UseChinese is below 1.
void tell(ViewerContext& context, QWidget* owner, QMessageBox::Icon icon, const char16_t* english,
          const char16_t* chinese);

}  // namespace files
