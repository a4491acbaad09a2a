// System metrics and parameters: the classic sizes of frames, captions, scroll bars and menus at 96 DPI,
// the screen and its work area, double-click and drag limits, and the few system settings the program
// reads or changes (menu animation among them; changes stay within this program).
#pragma once

#include <cstdint>

#include "platform/rtl/Types.h"

namespace plat {

enum : int {
    SM_CXSCREEN = 0,
    SM_CYSCREEN = 1,
    SM_CXVSCROLL = 2,
    SM_CYHSCROLL = 3,
    SM_CYCAPTION = 4,
    SM_CXBORDER = 5,
    SM_CYBORDER = 6,
    SM_CXDLGFRAME = 7,
    SM_CYDLGFRAME = 8,
    SM_CYVTHUMB = 9,
    SM_CXHTHUMB = 10,
    SM_CXICON = 11,
    SM_CYICON = 12,
    SM_CXCURSOR = 13,
    SM_CYCURSOR = 14,
    SM_CYMENU = 15,
    SM_CXFULLSCREEN = 16,
    SM_CYFULLSCREEN = 17,
    SM_CYVSCROLL = 20,
    SM_CXHSCROLL = 21,
    SM_SWAPBUTTON = 23,
    SM_CXMIN = 28,
    SM_CYMIN = 29,
    SM_CXSIZE = 30,
    SM_CYSIZE = 31,
    SM_CXFRAME = 32,
    SM_CYFRAME = 33,
    SM_CXMINTRACK = 34,
    SM_CYMINTRACK = 35,
    SM_CXDOUBLECLK = 36,
    SM_CYDOUBLECLK = 37,
    SM_CXICONSPACING = 38,
    SM_CYICONSPACING = 39,
    SM_MENUDROPALIGNMENT = 40,
    SM_CXEDGE = 45,
    SM_CYEDGE = 46,
    SM_CXSMICON = 49,
    SM_CYSMICON = 50,
    SM_CYSMCAPTION = 51,
    SM_CXSMSIZE = 52,
    SM_CYSMSIZE = 53,
    SM_CXMENUSIZE = 54,
    SM_CYMENUSIZE = 55,
    SM_CXMINIMIZED = 57,
    SM_CYMINIMIZED = 58,
    SM_CXMAXTRACK = 59,
    SM_CYMAXTRACK = 60,
    SM_CXMAXIMIZED = 61,
    SM_CYMAXIMIZED = 62,
    SM_CXDRAG = 68,
    SM_CYDRAG = 69,
    SM_CXMENUCHECK = 71,
    SM_CYMENUCHECK = 72,
    SM_MOUSEWHEELPRESENT = 75,
    SM_XVIRTUALSCREEN = 76,
    SM_YVIRTUALSCREEN = 77,
    SM_CXVIRTUALSCREEN = 78,
    SM_CYVIRTUALSCREEN = 79,
    SM_CMONITORS = 80,
    SM_CXFOCUSBORDER = 83,
    SM_CYFOCUSBORDER = 84,
};

int GetSystemMetrics(int index);

enum : uint32_t {
    SPI_GETNONCLIENTMETRICS = 0x0029,
    SPI_GETWORKAREA = 0x0030,
    SPI_GETHIGHCONTRAST = 0x0042,
    SPI_GETWHEELSCROLLLINES = 0x0068,
    SPI_GETMENUANIMATION = 0x1002,
    SPI_SETMENUANIMATION = 0x1003,
    SPI_GETCOMBOBOXANIMATION = 0x1004,
    SPI_GETGRADIENTCAPTIONS = 0x1008,
    SPI_GETKEYBOARDCUES = 0x100A,
    SPI_GETMENUFADE = 0x1012,
    SPI_SETMENUFADE = 0x1013,
    SPI_GETTOOLTIPANIMATION = 0x1016,
    SPI_GETFLATMENU = 0x1022,
    SPI_GETDRAGFULLWINDOWS = 0x0026,
};

struct THighContrast {
    uint32_t dwFlags = 0; // HCF_HIGHCONTRASTON never set: high contrast is off
};
constexpr uint32_t HCF_HIGHCONTRASTON = 1;

// Get calls write through param (bool*, int*, TRect*, THighContrast*); SPI_SETMENUANIMATION and
// SPI_SETMENUFADE take the new value in param itself (non-null: on). Answers false for unknown actions.
bool SystemParametersInfo(uint32_t action, uint32_t uiParam, void* param, uint32_t winIni = 0);

// The classic palette of the system colours (COLOR_BTNFACE = 15 and so on).
TColor GetSysColor(int index);

} // namespace plat
