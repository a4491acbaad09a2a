#include "platform/rtl/Types.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace plat {

void OffsetRect(TRect& r, int dx, int dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

void InflateRect(TRect& r, int dx, int dy) {
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}

bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) {
    TRect r(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom));
    if (r.IsEmpty()) {
        dst = TRect();
        return false;
    }
    dst = r;
    return true;
}

bool UnionRect(TRect& dst, const TRect& a, const TRect& b) {
    if (a.IsEmpty()) {
        dst = b.IsEmpty() ? TRect() : b;
    } else if (b.IsEmpty()) {
        dst = a;
    } else {
        dst = TRect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                    std::max(a.Bottom, b.Bottom));
    }
    return !dst.IsEmpty();
}

bool PtInRect(const TRect& r, TPoint p) { return r.Contains(p); }

namespace {

// The classic palette: what system colours stand for when no theme is in play.
constexpr TColor kSystemPalette[31] = {
    RGB(200, 200, 200), // scroll bar
    RGB(0, 128, 128),   // desktop
    RGB(10, 36, 106),   // active caption
    RGB(128, 128, 128), // inactive caption
    RGB(212, 208, 200), // menu
    RGB(255, 255, 255), // window
    RGB(0, 0, 0),       // window frame
    RGB(0, 0, 0),       // menu text
    RGB(0, 0, 0),       // window text
    RGB(255, 255, 255), // caption text
    RGB(212, 208, 200), // active border
    RGB(212, 208, 200), // inactive border
    RGB(128, 128, 128), // application workspace
    RGB(10, 36, 106),   // highlight
    RGB(255, 255, 255), // highlight text
    RGB(212, 208, 200), // button face
    RGB(128, 128, 128), // button shadow
    RGB(128, 128, 128), // gray text
    RGB(0, 0, 0),       // button text
    RGB(212, 208, 200), // inactive caption text
    RGB(255, 255, 255), // button highlight
    RGB(64, 64, 64),    // 3D dark shadow
    RGB(212, 208, 200), // 3D light
    RGB(0, 0, 0),       // info text
    RGB(255, 255, 225), // info background
    RGB(181, 181, 181), // (unused slot)
    RGB(0, 0, 128),     // hot light
    RGB(166, 202, 240), // gradient active caption
    RGB(192, 192, 192), // gradient inactive caption
    RGB(49, 106, 197),  // menu highlight
    RGB(212, 208, 200), // menu bar
};

struct ColorName {
    TColor color;
    const char* name;
};

constexpr ColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

bool SameTextAscii(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char ca = (*a >= 'A' && *a <= 'Z') ? char(*a + 32) : *a;
        char cb = (*b >= 'A' && *b <= 'Z') ? char(*b + 32) : *b;
        if (ca != cb)
            return false;
    }
    return *a == *b;
}

int64_t Saturate(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= 9.2233720368547758e18)
        return std::numeric_limits<int64_t>::max();
    if (v <= -9.2233720368547758e18)
        return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(v);
}

} // namespace

TColor ColorToRGB(TColor c) {
    if (IsSystemColor(c)) {
        int index = c & 0xFF;
        if (index < int(sizeof(kSystemPalette) / sizeof(kSystemPalette[0])))
            return kSystemPalette[index];
        return clBlack;
    }
    return c;
}

bool ColorToIdent(TColor c, const char*& name) {
    for (const auto& entry : kColorNames) {
        if (entry.color == c) {
            name = entry.name;
            return true;
        }
    }
    return false;
}

bool IdentToColor(const char* name, TColor& c) {
    for (const auto& entry : kColorNames) {
        if (SameTextAscii(entry.name, name)) {
            c = entry.color;
            return true;
        }
    }
    return false;
}

int64_t Round(double v) { return Saturate(std::nearbyint(v)); }

int64_t Trunc(double v) { return Saturate(std::trunc(v)); }

double Frac(double v) { return v - std::trunc(v); }

double Int(double v) { return std::trunc(v); }

} // namespace plat
