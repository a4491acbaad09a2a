#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarCustomizer.h"

#include <algorithm>
#include <utility>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Timer.h"
#include "ui/drawing/KvxMenus.h"
#include "ui/drawing/KvxVersion.h"
#include "ui/toolbars/KvxFloatingWindow.h"

namespace ui {

using namespace toolbar;
using plat::TControl;
using plat::TRect;

PLAT_CLASS_INFO(TKvxCustomToolBar, plat::TCustomControl)
PLAT_CLASS_INFO(TKvxToolBarButtonDrawPosition, toolbar::TToolBarRecord)
PLAT_CLASS_INFO_CREATABLE(TKvxToolBar, TKvxCustomToolBar)

TKvxCustomToolBar::TKvxCustomToolBar(plat::TComponent* AOwner)
    : TCustomControl(AOwner), FPersistence(std::make_unique<TPersistence>(this)),
      FCompactPicture(std::make_unique<TGDIPPicture>()), FOfficeHint(std::make_unique<TKvxHintInfo>()) {
    FCompactPicture->OnChange = [this](plat::TObject*) { Invalidate(); };
    SetControlStyle((ControlStyle() | plat::csAcceptsControls) & ~plat::csOpaque);
    FInternalStyler = new TCustomKvxToolBarStyler(this);
    FInternalStyler->SetName("InternalStyler");
    FInternalStyler->RegisterStylerClient(this);
    FCurrentStyler = FInternalStyler;
    FPersistence->SetSection("UnDockedKvxToolBars");
    SetShowHint(true);
    SetDoubleBuffered(true);
    TCustomControl::SetBounds(0, 0, 185, 26);
    Constraints()->SetMinWidth(FMinLength);
}

TKvxCustomToolBar::~TKvxCustomToolBar() {
    if (FMenu)
        FMenu->RemoveChangeListener(this);
    if (FMenuMode)
        TKvxCustomToolBar::ExitMenuMode();
    FMDIFilter.Remove();
    FMDIClientFilter.Remove();
    FFormKeyFilter.Remove();
    // Items lent to an open menu go back to their menu before the temporary popup is freed with us.
    ClearTemporaryMenu();
    if (FToolBarStyler)
        FToolBarStyler->UnregisterStylerClient(this);
    if (FDockPanel)
        FDockPanel->RemoveToolBar(this);
}

std::string TKvxCustomToolBar::Version() const {
    return VersionText(PackVersion(3, 1, 1, 0));
}

bool TKvxCustomToolBar::Loading() const {
    return ComponentState() & plat::csLoading;
}

bool TKvxCustomToolBar::Designing() const {
    return ComponentState() & plat::csDesigning;
}

bool TKvxCustomToolBar::DockLoading() const {
    return Loading();
}

// ---- Docking ----

void TKvxCustomToolBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!FInternalResize && Docked() && Visible() && !(FDockPanel->ComponentState() & plat::csLoading))
        FDockPanel->AdjustToolBarBounds(this, ALeft, ATop, AWidth, AHeight);
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TKvxCustomToolBar::SetDockBounds(int Left, int Top, int Width, int Height) {
    TCustomControl::SetBounds(Left, Top, Width, Height);
}

TRect TKvxCustomToolBar::DockConstraints() const {
    const plat::TSizeConstraints* c = Constraints();
    return TRect(c->MinWidth(), c->MinHeight(), c->MaxWidth(), c->MaxHeight());
}

void TKvxCustomToolBar::SetDockConstraints(int MinWidth, int MinHeight, int MaxWidth, int MaxHeight) {
    plat::TSizeConstraints* c = Constraints();
    // Maximum first: a minimum above the old maximum would otherwise be cut back.
    c->SetMaxWidth(MaxWidth);
    c->SetMaxHeight(MaxHeight);
    c->SetMinWidth(MinWidth);
    c->SetMinHeight(MinHeight);
}

void TKvxCustomToolBar::SetDockPanel(TKvxDockPanel* Value) {
    FDockPanel = Value;
    if (Value)
        FLastDockPanel = Value;
}

void TKvxCustomToolBar::SetParent(plat::TWinControl* AParent) {
    plat::TWinControl* old = Parent();
    if (old == AParent) {
        TCustomControl::SetParent(AParent);
        return;
    }
    if (!Loading() && !Designing())
        HideOptionWindow();
    auto* panel = dynamic_cast<TKvxDockPanel*>(AParent);
    // A panel that cannot take the toolbar leaves it where it is.
    if (panel && !Loading() && !CanDockOn(panel))
        return;
    const TToolBarState previous = FState;
    if (auto* from = dynamic_cast<TKvxDockPanel*>(old)) {
        from->RemoveToolBar(this);
        FDockPanel = nullptr;
    }
    if (panel && previous == tbsFloating) {
        if (FFloatingTimer && HandleAllocated())
            plat::KillTimer(Handle(), kFloatingTimerId);
        FFloatingTimer = false;
        if (Horizontal()) {
            Constraints()->SetMinHeight(0);
            Constraints()->SetMaxHeight(0);
            plat::TemporaryChange<bool> resizing(FInternalResize, true);
            TCustomControl::SetBounds(Left(), Top(), Width(), FRowSize);
        }
    }
    TCustomControl::SetParent(AParent);
    // Grip, caption and corners all depend on where the toolbar lives.
    BackgroundChanged();
    Invalidate();
    if (panel) {
        FState = tbsDocked;
        if (panel->AddToolBar(this) < 0 && !Loading()) {
            FState = previous;
            return;
        }
        if (FParentStyler)
            SetToolBarStyler(nullptr);
        if (FFloatingWindow && FFloatingWindow->Visible())
            FFloatingWindow->Hide();
        ArrangeControls(true);
        if (!Loading() && OnDocked)
            OnDocked(this, panel);
    } else if (dynamic_cast<TFloatingWindow*>(AParent)) {
        FState = tbsFloating;
        if (!Horizontal())
            SetPosition(daTop);
        ArrangeControls(true);
        if (!Loading() && OnUnDocked)
            OnUnDocked(this);
    } else if (AParent) {
        FState = tbsPlaced;
        ArrangeControls(true);
    }
}

void TKvxCustomToolBar::SetPosition(TDockAlign Value) {
    if (Value == FPosition)
        return;
    BackgroundChanged();
    const bool turned = toolbar::IsHorizontal(Value) != Horizontal() && !Loading();
    FPosition = Value;
    // A toolbar that turns swaps its sides before its controls size themselves across it; otherwise
    // they would take the old length as their thickness and keep the toolbar as long as it was.
    plat::TemporaryChange<bool> positioning(FInternalResize, FInternalResize || turned);
    if (turned) {
        // The sides are taken before the swapped constraints clamp them.
        const int width = Width(), height = Height();
        const TRect k = DockConstraints();
        SetDockConstraints(k.Top, k.Left, k.Bottom, k.Right);
        TCustomControl::SetBounds(Left(), Top(), height, width);
    }
    for (TControl* c : FOrderedControls)
        if (auto* tc = dynamic_cast<TKvxCustomToolBarControl*>(c))
            tc->SetPosition(Value);
    if (turned) {
        if (Horizontal())
            TCustomControl::SetBounds(Left(), Top(), FFullLength, Height());
        else
            TCustomControl::SetBounds(Left(), Top(), Width(), FFullLength);
    }
    ArrangeControls(true);
    Invalidate();
}

void TKvxCustomToolBar::SetFullSize(bool Value) {
    if (Value == FFullSize)
        return;
    BackgroundChanged();
    FFullSize = Value;
    if (Value) {
        RestoreOverflow();
        if (Docked())
            FDockPanel->ToolBarFullSizeChanged(this);
    } else {
        ArrangeControls(true);
    }
    Invalidate();
}

// ---- Styler ----

void TKvxCustomToolBar::SetToolBarStyler(TCustomKvxToolBarStyler* Value) {
    if (Value == FToolBarStyler && Value)
        return;
    if (FToolBarStyler && FToolBarStyler != FInternalStyler) {
        FToolBarStyler->UnregisterStylerClient(this);
        FToolBarStyler->RemoveFreeNotification(this);
    }
    FToolBarStyler = Value;
    if (FParentStyler && FLastDockPanel && FLastDockPanel->CurrentStyler() &&
        !(FLastDockPanel->CurrentStyler()->ComponentState() & plat::csDestroying))
        FToolBarStyler = FLastDockPanel->CurrentStyler();
    BackgroundChanged();
    if (FToolBarStyler) {
        FCurrentStyler = FToolBarStyler;
        FToolBarStyler->RegisterStylerClient(this);
        FToolBarStyler->FreeNotification(this);
    } else {
        FCurrentStyler = FInternalStyler;
    }
    if (Parent()) {
        for (TControl* c : FOrderedControls)
            if (auto* b = dynamic_cast<TKvxCustomToolBarButton*>(c))
                b->CalcButtonSize();
        ApplyStylerToControls();
    }
    Invalidate();
}

void TKvxCustomToolBar::SetParentStyler(bool Value) {
    if (!Value && Value == FParentStyler)
        return;
    FParentStyler = Value;
    SetToolBarStyler(nullptr);
}

void TKvxCustomToolBar::StylerDestroyed(TCustomKvxToolBarStyler* Styler) {
    if (Styler != FToolBarStyler)
        return;
    // Its clients list is being emptied: no unregistering, only the fall-back.
    FToolBarStyler = nullptr;
    FCurrentStyler = FInternalStyler;
    BackgroundChanged();
    if (FLastDockPanel && FLastDockPanel->CurrentStyler() == Styler)
        FLastDockPanel = FDockPanel && FDockPanel->CurrentStyler() != Styler ? FDockPanel : FLastDockPanel;
    Invalidate();
}

void TKvxCustomToolBar::ApplyStylerToControls() {
    if (!FCurrentStyler)
        return;
    auto* styleable = dynamic_cast<IStyleable*>(FCurrentStyler);
    for (TControl* c : FOrderedControls) {
        if (auto* glow = dynamic_cast<TKvxGlowButton*>(c))
            glow->SetAppearance(FCurrentStyler->GlowButtonAppearance());
        if (styleable && FCurrentStyler->ChildStyle() != tsCustom)
            if (auto* s = dynamic_cast<IStyleable*>(c))
                s->ApplyStyle(FCurrentStyler->ChildStyle());
    }
}

void TKvxCustomToolBar::StylerChanged(int Code) {
    BackgroundChanged();
    SetColor(FCurrentStyler->Color()->Color());
    switch (Code) {
    case scColors:
    case scGlowButtons:
        ApplyStylerToControls();
        break;
    case scDragGrip:
        ArrangeControls(true);
        UpdateOverflow();
        break;
    case scMenuStyler:
        if (!Loading())
            for (TControl* c : FOrderedControls)
                if (auto* b = dynamic_cast<TKvxToolBarMenuButton*>(c))
                    b->CalcButtonSize();
        break;
    default:
        break;
    }
    Invalidate();
}

void TKvxCustomToolBar::CopyDockPersistence(const TPersistence* From) {
    FPersistence->SetEnabled(From->Enabled());
    FPersistence->SetKey(From->Key());
    FPersistence->SetLocation(From->Location());
}

// ---- Settings ----

void TKvxCustomToolBar::SetShowCaption(bool Value) {
    if (Value == FShowCaption)
        return;
    BackgroundChanged();
    FShowCaption = Value;
    ArrangeControls(true);
    Invalidate();
}

void TKvxCustomToolBar::SetCaptionHeight(int Value) {
    if (Value == FCaptionHeight)
        return;
    BackgroundChanged();
    FCaptionHeight = Value;
    if (FShowCaption)
        ArrangeControls(true);
    Invalidate();
}

void TKvxCustomToolBar::SetCaptionPosition(TCaptionPosition Value) {
    if (Value == FCaptionPosition)
        return;
    BackgroundChanged();
    FCaptionPosition = Value;
    if (FShowCaption)
        ArrangeControls(true);
    Invalidate();
}

void TKvxCustomToolBar::SetCaptionAlignment(plat::TAlignment Value) {
    if (Value == FCaptionAlignment)
        return;
    FCaptionAlignment = Value;
    BackgroundChanged();
    Invalidate();
}

void TKvxCustomToolBar::SetShowOptionIndicator(bool Value) {
    if (Value == FShowOptionIndicator)
        return;
    FShowOptionIndicator = Value;
    Invalidate();
}

void TKvxCustomToolBar::SetAntiAlias(TAntiAlias Value) {
    if (Value == FAntiAlias)
        return;
    FAntiAlias = Value;
    Invalidate();
}

void TKvxCustomToolBar::SetShowRightHandle(bool Value) {
    if (Value == FShowRightHandle)
        return;
    BackgroundChanged();
    FShowRightHandle = Value;
    FRightHandleSize = Value ? 14 : 4;
    ArrangeControls(true);
    if (Docked() && FRowIndex >= 0 && FRowIndex < FDockPanel->RowCount())
        FDockPanel->Rows()->Rows(FRowIndex)->ArrangeRow();
    Invalidate();
}

void TKvxCustomToolBar::SetAutoArrangeButtons(bool Value) {
    if (Value == FAutoArrangeButtons)
        return;
    FAutoArrangeButtons = Value;
    if (!Value && !Loading())
        FArrangeOrder = FOrderedControls;
}

bool TKvxCustomToolBar::FreelyPlaced() const {
    return FState == tbsPlaced && !dynamic_cast<TKvxDockPanel*>(Parent());
}

void TKvxCustomToolBar::SetAutoSize(bool Value) {
    if (Value == FAutoSizeBar)
        return;
    // Docked and floating toolbars are sized by their row or window; a stored layout is taken as it is.
    if (!Value && !Loading() && !FreelyPlaced())
        return;
    FAutoSizeBar = Value;
    if (!Value) {
        plat::TSizeConstraints* k = Constraints();
        k->SetMinWidth(0);
        k->SetMaxWidth(0);
        k->SetMinHeight(0);
        k->SetMaxHeight(0);
    }
    ArrangeControls(true);
}

void TKvxCustomToolBar::SetAutoPositionControls(bool Value) {
    if (Value == FAutoPositionControls)
        return;
    if (!Value && !Loading() && !FreelyPlaced())
        return;
    FAutoPositionControls = Value;
    if (Value)
        ArrangeControls(true);
    else
        SetAutoSize(false);
}

plat::TControl* TKvxCustomToolBar::ToolBarControl(int Index) const {
    if (Index < 0 || Index >= ToolBarControlCount())
        return nullptr;
    return FOrderedControls[Index];
}

void TKvxCustomToolBar::MoveToolBarControl(int From, int To) {
    const int n = ToolBarControlCount();
    if (From < 0 || From >= n || To < 0 || To >= n || From == To)
        return;
    plat::TControl* c = FOrderedControls[From];
    FOrderedControls.erase(FOrderedControls.begin() + From);
    FOrderedControls.insert(FOrderedControls.begin() + To, c);
    ArrangeControls(true);
}

void TKvxCustomToolBar::SetImages(plat::TCustomImageList* Value) {
    if (Value == FImages)
        return;
    plat::TCustomImageList* old = FImages;
    if (old)
        old->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    if (old && !Loading()) {
        // The thickness follows the change of image size.
        const int delta =
            Value ? (Horizontal() ? Value->Height() - old->Height() : Value->Width() - old->Width())
                  : -(Horizontal() ? old->Height() : old->Width());
        if (Horizontal())
            SetHeight(Height() + delta);
        else
            SetWidth(Width() + delta);
    }
    for (TControl* c : FOrderedControls)
        if (auto* tc = dynamic_cast<TKvxCustomToolBarControl*>(c))
            tc->CalcSize();
    ArrangeControls(true);
    Invalidate();
}

void TKvxCustomToolBar::SetDisabledImages(plat::TCustomImageList* Value) {
    if (Value == FDisabledImages)
        return;
    if (FDisabledImages)
        FDisabledImages->RemoveFreeNotification(this);
    FDisabledImages = Value;
    if (Value)
        Value->FreeNotification(this);
    // A disabled image may differ in size from the normal one.
    for (TControl* c : FOrderedControls)
        if (auto* item = dynamic_cast<TKvxCustomToolBarControl*>(c))
            item->CalcSize();
    Invalidate();
}

void TKvxCustomToolBar::SetCompactImageIndex(int Value) {
    if (Value == FCompactImageIndex)
        return;
    FCompactImageIndex = Value;
    Invalidate();
}

void TKvxCustomToolBar::ReadjustButtons(bool MenuButtonsOnly) {
    for (TControl* c : FOrderedControls) {
        auto* button = MenuButtonsOnly ? dynamic_cast<TKvxToolBarMenuButton*>(c)
                                       : dynamic_cast<TKvxCustomToolBarButton*>(c);
        if (button)
            button->CalcSize();
    }
}

// ---- Life cycle ----

void TKvxCustomToolBar::CreateWnd() {
    plat::TCustomControl::CreateWnd();
    // The form's window is made before its children's, so the menu's keys can be hooked on it now.
    if (FMenu)
        HookFormKeys();
}

void TKvxCustomToolBar::Loaded() {
    TCustomControl::Loaded();
    RebuildControlLists();
    ArrangeControls(true);
    FLoadedFlag = true;
    HookFormKeys();
    // The hook on the form could not be set while loading.
    if (std::exchange(FAutoMDIButtons, false))
        SetAutoMDIButtons(true);
    if (FPersistence->Enabled() && !Designing())
        LoadFloatingState();
}

void TKvxCustomToolBar::Notification(plat::TComponent* AComponent, plat::TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == plat::opRemove && AComponent == FFloatingWindow)
        FFloatingWindow = nullptr;
    if (Operation == plat::opRemove && AComponent == FHostForm)
        FHostForm = nullptr;
    // A styler that goes while the toolbar is going too (a dock panel's styler freed in the same
    // teardown) must not stay behind for the destructor to unregister from.
    if (Operation == plat::opRemove && AComponent == FToolBarStyler &&
        (ComponentState() & plat::csDestroying)) {
        FToolBarStyler = nullptr;
        FCurrentStyler = FInternalStyler;
    }
    if (Operation != plat::opRemove || (ComponentState() & plat::csDestroying))
        return;
    MenuBarNotification(AComponent);
    if (AComponent == FCustomizer)
        FCustomizer = nullptr;
    if (AComponent == FImages) {
        FImages = nullptr;
        // The indexes pointed into the list that went; the buttons would show another list's images.
        for (TControl* c : FOrderedControls)
            if (auto* b = dynamic_cast<TKvxCustomToolBarButton*>(c))
                b->SetImageIndex(-1);
        Invalidate();
    }
    if (AComponent == FDisabledImages) {
        FDisabledImages = nullptr;
        Invalidate();
    }
    if (AComponent == FHotButton)
        FHotButton = nullptr;
    if (AComponent == FToolBarStyler) {
        FToolBarStyler = nullptr;
        FCurrentStyler = FInternalStyler;
        BackgroundChanged();
        Invalidate();
    }
    if (auto* c = dynamic_cast<TControl*>(AComponent))
        if (IndexOfControl(c) >= 0 || InOverflow(c))
            ControlRemoved(c);
}

void TKvxCustomToolBar::Dispatch(plat::TMessage& Message) {
    if (MenuBarDispatch(Message))
        return;
    switch (Message.Msg) {
    case plat::WM_SETFOCUS:
        TCustomControl::Dispatch(Message);
        // The toolbar itself takes no typing: the focus goes on to its first control that can have it.
        if (plat::TWinControl* first = FirstFocusableControl(true))
            first->SetFocus();
        return;
    case plat::CM_CONTROLCHANGE:
        TCustomControl::Dispatch(Message);
        if (!FReparenting) {
            auto* c = reinterpret_cast<TControl*>(Message.WParam);
            if (Message.LParam)
                ControlInserted(c);
            else
                ControlRemoved(c);
        }
        return;
    case plat::CM_MOUSELEAVE:
        TCustomControl::Dispatch(Message);
        if (FRightHandleHot || FRightHandleDown) {
            FRightHandleHot = FRightHandleDown = false;
            InvalidatePart(RightHandleRect());
        }
        if (FCaptionOptionHot || FCaptionOptionDown) {
            FCaptionOptionHot = FCaptionOptionDown = false;
            FHotFade = FDownFade = 0;
            FHotStep = FDownStep = 0;
            InvalidatePart(CaptionOptionRect());
        }
        return;
    case plat::CM_DIALOGCHAR:
        // An accelerator typed in the form: the first shown, enabled button that carries it.
        if (Enabled() && Showing())
            for (TControl* c : FOrderedControls) {
                auto* b = dynamic_cast<TKvxCustomToolBarButton*>(c);
                if (!b || !b->Visible() || !b->Enabled() ||
                    !plat::IsAccel(static_cast<char32_t>(Message.WParam), b->Caption()))
                    continue;
                if (b->IsMenuButton() && (b->DropDownMenu() || b->MenuItem()))
                    DropMenuButton(b);
                else
                    b->Click();
                Message.Result = 1;
                return;
            }
        TCustomControl::Dispatch(Message);
        return;
    case plat::CM_HINTSHOW:
        TCustomControl::Dispatch(Message);
        if (auto* info = reinterpret_cast<plat::THintInfo*>(Message.LParam);
            info && ShowHint() && FShowOptionIndicator && !Floating() && !FHintOptionButton.empty() &&
            RightHandleRect().Contains(info->CursorPos))
            info->HintStr = FHintOptionButton;
        return;
    case plat::CM_TEXTCHANGED:
    case plat::CM_ENABLEDCHANGED:
        BackgroundChanged();
        TCustomControl::Dispatch(Message);
        return;
    case plat::CM_VISIBLECHANGED:
        TCustomControl::Dispatch(Message);
        if (Docked())
            FDockPanel->ToolBarVisibilityChanged(this);
        // A floating toolbar's window shows and hides with it, and the form it came from follows that.
        if (Floating() && FFloatingWindow && !FChangingVisibility) {
            FHiddenWithForm = Visible();
            FFloatingWindow->SetVisible(Visible());
        }
        return;
    case plat::WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case plat::WM_TIMER:
        if (Message.WParam == kFloatingTimerId) {
            FloatingTimerTick();
            return;
        }
        TCustomControl::Dispatch(Message);
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}

void TKvxCustomToolBar::AlignControls(TControl* AControl, TRect& Rect) {
    TCustomControl::AlignControls(AControl, Rect);
    if (!FArranging && AControl)
        ControlMoved(AControl);
}

void TKvxCustomToolBar::Resize() {
    TCustomControl::Resize();
    // The row gave the toolbar another length: controls move into or out of the overflow.
    if (Docked() && !FArranging)
        UpdateOverflow();
}

// ---- Registry ----

int TKvxCustomToolBar::IndexOfControl(const TControl* Control) const {
    auto it = std::find(FOrderedControls.begin(), FOrderedControls.end(), Control);
    return it == FOrderedControls.end() ? -1 : static_cast<int>(it - FOrderedControls.begin());
}

bool TKvxCustomToolBar::InOverflow(const TControl* Control) const {
    return std::find(FOverflowControls.begin(), FOverflowControls.end(), Control) != FOverflowControls.end();
}

int TKvxCustomToolBar::PosOf(const TControl* Control) const {
    return Horizontal() ? Control->Left() : Control->Top();
}

int TKvxCustomToolBar::LenOf(const TControl* Control) const {
    return Horizontal() || Floating() ? Control->Width() : Control->Height();
}

bool TKvxCustomToolBar::IsSeparator(const TControl* Control) const {
    return dynamic_cast<const TKvxToolBarSeparator*>(Control) != nullptr;
}

bool TKvxCustomToolBar::Shown(const TControl* Control) const {
    return (Control->Visible() || Designing()) && !InOverflow(Control);
}

void TKvxCustomToolBar::RebuildControlLists() {
    FOrderedControls.clear();
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        auto at = FOrderedControls.begin();
        for (auto it = FOrderedControls.begin(); it != FOrderedControls.end(); ++it)
            if (PosOf(*it) <= PosOf(c))
                at = it + 1;
        FOrderedControls.insert(at, c);
    }
    FArrangeOrder = FOrderedControls;
}

void TKvxCustomToolBar::ControlInserted(TControl* Control) {
    if (auto* tc = dynamic_cast<TKvxCustomToolBarControl*>(Control)) {
        tc->FToolBar = this;
        tc->FPosition = FPosition;
        if (!Loading() && !Designing())
            tc->CalcSize();
    }
    const bool listed = IndexOfControl(Control) >= 0;
    if (!(listed && FOrderedControls.size() <= 1)) {
        std::erase(FOrderedControls, Control);
        auto at = FOrderedControls.end();
        if (Control->Left() != 0 && Control->Top() != 0)
            at = std::find_if(FOrderedControls.begin(), FOrderedControls.end(),
                              [&](TControl* o) { return PosOf(o) >= PosOf(Control); });
        FOrderedControls.insert(at, Control);
    }
    if (std::find(FArrangeOrder.begin(), FArrangeOrder.end(), Control) == FArrangeOrder.end())
        FArrangeOrder.push_back(Control);
    ArrangeControls(true);
}

void TKvxCustomToolBar::ControlRemoved(TControl* Control) {
    if (auto* tc = dynamic_cast<TKvxCustomToolBarControl*>(Control))
        if (tc->FToolBar == this)
            tc->FToolBar = nullptr;
    if (Control == FHotButton)
        FHotButton = nullptr;
    std::erase(FOrderedControls, Control);
    std::erase(FArrangeOrder, Control);
    std::erase(FOverflowControls, Control);
    if (!(ComponentState() & plat::csDestroying))
        ArrangeControls(true);
}

void TKvxCustomToolBar::ControlMoved(TControl* Control) {
    if (IndexOfControl(Control) < 0)
        return;
    if (Designing() || Loading()) {
        std::erase(FOrderedControls, Control);
        auto at = std::find_if(FOrderedControls.begin(), FOrderedControls.end(),
                               [&](TControl* o) { return PosOf(o) >= PosOf(Control); });
        FOrderedControls.insert(at, Control);
    }
    ArrangeControls(true);
    UpdateOverflow();
    if (Docked() && !FInternalResize && FRowIndex >= 0 && FRowIndex < FDockPanel->RowCount())
        FDockPanel->Rows()->Rows(FRowIndex)->ArrangeRow();
}

void TKvxCustomToolBar::AddToolBarControl(TKvxCustomToolBarControl* Control) {
    if (Control->Parent() != this)
        Control->SetParent(this); // the control-change message registers it
    else if (IndexOfControl(Control) < 0)
        ControlInserted(Control);
}

void TKvxCustomToolBar::RemoveToolBarControl(TKvxCustomToolBarControl* Control) {
    if (IndexOfControl(Control) >= 0 || InOverflow(Control))
        ControlRemoved(Control);
}

void TKvxCustomToolBar::HotButtonChanged(TKvxCustomToolBarButton* Button) {
    if (Button->Hot()) {
        if (FHotButton && FHotButton != Button)
            FHotButton->SetHot(false);
        FHotButton = Button;
    } else if (FHotButton == Button) {
        FHotButton = nullptr;
    }
}

// ---- Layout ----

bool TKvxCustomToolBar::GripDrawn() const {
    return FCurrentStyler->DragGripStyle() != dsNone && !Floating() && !OnPagerPage();
}

void TKvxCustomToolBar::ParkControl(TControl* Control) {
    if (Horizontal() || Floating())
        Control->SetTop(Height() + 2);
    else
        Control->SetLeft(Width() + 2);
}

void TKvxCustomToolBar::ArrangeControls(bool UpdateSize) {
    if (Loading())
        return;
    if (!FAutoPositionControls && !Docked() && !Floating())
        return;
    {
        plat::TemporaryChange<bool> arranging(FArranging, true);
        const int captionTop = FShowCaption && FCaptionPosition == cpTop ? FCaptionHeight + 2 : 2;
        if (Floating()) {
            int x = 2, y = FCaptionHeight + 2;
            for (TControl* c : FOrderedControls) {
                if (!c->Visible() && !Designing()) {
                    ParkControl(c);
                    continue;
                }
                if (FFloatingRows > 1 && x > 2 && Width() - x - 2 < c->Width()) {
                    x = 2;
                    y += FRowSize;
                }
                c->SetBounds(x, y, c->Width(), c->Height());
                x += c->Width();
            }
        } else {
            int along = GripOffset();
            for (TControl* c : FOrderedControls) {
                if (!Shown(c)) {
                    ParkControl(c);
                    continue;
                }
                if (Horizontal())
                    c->SetBounds(along, captionTop, c->Width(), c->Height());
                else
                    c->SetBounds(captionTop, along, c->Width(), c->Height());
                along += LenOf(c);
            }
        }
    }
    if (UpdateSize)
        UpdateToolBarSize();
    OptionOverflowChanged();
}

void TKvxCustomToolBar::UpdateToolBarSize() {
    if (Loading())
        return;
    const bool horizontal = Horizontal();
    int endOfContent = 15;
    int needed = GripOffset() + FRightHandleSize;
    int thickness = 26;
    for (TControl* c : FOrderedControls) {
        if (!c->Visible() && !Designing())
            continue;
        needed += horizontal ? c->Width() : c->Height();
        if (!IsSeparator(c))
            thickness = std::max(thickness, (horizontal ? c->Height() : c->Width()) + 4);
        if (!InOverflow(c))
            endOfContent = horizontal ? c->Left() + c->Width() : c->Top() + c->Height();
    }
    if (FOrderedControls.empty())
        endOfContent = FMinLength;
    else
        endOfContent += FRightHandleSize;
    FFullLength = std::max(needed, endOfContent);
    if (Floating() || FFullSize || !FAutoSizeBar)
        return;

    plat::TSizeConstraints* k = Constraints();
    const int minLen = std::min(FMinLength, endOfContent);
    int length = horizontal ? Width() : Height();
    if (length < endOfContent || (length > endOfContent && length > FFullLength))
        length = endOfContent;
    if (FShowCaption)
        thickness += FCaptionHeight;
    if (horizontal) {
        k->SetMinHeight(0);
        k->SetMaxHeight(0);
        k->SetMaxWidth(FFullLength);
        k->SetMinWidth(minLen);
        if (length != Width() || thickness != Height())
            SetBounds(Left(), Top(), length, thickness);
    } else {
        k->SetMinWidth(0);
        k->SetMaxWidth(0);
        k->SetMaxHeight(FFullLength);
        k->SetMinHeight(minLen);
        if (length != Height() || thickness != Width())
            SetBounds(Left(), Top(), thickness, length);
    }
}

int TKvxCustomToolBar::ComputeFullLength() const {
    int n = GripDrawn() ? FGripSize + 2 : 2;
    for (TControl* c : FOrderedControls)
        if (c->Visible())
            n += Horizontal() || Floating() ? c->Width() : c->Height();
    return std::max(n + FRightHandleSize, FMinLength);
}

int TKvxCustomToolBar::ComputeRowSize(bool AsFloating) const {
    int maxH = 0, maxW = 0, otherH = 0, buttonW = 0;
    for (TControl* c : FOrderedControls) {
        if (IsSeparator(c))
            continue;
        maxH = std::max(maxH, c->Height());
        maxW = std::max(maxW, c->Width());
        if (dynamic_cast<TKvxCustomToolBarButton*>(c))
            buttonW = std::max(buttonW, c->Width());
        if (!dynamic_cast<TKvxCustomToolBarControl*>(c))
            otherH = std::max(otherH, c->Height());
    }
    int size;
    if (AsFloating || Floating())
        size = Horizontal() ? maxH + 4 : std::max(otherH, buttonW) + 4;
    else
        size = (Horizontal() ? maxH : maxW) + 4;
    return std::max(size, 26);
}

// ---- Overflow ----

void TKvxCustomToolBar::ReturnFromOverflow(TControl* Control) {
    std::erase(FOverflowControls, Control);
    if (Control->Parent() != this) {
        plat::TemporaryChange<bool> reparenting(FReparenting, true);
        Control->SetParent(this);
    }
}

void TKvxCustomToolBar::RestoreOverflow() {
    std::vector<TControl*> back(FOverflowControls);
    for (TControl* c : back)
        ReturnFromOverflow(c);
    FOverflowControls.clear();
}

// A group is the run of controls (in screen order) between two separators. When the toolbar takes
// controls away, separators that already went are passed over (PassOverflowed); when it brings them
// back, every separator bounds a group.
void TKvxCustomToolBar::GroupAround(TControl* Control, int& First, int& Last, bool PassOverflowed) const {
    const int i = IndexOfControl(Control);
    const int n = static_cast<int>(FOrderedControls.size());
    auto bounds = [&](int j) {
        TControl* c = FOrderedControls[j];
        return IsSeparator(c) && !(PassOverflowed && InOverflow(c));
    };
    First = i;
    while (First > 0 && !bounds(First - 1))
        --First;
    Last = i;
    while (Last < n - 1 && !bounds(Last + 1))
        ++Last;
}

// The separator just before the group, else the one just after it; null when the group has neither.
TControl* TKvxCustomToolBar::GroupSeparator(int First, int Last) const {
    if (First > 0)
        return FOrderedControls[First - 1];
    if (Last + 1 < static_cast<int>(FOrderedControls.size()))
        return FOrderedControls[Last + 1];
    return nullptr;
}

bool TKvxCustomToolBar::GroupHasShown(int First, int Last) const {
    for (int j = First; j <= Last; ++j) {
        TControl* c = FOrderedControls[j];
        if (!IsSeparator(c) && c->Visible() && !InOverflow(c))
            return true;
    }
    return false;
}

void TKvxCustomToolBar::UpdateOverflow() {
    if (!Docked() || FReparenting || Loading())
        return;
    if (FFullSize) {
        RestoreOverflow();
        ArrangeControls(false);
        return;
    }
    const bool horizontal = Horizontal();
    auto farEdge = [&](TControl* c) { return horizontal ? c->Left() + c->Width() : c->Top() + c->Height(); };
    auto len = [&](TControl* c) { return horizontal ? c->Width() : c->Height(); };
    const int length = Length();

    // A shown control whose separator already overflowed follows it.
    TControl* last = nullptr;
    for (TControl* c : FOrderedControls)
        if (c->Visible() && !IsSeparator(c) && !InOverflow(c))
            last = c;
    if (last) {
        const int i = IndexOfControl(last);
        for (int j = i - 1; j >= 0; --j)
            if (IsSeparator(FOrderedControls[j])) {
                if (InOverflow(FOrderedControls[j]))
                    FOverflowControls.push_back(last);
                break;
            }
    }
    ArrangeControls(false);

    TControl* V = nullptr;
    for (TControl* c : FOrderedControls)
        if (c->Visible() && !InOverflow(c))
            V = c;
    if (!V) {
        int free = length - FRightHandleSize - (GripDrawn() ? FGripSize : 0);
        while (!FOverflowControls.empty() && free >= len(FOverflowControls.back())) {
            TControl* c = FOverflowControls.back();
            free -= len(c);
            ReturnFromOverflow(c);
        }
    } else if (farEdge(V) >= length - FRightHandleSize) {
        int excess = farEdge(V) + FRightHandleSize - length;
        while (excess > 0) {
            TControl* pick = nullptr;
            for (auto it = FArrangeOrder.rbegin(); it != FArrangeOrder.rend(); ++it)
                if ((*it)->Visible() && !IsSeparator(*it) && !InOverflow(*it)) {
                    pick = *it;
                    break;
                }
            if (!pick)
                break;
            FOverflowControls.push_back(pick);
            excess -= len(pick);
            int first, lastIdx;
            GroupAround(pick, first, lastIdx, true);
            if (!GroupHasShown(first, lastIdx))
                if (TControl* sep = GroupSeparator(first, lastIdx); sep && !InOverflow(sep)) {
                    FOverflowControls.push_back(sep);
                    excess -= len(sep);
                }
        }
    } else {
        int spare = length - FRightHandleSize - farEdge(V);
        for (;;) {
            TControl* c = nullptr;
            for (auto it = FOverflowControls.rbegin(); it != FOverflowControls.rend(); ++it)
                if (!IsSeparator(*it)) {
                    c = *it;
                    break;
                }
            if (!c || spare < len(c))
                break;
            int first, lastIdx;
            GroupAround(c, first, lastIdx, false);
            TControl* sep = nullptr;
            if (!GroupHasShown(first, lastIdx))
                if (TControl* s = GroupSeparator(first, lastIdx); s && InOverflow(s))
                    sep = s;
            if (sep) {
                if (spare < len(c) + len(sep))
                    break;
                ReturnFromOverflow(sep);
                spare -= len(sep);
            }
            ReturnFromOverflow(c);
            spare -= len(c);
        }
    }
    ArrangeControls(false);
}

void TKvxCustomToolBar::PromoteOverflowButton(TControl* Control) {
    if (IndexOfControl(Control) < 0 || !FAutoArrangeButtons)
        return;
    std::erase(FArrangeOrder, Control);
    FArrangeOrder.insert(FArrangeOrder.begin(), Control);
    if (InOverflow(Control)) {
        int first, last;
        GroupAround(Control, first, last, false);
        const bool groupEmpty = !GroupHasShown(first, last);
        ReturnFromOverflow(Control);
        if (TControl* sep = GroupSeparator(first, last); groupEmpty && sep && InOverflow(sep))
            ReturnFromOverflow(sep);
    }
    HideOptionWindow();
    UpdateOverflow();
}

// ---- Published properties and registration for layouts ----

PLAT_PROPERTIES(TKvxDockPanel) {
    using P = TKvxDockPanel;
    props.Enum("Align", &P::Align, &P::SetAlign, kDockAlignNames, daTop);
    props.Integer("MinimumSize", &P::MinimumSize, &P::SetMinimumSize, 3);
    props.Boolean("LockHeight", &P::LockHeight, &P::SetLockHeight, false);
    props.Boolean("UseRunTimeHeight", &P::UseRunTimeHeight, &P::SetUseRunTimeHeight, false);
    props.Object("Persistence", &P::Persistence, &P::SetPersistence);
    props.String("Version", &P::Version, &P::SetVersion).Stored(false);
}

PLAT_PROPERTIES(TKvxCustomToolBar) {}

PLAT_PROPERTIES(TKvxToolBar) {
    using T = TKvxToolBar;
    props.String("Caption", &T::Caption, &T::SetCaption);
    props.Boolean("AutoSize", &T::AutoSize, &T::SetAutoSize, true);
    props.Boolean("ShowCaption", &T::ShowCaption, &T::SetShowCaption, false);
    props.Integer("CaptionHeight", &T::CaptionHeight, &T::SetCaptionHeight, 16);
    props.Enum("CaptionPosition", &T::CaptionPosition, &T::SetCaptionPosition, kCaptionPositionNames, cpTop);
    props.Boolean("ShowRightHandle", &T::ShowRightHandle, &T::SetShowRightHandle, true);
    props.Boolean("ShowOptionIndicator", &T::ShowOptionIndicator, &T::SetShowOptionIndicator, true);
    props.Boolean("ShowClose", &T::ShowClose, &T::SetShowClose, true);
    props.Enum("CaptionAlignment", &T::CaptionAlignment, &T::SetCaptionAlignment, plat::kAlignmentNames,
               plat::taLeftJustify);
    props.String("HintOptionButton", &T::HintOptionButton, &T::SetHintOptionButton);
    props.String("HintCloseButton", &T::HintCloseButton, &T::SetHintCloseButton);
    props.Enum("AntiAlias", &T::AntiAlias, &T::SetAntiAlias, kAntiAliasNames, aaClearType);
    props.String("CompactCaption", &T::CompactCaption, &T::SetCompactCaption);
    props.Object("CompactPicture", &T::CompactPicture, &T::SetCompactPicture);
    props.Integer("CompactImageIndex", &T::CompactImageIndex, &T::SetCompactImageIndex);
    props.String("CompactShortCutHint", &T::CompactShortCutHint, &T::SetCompactShortCutHint);
    props.Object("OfficeHint", &T::OfficeHint, &T::SetOfficeHint);
    props.Component("Images", &T::Images, &T::SetImages);
    props.Component("DisabledImages", &T::DisabledImages, &T::SetDisabledImages);
    props.Boolean("FullSize", &T::FullSize, &T::SetFullSize, false);
    props.Boolean("AutoArrangeButtons", &T::AutoArrangeButtons, &T::SetAutoArrangeButtons, true);
    props.Boolean("AutoPositionControls", &T::AutoPositionControls, &T::SetAutoPositionControls, true);
    props.Component("Menu", &T::Menu, &T::SetMenu);
    props.Boolean("AutoMDIButtons", &T::AutoMDIButtons, &T::SetAutoMDIButtons, false);
    props.Boolean("AutoOptionMenu", &T::AutoOptionMenu, &T::SetAutoOptionMenu, false);
    props.Component("OptionMenu", &T::OptionMenu, &T::SetOptionMenu);
    props.String("TextAutoOptionMenu", &T::TextAutoOptionMenu, &T::SetTextAutoOptionMenu,
                 "Add or Remove Buttons");
    props.String("TextOptionMenu", &T::TextOptionMenu, &T::SetTextOptionMenu, "Options");
    props.Boolean("AllowFloating", &T::AllowFloating, &T::SetAllowFloating);
    props.Boolean("AutoDockOnClose", &T::AutoDockOnClose, &T::SetAutoDockOnClose, false);
    props.Boolean("Locked", &T::Locked, &T::SetLocked, false);
    props.Enum("DockMode", &T::DockMode, &T::SetDockMode, kDockModeNames, dmAll);
    props.String("Version", &T::Version, &T::SetVersion).Stored(false);
}

PLAT_PROPERTIES(TKvxCustomToolBarControl) {}

PLAT_PROPERTIES(TKvxToolBarSeparator) {
    using S = TKvxToolBarSeparator;
    props.Enum("SeparatorStyle", &S::SeparatorStyle, &S::SetSeparatorStyle, kSeparatorStyleNames,
               ssOffice2003);
    props.Color("LineColor", &S::LineColor, &S::SetLineColor);
    props.Enum("Position", &S::Position, &S::SetPosition, kDockAlignNames);
}

PLAT_PROPERTIES(TKvxToolBarButtonDrawPosition) {
    using D = TKvxToolBarButtonDrawPosition;
    props.Boolean("Enabled", &D::Enabled, &D::SetEnabled, false);
    props.Integer("TextX", &D::TextX, &D::SetTextX, 0);
    props.Integer("TextY", &D::TextY, &D::SetTextY, 0);
    props.Integer("ImageX", &D::ImageX, &D::SetImageX, 0);
    props.Integer("ImageY", &D::ImageY, &D::SetImageY, 0);
}

PLAT_PROPERTIES(TKvxCustomToolBarButton) {}

PLAT_PROPERTIES(TKvxToolBarButton) {
    using B = TKvxToolBarButton;
    props.String("Caption", &B::Caption, &B::SetCaption);
    props.Boolean("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp, false);
    props.Boolean("AutoSize", &B::AutoSize, &B::SetAutoSize, true);
    props.Enum("GlyphPosition", &B::GlyphPosition, &B::SetGlyphPosition, kGlyphPositionNames, gpLeft);
    props.Integer("GroupIndex", &B::GroupIndex, &B::SetGroupIndex, 0);
    props.Boolean("Down", &B::Down, &B::SetDown, false);
    props.Boolean("DropDownButton", &B::DropDownButton, &B::SetDropDownButton, false);
    props.Boolean("DropDownSplit", &B::DropDownSplit, &B::SetDropDownSplit, true);
    props.Object("Glyph", &B::Glyph, &B::SetGlyph);
    props.Object("GlyphDisabled", &B::GlyphDisabled, &B::SetGlyphDisabled);
    props.Integer("ImageIndex", &B::ImageIndex, &B::SetImageIndex, -1);
    props.Boolean("ParentStyler", &B::ParentStyler, &B::SetParentStyler, true);
    props.Enum("Position", &B::Position, &B::SetPosition, kDockAlignNames);
    props.Boolean("Shaded", &B::Shaded, &B::SetShaded, true);
    props.Object("DrawPosition", &B::DrawPosition, &B::SetDrawPosition);
    props.Object("OfficeHint", &B::OfficeHint, &B::SetOfficeHint);
    props.Object("Picture", &B::Picture, &B::SetPicture);
    props.Object("PictureDisabled", &B::PictureDisabled, &B::SetPictureDisabled);
    props.Boolean("ShowCaption", &B::ShowCaption, &B::SetShowCaption, false);
    props.Enum("Style", &B::Style, &B::SetStyle, kToolButtonStyleNames, tasButton);
    props.String("Version", &B::Version, &B::SetVersion).Stored(false);
}

PLAT_PROPERTIES(TKvxToolBarMenuButton) {
    using B = TKvxToolBarMenuButton;
    props.String("Caption", &B::Caption, &B::SetCaption);
    props.Boolean("DropDownButton", &B::DropDownButton, &B::SetDropDownButton, false);
    props.Boolean("DropDownSplit", &B::DropDownSplit, &B::SetDropDownSplit, true);
    props.Object("Glyph", &B::Glyph, &B::SetGlyph);
    props.Integer("ImageIndex", &B::ImageIndex, &B::SetImageIndex, -1);
    props.Boolean("ParentStyler", &B::ParentStyler, &B::SetParentStyler, true);
    props.Enum("Position", &B::Position, &B::SetPosition, kDockAlignNames);
    props.Boolean("ShowCaption", &B::ShowCaption, &B::SetShowCaption, false);
    props.String("Version", &B::Version, &B::SetVersion).Stored(false);
}

namespace {
struct TRegistrar {
    TRegistrar() {
        plat::RegisterClass(TKvxDockPanel::StaticClass());
        plat::RegisterClass(TKvxToolBar::StaticClass());
        plat::RegisterClass(TKvxToolBarButton::StaticClass());
        plat::RegisterClass(TKvxToolBarMenuButton::StaticClass());
        plat::RegisterClass(TKvxToolBarSeparator::StaticClass());
    }
} registrar;
} // namespace

} // namespace ui
