#pragma once
// The language switch and the About message.
class QWidget;
class ViewerContext;

namespace ui {

// English <-> Chinese. The menus and the tool bar follow the context's
// languageChanged at once; other windows when they next set their texts.
void idm_lang(ViewerContext& context);
void idm_About(ViewerContext& context, QWidget* parent);

}  // namespace ui
