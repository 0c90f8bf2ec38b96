#pragma once
// The two remembered settings: the caption language and the folder last
// browsed, in section VANTREL of zelmar32.ini in the user's configuration
// folder. Other sections of that file belong to other programs and are kept.
#include <QString>

class ViewerContext;

namespace app {

// Fills UseChinese ("LANGUAGE", default 1) and StartFolder ("FILES",
// default empty). A missing, unreadable or garbled file gives the defaults.
void ReadSettings(ViewerContext& context);

// Stores UseChinese (as " 1" / " 0") and StartFolder. Failures are ignored:
// the next start then uses the old values.
void WriteSettings(const ViewerContext& context);

}  // namespace app
