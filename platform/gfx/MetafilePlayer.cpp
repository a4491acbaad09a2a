// Playback of a record list onto a device context.
#include <algorithm>
#include <cmath>

#include "platform/gfx/MetafileFormat.h"

namespace plat {

namespace {

// Scales a region of frame pixels into the target's device pixels.
TRegion ScaleRegion(const TRegion& region, const TRect& target, int width, int height) {
    const double kx = double(target.Width()) / width, ky = double(target.Height()) / height;
    std::vector<TRegion::TSpan> spans;
    for (const TRect& r : region.Rects()) {
        int x0 = target.Left + static_cast<int>(std::lround(r.Left * kx));
        int x1 = target.Left + static_cast<int>(std::lround(r.Right * kx));
        int y0 = target.Top + static_cast<int>(std::lround(r.Top * ky));
        int y1 = target.Top + static_cast<int>(std::lround(r.Bottom * ky));
        if (x1 < x0)
            std::swap(x0, x1);
        if (y1 < y0)
            std::swap(y0, y1);
        for (int y = y0; y < y1; ++y)
            spans.push_back({y, x0, x1});
    }
    return TRegion::FromSpans(std::move(spans));
}

} // namespace

namespace metafile {

void PlayRecord(const TMetaRecord& r, const TPlayTarget& to) {
    TDeviceContext& dc = *to.Dc;
    const TPoint p0 = r.Points.empty() ? TPoint() : r.Points[0];
    const TPoint p1 = r.Points.size() > 1 ? r.Points[1] : TPoint();
    const int n = static_cast<int>(r.Points.size());
    const TRect& b = r.Rect;
    switch (r.Op) {
    case TMetaOp::SelectPen:
        dc.SelectPen(r.Pen);
        break;
    case TMetaOp::SelectBrush:
        dc.SelectBrush(r.Brush);
        break;
    case TMetaOp::SelectFont:
        dc.SelectFont(r.Font);
        break;
    case TMetaOp::SetBkColor:
        dc.SetBkColor(r.Value);
        break;
    case TMetaOp::SetBkMode:
        dc.SetBkMode(r.Value);
        break;
    case TMetaOp::SetTextColor:
        dc.SetTextColor(r.Value);
        break;
    case TMetaOp::SetTextAlign:
        dc.SetTextAlign(static_cast<uint32_t>(r.Value));
        break;
    case TMetaOp::SetROP2:
        dc.SetROP2(r.Value);
        break;
    case TMetaOp::SetPolyFillMode:
        dc.SetPolyFillMode(r.Value);
        break;
    case TMetaOp::SetStretchBltMode:
        dc.SetStretchBltMode(r.Value);
        break;
    case TMetaOp::SetCharExtra:
        dc.SetTextCharacterExtra(r.Value);
        break;
    case TMetaOp::SetBrushOrg: {
        TPoint org = dc.LPtoDP(p0);
        dc.SetBrushOrg(org);
        break;
    }
    case TMetaOp::SelectClip: {
        if (!r.Clip) {
            dc.SelectClipRgn(to.Outer);
            break;
        }
        TRegion clip = ScaleRegion(*r.Clip, to.Target, to.Width, to.Height);
        if (to.Outer) {
            TRegion both;
            both.Combine(clip, *to.Outer, RGN_AND);
            clip = std::move(both);
        }
        dc.SelectClipRgn(&clip);
        break;
    }
    case TMetaOp::MoveTo:
        dc.MoveToEx(p0.X, p0.Y);
        break;
    case TMetaOp::SetArcDirection:
        dc.SetArcDirection(r.Value);
        break;
    case TMetaOp::LineTo:
        dc.LineTo(p0.X, p0.Y);
        break;
    case TMetaOp::Polyline:
        dc.Polyline(r.Points.data(), n);
        break;
    case TMetaOp::PolylineTo:
        dc.PolylineTo(r.Points.data(), n);
        break;
    case TMetaOp::PolyPolyline:
        dc.PolyPolyline(r.Points.data(), r.Counts.data(), static_cast<int>(r.Counts.size()));
        break;
    case TMetaOp::Polygon:
        dc.Polygon(r.Points.data(), n);
        break;
    case TMetaOp::PolyPolygon:
        dc.PolyPolygon(r.Points.data(), r.Counts.data(), static_cast<int>(r.Counts.size()));
        break;
    case TMetaOp::Rectangle:
        dc.Rectangle(b.Left, b.Top, b.Right, b.Bottom);
        break;
    case TMetaOp::RoundRect:
        dc.RoundRect(b.Left, b.Top, b.Right, b.Bottom, p0.X, p0.Y);
        break;
    case TMetaOp::Ellipse:
        dc.Ellipse(b.Left, b.Top, b.Right, b.Bottom);
        break;
    case TMetaOp::Arc:
        dc.Arc(b.Left, b.Top, b.Right, b.Bottom, p0.X, p0.Y, p1.X, p1.Y);
        break;
    case TMetaOp::Pie:
        dc.Pie(b.Left, b.Top, b.Right, b.Bottom, p0.X, p0.Y, p1.X, p1.Y);
        break;
    case TMetaOp::Chord:
        dc.Chord(b.Left, b.Top, b.Right, b.Bottom, p0.X, p0.Y, p1.X, p1.Y);
        break;
    case TMetaOp::PolyBezier:
        dc.PolyBezier(r.Points.data(), n);
        break;
    case TMetaOp::PolyBezierTo:
        dc.PolyBezierTo(r.Points.data(), n);
        break;
    case TMetaOp::PatBlt:
        dc.PatBlt(b.Left, b.Top, b.Width(), b.Height(), static_cast<uint32_t>(r.Value));
        break;
    case TMetaOp::SetPixel:
        dc.SetPixel(p0.X, p0.Y, r.Value);
        break;
    case TMetaOp::Text:
        dc.ExtTextOut(p0.X, p0.Y, static_cast<uint32_t>(r.Value), r.HasRect ? &r.Rect : nullptr, r.Text);
        break;
    case TMetaOp::StretchImage:
    case TMetaOp::TransparentImage:
    case TMetaOp::AlphaImage: {
        if (!r.Image || r.Image->Width <= 0 || r.Image->Height <= 0)
            break;
        TImageSurface pixels(r.Image->Width, r.Image->Height);
        std::copy(r.Image->Pixels.begin(), r.Image->Pixels.end(), pixels.Pixels());
        TDeviceContext source(&pixels);
        const int w = r.Image->Width, h = r.Image->Height;
        if (r.Op == TMetaOp::StretchImage)
            dc.StretchBlt(b.Left, b.Top, b.Width(), b.Height(), &source, 0, 0, w, h,
                          static_cast<uint32_t>(r.Value));
        else if (r.Op == TMetaOp::TransparentImage)
            dc.TransparentBlt(b.Left, b.Top, b.Width(), b.Height(), &source, 0, 0, w, h, r.Value);
        else
            dc.AlphaBlend(b.Left, b.Top, b.Width(), b.Height(), &source, 0, 0, w, h, r.Blend);
        break;
    }
    case TMetaOp::GradientFill:
        dc.GradientFill(r.Vertices.data(), static_cast<int>(r.Vertices.size()), r.Gradients.data(),
                        static_cast<int>(r.Gradients.size()), r.Value);
        break;
    case TMetaOp::ArcTo:
        dc.ArcTo(b.Left, b.Top, b.Right, b.Bottom, p0.X, p0.Y, p1.X, p1.Y);
        break;
    case TMetaOp::BeginPath:
        dc.BeginPath();
        break;
    case TMetaOp::EndPath:
        dc.EndPath();
        break;
    case TMetaOp::AbortPath:
        dc.AbortPath();
        break;
    case TMetaOp::CloseFigure:
        dc.CloseFigure();
        break;
    case TMetaOp::StrokePath:
        dc.StrokePath();
        break;
    case TMetaOp::FillPath:
        dc.FillPath();
        break;
    case TMetaOp::StrokeAndFillPath:
        dc.StrokeAndFillPath();
        break;
    case TMetaOp::WidenPath:
        dc.WidenPath();
        break;
    case TMetaOp::FlattenPath:
        dc.FlattenPath();
        break;
    case TMetaOp::SelectClipPath:
        // The path's area is in the target's pixels already; the picture stays inside the outer clip.
        if (dc.SelectClipPath(r.Value) && to.Outer)
            dc.ExtSelectClipRgn(to.Outer, RGN_AND);
        break;
    }
}

} // namespace metafile

void PlayMetafile(const TMetafileContent& content, TDeviceContext& dc, const TRect& rect) {
    if (content.Width <= 0 || content.Height <= 0)
        return;
    const TRect target = dc.LPtoDP(rect);
    if (target.Width() == 0 || target.Height() == 0)
        return;
    TRegion outer;
    const bool outerClip = dc.GetClipRgn(outer) != 0;
    const int saved = dc.SaveDC();
    // The frame's pixels become the context's logical units, whatever mapping it had.
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowOrgEx(0, 0);
    dc.SetWindowExtEx(content.Width, content.Height);
    dc.SetViewportOrgEx(target.Left, target.Top);
    dc.SetViewportExtEx(target.Width(), target.Height());
    // A path left open or unused by the picture's records goes with it.
    const bool pathBefore = dc.InPathBracket() || dc.PathClosed();

    metafile::TPlayTarget to{&dc, target, content.Width, content.Height, outerClip ? &outer : nullptr};
    for (const TMetaRecord& r : content.Records)
        metafile::PlayRecord(r, to);
    if (!pathBefore && (dc.InPathBracket() || dc.PathClosed()))
        dc.AbortPath();
    dc.RestoreDC(saved);
}

} // namespace plat
