// Includes against the direction: browse may not use app.
#include "base/viewer_context.h"
#include "app/picfrm.h"
