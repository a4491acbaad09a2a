#include "ui/controls/XPVisualStyles.h"

#include <cstring>
#include <iterator>
#include <strings.h>

#include "platform/gfx/GdiObjects.h"
#include "platform/ui/SystemServices.h"

namespace ui {

struct TThemeData {
    const char* ClassName;
};

namespace {

// The classes the service draws; a handle is a pointer into this table, so opening allocates nothing
// and closing has nothing to free.
constexpr TThemeData kThemeClasses[] = {{"spin"}, {"combobox"}, {"button"}, {"edit"}, {"window"}};

bool GServicePresent = true;
int GServiceReferences = 0;

bool ServiceIsThemeActive() {
    return plat::VisualStylesEnabled();
}

bool IsKnownHandle(HTHEME Theme) {
    return Theme >= std::begin(kThemeClasses) && Theme < std::end(kThemeClasses);
}

// A class list is "name;name;…"; the first name the service knows wins.
HTHEME ServiceOpenThemeData(plat::HWND, const char* ClassList) {
    if (!ServiceIsThemeActive() || !ClassList)
        return nullptr;
    const char* p = ClassList;
    while (*p) {
        const char* end = std::strchr(p, ';');
        size_t len = end ? size_t(end - p) : std::strlen(p);
        for (const TThemeData& data : kThemeClasses)
            if (std::strlen(data.ClassName) == len && strncasecmp(data.ClassName, p, len) == 0)
                return &data;
        if (!end)
            break;
        p = end + 1;
    }
    return nullptr;
}

int ServiceCloseThemeData(HTHEME Theme) {
    return IsKnownHandle(Theme) ? 0 : -1;
}

// A small filled triangle pointing in the arrow's direction, centred in the rectangle.
void DrawArrow(plat::TDeviceContext& dc, const plat::TRect& r, int part, plat::TColor color) {
    const bool vertical = part == SPNP_UP || part == SPNP_DOWN || part == 0;
    const int cx = (r.Left + r.Right) / 2;
    const int cy = (r.Top + r.Bottom) / 2;
    for (int i = 0; i < 4; ++i) {
        // Row i of the triangle counted from its tip holds 2i+1 pixels.
        bool towardsLow = part == SPNP_UP || part == SPNP_DOWNHORZ;
        int offset = towardsLow ? i - 2 : 1 - i;
        for (int j = -i; j <= i; ++j) {
            if (vertical)
                dc.SetPixel(cx + j, cy + offset, color);
            else
                dc.SetPixel(cx + offset, cy + j, color);
        }
    }
}

int ServiceDrawThemeBackground(HTHEME Theme, plat::HDC DC, int PartId, int StateId, const plat::TRect& Rect,
                               const plat::TRect* ClipRect) {
    if (!IsKnownHandle(Theme) || !DC)
        return -1;
    plat::TDeviceContext& dc = *DC;
    int saved = dc.SaveDC();
    if (ClipRect)
        dc.IntersectClipRect(ClipRect->Left, ClipRect->Top, ClipRect->Right, ClipRect->Bottom);
    plat::TColor face = 0xF5E9DC, border = 0xB99D7F, glyph = 0x5E4D3C;
    switch (StateId) {
    case TS_HOT:
        face = 0xFFF4E8;
        break;
    case TS_PRESSED:
        face = 0xE6CFB4;
        break;
    case TS_DISABLED:
        face = 0xF4F4F4;
        border = 0xD0D0D0;
        glyph = 0xA0A0A0;
        break;
    default:
        break;
    }
    dc.FillRect(Rect, plat::CreateSolidBrush(face));
    dc.FrameRect(Rect, plat::CreateSolidBrush(border));
    const bool spin = std::strcmp(Theme->ClassName, "spin") == 0;
    const bool combo = std::strcmp(Theme->ClassName, "combobox") == 0 && PartId == CP_DROPDOWNBUTTON;
    if (spin && PartId >= SPNP_UP && PartId <= SPNP_DOWNHORZ)
        DrawArrow(dc, Rect, PartId, glyph);
    else if (combo)
        DrawArrow(dc, Rect, SPNP_DOWN, glyph);
    dc.RestoreDC(saved);
    return 0;
}

} // namespace

void TThemeBinding::LoadThemeApi() {
    if (FThemeApiLoaded)
        return;
    if (!GServicePresent)
        return; // every entry point stays empty and the users draw their classic look
    FThemeApiLoaded = true;
    ++GServiceReferences;
    FApi.OpenThemeData = ServiceOpenThemeData;
    FApi.CloseThemeData = ServiceCloseThemeData;
    FApi.DrawThemeBackground = ServiceDrawThemeBackground;
    FApi.IsThemeActive = ServiceIsThemeActive;
}

void TThemeBinding::FreeThemeApi() {
    if (!FThemeApiLoaded)
        return;
    FThemeApiLoaded = false;
    FApi = {};
    --GServiceReferences;
}

bool TThemeBinding::UseThemes() const {
    return IsWinXPOrLater() && FThemeApiLoaded && FApi.IsThemeActive && FApi.IsThemeActive();
}

bool IsWinXPOrLater() {
    plat::TSystemVersion v = plat::GetSystemVersion();
    return v.Major > 5 || (v.Major == 5 && v.Minor != 0);
}

namespace {
// Binds at its creation, the first use of its family, and releases at program end; nothing rebinds in
// between.
class TModuleBinding : public TThemeBinding {
public:
    TModuleBinding() { LoadThemeApi(); }
};
} // namespace

TThemeBinding& ASXPVS() {
    static TModuleBinding binding;
    return binding;
}
TThemeBinding& ACXPVS() {
    static TModuleBinding binding;
    return binding;
}
TThemeBinding& AEBXPVS() {
    static TModuleBinding binding;
    return binding;
}
TThemeBinding& APXPVS() {
    static TModuleBinding binding;
    return binding;
}
TThemeBinding& HTMLXPVS() {
    static TModuleBinding binding;
    return binding;
}
TThemeBinding& CEXPVS() {
    static TModuleBinding binding;
    return binding;
}

void SetThemeServicePresent(bool Present) {
    GServicePresent = Present;
}
bool ThemeServicePresent() {
    return GServicePresent;
}
int ThemeServiceReferences() {
    return GServiceReferences;
}

} // namespace ui
