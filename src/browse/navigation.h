#pragma once
// Moving through the picture list, with wrap-around. Each move writes the
// position title first (so it shows the new place even when the load
// fails), then shows the picture. With one picture nothing moves.
class ViewerContext;

namespace browse {

class ListWindow;

void idm_next(ViewerContext& context, ListWindow& list);
void idm_prev(ViewerContext& context, ListWindow& list);
void idm_first(ViewerContext& context, ListWindow& list);
void idm_end(ViewerContext& context, ListWindow& list);

}  // namespace browse
