#pragma once

// Ends the run the way the Quit command does, whatever asked for it (the menu, a signal, the end
// of the desktop session): a modal dialog that is up is cancelled, every window is closed (so the
// main window stops its running rows and saves), then the event loop ends with status 0. Calls
// after the first do nothing.
void quitApplication();

// The same, for a request that nobody is there to answer (a signal, the end of the desktop
// session): a question that is up is cancelled, and none may be asked on the way out. Also when
// a Quit is already under way.
void quitUnattended();
// True once quitUnattended was called.
[[nodiscard]] bool quittingUnattended();
