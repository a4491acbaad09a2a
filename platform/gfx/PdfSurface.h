// Printing surface: a PDF document as a drawing surface (device pixels at a printer resolution on
// pages of a given size). A device context draws on it through Cairo, as on any surface without pixels.
#pragma once

#include <memory>
#include <string>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Surface.h"

namespace plat {

class TStream;

class TPdfSurface : public TDrawSurface {
public:
    // Pages are widthPt by heightPt points (1/72 inch); the document is written to the stream, which
    // must outlive the surface.
    TPdfSurface(TStream& stream, double widthPt, double heightPt, int pixelsPerInch);
    ~TPdfSurface() override;
    TPdfSurface(const TPdfSurface&) = delete;
    TPdfSurface& operator=(const TPdfSurface&) = delete;

    cairo_surface_t* CairoSurface() override { return FCairo; }
    int Width() const override;
    int Height() const override;
    int PixelsPerInch() const override { return FPixelsPerInch; }

    double PageWidthPt() const { return FWidthPt; }
    double PageHeightPt() const { return FHeightPt; }
    // Size of the pages that NewPage starts from now on (orientation is the order of the sides).
    void SetPageSize(double widthPt, double heightPt);
    void SetTitle(const std::string& title);
    // Ends the current page and starts the next.
    void NewPage();
    int PageCount() const { return FPages; }
    // Completes the document; raises EWriteError when the stream could not take it.
    void Finish();

private:
    void CheckStream();

    TStream& FStream;
    cairo_surface_t* FCairo = nullptr;
    double FWidthPt, FHeightPt;
    double FNextWidthPt, FNextHeightPt;
    int FPixelsPerInch;
    int FPages = 1;
    bool FFinished = false;
    std::string FWriteError;
};

} // namespace plat
