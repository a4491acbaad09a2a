#include "platform/gfx/MetafileRecorder.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>

#include "platform/gfx/MetafileFormat.h"
#include "platform/gfx/PixelLine.h"

namespace plat {

namespace {

TRect Normalized(TRect r) {
    if (r.Right < r.Left)
        std::swap(r.Left, r.Right);
    if (r.Bottom < r.Top)
        std::swap(r.Top, r.Bottom);
    return r;
}

bool SamePen(const TGdiPen& a, const TGdiPen& b) {
    return a.Style == b.Style && a.Width == b.Width && a.Color == b.Color && a.UserDashes == b.UserDashes;
}

bool SameBrush(const TGdiBrush& a, const TGdiBrush& b) {
    return a.Style == b.Style && a.Color == b.Color && a.Hatch == b.Hatch && a.Pattern == b.Pattern;
}

bool RopUsesSource(uint32_t rop) {
    uint8_t code = static_cast<uint8_t>(rop >> 16);
    return ((code & 0xCC) >> 2) != (code & 0x33);
}

} // namespace

double MapScaleX(const TDeviceContext& dc) {
    return dc.GetMapMode() == MM_ANISOTROPIC ? double(dc.GetViewportExt().cx) / dc.GetWindowExt().cx : 1.0;
}

double MapScaleY(const TDeviceContext& dc) {
    return dc.GetMapMode() == MM_ANISOTROPIC ? double(dc.GetViewportExt().cy) / dc.GetWindowExt().cy : 1.0;
}

class TMetafileRecorder::TReferenceSurface : public metafile::TFrameSurface {
public:
    using TFrameSurface::TFrameSurface;
};

TMetafileRecorder::TMetafileRecorder(int width, int height)
    : TDeviceContext(nullptr),
      FReference(std::make_unique<TReferenceSurface>(std::max(width, 1), std::max(height, 1))) {
    SetSurface(FReference.get());
}

TMetafileRecorder::~TMetafileRecorder() = default;

std::vector<TMetaRecord> TMetafileRecorder::TakeRecords() {
    std::vector<TMetaRecord> out = std::move(FRecords);
    FRecords.clear();
    FWritten = TWritten();
    FClipDirty = true;
    return out;
}

TMetaRecord& TMetafileRecorder::Add(TMetaOp op) {
    FRecords.emplace_back();
    FRecords.back().Op = op;
    return FRecords.back();
}

std::vector<TPoint> TMetafileRecorder::Device(const TPoint* points, int count) const {
    std::vector<TPoint> out(points, points + count);
    LPtoDP(out.data(), count);
    return out;
}

// ---- State ----

void TMetafileRecorder::Sync() {
    Sync(TForced());
}

void TMetafileRecorder::Sync(const TForced& forced) {
    const double sx = std::abs(MapScaleX(*this)), sy = std::abs(MapScaleY(*this));

    TGdiPen pen = *CurrentPen();
    pen.Color = ColorToRGB(pen.Color);
    if (pen.Geometric() || pen.Width > 1)
        pen.Width = std::max(1, static_cast<int>(std::lround(pen.Width * (sx + sy) / 2)));
    if (!FWritten.Pen || !SamePen(*FWritten.Pen, pen)) {
        Add(TMetaOp::SelectPen).Pen = std::make_shared<TGdiPen>(pen);
        FWritten.Pen = pen;
    }

    TGdiBrush brush = forced.Brush ? *forced.Brush : *CurrentBrush();
    brush.Color = ColorToRGB(brush.Color);
    if (!FWritten.Brush || !SameBrush(*FWritten.Brush, brush)) {
        Add(TMetaOp::SelectBrush).Brush = std::make_shared<TGdiBrush>(brush);
        FWritten.Brush = brush;
    }

    TLogFont font = CurrentFont() ? CurrentFont()->LogFont : TLogFont();
    font.Height = static_cast<int>(std::lround(font.Height * sy));
    font.Width = static_cast<int>(std::lround(font.Width * sx));
    if (!FWritten.Font || !(*FWritten.Font == font)) {
        auto f = std::make_shared<TGdiFont>();
        f->LogFont = font;
        Add(TMetaOp::SelectFont).Font = std::move(f);
        FWritten.Font = font;
    }

    auto value = [this](TMetaOp op, std::optional<int>& written, int now) {
        if (!written || *written != now) {
            Add(op).Value = now;
            written = now;
        }
    };
    value(TMetaOp::SetBkColor, FWritten.BkColor, ColorToRGB(GetBkColor()));
    value(TMetaOp::SetBkMode, FWritten.BkMode, GetBkMode());
    value(TMetaOp::SetTextColor, FWritten.TextColor, ColorToRGB(GetTextColor()));
    value(TMetaOp::SetTextAlign, FWritten.TextAlign, static_cast<int>(GetTextAlign() & ~TA_UPDATECP));
    value(TMetaOp::SetROP2, FWritten.Rop2, GetROP2());
    value(TMetaOp::SetPolyFillMode, FWritten.PolyFillMode, GetPolyFillMode());
    value(TMetaOp::SetStretchBltMode, FWritten.StretchMode, GetStretchBltMode());
    value(TMetaOp::SetCharExtra, FWritten.CharExtra,
          static_cast<int>(std::lround(GetTextCharacterExtra() * sx)));

    TPoint org = GetBrushOrg();
    if (!FWritten.BrushOrg || *FWritten.BrushOrg != org) {
        Add(TMetaOp::SetBrushOrg).Points = {org};
        FWritten.BrushOrg = org;
    }

    if (FClipDirty || !FWritten.ClipKnown) {
        TRegion now;
        std::optional<TRegion> clip;
        if (GetClipRgn(now))
            clip = std::move(now);
        if (!FWritten.ClipKnown || FWritten.Clip != clip) {
            Add(TMetaOp::SelectClip).Clip = clip ? std::make_shared<const TRegion>(*clip) : nullptr;
            FWritten.Clip = std::move(clip);
            FWritten.ClipKnown = true;
        }
        FClipDirty = false;
    }
}

void TMetafileRecorder::SyncPos() {
    TPoint pos = LPtoDP(GetCurrentPosition());
    if (!FWritten.Pos || *FWritten.Pos != pos) {
        Add(TMetaOp::MoveTo).Points = {pos};
        FWritten.Pos = pos;
    }
}

void TMetafileRecorder::SyncArcDirection() {
    if (!FWritten.ArcDirection || *FWritten.ArcDirection != GetArcDirection()) {
        Add(TMetaOp::SetArcDirection).Value = GetArcDirection();
        FWritten.ArcDirection = GetArcDirection();
    }
}

bool TMetafileRecorder::MoveToEx(int x, int y, TPoint* old) {
    // In a path a move starts a new figure even where the position stays, so it is always written.
    if (InPathBracket())
        FWritten.Pos.reset();
    return TDeviceContext::MoveToEx(x, y, old);
}

int TMetafileRecorder::SelectClipRgn(const TRegion* region) {
    FClipDirty = true;
    return TDeviceContext::SelectClipRgn(region);
}

int TMetafileRecorder::ExtSelectClipRgn(const TRegion* region, int mode) {
    FClipDirty = true;
    return TDeviceContext::ExtSelectClipRgn(region, mode);
}

int TMetafileRecorder::OffsetClipRgn(int dx, int dy) {
    FClipDirty = true;
    return TDeviceContext::OffsetClipRgn(dx, dy);
}

bool TMetafileRecorder::RestoreDC(int level) {
    FClipDirty = true;
    return TDeviceContext::RestoreDC(level);
}

// ---- Lines and shapes ----

bool TMetafileRecorder::LineTo(int x, int y) {
    Sync();
    SyncPos();
    TPoint d = LPtoDP(TPoint(x, y));
    Add(TMetaOp::LineTo).Points = {d};
    FWritten.Pos = d;
    if (InPathBracket())
        return TDeviceContext::LineTo(x, y);
    TDeviceContext::MoveToEx(x, y);
    return true;
}

bool TMetafileRecorder::PointList(TMetaOp op, const TPoint* points, int count, int minimum) {
    if (!points || count < minimum)
        return false;
    Sync();
    Add(op).Points = Device(points, count);
    if (InPathBracket()) {
        if (op == TMetaOp::Polyline)
            TDeviceContext::Polyline(points, count);
        else if (op == TMetaOp::Polygon)
            TDeviceContext::Polygon(points, count);
        else if (op == TMetaOp::PolyBezier)
            TDeviceContext::PolyBezier(points, count);
    }
    return true;
}

bool TMetafileRecorder::PolyList(TMetaOp op, const TPoint* points, const int* counts, int n, int minimum) {
    if (!points || !counts || n <= 0)
        return false;
    int total = 0;
    for (int i = 0; i < n; ++i) {
        if (counts[i] < minimum)
            return false;
        total += counts[i];
    }
    Sync();
    TMetaRecord& r = Add(op);
    r.Points = Device(points, total);
    r.Counts.assign(counts, counts + n);
    if (InPathBracket()) {
        if (op == TMetaOp::PolyPolyline)
            TDeviceContext::PolyPolyline(points, counts, n);
        else
            TDeviceContext::PolyPolygon(points, counts, n);
    }
    return true;
}

bool TMetafileRecorder::Polyline(const TPoint* points, int count) {
    return PointList(TMetaOp::Polyline, points, count, 2);
}

bool TMetafileRecorder::PolylineTo(const TPoint* points, int count) {
    if (!points || count < 1)
        return false;
    Sync();
    SyncPos();
    Add(TMetaOp::PolylineTo).Points = Device(points, count);
    FWritten.Pos = LPtoDP(points[count - 1]);
    if (InPathBracket())
        return TDeviceContext::PolylineTo(points, count);
    TDeviceContext::MoveToEx(points[count - 1].X, points[count - 1].Y);
    return true;
}

bool TMetafileRecorder::PolyPolyline(const TPoint* points, const int* counts, int polylines) {
    return PolyList(TMetaOp::PolyPolyline, points, counts, polylines, 2);
}

bool TMetafileRecorder::Polygon(const TPoint* points, int count) {
    return PointList(TMetaOp::Polygon, points, count, 2);
}

bool TMetafileRecorder::PolyPolygon(const TPoint* points, const int* counts, int polygons) {
    return PolyList(TMetaOp::PolyPolygon, points, counts, polygons, 2);
}

bool TMetafileRecorder::ShapeWithBox(TMetaOp op, int l, int t, int r, int b) {
    Sync();
    Add(op).Rect = LPtoDP(TRect(l, t, r, b));
    return true;
}

bool TMetafileRecorder::Rectangle(int left, int top, int right, int bottom) {
    if (FInBase) // a rounded rectangle without corners, already recorded
        return TDeviceContext::Rectangle(left, top, right, bottom);
    ShapeWithBox(TMetaOp::Rectangle, left, top, right, bottom);
    if (InPathBracket())
        TDeviceContext::Rectangle(left, top, right, bottom);
    return true;
}

bool TMetafileRecorder::Ellipse(int left, int top, int right, int bottom) {
    ShapeWithBox(TMetaOp::Ellipse, left, top, right, bottom);
    if (InPathBracket())
        TDeviceContext::Ellipse(left, top, right, bottom);
    return true;
}

bool TMetafileRecorder::RoundRect(int left, int top, int right, int bottom, int cornerWidth,
                                  int cornerHeight) {
    ShapeWithBox(TMetaOp::RoundRect, left, top, right, bottom);
    FRecords.back().Points = {
        TPoint(static_cast<int>(std::lround(cornerWidth * std::abs(MapScaleX(*this)))),
               static_cast<int>(std::lround(cornerHeight * std::abs(MapScaleY(*this)))))};
    if (InPathBracket()) {
        FInBase = true;
        TDeviceContext::RoundRect(left, top, right, bottom, cornerWidth, cornerHeight);
        FInBase = false;
    }
    return true;
}

bool TMetafileRecorder::ArcLike(TMetaOp op, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    Sync();
    SyncArcDirection();
    ShapeWithBox(op, l, t, r, b);
    FRecords.back().Points = {LPtoDP(TPoint(xs, ys)), LPtoDP(TPoint(xe, ye))};
    if (InPathBracket()) {
        if (op == TMetaOp::Arc)
            TDeviceContext::Arc(l, t, r, b, xs, ys, xe, ye);
        else if (op == TMetaOp::Pie)
            TDeviceContext::Pie(l, t, r, b, xs, ys, xe, ye);
        else if (op == TMetaOp::Chord)
            TDeviceContext::Chord(l, t, r, b, xs, ys, xe, ye);
    }
    return true;
}

bool TMetafileRecorder::Arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    return ArcLike(TMetaOp::Arc, l, t, r, b, xs, ys, xe, ye);
}

bool TMetafileRecorder::Pie(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    return ArcLike(TMetaOp::Pie, l, t, r, b, xs, ys, xe, ye);
}

bool TMetafileRecorder::Chord(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    return ArcLike(TMetaOp::Chord, l, t, r, b, xs, ys, xe, ye);
}

bool TMetafileRecorder::ArcTo(int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
    Sync();
    SyncPos();
    ArcLike(TMetaOp::ArcTo, l, t, r, b, xs, ys, xe, ye);
    // The base works out where the arc ends (outside a path it draws on the scratch surface).
    TDeviceContext::ArcTo(l, t, r, b, xs, ys, xe, ye);
    FWritten.Pos = LPtoDP(GetCurrentPosition());
    return true;
}

// ---- Paths ----

bool TMetafileRecorder::BeginPath() {
    TDeviceContext::BeginPath();
    Add(TMetaOp::BeginPath);
    return true;
}

bool TMetafileRecorder::EndPath() {
    if (!TDeviceContext::EndPath())
        return false;
    Add(TMetaOp::EndPath);
    return true;
}

bool TMetafileRecorder::AbortPath() {
    if (InPathBracket() || PathClosed())
        Add(TMetaOp::AbortPath);
    return TDeviceContext::AbortPath();
}

bool TMetafileRecorder::CloseFigure() {
    if (!TDeviceContext::CloseFigure())
        return false;
    Add(TMetaOp::CloseFigure);
    return true;
}

// Stroking or filling uses the path up; the recorder has nothing to draw it on.
bool TMetafileRecorder::UsePath(TMetaOp op) {
    if (!PathClosed())
        return false;
    Sync();
    Add(op);
    TDeviceContext::AbortPath();
    return true;
}

bool TMetafileRecorder::StrokePath() {
    return UsePath(TMetaOp::StrokePath);
}

bool TMetafileRecorder::FillPath() {
    return UsePath(TMetaOp::FillPath);
}

bool TMetafileRecorder::StrokeAndFillPath() {
    return UsePath(TMetaOp::StrokeAndFillPath);
}

bool TMetafileRecorder::WidenPath() {
    if (!PathClosed())
        return false;
    Sync();
    if (!TDeviceContext::WidenPath())
        return false;
    Add(TMetaOp::WidenPath);
    return true;
}

bool TMetafileRecorder::FlattenPath() {
    if (!TDeviceContext::FlattenPath())
        return false;
    Add(TMetaOp::FlattenPath);
    return true;
}

bool TMetafileRecorder::SelectClipPath(int mode) {
    if (!PathClosed())
        return false;
    Sync();
    FInBase = true;
    const bool done = TDeviceContext::SelectClipPath(mode);
    FInBase = false;
    if (!done)
        return false;
    Add(TMetaOp::SelectClipPath).Value = mode;
    // Playback works the same clip out of the path; only a later change needs a region record.
    TRegion now;
    FWritten.Clip.reset();
    if (GetClipRgn(now))
        FWritten.Clip = std::move(now);
    FWritten.ClipKnown = true;
    FClipDirty = false;
    return true;
}

bool TMetafileRecorder::PathToRegion(TRegion& region) {
    if (!TDeviceContext::PathToRegion(region))
        return false;
    if (FInBase) // the base class selecting the path as the clip
        return true;
    // The region goes to the caller; playback only needs to drop the path as well.
    Add(TMetaOp::AbortPath);
    return true;
}

bool TMetafileRecorder::PolyBezier(const TPoint* points, int count) {
    if (count < 4 || (count - 1) % 3 != 0)
        return false;
    return PointList(TMetaOp::PolyBezier, points, count, 4);
}

bool TMetafileRecorder::PolyBezierTo(const TPoint* points, int count) {
    if (!points || count < 3 || count % 3 != 0)
        return false;
    Sync();
    SyncPos();
    Add(TMetaOp::PolyBezierTo).Points = Device(points, count);
    FWritten.Pos = LPtoDP(points[count - 1]);
    if (InPathBracket())
        return TDeviceContext::PolyBezierTo(points, count);
    TDeviceContext::MoveToEx(points[count - 1].X, points[count - 1].Y);
    return true;
}

// ---- Areas: all become pattern fills of device rectangles ----

void TMetafileRecorder::DeviceFill(const TRect& d, const HBRUSH& brush, uint32_t rop) {
    if (d.IsEmpty())
        return;
    Sync({brush});
    Add(TMetaOp::PatBlt).Rect = d;
    FRecords.back().Value = static_cast<int>(rop);
}

bool TMetafileRecorder::FillRect(const TRect& r, const HBRUSH& brush) {
    if (!brush)
        return false;
    DeviceFill(LPtoDP(r), brush, PATCOPY);
    return true;
}

void TMetafileRecorder::FillSolidRect(const TRect& r, TColor color) {
    DeviceFill(Normalized(LPtoDP(r)), CreateSolidBrush(color), PATCOPY);
}

bool TMetafileRecorder::FrameRect(const TRect& r, const HBRUSH& brush) {
    TRect d = LPtoDP(r);
    if (d.IsEmpty() || !brush)
        return false;
    DeviceFill(TRect(d.Left, d.Top, d.Right, d.Top + 1), brush, PATCOPY);
    if (d.Height() > 1)
        DeviceFill(TRect(d.Left, d.Bottom - 1, d.Right, d.Bottom), brush, PATCOPY);
    if (d.Height() > 2) {
        DeviceFill(TRect(d.Left, d.Top + 1, d.Left + 1, d.Bottom - 1), brush, PATCOPY);
        if (d.Width() > 1)
            DeviceFill(TRect(d.Right - 1, d.Top + 1, d.Right, d.Bottom - 1), brush, PATCOPY);
    }
    return true;
}

bool TMetafileRecorder::InvertRect(const TRect& r) {
    TRect d = LPtoDP(r);
    if (d.IsEmpty())
        return false;
    DeviceFill(d, CurrentBrush(), DSTINVERT);
    return true;
}

bool TMetafileRecorder::FillRgn(const TRegion& region, const HBRUSH& brush) {
    if (!brush)
        return false;
    TPoint o = LPtoDP(TPoint(0, 0));
    for (TRect r : region.Rects()) {
        OffsetRect(r, o.X, o.Y);
        DeviceFill(r, brush, PATCOPY);
    }
    return true;
}

bool TMetafileRecorder::PatBlt(int x, int y, int width, int height, uint32_t rop) {
    DeviceFill(Normalized(LPtoDP(TRect(x, y, x + width, y + height))), CurrentBrush(), rop);
    return true;
}

bool TMetafileRecorder::GradientFill(const TTriVertex* vertices, int vertexCount, const TGradientRect* rects,
                                     int rectCount, int mode) {
    if (!vertices || !rects || vertexCount < 2 || rectCount < 1)
        return false;
    if (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V)
        return false;
    for (int k = 0; k < rectCount; ++k)
        if (rects[k].UpperLeft >= uint32_t(vertexCount) || rects[k].LowerRight >= uint32_t(vertexCount))
            return false;
    Sync();
    TMetaRecord& r = Add(TMetaOp::GradientFill);
    r.Vertices.assign(vertices, vertices + vertexCount);
    for (TTriVertex& v : r.Vertices) {
        TPoint d = LPtoDP(TPoint(v.x, v.y));
        v.x = d.X;
        v.y = d.Y;
    }
    r.Gradients.assign(rects, rects + rectCount);
    r.Value = mode;
    return true;
}

TColor TMetafileRecorder::SetPixel(int x, int y, TColor color) {
    Sync();
    TMetaRecord& r = Add(TMetaOp::SetPixel);
    r.Points = {LPtoDP(TPoint(x, y))};
    r.Value = ColorToRGB(color);
    return ColorToRGB(color);
}

// ---- Text ----

bool TMetafileRecorder::ExtTextOut(int x, int y, uint32_t options, const TRect* rect, std::string_view text) {
    bool updateCp = (GetTextAlign() & TA_UPDATECP) != 0;
    TPoint ref = updateCp ? GetCurrentPosition() : TPoint(x, y);
    Sync();
    TMetaRecord& r = Add(TMetaOp::Text);
    r.Points = {LPtoDP(ref)};
    r.Value = static_cast<int>(options & (ETO_OPAQUE | ETO_CLIPPED));
    if (rect) {
        r.Rect = LPtoDP(*rect);
        r.HasRect = true;
    }
    r.Text = std::string(text);
    if (InPathBracket())
        return TDeviceContext::ExtTextOut(x, y, options, rect, text);
    if (updateCp) {
        int width = TextExtent(text).cx;
        uint32_t h = GetTextAlign() & TA_CENTER;
        if (h == TA_LEFT)
            TDeviceContext::MoveToEx(ref.X + width, ref.Y);
        else if (h == TA_RIGHT)
            TDeviceContext::MoveToEx(ref.X - width, ref.Y);
    }
    return true;
}

// ---- Block transfers: the source pixels are copied into the record ----

bool CopyBlitSource(const TDeviceContext& dest, const TRect& destLogical, TDeviceContext* source, int xSrc,
                    int ySrc, int srcWidth, int srcHeight, TMetaImage& image, TRect& destDevice) {
    TDrawSurface* surface = source ? source->Surface() : nullptr;
    if (!surface || !surface->Pixels())
        return false;
    TRect s = source->LPtoDP(TRect(xSrc, ySrc, xSrc + srcWidth, ySrc + srcHeight));
    TRect d = dest.LPtoDP(destLogical);
    if (s.Width() == 0 || s.Height() == 0 || d.Width() == 0 || d.Height() == 0)
        return false;
    // Keep the orientation in the destination, read the source in its natural order.
    if (s.Right < s.Left) {
        std::swap(s.Left, s.Right);
        std::swap(d.Left, d.Right);
    }
    if (s.Bottom < s.Top) {
        std::swap(s.Top, s.Bottom);
        std::swap(d.Top, d.Bottom);
    }
    TRect c;
    if (!IntersectRect(c, s, TRect(0, 0, surface->Width(), surface->Height())))
        return false;
    // The part of the destination that the clamped source covers.
    auto mapX = [&](int sx) {
        return d.Left + static_cast<int>(std::lround(double(sx - s.Left) * d.Width() / s.Width()));
    };
    auto mapY = [&](int sy) {
        return d.Top + static_cast<int>(std::lround(double(sy - s.Top) * d.Height() / s.Height()));
    };
    destDevice = TRect(mapX(c.Left), mapY(c.Top), mapX(c.Right), mapY(c.Bottom));
    if (destDevice.Width() == 0 || destDevice.Height() == 0)
        return false;

    image.Width = c.Width();
    image.Height = c.Height();
    image.Pixels.resize(static_cast<size_t>(image.Width) * image.Height);
    const uint32_t* pixels = surface->Pixels();
    const int stride = surface->StridePixels();
    const bool mono = surface->Monochrome();
    const uint32_t fg = ColorToPixel(ColorToRGB(dest.GetTextColor())),
                   bg = ColorToPixel(ColorToRGB(dest.GetBkColor()));
    for (int row = 0; row < image.Height; ++row) {
        const uint32_t* src = pixels + static_cast<size_t>(c.Top + row) * stride + c.Left;
        uint32_t* out = image.Pixels.data() + static_cast<size_t>(row) * image.Width;
        for (int col = 0; col < image.Width; ++col) {
            uint32_t p = src[col];
            if (mono)
                p = 0xFF000000 | ((p & 0x00FFFFFF) == 0 ? fg : bg);
            out[col] = p;
        }
    }
    return true;
}

bool TMetafileRecorder::Image(TMetaOp op, int x, int y, int width, int height, TDeviceContext* source,
                              int xSrc, int ySrc, int srcWidth, int srcHeight, int value,
                              TBlendFunction blend) {
    if (!source || !source->Surface() || !source->Surface()->Pixels())
        return false;
    auto img = std::make_shared<TMetaImage>();
    TRect dst;
    if (!CopyBlitSource(*this, TRect(x, y, x + width, y + height), source, xSrc, ySrc, srcWidth, srcHeight,
                        *img, dst))
        return true;
    Sync();
    TMetaRecord& r = Add(op);
    r.Rect = dst;
    r.Image = std::move(img);
    r.Value = value;
    r.Blend = blend;
    return true;
}

bool TMetafileRecorder::BitBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc,
                               int ySrc, uint32_t rop) {
    if (!RopUsesSource(rop))
        return PatBlt(x, y, width, height, rop);
    int sw = width, sh = height;
    if (source) {
        sw = static_cast<int>(std::lround(width * MapScaleX(*this) / MapScaleX(*source)));
        sh = static_cast<int>(std::lround(height * MapScaleY(*this) / MapScaleY(*source)));
    }
    return StretchBlt(x, y, width, height, source, xSrc, ySrc, sw, sh, rop);
}

bool TMetafileRecorder::StretchBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc,
                                   int ySrc, int srcWidth, int srcHeight, uint32_t rop) {
    if (!RopUsesSource(rop))
        return PatBlt(x, y, width, height, rop);
    return Image(TMetaOp::StretchImage, x, y, width, height, source, xSrc, ySrc, srcWidth, srcHeight,
                 static_cast<int>(rop), {});
}

bool TMetafileRecorder::TransparentBlt(int x, int y, int width, int height, TDeviceContext* source, int xSrc,
                                       int ySrc, int srcWidth, int srcHeight, TColor transparent) {
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return false;
    return Image(TMetaOp::TransparentImage, x, y, width, height, source, xSrc, ySrc, srcWidth, srcHeight,
                 ColorToRGB(transparent), {});
}

bool TMetafileRecorder::AlphaBlend(int x, int y, int width, int height, TDeviceContext* source, int xSrc,
                                   int ySrc, int srcWidth, int srcHeight, TBlendFunction blend) {
    if (width < 0 || height < 0 || srcWidth < 0 || srcHeight < 0 || blend.BlendOp != AC_SRC_OVER)
        return false;
    return Image(TMetaOp::AlphaImage, x, y, width, height, source, xSrc, ySrc, srcWidth, srcHeight, 0, blend);
}

} // namespace plat
