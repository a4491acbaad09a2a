// Which backend the window system runs on. The first window picks one when none was chosen: the X11
// display when it can be opened, else the program says in one line that it needs a display and exits
// (LUMETRA_BACKEND=headless asks for the virtual screen instead). Tests choose the headless one first.
#pragma once

#include <memory>

#include "platform/backend/Backend.h"
#include "platform/ui/Messages.h"

namespace plat {

// Puts a backend in place. Raises EInvalidOperation when windows exist already.
void SelectBackend(std::unique_ptr<TBackend> backend);
// The backend in use (chosen now when none is).
TBackend& CurrentBackend();
bool BackendSelected();
bool IsHeadlessBackend();
// The backend's window of a top-level window (0 for none), for code that talks to the display directly.
TNativeWindow GetNativeWindow(HWND topLevel);
// Destroys every window and forgets the backend, the timers, hooks and queued messages (tests, and the
// end of the program).
void ShutdownWindowSystem();

} // namespace plat
