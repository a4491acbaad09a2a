#include "platform/gfx/PdfSurface.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Stream.h"

namespace plat {

namespace {

struct TWriteTarget {
    TStream* Stream;
    std::string* Error;
};

cairo_status_t WriteToStream(void* closure, const unsigned char* data, unsigned int length) {
    auto* target = static_cast<TWriteTarget*>(closure);
    if (!target->Error->empty())
        return CAIRO_STATUS_WRITE_ERROR;
    try {
        target->Stream->WriteBuffer(data, length);
        return CAIRO_STATUS_SUCCESS;
    } catch (const std::exception& e) {
        // Exceptions must not cross Cairo; the error is raised again from Finish.
        *target->Error = e.what();
        return CAIRO_STATUS_WRITE_ERROR;
    }
}

const cairo_user_data_key_t kTargetKey{};

} // namespace

TPdfSurface::TPdfSurface(TStream& stream, double widthPt, double heightPt, int pixelsPerInch)
    : FStream(stream), FWidthPt(widthPt > 0 ? widthPt : 1), FHeightPt(heightPt > 0 ? heightPt : 1),
      FNextWidthPt(FWidthPt), FNextHeightPt(FHeightPt),
      FPixelsPerInch(pixelsPerInch > 0 ? pixelsPerInch : 72) {
    auto* target = new TWriteTarget{&FStream, &FWriteError};
    FCairo = cairo_pdf_surface_create_for_stream(WriteToStream, target, FWidthPt, FHeightPt);
    cairo_surface_set_user_data(FCairo, &kTargetKey, target,
                                [](void* p) { delete static_cast<TWriteTarget*>(p); });
    if (cairo_surface_status(FCairo) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(FCairo);
        throw EOutOfResources("Cannot create a PDF document");
    }
    // Drawing is in device pixels; Cairo's PDF unit is the point.
    double scale = 72.0 / FPixelsPerInch;
    cairo_surface_set_device_scale(FCairo, scale, scale);
}

TPdfSurface::~TPdfSurface() {
    // An unfinished document is dropped; its stream may hold a partial file, which the owner removes.
    FWriteError = FWriteError.empty() ? std::string("abandoned") : FWriteError;
    cairo_surface_destroy(FCairo);
}

int TPdfSurface::Width() const {
    return static_cast<int>(std::lround(FWidthPt * FPixelsPerInch / 72));
}
int TPdfSurface::Height() const {
    return static_cast<int>(std::lround(FHeightPt * FPixelsPerInch / 72));
}

void TPdfSurface::SetPageSize(double widthPt, double heightPt) {
    if (widthPt <= 0 || heightPt <= 0)
        return;
    FNextWidthPt = widthPt;
    FNextHeightPt = heightPt;
}

void TPdfSurface::SetTitle(const std::string& title) {
    cairo_pdf_surface_set_metadata(FCairo, CAIRO_PDF_METADATA_TITLE, title.c_str());
}

void TPdfSurface::NewPage() {
    if (FFinished)
        return;
    cairo_surface_show_page(FCairo);
    ++FPages;
    if (FNextWidthPt != FWidthPt || FNextHeightPt != FHeightPt) {
        FWidthPt = FNextWidthPt;
        FHeightPt = FNextHeightPt;
        cairo_pdf_surface_set_size(FCairo, FWidthPt, FHeightPt);
    }
    CheckStream();
}

void TPdfSurface::Finish() {
    if (FFinished)
        return;
    FFinished = true;
    cairo_surface_finish(FCairo);
    CheckStream();
    if (cairo_surface_status(FCairo) != CAIRO_STATUS_SUCCESS)
        throw EWriteError(std::string("Cannot write the PDF document: ") +
                          cairo_status_to_string(cairo_surface_status(FCairo)));
}

void TPdfSurface::CheckStream() {
    if (!FWriteError.empty())
        throw EWriteError(FWriteError);
}

} // namespace plat
