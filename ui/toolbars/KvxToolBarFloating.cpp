// A toolbar's moves between its dock panels and its floating window: the drag loop, tearing off and
// docking again, the floating window's rows, following the form it came from, and the saved state.
#include <algorithm>
#include <string>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/StringUtils.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/ModalLoop.h"
#include "ui/toolbars/KvxFloatingWindow.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStore.h"

namespace ui {

using namespace toolbar;
using plat::TPoint;
using plat::TRect;

namespace {

// How far a docked toolbar may be pulled out of its panel before it tears off, and how far beyond a
// panel's inner edge a floating toolbar already docks.
constexpr int kTearOffDistance = 26;
constexpr int kDockingMargin = 15;

plat::UINT ButtonUpMessage(plat::TMouseButton Button) {
    switch (Button) {
    case plat::mbLeft:
        return plat::WM_LBUTTONUP;
    case plat::mbRight:
        return plat::WM_RBUTTONUP;
    case plat::mbMiddle:
        return plat::WM_MBUTTONUP;
    }
    return plat::WM_LBUTTONUP;
}

bool FormVisible(plat::TCustomForm* Form) {
    return Form && Form->Visible();
}

} // namespace

void TKvxCustomToolBar::SetAllowFloating(bool Value) {
    // A floating toolbar cannot be told it may not float.
    FAllowFloating = Value || Floating();
}

void TKvxCustomToolBar::SetLocked(bool Value) {
    FLocked = Value && !Floating();
}

bool TKvxCustomToolBar::CanDockOn(const TKvxDockPanel* Panel) const {
    if (!Panel || !(FDockableTo & DockSide(Panel->Align())))
        return false;
    if (Panel->LockHeight() && Panel->PanelLoaded() && !Panel->Designing())
        return Panel->FindRowWithRoom(const_cast<TKvxCustomToolBar*>(this)) >= 0;
    return true;
}

// ---- Floating rows ----

int TKvxCustomToolBar::MaxFloatingRows() const {
    int m = 0;
    for (plat::TControl* c : FOrderedControls)
        if (c->Visible())
            m = std::max(m, c->Width());
    const int line = std::max(m + 2, FMinLength);
    int rows = 1, at = 2;
    for (plat::TControl* c : FOrderedControls) {
        if (!c->Visible())
            continue;
        const int f = c->Width();
        if (line - at < f) {
            ++rows;
            at = 2;
        }
        if (at + f >= line) {
            ++rows;
            at = 2;
        } else {
            at += f;
        }
    }
    return rows;
}

TPoint TKvxCustomToolBar::FloatingSizeFor(int Rows) const {
    Rows = std::clamp(Rows, 1, MaxFloatingRows());
    int m = 0;
    for (plat::TControl* c : FOrderedControls)
        if (c->Visible())
            m = std::max(m, c->Width());
    int p = std::max(m + 4, FMinLength);
    for (;;) {
        int rows = 1, at = 2;
        int smallestLeftover = p;
        for (plat::TControl* c : FOrderedControls) {
            if (!c->Visible())
                continue;
            if (p - at - 2 < c->Width() && at > 2) {
                smallestLeftover = std::min(smallestLeftover, p - at - 2);
                ++rows;
                at = 2;
            }
            at += c->Width();
        }
        smallestLeftover = std::min(smallestLeftover, p - at - 2);
        if (rows <= Rows) {
            const int rowSize = ComputeRowSize(true);
            const int width = rows > 1 ? p - std::max(0, smallestLeftover) : std::max(at + 2, FMinLength);
            return TPoint(width, rows * rowSize + FCaptionHeight);
        }
        p += 10;
    }
}

void TKvxCustomToolBar::SetFloatingRows(int Value) {
    if (Value <= 0 || Value > MaxFloatingRows() || Value == FFloatingRows)
        return;
    FFloatingRows = Value;
    if (Loading() || !Floating())
        return;
    const TPoint size = FloatingSizeFor(Value);
    {
        plat::TemporaryChange<bool> resizing(FInternalResize, true);
        TCustomControl::SetBounds(Left(), Top(), size.X, size.Y);
    }
    ArrangeControls(true);
    if (FFloatingWindow)
        FFloatingWindow->FitToToolBar();
}

// ---- Becoming floating and docking again ----

void TKvxCustomToolBar::MakeFloating() {
    TPoint at;
    plat::GetCursorPos(at);
    MakeFloating(at);
}

void TKvxCustomToolBar::MakeFloating(TPoint Screen) {
    if (OnPagerPage() || Floating())
        return;
    // A window left hidden by an earlier docking holds nothing any more; a fresh one takes the styler's
    // current look.
    if (FFloatingWindow) {
        TFloatingWindow* old = FFloatingWindow;
        FFloatingWindow = nullptr;
        old->Free();
    }
    auto* window = new TFloatingWindow(Owner());
    window->SetBorderIcons(0);
    window->SetBorderStyle(plat::bsNone);
    window->SetFormStyle(plat::fsStayOnTop);
    window->SetPosition(plat::poDesigned);
    window->SetBorderWidth(FCurrentStyler->FloatingWindowBorderWidth());
    window->SetBorderColor(FCurrentStyler->FloatingWindowBorderColor());
    const TVistaGradientBackground* back = FCurrentStyler->Color();
    window->SetColor(back->ColorTo() == plat::clNone ? back->Color() : back->ColorTo());
    window->FreeNotification(this);
    window->HandleNeeded();
    FFloatingWindow = window;

    FRowSize = ComputeRowSize(true);
    RestoreOverflow();
    Constraints()->SetMinWidth(0);
    Constraints()->SetMaxWidth(0);
    Constraints()->SetMinHeight(0);
    Constraints()->SetMaxHeight(0);
    SetParent(window);
    const TPoint size = FloatingSizeFor(FFloatingRows);
    {
        plat::TemporaryChange<bool> resizing(FInternalResize, true);
        TCustomControl::SetBounds(Left(), Top(), size.X, size.Y);
    }
    ArrangeControls(true);
    window->SetKvxCustomToolBar(this);
    window->FitToToolBar();
    window->SetBounds(Screen.X, Screen.Y, window->Width(), window->Height());

    plat::TCustomForm* host = FLastDockPanel ? plat::GetParentForm(FLastDockPanel) : nullptr;
    if (FHostForm)
        FHostForm->RemoveFreeNotification(this);
    FHostForm = host;
    if (host)
        host->FreeNotification(this);
    FHiddenWithForm = false;
    if (host && !FormVisible(host))
        FHiddenWithForm = true;
    else if (Visible())
        window->Show();
    plat::SetTimer(Handle(), kFloatingTimerId, 40);
    FFloatingTimer = true;
}

void TKvxCustomToolBar::CloseFloatingToolBar() {
    if (!Floating())
        return;
    if (FAutoDockOnClose && FLastDockPanel) {
        TFloatingWindow* window = FFloatingWindow;
        SetParent(FLastDockPanel);
        if (Docked() && window) {
            FFloatingWindow = nullptr;
            window->Free();
        }
        return;
    }
    {
        plat::TemporaryChange<bool> quiet(FChangingVisibility, true);
        if (FFloatingWindow)
            FFloatingWindow->Hide();
        Hide();
    }
    FHiddenWithForm = false;
    if (OnClose)
        OnClose(this);
}

void TKvxCustomToolBar::FloatingTimerTick() {
    if (!Floating() || !FFloatingWindow)
        return;
    const bool hostShown = !FHostForm || FormVisible(FHostForm);
    if (!hostShown && FFloatingWindow->Visible()) {
        FFloatingWindow->Hide();
        FHiddenWithForm = true;
    } else if (hostShown && FHiddenWithForm && !FFloatingWindow->Visible()) {
        FHiddenWithForm = false;
        FFloatingWindow->Show();
    }
}

void TKvxCustomToolBar::DestroyWnd() {
    if (FFloatingTimer)
        plat::KillTimer(Handle(), kFloatingTimerId);
    FFloatingTimer = false;
    TCustomControl::DestroyWnd();
}

void TKvxCustomToolBar::SaveFloatingStateBeforeDestruction() {
    // While the floating window still stands: its position is what gets saved.
    if (!FFloatingStateSaved && FPersistence->Enabled() && !Designing()) {
        FFloatingStateSaved = true;
        // A store that cannot be written must not take the program down while its windows are going.
        try {
            SaveFloatingState();
        } catch (const plat::Exception&) {
        }
    }
}

// ---- Dragging ----

void TKvxCustomToolBar::CollectDockTargets() {
    FDockTargets.clear();
    if (!FLastDockPanel)
        return;
    std::vector<TKvxDockPanel*> panels;
    auto consider = [&](TKvxDockPanel* panel) {
        if (panel->Showing() && CanDockOn(panel) &&
            std::find(panels.begin(), panels.end(), panel) == panels.end())
            panels.push_back(panel);
    };
    std::function<void(plat::TWinControl*)> search = [&](plat::TWinControl* root) {
        if (!root || root == this || !root->Showing())
            return;
        if (auto* panel = dynamic_cast<TKvxDockPanel*>(root)) {
            consider(panel);
            return;
        }
        for (int i = 0; i < root->ControlCount(); ++i) {
            auto* w = dynamic_cast<plat::TWinControl*>(root->Controls(i));
            if (!w || (FDockMode == dmAllParentDockPanels && !dynamic_cast<TKvxDockPanel*>(w)))
                continue;
            search(w);
        }
    };
    switch (FDockMode) {
    case dmParentDockPanelOnly:
        search(FLastDockPanel);
        break;
    case dmAllParentDockPanels:
        search(FLastDockPanel->Parent());
        break;
    case dmAll:
        search(plat::GetParentForm(FLastDockPanel));
        break;
    }
    for (TKvxDockPanel* panel : panels)
        FDockTargets.push_back({panel, TRect()});
    MeasureDockTargets();
}

void TKvxCustomToolBar::MeasureDockTargets() {
    for (TDockTarget& target : FDockTargets) {
        TKvxDockPanel* panel = target.Panel;
        const TPoint origin = panel->ClientToScreen(TPoint(0, 0));
        TRect zone(origin.X, origin.Y, origin.X + panel->Width(), origin.Y + panel->Height());
        switch (panel->Align()) {
        case daLeft:
            zone.Right += kDockingMargin;
            break;
        case daTop:
            zone.Bottom += kDockingMargin;
            break;
        case daRight:
            zone.Left -= kDockingMargin;
            break;
        case daBottom:
            zone.Top -= kDockingMargin;
            break;
        }
        target.Zone = zone;
    }
}

void TKvxCustomToolBar::DragLoop(plat::TMouseButton Button, int X, int Y) {
    CollectDockTargets();
    plat::TModalLoop loop;
    loop.OnExit([this] { FDockTargets.clear(); });
    loop.Change(FDragging, true);
    loop.Watch(this);
    if (Floating())
        loop.SetCursor(plat::LoadCursor(plat::IDC_SIZEALL));
    FDragAnchor = TPoint(X, Y);
    loop.Capture(Handle());
    // The button that started the drag ends it; the others pass through.
    const plat::UINT up = ButtonUpMessage(Button);
    while (loop.HasCapture()) {
        plat::TMsg msg;
        if (!plat::GetMessage(msg, nullptr, 0, 0)) {
            plat::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (msg.message == up)
            return;
        if (msg.message == plat::WM_MOUSEMOVE) {
            TPoint at;
            plat::GetCursorPos(at);
            at = ScreenToClient(at);
            DragMoveStep(at.X, at.Y);
            if (!loop.Alive())
                return;
            continue;
        }
        if (!loop.Dispatch(msg))
            return;
    }
}

void TKvxCustomToolBar::DragMoveStep(int X, int Y) {
    bool tearOff = false;
    if (Docked()) {
        const bool horizontal = Horizontal();
        // Along the row and across it, whatever the panel's side.
        const int along = horizontal ? X : Y, across = horizontal ? Y : X;
        const int anchor = horizontal ? FDragAnchor.X : FDragAnchor.Y;
        const int oldPos = horizontal ? Left() : Top();
        const int thickness = horizontal ? Height() : Width();
        const int panelLength = horizontal ? FDockPanel->Width() : FDockPanel->Height();
        const int panelThickness = horizontal ? FDockPanel->Height() : FDockPanel->Width();
        const int row = FRowIndex;
        const int wanted = oldPos + along - anchor;
        auto setAlong = [&](int v) { horizontal ? SetLeft(v) : SetTop(v); };
        auto setAcross = [&](int v) { horizontal ? SetTop(v) : SetLeft(v); };
        auto acrossPos = [&] { return horizontal ? Top() : Left(); };
        setAlong(wanted);
        if (!Docked())
            return;
        if (across > thickness)
            setAcross(acrossPos() + across - thickness);
        else if (across < 0)
            setAcross(acrossPos() + across);
        if (!Docked())
            return;
        const bool sameRow = FRowIndex == row;
        if (across > thickness)
            tearOff = sameRow && acrossPos() + across > panelThickness + kTearOffDistance;
        else if (across < 0)
            tearOff = sameRow && acrossPos() + across < -kTearOffDistance;
        const int nowPos = horizontal ? Left() : Top();
        if (!tearOff && nowPos != wanted)
            tearOff = oldPos + along > panelLength + kTearOffDistance ||
                      (along < 0 && oldPos + along < -kTearOffDistance);
        const int W = Width(), H = Height();
        if (horizontal) {
            InvalidatePart(TRect(W - 2, 0, W, 2));
            InvalidatePart(TRect(W - 2, H - 2, W, H));
        } else {
            InvalidatePart(TRect(0, H - 3, 3, H));
            InvalidatePart(TRect(W - 3, H - 3, W, H));
        }
        if (!FAllowFloating)
            tearOff = false;
    } else if (Floating() && FFloatingWindow) {
        FFloatingWindow->SetBounds(FFloatingWindow->Left() + X - FDragAnchor.X,
                                   FFloatingWindow->Top() + Y - FDragAnchor.Y, FFloatingWindow->Width(),
                                   FFloatingWindow->Height());
    }
    if (!tearOff && !Floating())
        return;

    TPoint pointer;
    plat::GetCursorPos(pointer);
    for (const TDockTarget& target : FDockTargets) {
        if (!target.Zone.Contains(pointer) || target.Panel == Parent())
            continue;
        TFloatingWindow* window = FFloatingWindow;
        SetParent(target.Panel);
        if (Docked()) {
            FDragAnchor.X = 1;
            if (window) {
                FFloatingWindow = nullptr;
                window->Free();
            }
            return;
        }
    }
    if (!Floating()) {
        MakeFloating(pointer);
        MeasureDockTargets();
    }
}

// ---- Saved state ----

void TKvxCustomToolBar::LoadFloatingState() {
    if (!StoreUsable(*FPersistence) || Designing())
        return;
    auto store = OpenStore(*FPersistence);
    const std::string& section = FPersistence->Section();
    const std::string& name = Name();
    const std::string stored = store->ReadString(section, name + ".Name", "");
    const int state = store->ReadInteger(section, name + ".State", 0);
    if (!stored.empty() && plat::SameText(stored, name) && state == tbsFloating) {
        const int rows = store->ReadInteger(section, name + ".FloatingRows", FFloatingRows);
        const int left = store->ReadInteger(section, name + ".Left", Left());
        const int top = store->ReadInteger(section, name + ".Top", Top());
        MakeFloating(TPoint(left, top));
        if (rows > FFloatingRows)
            SetFloatingRows(rows);
        const bool visible = store->ReadInteger(section, name + ".Visible", Visible() ? 1 : 0) != 0;
        if (visible != Visible())
            SetVisible(visible);
    }
    bool changed = false;
    for (plat::TControl* c : FOrderedControls) {
        if (c->Name().empty())
            continue;
        const bool visible = store->ReadInteger(section, name + "." + c->Name(), c->Visible() ? 1 : 0) != 0;
        if (visible != c->Visible()) {
            c->SetVisible(visible);
            changed = true;
        }
    }
    if (changed)
        ArrangeControls(true);
    FFloatingStateLoaded = true;
}

void TKvxCustomToolBar::SaveFloatingState() {
    if (!StoreUsable(*FPersistence) || Designing())
        return;
    auto store = OpenStore(*FPersistence);
    const std::string& section = FPersistence->Section();
    const std::string& name = Name();
    if (Floating()) {
        store->WriteString(section, name + ".Name", name);
        store->WriteInteger(section, name + ".State", tbsFloating);
        store->WriteInteger(section, name + ".FloatingRows", FFloatingRows);
        store->WriteInteger(section, name + ".Left", FFloatingWindow ? FFloatingWindow->Left() : Left());
        store->WriteInteger(section, name + ".Top", FFloatingWindow ? FFloatingWindow->Top() : Top());
        store->WriteInteger(section, name + ".Width", Width());
        store->WriteInteger(section, name + ".Height", Height());
        store->WriteInteger(section, name + ".Visible", Visible() ? 1 : 0);
    } else if (plat::SameText(store->ReadString(section, name + ".Name", ""), name) &&
               store->ReadInteger(section, name + ".State", 0) == tbsFloating) {
        store->WriteInteger(section, name + ".State", FState);
    }
    for (plat::TControl* c : FOrderedControls)
        if (!c->Name().empty())
            store->WriteInteger(section, name + "." + c->Name(), c->Visible() ? 1 : 0);
}

} // namespace ui
