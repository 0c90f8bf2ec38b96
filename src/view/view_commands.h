#pragma once
// How the main window paints the picture: fitted, zoomed, at actual size,
// and whether new pictures come with a transition.
class picfrm;

namespace view {

void idm_fit(picfrm& w);
void idm_zoomin(picfrm& w);
void idm_zoomout(picfrm& w);
void idm_origin(picfrm& w);
void idm_effect(picfrm& w);
void wireViewCommands(picfrm& w);

}  // namespace view
