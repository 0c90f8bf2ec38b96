#pragma once
// The two remembered settings: the caption language and the folder last
// browsed, in section VANTREL of zelmar32.ini in the user's configuration
// folder. Other sections of that file belong to other programs and are kept.
#include <QString>
#include <cstdint>

class ViewerContext;

namespace app {

// Fills UseChinese ("LANGUAGE", default 1) and StartFolder ("FILES",
// default empty). A missing, unreadable or garbled file gives the defaults.
void ReadSettings(ViewerContext& context);

// Stores UseChinese (as " 1" / " 0") and StartFolder. Failures are ignored:
// the next start then uses the old values.
void WriteSettings(const ViewerContext& context);

// Characters of `text` before its first NUL, or its whole length.
int16_t CutAtNull(const QString& text);

// $XDG_CONFIG_HOME/zelmar32.ini (default ~/.config/zelmar32.ini).
QString settingsPath();

// The "LANGUAGE" value as the profile functions read integers: leading
// decimal digits, 0 without them or when negative; too large for 16 bits
// reads as 1 (Chinese).
int16_t languageFromText(const QByteArray& text);

}  // namespace app
