// Writes a record list as an enhanced metafile. libuemf builds the records; this file decides which
// records a call becomes and keeps the object table (one pen, brush and font object at a time). Text
// inside a path is written as its glyph outlines.
#include <uemf.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "platform/gfx/MetafileFormat.h"

namespace plat {

namespace {

using namespace metafile;

// The reference device: 1920 by 1440 pixels on 508 by 381 millimetres, which is exactly 96 per inch.
constexpr int kDeviceW = 1920, kDeviceH = 1440, kDeviceMmW = 508, kDeviceMmH = 381;

U_COLORREF Ref(TColor c) {
    c = ColorToRGB(c);
    return colorref3_set(static_cast<uint8_t>(GetRValue(c)), static_cast<uint8_t>(GetGValue(c)),
                         static_cast<uint8_t>(GetBValue(c)));
}

U_RECTL InclusiveBounds(TRect r) {
    if (r.IsEmpty())
        return U_RECTL{0, 0, -1, -1};
    return U_RECTL{r.Left, r.Top, r.Right - 1, r.Bottom - 1};
}

bool Fits16(const std::vector<TPoint>& pts) {
    return std::all_of(pts.begin(), pts.end(), [](const TPoint& p) {
        return p.X >= -32768 && p.X <= 32767 && p.Y >= -32768 && p.Y <= 32767;
    });
}

class TEmfWriter {
public:
    std::vector<uint8_t> Write(const TMetafileContent& content);

private:
    void Put(char* record);
    uint32_t NewSlot();
    void Select(uint32_t& current, uint32_t created, uint32_t stock);
    void Pen(const TGdiPen& pen);
    void Brush(const TGdiBrush& brush);
    void Font(const TLogFont& font);
    void Clip(const TRegion* region);
    void Points(TMetaOp op, const TMetaRecord& r);
    void Text(const TMetaRecord& r);
    void TextOutline(const TMetaRecord& r);
    void Image(const TMetaRecord& r);
    void Gradient(const TMetaRecord& r);

    std::vector<uint8_t> FOut;
    uint32_t FRecords = 0;
    std::vector<bool> FSlots{true}; // slot 0 stands for the metafile itself
    uint32_t FPen = 0, FBrush = 0, FFont = 0;
    TLogFont FCurrentFont;
    TGdiBrush FCurrentBrush;
    int FCharExtra = 0;
    U_RECTL FFrameBounds{0, 0, 0, 0}; // what a path may cover at most
    bool FInPath = false;
    // Follows the state to build the outlines of text in paths.
    std::unique_ptr<TFrameSurface> FFrame;
    std::unique_ptr<TDeviceContext> FShadow;
    TPlayTarget FShadowTarget;
};

void TEmfWriter::Put(char* record) {
    if (!record)
        throw EOutOfResources("Out of memory while writing a metafile");
    uint32_t size = reinterpret_cast<U_EMR*>(record)->nSize;
    FOut.insert(FOut.end(), record, record + size);
    std::free(record);
    ++FRecords;
}

uint32_t TEmfWriter::NewSlot() {
    for (uint32_t i = 1; i < FSlots.size(); ++i)
        if (!FSlots[i]) {
            FSlots[i] = true;
            return i;
        }
    FSlots.push_back(true);
    return static_cast<uint32_t>(FSlots.size() - 1);
}

// Selects a new object (or a stock one when created is 0) and deletes the one it replaces.
void TEmfWriter::Select(uint32_t& current, uint32_t created, uint32_t stock) {
    Put(U_EMRSELECTOBJECT_set(created ? created : stock));
    if (current) {
        Put(U_EMRDELETEOBJECT_set(current));
        FSlots[current] = false;
    }
    current = created;
}

void TEmfWriter::Pen(const TGdiPen& pen) {
    const uint32_t kind = pen.Kind();
    if (kind == PS_NULL || pen.Color == clNone) {
        Select(FPen, 0, U_NULL_PEN);
        return;
    }
    uint32_t slot = NewSlot();
    if (!pen.Geometric() && kind != PS_USERSTYLE && kind != PS_ALTERNATE) {
        Put(U_EMRCREATEPEN_set(slot, logpen_set(pen.Style, point32_set(pen.Width, 0), Ref(pen.Color))));
    } else {
        std::vector<U_STYLEENTRY> dashes(pen.UserDashes.begin(), pen.UserDashes.end());
        U_STYLEENTRY none = 0;
        PU_EXTLOGPEN elp =
            extlogpen_set(pen.Style, static_cast<uint32_t>(pen.Width), U_BS_SOLID, Ref(pen.Color), 0,
                          static_cast<uint32_t>(dashes.size()), dashes.empty() ? &none : dashes.data());
        Put(U_EMREXTCREATEPEN_set(slot, nullptr, 0, nullptr, elp));
        std::free(elp);
    }
    Select(FPen, slot, 0);
}

void TEmfWriter::Brush(const TGdiBrush& brush) {
    if (brush.Style == BS_NULL) {
        Select(FBrush, 0, U_NULL_BRUSH);
        return;
    }
    uint32_t slot = NewSlot();
    if (brush.Style == BS_PATTERN && brush.Pattern) {
        TMetaImage tile = PatternToImage(*brush.Pattern);
        TDibData dib = brush.Pattern->Monochrome ? MaskToDib(tile) : ImageToDib(tile, false);
        auto* bmi = reinterpret_cast<PU_BITMAPINFO>(dib.Info.data());
        auto* px = reinterpret_cast<const char*>(dib.Bits.data());
        auto cb = static_cast<uint32_t>(dib.Bits.size());
        Put(brush.Pattern->Monochrome
                ? U_EMRCREATEMONOBRUSH_set(slot, U_DIB_RGB_COLORS, bmi, cb, px)
                : U_EMRCREATEDIBPATTERNBRUSHPT_set(slot, U_DIB_RGB_COLORS, bmi, cb, px));
    } else {
        uint32_t style = brush.Style == BS_HATCHED ? U_BS_HATCHED : U_BS_SOLID;
        Put(U_EMRCREATEBRUSHINDIRECT_set(
            slot, logbrush_set(style, Ref(brush.Color), static_cast<int32_t>(brush.Hatch))));
    }
    Select(FBrush, slot, 0);
}

void TEmfWriter::Font(const TLogFont& f) {
    uint16_t face[U_LF_FACESIZE] = {};
    std::vector<uint16_t> name = Utf8ToUtf16(f.FaceName);
    std::copy_n(name.begin(), std::min<size_t>(name.size(), U_LF_FACESIZE - 1), face);
    U_LOGFONT lf = logfont_set(f.Height, f.Width, f.Escapement, f.Orientation, f.Weight, f.Italic,
                               f.Underline, f.StrikeOut, f.CharSet, f.OutPrecision, f.ClipPrecision,
                               f.Quality, f.PitchAndFamily, face);
    uint16_t full[U_LF_FULLFACESIZE] = {};
    uint16_t style[U_LF_FACESIZE] = {};
    U_LOGFONT_PANOSE elfw = logfont_panose_set(lf, full, style, 0, panose_set(0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    uint32_t slot = NewSlot();
    Put(U_EMREXTCREATEFONTINDIRECTW_set(slot, nullptr, reinterpret_cast<const char*>(&elfw)));
    Select(FFont, slot, 0);
    FCurrentFont = f;
}

void TEmfWriter::Clip(const TRegion* region) {
    if (!region) {
        // RGN_COPY without region data goes back to the whole device.
        char* rec = static_cast<char*>(std::calloc(1, 16));
        if (!rec)
            throw EOutOfResources("Out of memory while writing a metafile");
        U_EMR* emr = reinterpret_cast<U_EMR*>(rec);
        emr->iType = U_EMR_EXTSELECTCLIPRGN;
        emr->nSize = 16;
        uint32_t mode = U_RGN_COPY;
        std::memcpy(rec + 12, &mode, 4);
        Put(rec);
        return;
    }
    std::vector<U_RECTL> rects;
    for (const TRect& r : region->Rects())
        rects.push_back(U_RECTL{r.Left, r.Top, r.Right, r.Bottom});
    if (rects.empty())
        rects.push_back(U_RECTL{0, 0, 0, 0});
    TRect b = region->Bounds();
    PU_RGNDATA rd = rgndata_set(
        rgndataheader_set(static_cast<uint32_t>(rects.size()), U_RECTL{b.Left, b.Top, b.Right, b.Bottom}),
        rects.data());
    Put(U_EMREXTSELECTCLIPRGN_set(U_RGN_COPY, rd));
    std::free(rd);
}

void TEmfWriter::Points(TMetaOp op, const TMetaRecord& r) {
    const U_RECTL bounds = InclusiveBounds(RecordBounds(r));
    const auto n = static_cast<uint32_t>(r.Points.size());
    std::vector<uint32_t> counts(r.Counts.begin(), r.Counts.end());
    if (Fits16(r.Points)) {
        std::vector<U_POINT16> p;
        for (const TPoint& q : r.Points)
            p.push_back(point16_set(static_cast<int16_t>(q.X), static_cast<int16_t>(q.Y)));
        switch (op) {
        case TMetaOp::Polyline:
            Put(U_EMRPOLYLINE16_set(bounds, n, p.data()));
            break;
        case TMetaOp::PolylineTo:
            Put(U_EMRPOLYLINETO16_set(bounds, n, p.data()));
            break;
        case TMetaOp::Polygon:
            Put(U_EMRPOLYGON16_set(bounds, n, p.data()));
            break;
        case TMetaOp::PolyBezier:
            Put(U_EMRPOLYBEZIER16_set(bounds, n, p.data()));
            break;
        case TMetaOp::PolyBezierTo:
            Put(U_EMRPOLYBEZIERTO16_set(bounds, n, p.data()));
            break;
        case TMetaOp::PolyPolyline:
            Put(U_EMRPOLYPOLYLINE16_set(bounds, static_cast<uint32_t>(counts.size()), counts.data(), n,
                                        p.data()));
            break;
        case TMetaOp::PolyPolygon:
            Put(U_EMRPOLYPOLYGON16_set(bounds, static_cast<uint32_t>(counts.size()), counts.data(), n,
                                       p.data()));
            break;
        default:
            break;
        }
        return;
    }
    std::vector<U_POINTL> p;
    for (const TPoint& q : r.Points)
        p.push_back(point32_set(q.X, q.Y));
    switch (op) {
    case TMetaOp::Polyline:
        Put(U_EMRPOLYLINE_set(bounds, n, p.data()));
        break;
    case TMetaOp::PolylineTo:
        Put(U_EMRPOLYLINETO_set(bounds, n, p.data()));
        break;
    case TMetaOp::Polygon:
        Put(U_EMRPOLYGON_set(bounds, n, p.data()));
        break;
    case TMetaOp::PolyBezier:
        Put(U_EMRPOLYBEZIER_set(bounds, n, p.data()));
        break;
    case TMetaOp::PolyBezierTo:
        Put(U_EMRPOLYBEZIERTO_set(bounds, n, p.data()));
        break;
    case TMetaOp::PolyPolyline:
        Put(U_EMRPOLYPOLYLINE_set(bounds, static_cast<uint32_t>(counts.size()), counts.data(), n, p.data()));
        break;
    case TMetaOp::PolyPolygon:
        Put(U_EMRPOLYPOLYGON_set(bounds, static_cast<uint32_t>(counts.size()), counts.data(), n, p.data()));
        break;
    default:
        break;
    }
}

void TEmfWriter::Text(const TMetaRecord& r) {
    std::vector<uint16_t> text = Utf8ToUtf16(r.Text);
    // Character advances go with the text, so that other programs place the characters as we do.
    std::vector<int> perChar = CharAdvances(FCurrentFont, r.Text, FCharExtra);
    std::vector<uint32_t> dx;
    size_t k = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        bool low = text[i] >= 0xDC00 && text[i] < 0xE000;
        dx.push_back(low || k >= perChar.size() ? 0 : static_cast<uint32_t>(perChar[k]));
        if (!low)
            ++k;
    }
    if (dx.empty())
        dx.push_back(0);
    int width = 0;
    for (uint32_t d : dx)
        width += static_cast<int>(d);
    const TPoint p = r.Points.empty() ? TPoint() : r.Points[0];
    U_RECTL rcl =
        r.HasRect ? U_RECTL{r.Rect.Left, r.Rect.Top, r.Rect.Right, r.Rect.Bottom} : U_RECTL{0, 0, -1, -1};
    uint32_t options = r.HasRect ? static_cast<uint32_t>(r.Value) : 0;
    char* emrtext =
        emrtext_set(point32_set(p.X, p.Y), static_cast<uint32_t>(text.size()), 2,
                    text.empty() ? static_cast<void*>(dx.data()) : static_cast<void*>(text.data()), options,
                    rcl, dx.data());
    if (!emrtext)
        throw EOutOfResources("Out of memory while writing a metafile");
    int h = std::abs(FCurrentFont.Height);
    U_RECTL bounds{p.X - h, p.Y - h, p.X + width + h, p.Y + 2 * h};
    const float scale = 2540.0f / 96.0f; // page pixels to hundredths of a millimetre
    Put(U_EMREXTTEXTOUTW_set(bounds, U_GM_COMPATIBLE, scale, scale, reinterpret_cast<PU_EMRTEXT>(emrtext)));
    std::free(emrtext);
}

// Text in a path goes in as the outlines of its glyphs, which every reader can put in a path. They keep
// a sixteenth of a pixel through a mapping that is undone at once.
void TEmfWriter::TextOutline(const TMetaRecord& r) {
    FShadow->BeginPath();
    PlayRecord(r, FShadowTarget);
    FShadow->EndPath();
    std::vector<TPointF> points;
    std::vector<uint8_t> types;
    FShadow->GetPathDevice(points, types);
    FShadow->AbortPath();
    constexpr int kSteps = 16;
    std::vector<U_POINTL> p;
    std::vector<uint32_t> counts;
    TRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
    for (size_t i = 0; i < points.size(); ++i) {
        if ((types[i] & ~PT_CLOSEFIGURE) == PT_MOVETO || counts.empty())
            counts.push_back(0);
        ++counts.back();
        auto fine = [](double v) {
            return static_cast<int32_t>(std::lround(std::clamp(v, -1e8, 1e8) * kSteps));
        };
        p.push_back(point32_set(fine(points[i].X), fine(points[i].Y)));
        box.Left = std::min<int>(box.Left, static_cast<int>(std::floor(points[i].X)));
        box.Top = std::min<int>(box.Top, static_cast<int>(std::floor(points[i].Y)));
        box.Right = std::max<int>(box.Right, static_cast<int>(std::ceil(points[i].X)) + 1);
        box.Bottom = std::max<int>(box.Bottom, static_cast<int>(std::ceil(points[i].Y)) + 1);
    }
    if (counts.empty())
        return;
    Put(U_EMRSETMAPMODE_set(U_MM_ANISOTROPIC));
    Put(U_EMRSETWINDOWEXTEX_set(sizel_set(kSteps, kSteps)));
    Put(U_EMRSETVIEWPORTEXTEX_set(sizel_set(1, 1)));
    Put(U_EMRPOLYPOLYGON_set(InclusiveBounds(box), static_cast<uint32_t>(counts.size()), counts.data(),
                             static_cast<uint32_t>(p.size()), p.data()));
    Put(U_EMRSETMAPMODE_set(U_MM_TEXT));
}

void TEmfWriter::Image(const TMetaRecord& r) {
    if (!r.Image || r.Image->Width <= 0 || r.Image->Height <= 0)
        return;
    const TMetaImage& img = *r.Image;
    TDibData dib = ImageToDib(img, r.Op == TMetaOp::AlphaImage);
    auto* bmi = reinterpret_cast<PU_BITMAPINFO>(dib.Info.data());
    auto* px = reinterpret_cast<char*>(dib.Bits.data());
    auto cb = static_cast<uint32_t>(dib.Bits.size());
    const U_RECTL bounds = InclusiveBounds(RecordBounds(r));
    const U_POINTL dest = point32_set(r.Rect.Left, r.Rect.Top),
                   cdest = point32_set(r.Rect.Width(), r.Rect.Height());
    const U_POINTL src = point32_set(0, 0), csrc = point32_set(img.Width, img.Height);
    const U_XFORM identity = xform_set(1, 0, 0, 1, 0, 0);
    switch (r.Op) {
    case TMetaOp::StretchImage:
        Put(U_EMRSTRETCHDIBITS_set(bounds, dest, cdest, src, csrc, U_DIB_RGB_COLORS,
                                   static_cast<uint32_t>(r.Value), bmi, cb, px));
        break;
    case TMetaOp::TransparentImage:
        Put(U_EMRTRANSPARENTBLT_set(bounds, dest, cdest, src, csrc, identity, colorref3_set(255, 255, 255),
                                    U_DIB_RGB_COLORS, static_cast<uint32_t>(ColorToRGB(r.Value)), bmi, cb,
                                    px));
        break;
    case TMetaOp::AlphaImage: {
        U_BLEND blend{r.Blend.BlendOp, r.Blend.BlendFlags, r.Blend.SourceConstantAlpha, r.Blend.AlphaFormat};
        Put(U_EMRALPHABLEND_set(bounds, dest, cdest, src, csrc, identity, colorref3_set(255, 255, 255),
                                U_DIB_RGB_COLORS, blend, bmi, cb, px));
        break;
    }
    default:
        break;
    }
}

// Gradients are written as the solid bands they are drawn with: common readers skip the gradient
// record.
void TEmfWriter::Gradient(const TMetaRecord& r) {
    for (const TGradientRect& g : r.Gradients) {
        if (g.UpperLeft >= r.Vertices.size() || g.LowerRight >= r.Vertices.size())
            continue;
        for (const TBand& band : GradientBands(r.Vertices[g.UpperLeft], r.Vertices[g.LowerRight],
                                               r.Value == GRADIENT_FILL_RECT_H)) {
            TGdiBrush solid;
            solid.Color = band.Color;
            Brush(solid);
            const TRect& b = band.Rect;
            Put(U_EMRBITBLT_set(InclusiveBounds(b), point32_set(b.Left, b.Top),
                                point32_set(b.Width(), b.Height()), point32_set(0, 0),
                                xform_set(1, 0, 0, 1, 0, 0), colorref3_set(0, 0, 0), 0, PATCOPY, nullptr, 0,
                                nullptr));
        }
    }
    Brush(FCurrentBrush);
}

std::vector<uint8_t> TEmfWriter::Write(const TMetafileContent& content) {
    const int w = std::max(content.Width, 1), h = std::max(content.Height, 1);
    const U_RECTL bounds{0, 0, w - 1, h - 1};
    FFrameBounds = bounds;
    FFrame = std::make_unique<TFrameSurface>(w, h);
    FShadow = std::make_unique<TDeviceContext>(FFrame.get());
    FShadowTarget = TPlayTarget{FShadow.get(), TRect(0, 0, w, h), w, h, nullptr};
    const U_RECTL frame{0, 0, static_cast<int32_t>(std::lround(w * 2540.0 / 96)),
                        static_cast<int32_t>(std::lround(h * 2540.0 / 96))};
    Put(U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, sizel_set(kDeviceW, kDeviceH),
                        sizel_set(kDeviceMmW, kDeviceMmH), 0));

    for (const TMetaRecord& r : content.Records) {
        const TRect& b = r.Rect;
        const TPoint p0 = r.Points.empty() ? TPoint() : r.Points[0];
        const TPoint p1 = r.Points.size() > 1 ? r.Points[1] : TPoint();
        const U_RECTL box{b.Left, b.Top, b.Right, b.Bottom};
        if (IsStateOp(r.Op))
            PlayRecord(r, FShadowTarget);
        switch (r.Op) {
        case TMetaOp::SelectPen:
            Pen(*r.Pen);
            break;
        case TMetaOp::SelectBrush:
            FCurrentBrush = *r.Brush;
            Brush(FCurrentBrush);
            break;
        case TMetaOp::SelectFont:
            Font(r.Font->LogFont);
            break;
        case TMetaOp::SetBkColor:
            Put(U_EMRSETBKCOLOR_set(Ref(r.Value)));
            break;
        case TMetaOp::SetBkMode:
            Put(U_EMRSETBKMODE_set(static_cast<uint32_t>(r.Value)));
            break;
        case TMetaOp::SetTextColor:
            Put(U_EMRSETTEXTCOLOR_set(Ref(r.Value)));
            break;
        case TMetaOp::SetTextAlign:
            Put(U_EMRSETTEXTALIGN_set(static_cast<uint32_t>(r.Value)));
            break;
        case TMetaOp::SetROP2:
            Put(U_EMRSETROP2_set(static_cast<uint32_t>(r.Value)));
            break;
        case TMetaOp::SetPolyFillMode:
            Put(U_EMRSETPOLYFILLMODE_set(static_cast<uint32_t>(r.Value)));
            break;
        case TMetaOp::SetStretchBltMode:
            Put(U_EMRSETSTRETCHBLTMODE_set(static_cast<uint32_t>(r.Value)));
            break;
        case TMetaOp::SetCharExtra:
            FCharExtra = r.Value;
            break; // carried by the text's advances
        case TMetaOp::SetBrushOrg:
            Put(U_EMRSETBRUSHORGEX_set(point32_set(p0.X, p0.Y)));
            break;
        case TMetaOp::SelectClip:
            Clip(r.Clip.get());
            break;
        case TMetaOp::MoveTo:
            Put(U_EMRMOVETOEX_set(point32_set(p0.X, p0.Y)));
            break;
        case TMetaOp::LineTo:
            Put(U_EMRLINETO_set(point32_set(p0.X, p0.Y)));
            break;
        case TMetaOp::Polyline:
        case TMetaOp::PolylineTo:
        case TMetaOp::PolyPolyline:
        case TMetaOp::Polygon:
        case TMetaOp::PolyPolygon:
        case TMetaOp::PolyBezier:
        case TMetaOp::PolyBezierTo:
            Points(r.Op, r);
            break;
        case TMetaOp::Rectangle:
            Put(U_EMRRECTANGLE_set(box));
            break;
        case TMetaOp::RoundRect:
            Put(U_EMRROUNDRECT_set(box, sizel_set(p0.X, p0.Y)));
            break;
        case TMetaOp::Ellipse:
            Put(U_EMRELLIPSE_set(box));
            break;
        case TMetaOp::Arc:
            Put(U_EMRARC_set(box, point32_set(p0.X, p0.Y), point32_set(p1.X, p1.Y)));
            break;
        case TMetaOp::Pie:
            Put(U_EMRPIE_set(box, point32_set(p0.X, p0.Y), point32_set(p1.X, p1.Y)));
            break;
        case TMetaOp::Chord:
            Put(U_EMRCHORD_set(box, point32_set(p0.X, p0.Y), point32_set(p1.X, p1.Y)));
            break;
        case TMetaOp::SetPixel:
            Put(U_EMRSETPIXELV_set(point32_set(p0.X, p0.Y), Ref(r.Value)));
            break;
        case TMetaOp::PatBlt:
            // A block transfer without a bitmap: the brush combined with the pixels.
            Put(U_EMRBITBLT_set(InclusiveBounds(b), point32_set(b.Left, b.Top),
                                point32_set(b.Width(), b.Height()), point32_set(0, 0),
                                xform_set(1, 0, 0, 1, 0, 0), colorref3_set(0, 0, 0), 0,
                                static_cast<uint32_t>(r.Value), nullptr, 0, nullptr));
            break;
        case TMetaOp::Text:
            if (FInPath)
                TextOutline(r);
            else
                Text(r);
            break;
        case TMetaOp::StretchImage:
        case TMetaOp::TransparentImage:
        case TMetaOp::AlphaImage:
            Image(r);
            break;
        case TMetaOp::GradientFill:
            Gradient(r);
            break;
        case TMetaOp::SetArcDirection:
            Put(U_EMRSETARCDIRECTION_set(static_cast<uint32_t>(r.Value)));
            break;
        case TMetaOp::ArcTo:
            Put(U_EMRARCTO_set(box, point32_set(p0.X, p0.Y), point32_set(p1.X, p1.Y)));
            break;
        case TMetaOp::BeginPath:
            Put(U_EMRBEGINPATH_set());
            FInPath = true;
            break;
        case TMetaOp::EndPath:
            Put(U_EMRENDPATH_set());
            FInPath = false;
            break;
        case TMetaOp::AbortPath:
            Put(U_EMRABORTPATH_set());
            FInPath = false;
            break;
        case TMetaOp::CloseFigure:
            Put(U_EMRCLOSEFIGURE_set());
            break;
        case TMetaOp::StrokePath:
            Put(U_EMRSTROKEPATH_set(FFrameBounds));
            break;
        case TMetaOp::FillPath:
            Put(U_EMRFILLPATH_set(FFrameBounds));
            break;
        case TMetaOp::StrokeAndFillPath:
            Put(U_EMRSTROKEANDFILLPATH_set(FFrameBounds));
            break;
        case TMetaOp::WidenPath:
            Put(U_EMRWIDENPATH_set());
            break;
        case TMetaOp::FlattenPath:
            Put(U_EMRFLATTENPATH_set());
            break;
        case TMetaOp::SelectClipPath:
            Put(U_EMRSELECTCLIPPATH_set(static_cast<uint32_t>(r.Value)));
            break;
        }
    }
    EMFTRACK track{};
    Put(U_EMREOF_set(0, nullptr, &track));

    // The header counts what follows it.
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(FOut.data() + at, &v, 4); };
    put32(offsetof(U_EMRHEADER, nBytes), static_cast<uint32_t>(FOut.size()));
    put32(offsetof(U_EMRHEADER, nRecords), FRecords);
    uint16_t handles = static_cast<uint16_t>(std::min<size_t>(FSlots.size(), 0xFFFF));
    std::memcpy(FOut.data() + offsetof(U_EMRHEADER, nHandles), &handles, 2);
    return std::move(FOut);
}

} // namespace

std::vector<uint8_t> WriteEmf(const TMetafileContent& content) {
    return TEmfWriter().Write(content);
}

} // namespace plat
