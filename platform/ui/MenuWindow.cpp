// Open menus: the drop-down windows, the loop that tracks them with the keyboard and the mouse, the menu
// bar in the frame of a form, and the hooks that plug menus into forms and controls.
#include <algorithm>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/FrameControls.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/ModalLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/Window.h"

namespace plat {

namespace {

constexpr int kFrame = 3;
constexpr int kSeparatorHeight = 8;
constexpr int kArrowColumn = 16;
constexpr int kBarItemPad = 7;
constexpr uintptr_t kHoverTimer = 1;
const char* const kPopupClass = "LumetraMenuPopup";
const char* const kTrackerClass = "LumetraMenuTracker";

TMenuLoopHook& LoopHook() {
    static TMenuLoopHook hook;
    return hook;
}

// An entry of the MDI window list (so a rebuild finds the ones it made).
class TWindowListItem : public TMenuItem {
public:
    explicit TWindowListItem(TComponent* AOwner) : TMenuItem(AOwner) {}
};

bool HasVisibleChildren(const TMenuItem* item) {
    for (int i = 0; i < item->Count(); ++i)
        if (item->Items(i)->Visible())
            return true;
    return false;
}

bool ReducesLines(const TMenuItem* parent) {
    for (const TMenuItem* p = parent; p; p = p->Parent()) {
        if (p->AutoLineReduction() == maAutomatic)
            return true;
        if (p->AutoLineReduction() == maManual)
            return false;
    }
    return true;
}

// The visible children; separators at the ends and in a row are dropped unless the menu says not to.
std::vector<TMenuItem*> VisibleItems(const TMenuItem* parent) {
    std::vector<TMenuItem*> v;
    bool reduce = ReducesLines(parent);
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* c = parent->Items(i);
        if (!c->Visible())
            continue;
        if (reduce && c->IsLine() && (v.empty() || v.back()->IsLine()))
            continue;
        v.push_back(c);
    }
    if (reduce)
        while (!v.empty() && v.back()->IsLine())
            v.pop_back();
    return v;
}

void PrepareCanvas(TCanvas& c) {
    if (Screen && Screen->MenuFont())
        c.Font()->Assign(Screen->MenuFont());
    c.Font()->SetColor(clMenuText);
    c.Brush()->SetColor(clMenu);
}

int BarHeight() {
    return GetSystemMetrics(SM_CYMENU);
}

TSize ItemSize(TMenuItem* item, TCanvas& c, bool top) {
    // Every item is measured from the menu font: an owner's measuring handler may leave another font in
    // the canvas, which must not size the items after it.
    PrepareCanvas(c);
    int w = 0, h = 0;
    std::string text = StripHotkey(item->Caption());
    if (top) {
        w = c.TextWidth(text) + 2 * kBarItemPad;
        h = BarHeight();
    } else if (item->IsLine()) {
        h = kSeparatorHeight;
    } else {
        h = std::max(c.TextHeight("Wg") + 6, 19);
        int col = 22;
        if (TCustomImageList* images = item->GetImageList()) {
            h = std::max(h, images->Height() + 4);
            col = std::max(16, images->Width()) + 6;
        }
        if (item->HasBitmap())
            h = std::max(h, item->Bitmap()->Height() + 4);
        int tw = c.TextWidth(text);
        if (item->Default()) {
            TFont keep;
            keep.Assign(c.Font());
            c.Font()->SetStyle(c.Font()->Style() | fsBold);
            tw = c.TextWidth(text);
            c.Font()->Assign(&keep);
        }
        w = col + tw + kArrowColumn;
        std::string sc = ShortCutToText(item->ShortCut());
        if (!sc.empty())
            w += 24 + c.TextWidth(sc);
    }
    item->MeasureItem(&c, w, h, top);
    return TSize(w, h);
}

struct TLevel {
    TMenuItem* Parent = nullptr;
    std::vector<TMenuItem*> Items;
    std::vector<TRect> Rects;   // window client coordinates
    std::vector<int> BarBreaks; // x of the lines between columns
    TSize Size;
    HWND Wnd = nullptr;
    TRect ScreenRect;
    int Selected = -1;
};

// How far in from the drop-down's edges its items sit.
int FrameWidth(const TMenuItem* parent) {
    TMenu* menu = parent ? parent->GetParentMenu() : nullptr;
    return menu ? std::max(0, menu->DropDownFrame().Width) : kFrame;
}

void LayoutLevel(TLevel& level) {
    const int frame = FrameWidth(level.Parent);
    level.Items = VisibleItems(level.Parent);
    level.Rects.assign(level.Items.size(), TRect());
    level.BarBreaks.clear();
    TBitmap bmp(1, 1);
    TCanvas& c = *bmp.Canvas();
    PrepareCanvas(c);
    int x = frame, y = frame, colWidth = 0, height = 0;
    size_t colStart = 0;
    auto closeColumn = [&](size_t end) {
        for (size_t j = colStart; j < end; ++j) {
            level.Rects[j].Left = x;
            level.Rects[j].Right = x + colWidth;
        }
    };
    for (size_t i = 0; i < level.Items.size(); ++i) {
        TMenuItem* it = level.Items[i];
        TSize s = ItemSize(it, c, false);
        if (i > 0 && it->Break() != mbNone) {
            closeColumn(i);
            x += colWidth;
            if (it->Break() == mbBarBreak) {
                level.BarBreaks.push_back(x + 1);
                x += 4;
            }
            colStart = i;
            colWidth = 0;
            y = frame;
        }
        level.Rects[i] = TRect(x, y, x, y + s.cy);
        colWidth = std::max(colWidth, s.cx);
        y += s.cy;
        height = std::max(height, y);
    }
    closeColumn(level.Items.size());
    level.Size = TSize(x + colWidth + frame, height + frame);
}

TRect WorkArea() {
    return Screen ? Screen->WorkAreaRect() : TRect(0, 0, 1920, 1080);
}

// ---- The menu bar of a form ----

TMainMenu* BarMenuOf(const TCustomForm* form) {
    auto* menu = dynamic_cast<TMainMenu*>(form->Menu());
    if (!menu || form->FormStyle() == fsMDIChild || form->Parent())
        return nullptr;
    return VisibleItems(menu->Items()).empty() ? nullptr : menu;
}

// The bar and its items, in window coordinates (the bar sits on top of the client area).
struct TBarLayout {
    TRect Bar;
    std::vector<TMenuItem*> Items;
    std::vector<TRect> Rects;
};

TBarLayout LayoutBar(TCustomForm* form) {
    TBarLayout b;
    TMainMenu* menu = form ? BarMenuOf(form) : nullptr;
    if (!menu || !form->HandleAllocated())
        return b;
    TRect client = GetClientInWindow(form->WindowHandle());
    b.Bar = TRect(client.Left, client.Top - BarHeight(), client.Right, client.Top);
    TBitmap bmp(1, 1);
    TCanvas& c = *bmp.Canvas();
    PrepareCanvas(c);
    int x = b.Bar.Left;
    for (TMenuItem* it : VisibleItems(menu->Items())) {
        if (it->IsLine())
            continue;
        TSize s = ItemSize(it, c, true);
        b.Items.push_back(it);
        b.Rects.emplace_back(x, b.Bar.Top, x + s.cx, b.Bar.Top + s.cy);
        x += s.cx;
    }
    return b;
}

TOwnerDrawState StateOf(const TMenuItem* item, bool selected) {
    TOwnerDrawState s = 0;
    if (selected)
        s |= odSelected;
    if (!item->Enabled())
        s |= odDisabled | odGrayed;
    if (item->Checked())
        s |= odChecked;
    if (item->Default())
        s |= odDefault;
    return s;
}

class TTracker;
TTracker* GTracker = nullptr;

void PaintBar(TCustomForm* form);

// ---- Tracking ----

class TTracker {
public:
    TTracker(TMenu* menu, TCustomForm* barForm) : FMenu(menu), FForm(barForm) {
        RegisterClasses();
        FWnd = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kTrackerClass, "", WS_POPUP, 0, 0, 1, 1,
                              nullptr, 0);
        GTracker = this;
        FHook = SetWindowsHookEx(WH_GETMESSAGE, [this](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            auto* msg = reinterpret_cast<TMsg*>(lParam);
            if (code == HC_ACTION && msg && (wParam & PM_REMOVE) && !FDone) {
                if (CallMsgFilter(*msg, MSGF_MENU))
                    msg->message = WM_NULL;
                else if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST)
                    msg->hwnd = FWnd;
            }
            return CallNextHookEx(FHook, code, wParam, lParam);
        });
        FLoop.Capture(FWnd);
        // A menu or form freed by a handler while the menu is open ends the loop.
        FLoop.Watch(FMenu);
        FLoop.Watch(FForm);
        FLoop.Track(FMenu);
        FLoop.Track(FForm);
    }

    ~TTracker() {
        for (TLevel& l : FLevels)
            if (l.Wnd)
                DestroyWindow(l.Wnd);
        FLevels.clear();
        if (FHook)
            UnhookWindowsHookEx(FHook);
        FLoop.ReleaseCapture();
        GTracker = nullptr;
        if (FWnd)
            DestroyWindow(FWnd);
        FBarSelected = -1;
        if (FForm)
            PaintBar(FForm);
    }

    TMenu* Menu() const { return FMenu; }
    TCustomForm* Form() const { return FForm; }
    int BarSelected() const { return FBarSelected; }
    bool BarOpen() const { return FForm && !FLevels.empty(); }
    const std::vector<TLevel>& Levels() const { return FLevels; }
    HWND Wnd() const { return FWnd; }

    // Runs until an item is chosen or the menu is closed; answers the chosen item.
    TMenuItem* Run() {
        if (LoopHook())
            LoopHook()(FMenu);
        while (!FDone && FLoop.Alive()) {
            if (Application) {
                Application->HandleMessage();
                if (Application->Terminated())
                    break;
            } else {
                TMsg m;
                if (!GetMessage(m, nullptr, 0, 0)) {
                    PostQuitMessage(static_cast<int>(m.wParam));
                    break;
                }
                TranslateMessage(m);
                DispatchMessage(m);
            }
        }
        FDone = true;
        if (!FLoop.Alive())
            FChosen = nullptr;
        return FChosen;
    }

    // Whether the menu still exists after Run (a handler may have freed it).
    bool MenuAlive() const { return FMenu != nullptr; }

    void Cancel() { FDone = true; }

    bool OpenRoot(TMenuItem* root, TPoint at, TPopupAlignment align) {
        TLevel level;
        level.Parent = root;
        LayoutLevel(level);
        if (level.Items.empty())
            return false;
        TRect work = WorkArea();
        int w = level.Size.cx, h = level.Size.cy;
        int x = align == paRight ? at.X - w : align == paCenter ? at.X - w / 2 : at.X;
        int y = at.Y;
        if (x + w > work.Right)
            x = at.X - w;
        if (y + h > work.Bottom)
            y = at.Y - h;
        x = std::max(work.Left, std::min(x, work.Right - w));
        y = std::max(work.Top, std::min(y, work.Bottom - h));
        Show(level, x, y);
        return true;
    }

    // The bar item i selected; its drop-down opened when asked.
    void SwitchBar(int i, bool open, bool selectFirst) {
        CloseLevelsFrom(0);
        FBarSelected = i;
        if (open && i >= 0) {
            TBarLayout bar = LayoutBar(FForm);
            if (i < static_cast<int>(bar.Items.size()) && HasVisibleChildren(bar.Items[i]) &&
                bar.Items[i]->Enabled()) {
                TRect r = bar.Rects[i];
                TRect wr;
                GetWindowRect(FForm->WindowHandle(), wr);
                OffsetRect(r, wr.Left, wr.Top);
                OpenLevel(bar.Items[i], r, true, selectFirst);
            }
        }
        PaintBar(FForm);
    }

    // ---- Input ----

    void OnKey(uint16_t vk) {
        if (FDone)
            return;
        if (vk == VK_MENU || vk == VK_F10) {
            FDone = true;
            return;
        }
        if (FLevels.empty()) {
            BarKey(vk);
            return;
        }
        TLevel& l = FLevels.back();
        int n = static_cast<int>(l.Items.size());
        switch (vk) {
        case VK_DOWN:
        case VK_UP: {
            int step = vk == VK_DOWN ? 1 : -1;
            int i = l.Selected;
            for (int k = 0; k < n; ++k) {
                i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
                if (!l.Items[i]->IsLine())
                    break;
            }
            Select(static_cast<int>(FLevels.size()) - 1, i);
            break;
        }
        case VK_HOME:
        case VK_END:
            for (int k = 0; k < n; ++k) {
                int i = vk == VK_HOME ? k : n - 1 - k;
                if (!l.Items[i]->IsLine()) {
                    Select(static_cast<int>(FLevels.size()) - 1, i);
                    break;
                }
            }
            break;
        case VK_RIGHT:
            if (l.Selected >= 0 && HasVisibleChildren(l.Items[l.Selected]) && l.Items[l.Selected]->Enabled())
                OpenSub(static_cast<int>(FLevels.size()) - 1, true);
            else if (FForm)
                StepBar(1);
            break;
        case VK_LEFT:
            if (FLevels.size() > 1)
                CloseLevelsFrom(FLevels.size() - 1);
            else if (FForm)
                StepBar(-1);
            break;
        case VK_RETURN:
            if (l.Selected >= 0)
                Activate(static_cast<int>(FLevels.size()) - 1, l.Selected, true);
            break;
        case VK_ESCAPE:
            CloseLevelsFrom(FLevels.size() - 1);
            if (FLevels.empty() && !FForm)
                FDone = true;
            if (FForm)
                PaintBar(FForm);
            break;
        }
    }

    void OnChar(char32_t ch) {
        if (FDone || ch < ' ')
            return;
        if (FLevels.empty()) {
            TBarLayout bar = LayoutBar(FForm);
            for (size_t i = 0; i < bar.Items.size(); ++i)
                if (IsAccel(ch, bar.Items[i]->Caption())) {
                    BarActivate(static_cast<int>(i));
                    return;
                }
            return;
        }
        int lv = static_cast<int>(FLevels.size()) - 1;
        TLevel& l = FLevels.back();
        std::vector<int> hits;
        for (size_t i = 0; i < l.Items.size(); ++i)
            if (!l.Items[i]->IsLine() && IsAccel(ch, l.Items[i]->Caption()))
                hits.push_back(static_cast<int>(i));
        if (hits.empty())
            return;
        if (hits.size() == 1) {
            Select(lv, hits[0]);
            Activate(lv, hits[0], true);
            return;
        }
        // Several items share the letter: each press moves to the next of them.
        auto next = std::upper_bound(hits.begin(), hits.end(), l.Selected);
        Select(lv, next == hits.end() ? hits[0] : *next);
    }

    void OnMouseMove(TPoint p) {
        auto [lv, i] = HitItem(p);
        if (lv >= 0) {
            if (i >= 0 && !FLevels[lv].Items[i]->IsLine()) {
                Select(lv, i);
                FHoverLevel = lv;
                KillTimer(FWnd, kHoverTimer);
                bool subShown = static_cast<int>(FLevels.size()) > lv + 1 &&
                                FLevels[lv + 1].Parent == FLevels[lv].Items[i];
                bool needsChange = !subShown && (static_cast<int>(FLevels.size()) > lv + 1 ||
                                                 HasVisibleChildren(FLevels[lv].Items[i]));
                if (needsChange)
                    SetTimer(FWnd, kHoverTimer, MenuShowDelay);
            }
            return;
        }
        if (FForm) {
            int b = HitBar(p);
            if (b >= 0 && b != FBarSelected && (!FLevels.empty() || FMouseMode))
                SwitchBar(b, true, false);
        }
    }

    void OnButtonDown(TPoint p) {
        FButtonDown = true;
        auto [lv, i] = HitItem(p);
        if (lv >= 0)
            return;
        if (FForm) {
            int b = HitBar(p);
            if (b >= 0) {
                if (b == FBarSelected && !FLevels.empty())
                    FDone = true; // a second click on the open item closes the menu
                else {
                    FMouseMode = true;
                    SwitchBar(b, true, false);
                }
                return;
            }
        }
        FDone = true; // outside every menu
    }

    void OnButtonUp(TPoint p) {
        auto [lv, i] = HitItem(p);
        if (lv >= 0 && i >= 0) {
            Activate(lv, i, false);
            return;
        }
        if (FForm) {
            int b = HitBar(p);
            TBarLayout bar = LayoutBar(FForm);
            if (b >= 0 && b == FBarSelected && !HasVisibleChildren(bar.Items[b]) && bar.Items[b]->Enabled()) {
                FChosen = bar.Items[b];
                FDone = true;
            }
        }
    }

    void OnTimer() {
        KillTimer(FWnd, kHoverTimer);
        int lv = FHoverLevel;
        if (lv < 0 || lv >= static_cast<int>(FLevels.size()))
            return;
        TLevel& l = FLevels[lv];
        if (static_cast<int>(FLevels.size()) > lv + 1 &&
            (l.Selected < 0 || FLevels[lv + 1].Parent != l.Items[l.Selected]))
            CloseLevelsFrom(lv + 1);
        if (static_cast<int>(FLevels.size()) == lv + 1 && l.Selected >= 0 &&
            HasVisibleChildren(l.Items[l.Selected]) && l.Items[l.Selected]->Enabled())
            OpenSub(lv, false);
    }

    void PaintLevel(HWND wnd) {
        for (size_t k = 0; k < FLevels.size(); ++k)
            if (FLevels[k].Wnd == wnd) {
                TPaintStruct ps;
                HDC dc = BeginPaint(wnd, ps);
                Paint(FLevels[k], dc);
                EndPaint(wnd, ps);
                return;
            }
        TPaintStruct ps;
        BeginPaint(wnd, ps);
        EndPaint(wnd, ps);
    }

    // Items changed while open: sizes and contents follow.
    void Relayout() {
        for (TLevel& l : FLevels) {
            TMenuItem* sel = l.Selected >= 0 && l.Selected < static_cast<int>(l.Items.size())
                                 ? l.Items[l.Selected]
                                 : nullptr;
            LayoutLevel(l);
            auto it = std::find(l.Items.begin(), l.Items.end(), sel);
            l.Selected = it == l.Items.end() ? -1 : static_cast<int>(it - l.Items.begin());
            if (l.Wnd) {
                SetWindowPos(l.Wnd, nullptr, 0, 0, l.Size.cx, l.Size.cy,
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                GetWindowRect(l.Wnd, l.ScreenRect);
                InvalidateRect(l.Wnd, nullptr, true);
            }
        }
    }

    // An item (or an ancestor of open levels) is going away: close what shows it.
    void ItemGoing(TMenuItem* item) {
        for (size_t k = 0; k < FLevels.size(); ++k) {
            auto& items = FLevels[k].Items;
            bool shown =
                FLevels[k].Parent == item || std::find(items.begin(), items.end(), item) != items.end();
            if (shown) {
                CloseLevelsFrom(FLevels[k].Parent == item ? k : k + 1);
                if (k < FLevels.size()) {
                    FLevels[k].Selected = -1;
                    Relayout();
                }
                break;
            }
        }
        if (FChosen == item)
            FChosen = nullptr;
        if (FLevels.empty() && !FForm)
            FDone = true;
    }

private:
    static void RegisterClasses() {
        TWndClass popup;
        popup.Name = kPopupClass;
        popup.Style = CS_SAVEBITS | CS_DROPSHADOW;
        popup.WndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            switch (m) {
            case WM_PAINT:
                if (GTracker) {
                    GTracker->PaintLevel(w);
                    return 0;
                }
                break;
            case WM_ERASEBKGND:
                return 1;
            case WM_MOUSEACTIVATE:
                return MA_NOACTIVATE;
            }
            return DefWindowProc(w, m, wp, lp);
        };
        RegisterWindowClass(popup);
        TWndClass tracker;
        tracker.Name = kTrackerClass;
        tracker.WndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            TTracker* t = GTracker;
            if (!t || t->FWnd != w)
                return DefWindowProc(w, m, wp, lp);
            auto screen = [&] {
                TPoint p = PointFromLParam(lp);
                ClientToScreen(w, p);
                return p;
            };
            switch (m) {
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                t->OnKey(static_cast<uint16_t>(wp));
                return 0;
            case WM_CHAR:
            case WM_SYSCHAR:
                t->OnChar(static_cast<char32_t>(wp));
                return 0;
            case WM_KEYUP:
            case WM_SYSKEYUP:
                return 0;
            case WM_MOUSEMOVE:
                t->OnMouseMove(screen());
                return 0;
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
            case WM_RBUTTONDBLCLK:
                t->OnButtonDown(screen());
                return 0;
            case WM_LBUTTONUP:
            case WM_RBUTTONUP:
                t->OnButtonUp(screen());
                return 0;
            case WM_TIMER:
                if (wp == kHoverTimer)
                    t->OnTimer();
                return 0;
            case WM_CAPTURECHANGED:
                if (reinterpret_cast<HWND>(lp) != w)
                    t->Cancel();
                return 0;
            case WM_CANCELMODE:
                t->Cancel();
                return 0;
            }
            return DefWindowProc(w, m, wp, lp);
        };
        RegisterWindowClass(tracker);
    }

    void Show(TLevel& level, int x, int y) {
        HWND owner = FForm ? FForm->WindowHandle() : nullptr;
        level.Wnd = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kPopupClass, "",
                                   WS_POPUP, x, y, level.Size.cx, level.Size.cy, owner, 0);
        level.ScreenRect = TRect(x, y, x + level.Size.cx, y + level.Size.cy);
        FLevels.push_back(level);
        ShowWindow(FLevels.back().Wnd, SW_SHOWNOACTIVATE);
    }

    void OpenLevel(TMenuItem* parent, const TRect& anchor, bool fromBar, bool selectFirst) {
        // The frame's window list is brought up to date as its menu opens, unless the MDI client
        // (subclassed by a menu of its own) did it.
        if (FForm && FForm->FormStyle() == fsMDIForm && FForm->WindowMenu() == parent) {
            if (!FForm->ClientHandle() || SendMessage(FForm->ClientHandle(), WM_MDIREFRESHMENU, 0, 0) == 0)
                UpdateWindowList(FForm);
        }
        // Sub-menus are prepared by the parent's OnClick; actions of the items get their update.
        if (parent->Parent() && parent->OnClick)
            parent->OnClick(parent);
        for (int i = 0; i < parent->Count(); ++i)
            parent->Items(i)->InitiateAction();
        TLevel level;
        level.Parent = parent;
        LayoutLevel(level);
        if (level.Items.empty())
            return;
        TRect work = WorkArea();
        const int frame = FrameWidth(parent);
        int w = level.Size.cx, h = level.Size.cy;
        int x = fromBar ? anchor.Left : anchor.Right - frame;
        int y = fromBar ? anchor.Bottom : anchor.Top - frame;
        if (x + w > work.Right)
            x = fromBar ? work.Right - w : anchor.Left - w + frame;
        if (y + h > work.Bottom)
            y = fromBar && anchor.Top - h >= work.Top ? anchor.Top - h : work.Bottom - h;
        x = std::max(work.Left, x);
        y = std::max(work.Top, y);
        Show(level, x, y);
        if (selectFirst)
            for (size_t i = 0; i < FLevels.back().Items.size(); ++i)
                if (!FLevels.back().Items[i]->IsLine()) {
                    Select(static_cast<int>(FLevels.size()) - 1, static_cast<int>(i));
                    break;
                }
    }

    void OpenSub(int lv, bool selectFirst) {
        CloseLevelsFrom(lv + 1);
        TLevel& l = FLevels[lv];
        TRect r = l.Rects[l.Selected];
        OffsetRect(r, l.ScreenRect.Left, l.ScreenRect.Top);
        r.Right = l.ScreenRect.Right;
        OpenLevel(l.Items[l.Selected], r, false, selectFirst);
    }

    void CloseLevelsFrom(size_t k) {
        while (FLevels.size() > k) {
            if (FLevels.back().Wnd)
                DestroyWindow(FLevels.back().Wnd);
            FLevels.pop_back();
        }
    }

    void Select(int lv, int i) {
        TLevel& l = FLevels[lv];
        if (l.Selected == i)
            return;
        auto redraw = [&](int k) {
            if (k >= 0 && k < static_cast<int>(l.Rects.size()))
                InvalidateRect(l.Wnd, &l.Rects[k], false);
        };
        redraw(l.Selected);
        l.Selected = i;
        redraw(i);
    }

    // Enter or a click on an item: a sub-menu opens, anything else is chosen.
    void Activate(int lv, int i, bool keyboard) {
        TMenuItem* it = FLevels[lv].Items[i];
        if (it->IsLine())
            return;
        if (HasVisibleChildren(it)) {
            if (it->Enabled() &&
                !(static_cast<int>(FLevels.size()) > lv + 1 && FLevels[lv + 1].Parent == it)) {
                Select(lv, i);
                OpenSub(lv, keyboard);
            }
            return;
        }
        if (!it->Enabled())
            return;
        FChosen = it;
        FDone = true;
    }

    void BarKey(uint16_t vk) {
        switch (vk) {
        case VK_LEFT:
            StepBar(-1);
            break;
        case VK_RIGHT:
            StepBar(1);
            break;
        case VK_DOWN:
        case VK_UP:
        case VK_RETURN:
            if (FBarSelected >= 0)
                BarActivate(FBarSelected);
            break;
        case VK_ESCAPE:
            FDone = true;
            break;
        }
    }

    void BarActivate(int b) {
        TBarLayout bar = LayoutBar(FForm);
        if (b < 0 || b >= static_cast<int>(bar.Items.size()))
            return;
        if (HasVisibleChildren(bar.Items[b])) {
            SwitchBar(b, true, true);
        } else if (bar.Items[b]->Enabled()) {
            FChosen = bar.Items[b];
            FDone = true;
        }
    }

    void StepBar(int step) {
        TBarLayout bar = LayoutBar(FForm);
        int n = static_cast<int>(bar.Items.size());
        if (n == 0)
            return;
        int b = FBarSelected < 0 ? 0 : (FBarSelected + step + n) % n;
        SwitchBar(b, !FLevels.empty(), true);
    }

    std::pair<int, int> HitItem(TPoint p) const {
        for (int k = static_cast<int>(FLevels.size()) - 1; k >= 0; --k) {
            const TLevel& l = FLevels[k];
            if (!l.ScreenRect.Contains(p))
                continue;
            TPoint c(p.X - l.ScreenRect.Left, p.Y - l.ScreenRect.Top);
            for (size_t i = 0; i < l.Rects.size(); ++i)
                if (l.Rects[i].Contains(c))
                    return {k, static_cast<int>(i)};
            return {k, -1};
        }
        return {-1, -1};
    }

    int HitBar(TPoint p) const {
        if (!FForm || !FForm->HandleAllocated())
            return -1;
        TRect wr;
        GetWindowRect(FForm->WindowHandle(), wr);
        TPoint c(p.X - wr.Left, p.Y - wr.Top);
        TBarLayout bar = LayoutBar(FForm);
        for (size_t i = 0; i < bar.Rects.size(); ++i)
            if (bar.Rects[i].Contains(c))
                return static_cast<int>(i);
        return -1;
    }

    void Paint(TLevel& l, HDC dc) {
        TCanvas canvas(dc);
        PrepareCanvas(canvas);
        TRect all(0, 0, l.Size.cx, l.Size.cy);
        TMenu* menu = l.Parent->GetParentMenu();
        const TMenu::TDropDownFrame* frame =
            menu && menu->DropDownFrame().Paint ? &menu->DropDownFrame() : nullptr;
        const int inset = FrameWidth(l.Parent);
        dc->FillSolidRect(all, clMenu);
        if (!frame) {
            TRect edge = all;
            DrawEdge(*dc, edge, EDGE_RAISED, BF_RECT);
        }
        for (int x : l.BarBreaks) {
            dc->FillSolidRect(TRect(x, inset, x + 1, l.Size.cy - inset), clBtnShadow);
            dc->FillSolidRect(TRect(x + 1, inset, x + 2, l.Size.cy - inset), clBtnHighlight);
        }
        for (size_t i = 0; i < l.Items.size(); ++i) {
            PrepareCanvas(canvas);
            l.Items[i]->AdvancedDrawItem(&canvas, l.Rects[i],
                                         StateOf(l.Items[i], static_cast<int>(i) == l.Selected), false);
        }
        if (frame) {
            PrepareCanvas(canvas);
            frame->Paint(l.Parent, &canvas, all);
        }
        canvas.SetHandle(nullptr);
    }

    // First, so that it gives the capture and the state back after the rest is gone.
    TModalLoop FLoop;
    TMenu* FMenu;
    TCustomForm* FForm;
    HWND FWnd = nullptr;
    HHOOK FHook = nullptr;
    std::vector<TLevel> FLevels;
    int FBarSelected = -1;
    int FHoverLevel = -1;
    bool FDone = false;
    bool FMouseMode = false;
    bool FButtonDown = false;
    TMenuItem* FChosen = nullptr;
};

void PaintBar(TCustomForm* form) {
    if (!form || !form->HandleAllocated())
        return;
    TBarLayout bar = LayoutBar(form);
    if (bar.Items.empty())
        return;
    HDC dc = GetWindowDC(form->WindowHandle());
    if (!dc)
        return;
    TCanvas canvas(dc);
    PrepareCanvas(canvas);
    dc->FillSolidRect(bar.Bar, clBtnFace);
    bool tracking = GTracker && GTracker->Form() == form;
    for (size_t i = 0; i < bar.Items.size(); ++i) {
        bool hot = tracking && GTracker->BarSelected() == static_cast<int>(i);
        TOwnerDrawState s = StateOf(bar.Items[i], hot && GTracker->BarOpen());
        if (hot && !GTracker->BarOpen())
            s |= odHotLight;
        PrepareCanvas(canvas);
        bar.Items[i]->AdvancedDrawItem(&canvas, bar.Rects[i], s, true);
    }
    canvas.SetHandle(nullptr);
    ReleaseDC(form->WindowHandle(), dc);
}

// Tracks the bar of a form from item `index` (keyboard: the first item highlighted, nothing open).
void TrackBar(TCustomForm* form, int index, bool open, bool keyboard) {
    TMainMenu* menu = BarMenuOf(form);
    if (!menu || GTracker)
        return;
    TMenuItem* chosen = nullptr;
    {
        TTracker t(menu, form);
        t.SwitchBar(index, open, keyboard);
        chosen = t.Run();
    }
    if (chosen)
        chosen->Click();
}

bool FormMessage(TCustomForm* form, TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE: {
        if (!BarMenuOf(form))
            return false;
        form->TWinControl::Dispatch(Message);
        auto* params = reinterpret_cast<TNCCalcSizeParams*>(Message.LParam);
        TRect& r = params->rgrc[0];
        r.Top = std::min(r.Bottom, r.Top + BarHeight());
        return true;
    }
    case WM_NCPAINT:
        if (!BarMenuOf(form))
            return false;
        form->TWinControl::Dispatch(Message);
        PaintBar(form);
        return true;
    case WM_NCHITTEST: {
        TBarLayout bar = LayoutBar(form);
        if (bar.Items.empty())
            return false;
        TRect wr;
        GetWindowRect(form->WindowHandle(), wr);
        TPoint p = PointFromLParam(Message.LParam);
        if (bar.Bar.Contains(TPoint(p.X - wr.Left, p.Y - wr.Top))) {
            Message.Result = HTMENU;
            return true;
        }
        return false;
    }
    case WM_NCLBUTTONDOWN: {
        if (Message.WParam != HTMENU)
            return false;
        TBarLayout bar = LayoutBar(form);
        TRect wr;
        GetWindowRect(form->WindowHandle(), wr);
        TPoint p = PointFromLParam(Message.LParam);
        TPoint c(p.X - wr.Left, p.Y - wr.Top);
        for (size_t i = 0; i < bar.Rects.size(); ++i)
            if (bar.Rects[i].Contains(c)) {
                TrackBar(form, static_cast<int>(i), true, false);
                break;
            }
        Message.Result = 0;
        return true;
    }
    case WM_SYSCOMMAND: {
        if ((Message.WParam & 0xFFF0) != SC_KEYMENU || Message.LParam == ' ' || Message.LParam == '-')
            return false;
        TBarLayout bar = LayoutBar(form);
        if (bar.Items.empty() || GTracker || GetCapture())
            return false;
        if (Message.LParam == 0) {
            TrackBar(form, 0, false, true);
            Message.Result = 0;
            return true;
        }
        for (size_t i = 0; i < bar.Items.size(); ++i)
            if (IsAccel(static_cast<char32_t>(Message.LParam), bar.Items[i]->Caption())) {
                if (HasVisibleChildren(bar.Items[i]))
                    TrackBar(form, static_cast<int>(i), true, true);
                else if (bar.Items[i]->Enabled())
                    bar.Items[i]->Click();
                Message.Result = 0;
                return true;
            }
        return false;
    }
    }
    return false;
}

} // namespace

namespace menu_detail {
void ItemDestroying(TMenuItem* item) {
    if (GTracker)
        GTracker->ItemGoing(item);
}
} // namespace menu_detail

void TMenu::UpdateItems() {
    if (GTracker && GTracker->Menu() == this)
        GTracker->Relayout();
}

void TMainMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
    TMenu::MenuChanged(Sender, Source, Rebuild);
    if (ComponentState() & (csLoading | csDestroying))
        return;
    for (TCustomForm* f : Forms()) {
        if (!f->HandleAllocated())
            continue;
        if (Rebuild)
            SetWindowPos(f->WindowHandle(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        PaintBar(f);
    }
}

void TPopupMenu::Popup(int X, int Y) {
    if (GTracker)
        return;
    FPopupPoint = TPoint(X, Y);
    DoPopup(this);
    for (int i = 0; i < Items()->Count(); ++i)
        Items()->Items(i)->InitiateAction();
    TMenuItem* chosen = nullptr;
    {
        TTracker t(this, nullptr);
        if (!t.OpenRoot(Items(), TPoint(X, Y), FAlignment))
            return;
        chosen = t.Run();
        if (!t.MenuAlive())
            return;
    }
    if (OnClose)
        OnClose(this);
    if (chosen)
        chosen->Click();
}

bool MenuTracking() {
    return GTracker != nullptr;
}

TMenuItem* MenuSelectedItem() {
    if (!GTracker || GTracker->Levels().empty())
        return nullptr;
    const TLevel& l = GTracker->Levels().back();
    return l.Selected >= 0 && l.Selected < static_cast<int>(l.Items.size()) ? l.Items[l.Selected] : nullptr;
}

HWND MenuItemWindow(const TMenuItem* Item) {
    if (GTracker)
        for (const TLevel& l : GTracker->Levels())
            if (std::find(l.Items.begin(), l.Items.end(), Item) != l.Items.end())
                return l.Wnd;
    return nullptr;
}

bool GetMenuItemRect(const TMenuItem* Item, TRect& Rect) {
    if (GTracker)
        for (const TLevel& l : GTracker->Levels())
            for (size_t i = 0; i < l.Items.size(); ++i)
                if (l.Items[i] == Item) {
                    Rect = l.Rects[i];
                    OffsetRect(Rect, l.ScreenRect.Left, l.ScreenRect.Top);
                    return true;
                }
    if (auto* menu = dynamic_cast<TMainMenu*>(Item->GetParentMenu()))
        for (TCustomForm* f : menu->Forms()) {
            TBarLayout bar = LayoutBar(f);
            for (size_t i = 0; i < bar.Items.size(); ++i)
                if (bar.Items[i] == Item) {
                    TRect wr;
                    GetWindowRect(f->WindowHandle(), wr);
                    Rect = bar.Rects[i];
                    OffsetRect(Rect, wr.Left, wr.Top);
                    return true;
                }
        }
    return false;
}

void CloseMenus() {
    if (GTracker)
        GTracker->Cancel();
}

void SetMenuLoopHook(TMenuLoopHook Hook) {
    LoopHook() = std::move(Hook);
}

void InstallFormMenuHooks() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    TFormMenuHooks hooks;
    hooks.Message = FormMessage;
    hooks.BarHeight = [](const TCustomForm* form) { return BarMenuOf(form) ? BarHeight() : 0; };
    hooks.ShortCut = [](TCustomForm* form, TMessage& Message) {
        for (int i = 0; i < form->ComponentCount(); ++i)
            if (auto* list = dynamic_cast<TActionList*>(form->Components(i)))
                if (list->IsShortCut(Message))
                    return true;
        return false;
    };
    SetFormMenuHooks(std::move(hooks));
    SetMenuShortCutHandler([](TComponent* menu, TMessage& Message) {
        auto* m = dynamic_cast<TMenu*>(menu);
        return m && !GTracker && m->IsShortCut(Message);
    });
    SetPopupMenuHandler([](TControl* control, TComponent* menu, TPoint pos) {
        auto* pm = dynamic_cast<TPopupMenu*>(menu);
        if (!pm || !pm->AutoPopup() || GTracker)
            return false;
        pm->SetPopupComponent(control);
        pm->Popup(pos.X, pos.Y);
        return true;
    });
}

void UpdateWindowList(TCustomForm* Frame) {
    if (!Frame || Frame->FormStyle() != fsMDIForm)
        return;
    auto* menu = dynamic_cast<TMenuItem*>(Frame->WindowMenu());
    if (!menu)
        return;
    for (int i = menu->Count() - 1; i >= 0; --i)
        if (dynamic_cast<TWindowListItem*>(menu->Items(i)))
            menu->Delete(i);
    int n = Frame->MDIChildCount();
    if (n == 0)
        return;
    auto* line = new TWindowListItem(nullptr);
    line->SetCaption("-");
    menu->Add(line);
    TCustomForm* active = Frame->ActiveMDIChild();
    for (int i = 0; i < n; ++i) {
        TCustomForm* child = Frame->MDIChildren(i);
        auto* item = new TWindowListItem(nullptr);
        item->SetCaption("&" + std::to_string(i + 1) + " " + child->Caption());
        item->SetRadioItem(true);
        item->SetGroupIndex(205);
        item->SetChecked(child == active);
        item->SetTag(reinterpret_cast<intptr_t>(child->Handle()));
        HWND client = Frame->ClientHandle();
        item->OnClick = [client](TObject* sender) {
            auto* it = static_cast<TMenuItem*>(sender);
            HWND wnd = reinterpret_cast<HWND>(it->Tag());
            if (!IsWindow(wnd))
                return;
            if (IsIconic(wnd))
                ShowWindow(wnd, SW_RESTORE);
            SendMessage(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(wnd), 0);
            it->SetChecked(true);
        };
        menu->Add(item);
    }
}

TSize DropDownSize(TMenuItem* Parent) {
    if (!Parent)
        return TSize(0, 0);
    TLevel level;
    level.Parent = Parent;
    LayoutLevel(level);
    return level.Size;
}

} // namespace plat
