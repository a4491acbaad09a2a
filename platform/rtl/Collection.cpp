#include "platform/rtl/Collection.h"

#include <algorithm>

#include "platform/rtl/Exception.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/rtl/ScopeGuard.h"

namespace plat {

PLAT_CLASS_INFO(TCollectionItem, TPersistent)
PLAT_CLASS_INFO(TCollection, TPersistent)
PLAT_CLASS_INFO(TOwnedCollection, TCollection)

// --- TCollectionItem ---

TCollectionItem::TCollectionItem(TCollection* Collection) {
    // The class cannot be checked here: the derived part does not exist yet.
    if (Collection)
        Collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem() {
    SetCollection(nullptr);
}

void TCollectionItem::SetCollection(TCollection* Value) {
    if (FCollection == Value)
        return;
    if (Value && Value->FItemClass.Info && !InheritsFrom(*Value->FItemClass.Info))
        throw EListError("Cannot add a " + ClassName() + " to a collection of " +
                         Value->FItemClass.Info->Name);
    if (FCollection)
        FCollection->RemoveItem(this);
    if (Value)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (!FCollection)
        return -1;
    const auto& items = FCollection->FItems;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
    const int current = Index();
    if (current < 0 || Value == current)
        return;
    auto& items = FCollection->FItems;
    Value = std::clamp(Value, 0, static_cast<int>(items.size()) - 1);
    if (Value == current)
        return;
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

std::string TCollectionItem::DisplayName() const {
    return ClassName();
}

void TCollectionItem::SetDisplayName(const std::string&) {
    Changed(false);
}

std::string TCollectionItem::GetNamePath() const {
    if (!FCollection)
        return ClassName();
    return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

TPersistent* TCollectionItem::GetOwner() const {
    return FCollection;
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

// --- TCollection ---

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(ItemClass) {}

TCollection::~TCollection() {
    // No updates reach a collection that is going away.
    FUpdateCount = 1;
    while (!FItems.empty())
        delete FItems.back();
}

TCollectionItem* TCollection::Add() {
    if (!FItemClass.Create)
        throw EListError("Collection has no item class");
    // The item joins in its base constructor; announce it once it is complete.
    TCollectionItem* item = nullptr;
    {
        ScopedCount updating(FUpdateCount);
        ScopedCount creating(FCreating);
        item = FItemClass.Create(this);
    }
    Notify(item, cnAdded);
    Changed();
    return item;
}

TCollectionItem* TCollection::Insert(int Index) {
    if (Index < 0 || Index > Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    BeginUpdate();
    ScopeGuard endUpdate([this] { EndUpdate(); });
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::Delete(int Index) {
    TCollectionItem* item = Items(Index);
    Notify(item, cnDeleting);
    // Leave while still whole, so that Notify and Update never see a half-destroyed item.
    RemoveItem(item);
    delete item;
}

void TCollection::Clear() {
    if (FItems.empty())
        return;
    BeginUpdate();
    while (!FItems.empty())
        Delete(Count() - 1);
    EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
}

void TCollection::SetItems(int Index, TCollectionItem* Value) {
    Items(Index)->Assign(Value);
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* item : FItems) {
        if (item->FID == ID)
            return item;
    }
    return nullptr;
}

void TCollection::EndUpdate() {
    if (FUpdateCount > 0)
        --FUpdateCount;
    Changed();
}

void TCollection::Changed() {
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TCollection*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    BeginUpdate();
    ScopeGuard endUpdate([this] { EndUpdate(); });
    Clear();
    for (TCollectionItem* item : source->FItems)
        Add()->Assign(item);
}

std::string TCollection::GetNamePath() const {
    TPersistent* owner = GetOwner();
    if (!owner)
        return ClassName();
    const std::string ownerPath = owner->GetNamePath();
    if (ownerPath.empty())
        return ClassName();
    for (const TPropInfo* p : GetPropList(owner->ClassType())) {
        if (p->Kind == pkCollection && p->GetObject(owner) == this)
            return ownerPath + "." + std::string(p->Name);
    }
    return ClassName();
}

void TCollection::InsertItem(TCollectionItem* Item) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    if (FCreating == 0)
        Notify(Item, cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    Notify(Item, cnExtracting);
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
    Item->FCollection = nullptr;
    Changed();
}

} // namespace plat
