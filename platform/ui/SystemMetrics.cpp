#include "platform/ui/SystemMetrics.h"

#include "platform/ui/WindowInternal.h"

namespace plat {

namespace {

// Settings the program may change for itself.
struct TParams {
    bool MenuAnimation = true;
    bool MenuFade = true;
};

TParams& Params() {
    static TParams params;
    return params;
}

} // namespace

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CXMAXTRACK:
        return detail::Backend().ScreenRect().Width() + (index == SM_CXMAXTRACK ? 12 : 0);
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
    case SM_CYMAXTRACK:
        return detail::Backend().ScreenRect().Height() + (index == SM_CYMAXTRACK ? 12 : 0);
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
        return 0;
    case SM_CXFULLSCREEN:
        return detail::Backend().WorkArea().Width();
    case SM_CYFULLSCREEN:
        return detail::Backend().WorkArea().Height() - 19;
    case SM_CXMAXIMIZED:
        return detail::Backend().WorkArea().Width() + 8;
    case SM_CYMAXIMIZED:
        return detail::Backend().WorkArea().Height() + 8;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return 16;
    case SM_CYCAPTION:
    case SM_CYMENU:
        return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
    case SM_CXFOCUSBORDER:
    case SM_CYFOCUSBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CXSIZE:
    case SM_CYSIZE:
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE:
        return 18;
    case SM_CYSMCAPTION:
        return 16;
    case SM_CXSMSIZE:
    case SM_CYSMSIZE:
        return 15;
    case SM_CXMIN:
    case SM_CXMINTRACK:
        return 112;
    case SM_CYMIN:
    case SM_CYMINTRACK:
        return 27;
    case SM_CXMINIMIZED:
        return 160;
    case SM_CYMINIMIZED:
        return 24;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG:
        return 4;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING:
        return 75;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK:
        return 13;
    case SM_MENUDROPALIGNMENT:
    case SM_SWAPBUTTON:
        return 0;
    case SM_MOUSEWHEELPRESENT:
    case SM_CMONITORS:
        return 1;
    }
    return 0;
}

bool SystemParametersInfo(uint32_t action, uint32_t uiParam, void* param, uint32_t winIni) {
    TParams& p = Params();
    switch (action) {
    case SPI_GETMENUANIMATION:
        if (!param)
            return false;
        *static_cast<bool*>(param) = p.MenuAnimation;
        return true;
    case SPI_SETMENUANIMATION:
        p.MenuAnimation = param != nullptr;
        return true;
    case SPI_GETMENUFADE:
        if (!param)
            return false;
        *static_cast<bool*>(param) = p.MenuFade;
        return true;
    case SPI_SETMENUFADE:
        p.MenuFade = param != nullptr;
        return true;
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETTOOLTIPANIMATION:
    case SPI_GETDRAGFULLWINDOWS:
    case SPI_GETGRADIENTCAPTIONS:
    case SPI_GETKEYBOARDCUES:
        if (!param)
            return false;
        *static_cast<bool*>(param) = action == SPI_GETDRAGFULLWINDOWS || action == SPI_GETGRADIENTCAPTIONS;
        return true;
    case SPI_GETFLATMENU:
        if (!param)
            return false;
        *static_cast<bool*>(param) = false;
        return true;
    case SPI_GETWORKAREA:
        if (!param)
            return false;
        *static_cast<TRect*>(param) = detail::Backend().WorkArea();
        return true;
    case SPI_GETHIGHCONTRAST:
        if (!param)
            return false;
        static_cast<THighContrast*>(param)->dwFlags = 0;
        return true;
    case SPI_GETWHEELSCROLLLINES:
        if (!param)
            return false;
        *static_cast<int*>(param) = 3;
        return true;
    }
    return false;
}

TColor GetSysColor(int index) {
    return ColorToRGB(SystemColor(index));
}

} // namespace plat
