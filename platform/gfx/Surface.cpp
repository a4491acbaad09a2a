#include "platform/gfx/Surface.h"

#include <algorithm>
#include <cairo.h>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/rtl/Exception.h"

namespace plat {

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
    std::free(FPixels);
    FPixels = nullptr;
}

void TImageSurface::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == FWidth && height == FHeight)
        return;
    if (int64_t(width) * height > MaxPixels)
        throw EOutOfResources("Out of system resources");
    uint32_t* fresh = nullptr;
    if (width > 0 && height > 0) {
        fresh = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(width) * height, 4));
        if (!fresh)
            throw EOutOfResources("Out of system resources");
        int w = std::min(width, FWidth), h = std::min(height, FHeight);
        for (int y = 0; y < h; ++y)
            std::memcpy(fresh + static_cast<size_t>(y) * width, Row(y), static_cast<size_t>(w) * 4);
    }
    Release();
    FPixels = fresh;
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
