// The menu-bar side of the toolbar: menu buttons made from a main menu, the keyboard menu mode, the
// window list of an MDI frame and the minimize, restore and close buttons of a maximized MDI child.
#include <algorithm>
#include <cctype>

#include "platform/backend/InputCodes.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/HintWindow.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Timer.h"
#include "ui/drawing/KvxMenus.h"
#include "ui/toolbars/KvxOptionWindow.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarDraw.h"
#include "ui/toolbars/KvxToolBarStylers.h"

namespace ui {

using plat::TCanvas;
using plat::TColor;
using plat::TPoint;
using plat::TRect;

namespace {

// One toolbar at a time owns the keyboard in menu mode.
TKvxCustomToolBar* gMenuModeToolBar = nullptr;

constexpr int kMDIButtonSize = 18;

bool IsMenuButtonOf(const TKvxCustomToolBar* Bar, const plat::TControl* C) {
    auto* b = dynamic_cast<const TKvxToolBarMenuButton*>(C);
    return b && b->KvxToolBar() == Bar;
}

} // namespace

TKvxCustomToolBar* TKvxCustomToolBar::MenuModeToolBar() {
    return gMenuModeToolBar;
}

// ---- Menu buttons ----

void TKvxCustomToolBar::SetMenu(plat::TMainMenu* Value) {
    if (Value == FMenu)
        return;
    FreeMenuButtons();
    if (FMenu) {
        FMenu->RemoveFreeNotification(this);
        FMenu->RemoveChangeListener(this);
    }
    FMenu = Value;
    if (!FMenu) {
        FFormKeyFilter.Remove();
        return;
    }
    FMenu->FreeNotification(this);
    FMenu->AddChangeListener(
        this, [this](plat::TObject*, plat::TMenuItem* Source, bool) { MenuItemsChanged(Source); });
    HookFormKeys();
    if (FMenu->Images())
        SetImages(FMenu->Images());
    plat::TMenuItem* root = FMenu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        // Owned by the toolbar, so that a layout written from the form does not store them.
        auto* b = new TKvxToolBarMenuButton(this);
        b->AutoCreated = true;
        b->SetShowCaption(true);
        b->SetAutoSize(true);
        b->SetKvxToolBar(this);
        b->SetMenuItem(root->Items(i));
    }
    ArrangeControls();
}

void TKvxCustomToolBar::HookFormKeys() {
    plat::TCustomForm* form = FMenu && !Loading() && !Designing() ? GetToolBarForm() : nullptr;
    // A form without a window yet gets the hook when the bar's own window is made (CreateWnd): asking for
    // its handle here would make the window while the form is still being read.
    if (!form || !form->HandleAllocated()) {
        FFormKeyFilter.Remove();
        return;
    }
    if (FFormKeyFilter.Installed() && FFormKeyFilter.Window() == form->Handle())
        return;
    FFormKeyFilter.Install(form->Handle(),
                           [this](plat::HWND wnd, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
                               if (msg == plat::WM_SYSCOMMAND && FMenu) {
                                   plat::TMessage m;
                                   m.Msg = msg, m.WParam = w, m.LParam = l;
                                   if (MenuBarDispatch(m))
                                       return m.Result;
                               }
                               return plat::DefSubclassProc(wnd, msg, w, l);
                           });
}

void TKvxCustomToolBar::RelinkMenuButtons() {
    if (!FMenu)
        return;
    plat::TMenuItem* root = FMenu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TKvxToolBarMenuButton* found = nullptr;
        for (plat::TControl* c : FOrderedControls)
            if (auto* b = dynamic_cast<TKvxToolBarMenuButton*>(c);
                b && b->AutoCreated && b->MenuItem() == root->Items(i))
                found = b;
        if (!found) {
            plat::TMainMenu* menu = FMenu;
            SetMenu(nullptr);
            SetMenu(menu);
            return;
        }
        found->SetMenuItem(root->Items(i));
    }
}

void TKvxCustomToolBar::MenuItemsChanged(plat::TMenuItem* Source) {
    if (!FMenu || (ComponentState() & (plat::csLoading | plat::csDestroying)))
        return;
    plat::TMenuItem* root = FMenu->Items();
    if (Source && Source != root) {
        // One item changed: its button takes its caption, state and visibility again.
        if (Source->Parent() != root)
            return;
        bool changed = false;
        for (plat::TControl* c : FOrderedControls)
            if (auto* b = dynamic_cast<TKvxToolBarMenuButton*>(c);
                b && b->MenuItem() == Source && !b->Merged) {
                b->SetMenuItem(Source);
                changed = true;
            }
        if (changed)
            ArrangeControls();
        return;
    }
    // Items came or went. The open menu's button must outlive its menu: follow once it closed.
    if (FMenuDropped) {
        FMenuSyncPending = true;
        return;
    }
    SyncMenuButtons();
}

void TKvxCustomToolBar::SyncMenuButtons() {
    FMenuSyncPending = false;
    if (!FMenu)
        return;
    plat::TMenuItem* root = FMenu->Items();
    std::vector<plat::TMenuItem*> shown;
    for (plat::TControl* c : FOrderedControls)
        if (auto* b = dynamic_cast<TKvxToolBarMenuButton*>(c); b && b->AutoCreated && !b->Merged)
            shown.push_back(b->MenuItem());
    std::vector<plat::TMenuItem*> wanted;
    for (int i = 0; i < root->Count(); ++i)
        wanted.push_back(root->Items(i));
    if (shown == wanted)
        return;
    // The buttons are made again in the menu's order; a merged child menu is merged again.
    plat::TMainMenu* menu = FMenu;
    plat::TMainMenu* merged = FMergedMenu;
    FSwitchTarget = nullptr;
    FDelayedHotButton = nullptr;
    Unmerge();
    SetMenu(nullptr);
    SetMenu(menu);
    if (merged)
        MergeMenu(merged);
}

void TKvxCustomToolBar::MergeMenu(plat::TMainMenu* ChildMenu) {
    if (!ChildMenu || !FMenu) {
        Unmerge();
        return;
    }
    if (ChildMenu == FMergedMenu || ChildMenu == FMenu)
        return;
    Unmerge();
    FMergedMenu = ChildMenu;
    FMergedMenu->FreeNotification(this);
    plat::TMenuItem* childRoot = ChildMenu->Items();
    for (int i = 0; i < childRoot->Count(); ++i) {
        plat::TMenuItem* item = childRoot->Items(i);
        TKvxToolBarMenuButton* target = nullptr;
        for (plat::TControl* c : FOrderedControls) {
            auto* b = dynamic_cast<TKvxToolBarMenuButton*>(c);
            if (b && b->AutoCreated && !b->Merged && b->MenuItem() && b->MenuItem()->GroupIndex() != 0 &&
                b->MenuItem()->GroupIndex() == item->GroupIndex()) {
                target = b;
                break;
            }
        }
        if (!target) {
            target = new TKvxToolBarMenuButton(this);
            target->SetShowCaption(true);
            target->SetAutoSize(true);
            target->SetKvxToolBar(this);
        }
        target->Merged = true;
        target->SetMenuItem(item);
    }
    ArrangeControls();
}

void TKvxCustomToolBar::Unmerge() {
    if (!FMergedMenu)
        return;
    FMergedMenu->RemoveFreeNotification(this);
    FMergedMenu = nullptr;
    FreeMergedButtons();
    ArrangeControls();
}

// The buttons a merge added or took over go, last first; the main menu's are made again where needed.
void TKvxCustomToolBar::FreeMergedButtons() {
    for (auto it = FOrderedControls.rbegin(); it != FOrderedControls.rend();) {
        auto* b = dynamic_cast<TKvxToolBarMenuButton*>(*it);
        ++it;
        if (b && b->Merged)
            delete b;
    }
    RelinkMenuButtons();
}

// The buttons made from the menu go; buttons placed by hand stay.
void TKvxCustomToolBar::FreeMenuButtons() {
    for (auto it = FOrderedControls.rbegin(); it != FOrderedControls.rend();) {
        auto* b = dynamic_cast<TKvxToolBarMenuButton*>(*it);
        ++it;
        if (b && b->AutoCreated)
            delete b;
    }
}

namespace {

std::vector<plat::TWinControl*> FocusCandidates(const TKvxCustomToolBar* Bar, bool FocusableOnly) {
    std::vector<plat::TWinControl*> list;
    Bar->GetTabOrderList(list);
    std::erase_if(list, [FocusableOnly](plat::TWinControl* c) {
        return dynamic_cast<plat::THintWindow*>(c) || dynamic_cast<TKvxCustomToolBar*>(c) ||
               (FocusableOnly && !c->CanFocus());
    });
    return list;
}

} // namespace

plat::TWinControl* TKvxCustomToolBar::FirstFocusableControl(bool FocusableOnly) const {
    const auto list = FocusCandidates(this, FocusableOnly);
    return list.empty() ? nullptr : list.front();
}

plat::TWinControl* TKvxCustomToolBar::LastFocusableControl(bool FocusableOnly) const {
    const auto list = FocusCandidates(this, FocusableOnly);
    return list.empty() ? nullptr : list.back();
}

bool TKvxCustomToolBar::IsEligibleMenuButton(const plat::TControl* Control) const {
    if (!IsMenuButtonOf(this, Control) || !Control->Visible() || !Control->Enabled())
        return false;
    return !(Docked() && InOverflow(Control));
}

bool TKvxCustomToolBar::SelectButton(TKvxCustomToolBarButton* Button) {
    if (Button) {
        Button->SetHot(true);
        return true;
    }
    if (!FHotButton)
        return false;
    FHotButton->SetHot(false);
    return true;
}

bool TKvxCustomToolBar::SelectMenuButton(int N) {
    if (N < 0) {
        SelectButton(nullptr);
        return true;
    }
    int ordinal = 0;
    for (plat::TControl* c : FOrderedControls) {
        if (!IsEligibleMenuButton(c))
            continue;
        if (ordinal++ == N)
            return SelectButton(static_cast<TKvxCustomToolBarButton*>(c));
    }
    return false;
}

int TKvxCustomToolBar::HotMenuButtonOrdinal() const {
    int ordinal = 0;
    for (plat::TControl* c : FOrderedControls) {
        if (!IsEligibleMenuButton(c))
            continue;
        if (c == FHotButton)
            return ordinal;
        ++ordinal;
    }
    return -1;
}

// ---- Keyboard menu mode ----

bool TKvxCustomToolBar::EnterMenuMode(TKvxCustomToolBarButton* Button) {
    gMenuModeToolBar = this;
    FMenuMode = true;
    plat::SetCaptureControl(this);
    FMenuKeyHook.Install(plat::WH_GETMESSAGE, [this](int code, plat::WPARAM wParam, plat::LPARAM lParam) {
        auto* msg = reinterpret_cast<plat::TMsg*>(lParam);
        if (code == plat::HC_ACTION && (wParam & plat::PM_REMOVE) && msg && !MenuDropped() &&
            HandleAllocated()) {
            switch (msg->message) {
            case plat::WM_KEYDOWN:
            case plat::WM_KEYUP:
            case plat::WM_CHAR:
            case plat::WM_SYSKEYDOWN:
            case plat::WM_SYSKEYUP:
                msg->hwnd = WindowHandle();
                break;
            }
        }
        return FMenuKeyHook.CallNext(code, wParam, lParam);
    });
    if (Button) {
        int ordinal = 0;
        for (plat::TControl* c : FOrderedControls) {
            if (c == Button)
                break;
            if (IsEligibleMenuButton(c))
                ++ordinal;
        }
        SelectMenuButton(ordinal);
        Button->OpenButtonMenu();
        return FMenuResult;
    }
    FBarNavigation = true;
    if (FDelayedHotButton && IsEligibleMenuButton(FDelayedHotButton))
        return SelectButton(std::exchange(FDelayedHotButton, nullptr));
    return SelectMenuButton(0);
}

void TKvxCustomToolBar::DelayedHotTick() {
    FMenuTimer->SetEnabled(false);
    if (!FDelayedHotButton)
        return;
    if (!FMenuMode) {
        // The menu was dropped by the pointer: the keys now work the bar, from the delayed button.
        TrackMenu(nullptr);
        return;
    }
    FBarNavigation = true;
    if (IsEligibleMenuButton(FDelayedHotButton))
        SelectButton(FDelayedHotButton);
    FDelayedHotButton = nullptr;
}

void TKvxCustomToolBar::ExitMenuMode() {
    FMenuKeyHook.Remove();
    FDelayedHotButton = nullptr;
    if (FMenuTimer)
        FMenuTimer->SetEnabled(false);
    if (FMenuMode && plat::GetCaptureControl() == this)
        plat::SetCaptureControl(nullptr);
    if (gMenuModeToolBar == this)
        gMenuModeToolBar = nullptr;
    FMenuMode = false;
    FBarNavigation = false;
    SelectMenuButton(-1);
}

bool TKvxCustomToolBar::TrackMenu(TKvxCustomToolBarButton* Button) {
    if (FMenuMode) {
        if (!Button)
            return false;
        SelectButton(Button);
        Button->OpenButtonMenu();
        return true;
    }
    FMenuResult = false;
    plat::ScopeGuard leave([this] { ExitMenuMode(); });
    EnterMenuMode(Button);
    if (FMenu) {
        // The bar owns the keyboard until a key, a click elsewhere or the end of the program ends the mode.
        while (FMenuMode && !(ComponentState() & plat::csDestroying)) {
            if (plat::Application->Terminated()) {
                FMenuMode = false;
                break;
            }
            plat::Application->HandleMessage();
        }
    }
    return FMenuResult;
}

TKvxCustomToolBarButton* TKvxCustomToolBar::FindAccelButton(int Key) const {
    const int wanted = std::toupper(Key);
    for (plat::TControl* c : FOrderedControls) {
        auto* b = dynamic_cast<TKvxCustomToolBarButton*>(c);
        if (!b || !b->Visible() || !b->Enabled())
            continue;
        const std::string cap = b->Caption();
        for (size_t i = 0; i + 1 < cap.size(); ++i) {
            if (cap[i] != '&')
                continue;
            if (cap[i + 1] == '&') {
                ++i; // "&&" is a plain ampersand
                continue;
            }
            if (std::toupper(static_cast<unsigned char>(cap[i + 1])) == wanted)
                return b;
            break;
        }
    }
    return nullptr;
}

bool TKvxCustomToolBar::MenuBarDispatch(plat::TMessage& Message) {
    switch (Message.Msg) {
    case plat::WM_SYSCOMMAND: {
        const int key = static_cast<int>(Message.LParam & 0xFFFF);
        if (FMenuMode || !Enabled() || !Showing() || !FMenu ||
            (Message.WParam & 0xFFF0) != plat::SC_KEYMENU || key == ' ' || key == '-' ||
            plat::GetCaptureControl())
            return false;
        TKvxCustomToolBarButton* target = nullptr;
        if (key != 0 && !(target = FindAccelButton(key)))
            return false;
        TrackMenu(target);
        Message.Result = 1;
        return true;
    }
    case plat::WM_KEYDOWN: {
        if (!FMenuMode)
            return false;
        // Neighbours are counted among the eligible menu buttons, so hidden, disabled, overflowed and
        // ordinary buttons never take the highlight.
        int count = 0;
        for (plat::TControl* c : FOrderedControls)
            count += IsEligibleMenuButton(c) ? 1 : 0;
        const int i = HotMenuButtonOrdinal();
        switch (Message.WParam) {
        case plat::VK_RETURN:
        case plat::VK_DOWN:
            if (FHotButton) {
                FBarNavigation = false;
                FHotButton->OpenButtonMenu();
            }
            return Message.WParam == plat::VK_DOWN;
        case plat::VK_ESCAPE:
            ExitMenuMode();
            return true;
        case plat::VK_LEFT:
            if (i >= 0 && count > 0)
                SelectMenuButton(i == 0 ? count - 1 : i - 1);
            return true;
        case plat::VK_RIGHT:
            if (i >= 0 && count > 0)
                SelectMenuButton(i + 1 >= count ? 0 : i + 1);
            return true;
        }
        return false;
    }
    case plat::WM_CHAR:
        // A letter in menu mode drops the menu it marks, or clicks a plain button.
        if (FMenuMode && !Designing()) {
            if (TKvxCustomToolBarButton* b = FindAccelButton(static_cast<int>(Message.WParam))) {
                if (b->MenuItem() && b->MenuItem()->Count() > 0) {
                    FBarNavigation = false;
                    SelectButton(b);
                    b->OpenButtonMenu();
                } else {
                    ExitMenuMode();
                    b->Click();
                }
                Message.Result = 1;
                return true;
            }
        }
        return false;
    case plat::WM_SYSKEYDOWN:
        if (FMenuMode && Message.WParam == plat::VK_MENU) {
            ExitMenuMode();
            return true;
        }
        return false;
    case plat::WM_LBUTTONDOWN:
    case plat::WM_RBUTTONDOWN: {
        // A press away from the bar while it only holds the highlight ends the mode.
        if (!FMenuMode || !FBarNavigation)
            return false;
        const TPoint p(static_cast<int16_t>(Message.LParam & 0xFFFF),
                       static_cast<int16_t>(Message.LParam >> 16));
        if (!ClientRect().Contains(p)) {
            ExitMenuMode();
            return true;
        }
        return false;
    }
    case plat::WM_CAPTURECHANGED:
        if (FMenuMode && FBarNavigation && plat::GetCaptureControl() != this)
            ExitMenuMode();
        return false;
    case plat::CM_MOUSELEAVE:
        MDIMouseLeave();
        return false;
    case plat::WM_WINDOWPOSCHANGED:
        // Moved to another form, or its form has a window now.
        if (FMenu)
            HookFormKeys();
        return false;
    case plat::WM_GETDLGCODE:
        if (FMenuMode || OnPagerPage()) {
            Message.Result = 1;
            return true;
        }
        return false;
    }
    return false;
}

void TKvxCustomToolBar::MenuBarNotification(plat::TComponent* AComponent) {
    if (AComponent == FDelayedHotButton)
        FDelayedHotButton = nullptr;
    if (AComponent == FMergedMenu) {
        // Its items are gone: the bar shows the main menu alone again.
        FMergedMenu = nullptr;
        FreeMergedButtons();
    }
    if (AComponent == FMenu) {
        FMenu = nullptr;
        FreeMenuButtons();
    }
    // A destroyed document window leaves the list, whatever caption it was registered under.
    std::erase_if(FWindowList, [AComponent](const TWindowListEntry& e) { return e.Form == AComponent; });
    std::erase(FWindowListItems, AComponent);
    if (AComponent == FActiveChild)
        FActiveChild = nullptr;
    if (AComponent == FOptionMenu)
        FOptionMenu = nullptr;
    if (auto* c = dynamic_cast<plat::TControl*>(AComponent); c && c->Parent() != this && InOverflow(c))
        ControlRemoved(c);
    if (AComponent == static_cast<plat::TComponent*>(FOptionWindow))
        FOptionWindow = nullptr, FOptionPanel = nullptr;
}

// ---- Dropping menus ----

plat::TMenuItem* TKvxCustomToolBar::FormWindowMenu() const {
    plat::TCustomForm* form = GetToolBarForm();
    return form ? dynamic_cast<plat::TMenuItem*>(form->WindowMenu()) : nullptr;
}

TKvxCustomToolBarButton* TKvxCustomToolBar::NeighbourMenuButton(TKvxCustomToolBarButton* From,
                                                                int Step) const {
    std::vector<TKvxCustomToolBarButton*> eligible;
    for (plat::TControl* c : FOrderedControls)
        if (IsEligibleMenuButton(c))
            eligible.push_back(static_cast<TKvxCustomToolBarButton*>(c));
    if (eligible.empty())
        return nullptr;
    const auto it = std::find(eligible.begin(), eligible.end(), From);
    const int n = static_cast<int>(eligible.size());
    const int i = it == eligible.end() ? (Step > 0 ? -1 : 0) : static_cast<int>(it - eligible.begin());
    return eligible[static_cast<size_t>(((i + Step) % n + n) % n)];
}

void TKvxCustomToolBar::ClearTemporaryMenu() {
    if (FTempMenu) {
        // The lent items go back to their item, in their order, before the popup goes.
        plat::TMenuItem* lent = FTempMenu->Items();
        if (FDroppedItem)
            while (lent->Count() > 0) {
                plat::TMenuItem* item = lent->Items(0);
                lent->Remove(item);
                FDroppedItem->Add(item);
            }
        delete std::exchange(FTempMenu, nullptr);
    }
    FDroppedItem = nullptr;
    RemoveWindowListItems();
}

bool TKvxCustomToolBar::DropMenuButton(TKvxCustomToolBarButton* Button) {
    bool result = false;
    // Moving on to a neighbour closes the open menu first; the neighbour drops once it has closed.
    for (TKvxCustomToolBarButton* next = Button; next; next = std::exchange(FSwitchTarget, nullptr)) {
        if (next != Button)
            next->SetDrawState(toolbar::dsDropped);
        result = DropOneMenu(next);
        if (ComponentState() & plat::csDestroying)
            break;
    }
    return result;
}

bool TKvxCustomToolBar::DropOneMenu(TKvxCustomToolBarButton* Button) {
    ClearTemporaryMenu();
    FSwitchTarget = nullptr;
    FStayInMenuMode = false;
    plat::TPopupMenu* menu = Button->DropDownMenu();
    plat::TMenuItem* item = menu ? nullptr : Button->MenuItem();
    if (!menu && !item) {
        Button->ResetButtonState();
        return false;
    }
    if (item) {
        item->Click();
        auto* temp = new TKvxPopupMenu(this);
        FTempMenu = temp;
        if (FMenu) {
            temp->SetImages(FMenu->Images());
            if (auto* kvx = dynamic_cast<TKvxMainMenu*>(FMenu))
                temp->SetDisabledImages(kvx->DisabledImages());
        }
        FDroppedItem = item;
        plat::TMenuItem* windowMenu = FormWindowMenu();
        for (plat::TMenuItem* p = windowMenu; p; p = p->Parent())
            if (p == item) {
                AddWindowListItems(windowMenu);
                break;
            }
        while (item->Count() > 0) {
            plat::TMenuItem* sub = item->Items(0);
            item->Remove(sub);
            temp->Items()->Add(sub);
        }
        menu = temp;
    }
    menu->SetPopupComponent(this);
    if (auto* kvx = dynamic_cast<TKvxPopupMenu*>(menu); kvx && FCurrentStyler)
        kvx->SetMenuStyler(FCurrentStyler->CurrentMenuStyler());
    const bool hooked = menu->Items()->Count() > 0 && FMenu;
    SelectButton(nullptr);

    plat::TPoint at;
    menu->SetAlignment(plat::paLeft);
    switch (FPosition) {
    case toolbar::daLeft:
        at = Button->ClientToScreen(plat::TPoint(Button->Width(), 1));
        break;
    case toolbar::daRight:
        at = Button->ClientToScreen(plat::TPoint(0, 1));
        menu->SetAlignment(plat::paRight);
        break;
    default: {
        at = Button->ClientToScreen(plat::TPoint(0, Button->Height()));
        // A menu that would run off the bottom of the screen opens above its button.
        const int height = plat::DropDownSize(menu->Items()).cy;
        if (at.Y + height + 10 > plat::Screen->Height())
            at.Y -= height + Button->Height() + 4;
    }
    }
    {
        FMenuDropped = true;
        Button->MenuDropped = true;
        FTrackedButton = Button;
        plat::ScopeGuard closed([this, Button] {
            FMenuTrackHook.Remove();
            FMenuDropped = false;
            Button->MenuDropped = false;
            FTrackedButton = nullptr;
            ClearTemporaryMenu();
        });
        if (hooked) {
            FLastMenuPointer = plat::Mouse->CursorPos();
            FMenuTrackHook.Install(plat::WH_MSGFILTER, [this](int code, plat::WPARAM w, plat::LPARAM l) {
                return MenuTrackFilter(code, w, l);
            });
        }
        if (menu->Items()->Count() > 0)
            menu->Popup(at.X, at.Y);
    }
    if (ComponentState() & plat::csDestroying)
        return true;
    if (FMenuSyncPending) {
        // The button may go with the resync; nothing below may touch it then.
        SyncMenuButtons();
        if (std::find(FOrderedControls.begin(), FOrderedControls.end(), Button) == FOrderedControls.end()) {
            if (FMenuMode)
                ExitMenuMode();
            return true;
        }
    }
    Button->ResetButtonState();
    // The press that closes a menu is the menu's own: it never reaches the button, so the button needs
    // no mark against dropping again, and the next press drops it.
    if (FMenuMode && !FSwitchTarget) {
        if (FStayInMenuMode) {
            // Escape: the bar keeps the keyboard with this button highlighted.
            plat::SetCaptureControl(this);
            FBarNavigation = true;
            SelectButton(Button);
        } else {
            ExitMenuMode();
        }
    }
    PromoteOverflowButton(Button);
    Invalidate();
    return true;
}

plat::LRESULT TKvxCustomToolBar::MenuTrackFilter(int Code, plat::WPARAM wParam, plat::LPARAM lParam) {
    const plat::LRESULT next = FMenuTrackHook.CallNext(Code, wParam, lParam);
    auto* msg = reinterpret_cast<plat::TMsg*>(lParam);
    if (next || Code != plat::MSGF_MENU || !msg || !FTrackedButton)
        return next;
    TKvxCustomToolBarButton* target = nullptr;
    switch (msg->message) {
    case plat::WM_KEYDOWN: {
        plat::TMenuItem* selected = plat::MenuSelectedItem();
        switch (msg->wParam) {
        case plat::VK_RETURN:
            FMenuResult = true;
            break;
        case plat::VK_ESCAPE:
            FStayInMenuMode = !selected || (FTempMenu && selected->Parent() == FTempMenu->Items());
            break;
        case plat::VK_RIGHT:
            // An item with a sub-menu opens it; any other moves on to the next menu.
            if (!selected || selected->Count() == 0)
                target = NeighbourMenuButton(FTrackedButton, 1);
            break;
        case plat::VK_LEFT:
            // Inside a sub-menu Left closes only that sub-menu.
            if (!selected || (FTempMenu && selected->Parent() == FTempMenu->Items()))
                target = NeighbourMenuButton(FTrackedButton, -1);
            break;
        }
        break;
    }
    case plat::WM_SYSKEYDOWN:
        if (msg->wParam == plat::VK_MENU && FMenuMode)
            ExitMenuMode();
        return next;
    case plat::WM_MOUSEMOVE: {
        if (msg->pt == FLastMenuPointer)
            break;
        FLastMenuPointer = msg->pt;
        for (plat::TControl* c : FOrderedControls) {
            if (!IsEligibleMenuButton(c) || !c->Parent())
                continue;
            const plat::TPoint p = c->Parent()->ScreenToClient(msg->pt);
            if (c->BoundsRect().Contains(p)) {
                target = static_cast<TKvxCustomToolBarButton*>(c);
                break;
            }
        }
        break;
    }
    }
    if (!target || target == FTrackedButton)
        return next;
    const bool byKey = msg->message == plat::WM_KEYDOWN;
    const bool hasMenu = target->DropDownMenu() || (target->MenuItem() && target->MenuItem()->Count() > 0);
    if (byKey && !hasMenu) {
        // Nothing to drop: the bar keeps the keyboard and highlights the target once this menu closed,
        // without running the target's command.
        FStayInMenuMode = true;
        FDelayedHotButton = target;
        target->FreeNotification(this);
        if (!FMenuTimer) {
            FMenuTimer = std::make_unique<plat::TTimer>(nullptr);
            FMenuTimer->SetInterval(1);
            FMenuTimer->OnTimer = [this](plat::TObject*) { DelayedHotTick(); };
        }
        FMenuTimer->SetEnabled(false);
        FMenuTimer->SetEnabled(true);
        plat::CloseMenus();
        return 1;
    }
    FSwitchTarget = target;
    plat::CloseMenus();
    return 1;
}

// ---- Window list ----

void TKvxCustomToolBar::RegisterMDIChild(plat::TCustomForm* Form, const std::string& Caption) {
    plat::TCustomForm* form = GetToolBarForm();
    if (!Form || !FMenu || !form || !form->WindowMenu())
        return;
    FWindowList.push_back({Caption.empty() ? Form->Caption() : Caption, Form});
    Form->FreeNotification(this);
}

void TKvxCustomToolBar::UnregisterMDIChild(plat::TControl* Control, const std::string&) {
    if (!Control)
        return;
    auto it = std::find_if(FWindowList.begin(), FWindowList.end(),
                           [Control](const TWindowListEntry& e) { return e.Form == Control; });
    if (it != FWindowList.end())
        FWindowList.erase(it);
}

void TKvxCustomToolBar::AddWindowListItems(plat::TMenuItem* WindowMenu) {
    RemoveWindowListItems();
    if (!WindowMenu)
        return;
    plat::TCustomForm* form = GetToolBarForm();
    plat::TCustomForm* active = form ? form->ActiveMDIChild() : nullptr;
    for (size_t i = 0; i < FWindowList.size(); ++i) {
        auto* item = new plat::TMenuItem(this);
        item->SetCaption(FWindowList[i].Caption);
        item->SetTag(static_cast<intptr_t>(i));
        item->SetRadioItem(true);
        item->SetChecked(FWindowList[i].Form == active);
        item->OnClick = [this](plat::TObject* Sender) {
            auto* mi = dynamic_cast<plat::TMenuItem*>(Sender);
            if (mi && mi->Tag() >= 0 && static_cast<size_t>(mi->Tag()) < FWindowList.size() &&
                GetToolBarForm())
                FWindowList[static_cast<size_t>(mi->Tag())].Form->SetFocus();
        };
        WindowMenu->Add(item);
        item->FreeNotification(this);
        FWindowListItems.push_back(item);
    }
}

void TKvxCustomToolBar::RemoveWindowListItems() {
    std::vector<plat::TMenuItem*> items;
    items.swap(FWindowListItems);
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        delete *it;
}

// ---- MDI child buttons ----

plat::TCustomForm* TKvxCustomToolBar::GetToolBarForm() const {
    const plat::TControl* start = FDockPanel       ? static_cast<const plat::TControl*>(FDockPanel)
                                  : FLastDockPanel ? static_cast<const plat::TControl*>(FLastDockPanel)
                                                   : static_cast<const plat::TControl*>(Parent());
    for (const plat::TControl* c = start; c; c = c->Parent())
        if (auto* f = dynamic_cast<const plat::TCustomForm*>(c))
            return const_cast<plat::TCustomForm*>(f);
    return nullptr;
}

void TKvxCustomToolBar::SetAutoMDIButtons(bool Value) {
    if (Value == FAutoMDIButtons)
        return;
    FAutoMDIButtons = Value;
    if (Loading() || Designing())
        return;
    if (Value && FFullSize && FMenu) {
        plat::TCustomForm* form = GetToolBarForm();
        if (!form) {
            FAutoMDIButtons = false;
            return;
        }
        FActiveChild = nullptr;
        // Our own link in the form's filter chain: other hooks on the same window stay untouched, and
        // the link leaves with the toolbar.
        FMDIFilter.Install(form->Handle(),
                           [this](plat::HWND wnd, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
                               if (msg == plat::WM_WINDOWPOSCHANGED)
                                   Invalidate();
                               return plat::DefSubclassProc(wnd, msg, w, l);
                           });
        if (form->ClientHandle())
            FMDIClientFilter.Install(form->ClientHandle(),
                                     [this](plat::HWND wnd, plat::UINT msg, plat::WPARAM w, plat::LPARAM l) {
                                         const plat::LRESULT r = plat::DefSubclassProc(wnd, msg, w, l);
                                         if (msg >= plat::WM_MDICREATE && msg <= plat::WM_MDIICONARRANGE)
                                             Invalidate();
                                         return r;
                                     });
        return;
    }
    RemoveMDIHook();
    FAutoMDIButtons = false;
}

void TKvxCustomToolBar::RemoveMDIHook() {
    FMDIClientFilter.Remove();
    if (!FMDIFilter.Installed())
        return;
    FMDIFilter.Remove();
    FActiveChild = nullptr;
    Invalidate();
}

plat::TCustomForm* TKvxCustomToolBar::MaximizedChild() {
    plat::TCustomForm* form = GetToolBarForm();
    FActiveChild = form ? form->ActiveMDIChild() : nullptr;
    return FActiveChild && FActiveChild->WindowState() == plat::wsMaximized ? FActiveChild : nullptr;
}

// Step 0 is close, 1 restore, 2 minimize; each sits 19 pixels before the previous one.
TRect TKvxCustomToolBar::MDIRect(int Step) {
    plat::TCustomForm* form = GetToolBarForm();
    FActiveChild = form ? form->ActiveMDIChild() : nullptr;
    if (!FActiveChild || !(FActiveChild->BorderIcons() & plat::biSystemMenu) || (Step > 0 && Floating()))
        return {};
    const int handle = ShowOptionIndicator() && !FFullSize ? FRightHandleSize : 0;
    const int W = Width(), H = Height();
    if (Horizontal()) {
        const int left = W - 21 - handle - Step * 19;
        const int top = std::max(2, (H - kMDIButtonSize) / 2);
        return TRect(left, top, left + kMDIButtonSize, top + kMDIButtonSize);
    }
    const int top = H - 21 - handle - Step * 19;
    const int left = std::max(2, (W - kMDIButtonSize) / 2);
    return TRect(left, top, left + kMDIButtonSize, top + kMDIButtonSize);
}

TRect TKvxCustomToolBar::GetMDICloseRect() {
    return MDIRect(0);
}
TRect TKvxCustomToolBar::GetMDIRestoreRect() {
    return MDIRect(1);
}
TRect TKvxCustomToolBar::GetMDIMinimizeRect() {
    return MDIRect(2);
}

bool TKvxCustomToolBar::IsOnMDIClose(const TPoint& P) {
    return GetMDICloseRect().Contains(P);
}
bool TKvxCustomToolBar::IsOnMDIRestore(const TPoint& P) {
    return GetMDIRestoreRect().Contains(P) && (FActiveChild->BorderIcons() & plat::biMaximize);
}
bool TKvxCustomToolBar::IsOnMDIMinimize(const TPoint& P) {
    return GetMDIMinimizeRect().Contains(P) && (FActiveChild->BorderIcons() & plat::biMinimize);
}

void TKvxCustomToolBar::DrawMDIButtons() {
    if (!HandleAllocated())
        return;
    // Drawn straight onto the window so that a press shows at once; the next paint draws it again.
    plat::TControlCanvas canvas;
    canvas.SetControl(this);
    DrawMDIButtonsOn(&canvas);
}

void TKvxCustomToolBar::DrawMDIButtonsOn(TCanvas* C) {
    plat::TCustomForm* child = FAutoMDIButtons && !Floating() ? MaximizedChild() : nullptr;
    FMDIButtonsShown = child != nullptr;
    if (!child)
        return;
    const toolbar::TButtonAppearance* a = FCurrentStyler->ButtonAppearance();
    const bool horz = Horizontal();
    const bool down[3] = {FCloseDown, FRestoreDown, FMinimizeDown};
    const bool hot[3] = {FCloseHot, FRestoreHot, FMinimizeHot};
    for (int step = 0; step < 3; ++step) {
        const TRect r = MDIRect(step);
        if (r.IsEmpty())
            continue;
        TColor fill = plat::clNone, fillTo = plat::clNone, border = plat::clNone;
        toolbar::TGradientDirection dir = toolbar::gdVertical;
        if (down[step]) {
            fill = a->ColorDown(), fillTo = a->ColorDownTo(), border = a->BorderDownColor();
            dir = a->GradientDirectionDown();
        } else if (hot[step]) {
            fill = a->ColorHot(), fillTo = a->ColorHotTo(), border = a->BorderHotColor();
            dir = a->GradientDirectionHot();
        }
        if (fill != plat::clNone && fillTo != plat::clNone) {
            toolbar::DrawBandGradient(*C, fill, fillTo, 40, r, dir == toolbar::gdHorizontal);
        } else if (fill != plat::clNone) {
            C->Brush()->SetStyle(plat::bsSolid);
            C->Brush()->SetColor(fill);
            C->Pen()->SetColor(fill);
            C->FillRect(r);
        }
        if (border != plat::clNone) {
            C->Brush()->SetStyle(plat::bsClear);
            C->Pen()->SetColor(border);
            C->Rectangle(r);
            C->Brush()->SetStyle(plat::bsSolid);
        }
        const plat::TBorderIcons icons = child->BorderIcons();
        const bool grey =
            (step == 1 && !(icons & plat::biMaximize)) || (step == 2 && !(icons & plat::biMinimize));
        C->Pen()->SetColor(grey ? TColor(0x808080) : TColor(0));
        C->Pen()->SetWidth(1);
        auto seg = [C](int x1, int y1, int x2, int y2) {
            C->MoveTo(x1, y1);
            C->LineTo(x2, y2);
        };
        int x = r.Left + (r.Width() - 8) / 2, y = r.Top + (r.Height() - 8) / 2;
        if (step == 0) {
            seg(x, y + 7, x + 8, y);
            seg(x + 1, y + 7, x + 7, y);
            seg(x, y + 1, x + 8, y + 8);
            seg(x + 1, y + 1, x + 7, y + 8);
        } else if (step == 1 && horz) {
            seg(x + 2, y, x + 8, y);
            seg(x + 2, y + 1, x + 8, y + 1);
            seg(x + 8, y, x + 8, y + 6);
            seg(x, y + 3, x + 7, y + 3);
            seg(x, y + 4, x + 7, y + 4);
            C->MoveTo(x, y + 4);
            C->LineTo(x, y + 8);
            C->LineTo(x + 6, y + 8);
            C->LineTo(x + 6, y + 4);
        } else if (step == 1) {
            const int R = r.Right;
            seg(R - 5, y + 2, R - 5, y + 8);
            seg(R - 6, y + 2, R - 6, y + 8);
            seg(R - 5, y + 8, R - 11, y + 8);
            seg(R - 8, y, R - 8, y + 7);
            seg(R - 9, y, R - 9, y + 7);
            C->MoveTo(R - 9, y);
            C->LineTo(R - 13, y);
            C->LineTo(R - 13, y + 6);
            C->LineTo(R - 9, y + 6);
        } else if (horz) {
            x = r.Left + (r.Width() - 6) / 2;
            y = r.Bottom - 6;
            seg(x, y, x + 6, y);
            seg(x, y + 1, x + 6, y + 1);
        } else {
            y = r.Top + (r.Height() - 6) / 2;
            x = r.Left + 5;
            seg(x, y, x, y + 6);
            seg(x + 1, y, x + 1, y + 6);
        }
    }
}

void TKvxCustomToolBar::MDIMouseDown(int X, int Y) {
    if (!FAutoMDIButtons || !Docked() || Designing() || GripRect().Contains(TPoint(X, Y)))
        return;
    const TPoint p(X, Y);
    bool changed = false;
    if (IsOnMDIClose(p))
        FCloseDown = changed = true;
    if (IsOnMDIRestore(p))
        FRestoreDown = changed = true;
    if (IsOnMDIMinimize(p))
        FMinimizeDown = changed = true;
    if (!changed)
        return;
    // The release may come anywhere: restore and minimize act on it, close only over its button.
    plat::SetCaptureControl(this);
    DrawMDIButtons();
}

void TKvxCustomToolBar::MDIMouseMove(int X, int Y) {
    if (!FAutoMDIButtons || Designing())
        return;
    const TPoint p(X, Y);
    struct Part {
        bool& Hot;
        bool On;
        TRect R;
    };
    Part parts[] = {{FCloseHot, IsOnMDIClose(p), GetMDICloseRect()},
                    {FRestoreHot, IsOnMDIRestore(p), GetMDIRestoreRect()},
                    {FMinimizeHot, IsOnMDIMinimize(p), GetMDIMinimizeRect()}};
    for (Part& part : parts) {
        if (part.On && !part.Hot) {
            part.Hot = true;
            DrawMDIButtons();
        } else if (!part.On && part.Hot) {
            part.Hot = false;
            InvalidatePart(part.R);
        }
    }
}

void TKvxCustomToolBar::MDIMouseUp(int X, int Y) {
    if (!FAutoMDIButtons || Designing())
        return;
    if ((FCloseDown || FRestoreDown || FMinimizeDown) && plat::GetCaptureControl() == this && !FMenuMode)
        plat::SetCaptureControl(nullptr);
    if (FCloseDown) {
        FCloseDown = FCloseHot = false;
        DrawMDIButtons();
        Invalidate();
        // Close acts only where it was pressed: sliding off cancels it.
        if (IsOnMDIClose(TPoint(X, Y)))
            MDIChildClose();
    }
    if (FRestoreDown) {
        FRestoreDown = FRestoreHot = false;
        Invalidate();
        MDIChildRestore();
    }
    if (FMinimizeDown) {
        FMinimizeDown = FMinimizeHot = false;
        Invalidate();
        MDIChildMinimize();
    }
}

void TKvxCustomToolBar::MDIMouseLeave() {
    if (Floating())
        return;
    struct Part {
        bool& Down;
        bool& Hot;
        int Step;
    };
    Part parts[] = {
        {FCloseDown, FCloseHot, 0}, {FRestoreDown, FRestoreHot, 1}, {FMinimizeDown, FMinimizeHot, 2}};
    for (Part& part : parts) {
        if (part.Down || part.Hot) {
            part.Down = part.Hot = false;
            InvalidatePart(MDIRect(part.Step));
        }
    }
}

void TKvxCustomToolBar::MDIChildClose() {
    plat::TCustomForm* child =
        FAutoMDIButtons && FMDIButtonsShown && !Floating() ? MaximizedChild() : nullptr;
    if (child)
        child->Close();
}

void TKvxCustomToolBar::MDIChildRestore() {
    plat::TCustomForm* child =
        FAutoMDIButtons && FMDIButtonsShown && !Floating() ? MaximizedChild() : nullptr;
    if (child && (child->BorderIcons() & plat::biMaximize))
        child->SetWindowState(plat::wsNormal);
}

void TKvxCustomToolBar::MDIChildMinimize() {
    plat::TCustomForm* child =
        FAutoMDIButtons && FMDIButtonsShown && !Floating() ? MaximizedChild() : nullptr;
    if (child && (child->BorderIcons() & plat::biMinimize))
        child->SetWindowState(plat::wsMinimized);
}

} // namespace ui
