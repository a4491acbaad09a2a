// The visual-styles binding: the one theme service the controls draw their themed parts through, and the
// per-family bindings (ASXPVS for the spin buttons, ACXPVS for the combo box, AEBXPVS for the edit button,
// APXPVS for the captioned panel, HTMLXPVS for the check list, CEXPVS unused) that hold it.
//
// A binding exposes the service's entry points only while it holds the service, and a control draws
// themed only when UseThemes() says so at the moment of painting; otherwise it draws its classic look.
// The service answers "inactive" unless the platform reports visual styles on, so the classic look is
// what this program normally shows.
#pragma once

#include <cstdint>

#include "platform/gfx/DeviceContext.h"
#include "platform/ui/Messages.h"

namespace ui {

struct TThemeData;
using HTHEME = const TThemeData*;

// Entry points of the theme service; each is empty until a binding is loaded. Drawing returns 0 on
// success and a negative status otherwise, as the service's callers expect.
struct TThemeApi {
    HTHEME (*OpenThemeData)(plat::HWND Wnd, const char* ClassList) = nullptr;
    int (*CloseThemeData)(HTHEME Theme) = nullptr;
    int (*DrawThemeBackground)(HTHEME Theme, plat::HDC DC, int PartId, int StateId, const plat::TRect& Rect,
                               const plat::TRect* ClipRect) = nullptr;
    bool (*IsThemeActive)() = nullptr;
};

// Part and state numbers of the classes the controls draw.
enum : int {
    SPNP_UP = 1,
    SPNP_DOWN = 2,
    SPNP_UPHORZ = 3,
    SPNP_DOWNHORZ = 4,
    CP_DROPDOWNBUTTON = 1,
    TS_NORMAL = 1, // shared state numbers of the push-like parts
    TS_HOT = 2,
    TS_PRESSED = 3,
    TS_DISABLED = 4,
};

// One component family's hold on the theme service. Loading binds every entry point or none; the service
// stays in memory until the last binding released it.
class TThemeBinding {
public:
    TThemeBinding() = default;
    ~TThemeBinding() { FreeThemeApi(); }
    TThemeBinding(const TThemeBinding&) = delete;
    TThemeBinding& operator=(const TThemeBinding&) = delete;

    void LoadThemeApi();
    void FreeThemeApi();

    bool ThemeApiLoaded() const { return FThemeApiLoaded; }
    const TThemeApi& Api() const { return FApi; }

    // Whether a user should draw (or hit test) themed right now: a system of the visual-styles
    // generation, a bound service and an active style. An unbound IsThemeActive counts as inactive, so
    // nothing is ever called through an empty entry point.
    bool UseThemes() const;

private:
    bool FThemeApiLoaded = false;
    TThemeApi FApi;
};

// True on systems that have visual styles at all (reported version above 5.0).
bool IsWinXPOrLater();

// The family bindings; each loads on first use and is released at program end.
TThemeBinding& ASXPVS();
TThemeBinding& ACXPVS();
TThemeBinding& AEBXPVS();
TThemeBinding& APXPVS();
TThemeBinding& HTMLXPVS();
TThemeBinding& CEXPVS();

// Whether the theme service exists on this system (it does unless switched off, which is how a system
// without it is reproduced), and how many bindings hold it. Loading while it is absent leaves the binding
// unloaded with every entry point empty.
void SetThemeServicePresent(bool Present);
bool ThemeServicePresent();
int ThemeServiceReferences();

} // namespace ui
