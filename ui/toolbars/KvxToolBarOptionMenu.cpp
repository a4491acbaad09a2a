// The toolbar's side of the option indicator: which controls and entries the option window gets, and
// where it opens.
#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Screen.h"
#include "ui/drawing/KvxMenus.h"
#include "ui/toolbars/KvxOptionWindow.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarCustomizer.h"
#include "ui/toolbars/KvxToolBarStylers.h"

namespace ui {

using plat::TPoint;

void TKvxCustomToolBar::SetOptionMenu(plat::TPopupMenu* Value) {
    if (Value == FOptionMenu)
        return;
    if (FOptionMenu)
        FOptionMenu->RemoveFreeNotification(this);
    FOptionMenu = Value;
    if (FOptionMenu)
        FOptionMenu->FreeNotification(this);
}

void TKvxCustomToolBar::SetCustomizer(TKvxToolBarCustomizer* Value) {
    if (Value == FCustomizer)
        return;
    if (FCustomizer)
        FCustomizer->RemoveFreeNotification(this);
    FCustomizer = Value;
    if (FCustomizer)
        FCustomizer->FreeNotification(this);
}

void TKvxCustomToolBar::CustomizeRequest() {
    if (FCustomizer)
        FCustomizer->ShowCustomizeDialog();
}

TPoint TKvxCustomToolBar::OptionAnchor() const {
    if (Floating())
        return ClientToScreen(TPoint(Width() - 40, FCaptionHeight - 2));
    return Parent() ? Parent()->ClientToScreen(TPoint(Left() + Width() - 12, Top() + Height() + 1))
                    : TPoint();
}

void TKvxCustomToolBar::OptionClick() {
    if (!Parent())
        return;
    if (OnOptionClick) {
        const TPoint p(Left() + Width() - 12, Top() + Height() + 1);
        OnOptionClick(this, p, OptionAnchor());
    }
    ShowOptionWindow();
    if (FRightHandleHot || FRightHandleDown) {
        FRightHandleHot = FRightHandleDown = false;
        InvalidatePart(RightHandleRect());
    }
}

void TKvxCustomToolBar::BeforeDestruction() {
    SaveFloatingStateBeforeDestruction();
    // Controls lent to the option window come home before the window and its panel are freed, or they
    // would go with the panel and leave the toolbar's lists pointing at nothing.
    if (!(ComponentState() & plat::csDestroying))
        TakeBackOverflow();
    TCustomControl::BeforeDestruction();
}

void TKvxCustomToolBar::TakeBackOverflow() {
    for (plat::TControl* c : std::vector<plat::TControl*>(FOverflowControls))
        if (c->Parent() != this) {
            plat::TemporaryChange<bool> reparenting(FReparenting, true);
            c->SetParent(this);
        }
}

void TKvxCustomToolBar::OptionOverflowChanged() {
    if (!FOptionWindow || !FOptionWindow->Visible() || FBuildingOptions)
        return;
    plat::TemporaryChange<bool> building(FBuildingOptions, true);
    BuildOptionWindow();
}

void TKvxCustomToolBar::BuildOptionWindow() {
    if (Designing())
        return;
    if (!FOptionWindow) {
        FOptionWindow = new TOptionSelectorWindow(this);
        FOptionWindow->SetKvxToolBar(this);
        FOptionWindow->SetAutoScroll(false);
        // Closing the window gives the lent controls back to the toolbar.
        FOptionWindow->OnHide = [this](plat::TObject*) {
            if (ComponentState() & plat::csDestroying)
                return;
            TakeBackOverflow();
            ArrangeControls();
            Invalidate();
        };
    }
    if (!FOptionPanel) {
        FOptionPanel = new TControlSelectorPanel(FOptionWindow);
        FOptionPanel->SetParent(FOptionWindow);
    }
    TControlSelectorPanel* panel = FOptionPanel;
    panel->SetShowAddRemove(FAutoOptionMenu);
    if (auto* kvx = dynamic_cast<TKvxPopupMenu*>(FOptionMenu); kvx && FCurrentStyler)
        kvx->SetMenuStyler(FCurrentStyler->CurrentMenuStyler());
    panel->SetOptionMenu(FOptionMenu);
    panel->SetAddRemoveCaption(FTextAutoOptionMenu);
    panel->SetOptionsCaption(FTextOptionMenu);
    panel->SetCustomizer(FCustomizer);
    panel->SetKvxToolBar(this);
    // A menu bar's option window looks like its menus; other toolbars' like their buttons.
    TCustomKvxMenuStyler* menuStyler = FCurrentStyler->CurrentMenuStyler();
    if (FMenu && menuStyler && menuStyler->RootItem()) {
        const TRootItem* r = menuStyler->RootItem();
        panel->SetColors(r->SelectedColor(), r->SelectedColorTo(), r->HoverColor(), r->HoverColorTo(),
                         r->Font()->Color(), r->HoverTextColor(), r->SelectedTextColor());
    } else {
        const toolbar::TButtonAppearance* a = FCurrentStyler->ButtonAppearance();
        panel->SetColors(a->ColorDown(), a->ColorDownTo(), a->ColorHot(), a->ColorHotTo(),
                         a->CaptionTextColor(), a->CaptionTextColorHot(), a->CaptionTextColorDown());
    }
    FOptionWindow->SetOptionsPanel(panel);
    panel->Hidden();
    panel->ClearControls();

    // The overflow entries, with the separators that stand between them. A separator is added only once
    // an overflow control follows it, so none leads or trails the list.
    {
        plat::TemporaryChange<bool> reparenting(FReparenting, true);
        TKvxToolBarSeparator* pending = nullptr;
        int entries = 0;
        for (plat::TControl* c : FOrderedControls) {
            auto* separator = dynamic_cast<TKvxToolBarSeparator*>(c);
            if (separator) {
                pending = separator;
                continue;
            }
            if (!InOverflow(c))
                continue;
            if (pending && entries > 0)
                panel->AddSeparator(pending);
            pending = nullptr;
            panel->AddControl(c);
            // While it lives on the panel the toolbar hears of its destruction only this way.
            c->FreeNotification(this);
            ++entries;
        }
    }
    panel->Arrange();
    FOptionWindow->SizeToPanel();
}

void TKvxCustomToolBar::ShowOptionWindow(int X, int Y, bool AtPosition) {
    BuildOptionWindow();
    if (!FOptionWindow)
        return;
    if (!AtPosition) {
        const TPoint anchor = OptionAnchor();
        X = anchor.X, Y = anchor.Y;
        if (!Floating()) {
            const plat::TRect work = plat::Screen->WorkAreaRect();
            if (Y + FOptionWindow->Height() + 2 > work.Bottom)
                Y = work.Bottom - FOptionWindow->Height() - 2;
            if (X + FOptionWindow->Width() > plat::Screen->Width())
                X = FPosition == toolbar::daRight ? ClientToScreen(TPoint(-FOptionWindow->Width(), 0)).X
                                                  : plat::Screen->Width() - FOptionWindow->Width();
        }
    }
    if (FOptionPanel->IsEmpty()) {
        TakeBackOverflow();
        return;
    }
    FOptionWindow->SetBounds(X, Y, FOptionWindow->Width(), FOptionWindow->Height());
    FOptionWindow->Show();
}

void TKvxCustomToolBar::HideOptionWindow() {
    if (FOptionWindow && FOptionWindow->Visible())
        FOptionWindow->Hide();
}

} // namespace ui
