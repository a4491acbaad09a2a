// The MDI tab set of the tab set unit: one tab per registered MDI child.
#include <algorithm>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Window.h"
#include "ui/office/KvxOfficeTabSet.h"

namespace ui::tabset {

using namespace plat;

PLAT_CLASS_INFO_CREATABLE(TKvxOfficeMDITabSet, TKvxCustomOfficeTabSet)

PLAT_PROPERTIES(TKvxOfficeMDITabSet) {}

namespace {

struct TRegistrar {
    TRegistrar() { RegisterClasses({&TKvxOfficeMDITabSet::StaticClass()}); }
} registrar;

TCustomForm* AsMDIChild(TObject* Sender) {
    auto* form = dynamic_cast<TCustomForm*>(Sender);
    return form && form->FormStyle() == fsMDIChild ? form : nullptr;
}

} // namespace

TComponent* TKvxOfficeMDITabSet::CheckedOwner(TComponent* AOwner) {
    auto* form = dynamic_cast<TCustomForm*>(AOwner);
    if (!form)
        throw Exception("KvxOfficeMDITabSet can only be placed on a Form.");
    if (form->FormStyle() != fsMDIForm)
        throw Exception("KvxOfficeMDITabSet can only be placed on a MDIForm.");
    for (int i = 0; i < form->ComponentCount(); ++i)
        if (dynamic_cast<TKvxOfficeMDITabSet*>(form->Components(i)))
            throw Exception("Only one instance of KvxOfficeMDITabSet can be placed on a MDIForm.");
    return AOwner;
}

TKvxOfficeMDITabSet::TKvxOfficeMDITabSet(TComponent* AOwner) : TKvxCustomOfficeTabSet(CheckedOwner(AOwner)) {
    SetMDIMode(true);
}

TKvxOfficeMDITabSet::~TKvxOfficeMDITabSet() {
    BeforeDestruction();
}

void TKvxOfficeMDITabSet::BeforeDestruction() {
    FDestroying = true;
    // The children may outlive the strip: they get their own handlers back so none of them calls into it.
    for (int i = 0; i < Tabs()->Count(); ++i) {
        TOfficeTabCollectionItem* tab = Tabs()->Items(i);
        if (TCustomForm* child = std::exchange(tab->ChildForm, nullptr)) {
            child->OnActivate = tab->SavedOnActivate;
            child->OnDestroy = tab->SavedOnDestroy;
        }
    }
    TKvxCustomOfficeTabSet::BeforeDestruction();
}

TOfficeTabCollectionItem* TKvxOfficeMDITabSet::AddChildTab(TCustomForm* Form) {
    if (!Form)
        return nullptr;
    for (int i = 0; i < Tabs()->Count(); ++i)
        if (Tabs()->Items(i)->ChildForm == Form)
            return nullptr;
    TOfficeTabCollectionItem* tab = Tabs()->Add();
    tab->SetCaption(Form->Caption());
    tab->ChildForm = Form;
    tab->SavedOnActivate = Form->OnActivate;
    tab->SavedOnDestroy = Form->OnDestroy;
    Form->OnActivate = [this](TObject* s) { ChildActivate(s); };
    Form->OnDestroy = [this](TObject* s) { ChildDestroy(s); };
    SetActiveTabIndex(tab->Index());
    if (!(ComponentState() & csLoading))
        UpdateTabButtons();
    return tab;
}

int TKvxOfficeMDITabSet::GetTabCount() const {
    return Tabs()->Count();
}

TOfficeTabCollectionItem* TKvxOfficeMDITabSet::GetTab(int Index) const {
    if (Index < 0 || Index >= GetTabCount())
        return nullptr;
    return Tabs()->Items(Index);
}

void TKvxOfficeMDITabSet::ChildActivate(TObject* Sender) {
    TCustomForm* child = AsMDIChild(Sender);
    if (!child || FDestroying)
        return;
    for (int i = 0; i < Tabs()->Count(); ++i) {
        TOfficeTabCollectionItem* tab = Tabs()->Items(i);
        if (tab->ChildForm != child)
            continue;
        if (!tab->Visible())
            tab->SetVisible(true);
        SetActiveTabIndex(i);
        break;
    }
    if (TOfficeTabCollectionItem* active = GetTab(ActiveTabIndex()))
        if (active->SavedOnActivate && active->ChildForm)
            active->SavedOnActivate(active->ChildForm);
}

void TKvxOfficeMDITabSet::ChildDestroy(TObject* Sender) {
    if (FDestroying || (ComponentState() & csDestroying))
        return;
    TCustomForm* child = AsMDIChild(Sender);
    if (!child)
        return;
    int index = -1;
    for (int i = 0; i < Tabs()->Count() && index < 0; ++i)
        if (Tabs()->Items(i)->ChildForm == child)
            index = i;
    if (index < 0)
        return;
    TOfficeTabCollectionItem* tab = Tabs()->Items(index);
    if (tab->SavedOnDestroy && tab->ChildForm)
        tab->SavedOnDestroy(tab->ChildForm);
    Tabs()->Delete(index);
}

void TKvxOfficeMDITabSet::SelectTabIndex(int Index) {
    const int before = ActiveTabIndex();
    TKvxCustomOfficeTabSet::SelectTabIndex(Index);
    if (Index >= 0 && Index < GetTabCount() && Index != before)
        ActivateTabForm();
}

void TKvxOfficeMDITabSet::ActivateTabForm() {
    TOfficeTabCollectionItem* tab = GetTab(ActiveTabIndex());
    if (!tab || !tab->ChildForm)
        return;
    TCustomForm* form = tab->ChildForm;
    if (TCustomForm* frame = GetParentForm(this)) {
        for (int i = 0; i < frame->MDIChildCount(); ++i) {
            TCustomForm* c = frame->MDIChildren(i);
            if (c == form || !c->HandleAllocated() || !form->HandleAllocated())
                continue;
            if (GetWindow(c->Handle(), GW_HWNDNEXT) == form->Handle()) {
                SendMessage(frame->ClientHandle(), WM_MDINEXT, reinterpret_cast<WPARAM>(c->Handle()), 0);
                break;
            }
        }
    }
    if (form->WindowState() == wsMinimized)
        form->SetWindowState(wsNormal);
    // A hidden child cannot take the focus until it shows again.
    const bool focusable = form->CanFocus();
    if (focusable)
        form->SetFocus();
    form->SetVisible(true);
    form->BringToFront();
    if (!focusable && form->CanFocus())
        form->SetFocus();
}

bool TKvxOfficeMDITabSet::AskTabClose(int TabIndex, TCloseAction& Action) {
    bool allow = TKvxCustomOfficeTabSet::AskTabClose(TabIndex, Action);
    TOfficeTabCollectionItem* tab = GetTab(TabIndex);
    if (allow && tab && tab->ChildForm) {
        TCustomForm* child = tab->ChildForm;
        if (child->OnCloseQuery) {
            child->OnCloseQuery(child, allow);
            if (!allow)
                Abort();
        }
        if (MDIMode() && child->OnClose)
            child->OnClose(child, Action);
    }
    return allow;
}

void TKvxOfficeMDITabSet::ApplyCloseAction(TOfficeTabCollectionItem* Tab, TCloseAction& Action) {
    if (!Tab || !Tab->ChildForm)
        return;
    TCustomForm* child = Tab->ChildForm;
    if (MDIMode()) {
        switch (Action) {
        case caHide:
            child->SetVisible(false);
            break;
        case caFree:
            child->Release();
            // The tab goes when the child is really destroyed (ChildDestroy).
            Action = caMinimize;
            break;
        case caMinimize:
            child->SetWindowState(wsMinimized);
            break;
        default:
            break;
        }
    } else {
        child->SetVisible(false);
    }
    TKvxCustomOfficeTabSet::ApplyCloseAction(Tab, Action);
}

} // namespace ui::tabset
