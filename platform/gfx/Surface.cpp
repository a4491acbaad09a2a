#include "platform/gfx/Surface.h"

#include <algorithm>
#include <cairo.h>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/rtl/Exception.h"

#include <sys/mman.h>

namespace plat {

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

// A window's backing or a chart's buffer is painted whole soon after it is made. Faulting its memory in
// a small page at a time costs more than painting it (a third of a program's first paint went there),
// so pixels of a megabyte or more get a mapping of their own, aligned for huge pages and asking for
// them. Fresh anonymous memory is zero, as calloc's is. Gives null where no such mapping can be made.
uint32_t* MapLargePixels(size_t bytes, size_t& mapped) {
    const size_t size = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    void* raw = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    // The slack before and after the aligned part goes back at once.
    char* begin = static_cast<char*>(raw);
    char* aligned =
        reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(begin) + kHugePage - 1) & ~(kHugePage - 1));
    if (aligned > begin)
        munmap(begin, static_cast<size_t>(aligned - begin));
    const size_t tail = static_cast<size_t>(begin + size + kHugePage - (aligned + size));
    if (tail > 0)
        munmap(aligned + size, tail);
    madvise(aligned, size, MADV_HUGEPAGE);
    mapped = size;
    return reinterpret_cast<uint32_t*>(aligned);
}

} // namespace

TImageSurface::TImageSurface(int width, int height) {
    SetSize(width, height);
}

TImageSurface::~TImageSurface() {
    Release();
}

void TImageSurface::Release() {
    if (FCairo)
        cairo_surface_destroy(FCairo);
    FCairo = nullptr;
    if (FMappedBytes)
        munmap(FPixels, FMappedBytes);
    else
        std::free(FPixels);
    FPixels = nullptr;
    FMappedBytes = 0;
}

void TImageSurface::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == FWidth && height == FHeight)
        return;
    if (int64_t(width) * height > MaxPixels)
        throw EOutOfResources("Out of system resources");
    uint32_t* fresh = nullptr;
    size_t mapped = 0;
    if (width > 0 && height > 0) {
        const size_t bytes = static_cast<size_t>(width) * height * 4;
        if (bytes >= kHugePage / 2)
            fresh = MapLargePixels(bytes, mapped);
        if (!fresh)
            fresh = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(width) * height, 4));
        if (!fresh)
            throw EOutOfResources("Out of system resources");
        int w = std::min(width, FWidth), h = std::min(height, FHeight);
        for (int y = 0; y < h; ++y)
            std::memcpy(fresh + static_cast<size_t>(y) * width, Row(y), static_cast<size_t>(w) * 4);
    }
    Release();
    FPixels = fresh;
    FMappedBytes = mapped;
    FWidth = FPixels ? width : 0;
    FHeight = FPixels ? height : 0;
    ++FGeneration;
}

cairo_surface_t* TImageSurface::CairoSurface() {
    if (!FCairo) {
        // A zero-sized surface still needs a valid Cairo target; one pixel of scratch memory will do.
        if (!FPixels)
            FCairo = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
        else
            FCairo = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(FPixels),
                                                         CAIRO_FORMAT_RGB24, FWidth, FHeight, FWidth * 4);
    }
    return FCairo;
}

void TImageSurface::BeginCairo() {
    if (FCairo)
        cairo_surface_mark_dirty(FCairo);
}

void TImageSurface::EndCairo() {
    if (FCairo)
        cairo_surface_flush(FCairo);
}

} // namespace plat
