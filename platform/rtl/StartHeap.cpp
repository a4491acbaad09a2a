#include "platform/rtl/StartHeap.h"

#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace plat {

namespace {

constexpr size_t kLargePage = size_t(2) << 20;
// What a start allocates after the window system opens, with room to spare.
constexpr size_t kReserve = size_t(8) << 20;
// Below the allocator's smallest threshold for giving a block a mapping of its own, so that a block of
// this size comes from the heap.
constexpr size_t kLargestHeapRequest = size_t(64) << 10;
constexpr size_t kMostBlocks = 64;

size_t Reserve() {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    // Every new small page costs a fault, and on a virtual machine a fault is dear: the objects of the
    // forms alone touch a few hundred of them. The pad also keeps this much free when the heap is
    // trimmed, so the advised part is not handed back after a burst of frees.
    mallopt(M_TOP_PAD, static_cast<int>(kReserve));
    auto* before = static_cast<char*>(sbrk(0));
    if (before == reinterpret_cast<char*>(-1))
        return 0;
    // Blocks the free memory cannot hold make the heap grow now, by the pad.
    void* held[kMostBlocks];
    size_t count = 0;
    while (count < kMostBlocks && sbrk(0) == before)
        held[count++] = std::malloc(kLargestHeapRequest);
    for (size_t i = 0; i < count; ++i)
        std::free(held[i]);
    auto* after = static_cast<char*>(sbrk(0));
    const auto from = (reinterpret_cast<uintptr_t>(before) + kLargePage - 1) & ~(kLargePage - 1);
    const auto to = reinterpret_cast<uintptr_t>(after) & ~(kLargePage - 1);
    if (to <= from || madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE) != 0)
        return 0;
    return to - from;
#else
    return 0;
#endif
}

} // namespace

size_t ReserveStartHeap() {
    static std::once_flag once;
    static size_t advised = 0;
    std::call_once(once, [] { advised = Reserve(); });
    return advised;
}

} // namespace plat
