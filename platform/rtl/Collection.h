// Collections: ordered lists of items of one item class, owned by a persistent object and streamed as
// one property (toolbar items, chart axes, draw lines).
#pragma once

#include <string>
#include <vector>

#include "platform/rtl/Persistent.h"

namespace plat {

class TCollection;
class TCollectionItem;

// The class of a collection's items and how to make one: TCollectionItemClass::Of<TDrawLine>().
struct TCollectionItemClass {
    const TClassInfo* Info = nullptr;
    TCollectionItem* (*Create)(TCollection* Collection) = nullptr;

    template <class T> static TCollectionItemClass Of() {
        return {&T::StaticClass(), [](TCollection* c) -> TCollectionItem* { return new T(c); }};
    }
};

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
    PLAT_CLASS(TCollectionItem)
public:
    // Joins the collection (when given) at its end.
    explicit TCollectionItem(TCollection* Collection);
    // Leaves its collection. The collection's Notify(cnExtracting) then sees only a TCollectionItem;
    // Delete and Clear announce items while they are whole.
    ~TCollectionItem() override;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    TCollection* Collection() const { return FCollection; }
    // Moves the item to the end of another collection (or out of any with null). Raises EListError
    // when the item is not of the other collection's item class.
    virtual void SetCollection(TCollection* Value);
    // Unique within its collection, kept when the item moves inside it.
    int ID() const { return FID; }
    // Position in the collection (-1 outside any); setting it moves the item.
    int Index() const;
    virtual void SetIndex(int Value);
    // The text that editors show for the item; the class name unless a class says better.
    virtual std::string DisplayName() const;
    virtual void SetDisplayName(const std::string& Value);

    std::string GetNamePath() const override;
    TPersistent* GetOwner() const override;

protected:
    // Tells the collection that this item (or, with AllItems, the whole collection) changed.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

class TCollection : public TPersistent {
    PLAT_CLASS(TCollection)
public:
    explicit TCollection(TCollectionItemClass ItemClass);
    // Frees the items.
    ~TCollection() override;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    const TCollectionItemClass& ItemClass() const { return FItemClass; }
    TCollectionItem* Add();
    // A new item at Index (0..Count).
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError "List index out of bounds (%d)" for a bad index.
    TCollectionItem* Items(int Index) const;
    // Copies the state of Value into the item at Index.
    void SetItems(int Index, TCollectionItem* Value);
    TCollectionItem* FindItemID(int ID) const;

    // Updates are collected while BeginUpdate calls outnumber EndUpdate calls; the last EndUpdate sends
    // one Update(nullptr).
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // From another collection: the items are replaced by copies (each item assigned from its source).
    void Assign(TPersistent* Source) override;
    std::string GetNamePath() const override;
    TPersistent* Owner() const { return GetOwner(); }

protected:
    // Called after a change: Item is the changed item, or null when the collection as a whole changed.
    virtual void Update(TCollectionItem* Item) {}
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action) {}
    // Sends Update(nullptr) unless updates are being collected.
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FNextID = 0;
    int FUpdateCount = 0;
    int FCreating = 0;
};

// A collection that names its owner (for name paths and for the streams).
class TOwnedCollection : public TCollection {
    PLAT_CLASS(TOwnedCollection)
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
        : TCollection(ItemClass), FOwner(AOwner) {}
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};

} // namespace plat
