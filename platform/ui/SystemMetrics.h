// System metrics and parameters: the classic sizes of frames, captions, scroll bars and menus at 96 DPI,
// the screen and its work area, double-click and drag limits, and the few system settings the program
// reads or changes (menu animation among them; changes stay within this program).
#pragma once

#include <cstdint>

#include "platform/rtl/Types.h"

namespace plat {

inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXDLGFRAME = 7;
inline constexpr int SM_CYDLGFRAME = 8;
inline constexpr int SM_CYVTHUMB = 9;
inline constexpr int SM_CXHTHUMB = 10;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXCURSOR = 13;
inline constexpr int SM_CYCURSOR = 14;
inline constexpr int SM_CYMENU = 15;
inline constexpr int SM_CXFULLSCREEN = 16;
inline constexpr int SM_CYFULLSCREEN = 17;
inline constexpr int SM_CYVSCROLL = 20;
inline constexpr int SM_CXHSCROLL = 21;
inline constexpr int SM_SWAPBUTTON = 23;
inline constexpr int SM_CXMIN = 28;
inline constexpr int SM_CYMIN = 29;
inline constexpr int SM_CXSIZE = 30;
inline constexpr int SM_CYSIZE = 31;
inline constexpr int SM_CXFRAME = 32;
inline constexpr int SM_CYFRAME = 33;
inline constexpr int SM_CXMINTRACK = 34;
inline constexpr int SM_CYMINTRACK = 35;
inline constexpr int SM_CXDOUBLECLK = 36;
inline constexpr int SM_CYDOUBLECLK = 37;
inline constexpr int SM_CXICONSPACING = 38;
inline constexpr int SM_CYICONSPACING = 39;
inline constexpr int SM_MENUDROPALIGNMENT = 40;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;
inline constexpr int SM_CYSMCAPTION = 51;
inline constexpr int SM_CXSMSIZE = 52;
inline constexpr int SM_CYSMSIZE = 53;
inline constexpr int SM_CXMENUSIZE = 54;
inline constexpr int SM_CYMENUSIZE = 55;
inline constexpr int SM_CXMINIMIZED = 57;
inline constexpr int SM_CYMINIMIZED = 58;
inline constexpr int SM_CXMAXTRACK = 59;
inline constexpr int SM_CYMAXTRACK = 60;
inline constexpr int SM_CXMAXIMIZED = 61;
inline constexpr int SM_CYMAXIMIZED = 62;
inline constexpr int SM_CXDRAG = 68;
inline constexpr int SM_CYDRAG = 69;
inline constexpr int SM_CXMENUCHECK = 71;
inline constexpr int SM_CYMENUCHECK = 72;
inline constexpr int SM_MOUSEWHEELPRESENT = 75;
inline constexpr int SM_XVIRTUALSCREEN = 76;
inline constexpr int SM_YVIRTUALSCREEN = 77;
inline constexpr int SM_CXVIRTUALSCREEN = 78;
inline constexpr int SM_CYVIRTUALSCREEN = 79;
inline constexpr int SM_CMONITORS = 80;
inline constexpr int SM_CXFOCUSBORDER = 83;
inline constexpr int SM_CYFOCUSBORDER = 84;

int GetSystemMetrics(int index);

inline constexpr uint32_t SPI_GETNONCLIENTMETRICS = 0x0029;
inline constexpr uint32_t SPI_GETWORKAREA = 0x0030;
inline constexpr uint32_t SPI_GETHIGHCONTRAST = 0x0042;
inline constexpr uint32_t SPI_GETWHEELSCROLLLINES = 0x0068;
inline constexpr uint32_t SPI_GETMENUANIMATION = 0x1002;
inline constexpr uint32_t SPI_SETMENUANIMATION = 0x1003;
inline constexpr uint32_t SPI_GETCOMBOBOXANIMATION = 0x1004;
inline constexpr uint32_t SPI_GETGRADIENTCAPTIONS = 0x1008;
inline constexpr uint32_t SPI_GETKEYBOARDCUES = 0x100A;
inline constexpr uint32_t SPI_GETMENUFADE = 0x1012;
inline constexpr uint32_t SPI_SETMENUFADE = 0x1013;
inline constexpr uint32_t SPI_GETTOOLTIPANIMATION = 0x1016;
inline constexpr uint32_t SPI_GETFLATMENU = 0x1022;
inline constexpr uint32_t SPI_GETDRAGFULLWINDOWS = 0x0026;

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
