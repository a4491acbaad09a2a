#include "platform/ui/Paint.h"

#include <algorithm>
#include <cstring>

#include "platform/gfx/FrameControls.h"
#include "platform/gfx/GdiObjects.h"
#include "platform/gfx/TextLayout.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/SystemIcons.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/WindowInternal.h"

namespace plat {
namespace detail {

namespace {

TImageSurface& Nowhere() {
    static TImageSurface* surface = new TImageSurface(1, 1);
    return *surface;
}

TRect ClientBox(const TWindow* w) {
    return TRect(0, 0, w->Client.Width(), w->Client.Height());
}

HDC MakeDC(TWindow* w, bool window, const TRegion* extraClip) {
    TState& s = S();
    TWindow* top = TopOf(w);
    if (!top)
        return nullptr;
    EnsureBacking(top);
    TPoint o = WindowOriginInTop(w);
    TPoint origin = window ? o : TPoint(o.X + w->Client.Left, o.Y + w->Client.Top);
    TRegion vis;
    if (IsVisibleChain(w) && !(top->Style & WS_MINIMIZE))
        vis = VisibleRegion(w, !window, true);
    if (extraClip) {
        TRegion e = *extraClip;
        e.Offset(origin.X, origin.Y);
        vis.Combine(TRegion(vis), e, RGN_AND);
    }
    auto dc = std::make_unique<TWindowDC>(w->Handle, top->Backing.get(), origin, std::move(vis));
    HDC handle = dc.get();
    s.DCs.push_back(std::move(dc));
    return handle;
}

void PaintNow(TWindow* w) {
    if (NeedsPaint(w))
        SendMessage(w->Handle, WM_PAINT, 0, 0);
}

void UpdateTree(HWND wnd) {
    TWindow* w = Find(wnd);
    if (!w)
        return;
    PaintNow(w);
    if (!(w = Find(wnd)))
        return;
    std::vector<HWND> children;
    for (auto it = w->Children.rbegin(); it != w->Children.rend(); ++it)
        children.push_back((*it)->Handle);
    for (HWND c : children)
        UpdateTree(c);
}

void PresentTop(TWindow* top) {
    if (!top->Dirty.IsEmpty() && top->Native && top->Backing && top->Visible()) {
        TRect area = top->Dirty.Bounds();
        IntersectRect(area, area, TRect(0, 0, top->Backing->Width(), top->Backing->Height()));
        if (!area.IsEmpty())
            Backend().Present(top->Native, *top->Backing, area);
    }
    top->Dirty = TRegion();
}

} // namespace

void EnsureBacking(TWindow* top) {
    int w = std::max(1, top->Bounds.Width()), h = std::max(1, top->Bounds.Height());
    if (!top->Backing)
        top->Backing = std::make_unique<TImageSurface>(w, h);
    else if (top->Backing->Width() != w || top->Backing->Height() != h)
        top->Backing->SetSize(w, h);
}

void MarkDirty(TWindow* top, const TRegion& windowArea) {
    if (!top || windowArea.IsEmpty())
        return;
    TState& s = S();
    top->Dirty.Combine(TRegion(top->Dirty), windowArea, RGN_OR);
    if (std::find(s.DirtyTops.begin(), s.DirtyTops.end(), top->Handle) == s.DirtyTops.end())
        s.DirtyTops.push_back(top->Handle);
}

void InvalidateArea(TWindow* w, const TRegion& area, bool erase, bool children) {
    if (!w || w->IsDesktop || !IsVisibleChain(w))
        return;
    TRegion inside;
    inside.Combine(area, TRegion(ClientBox(w)), RGN_AND);
    if (!inside.IsEmpty()) {
        w->Update.Combine(TRegion(w->Update), inside, RGN_OR);
        w->Erase = w->Erase || erase;
    }
    if (!children)
        return;
    for (TWindow* c : w->Children) {
        if (!c->Visible())
            continue;
        TRect cb = c->Bounds;
        if (!area.IntersectsRect(cb))
            continue;
        TRegion childArea = area;
        childArea.Offset(-(cb.Left + c->Client.Left), -(cb.Top + c->Client.Top));
        if (c->Client != TRect(0, 0, cb.Width(), cb.Height()))
            c->FrameDirty = true;
        InvalidateArea(c, childArea, erase, true);
    }
}

void InvalidateParentArea(TWindow* w, const TRect& boundsInParent) {
    TWindow* p = w->Parent;
    if (!p || p->IsDesktop)
        return;
    TRegion area(boundsInParent);
    InvalidateArea(p, area, true, true);
}

bool NeedsPaint(const TWindow* w) {
    if (!IsVisibleChain(w))
        return false;
    const TWindow* top = w;
    while (top && !top->IsTopLevel())
        top = top->Parent;
    if (top && (top->Style & WS_MINIMIZE) && top != w)
        return false;
    return !w->Update.IsEmpty() || w->InternalPaint || w->FrameDirty;
}

static TWindow* FindPaint(TWindow* w) {
    if (!w->Visible())
        return nullptr;
    if (NeedsPaint(w))
        return w;
    for (auto it = w->Children.rbegin(); it != w->Children.rend(); ++it)
        if (TWindow* p = FindPaint(*it))
            return p;
    return nullptr;
}

TWindow* NextPaintWindow(TWindow* root) {
    if (root)
        return IsVisibleChain(root) ? FindPaint(root) : nullptr;
    TState& s = S();
    for (auto it = s.Desktop.Children.rbegin(); it != s.Desktop.Children.rend(); ++it)
        if (TWindow* p = FindPaint(*it))
            return p;
    return nullptr;
}

void DropWindowDCs(HWND wnd) {
    TState* s = SP();
    if (!s)
        return;
    TWindow* w = Find(wnd);
    for (auto& dc : s->DCs) {
        if (!dc->Wnd())
            continue;
        TWindow* owner = Find(dc->Wnd());
        if (dc->Wnd() == wnd || (w && owner && IsDescendant(w, owner)))
            dc->Orphan(&Nowhere());
    }
}

} // namespace detail

using namespace detail;

bool InvalidateRect(HWND wnd, const TRect* rect, bool erase) {
    TWindow* w = Find(wnd);
    if (!w)
        return false;
    InvalidateArea(w, TRegion(rect ? *rect : ClientBox(w)), erase, false);
    return true;
}

bool InvalidateRgn(HWND wnd, const TRegion* region, bool erase) {
    TWindow* w = Find(wnd);
    if (!w)
        return false;
    InvalidateArea(w, region ? *region : TRegion(ClientBox(w)), erase, false);
    return true;
}

bool ValidateRect(HWND wnd, const TRect* rect) {
    TWindow* w = Find(wnd);
    if (!w)
        return false;
    if (!rect) {
        w->Update = TRegion();
        w->Erase = false;
    } else {
        w->Update.Combine(TRegion(w->Update), TRegion(*rect), RGN_DIFF);
    }
    return true;
}

bool ValidateRgn(HWND wnd, const TRegion* region) {
    TWindow* w = Find(wnd);
    if (!w)
        return false;
    if (!region)
        return ValidateRect(wnd, nullptr);
    w->Update.Combine(TRegion(w->Update), *region, RGN_DIFF);
    return true;
}

bool GetUpdateRect(HWND wnd, TRect* rect, bool erase) {
    TWindow* w = Find(wnd);
    if (!w)
        return false;
    if (rect)
        *rect = w->Update.Bounds();
    return !w->Update.IsEmpty();
}

int GetUpdateRgn(HWND wnd, TRegion& region, bool erase) {
    TWindow* w = Find(wnd);
    if (!w)
        return RGN_ERROR;
    region = w->Update;
    return region.Kind();
}

bool UpdateWindow(HWND wnd) {
    TWindow* w = Find(wnd);
    if (!w)
        return false;
    PaintNow(w);
    FlushWindowPaint();
    return true;
}

bool RedrawWindow(HWND wnd, const TRect* rect, const TRegion* region, uint32_t flags) {
    TWindow* w = wnd ? Find(wnd) : nullptr;
    if (!w || w->IsDesktop)
        return false;
    TRegion area = region ? *region : TRegion(rect ? *rect : ClientBox(w));
    bool children = (flags & RDW_ALLCHILDREN) != 0;
    if (flags & RDW_INVALIDATE) {
        InvalidateArea(w, area, (flags & RDW_ERASE) != 0, children);
        if ((flags & RDW_FRAME) && IsVisibleChain(w))
            w->FrameDirty = true;
    }
    if (flags & RDW_INTERNALPAINT)
        w->InternalPaint = true;
    if (flags & RDW_VALIDATE) {
        std::function<void(TWindow*, const TRegion&)> validate = [&](TWindow* x, const TRegion& a) {
            x->Update.Combine(TRegion(x->Update), a, RGN_DIFF);
            if (flags & RDW_NOERASE)
                x->Erase = false;
            if (flags & RDW_NOFRAME)
                x->FrameDirty = false;
            if (flags & RDW_NOINTERNALPAINT)
                x->InternalPaint = false;
            if (!children)
                return;
            for (TWindow* c : x->Children) {
                TRegion ca = a;
                ca.Offset(-(c->Bounds.Left + c->Client.Left), -(c->Bounds.Top + c->Client.Top));
                validate(c, ca);
            }
        };
        validate(w, area);
    }
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
        if (children)
            UpdateTree(wnd);
        else
            PaintNow(w);
        FlushWindowPaint();
    }
    return true;
}

HDC BeginPaint(HWND wnd, TPaintStruct& ps) {
    ps = TPaintStruct();
    TWindow* w = Find(wnd);
    if (!w || !TopOf(w))
        return nullptr;
    if (w->FrameDirty) {
        w->FrameDirty = false;
        SendMessage(wnd, WM_NCPAINT, 1, 0);
        if (!(w = Find(wnd)))
            return nullptr;
    }
    TRegion update = w->Update;
    bool erase = w->Erase;
    w->Update = TRegion();
    w->Erase = false;
    w->InternalPaint = false;
    HDC dc = MakeDC(w, false, &update);
    ps.hdc = dc;
    ps.rcPaint = update.Bounds();
    ps.fErase = false;
    if (erase) {
        ps.fErase = SendMessage(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
    }
    return dc;
}

bool EndPaint(HWND wnd, const TPaintStruct& ps) {
    return ps.hdc ? ReleaseDC(wnd, ps.hdc) != 0 : false;
}

HDC GetDC(HWND wnd) {
    TWindow* w = Find(wnd);
    if (!w || w->IsDesktop)
        return nullptr;
    return MakeDC(w, false, nullptr);
}

HDC GetWindowDC(HWND wnd) {
    TWindow* w = Find(wnd);
    if (!w || w->IsDesktop)
        return nullptr;
    return MakeDC(w, true, nullptr);
}

HDC GetDCEx(HWND wnd, const TRegion* clip, uint32_t flags) {
    TWindow* w = Find(wnd);
    if (!w || w->IsDesktop)
        return nullptr;
    return MakeDC(w, (flags & DCX_WINDOW) != 0, (flags & DCX_INTERSECTRGN) ? clip : nullptr);
}

int ReleaseDC(HWND wnd, HDC dc) {
    TState* s = SP();
    if (!s || !dc)
        return 0;
    auto it = std::find_if(s->DCs.begin(), s->DCs.end(), [&](const auto& d) { return d.get() == dc; });
    if (it == s->DCs.end())
        return 0;
    if (TWindow* w = Find((*it)->Wnd()))
        MarkDirty(TopOf(w), (*it)->Visible());
    s->DCs.erase(it);
    return 1;
}

int ScrollWindowEx(HWND wnd, int dx, int dy, const TRect* scroll, const TRect* clip, TRegion* updateRgn,
                   TRect* updateRect, uint32_t flags) {
    TWindow* w = Find(wnd);
    if (!w || w->IsDesktop)
        return RGN_ERROR;
    TRect cr = ClientBox(w);
    TRect src = cr, clipR = cr;
    if (scroll)
        IntersectRect(src, *scroll, cr);
    if (clip)
        IntersectRect(clipR, *clip, cr);
    TWindow* top = TopOf(w);
    TPoint o = WindowOriginInTop(w);
    TPoint origin(o.X + w->Client.Left, o.Y + w->Client.Top);

    TRegion vis;
    if (IsVisibleChain(w) && top && !(top->Style & WS_MINIMIZE)) {
        vis = VisibleRegion(w, true, !(flags & SW_SCROLLCHILDREN));
        vis.Offset(-origin.X, -origin.Y);
    }
    // Pixels that are shown and valid move; what they leave and what had no valid source is repainted.
    TRegion movable;
    movable.Combine(TRegion(src), vis, RGN_AND);
    movable.Combine(TRegion(movable), w->Update, RGN_DIFF);
    TRegion dest = movable;
    dest.Offset(dx, dy);
    dest.Combine(TRegion(dest), TRegion(clipR), RGN_AND);
    dest.Combine(TRegion(dest), vis, RGN_AND);

    if (!dest.IsEmpty() && top && top->Backing) {
        TImageSurface& img = *top->Backing;
        TRect sb = dest.Bounds();
        OffsetRect(sb, -dx, -dy);
        int bw = sb.Width(), bh = sb.Height();
        std::vector<uint32_t> copy(static_cast<size_t>(bw) * bh);
        for (int y = 0; y < bh; ++y) {
            int sy = sb.Top + y + origin.Y;
            if (sy < 0 || sy >= img.Height())
                continue;
            for (int x = 0; x < bw; ++x) {
                int sx = sb.Left + x + origin.X;
                if (sx >= 0 && sx < img.Width())
                    copy[static_cast<size_t>(y) * bw + x] = img.Row(sy)[sx];
            }
        }
        for (const TRect& r : dest.Rects())
            for (int y = r.Top; y < r.Bottom; ++y) {
                int ty = y + origin.Y;
                if (ty < 0 || ty >= img.Height())
                    continue;
                for (int x = r.Left; x < r.Right; ++x) {
                    int tx = x + origin.X;
                    if (tx >= 0 && tx < img.Width())
                        img.Row(ty)[tx] =
                            copy[static_cast<size_t>(y - dy - sb.Top) * bw + (x - dx - sb.Left)];
                }
            }
        TRegion shown = dest;
        shown.Offset(origin.X, origin.Y);
        MarkDirty(top, shown);
    }

    // The invalid parts inside the scrolled area move with the pixels.
    TRegion inside;
    inside.Combine(w->Update, TRegion(src), RGN_AND);
    if (!inside.IsEmpty()) {
        TRegion outside;
        outside.Combine(w->Update, TRegion(src), RGN_DIFF);
        inside.Offset(dx, dy);
        inside.Combine(TRegion(inside), TRegion(clipR), RGN_AND);
        w->Update.Combine(outside, inside, RGN_OR);
    }

    TRegion update;
    TRegion moved(src);
    moved.Offset(dx, dy);
    update.Combine(TRegion(src), moved, RGN_OR);
    update.Combine(TRegion(update), TRegion(clipR), RGN_AND);
    update.Combine(TRegion(update), dest, RGN_DIFF);
    if (flags & SW_INVALIDATE)
        InvalidateArea(w, update, (flags & SW_ERASE) != 0, false);

    if (flags & SW_SCROLLCHILDREN) {
        std::vector<HWND> children;
        for (TWindow* c : w->Children) {
            TRect cb = c->Bounds, tmp;
            if (!scroll || IntersectRect(tmp, cb, src))
                children.push_back(c->Handle);
        }
        for (HWND c : children)
            if (TWindow* cw = Find(c))
                SetWindowPos(c, nullptr, cw->Bounds.Left + dx, cw->Bounds.Top + dy, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (updateRgn)
        *updateRgn = update;
    if (updateRect)
        *updateRect = update.Bounds();
    return update.Kind();
}

bool ScrollWindow(HWND wnd, int dx, int dy, const TRect* scroll, const TRect* clip) {
    return ScrollWindowEx(wnd, dx, dy, scroll, clip, nullptr, nullptr,
                          SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN)) != RGN_ERROR;
}

void FlushWindowPaint() {
    TState* s = SP();
    if (!s || !s->Backend)
        return;
    for (auto& dc : s->DCs)
        if (TWindow* w = Find(dc->Wnd()))
            MarkDirty(TopOf(w), dc->Visible());
    std::vector<HWND> tops;
    tops.swap(s->DirtyTops);
    for (HWND h : tops)
        if (TWindow* t = Find(h))
            PresentTop(t);
    s->Backend->Flush();
}

const TImageSurface* GetWindowImage(HWND topLevel) {
    TWindow* w = Find(topLevel);
    if (!w || !w->IsTopLevel())
        return nullptr;
    return w->Backing.get();
}

void DrawWindowFrame(HWND wnd, HDC dc) {
    TWindow* w = Find(wnd);
    if (!w || !dc)
        return;
    TFrameGeometry g = FrameGeometryOf(w);
    int width = w->Bounds.Width(), height = w->Bounds.Height();
    TRect outer(0, 0, width, height);
    if (g.Border > 0) {
        if (g.Border == 1) {
            dc->FrameRect(outer, CreateSolidBrush(ColorToRGB(clWindowFrame)));
        } else {
            TRect r = outer;
            DrawEdge(*dc, r, EDGE_RAISED, BF_RECT | BF_ADJUST);
            HBRUSH face = CreateSolidBrush(ColorToRGB(clBtnFace));
            for (int i = 2; i < g.Border; ++i) {
                dc->FrameRect(r, face);
                InflateRect(r, -1, -1);
            }
        }
    }
    if (!g.Caption.IsEmpty()) {
        bool active = w->NcActive;
        TColor c1 = ColorToRGB(active ? clActiveCaption : clInactiveCaption);
        TColor c2 = ColorToRGB(active ? clGradientActiveCaption : clGradientInactiveCaption);
        TTriVertex v[2];
        v[0].x = g.Caption.Left;
        v[0].y = g.Caption.Top;
        v[0].Red = static_cast<uint16_t>(GetRValue(c1) << 8);
        v[0].Green = static_cast<uint16_t>(GetGValue(c1) << 8);
        v[0].Blue = static_cast<uint16_t>(GetBValue(c1) << 8);
        v[1].x = g.Caption.Right;
        v[1].y = g.Caption.Bottom - 1;
        v[1].Red = static_cast<uint16_t>(GetRValue(c2) << 8);
        v[1].Green = static_cast<uint16_t>(GetGValue(c2) << 8);
        v[1].Blue = static_cast<uint16_t>(GetBValue(c2) << 8);
        TGradientRect gr;
        dc->GradientFill(v, 2, &gr, 1, GRADIENT_FILL_RECT_H);
        dc->FillSolidRect(TRect(g.Caption.Left, g.Caption.Bottom - 1, g.Caption.Right, g.Caption.Bottom),
                          ColorToRGB(clBtnFace));
        TLogFont lf;
        lf.FaceName = "Tahoma";
        lf.Height = (w->ExStyle & WS_EX_TOOLWINDOW) ? -10 : -11;
        lf.Weight = FW_BOLD;
        HFONT font = CreateFontIndirect(lf);
        dc->SaveDC();
        dc->SelectFont(font);
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(ColorToRGB(active ? clCaptionText : clInactiveCaptionText));
        TRect text = g.Caption;
        text.Bottom -= 1;
        text.Left += g.SysMenu.IsEmpty() ? 3 : g.SysMenu.Right + 3;
        int right = g.Caption.Right;
        for (const TRect* b : {&g.MinButton, &g.MaxButton, &g.CloseButton})
            if (!b->IsEmpty())
                right = std::min(right, b->Left);
        text.Right = right - 2;
        if (!g.SysMenu.IsEmpty() && (w->IconSmall || w->IconBig)) {
            // The window's icon stands for the system menu, small and centred in the caption.
            HICON icon = w->IconSmall ? w->IconSmall : w->IconBig;
            int size = GetSystemMetrics(SM_CXSMICON);
            int top = g.Caption.Top + std::max(0, (g.Caption.Height() - 1 - size) / 2);
            DrawIconEx(dc, g.SysMenu.Left, top, icon, size, size, DI_NORMAL);
        } else if (!g.SysMenu.IsEmpty()) {
            // A small window symbol stands for the system menu.
            TRect icon = g.SysMenu;
            dc->FillSolidRect(icon, ColorToRGB(clWindow));
            dc->FrameRect(icon, CreateSolidBrush(ColorToRGB(clWindowFrame)));
            dc->FillSolidRect(TRect(icon.Left + 1, icon.Top + 1, icon.Right - 1, icon.Top + 4),
                              ColorToRGB(clActiveCaption));
        }
        DrawText(*dc, ShownTitle(w), text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        dc->RestoreDC(-1);
        auto button = [&](TRect r, uint32_t kind) {
            if (!r.IsEmpty())
                DrawFrameControl(*dc, r, DFC_CAPTION, kind);
        };
        const uint32_t inactive = DFCS_INACTIVE;
        button(g.CloseButton, DFCS_CAPTIONCLOSE | ((w->Style & WS_SYSMENU) ? 0u : inactive));
        button(g.MaxButton,
               ((w->Style & WS_MAXIMIZE) ? uint32_t(DFCS_CAPTIONRESTORE) : uint32_t(DFCS_CAPTIONMAX)) |
                   ((w->Style & WS_MAXIMIZEBOX) ? 0u : inactive));
        button(g.MinButton,
               ((w->Style & WS_MINIMIZE) ? uint32_t(DFCS_CAPTIONRESTORE) : uint32_t(DFCS_CAPTIONMIN)) |
                   ((w->Style & WS_MINIMIZEBOX) ? 0u : inactive));
    }
    if (!g.ClientEdge.IsEmpty()) {
        TRect r = g.ClientEdge;
        if (w->ExStyle & WS_EX_CLIENTEDGE)
            DrawEdge(*dc, r, EDGE_SUNKEN, BF_RECT);
        else
            DrawEdge(*dc, r, BDR_SUNKENOUTER, BF_RECT);
    }
    DrawScrollBar(dc, w, 1);
    DrawScrollBar(dc, w, 0);
    if (!g.SizeBox.IsEmpty())
        dc->FillSolidRect(g.SizeBox, ColorToRGB(clBtnFace));
}

} // namespace plat
