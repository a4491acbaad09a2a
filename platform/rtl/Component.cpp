#include "platform/rtl/Component.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Filer.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

PLAT_CLASS_INFO(TComponent, TPersistent)

PLAT_PROPERTIES(TComponent) {
    // The name travels in the object header, not as a property.
    props.String("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
    props.Int64("Tag", &TComponent::Tag, &TComponent::SetTag, 0);
}

bool IsValidIdent(const std::string& s) {
    if (s.empty())
        return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!alpha(s[0]))
        return false;
    return std::all_of(s.begin() + 1, s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner)
        AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    BeforeDestruction();
    // Owned components that joined during destruction still go with us.
    DestroyComponents();
}

void TComponent::Free() {
    BeforeDestruction();
    delete this;
}

void TComponent::BeforeDestruction() {
    if (FDestructionStarted)
        return;
    FDestructionStarted = true;
    Destroying();
    while (!FFreeNotifies.empty()) {
        TComponent* partner = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        auto& theirs = partner->FFreeNotifies;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        partner->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner)
        FOwner->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* child = FComponents.back();
        // BeforeDestruction takes the child out of our list (telling everyone); make sure of it even if a
        // derived class got in the way, so the loop always ends.
        child->BeforeDestruction();
        if (!FComponents.empty() && FComponents.back() == child)
            Remove(child);
        delete child;
    }
}

void TComponent::Destroying() {
    if (FComponentState & csDestroying)
        return;
    FComponentState |= csDestroying;
    for (TComponent* c : FComponents)
        c->Destroying();
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& NewName) const {
    if (NewName.empty())
        return;
    for (TComponent* c : FComponents) {
        if (c != AComponent && SameText(c->FName, NewName))
            throw EComponentError("A component named " + NewName + " already exists");
    }
}

void TComponent::SetName(const std::string& NewName) {
    if (FName == NewName)
        return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner)
        FOwner->ValidateRename(this, NewName);
    FName = NewName;
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner)
        return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value) {
    if (!FOwner)
        return;
    auto& list = FOwner->FComponents;
    int current = ComponentIndex();
    if (current < 0)
        return;
    Value = std::clamp(Value, 0, static_cast<int>(list.size()) - 1);
    if (Value == current)
        return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + Value, this);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), AComponent), FComponents.end());
    AComponent->FOwner = nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner == this)
        return;
    for (const TComponent* c = this; c; c = c->FOwner) {
        if (c == AComponent)
            throw EComponentError("A component cannot own itself or one of its owners");
    }
    ValidateRename(AComponent, AComponent->FName);
    if (AComponent->FOwner)
        AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (!AComponent || AComponent->FOwner != this)
        return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty())
        return nullptr;
    for (TComponent* c : FComponents) {
        if (SameText(c->FName, AName))
            return c;
    }
    return nullptr;
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this)
        return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(AComponent);
        AComponent->FFreeNotifies.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (!AComponent)
        return;
    FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent),
                        FFreeNotifies.end());
    auto& theirs = AComponent->FFreeNotifies;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent)
        RemoveFreeNotification(AComponent);
    // Handlers may free components, so walk by index and re-check the bounds each time.
    for (size_t i = FComponents.size(); i > 0; --i) {
        if (i - 1 < FComponents.size())
            FComponents[i - 1]->Notification(AComponent, Operation);
    }
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    SetComponentStateFlags(csDesigning, Value);
    if (SetChildren) {
        for (TComponent* c : FComponents)
            c->SetDesigning(Value, true);
    }
}

void TComponent::SetComponentStateFlags(TComponentState Flags, bool On) {
    if (On)
        FComponentState |= Flags;
    else
        FComponentState &= ~Flags;
}

void TComponent::Loaded() {
    FComponentState &= ~csLoading;
}

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    if (!Root)
        return;
    // Copy: the callback may add components to the root (a writer never should, but be safe).
    const std::vector<TComponent*> owned = Root->FComponents;
    for (TComponent* c : owned) {
        if (c == this)
            continue;
        if (c->HasParent() ? c->GetParentComponent() == this : this == Root)
            Proc(c);
    }
}

void TComponent::ReadState(TReader& Reader) {
    Reader.ReadData(this);
}

} // namespace plat
