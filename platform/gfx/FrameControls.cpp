#include "platform/gfx/FrameControls.h"

#include <algorithm>

namespace plat {

namespace {

void Ring(TDeviceContext& dc, TRect& r, TColor topLeft, TColor bottomRight, uint32_t flags) {
    if (r.IsEmpty())
        return;
    if (flags & BF_LEFT)
        dc.FillSolidRect(TRect(r.Left, r.Top, r.Left + 1, r.Bottom), topLeft);
    if (flags & BF_TOP)
        dc.FillSolidRect(TRect(r.Left, r.Top, r.Right, r.Top + 1), topLeft);
    if (flags & BF_RIGHT)
        dc.FillSolidRect(TRect(r.Right - 1, r.Top, r.Right, r.Bottom), bottomRight);
    if (flags & BF_BOTTOM)
        dc.FillSolidRect(TRect(r.Left, r.Bottom - 1, r.Right, r.Bottom), bottomRight);
    if (flags & BF_LEFT)
        ++r.Left;
    if (flags & BF_TOP)
        ++r.Top;
    if (flags & BF_RIGHT)
        --r.Right;
    if (flags & BF_BOTTOM)
        --r.Bottom;
}

TColor C(TColor c) {
    return ColorToRGB(c);
}

// Draws a glyph given as rows of '#' characters, its top-left at (x, y).
void Glyph(TDeviceContext& dc, int x, int y, std::initializer_list<const char*> rows, TColor color) {
    int j = 0;
    for (const char* row : rows) {
        for (int i = 0; row[i]; ++i)
            if (row[i] == '#')
                dc.FillSolidRect(TRect(x + i, y + j, x + i + 1, y + j + 1), color);
        ++j;
    }
}

void Arrow(TDeviceContext& dc, const TRect& r, uint32_t dir, TColor color) {
    // A filled triangle n rows deep, centred.
    int size = std::min(r.Width(), r.Height());
    int n = std::max(2, (size - 4) / 3 + 1);
    int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
    for (int i = 0; i < n; ++i) {
        int half = i;
        switch (dir) {
        case DFCS_SCROLLUP: {
            int y = cy - n / 2 + i;
            dc.FillSolidRect(TRect(cx - half, y, cx + half + 1, y + 1), color);
            break;
        }
        case DFCS_SCROLLLEFT: {
            int x = cx - n / 2 + i;
            dc.FillSolidRect(TRect(x, cy - half, x + 1, cy + half + 1), color);
            break;
        }
        case DFCS_SCROLLRIGHT: {
            int x = cx + n / 2 - i;
            dc.FillSolidRect(TRect(x, cy - half, x + 1, cy + half + 1), color);
            break;
        }
        default: {
            int y = cy + n / 2 - i;
            dc.FillSolidRect(TRect(cx - half, y, cx + half + 1, y + 1), color);
            break;
        }
        }
    }
}

TRect Centered(const TRect& r, int w, int h) {
    int l = r.Left + (r.Width() - w) / 2, t = r.Top + (r.Height() - h) / 2;
    return TRect(l, t, l + w, t + h);
}

bool CheckBox(TDeviceContext& dc, const TRect& rect, uint32_t state) {
    TRect box = Centered(rect, 13, 13);
    bool flat = state & (DFCS_FLAT | DFCS_MONO);
    if (flat) {
        dc.FillSolidRect(box, C(state & DFCS_MONO ? clWindowFrame : clBtnShadow));
        InflateRect(box, -1, -1);
    } else {
        DrawEdge(dc, box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    }
    bool grey = (state & (DFCS_INACTIVE | DFCS_PUSHED)) ||
                ((state & 0x1F) == DFCS_BUTTON3STATE && (state & DFCS_CHECKED));
    dc.FillSolidRect(box, C(grey ? clBtnFace : clWindow));
    if (state & DFCS_CHECKED) {
        TColor mark = C(state & DFCS_INACTIVE                 ? clGrayText
                        : (state & 0x1F) == DFCS_BUTTON3STATE ? clBtnShadow
                                                              : clWindowText);
        Glyph(dc, box.Left + 1, box.Top + 1,
              {"      #", "     ##", "#   ###", "## ### ", "#####  ", " ###   ", "  #    "}, mark);
    }
    return true;
}

bool RadioButton(TDeviceContext& dc, const TRect& rect, uint32_t state) {
    TRect b = Centered(rect, 12, 12);
    HBRUSH oldBrush = dc.SelectBrush(GetStockBrush(NULL_BRUSH));
    auto arc = [&](const TRect& r, bool topLeft, TColor color) {
        HPEN old = dc.SelectPen(CreatePen(PS_SOLID, 1, color));
        if (topLeft)
            dc.Arc(r.Left, r.Top, r.Right, r.Bottom, r.Right, r.Top, r.Left, r.Bottom);
        else
            dc.Arc(r.Left, r.Top, r.Right, r.Bottom, r.Left, r.Bottom, r.Right, r.Top);
        dc.SelectPen(old);
    };
    bool grey = state & (DFCS_INACTIVE | DFCS_PUSHED);
    HPEN oldPen = dc.SelectPen(CreatePen(PS_SOLID, 1, C(grey ? clBtnFace : clWindow)));
    dc.SelectBrush(CreateSolidBrush(C(grey ? clBtnFace : clWindow)));
    dc.Ellipse(b.Left + 1, b.Top + 1, b.Right - 1, b.Bottom - 1);
    dc.SelectBrush(GetStockBrush(NULL_BRUSH));
    arc(b, true, C(clBtnShadow));
    arc(b, false, C(clBtnHighlight));
    TRect inner(b.Left + 1, b.Top + 1, b.Right - 1, b.Bottom - 1);
    arc(inner, true, C(cl3DDkShadow));
    arc(inner, false, C(cl3DLight));
    if (state & DFCS_CHECKED) {
        TColor dot = C(state & DFCS_INACTIVE ? clGrayText : clWindowText);
        dc.SelectPen(CreatePen(PS_SOLID, 1, dot));
        dc.SelectBrush(CreateSolidBrush(dot));
        dc.Ellipse(b.Left + 4, b.Top + 4, b.Left + 8, b.Top + 8);
    }
    dc.SelectPen(oldPen);
    dc.SelectBrush(oldBrush);
    return true;
}

void ButtonFace(TDeviceContext& dc, TRect& r, uint32_t state) {
    if (state & DFCS_FLAT) {
        dc.FillSolidRect(r, C(clBtnFace));
        InflateRect(r, -1, -1);
        return;
    }
    if (state & DFCS_PUSHED)
        DrawEdge(dc, r, BDR_SUNKENOUTER | BDR_SUNKENINNER, BF_RECT | BF_MIDDLE | BF_ADJUST | BF_FLAT);
    else
        DrawEdge(dc, r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
}

} // namespace

bool DrawEdge(TDeviceContext& dc, TRect& rect, uint32_t edge, uint32_t flags) {
    TRect r = rect;
    TColor outerTL = 0, outerBR = 0, innerTL = 0, innerBR = 0;
    bool hasOuter = edge & BDR_OUTER, hasInner = edge & BDR_INNER;
    if (flags & BF_MONO) {
        outerTL = outerBR = C(clWindowFrame);
        innerTL = innerBR = C(clWindow);
    } else if (flags & BF_FLAT) {
        outerTL = outerBR = C(clBtnShadow);
        innerTL = innerBR = C(clBtnFace);
    } else {
        if (edge & BDR_RAISEDOUTER) {
            outerTL = C(flags & BF_SOFT ? clBtnHighlight : cl3DLight);
            outerBR = C(cl3DDkShadow);
        } else {
            outerTL = C(clBtnShadow);
            outerBR = C(clBtnHighlight);
        }
        if (edge & BDR_RAISEDINNER) {
            innerTL = C(flags & BF_SOFT ? cl3DLight : clBtnHighlight);
            innerBR = C(clBtnShadow);
        } else {
            innerTL = C(cl3DDkShadow);
            innerBR = C(cl3DLight);
        }
    }
    if (hasOuter)
        Ring(dc, r, outerTL, outerBR, flags);
    if (hasInner)
        Ring(dc, r, innerTL, innerBR, flags);
    if ((flags & BF_MIDDLE) && !r.IsEmpty())
        dc.FillSolidRect(r, C(flags & BF_MONO ? clWindow : clBtnFace));
    if (flags & BF_ADJUST)
        rect = r;
    return true;
}

bool DrawFocusRect(TDeviceContext& dc, const TRect& rect) {
    if (rect.IsEmpty())
        return false;
    static const HBRUSH checker = [] {
        TImageSurface tile(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                tile.Row(y)[x] = (x + y) % 2 == 0 ? 0x00FFFFFF : 0;
        return CreatePatternBrush(tile, false);
    }();
    HBRUSH old = dc.SelectBrush(checker);
    TPoint oldOrg = dc.SetBrushOrg(TPoint(0, 0));
    int w = rect.Width(), h = rect.Height();
    dc.PatBlt(rect.Left, rect.Top, w, 1, PATINVERT);
    if (h > 1)
        dc.PatBlt(rect.Left, rect.Bottom - 1, w, 1, PATINVERT);
    if (h > 2) {
        dc.PatBlt(rect.Left, rect.Top + 1, 1, h - 2, PATINVERT);
        if (w > 1)
            dc.PatBlt(rect.Right - 1, rect.Top + 1, 1, h - 2, PATINVERT);
    }
    dc.SetBrushOrg(oldOrg);
    dc.SelectBrush(old);
    return true;
}

bool DrawFrameControl(TDeviceContext& dc, TRect& rect, uint32_t type, uint32_t state) {
    uint32_t part = state & 0xFF;
    switch (type) {
    case DFC_BUTTON:
        if (part & DFCS_BUTTONPUSH) {
            TRect r = rect;
            ButtonFace(dc, r, state);
            if (state & DFCS_ADJUSTRECT)
                rect = r;
            return true;
        }
        if (part & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE))
            return RadioButton(dc, rect, state);
        if (part & DFCS_BUTTONRADIOMASK) {
            TRect b = Centered(rect, 12, 12);
            HPEN p = dc.SelectPen(GetStockPen(BLACK_PEN));
            HBRUSH br = dc.SelectBrush(GetStockBrush(BLACK_BRUSH));
            dc.Ellipse(b.Left, b.Top, b.Right, b.Bottom);
            dc.SelectBrush(br);
            dc.SelectPen(p);
            return true;
        }
        return CheckBox(dc, rect, state);
    case DFC_SCROLL: {
        TRect r = rect;
        if (part == DFCS_SCROLLSIZEGRIP) {
            dc.FillSolidRect(r, C(clBtnFace));
            for (int k = 0; k < 3; ++k) {
                int o = 4 * k + 2;
                for (int i = 0; i < r.Width() - o && i < r.Height() - o; ++i) {
                    dc.FillSolidRect(
                        TRect(r.Right - o - i - 1, r.Bottom - 1 - i - 1, r.Right - o - i, r.Bottom - i - 1),
                        C(clBtnShadow));
                }
            }
            return true;
        }
        ButtonFace(dc, r, state);
        uint32_t dir = part == DFCS_SCROLLCOMBOBOX ? DFCS_SCROLLDOWN : part;
        if (state & DFCS_PUSHED)
            OffsetRect(r, 1, 1);
        if (state & DFCS_INACTIVE) {
            TRect s = r;
            OffsetRect(s, 1, 1);
            Arrow(dc, s, dir, C(clBtnHighlight));
            Arrow(dc, r, dir, C(clBtnShadow));
        } else {
            Arrow(dc, r, dir, C(clBtnText));
        }
        return true;
    }
    case DFC_CAPTION: {
        TRect r = rect;
        ButtonFace(dc, r, state);
        if (state & DFCS_PUSHED)
            OffsetRect(r, 1, 1);
        TColor ink = C(state & DFCS_INACTIVE ? clGrayText : clBtnText);
        int g = std::max(4, std::min(r.Width(), r.Height()) - 4);
        TRect a = Centered(r, g, g);
        switch (part) {
        case DFCS_CAPTIONCLOSE: {
            HPEN old = dc.SelectPen(CreatePen(PS_SOLID, 1, ink));
            for (int k = 0; k < 2; ++k) {
                dc.MoveToEx(a.Left + k, a.Top, nullptr);
                dc.LineTo(a.Right - 1 + k, a.Bottom);
                dc.MoveToEx(a.Right - 2 + k, a.Top, nullptr);
                dc.LineTo(a.Left - 1 + k, a.Bottom);
            }
            dc.SelectPen(old);
            break;
        }
        case DFCS_CAPTIONMIN:
            dc.FillSolidRect(TRect(a.Left, a.Bottom - 2, a.Right - 2, a.Bottom), ink);
            break;
        case DFCS_CAPTIONMAX:
            dc.FrameRect(a, CreateSolidBrush(ink));
            dc.FillSolidRect(TRect(a.Left, a.Top, a.Right, a.Top + 2), ink);
            break;
        case DFCS_CAPTIONRESTORE: {
            int s = g * 2 / 3;
            TRect back(a.Right - s, a.Top, a.Right, a.Top + s),
                front(a.Left, a.Bottom - s, a.Left + s, a.Bottom);
            dc.FrameRect(back, CreateSolidBrush(ink));
            dc.FillSolidRect(TRect(back.Left, back.Top, back.Right, back.Top + 2), ink);
            dc.FillSolidRect(front, C(clBtnFace));
            dc.FrameRect(front, CreateSolidBrush(ink));
            dc.FillSolidRect(TRect(front.Left, front.Top, front.Right, front.Top + 2), ink);
            break;
        }
        case DFCS_CAPTIONHELP: {
            TRect t = a;
            int oldMode = dc.SetBkMode(TRANSPARENT);
            TColor oldColor = dc.SetTextColor(ink);
            HFONT oldFont = dc.SelectFont(CreateFontIndirect([&] {
                TLogFont lf;
                lf.Height = -g;
                lf.Weight = FW_BOLD;
                lf.FaceName = "MS Sans Serif";
                return lf;
            }()));
            TSize sz = dc.TextExtent("?");
            dc.TextOut(t.Left + (t.Width() - sz.cx) / 2, t.Top + (t.Height() - sz.cy) / 2, "?");
            dc.SelectFont(oldFont);
            dc.SetTextColor(oldColor);
            dc.SetBkMode(oldMode);
            break;
        }
        default:
            return false;
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace plat
