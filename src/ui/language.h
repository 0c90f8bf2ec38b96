#pragma once
// The language switch and the About message.
#include <QString>

class picfrm;

namespace ui {

// English <-> Chinese: re-captions the menus and the tool bar's tips.
void idm_lang(picfrm& w);
void idm_About(picfrm& w);

// The About message's title and four lines for Module1::UseChinese.
QString aboutTitle();
QString aboutText();

}  // namespace ui
