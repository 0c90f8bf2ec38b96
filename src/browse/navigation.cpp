#include "browse/navigation.h"

#include "base/picture_display.h"
#include "base/viewer_context.h"
#include "browse/list_window.h"

namespace browse {
namespace {

void moveTo(ViewerContext& context, ListWindow& list, int16_t index) {
  context.setPictureIndex(index);
  list.writePositionTitle();
  context.display().ShowPicture(index);
}

}  // namespace

void idm_next(ViewerContext& context, ListWindow& list) {
  const int16_t count = context.PictureCount();
  if (count == 1) return;
  const int16_t next = int16_t(context.PictureIndex() + 1);
  moveTo(context, list, next >= count ? int16_t(0) : next);
}

void idm_prev(ViewerContext& context, ListWindow& list) {
  const int16_t count = context.PictureCount();
  if (count == 1) return;
  const int16_t prev = int16_t(context.PictureIndex() - 1);
  moveTo(context, list, prev < 0 ? int16_t(count - 1) : prev);
}

void idm_first(ViewerContext& context, ListWindow& list) {
  if (context.PictureCount() == 1 || context.PictureIndex() == 0) return;
  moveTo(context, list, 0);
}

void idm_end(ViewerContext& context, ListWindow& list) {
  const int16_t last = int16_t(context.PictureCount() - 1);
  if (context.PictureCount() == 1 || context.PictureIndex() == last) return;
  moveTo(context, list, last);
}

}  // namespace browse
