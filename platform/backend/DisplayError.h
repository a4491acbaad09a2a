// The error of a missing or lost display.
#pragma once

#include "platform/rtl/Exception.h"

namespace plat {

// No display to show windows on, or the connection to it was lost. Raised where the window system needs
// the display (the first window, the event loop), so that a program can report it and end on its own
// terms rather than the library ending the process.
PLAT_EXCEPTION(EDisplayError, EOSError);

} // namespace plat
