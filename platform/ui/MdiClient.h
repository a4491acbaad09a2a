// The MDI client window (the area of an MDI frame that holds the child windows) and the default
// handling of MDI child windows: activation, maximised children, cascading, tiling, arranging icons.
#pragma once

#include <vector>

#include "platform/ui/Window.h"

namespace plat {

// The window class of MDI clients; registered on first use.
inline constexpr const char* MDICLIENT_CLASS = "MDICLIENT";
void RegisterMdiClientClass();

// The default procedure of MDI child windows (activation on click and focus, maximise and restore
// through the client, the next child becoming active when one goes away).
LRESULT DefMDIChildProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// The MDI child windows of a client, front (active) first, and the geometry the client gives them.
std::vector<HWND> MdiChildWindows(HWND client, bool visibleOnly = true);

} // namespace plat
