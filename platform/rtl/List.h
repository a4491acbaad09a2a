// A list of untyped pointers, for code that keeps references to objects it does not own.
#pragma once

#include <vector>

#include "platform/rtl/Object.h"

namespace plat {

// Answers <0, 0 or >0 for the two items.
using TListSortCompare = int (*)(void* item1, void* item2);

class TList : public TObject {
    PLAT_CLASS(TList)
public:
    TList() = default;
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;

    int Count() const { return static_cast<int>(FItems.size()); }
    // Growing adds null items; shrinking drops the last ones.
    void SetCount(int newCount);
    int Capacity() const { return static_cast<int>(FItems.capacity()); }
    // Raises EListError when smaller than Count.
    void SetCapacity(int newCapacity);

    // Index errors raise EListError "List index out of bounds (%d)".
    void* Get(int index) const;
    void Put(int index, void* item);
    void* Items(int index) const { return Get(index); }
    void SetItems(int index, void* item) { Put(index, item); }
    void* operator[](int index) const { return Get(index); }
    void* First() const { return Get(0); }
    void* Last() const { return Get(Count() - 1); }

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    // Removes the first occurrence; returns its index or -1.
    int Remove(void* item);
    // Removes the first occurrence and returns the item, or null when absent.
    void* Extract(void* item);
    int IndexOf(const void* item) const;
    void Clear();
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    // Removes the null items.
    void Pack();
    // Stable, and safe with any comparison function.
    void Sort(TListSortCompare compare);

private:
    void CheckIndex(int index, int limit) const;

    std::vector<void*> FItems;
};

} // namespace plat
