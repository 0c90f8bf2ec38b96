#pragma once
// Connects every menu item of picfrm to its command.
class picfrm;

namespace app {
void wireCommands(picfrm& w);
// The Exit command: store the settings, then close (which asks first).
void idm_exit(picfrm& w);
}  // namespace app
