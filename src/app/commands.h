#pragma once
// The table of the commands that exist, by menu item; only app wires them.
#include <QString>
#include <optional>

#include "base/commands.h"

class picfrm;

namespace app {

using Handler = void (*)(picfrm&);
// The handler of a menu item's command; null for an item whose command does
// not exist yet (its menu item and tool key are greyed).
Handler handlerOf(Command c);
// The command a tool bar key runs (compared in lower case); none for
// "slide" and "func", which picfrm::doFunc handles itself, and other keys.
std::optional<Command> commandOfKey(const QString& key);

// Connects menu items, keys and the tool bar's pressed buttons to the
// commands of `w`.
void wireCommands(picfrm& w);
// The Exit command: store the settings, then close (which asks first).
void idm_exit(picfrm& w);

}  // namespace app
