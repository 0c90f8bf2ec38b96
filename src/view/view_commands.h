#pragma once
// How the main engine paints the picture: fitted, zoomed, at actual size,
// and whether new pictures come with a transition. The marks on the menu
// (and, through them, the tool bar's "fit" button) show the mode.
class ViewerContext;

namespace view {

void idm_fit(ViewerContext& context);
void idm_zoomin(ViewerContext& context);
void idm_zoomout(ViewerContext& context);
void idm_origin(ViewerContext& context);
void idm_effect(ViewerContext& context);

}  // namespace view
