#include "platform/ui/Window.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "platform/rtl/Exception.h"
#include "platform/rtl/MainThread.h"
#include "platform/ui/Input.h"
#include "platform/ui/Paint.h"
#include "platform/ui/SystemIcons.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/WindowInternal.h"
#include "platform/ui/WindowSystem.h"

namespace plat {
namespace detail {

namespace {

TState* GState = nullptr;
const HWND DesktopHandle = reinterpret_cast<HWND>(0x100);

std::unique_ptr<TBackend> ChooseDefaultBackend() {
    const char* choice = std::getenv("LUMETRA_BACKEND");
    if (choice && std::strcmp(choice, "headless") == 0)
        return CreateHeadlessBackend();
    std::string error;
    std::unique_ptr<TBackend> x11 = CreateX11Backend(error);
    if (x11)
        return x11;
    throw EDisplayError("Lumetra needs a graphical display and cannot open one (" + error + ").");
}

} // namespace

std::string UpperName(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

TState* SP() {
    return GState;
}

TState& S() {
    if (!GState) {
        GState = new TState;
        GState->Desktop.Handle = DesktopHandle;
        GState->Desktop.IsDesktop = true;
        GState->Desktop.Style = WS_VISIBLE;
        GState->Desktop.Proc = NullWndProc;
        GState->MessageRoot.Handle = reinterpret_cast<HWND>(0x101);
        GState->MessageRoot.Proc = NullWndProc;
        InstallWakeHook();
    }
    return *GState;
}

TBackend& Backend() {
    TState& s = S();
    if (!s.Backend) {
        s.Backend = ChooseDefaultBackend();
        InstallWakeHook();
    }
    return *s.Backend;
}

TWindow* Find(HWND wnd) {
    if (!GState || !wnd)
        return nullptr;
    if (wnd == DesktopHandle)
        return &GState->Desktop;
    if (wnd == GState->MessageRoot.Handle)
        return &GState->MessageRoot;
    auto it = GState->Windows.find(wnd);
    return it == GState->Windows.end() ? nullptr : it->second.get();
}

TWindow* TopOf(TWindow* w) {
    while (w && !w->IsDesktop && !w->IsTopLevel())
        w = w->Parent;
    return w && !w->IsDesktop ? w : nullptr;
}

bool IsVisibleChain(const TWindow* w) {
    for (; w && !w->IsDesktop; w = w->Parent)
        if (!w->Visible())
            return false;
    return w != nullptr;
}

bool IsDescendant(const TWindow* ancestor, const TWindow* w) {
    for (; w; w = w->Parent)
        if (w == ancestor)
            return true;
    return false;
}

TPoint WindowOriginOnScreen(const TWindow* w) {
    if (!w || w->IsDesktop)
        return {};
    if (w->IsTopLevel())
        return w->Bounds.TopLeft();
    TPoint p = ClientOriginOnScreen(w->Parent);
    return {p.X + w->Bounds.Left, p.Y + w->Bounds.Top};
}

TPoint ClientOriginOnScreen(const TWindow* w) {
    if (!w || w->IsDesktop)
        return {};
    TPoint p = WindowOriginOnScreen(w);
    return {p.X + w->Client.Left, p.Y + w->Client.Top};
}

TPoint WindowOriginInTop(const TWindow* w) {
    if (!w || w->IsDesktop || w->IsTopLevel())
        return {};
    TPoint p = WindowOriginInTop(w->Parent);
    return {p.X + w->Parent->Client.Left + w->Bounds.Left, p.Y + w->Parent->Client.Top + w->Bounds.Top};
}

// Whether the display decorates this top-level window itself.
static bool FramedByDisplay(const TWindow* w) {
    if (!w->IsTopLevel() || !GState || !GState->Backend)
        return false;
    return GState->Backend->DrawsFrames() && (w->Style & WS_CAPTION) == WS_CAPTION;
}

TRect DefaultClientRect(const TWindow* w, const TRect& bounds) {
    TRect c(0, 0, bounds.Width(), bounds.Height());
    if (w->IsDesktop)
        return c;
    int frame = 0;
    if (FramedByDisplay(w)) {
        // The display draws the frame and caption; the window's own scroll bars are still ours.
        if (w->Style & WS_VSCROLL)
            c.Right -= GetSystemMetrics(SM_CXVSCROLL);
        if (w->Style & WS_HSCROLL)
            c.Bottom -= GetSystemMetrics(SM_CYHSCROLL);
        c.Right = std::max(c.Right, c.Left);
        c.Bottom = std::max(c.Bottom, c.Top);
        return c;
    }
    if (w->Style & WS_THICKFRAME)
        frame = GetSystemMetrics(SM_CXFRAME);
    else if ((w->Style & WS_DLGFRAME) || (w->ExStyle & WS_EX_DLGMODALFRAME))
        frame = GetSystemMetrics(SM_CXDLGFRAME);
    else if (w->Style & WS_BORDER)
        frame = GetSystemMetrics(SM_CXBORDER);
    InflateRect(c, -frame, -frame);
    if ((w->Style & WS_CAPTION) == WS_CAPTION)
        c.Top += (w->ExStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION)
                                                 : GetSystemMetrics(SM_CYCAPTION);
    if (w->ExStyle & WS_EX_CLIENTEDGE)
        InflateRect(c, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    if (w->ExStyle & WS_EX_STATICEDGE)
        InflateRect(c, -1, -1);
    if (w->Style & WS_VSCROLL)
        c.Right -= GetSystemMetrics(SM_CXVSCROLL);
    if (w->Style & WS_HSCROLL)
        c.Bottom -= GetSystemMetrics(SM_CYHSCROLL);
    if (c.Right < c.Left)
        c.Right = c.Left;
    if (c.Bottom < c.Top)
        c.Bottom = c.Top;
    return c;
}

void RecalcClient(TWindow* w) {
    TNCCalcSizeParams params;
    params.rgrc[0] = w->Bounds;
    SendMessage(w->Handle, WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&params));
    TWindow* again = Find(w->Handle);
    if (!again)
        return;
    TRect c = params.rgrc[0];
    OffsetRect(c, -w->Bounds.Left, -w->Bounds.Top);
    if (c.Right < c.Left)
        c.Right = c.Left;
    if (c.Bottom < c.Top)
        c.Bottom = c.Top;
    w->Client = c;
}

static TRegion WindowArea(const TWindow* w) {
    TPoint o = WindowOriginInTop(w);
    TRegion area(TRect(o.X, o.Y, o.X + w->Bounds.Width(), o.Y + w->Bounds.Height()));
    if (w->Region) {
        TRegion r = *w->Region;
        r.Offset(o.X, o.Y);
        TRegion out;
        out.Combine(area, r, RGN_AND);
        return out;
    }
    return area;
}

TRegion VisibleRegion(const TWindow* w, bool clientOnly, bool clipChildren) {
    if (!w || w->IsDesktop)
        return {};
    TPoint o = WindowOriginInTop(w);
    TRegion rgn;
    if (clientOnly) {
        TRect c = w->Client;
        OffsetRect(c, o.X, o.Y);
        rgn = TRegion(c);
        if (w->Region) {
            TRegion wr = *w->Region;
            wr.Offset(o.X, o.Y);
            rgn.Combine(TRegion(rgn), wr, RGN_AND);
        }
    } else {
        rgn = WindowArea(w);
    }
    const TWindow* c = w;
    while (!c->IsTopLevel() && c->Parent && !c->Parent->IsDesktop) {
        const TWindow* p = c->Parent;
        TPoint po = WindowOriginInTop(p);
        TRect pc = p->Client;
        OffsetRect(pc, po.X, po.Y);
        rgn.Combine(TRegion(rgn), TRegion(pc), RGN_AND);
        if (p->Region) {
            TRegion pr = *p->Region;
            pr.Offset(po.X, po.Y);
            rgn.Combine(TRegion(rgn), pr, RGN_AND);
        }
        for (const TWindow* sib : p->Children) {
            if (sib == c)
                break;
            if (sib->Visible() && !(sib->ExStyle & WS_EX_TRANSPARENT))
                rgn.Combine(TRegion(rgn), WindowArea(sib), RGN_DIFF);
        }
        c = p;
        if (rgn.IsEmpty())
            return rgn;
    }
    if (clipChildren) {
        for (const TWindow* ch : w->Children)
            if (ch->Visible() && !(ch->ExStyle & WS_EX_TRANSPARENT))
                rgn.Combine(TRegion(rgn), WindowArea(ch), RGN_DIFF);
    }
    return rgn;
}

bool PointInWindow(const TWindow* w, TPoint p) {
    TPoint o = WindowOriginOnScreen(w);
    TRect r(o.X, o.Y, o.X + w->Bounds.Width(), o.Y + w->Bounds.Height());
    if (!r.Contains(p))
        return false;
    if (w->Region && !w->Region->Contains(p.X - o.X, p.Y - o.Y))
        return false;
    return true;
}

LRESULT NullWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProc(wnd, msg, wParam, lParam);
}

static TNativeWindowSpec NativeSpecOf(const TWindow* w) {
    TNativeWindowSpec spec;
    spec.Bounds = w->Bounds;
    spec.ClientInWindow = w->Client;
    spec.Title = ShownTitle(w);
    bool caption = (w->Style & WS_CAPTION) == WS_CAPTION;
    spec.Popup = (w->Style & WS_POPUP) && !caption &&
                 (w->ExStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE));
    spec.Decorated = caption;
    spec.Sizeable = (w->Style & WS_THICKFRAME) != 0;
    spec.ToolWindow = (w->ExStyle & WS_EX_TOOLWINDOW) != 0;
    spec.TopMost = (w->ExStyle & WS_EX_TOPMOST) != 0;
    spec.Dialog = (w->ExStyle & WS_EX_DLGMODALFRAME) != 0;
    if (w->Owner)
        spec.Owner = w->Owner->Native;
    return spec;
}

static void CreateNative(TWindow* w) {
    if (w->Native)
        return;
    // The backing image comes with the first drawing, at the size the window has by then: a form made
    // while its layout is read is sized (and most are never shown) before that.
    w->Native = Backend().CreateWindow(NativeSpecOf(w));
    ApplyNativeIcon(w);
    ApplyNativeShape(w);
}

void ApplyNativeIcon(TWindow* w) {
    if (!w->IsTopLevel() || !w->Native)
        return;
    // The window manager takes the small and the big picture; either icon stands in for the other.
    std::vector<TIconImage> images;
    auto add = [&](const TIconHandle* icon, int size) {
        const TPixelImage* img = icon ? icon->ImageFor(size, size) : nullptr;
        if (!img)
            return;
        TPixelImage scaled = ScaleIconImage(*img, size, size);
        TIconImage out;
        out.Width = scaled.Width;
        out.Height = scaled.Height;
        out.Pixels = std::move(scaled.Pixels);
        images.push_back(std::move(out));
    };
    add(w->IconSmall ? w->IconSmall : w->IconBig, 16);
    add(w->IconBig ? w->IconBig : w->IconSmall, 32);
    Backend().SetIcon(w->Native, images);
}

void ApplyNativeShape(TWindow* w) {
    if (!w->IsTopLevel() || !w->Native)
        return;
    if (w->Region)
        Backend().SetShape(w->Native, &w->Region->Rects());
    else
        Backend().SetShape(w->Native, nullptr);
}

void SetTitleSuffix(TWindow* w, const std::string& suffix) {
    if (w->TitleSuffix == suffix)
        return;
    w->TitleSuffix = suffix;
    if ((w->Style & WS_CAPTION) == WS_CAPTION && IsVisibleChain(w))
        w->FrameDirty = true;
    if (w->IsTopLevel() && w->Native)
        Backend().SetTitle(w->Native, ShownTitle(w));
}

static void DestroyNative(TWindow* w) {
    if (!w->Native)
        return;
    if (GState && GState->Backend)
        GState->Backend->DestroyWindow(w->Native);
    w->Native = 0;
    w->Backing.reset();
    w->Dirty = TRegion();
}

static void Unlink(TWindow* w) {
    if (!w->Parent)
        return;
    auto& v = w->Parent->Children;
    v.erase(std::remove(v.begin(), v.end(), w), v.end());
    w->Parent = nullptr;
}

// Puts the window into its parent's list: at the front (behind topmost windows for a top-level window
// that is not topmost itself), at the back, or behind `after`.
static void Link(TWindow* w, TWindow* parent, HWND after) {
    w->Parent = parent;
    auto& v = parent->Children;
    if (after == HWND_BOTTOM) {
        v.push_back(w);
        return;
    }
    if (after && after != HWND_TOPMOST && after != HWND_NOTOPMOST) {
        TWindow* a = Find(after);
        auto it = std::find(v.begin(), v.end(), a);
        if (it != v.end()) {
            v.insert(it + 1, w);
            return;
        }
    }
    auto pos = v.begin();
    if (parent->IsDesktop && !(w->ExStyle & WS_EX_TOPMOST))
        while (pos != v.end() && ((*pos)->ExStyle & WS_EX_TOPMOST))
            ++pos;
    v.insert(pos, w);
}

// Owned windows stay above their owner: after the owner moved in the z-order, its owned windows are put
// right in front of it again, keeping their own order.
static void LiftOwned(TWindow* owner) {
    if (!owner->IsTopLevel())
        return;
    auto& v = owner->Parent->Children;
    std::vector<TWindow*> owned;
    for (TWindow* t : v)
        if (t != owner && t->Owner == owner &&
            !(t->ExStyle & WS_EX_TOPMOST) == !(owner->ExStyle & WS_EX_TOPMOST))
            owned.push_back(t);
    if (owned.empty())
        return;
    for (TWindow* t : owned)
        v.erase(std::find(v.begin(), v.end(), t));
    auto it = std::find(v.begin(), v.end(), owner);
    v.insert(it, owned.begin(), owned.end());
    for (TWindow* t : owned)
        LiftOwned(t);
}

static void CollectSubtree(TWindow* w, std::vector<HWND>& out) {
    out.push_back(w->Handle);
    for (TWindow* c : w->Children)
        CollectSubtree(c, out);
}

// The rectangle of a minimised child window: a caption strip at the bottom of the parent, one slot per
// minimised sibling.
static TRect IconicSlot(TWindow* w) {
    TWindow* p = w->Parent;
    int cw = GetSystemMetrics(SM_CXMINIMIZED), ch = GetSystemMetrics(SM_CYMINIMIZED);
    int height = p ? p->Client.Height() : 0;
    int width = p ? std::max(cw, p->Client.Width()) : cw;
    int perRow = std::max(1, width / cw);
    std::vector<TRect> taken;
    if (p)
        for (TWindow* s : p->Children)
            if (s != w && (s->Style & WS_MINIMIZE))
                taken.push_back(s->Bounds);
    for (int slot = 0;; ++slot) {
        int x = (slot % perRow) * cw;
        int y = height - ch - (slot / perRow) * ch;
        TRect r(x, y, x + cw, y + ch);
        bool used = std::any_of(taken.begin(), taken.end(),
                                [&](const TRect& t) { return t.Left == r.Left && t.Top == r.Top; });
        if (!used)
            return r;
    }
}

// Window rectangle whose client area fills `area` for a window of w's style.
static TRect FrameAround(TWindow* w, const TRect& area) {
    TRect probe(0, 0, 1000, 1000);
    TRect c = DefaultClientRect(w, probe);
    return TRect(area.Left - c.Left, area.Top - c.Top, area.Right + (probe.Right - c.Right),
                 area.Bottom + (probe.Bottom - c.Bottom));
}

} // namespace detail

using namespace detail;

TNativeWindow GetNativeWindow(HWND topLevel) {
    TWindow* w = Find(topLevel);
    return w && w->IsTopLevel() ? w->Native : 0;
}

TRect ClientRectOfStyle(uint32_t style, uint32_t exStyle, bool topLevel, TSize windowSize) {
    TState& s = S();
    TWindow probe;
    probe.Style = style;
    probe.ExStyle = exStyle;
    probe.Parent = topLevel ? &s.Desktop : &s.MessageRoot;
    Backend();
    return DefaultClientRect(&probe, TRect(0, 0, windowSize.cx, windowSize.cy));
}

// ---- Classes ----------------------------------------------------------------------------------------

void RegisterWindowClass(const TWndClass& cls) {
    S().Classes[UpperName(cls.Name)] = cls;
}

bool GetWindowClassInfo(const std::string& name, TWndClass& cls) {
    TState& s = S();
    auto it = s.Classes.find(UpperName(name));
    if (it == s.Classes.end())
        return false;
    cls = it->second;
    return true;
}

std::string GetClassName(HWND wnd) {
    TWindow* w = Find(wnd);
    return w ? w->Class.Name : std::string();
}

// ---- Creation and destruction ---------------------------------------------------------------------

HWND CreateWindowEx(uint32_t exStyle, const std::string& className, const std::string& text, uint32_t style,
                    int x, int y, int width, int height, HWND parent, intptr_t id, void* param) {
    TState& s = S();
    Backend();
    TWndClass cls;
    if (!GetWindowClassInfo(className, cls))
        throw EOutOfResources("Window class " + className + " is not registered");
    bool messageOnly = parent == HWND_MESSAGE;
    if (messageOnly) {
        parent = nullptr;
        style = (style & ~(WS_VISIBLE | WS_POPUP)) | WS_CHILD;
    }
    TWindow* parentWindow = messageOnly ? &s.MessageRoot : parent ? Find(parent) : nullptr;
    if (parent && !parentWindow)
        throw EInvalidOperation("Parent window does not exist");
    if ((style & WS_CHILD) && !parentWindow)
        throw EInvalidOperation("A child window needs a parent window");

    auto owned = std::make_unique<TWindow>();
    TWindow* w = owned.get();
    w->Handle = reinterpret_cast<HWND>(s.NextHandle++);
    w->Class = cls;
    w->Proc = cls.WndProc ? cls.WndProc : NullWndProc;
    w->Style = style & ~WS_VISIBLE;
    w->ExStyle = exStyle;
    w->Text = text;
    w->Id = id;
    if (w->ExStyle & WS_EX_MDICHILD)
        w->Style |= WS_CHILD;

    TWindow* linkParent = (w->Style & WS_CHILD) ? parentWindow : &s.Desktop;
    if (messageOnly)
        w->Style &= ~WS_CHILD;
    if (!(w->Style & WS_CHILD) && !messageOnly && parentWindow)
        w->Owner = TopOf(parentWindow);
    if (!(w->Style & WS_CHILD) && !messageOnly) {
        TRect work = Backend().WorkArea();
        static int cascade = 0;
        if (x == CW_USEDEFAULT) {
            x = work.Left + 40 + (cascade % 10) * 24;
            y = work.Top + 40 + (cascade % 10) * 24;
            ++cascade;
        }
        if (width == CW_USEDEFAULT) {
            width = work.Width() * 3 / 5;
            height = work.Height() * 3 / 5;
        }
    } else {
        if (x == CW_USEDEFAULT)
            x = y = 0;
        if (width == CW_USEDEFAULT)
            width = height = 0;
    }
    w->Bounds = Bounds(x, y, std::max(0, width), std::max(0, height));
    HWND handle = w->Handle;
    s.Windows[handle] = std::move(owned);
    Link(w, linkParent, HWND_TOP);
    if (w->IsTopLevel())
        LiftOwned(w->Owner ? w->Owner : w);

    TCreateStruct cs;
    cs.lpCreateParams = param;
    cs.hwndParent = messageOnly ? HWND_MESSAGE : parent;
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.style = style;
    cs.dwExStyle = exStyle;
    cs.lpszName = text;
    cs.lpszClass = cls.Name;

    w->Client = DefaultClientRect(w, w->Bounds);
    if (!SendMessage(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (!(w = Find(handle)))
        return nullptr;
    RecalcClient(w);
    if (w->IsTopLevel())
        CreateNative(w);
    if (SendMessage(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (!(w = Find(handle)))
        return nullptr;
    w->Created = true;
    SendMessage(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->Client.Width(), w->Client.Height()));
    if (!(w = Find(handle)))
        return nullptr;
    SendMessage(handle, WM_MOVE, 0,
                MAKELPARAM(w->Bounds.Left + w->Client.Left, w->Bounds.Top + w->Client.Top));
    if (!(w = Find(handle)))
        return nullptr;
    if (style & WS_MAXIMIZE) {
        w->Style &= ~WS_MAXIMIZE;
        ShowWindow(handle, (style & WS_VISIBLE) ? SW_SHOWMAXIMIZED : SW_MAXIMIZE);
    }
    if ((style & WS_VISIBLE) && Find(handle))
        ShowWindow(handle, (exStyle & WS_EX_NOACTIVATE) || (style & WS_CHILD) ? SW_SHOWNA : SW_SHOW);
    return Find(handle) ? handle : nullptr;
}

bool IsWindow(HWND wnd) {
    TWindow* w = Find(wnd);
    return w && !w->IsDesktop;
}

bool DestroyWindow(HWND wnd) {
    TWindow* w = Find(wnd);
    if (!w || w->IsDesktop)
        return false;
    if (w->Destroying)
        return true;
    TState& s = S();

    // Owned top-level windows go first.
    if (w->IsTopLevel()) {
        std::vector<HWND> owned;
        for (TWindow* t : s.Desktop.Children)
            if (t->Owner == w)
                owned.push_back(t->Handle);
        for (HWND h : owned)
            DestroyWindow(h);
        if (!(w = Find(wnd)))
            return true;
    }

    std::vector<HWND> subtree;
    CollectSubtree(w, subtree);
    for (HWND h : subtree)
        if (TWindow* t = Find(h))
            t->Destroying = true;

    bool wasVisible = IsVisibleChain(w);
    if (wasVisible && !w->IsTopLevel() && w->Parent)
        InvalidateParentArea(w, w->Bounds);
    if (w->IsTopLevel() && w->Native && w->Visible())
        Backend().ShowWindow(w->Native, false, false);

    // Capture and focus leave the subtree before it goes.
    if (TWindow* cap = Find(s.Capture); cap && IsDescendant(w, cap))
        ReleaseCapture();
    if (TWindow* foc = Find(s.Focus); foc && IsDescendant(w, foc)) {
        HWND old = s.Focus;
        s.Focus = nullptr;
        SendMessage(old, WM_KILLFOCUS, 0, 0);
    }
    if (s.Active == wnd)
        ActivateAfterHide(w);

    for (HWND h : subtree)
        if (Find(h))
            SendMessage(h, WM_DESTROY, 0, 0);
    for (auto it = subtree.rbegin(); it != subtree.rend(); ++it)
        if (Find(*it))
            SendMessage(*it, WM_NCDESTROY, 0, 0);

    for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) {
        TWindow* t = Find(*it);
        if (!t)
            continue;
        KillWindowTimers(*it);
        DropWindowDCs(*it);
        WindowGoingAway(t);
        // Windows owned by this one that were created during destruction lose their owner.
        for (TWindow* top : s.Desktop.Children)
            if (top->Owner == t)
                top->Owner = nullptr;
        for (TWindow* c : std::vector<TWindow*>(t->Children))
            Unlink(c);
        DestroyNative(t);
        Unlink(t);
        s.DirtyTops.erase(std::remove(s.DirtyTops.begin(), s.DirtyTops.end(), *it), s.DirtyTops.end());
        s.Windows.erase(*it);
    }
    UpdateCursorForPointer();
    return true;
}

// ---- Tree --------------------------------------------------------------------------------------------

HWND GetDesktopWindow() {
    return S().Desktop.Handle;
}

HWND GetParent(HWND wnd) {
    TWindow* w = Find(wnd);
    if (!w || w->IsDesktop)
        return nullptr;
    if (w->IsTopLevel())
        return w->Owner ? w->Owner->Handle : nullptr;
    return w->Parent ? w->Parent->Handle : nullptr;
}

HWND GetAncestorRoot(HWND wnd) {
    TWindow* t = TopOf(Find(wnd));
    return t ? t->Handle : nullptr;
}

HWND SetParent(HWND wnd, HWND newParent) {
    TWindow* w = Find(wnd);
    if (!w || w->IsDesktop)
        return nullptr;
    TState& s = S();
    TWindow* np = newParent ? Find(newParent) : &s.Desktop;
    if (!np || IsDescendant(w, np))
        return nullptr;
    TWindow* old = w->Parent;
    HWND oldHandle = old ? old->Handle : nullptr;
    if (old == np)
        return oldHandle;
    bool visible = IsVisibleChain(w);
    if (visible && !w->IsTopLevel())
        InvalidateParentArea(w, w->Bounds);
    bool wasTop = w->IsTopLevel();
    if (wasTop && w->Native && w->Visible())
        Backend().ShowWindow(w->Native, false, false);
    DropWindowDCs(wnd);
    Unlink(w);
    if (np->IsDesktop) {
        w->Style &= ~WS_CHILD;
        w->Style |= WS_POPUP;
    } else {
        w->Style |= WS_CHILD;
        w->Style &= ~WS_POPUP;
    }
    Link(w, np, HWND_TOP);
    bool nowTop = w->IsTopLevel();
    if (wasTop && !nowTop)
        DestroyNative(w);
    RecalcClient(w);
    if (nowTop && !wasTop) {
        CreateNative(w);
        if (w->Visible())
            Backend().ShowWindow(w->Native, true, false);
    }
    if (IsVisibleChain(w))
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return oldHandle == s.Desktop.Handle ? nullptr : oldHandle;
}

static TWindow* ContainerOf(HWND parent) {
    TState& s = S();
    if (!parent)
        return &s.Desktop;
    return Find(parent);
}

HWND GetWindow(HWND wnd, int relation) {
    TWindow* w = Find(wnd);
    if (!w)
        return nullptr;
    switch (relation) {
    case GW_CHILD:
        return w->Children.empty() ? nullptr : w->Children.front()->Handle;
    case GW_OWNER:
        return w->Owner ? w->Owner->Handle : nullptr;
    default:
        break;
    }
    if (!w->Parent)
        return nullptr;
    auto& v = w->Parent->Children;
    auto it = std::find(v.begin(), v.end(), w);
    switch (relation) {
    case GW_HWNDFIRST:
        return v.front()->Handle;
    case GW_HWNDLAST:
        return v.back()->Handle;
    case GW_HWNDNEXT:
        return (it + 1) != v.end() ? (*(it + 1))->Handle : nullptr;
    case GW_HWNDPREV:
        return it != v.begin() ? (*(it - 1))->Handle : nullptr;
    }
    return nullptr;
}

HWND GetTopWindow(HWND parent) {
    TWindow* p = ContainerOf(parent);
    return p && !p->Children.empty() ? p->Children.front()->Handle : nullptr;
}

bool IsChild(HWND parent, HWND wnd) {
    TWindow* p = Find(parent);
    TWindow* w = Find(wnd);
    if (!p || !w || p == w)
        return false;
    for (TWindow* c = w; c && !c->IsTopLevel(); c = c->Parent)
        if (c->Parent == p)
            return true;
    return false;
}

std::vector<HWND> GetChildWindows(HWND parent) {
    std::vector<HWND> out;
    TWindow* p = parent ? Find(parent) : &S().Desktop;
    if (p)
        for (TWindow* c : p->Children)
            out.push_back(c->Handle);
    return out;
}

void EnumChildWindows(HWND parent, const std::function<bool(HWND)>& fn) {
    TWindow* p = parent ? Find(parent) : &S().Desktop;
    if (!p)
        return;
    std::vector<HWND> all;
    for (TWindow* c : p->Children)
        CollectSubtree(c, all);
    for (HWND h : all)
        if (Find(h) && !fn(h))
            return;
}

// ---- Longs, procedures, objects ---------------------------------------------------------------------

LONG_PTR GetWindowLongPtr(HWND wnd, int index) {
    TWindow* w = Find(wnd);
    if (!w)
        return 0;
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG_PTR>(static_cast<uint32_t>(w->Style));
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(static_cast<uint32_t>(w->ExStyle));
    case GWL_USERDATA:
        return w->UserData;
    case GWL_ID:
        return w->Id;
    case GWL_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->Proc);
    case GWL_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(GetParent(wnd));
    }
    return 0;
}

LONG_PTR SetWindowLongPtr(HWND wnd, int index, LONG_PTR value) {
    TWindow* w = Find(wnd);
    if (!w || w->IsDesktop)
        return 0;
    LONG_PTR old = GetWindowLongPtr(wnd, index);
    switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        struct {
            uint32_t Old, New;
        } change{static_cast<uint32_t>(old), static_cast<uint32_t>(value)};
        SendMessage(wnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
        if (!(w = Find(wnd)))
            return old;
        if (index == GWL_STYLE)
            w->Style = change.New;
        else
            w->ExStyle = change.New;
        SendMessage(wnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&change));
        break;
    }
    case GWL_USERDATA:
        w->UserData = value;
        break;
    case GWL_ID:
        w->Id = value;
        break;
    case GWL_WNDPROC:
        w->Proc = value ? reinterpret_cast<TWndProc>(value) : NullWndProc;
        break;
    case GWL_HWNDPARENT:
        if (w->IsTopLevel()) {
            TWindow* o = TopOf(Find(reinterpret_cast<HWND>(value)));
            if (o == w)
                o = nullptr;
            // Owners never form a ring (lifting owned windows above their owner would never end): a
            // new owner that this window owns, directly or further down, gives that tie up.
            for (TWindow* t = o; t; t = t->Owner)
                if (t->Owner == w) {
                    t->Owner = nullptr;
                    break;
                }
            w->Owner = o;
            if (w->Owner)
                LiftOwned(w->Owner);
        }
        break;
    }
    return old;
}

TWndProc GetWindowProc(HWND wnd) {
    TWindow* w = Find(wnd);
    return w ? w->Proc : nullptr;
}

TWndProc SetWindowProc(HWND wnd, TWndProc proc) {
    return reinterpret_cast<TWndProc>(SetWindowLongPtr(wnd, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

LRESULT CallWindowProc(TWndProc proc, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!proc)
        return DefWindowProc(wnd, msg, wParam, lParam);
    return proc(wnd, msg, wParam, lParam);
}

void* GetWindowObject(HWND wnd) {
    TWindow* w = Find(wnd);
    return w ? w->Object : nullptr;
}

void SetWindowObject(HWND wnd, void* object) {
    if (TWindow* w = Find(wnd))
        w->Object = object;
}

// ---- Text -----------------------------------------------------------------------------------------------

bool SetWindowText(HWND wnd, const std::string& text) {
    if (!Find(wnd))
        return false;
    return SendMessage(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

std::string GetWindowText(HWND wnd) {
    std::string text;
    if (Find(wnd))
        SendMessage(wnd, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(&text));
    return text;
}

int GetWindowTextLength(HWND wnd) {
    return Find(wnd) ? static_cast<int>(SendMessage(wnd, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

// ---- Geometry --------------------------------------------------------------------------------------------

bool GetWindowRect(HWND wnd, TRect& rect) {
    TWindow* w = Find(wnd);
    if (!w)
        return false;
    if (w->IsDesktop) {
        rect = Backend().ScreenRect();
        return true;
    }
    TPoint o = WindowOriginOnScreen(w);
    rect = TRect(o.X, o.Y, o.X + w->Bounds.Width(), o.Y + w->Bounds.Height());
    return true;
}

bool GetClientRect(HWND wnd, TRect& rect) {
    TWindow* w = Find(wnd);
    if (!w)
        return false;
    if (w->IsDesktop) {
        TRect r = Backend().ScreenRect();
        rect = TRect(0, 0, r.Width(), r.Height());
        return true;
    }
    rect = TRect(0, 0, w->Client.Width(), w->Client.Height());
    return true;
}

TRect GetWindowBounds(HWND wnd) {
    TWindow* w = Find(wnd);
    return w ? w->Bounds : TRect();
}

TRect GetClientInWindow(HWND wnd) {
    TWindow* w = Find(wnd);
    return w ? w->Client : TRect();
}

bool ClientToScreen(HWND wnd, TPoint& p) {
    TWindow* w = Find(wnd);
    if (!w)
        return false;
    TPoint o = ClientOriginOnScreen(w);
    p.X += o.X;
    p.Y += o.Y;
    return true;
}

bool ScreenToClient(HWND wnd, TPoint& p) {
    TWindow* w = Find(wnd);
    if (!w)
        return false;
    TPoint o = ClientOriginOnScreen(w);
    p.X -= o.X;
    p.Y -= o.Y;
    return true;
}

void MapWindowPoints(HWND from, HWND to, TPoint* points, int count) {
    TPoint a = from ? ClientOriginOnScreen(Find(from)) : TPoint();
    TPoint b = to ? ClientOriginOnScreen(Find(to)) : TPoint();
    for (int i = 0; i < count; ++i) {
        points[i].X += a.X - b.X;
        points[i].Y += a.Y - b.Y;
    }
}

bool SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, uint32_t flags) {
    TWindow* w = Find(wnd);
    if (!w || w->IsDesktop)
        return false;
    TWindowPos pos;
    pos.hwnd = wnd;
    pos.hwndInsertAfter = insertAfter;
    pos.x = (flags & SWP_NOMOVE) ? w->Bounds.Left : x;
    pos.y = (flags & SWP_NOMOVE) ? w->Bounds.Top : y;
    pos.cx = (flags & SWP_NOSIZE) ? w->Bounds.Width() : std::max(0, cx);
    pos.cy = (flags & SWP_NOSIZE) ? w->Bounds.Height() : std::max(0, cy);
    pos.flags = flags;
    if (!(flags & SWP_NOSENDCHANGING)) {
        SendMessage(wnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        if (!(w = Find(wnd)))
            return false;
        flags = pos.flags;
    }
    TRect oldBounds = w->Bounds;
    TRect newBounds = Bounds(pos.x, pos.y, std::max(0, pos.cx), std::max(0, pos.cy));
    bool moved = newBounds.Left != oldBounds.Left || newBounds.Top != oldBounds.Top;
    bool sized = newBounds.Width() != oldBounds.Width() || newBounds.Height() != oldBounds.Height();
    bool zorder = !(flags & SWP_NOZORDER);
    bool show = (flags & SWP_SHOWWINDOW) && !w->Visible();
    bool hide = (flags & SWP_HIDEWINDOW) && w->Visible();
    bool frame = (flags & SWP_FRAMECHANGED) != 0;
    bool wasVisible = IsVisibleChain(w);

    if (wasVisible && !w->IsTopLevel() && (moved || sized || hide || zorder || frame))
        InvalidateParentArea(w, oldBounds);

    w->Bounds = newBounds;
    if (zorder && w->Parent) {
        HWND after = pos.hwndInsertAfter;
        if (after == HWND_TOPMOST)
            w->ExStyle |= WS_EX_TOPMOST;
        else if (after == HWND_NOTOPMOST)
            w->ExStyle &= ~WS_EX_TOPMOST;
        TWindow* parent = w->Parent;
        if (after != wnd) {
            Unlink(w);
            Link(w, parent, after);
        }
        if (w->IsTopLevel()) {
            LiftOwned(w);
            if (w->Native) {
                if (after == HWND_TOPMOST || after == HWND_NOTOPMOST)
                    Backend().SetTopMost(w->Native, after == HWND_TOPMOST);
                if (!(flags & SWP_NOACTIVATE) || after == HWND_TOP || after == HWND_TOPMOST)
                    Backend().Raise(w->Native);
            }
        }
    }
    if (sized || moved || frame)
        RecalcClient(w);
    if (!(w = Find(wnd)))
        return false;
    if (show)
        w->Style |= WS_VISIBLE;
    if (hide)
        w->Style &= ~WS_VISIBLE;

    if (w->IsTopLevel()) {
        // The backing is made by the first paint; a form that is sized while hidden, or never shown,
        // has none to resize.
        if (sized && w->Backing)
            EnsureBacking(w);
        if (w->Native && (moved || sized))
            Backend().MoveWindow(w->Native, w->Bounds);
        if (w->Native && show)
            Backend().ShowWindow(w->Native, true,
                                 !(flags & SWP_NOACTIVATE) && !(w->ExStyle & WS_EX_NOACTIVATE));
        if (w->Native && hide)
            Backend().ShowWindow(w->Native, false, false);
    }
    bool nowVisible = IsVisibleChain(w);
    if (nowVisible && !(flags & SWP_NOREDRAW) &&
        (sized || show || frame || (moved && !w->IsTopLevel()) || zorder))
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);

    if (hide) {
        TState& s = S();
        if (TWindow* foc = Find(s.Focus); foc && IsDescendant(w, foc) && !w->IsTopLevel())
            SetFocus(w->Parent && !w->Parent->IsDesktop ? w->Parent->Handle : nullptr);
        if (TWindow* cap = Find(s.Capture); cap && IsDescendant(w, cap))
            ReleaseCapture();
        if (w->IsTopLevel() && s.Active == wnd)
            ActivateAfterHide(w);
    }

    pos.x = w->Bounds.Left;
    pos.y = w->Bounds.Top;
    pos.cx = w->Bounds.Width();
    pos.cy = w->Bounds.Height();
    pos.flags = flags | (moved ? 0 : SWP_NOMOVE) | (sized ? 0 : SWP_NOSIZE);
    SendMessage(wnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if (show && Find(wnd) && w->IsTopLevel() && !(flags & SWP_NOACTIVATE) && !(w->ExStyle & WS_EX_NOACTIVATE))
        SetActiveWindow(wnd);
    UpdateCursorForPointer();
    return true;
}

bool MoveWindow(HWND wnd, int x, int y, int width, int height, bool repaint) {
    return SetWindowPos(wnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

bool BringWindowToTop(HWND wnd) {
    return SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

bool ShowWindow(HWND wnd, int cmd) {
    TWindow* w = Find(wnd);
    if (!w || w->IsDesktop)
        return false;
    bool wasVisible = w->Visible();
    bool activate = !(w->ExStyle & WS_EX_NOACTIVATE) && !w->IsChild();
    uint32_t swp = SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
    switch (cmd) {
    case SW_HIDE:
        if (!wasVisible)
            return false;
        SendMessage(wnd, WM_SHOWWINDOW, 0, 0);
        SetWindowPos(wnd, nullptr, 0, 0, 0, 0, swp | SWP_HIDEWINDOW | SWP_NOACTIVATE);
        return wasVisible;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
        activate = false;
        [[fallthrough]];
    case SW_SHOW:
        if (!wasVisible) {
            SendMessage(wnd, WM_SHOWWINDOW, 1, 0);
            SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | (activate ? 0 : SWP_NOACTIVATE));
        } else if (activate && w->IsTopLevel()) {
            SetActiveWindow(wnd);
        }
        if (w->IsChild() && (w->ExStyle & WS_EX_MDICHILD) == 0)
            return wasVisible;
        return wasVisible;
    case SW_SHOWNORMAL:
    case SW_RESTORE: {
        if (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) {
            bool wasMax = (w->Style & WS_MAXIMIZE) != 0;
            w->Style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
            TRect r = w->Restored ? *w->Restored : w->Bounds;
            w->Restored.reset();
            if (w->IsTopLevel() && w->Native)
                Backend().SetState(w->Native, SIZE_RESTORED);
            SetWindowPos(wnd, nullptr, r.Left, r.Top, r.Width(), r.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            (void)wasMax;
            if (Find(wnd))
                SendMessage(wnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->Client.Width(), w->Client.Height()));
        }
        if (!Find(wnd))
            return wasVisible;
        if (!wasVisible)
            ShowWindow(wnd, activate ? SW_SHOW : SW_SHOWNA);
        else if (activate && w->IsTopLevel())
            SetActiveWindow(wnd);
        return wasVisible;
    }
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE: {
        if (!(w->Style & WS_MINIMIZE)) {
            if (!w->Restored)
                w->Restored = w->Bounds;
            w->Style &= ~WS_MAXIMIZE;
            w->Style |= WS_MINIMIZE;
            TState& s = S();
            if (TWindow* foc = Find(s.Focus); foc && IsDescendant(w, foc) && foc != w)
                SetFocus(w->IsChild() ? wnd : nullptr);
            if (!(w = Find(wnd)))
                return wasVisible;
            if (w->IsTopLevel()) {
                if (w->Native)
                    Backend().SetState(w->Native, SIZE_MINIMIZED);
                RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
            } else {
                TRect slot = IconicSlot(w);
                SetWindowPos(wnd, nullptr, slot.Left, slot.Top, slot.Width(), slot.Height(),
                             SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            }
            if (Find(wnd))
                SendMessage(wnd, WM_SIZE, SIZE_MINIMIZED, 0);
        }
        if (!Find(wnd))
            return wasVisible;
        if (!w->Visible())
            ShowWindow(wnd, SW_SHOWNA);
        if (cmd == SW_MINIMIZE && w->IsTopLevel() && S().Active == wnd)
            ActivateAfterHide(w);
        return wasVisible;
    }
    case SW_MAXIMIZE: {
        if (!(w->Style & WS_MAXIMIZE)) {
            if (!w->Restored)
                w->Restored = w->Bounds;
            w->Style &= ~WS_MINIMIZE;
            w->Style |= WS_MAXIMIZE;
            TRect area;
            if (w->IsTopLevel())
                area = Backend().WorkArea();
            else
                area = TRect(0, 0, w->Parent->Client.Width(), w->Parent->Client.Height());
            TRect r = (w->IsTopLevel() && Backend().DrawsFrames() && (w->Style & WS_CAPTION) == WS_CAPTION)
                          ? area
                          : FrameAround(w, area);
            if (w->IsTopLevel() && w->Native)
                Backend().SetState(w->Native, SIZE_MAXIMIZED);
            SetWindowPos(wnd, nullptr, r.Left, r.Top, r.Width(), r.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            if ((w = Find(wnd)))
                SendMessage(wnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(w->Client.Width(), w->Client.Height()));
        }
        if (!(w = Find(wnd)))
            return wasVisible;
        if (!w->Visible())
            ShowWindow(wnd, activate ? SW_SHOW : SW_SHOWNA);
        else if (activate && w->IsTopLevel())
            SetActiveWindow(wnd);
        return wasVisible;
    }
    }
    return wasVisible;
}

bool IsWindowVisible(HWND wnd) {
    TWindow* w = Find(wnd);
    return w && !w->IsDesktop && IsVisibleChain(w);
}

bool IsIconic(HWND wnd) {
    TWindow* w = Find(wnd);
    return w && (w->Style & WS_MINIMIZE);
}

bool IsZoomed(HWND wnd) {
    TWindow* w = Find(wnd);
    return w && (w->Style & WS_MAXIMIZE);
}

bool GetRestoredBounds(HWND wnd, TRect& rect) {
    TWindow* w = Find(wnd);
    if (!w)
        return false;
    rect = w->Restored ? *w->Restored : w->Bounds;
    return true;
}

void SetRestoredBounds(HWND wnd, const TRect& rect) {
    TWindow* w = Find(wnd);
    if (!w)
        return;
    if (w->Style & (WS_MINIMIZE | WS_MAXIMIZE))
        w->Restored = rect;
    else
        SetWindowPos(wnd, nullptr, rect.Left, rect.Top, rect.Width(), rect.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

bool EnableWindow(HWND wnd, bool enable) {
    TWindow* w = Find(wnd);
    if (!w || w->IsDesktop)
        return false;
    bool wasDisabled = !w->Enabled();
    if (wasDisabled == !enable)
        return wasDisabled;
    if (enable) {
        w->Style &= ~WS_DISABLED;
    } else {
        w->Style |= WS_DISABLED;
        TState& s = S();
        if (TWindow* cap = Find(s.Capture); cap && IsDescendant(w, cap))
            ReleaseCapture();
        if (TWindow* foc = Find(s.Focus); foc && IsDescendant(w, foc))
            SetFocus(nullptr);
    }
    if (Find(wnd))
        SendMessage(wnd, WM_ENABLE, enable ? 1 : 0, 0);
    return wasDisabled;
}

bool IsWindowEnabled(HWND wnd) {
    TWindow* w = Find(wnd);
    return w && w->Enabled();
}

// ---- Regions and layering -----------------------------------------------------------------------------

int SetWindowRgn(HWND wnd, const TRegion* region, bool redraw) {
    TWindow* w = Find(wnd);
    if (!w || w->IsDesktop)
        return 0;
    bool visible = IsVisibleChain(w);
    if (visible && !w->IsTopLevel())
        InvalidateParentArea(w, w->Bounds);
    if (region)
        w->Region = *region;
    else
        w->Region.reset();
    if (visible && redraw)
        RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    if (w->IsTopLevel() && w->Backing)
        MarkDirty(w, TRegion(TRect(0, 0, w->Bounds.Width(), w->Bounds.Height())));
    ApplyNativeShape(w);
    UpdateCursorForPointer();
    return 1;
}

int GetWindowRgn(HWND wnd, TRegion& region) {
    TWindow* w = Find(wnd);
    if (!w || !w->Region)
        return 0;
    region = *w->Region;
    return region.Kind();
}

bool SetLayeredWindowAttributes(HWND wnd, TColor key, uint8_t alpha, uint32_t flags) {
    TWindow* w = Find(wnd);
    if (!w || !(w->ExStyle & WS_EX_LAYERED))
        return false;
    w->LayerKey = key;
    w->Alpha = (flags & LWA_ALPHA) ? alpha : 255;
    w->LayerFlags = flags;
    if (w->IsTopLevel() && w->Native)
        Backend().SetOpacity(w->Native, w->Alpha);
    return true;
}

bool GetLayeredWindowAttributes(HWND wnd, TColor* key, uint8_t* alpha, uint32_t* flags) {
    TWindow* w = Find(wnd);
    if (!w || !(w->ExStyle & WS_EX_LAYERED))
        return false;
    if (key)
        *key = w->LayerKey;
    if (alpha)
        *alpha = w->Alpha;
    if (flags)
        *flags = w->LayerFlags;
    return true;
}

// ---- Hit testing ------------------------------------------------------------------------------------------

static HWND DeepHit(TWindow* w, TPoint p) {
    TPoint co = ClientOriginOnScreen(w);
    TRect client = TRect(co.X, co.Y, co.X + w->Client.Width(), co.Y + w->Client.Height());
    if (client.Contains(p)) {
        for (TWindow* c : std::vector<TWindow*>(w->Children)) {
            if (!Find(c->Handle) || !c->Visible() || !PointInWindow(c, p))
                continue;
            if (HWND h = DeepHit(c, p))
                return h;
        }
    }
    LRESULT hit = SendMessage(w->Handle, WM_NCHITTEST, 0, PointToLParam(p));
    if (hit == HTTRANSPARENT)
        return nullptr;
    return w->Handle;
}

HWND WindowFromPoint(TPoint screenPos) {
    TState& s = S();
    for (TWindow* t : std::vector<TWindow*>(s.Desktop.Children)) {
        if (!Find(t->Handle) || !t->Visible() || !PointInWindow(t, screenPos))
            continue;
        if (HWND h = DeepHit(t, screenPos))
            return h;
    }
    return nullptr;
}

HWND ChildWindowFromPointEx(HWND parent, TPoint clientPos, uint32_t flags) {
    TWindow* p = Find(parent);
    if (!p)
        return nullptr;
    if (!p->IsDesktop && !TRect(0, 0, p->Client.Width(), p->Client.Height()).Contains(clientPos))
        return nullptr;
    TPoint screen = clientPos;
    if (!p->IsDesktop)
        ClientToScreen(parent, screen);
    for (TWindow* c : p->Children) {
        if ((flags & CWP_SKIPINVISIBLE) && !c->Visible())
            continue;
        if ((flags & CWP_SKIPDISABLED) && !c->Enabled())
            continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (c->ExStyle & WS_EX_TRANSPARENT))
            continue;
        if (PointInWindow(c, screen))
            return c->Handle;
    }
    return parent;
}

HWND ChildWindowFromPoint(HWND parent, TPoint clientPos) {
    return ChildWindowFromPointEx(parent, clientPos, CWP_ALL);
}

// ---- Backend selection ----------------------------------------------------------------------------------

void SelectBackend(std::unique_ptr<TBackend> backend) {
    TState& s = S();
    if (!s.Windows.empty())
        throw EInvalidOperation("The display backend cannot change while windows exist");
    s.Backend = std::move(backend);
    InstallWakeHook();
}

TBackend& CurrentBackend() {
    return Backend();
}

bool BackendSelected() {
    return SP() && SP()->Backend;
}

bool IsHeadlessBackend() {
    return BackendSelected() && std::strcmp(SP()->Backend->Name(), "headless") == 0;
}

void ShutdownWindowSystem() {
    TState* s = SP();
    if (!s)
        return;
    for (;;) {
        if (s->Desktop.Children.empty())
            break;
        DestroyWindow(s->Desktop.Children.back()->Handle);
    }
    SetWakeMainThreadHandler({});
    GState = nullptr;
    delete s;
}

} // namespace plat
