#include "platform/ui/ActionList.h"

#include <algorithm>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/Input.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Screen.h"

namespace plat {

// ---- Links ---------------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TBasicActionLink, TObject)

TBasicActionLink::~TBasicActionLink() {
    if (FAction)
        FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* Value) {
    if (Value == FAction)
        return;
    if (FAction)
        FAction->UnRegisterChanges(this);
    FAction = Value;
    if (FAction)
        FAction->RegisterChanges(this);
}

bool TBasicActionLink::Execute() {
    return FAction && FAction->Execute();
}

bool TBasicActionLink::Update() {
    return FAction && FAction->Update();
}

// ---- Actions -------------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TBasicAction, TComponent)

PLAT_PROPERTIES(TBasicAction) {
    props.Event("OnExecute", &TBasicAction::OnExecute);
    props.Event("OnUpdate", &TBasicAction::OnUpdate);
}

TBasicAction::~TBasicAction() {
    TBasicAction::BeforeDestruction();
}

void TBasicAction::BeforeDestruction() {
    // Clients forget the action before it goes.
    for (TBasicActionLink* l : std::vector<TBasicActionLink*>(FClients))
        l->SetAction(nullptr);
    TComponent::BeforeDestruction();
}

bool TBasicAction::Execute() {
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate)
        return false;
    OnUpdate(this);
    return true;
}

void TBasicAction::RegisterChanges(TBasicActionLink* Link) {
    if (std::find(FClients.begin(), FClients.end(), Link) == FClients.end())
        FClients.push_back(Link);
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* Link) {
    FClients.erase(std::remove(FClients.begin(), FClients.end(), Link), FClients.end());
}

PLAT_CLASS_INFO(TContainedAction, TBasicAction)

PLAT_PROPERTIES(TContainedAction) {
    props.String("Category", &TContainedAction::Category, &TContainedAction::SetCategory);
}

TContainedAction::~TContainedAction() {
    SetActionList(nullptr);
}

void TContainedAction::SetActionList(TActionList* Value) {
    if (Value == FActionList)
        return;
    if (FActionList) {
        auto& v = FActionList->FActions;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    FActionList = Value;
    if (FActionList)
        FActionList->FActions.push_back(this);
}

int TContainedAction::Index() const {
    if (!FActionList)
        return -1;
    auto& v = FActionList->FActions;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

TComponent* TContainedAction::GetParentComponent() const {
    return FActionList;
}

void TContainedAction::SetParentComponent(TComponent* Value) {
    if (auto* list = dynamic_cast<TActionList*>(Value))
        SetActionList(list);
}

void TContainedAction::ReadState(TReader& Reader) {
    TBasicAction::ReadState(Reader);
    if (auto* list = dynamic_cast<TActionList*>(Reader.Parent()))
        SetActionList(list);
}

bool TContainedAction::Execute() {
    bool handled = false;
    if (FActionList && FActionList->OnExecute)
        FActionList->OnExecute(this, handled);
    return handled || TBasicAction::Execute();
}

bool TContainedAction::Update() {
    bool handled = false;
    if (FActionList && FActionList->OnUpdate)
        FActionList->OnUpdate(this, handled);
    return handled || TBasicAction::Update();
}

PLAT_CLASS_INFO(TCustomAction, TContainedAction)

PLAT_PROPERTIES(TCustomAction) {
    props.String("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption);
    props.Boolean("Checked", &TCustomAction::Checked, &TCustomAction::SetChecked, false);
    props.Boolean("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled, true);
    props.Boolean("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible, true);
    props.String("Hint", &TCustomAction::Hint, &TCustomAction::SetHint);
    props.Integer("ImageIndex", &TCustomAction::ImageIndex, &TCustomAction::SetImageIndex, -1);
    props.Integer("ShortCut", &TCustomAction::ShortCut, &TCustomAction::SetShortCut, 0);
    props.Integer("GroupIndex", &TCustomAction::GroupIndex, &TCustomAction::SetGroupIndex, 0);
    props.Boolean("AutoCheck", &TCustomAction::AutoCheck, &TCustomAction::SetAutoCheck, false);
    props.Integer("HelpContext", &TCustomAction::HelpContext, &TCustomAction::SetHelpContext, 0);
}

void TCustomAction::SetCaption(const std::string& Value) {
    if (Value == FCaption)
        return;
    FCaption = Value;
    ForClients([&](TBasicActionLink* l) { l->SetCaption(Value); });
}

void TCustomAction::SetChecked(bool Value) {
    if (Value == FChecked)
        return;
    FChecked = Value;
    if (Value && FGroupIndex > 0 && ActionList())
        for (int i = 0; i < ActionList()->ActionCount(); ++i)
            if (auto* a = dynamic_cast<TCustomAction*>(ActionList()->Actions(i));
                a && a != this && a->FGroupIndex == FGroupIndex)
                a->SetChecked(false);
    ForClients([&](TBasicActionLink* l) { l->SetChecked(Value); });
}

void TCustomAction::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    ForClients([&](TBasicActionLink* l) { l->SetEnabled(Value); });
}

void TCustomAction::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    ForClients([&](TBasicActionLink* l) { l->SetVisible(Value); });
}

void TCustomAction::SetHint(const std::string& Value) {
    if (Value == FHint)
        return;
    FHint = Value;
    ForClients([&](TBasicActionLink* l) { l->SetHint(Value); });
}

void TCustomAction::SetImageIndex(int Value) {
    if (Value == FImageIndex)
        return;
    FImageIndex = Value;
    ForClients([&](TBasicActionLink* l) { l->SetImageIndex(Value); });
}

void TCustomAction::SetShortCut(TShortCut Value) {
    if (Value == FShortCut)
        return;
    FShortCut = Value;
    ForClients([&](TBasicActionLink* l) { l->SetShortCut(Value); });
}

void TCustomAction::SetGroupIndex(int Value) {
    if (Value == FGroupIndex)
        return;
    FGroupIndex = Value;
    ForClients([&](TBasicActionLink* l) { l->SetGroupIndex(Value); });
}

TCustomImageList* TCustomAction::Images() const {
    return ActionList() ? ActionList()->Images() : nullptr;
}

bool TCustomAction::Execute() {
    Update();
    if (!FEnabled)
        return false;
    if (FAutoCheck)
        SetChecked(!FChecked || FGroupIndex > 0);
    return TContainedAction::Execute();
}

PLAT_CLASS_INFO_CREATABLE(TAction, TCustomAction)

// ---- Action lists --------------------------------------------------------------------------------------

PLAT_CLASS_INFO_CREATABLE(TActionList, TComponent)

PLAT_PROPERTIES(TActionList) {
    props.Component("Images", &TActionList::Images, &TActionList::SetImages);
    props.Event("OnExecute", &TActionList::OnExecute);
    props.Event("OnUpdate", &TActionList::OnUpdate);
    props.Event("OnChange", &TActionList::OnChange);
}

TActionList::TActionList(TComponent* AOwner) : TComponent(AOwner) {
    InstallFormMenuHooks();
    if (Application) {
        FIdle = new TApplicationEvents(nullptr);
        FIdle->OnIdle = [this](TObject*, bool&) { UpdateActions(); };
    }
}

TActionList::~TActionList() {
    TActionList::BeforeDestruction();
}

void TActionList::BeforeDestruction() {
    if (FIdle) {
        FIdle->Free();
        FIdle = nullptr;
    }
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions))
        a->SetActionList(nullptr);
    TComponent::BeforeDestruction();
}

void TActionList::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    if (OnChange)
        OnChange(this);
}

void TActionList::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

void TActionList::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TContainedAction* a : FActions)
        if (a->Owner() == Root)
            Proc(a);
}

bool TActionList::IsShortCut(TMessage& Message) {
    TShortCut sc = ShortCutFromKeyMessage(Message);
    if (sc == scNone)
        return false;
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions)) {
        auto* ca = dynamic_cast<TCustomAction*>(a);
        if (!ca || ca->ShortCut() != sc)
            continue;
        ca->Update();
        if (!ca->Enabled())
            continue;
        ca->Execute();
        return true;
    }
    return false;
}

void TActionList::UpdateActions() {
    if (ComponentState() & (csLoading | csDesigning | csDestroying))
        return;
    for (TContainedAction* a : std::vector<TContainedAction*>(FActions))
        a->Update();
}

TShortCut ShortCutFromKeyMessage(const TMessage& Message) {
    uint16_t key = static_cast<uint16_t>(Message.WParam & 0xFF);
    if (key == 0 || key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU)
        return scNone;
    TShortCut sc = key;
    if (GetKeyState(VK_SHIFT) < 0)
        sc |= scShift;
    if (GetKeyState(VK_CONTROL) < 0)
        sc |= scCtrl;
    if ((Message.LParam & KF_ALTDOWN_BIT) || GetKeyState(VK_MENU) < 0)
        sc |= scAlt;
    return sc;
}

// ---- Window actions ------------------------------------------------------------------------------------

PLAT_CLASS_INFO(TWindowAction, TAction)

PLAT_PROPERTIES(TWindowAction) {
    props.Component("Form", &TWindowAction::Form, &TWindowAction::SetForm);
}

void TWindowAction::SetForm(TCustomForm* Value) {
    FForm = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TWindowAction::Notification(TComponent* AComponent, TOperation Operation) {
    TAction::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FForm)
        FForm = nullptr;
}

TCustomForm* TWindowAction::Frame() const {
    TCustomForm* f = FForm;
    if (!f && Application)
        f = Application->MainForm();
    return f && f->FormStyle() == fsMDIForm ? f : nullptr;
}

bool TWindowAction::Execute() {
    Update();
    if (!Enabled())
        return false;
    if (TContainedAction::Execute())
        return true;
    if (TCustomForm* f = Frame()) {
        ExecuteOn(f);
        return true;
    }
    return false;
}

bool TWindowAction::Update() {
    if (TContainedAction::Update())
        return true;
    TCustomForm* f = Frame();
    SetEnabled(f && f->MDIChildCount() > 0);
    return true;
}

TWindowCascade::TWindowCascade(TComponent* AOwner) : TWindowAction(AOwner) {
    SetCaption("&Cascade");
    SetHint("Cascade");
}
void TWindowCascade::ExecuteOn(TCustomForm* Frame) {
    Frame->Cascade();
}

TWindowTileHorizontal::TWindowTileHorizontal(TComponent* AOwner) : TWindowAction(AOwner) {
    SetCaption("Tile &Horizontally");
    SetHint("Tile Horizontal");
}
void TWindowTileHorizontal::ExecuteOn(TCustomForm* Frame) {
    Frame->SetTileMode(tbHorizontal);
    Frame->Tile();
}

TWindowTileVertical::TWindowTileVertical(TComponent* AOwner) : TWindowAction(AOwner) {
    SetCaption("&Tile Vertically");
    SetHint("Tile Vertical");
}
void TWindowTileVertical::ExecuteOn(TCustomForm* Frame) {
    Frame->SetTileMode(tbVertical);
    Frame->Tile();
}

TWindowMinimizeAll::TWindowMinimizeAll(TComponent* AOwner) : TWindowAction(AOwner) {
    SetCaption("&Minimize All");
    SetHint("Minimize All");
}
void TWindowMinimizeAll::ExecuteOn(TCustomForm* Frame) {
    for (int i = Frame->MDIChildCount() - 1; i >= 0; --i)
        Frame->MDIChildren(i)->SetWindowState(wsMinimized);
}

TWindowArrange::TWindowArrange(TComponent* AOwner) : TWindowAction(AOwner) {
    SetCaption("&Arrange");
    SetHint("Arrange");
}
void TWindowArrange::ExecuteOn(TCustomForm* Frame) {
    Frame->ArrangeIcons();
}

TWindowClose::TWindowClose(TComponent* AOwner) : TWindowAction(AOwner) {
    SetCaption("C&lose");
    SetHint("Close");
}
void TWindowClose::ExecuteOn(TCustomForm* Frame) {
    if (TCustomForm* child = Frame->ActiveMDIChild())
        child->Close();
}

PLAT_CLASS_INFO_CREATABLE(TWindowCascade, TWindowAction)
PLAT_CLASS_INFO_CREATABLE(TWindowTileHorizontal, TWindowAction)
PLAT_CLASS_INFO_CREATABLE(TWindowTileVertical, TWindowAction)
PLAT_CLASS_INFO_CREATABLE(TWindowMinimizeAll, TWindowAction)
PLAT_CLASS_INFO_CREATABLE(TWindowArrange, TWindowAction)
PLAT_CLASS_INFO_CREATABLE(TWindowClose, TWindowAction)

namespace {
const bool kRegistered = [] {
    RegisterClasses({&TAction::StaticClass(), &TActionList::StaticClass(), &TWindowCascade::StaticClass(),
                     &TWindowTileHorizontal::StaticClass(), &TWindowTileVertical::StaticClass(),
                     &TWindowMinimizeAll::StaticClass(), &TWindowArrange::StaticClass(),
                     &TWindowClose::StaticClass()});
    return true;
}();
} // namespace

} // namespace plat
