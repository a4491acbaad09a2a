// Geometry and colour values shared by every layer, and the rounding rules the system relies on.
#pragma once

#include <cstdint>

namespace plat {

struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(int x, int y) : X(x), Y(y) {}
    constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr TSize() = default;
    constexpr TSize(int w, int h) : cx(w), cy(h) {}
    constexpr bool operator==(const TSize&) const = default;
};

// A rectangle covers Left <= x < Right and Top <= y < Bottom: its right and bottom edges are outside.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
    constexpr TRect(TPoint tl, TPoint br) : Left(tl.X), Top(tl.Y), Right(br.X), Bottom(br.Y) {}
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    constexpr TPoint CenterPoint() const { return {(Left + Right) / 2, (Top + Bottom) / 2}; }
    constexpr bool operator==(const TRect&) const = default;
};

constexpr TRect Rect(int l, int t, int r, int b) { return TRect(l, t, r, b); }
constexpr TRect Bounds(int l, int t, int w, int h) { return TRect(l, t, l + w, t + h); }
constexpr TPoint Point(int x, int y) { return TPoint(x, y); }

void OffsetRect(TRect& r, int dx, int dy);
void InflateRect(TRect& r, int dx, int dy);
// Intersection and union answer whether the result is non-empty; an empty result is all zeros.
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b);
bool UnionRect(TRect& dst, const TRect& a, const TRect& b);
bool PtInRect(const TRect& r, TPoint p);

// Colours are 0x00BBGGRR. System colours carry 0x80 in the high byte and an index in the low byte.
using TColor = int32_t;

constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clLtGray = clSilver;
constexpr TColor clDkGray = clGray;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }
constexpr bool IsSystemColor(TColor c) { return (static_cast<uint32_t>(c) & 0xFF000000u) == 0x80000000u; }

constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
constexpr TColor clHotLight = SystemColor(26);
constexpr TColor clGradientActiveCaption = SystemColor(27);
constexpr TColor clGradientInactiveCaption = SystemColor(28);
constexpr TColor clMenuHighlight = SystemColor(29);
constexpr TColor clMenuBar = SystemColor(30);

// Maps a system colour to the fixed classic palette; other colours pass unchanged.
TColor ColorToRGB(TColor c);

// Names of the named and system colours ("clRed", "clBtnFace"), for the component streams.
bool ColorToIdent(TColor c, const char*& name);
bool IdentToColor(const char* name, TColor& c);

// Rounds half to even (2.5 -> 2, 3.5 -> 4); values beyond the 64-bit range saturate.
int64_t Round(double v);
// Drops the fraction toward zero; values beyond the 64-bit range saturate.
int64_t Trunc(double v);
double Frac(double v);
double Int(double v);

} // namespace plat
