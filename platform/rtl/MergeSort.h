// A stable merge sort that stays inside its buffer whatever the comparison answers, for lists that
// sort with caller-supplied comparison functions.
#pragma once

#include <cstddef>
#include <vector>

namespace plat::detail {

// Sorts items so that less(a, b) items come first; equal items keep their order.
template <class T, class Less> void MergeSort(std::vector<T>& items, Less less) {
    const size_t n = items.size();
    if (n < 2)
        return;
    std::vector<T> buffer(n);
    std::vector<T>* src = &items;
    std::vector<T>* dst = &buffer;
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = lo + width < n ? lo + width : n;
            const size_t hi = lo + 2 * width < n ? lo + 2 * width : n;
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi)
                (*dst)[k++] = less((*src)[j], (*src)[i]) ? (*src)[j++] : (*src)[i++];
            while (i < mid)
                (*dst)[k++] = (*src)[i++];
            while (j < hi)
                (*dst)[k++] = (*src)[j++];
        }
        std::swap(src, dst);
    }
    if (src != &items)
        items.swap(*src);
}

} // namespace plat::detail
