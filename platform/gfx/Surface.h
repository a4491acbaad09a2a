// What a device context draws on. An image surface is 32-bit pixel memory (window backing stores and
// bitmaps) that the context may also write directly; a vector surface (a PDF page, for one) offers only
// its Cairo surface, and the context then draws everything through Cairo.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/rtl/Types.h"

typedef struct _cairo_surface cairo_surface_t;

namespace plat {

class TDrawSurface {
public:
    virtual ~TDrawSurface() = default;
    virtual cairo_surface_t* CairoSurface() = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Pixel memory (0xAARRGGBB words, rows StridePixels apart) or null for a vector surface.
    virtual uint32_t* Pixels() { return nullptr; }
    virtual int StridePixels() const { return 0; }
    // Resolution for fonts and pens: 96 on screens and bitmaps, the printer's on pages.
    virtual int PixelsPerInch() const { return 96; }
    // Changes whenever the Cairo surface is replaced, so contexts drop what they built on the old one.
    unsigned Generation() const { return FGeneration; }
    // A monochrome surface keeps only black and white; colours are mapped as they are drawn.
    bool Monochrome() const { return FMonochrome; }
    void SetMonochrome(bool value) { FMonochrome = value; }
    // Called before Cairo draws and after the context wrote pixels directly (Cairo caches nothing of
    // an image surface, but other surfaces may want to know).
    virtual void BeginCairo() {}
    virtual void EndCairo() {}

protected:
    unsigned FGeneration = 0;
    bool FMonochrome = false;
};

// 32-bit pixel memory owned by the surface, rows packed (stride = width), initially black.
class TImageSurface : public TDrawSurface {
public:
    TImageSurface() = default;
    TImageSurface(int width, int height);
    ~TImageSurface() override;
    TImageSurface(const TImageSurface&) = delete;
    TImageSurface& operator=(const TImageSurface&) = delete;

    // Reallocates; the overlapping top-left part of the old pixels is kept, the rest is black.
    void SetSize(int width, int height);
    cairo_surface_t* CairoSurface() override;
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    uint32_t* Pixels() override { return FPixels; }
    const uint32_t* Pixels() const { return FPixels; }
    int StridePixels() const override { return FWidth; }
    uint32_t* Row(int y) { return FPixels + static_cast<size_t>(y) * FWidth; }
    const uint32_t* Row(int y) const { return FPixels + static_cast<size_t>(y) * FWidth; }
    void BeginCairo() override;
    void EndCairo() override;

    // The largest surface we agree to allocate, in pixels (keeps hostile sizes from exhausting memory).
    static constexpr int64_t MaxPixels = int64_t(1) << 28;

private:
    void Release();
    int FWidth = 0;
    int FHeight = 0;
    uint32_t* FPixels = nullptr;
    // Bytes mapped for the pixels where they are a mapping of their own (large surfaces), else 0.
    size_t FMappedBytes = 0;
    cairo_surface_t* FCairo = nullptr;
};

} // namespace plat
