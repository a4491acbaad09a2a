#include <algorithm>

#include "platform/rtl/StringUtils.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Messages.h"
#include "platform/ui/SystemServices.h"
#include "platform/ui/Timer.h"
#include "ui/office/KvxOfficePager.h"

namespace ui::pager {

using namespace plat;

namespace {

constexpr int kGlowInterval = 50;
constexpr int kGlowStep = 20;

// The key tips hold letters and digits only; any other key (F1 included, whose code is a letter's) adds
// nothing to the typed prefix.
char KeyTipChar(uint16_t Key) {
    if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9'))
        return static_cast<char>(Key);
    return 0;
}

} // namespace

// ---- Glow ------------------------------------------------------------------------------------------------

void TKvxOfficePager::StartGlow(TKvxOfficePage* Page, int Step, int State) {
    if (!Page->GlowTimer && Glow) {
        // Owned by no component: the page frees it, and a pager-owned timer could go first.
        Page->GlowTimer = new TTimer(nullptr);
        Page->GlowTimer->SetInterval(kGlowInterval);
        Page->GlowTimer->SetOnTimer([Page](TObject* s) { Page->GlowFadeStep(s); });
        Page->GlowTimer->SetEnabled(true);
    }
    Page->GlowStep = Step;
    Page->GlowState = State;
}

void TKvxOfficePage::GlowFadeStep(TObject*) {
    TKvxOfficePager* P = FPager;
    if (GlowState == 0) {
        GlowLevel += GlowStep;
        if (GlowLevel > 100 && GlowStep > 0 && P) {
            GlowLevel = 120;
            const TPoint c = P->ScreenToClient(Mouse->CursorPos());
            if (!P->GetPageTabRect(this).Contains(c)) {
                GlowStep = -kGlowStep;
                GlowState = 0;
                P->SetHotTabIndex(-1);
                return;
            }
        } else if (GlowLevel < 0 && GlowStep < 0) {
            FreeGlowTimer();
            GlowState = 2;
            if (P)
                P->InvalidateTab(-1);
        } else {
            if (P)
                P->InvalidateTab(-1);
            return;
        }
        ClickGlowLevel = 0;
        if (GlowLevel > 100)
            GlowLevel = 120;
        else if (GlowLevel < 0)
            GlowLevel = -20;
    } else if (GlowState == 1) {
        ClickGlowLevel += GlowStep;
        if ((ClickGlowLevel > 100 && GlowStep > 0) || (ClickGlowLevel < 0 && GlowStep < 0)) {
            FreeGlowTimer();
            GlowState = 2;
            ClickGlowLevel = 0;
        } else if (P) {
            P->InvalidateTab(-1);
        }
    }
}

// ---- Mouse -----------------------------------------------------------------------------------------------

void TKvxOfficePager::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (Designing() || !GetTabsBandRect().Contains(TPoint(X, Y)))
        return;
    const int I = TabAtPos(X, Y);
    auto clearDown = [this] {
        if (FDownTabIndex >= 0) {
            FDownTabIndex = -1;
            InvalidateTab(-1);
        }
    };
    auto fadeOutHot = [this] {
        if (FHotTabIndex >= 0 && FHotTabIndex < PageCount())
            StartGlow(Pages(FHotTabIndex), -kGlowStep, 0);
        FHotTabIndex = -1;
        InvalidateTab(-1);
    };
    if (I >= 0 && I != FHotTabIndex) {
        clearDown();
        if (FHotTabIndex >= 0)
            fadeOutHot();
        if (Pages(I)->TabEnabled()) {
            FHotTabIndex = I;
            StartGlow(Pages(I), kGlowStep, 0);
            Invalidate();
        }
        if (I != FHintTabIndex) {
            FHintTabIndex = I;
            if (Application)
                Application->CancelHint();
        }
    } else if (I < 0 && FHotTabIndex >= 0) {
        clearDown();
        fadeOutHot();
    }
    if (I < 0 && FHintTabIndex != -1) {
        FHintTabIndex = -1;
        if (Application)
            Application->CancelHint();
    }
}

void TKvxOfficePager::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    FDownTabIndex = -1;
    if (!GetTabsBandRect().Contains(TPoint(X, Y)))
        return;
    const int I = TabAtPos(X, Y);
    if (I < 0)
        return;
    if (Button == mbLeft && OnTabClick)
        OnTabClick(this, I);
    else if (Button == mbRight && OnTabRightClick)
        OnTabRightClick(this, I);
    if (I >= PageCount())
        return;
    if (I != FActivePageIndex && Pages(I)->TabEnabled()) {
        SelectPageIndex(I);
        if (!Designing() && I < PageCount())
            StartGlow(Pages(I), kGlowStep, 1);
        Invalidate();
    } else {
        FDownTabIndex = I;
        InvalidateTab(-1);
    }
    if (Button == mbLeft && TabReorder && I < PageCount() && Pages(I)->TabEnabled())
        BeginDrag(false, 4);
}

void TKvxOfficePager::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FDownTabIndex >= 0) {
        FDownTabIndex = -1;
        InvalidateTab(-1);
    }
}

void TKvxOfficePager::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    TCustomControl::DragOver(Source, X, Y, State, Accept);
    const int t = TabAtPos(X, Y);
    Accept = t >= 0 && t < PageCount() && Source == this;
}

void TKvxOfficePager::DragDrop(TObject* Source, int X, int Y) {
    TCustomControl::DragDrop(Source, X, Y);
    if (Source != this)
        return;
    const int from = FActivePageIndex, to = TabAtPos(X, Y);
    if (from < 0 || from >= PageCount() || to < 0 || to >= PageCount() || from == to)
        return;
    MovePage(from, to);
    Invalidate();
    RepaintActivePage();
}

// ---- Key tips --------------------------------------------------------------------------------------------

void TKvxOfficePager::DisplayShortCutHints() {
    if (!ShowShortCutHints)
        return;
    for (int i = 0; i < PageCount(); ++i)
        Pages(i)->ShowShortCutHint();
    FShortCutHintsShowing = true;
    FShortCutPrefix.clear();
    if (Designing() || FHookedForm)
        return;
    for (TWinControl* p = Parent(); p; p = p->Parent()) {
        if (dynamic_cast<TCustomForm*>(p)) {
            // Moving, sizing, clicking or resizing the form must take the key tips away: the pager sees
            // the form's messages first-hand while they show.
            FHookedForm = p;
            FSavedFormWindowProc = p->WindowProc;
            p->WindowProc = [this](TMessage& M) { FormWindowProc(M); };
            p->FreeNotification(this);
            break;
        }
    }
}

void TKvxOfficePager::HideShortCutHints() {
    for (int i = 0; i < PageCount(); ++i)
        Pages(i)->HideShortCutHint();
    FShortCutHintsShowing = false;
    if (!Designing())
        UnhookForm();
}

void TKvxOfficePager::UnhookForm() {
    TWinControl* form = std::exchange(FHookedForm, nullptr);
    if (!form)
        return;
    form->WindowProc = std::move(FSavedFormWindowProc);
    FSavedFormWindowProc = nullptr;
}

void TKvxOfficePager::FormWindowProc(TMessage& Message) {
    // The saved procedure may be taken back while it runs (a hint hidden by its own handling): keep a copy.
    TWndMethod saved = FSavedFormWindowProc;
    if (saved)
        saved(Message);
    switch (Message.Msg) {
    case WM_MOVING:
    case WM_LBUTTONDOWN:
    case WM_SIZE:
        HideShortCutHints();
        break;
    case WM_SYSCOMMAND:
        if ((Message.WParam & 0xFFF0) == SC_MAXIMIZE || (Message.WParam & 0xFFF0) == SC_MINIMIZE)
            HideShortCutHints();
        break;
    default:
        break;
    }
}

void TKvxOfficePager::ShortCutKey(uint16_t Key) {
    const char c = KeyTipChar(Key);
    if (!c) {
        // Nothing a tip could hold: the tips stay as they are.
        MessageBeep(0);
        return;
    }
    FShortCutPrefix += c;
    bool found = false;
    int visible = 0;
    for (int i = 0; i < PageCount(); ++i) {
        TKvxOfficePage* page = Pages(i);
        if (SameText(page->ShortCutHint, FShortCutPrefix)) {
            HideShortCutHints();
            SetActivePageIndex(i);
            found = true;
            break;
        }
        if (!page->ShortCutHint.empty()) {
            if (!c || !SameText(page->ShortCutHint.substr(0, FShortCutPrefix.size()), FShortCutPrefix))
                page->HideShortCutHint();
            else
                found = true;
        }
        if (page->ShortCutHintWindow() && page->ShortCutHintWindow()->Visible())
            ++visible;
    }
    if (visible == 0)
        FShortCutHintsShowing = false;
    if (!found)
        MessageBeep(0);
}

// ---- Messages --------------------------------------------------------------------------------------------

void TKvxOfficePager::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        TCustomControl::WndProc(Message);
        UpdatePageBounds();
        UpdateTabScroller();
        return;
    case WM_DESTROY:
        if (!Designing())
            UnhookForm();
        break;
    case WM_LBUTTONDBLCLK: {
        TCustomControl::WndProc(Message);
        const int x = static_cast<int16_t>(Message.LParamLo()), y = static_cast<int16_t>(Message.LParamHi());
        if (GetTabsBandRect().Contains(TPoint(x, y))) {
            const int i = TabAtPos(x, y);
            if (i >= 0 && OnTabDblClick)
                OnTabDblClick(this, i);
        }
        return;
    }
    case CM_MOUSELEAVE: {
        TCustomControl::WndProc(Message);
        FHintTabIndex = -1;
        if (Designing())
            return;
        const TPoint p = ScreenToClient(Mouse->CursorPos());
        TRect inner = GetTabsRect();
        switch (FTabPosition) {
        case tpTop:
            inner.Bottom -= 4;
            break;
        case tpBottom:
            inner.Top += 4;
            break;
        case tpLeft:
            inner.Right -= 4;
            break;
        case tpRight:
            inner.Left += 4;
            break;
        }
        if (inner.Contains(p))
            return;
        if (FHotTabIndex >= 0 && FHotTabIndex == FActivePageIndex) {
            FHotTabIndex = -1;
            Invalidate();
        } else if (FHotTabIndex >= 0 && FHotTabIndex < PageCount()) {
            StartGlow(Pages(FHotTabIndex), -kGlowStep, 0);
            FHotTabIndex = -1;
            InvalidateTab(-1);
        }
        return;
    }
    case CM_HINTSHOW: {
        auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
        if (info) {
            if (!ShowTabHint)
                info->HintStr.clear();
            else if (FHintTabIndex >= 0 && FHintTabIndex < PageCount())
                info->HintStr = Pages(FHintTabIndex)->TabHint;
        }
        return;
    }
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_KEYDOWN: {
        const auto key = static_cast<uint16_t>(Message.WParam);
        switch (key) {
        case VK_TAB:
            if (TWinControl* parent = Parent())
                if (TWinControl* next = parent->FindNextControl(this, true, true, false))
                    if (next->Parent() == parent && next->CanFocus())
                        next->SetFocus();
            break;
        case VK_ESCAPE:
            HideShortCutHints();
            break;
        case VK_LEFT:
        case VK_UP:
            HideShortCutHints();
            SelectNextPage(false);
            break;
        case VK_RIGHT:
        case VK_DOWN:
            HideShortCutHints();
            SelectNextPage(true);
            break;
        default:
            if (FShortCutHintsShowing)
                ShortCutKey(key);
            break;
        }
        break;
    }
    case CM_DIALOGCHAR:
        for (int i = 0; i < PageCount(); ++i) {
            TKvxOfficePage* page = Pages(i);
            if (IsAccel(static_cast<char32_t>(Message.WParam), page->Caption()) && page->TabVisible() &&
                CanFocus()) {
                SetActivePageIndex(i);
                Message.Result = 1;
                return;
            }
        }
        break;
    case CM_FOCUSCHANGED: {
        TCustomControl::WndProc(Message);
        auto* to = reinterpret_cast<TWinControl*>(Message.LParam);
        if (to != this && FShortCutHintsShowing)
            HideShortCutHints();
        if (to == this && !(ComponentState() & (csLoading | csDesigning)))
            DisplayShortCutHints();
        InvalidateTab(-1);
        return;
    }
    case WM_KILLFOCUS:
        if (FShortCutHintsShowing)
            HideShortCutHints();
        break;
    case CM_DESIGNHITTEST:
        if (Designing()) {
            const int x = static_cast<int16_t>(Message.LParamLo()),
                      y = static_cast<int16_t>(Message.LParamHi());
            if (GetTabsRect().Contains(TPoint(x, y)) && TabAtPos(x, y) >= 0) {
                Message.Result = 1;
                return;
            }
        }
        break;
    default:
        break;
    }
    TCustomControl::WndProc(Message);
}

} // namespace ui::pager
