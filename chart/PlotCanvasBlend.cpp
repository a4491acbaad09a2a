// Transparency blending of drawn elements over what lay beneath them, and filtered bitmap resampling.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "chart/PlotCanvas.h"

namespace chart {

using namespace plat;

PLAT_CLASS_INFO(TPlotBlend, TObject)

namespace {

bool IsDirectFormat(TPixelFormat f) {
    return f == pfDevice || f == pf32bit || f == pfCustom;
}

// Blue, green and red bytes of a bitmap's rows, read and written in place: 24-bit rows or the
// 32-bit rows of the drawing surface.
class TPixelRows {
public:
    explicit TPixelRows(TBitmap* bitmap) : FBitmap(bitmap) {
        if (!IsDirectFormat(bitmap->PixelFormat()) && bitmap->PixelFormat() != pf24bit)
            bitmap->SetPixelFormat(pf24bit);
        FBytes = bitmap->PixelFormat() == pf24bit ? 3 : 4;
        FRows.resize(static_cast<size_t>(std::max(0, bitmap->Height())), nullptr);
    }
    uint8_t* Pixel(int x, int y) {
        uint8_t*& row = FRows[static_cast<size_t>(y)];
        if (!row)
            row = FBitmap->ScanLine(y);
        return row + static_cast<size_t>(x) * FBytes;
    }

private:
    TBitmap* FBitmap;
    int FBytes = 4;
    std::vector<uint8_t*> FRows;
};

} // namespace

// ---- TPlotBlend ----

TPlotBlend::TPlotBlend(TPlotCanvas* Canvas, const TRect& Rect, int Transparency)
    : FCanvas(Canvas), FTransparency(Transparency) {
    SetRectangle(Rect);
}

TPlotBlend::~TPlotBlend() = default;

void TPlotBlend::SetRectangle(const TRect& Rect) {
    TRect r = OrderRect(Rect);
    r.Left = std::max(r.Left, 0);
    r.Top = std::max(r.Top, 0);
    r.Right = std::max(r.Right, 0);
    r.Bottom = std::max(r.Bottom, 0);
    if (r.Right - r.Left < 1)
        r.Right = r.Left + 1;
    if (r.Bottom - r.Top < 1)
        r.Bottom = r.Top + 1;
    const TRect& bounds = FCanvas->Bounds();
    r.Right = std::min(r.Right, bounds.Right);
    r.Bottom = std::min(r.Bottom, bounds.Bottom);
    FRect = r;
    FValidSize = r.Right - r.Left > 0 && r.Bottom - r.Top > 0;
    if (!FValidSize)
        return;
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    FBitmap = std::make_unique<TBitmap>(w, h, pf24bit);
    auto* surface = dynamic_cast<TPlotCanvas3D*>(FCanvas);
    TCanvas* from = surface && surface->Bitmap() ? surface->Bitmap()->Canvas() : FCanvas->TargetCanvas();
    if (from)
        FBitmap->Canvas()->CopyRect(TRect(0, 0, w, h), from, r);
}

void TPlotBlend::DoBlend(int Transparency) {
    if (FCanvas->Metafiling() || !FValidSize || !FBitmap)
        return;
    auto* surface = dynamic_cast<TPlotCanvas3D*>(FCanvas);
    TBitmap* target = surface ? surface->Bitmap() : nullptr;
    std::unique_ptr<TBitmap> temporary;
    TPoint origin(FRect.Left, FRect.Top);
    if (!target) {
        const int w = FRect.Right - FRect.Left, h = FRect.Bottom - FRect.Top;
        temporary = std::make_unique<TBitmap>(w, h);
        if (FCanvas->TargetCanvas())
            temporary->Canvas()->CopyRect(TRect(0, 0, w, h), FCanvas->TargetCanvas(), FRect);
        target = temporary.get();
        origin = TPoint(0, 0);
    }
    const uint32_t align = FCanvas->GetTextAlign();
    BlendBitmapInto(FBitmap.get(), target, origin, 100 - Transparency);
    if (FCanvas->GetTextAlign() != align) {
        if (FCanvas->CurrentChartFont())
            FCanvas->UseFont(FCanvas->CurrentChartFont());
        FCanvas->SetTextAlign(align);
    }
    if (temporary)
        FCanvas->DrawGraphic(FRect.Left, FRect.Top, temporary.get());
}

// ---- Free functions ----

void BlendBitmapInto(TBitmap* Source, TBitmap* Target, TPoint Origin, double Percent) {
    if (!Source || !Target)
        return;
    Origin.X = std::max(Origin.X, 0);
    Origin.Y = std::max(Origin.Y, 0);
    const int w = std::min(Source->Width(), Target->Width() - Origin.X);
    const int h = std::min(Source->Height(), Target->Height() - Origin.Y);
    if (w <= 0 || h <= 0)
        return;
    if (CanUseAlphaBlend) {
        TBlendFunction blend;
        blend.BlendOp = AC_SRC_OVER;
        blend.BlendFlags = 0;
        blend.SourceConstantAlpha =
            static_cast<uint8_t>(std::clamp(255 - RoundToInt(Percent * 2.55), 0, 255));
        blend.AlphaFormat = 0;
        Target->Canvas()->Handle()->AlphaBlend(Origin.X, Origin.Y, w, h, Source->Canvas()->Handle(), 0, 0, w,
                                               h, blend);
        return;
    }
    const int g = 100 - RoundToInt(Percent);
    // Nothing of the source to mix in: the target stays exactly as it is.
    if (g == 0)
        return;
    TPixelRows src(Source), dst(Target);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            uint8_t* t = dst.Pixel(Origin.X + c, Origin.Y + r);
            const uint8_t* s = src.Pixel(c, r);
            // Pure white is taken off white first, so it never reads as a transparent colour.
            if (t[0] == 255 && t[1] == 255 && t[2] == 255)
                t[2] = 254;
            for (int k = 0; k < 3; ++k)
                t[k] = static_cast<uint8_t>(t[k] + g * (s[k] - t[k]) / 100);
        }
}

namespace {

struct TContributor {
    int Pixel;
    int Weight;
};

float Triangle(float x) {
    x = std::abs(x);
    return x < 1 ? 1 - x : 0;
}

float Sinc(float x) {
    return x == 0 ? 1.0f : std::sin(x) / x;
}

float Lanczos3(float x) {
    if (x == 0)
        return 1;
    x = std::abs(x);
    if (x >= 3)
        return 0;
    const float pi = std::numbers::pi_v<float>;
    return Sinc(pi * x) * Sinc(pi * x / 3);
}

// For each destination index, the source indexes that feed it with their weights (scaled by 1024).
std::vector<std::vector<TContributor>> Contributors(int destSize, int sourceSize, float scale,
                                                    bool triangle) {
    const float support = triangle ? 1.0f : 3.0f;
    auto filter = triangle ? Triangle : Lanczos3;
    std::vector<std::vector<TContributor>> list(static_cast<size_t>(destSize));
    const bool enlarge = scale >= 1;
    const float width = enlarge ? support : support / scale;
    const size_t cap = static_cast<size_t>(width * 2 + 1);
    for (int i = 0; i < destSize; ++i) {
        const float center = i / scale;
        auto& entries = list[static_cast<size_t>(i)];
        entries.reserve(cap);
        const int first = static_cast<int>(std::floor(center - width));
        const int last = static_cast<int>(std::ceil(center + width));
        for (int j = first; j <= last; ++j) {
            const float w = enlarge ? filter(center - j) : filter(scale * (center - j));
            if (w == 0)
                continue;
            int n = j < 0 ? -j : j < sourceSize ? j : 2 * sourceSize - j - 1;
            // Mirroring reaches only one source length back in; a wide filter may reach further.
            n = std::clamp(n, 0, sourceSize - 1);
            const int weight = enlarge ? RoundToInt(w * 1024) : RoundToInt(scale * 1024 * w);
            if (entries.size() < cap)
                entries.push_back({n, weight});
        }
    }
    return list;
}

uint8_t Settle(int sum) {
    if (sum < 0)
        return 0;
    if (sum >= 256 * 1024)
        return 255;
    return static_cast<uint8_t>(sum >> 10);
}

} // namespace

void SmoothStretch(TBitmap* Source, TBitmap* Destination, bool UseTriangle) {
    if (!Source || !Destination)
        return;
    const int sw = Source->Width(), sh = Source->Height();
    const int dw = Destination->Width(), dh = Destination->Height();
    if (sw < 2 || sh <= 1)
        throw Exception("SmoothStretch: Source bitmap too small");
    if (dw < 2 || dh <= 1)
        throw Exception("SmoothStretch: Destination bitmap too small");
    Source->SetPixelFormat(pf24bit);
    Destination->SetPixelFormat(pf24bit);
    const float xs = float(dw - 1) / float(sw - 1);
    const float ys = float(dh - 1) / float(sh - 1);

    // Horizontal pass into a work area of dw by sh, then the vertical pass into the destination.
    std::vector<uint8_t> work(static_cast<size_t>(dw) * sh * 3);
    {
        const auto columns = Contributors(dw, sw, xs, UseTriangle);
        TPixelRows src(Source);
        for (int y = 0; y < sh; ++y)
            for (int x = 0; x < dw; ++x) {
                int b = 0, g = 0, r = 0;
                for (const TContributor& c : columns[static_cast<size_t>(x)]) {
                    const uint8_t* p = src.Pixel(c.Pixel, y);
                    b += c.Weight * p[0];
                    g += c.Weight * p[1];
                    r += c.Weight * p[2];
                }
                uint8_t* out = &work[(static_cast<size_t>(y) * dw + x) * 3];
                out[0] = Settle(b);
                out[1] = Settle(g);
                out[2] = Settle(r);
            }
    }
    const auto rows = Contributors(dh, sh, ys, UseTriangle);
    TPixelRows dst(Destination);
    for (int x = 0; x < dw; ++x)
        for (int y = 0; y < dh; ++y) {
            int b = 0, g = 0, r = 0;
            for (const TContributor& c : rows[static_cast<size_t>(y)]) {
                const uint8_t* p = &work[(static_cast<size_t>(c.Pixel) * dw + x) * 3];
                b += c.Weight * p[0];
                g += c.Weight * p[1];
                r += c.Weight * p[2];
            }
            uint8_t* out = dst.Pixel(x, y);
            out[0] = Settle(b);
            out[1] = Settle(g);
            out[2] = Settle(r);
        }
}

} // namespace chart
