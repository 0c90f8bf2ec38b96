#pragma once
// The language switch and the About message.
#include <QString>

class QWidget;
class ViewerContext;

namespace ui {

// English <-> Chinese. The menus and the tool bar follow the context's
// languageChanged at once; other windows when they next set their texts.
void idm_lang(ViewerContext& context);
void idm_About(ViewerContext& context, QWidget* parent);

// The About message's title and four lines.
QString aboutTitle(bool chinese);
QString aboutText(bool chinese);

}  // namespace ui
