#include "platform/gfx/PdfSurface.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>

#include "platform/gfx/Metafile.h"
#include "platform/gfx/MetafileRecorder.h"
#include "platform/gfx/PixelLine.h"
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

// ---- TVectorDeviceContext ----

bool TVectorDeviceContext::Picture(TKind kind, const TRect& dest, TDeviceContext* source, int xSrc, int ySrc,
                                   int srcWidth, int srcHeight, TColor transparent, TBlendFunction blend) {
    TMetaImage image;
    TRect d;
    if (!CopyBlitSource(*this, dest, source, xSrc, ySrc, srcWidth, srcHeight, image, d))
        return source && source->Surface() && source->Surface()->Pixels();
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.Width, image.Height);
    if (cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(picture);
        return false;
    }
    cairo_surface_flush(picture);
    auto* out = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(picture));
    const int stride = cairo_image_surface_get_stride(picture) / 4;
    const uint32_t key = ColorToPixel(ColorToRGB(transparent));
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            uint32_t p = image.Pixels[static_cast<size_t>(y) * image.Width + x];
            if (kind == kTransparent)
                p = (p & 0x00FFFFFF) == key ? 0 : (p | 0xFF000000);
            else if (kind == kCopy || !(blend.AlphaFormat & AC_SRC_ALPHA))
                p |= 0xFF000000;
            out[static_cast<size_t>(y) * stride + x] = p; // Cairo wants premultiplied colours, as given
        }
    cairo_surface_mark_dirty(picture);

    cairo_t* cr = cairo_create(Surface()->CairoSurface());
    TRegion clip;
    if (GetClipRgn(clip)) {
        for (const TRect& r : clip.Rects())
            cairo_rectangle(cr, r.Left, r.Top, r.Width(), r.Height());
        cairo_clip(cr);
    }
    cairo_translate(cr, d.Left, d.Top);
    cairo_scale(cr, double(d.Width()) / image.Width, double(d.Height()) / image.Height);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr),
                             GetStretchBltMode() == HALFTONE ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    if (kind == kAlpha && blend.SourceConstantAlpha != 255)
        cairo_paint_with_alpha(cr, blend.SourceConstantAlpha / 255.0);
    else
        cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(picture);
    return true;
}

bool TVectorDeviceContext::BitBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc,
                                  int ySrc, uint32_t rop) {
    if (!Vector())
        return TDeviceContext::BitBlt(x, y, width, height, source, xSrc, ySrc, rop);
    int sw = width, sh = height;
    if (source) {
        sw = static_cast<int>(std::lround(width * MapScaleX(*this) / MapScaleX(*source)));
        sh = static_cast<int>(std::lround(height * MapScaleY(*this) / MapScaleY(*source)));
    }
    return StretchBlt(x, y, width, height, source, xSrc, ySrc, sw, sh, rop);
}

bool TVectorDeviceContext::StretchBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc,
                                      int ySrc, int srcWidth, int srcHeight, uint32_t rop) {
    uint8_t code = static_cast<uint8_t>(rop >> 16);
    bool usesSource = ((code & 0xCC) >> 2) != (code & 0x33);
    if (!Vector() || !usesSource)
        return TDeviceContext::StretchBlt(x, y, width, height, source, xSrc, ySrc, srcWidth, srcHeight, rop);
    return Picture(kCopy, TRect(x, y, x + width, y + height), source, xSrc, ySrc, srcWidth, srcHeight, 0, {});
}

bool TVectorDeviceContext::TransparentBlt(int x, int y, int width, int height, TDeviceContext* source,
                                          int xSrc, int ySrc, int srcWidth, int srcHeight,
                                          TColor transparent) {
    if (!Vector())
        return TDeviceContext::TransparentBlt(x, y, width, height, source, xSrc, ySrc, srcWidth, srcHeight,
                                              transparent);
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return false;
    return Picture(kTransparent, TRect(x, y, x + width, y + height), source, xSrc, ySrc, srcWidth, srcHeight,
                   transparent, {});
}

bool TVectorDeviceContext::AlphaBlend(int x, int y, int width, int height, TDeviceContext* source, int xSrc,
                                      int ySrc, int srcWidth, int srcHeight, TBlendFunction blend) {
    if (!Vector())
        return TDeviceContext::AlphaBlend(x, y, width, height, source, xSrc, ySrc, srcWidth, srcHeight,
                                          blend);
    if (width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0 || blend.BlendOp != AC_SRC_OVER)
        return false;
    return Picture(kAlpha, TRect(x, y, x + width, y + height), source, xSrc, ySrc, srcWidth, srcHeight, 0,
                   blend);
}

} // namespace plat
