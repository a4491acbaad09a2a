#include "platform/rtl/List.h"

#include <algorithm>
#include <string>

#include "platform/rtl/Exception.h"
#include "platform/rtl/MergeSort.h"

namespace plat {

PLAT_CLASS_INFO(TList, TObject)

namespace {
[[noreturn]] void ListError(const char* what, int data) {
    throw EListError(std::string("List ") + what + " out of bounds (" + std::to_string(data) + ")");
}
} // namespace

void TList::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit)
        ListError("index", index);
}

void TList::SetCount(int newCount) {
    if (newCount < 0)
        ListError("count", newCount);
    FItems.resize(static_cast<size_t>(newCount), nullptr);
}

void TList::SetCapacity(int newCapacity) {
    if (newCapacity < Count())
        ListError("capacity", newCapacity);
    if (static_cast<size_t>(newCapacity) > FItems.capacity())
        FItems.reserve(static_cast<size_t>(newCapacity));
    else
        FItems.shrink_to_fit();
}

void* TList::Get(int index) const {
    CheckIndex(index, Count());
    return FItems[static_cast<size_t>(index)];
}

void TList::Put(int index, void* item) {
    CheckIndex(index, Count());
    FItems[static_cast<size_t>(index)] = item;
}

int TList::Add(void* item) {
    FItems.push_back(item);
    return Count() - 1;
}

void TList::Insert(int index, void* item) {
    CheckIndex(index, Count() + 1);
    FItems.insert(FItems.begin() + index, item);
}

void TList::Delete(int index) {
    CheckIndex(index, Count());
    FItems.erase(FItems.begin() + index);
}

int TList::Remove(void* item) {
    const int index = IndexOf(item);
    if (index >= 0)
        Delete(index);
    return index;
}

void* TList::Extract(void* item) {
    return Remove(item) >= 0 ? item : nullptr;
}

int TList::IndexOf(const void* item) const {
    const auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TList::Clear() {
    FItems.clear();
    FItems.shrink_to_fit();
}

void TList::Exchange(int index1, int index2) {
    CheckIndex(index1, Count());
    CheckIndex(index2, Count());
    std::swap(FItems[static_cast<size_t>(index1)], FItems[static_cast<size_t>(index2)]);
}

void TList::Move(int curIndex, int newIndex) {
    CheckIndex(curIndex, Count());
    CheckIndex(newIndex, Count());
    void* item = FItems[static_cast<size_t>(curIndex)];
    FItems.erase(FItems.begin() + curIndex);
    FItems.insert(FItems.begin() + newIndex, item);
}

void TList::Pack() {
    FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end());
}

void TList::Sort(TListSortCompare compare) {
    if (compare)
        detail::MergeSort(FItems, [compare](void* a, void* b) { return compare(a, b) < 0; });
}

} // namespace plat
