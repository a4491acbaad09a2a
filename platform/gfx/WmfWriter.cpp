// Writes a record list as a placeable Windows metafile. libuemf builds the records. The format is
// older and smaller than the enhanced one: coordinates are 16-bit, there are no Béziers, gradients,
// alpha or transparent blits, paths, arc directions and no usable clip regions, so those calls are
// written as what they draw (polylines, solid bands, masked blits, the polygons of a path, clip
// rectangles), and the state is kept lazily so it can be written again after a clip change resets it.
// Paths are built on a context of the frame's size that has no pixels, which then gives their figures
// and the clip they select.
#include <uemf.h>
#include <uwmf.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "platform/gfx/MetafileFormat.h"
#include "platform/gfx/PixelLine.h"

namespace plat {

namespace {

using namespace metafile;

constexpr size_t kPlaceableSize = 22, kHeaderSize = 18;

U_COLORREF Ref(TColor c) {
    c = ColorToRGB(c);
    return colorref3_set(static_cast<uint8_t>(GetRValue(c)), static_cast<uint8_t>(GetGValue(c)),
                         static_cast<uint8_t>(GetBValue(c)));
}

U_POINT16 P16(TPoint p) {
    return point16_set(Clamp16(p.X), Clamp16(p.Y));
}
U_POINT16 P16(int x, int y) {
    return point16_set(Clamp16(x), Clamp16(y));
}
U_RECT16 R16(const TRect& r) {
    return U_RECT16{Clamp16(r.Left), Clamp16(r.Top), Clamp16(r.Right), Clamp16(r.Bottom)};
}

class TWmfWriter {
public:
    std::vector<uint8_t> Write(const TMetafileContent& content);

private:
    // What the records asked for, and what was last written (unset: unknown, to be written).
    struct TState {
        HPEN Pen;
        HBRUSH Brush;
        HFONT Font;
        std::optional<int> BkColor, BkMode, TextColor, TextAlign, Rop2, PolyFillMode, StretchMode, CharExtra;
        std::optional<TPoint> Pos;
    };

    void Put(char* record);
    int NewSlot();
    void Select(int& current, int created);
    void Flush(bool needPos = false);
    void WritePen(const TGdiPen& pen);
    void WriteBrush(const TGdiBrush& brush);
    void WriteFont(const TLogFont& font);
    void WriteClip();
    void Polyline(const std::vector<TPoint>& points);
    void PolyPolygon(const std::vector<TPoint>& points, const std::vector<int>& counts);
    // Writes what StrokePath, FillPath or StrokeAndFillPath draws with the path built so far.
    void DrawPath(TMetaOp op);
    // The polyline of an arc that goes on from the current position.
    void ArcTo(const TMetaRecord& r);
    void Fill(const TRect& r, TColor color);
    void Text(const TMetaRecord& r);
    void StretchDib(const TRect& dst, const TMetaImage& img, uint32_t rop, bool mask);
    void Image(const TMetaRecord& r);

    std::vector<uint8_t> FOut;
    uint32_t FLargest = 0;
    std::vector<bool> FSlots;
    size_t FPeak = 0;
    int FPen = -1, FBrush = -1, FFont = -1;
    TState FWant, FDone;
    std::shared_ptr<const TRegion> FWantClip, FDoneClip;
    int FArcDirection = AD_COUNTERCLOCKWISE;
    std::unique_ptr<TFrameSurface> FFrame;
    std::unique_ptr<TDeviceContext> FShadow;
    TPlayTarget FShadowTarget;
};

// The drawing records that add to a path while a bracket is open (the others draw at once).
bool BuildsPath(TMetaOp op) {
    switch (op) {
    case TMetaOp::LineTo:
    case TMetaOp::Polyline:
    case TMetaOp::PolylineTo:
    case TMetaOp::PolyPolyline:
    case TMetaOp::Polygon:
    case TMetaOp::PolyPolygon:
    case TMetaOp::Rectangle:
    case TMetaOp::RoundRect:
    case TMetaOp::Ellipse:
    case TMetaOp::Arc:
    case TMetaOp::Pie:
    case TMetaOp::Chord:
    case TMetaOp::ArcTo:
    case TMetaOp::PolyBezier:
    case TMetaOp::PolyBezierTo:
    case TMetaOp::Text:
    case TMetaOp::CloseFigure:
        return true;
    default:
        return false;
    }
}

void TWmfWriter::Put(char* record) {
    if (!record)
        throw EOutOfResources("Out of memory while writing a metafile");
    uint32_t size = U_wmr_size(reinterpret_cast<const U_METARECORD*>(record));
    FOut.insert(FOut.end(), record, record + size);
    FLargest = std::max(FLargest, size / 2);
    std::free(record);
}

// Objects go into the lowest free slot of the table, as players expect.
int TWmfWriter::NewSlot() {
    for (size_t i = 0; i < FSlots.size(); ++i)
        if (!FSlots[i]) {
            FSlots[i] = true;
            return static_cast<int>(i);
        }
    FSlots.push_back(true);
    FPeak = std::max(FPeak, FSlots.size());
    return static_cast<int>(FSlots.size() - 1);
}

void TWmfWriter::Select(int& current, int created) {
    Put(U_WMRSELECTOBJECT_set(static_cast<uint16_t>(created)));
    if (current >= 0) {
        Put(U_WMRDELETEOBJECT_set(static_cast<uint16_t>(current)));
        FSlots[current] = false;
    }
    current = created;
}

void TWmfWriter::WritePen(const TGdiPen& pen) {
    uint32_t kind = pen.Kind();
    uint32_t style = kind == PS_ALTERNATE ? PS_DOT : kind == PS_USERSTYLE ? PS_SOLID : kind;
    if (pen.Color == clNone)
        style = PS_NULL;
    style |= pen.Style & (PS_ENDCAP_MASK | PS_JOIN_MASK);
    int slot = NewSlot();
    Put(U_WMRCREATEPENINDIRECT_set(U_PEN_set(static_cast<uint16_t>(style),
                                             static_cast<uint16_t>(std::clamp(pen.Width, 0, 32767)),
                                             Ref(pen.Color))));
    Select(FPen, slot);
}

void TWmfWriter::WriteBrush(const TGdiBrush& brush) {
    int slot = NewSlot();
    if (brush.Style == BS_PATTERN && brush.Pattern) {
        TMetaImage tile = PatternToImage(*brush.Pattern);
        TDibData dib = brush.Pattern->Monochrome ? MaskToDib(tile) : ImageToDib(tile, false);
        Put(U_WMRDIBCREATEPATTERNBRUSH_set(
            U_BS_DIBPATTERNPT, U_DIB_RGB_COLORS, reinterpret_cast<const U_BITMAPINFO*>(dib.Info.data()),
            static_cast<uint32_t>(dib.Bits.size()), reinterpret_cast<const char*>(dib.Bits.data()), nullptr));
    } else {
        uint16_t style = brush.Style == BS_NULL      ? U_BS_NULL
                         : brush.Style == BS_HATCHED ? U_BS_HATCHED
                                                     : U_BS_SOLID;
        Put(U_WMRCREATEBRUSHINDIRECT_set(
            U_WLOGBRUSH_set(style, Ref(brush.Color), static_cast<uint16_t>(brush.Hatch))));
    }
    Select(FBrush, slot);
}

void TWmfWriter::WriteFont(const TLogFont& f) {
    std::string face = Utf8ToAnsi(f.FaceName).substr(0, 31);
    U_FONT* font =
        U_FONT_set(Clamp16(f.Height), Clamp16(f.Width), Clamp16(f.Escapement), Clamp16(f.Orientation),
                   Clamp16(f.Weight), f.Italic, f.Underline, f.StrikeOut, f.CharSet, f.OutPrecision,
                   f.ClipPrecision, f.Quality, f.PitchAndFamily, face.data());
    if (!font)
        throw EOutOfResources("Out of memory while writing a metafile");
    int slot = NewSlot();
    char* record = U_WMRCREATEFONTINDIRECT_set(font);
    std::free(font);
    Put(record);
    Select(FFont, slot);
}

// A clip region becomes its bounding rectangle less the rectangles of what it leaves out. Going back
// to a wider clip needs the state saved at the start, which also resets the selected objects.
void TWmfWriter::WriteClip() {
    Put(U_WMRRESTOREDC_set(-1));
    Put(U_WMRSAVEDC_set());
    for (int* current : {&FPen, &FBrush, &FFont})
        if (*current >= 0) {
            Put(U_WMRDELETEOBJECT_set(static_cast<uint16_t>(*current)));
            FSlots[*current] = false;
            *current = -1;
        }
    FDone = TState();
    if (FWantClip) {
        TRect b = FWantClip->Bounds();
        Put(U_WMRINTERSECTCLIPRECT_set(R16(b)));
        TRegion outside;
        outside.Combine(TRegion(b), *FWantClip, RGN_DIFF);
        for (const TRect& r : outside.Rects())
            Put(U_WMREXCLUDECLIPRECT_set(R16(r)));
    }
    FDoneClip = FWantClip;
}

void TWmfWriter::Flush(bool needPos) {
    if (FDoneClip != FWantClip)
        WriteClip();
    if (FWant.Pen && FDone.Pen != FWant.Pen) {
        WritePen(*FWant.Pen);
        FDone.Pen = FWant.Pen;
    }
    if (FWant.Brush && FDone.Brush != FWant.Brush) {
        WriteBrush(*FWant.Brush);
        FDone.Brush = FWant.Brush;
    }
    if (FWant.Font && FDone.Font != FWant.Font) {
        WriteFont(FWant.Font->LogFont);
        FDone.Font = FWant.Font;
    }
    auto value = [this](std::optional<int> TState::*field, auto make) {
        if ((FWant.*field) && FDone.*field != FWant.*field) {
            Put(make(*(FWant.*field)));
            FDone.*field = FWant.*field;
        }
    };
    value(&TState::BkColor, [](int v) { return U_WMRSETBKCOLOR_set(Ref(v)); });
    value(&TState::BkMode, [](int v) { return U_WMRSETBKMODE_set(static_cast<uint16_t>(v)); });
    value(&TState::TextColor, [](int v) { return U_WMRSETTEXTCOLOR_set(Ref(v)); });
    value(&TState::TextAlign, [](int v) { return U_WMRSETTEXTALIGN_set(static_cast<uint16_t>(v)); });
    value(&TState::Rop2, [](int v) { return U_WMRSETROP2_set(static_cast<uint16_t>(v)); });
    value(&TState::PolyFillMode, [](int v) { return U_WMRSETPOLYFILLMODE_set(static_cast<uint16_t>(v)); });
    value(&TState::StretchMode, [](int v) { return U_WMRSETSTRETCHBLTMODE_set(static_cast<uint16_t>(v)); });
    value(&TState::CharExtra, [](int v) { return U_WMRSETTEXTCHAREXTRA_set(static_cast<uint16_t>(v)); });
    if (needPos && FWant.Pos && FDone.Pos != FWant.Pos) {
        Put(U_WMRMOVETO_set(P16(*FWant.Pos)));
        FDone.Pos = FWant.Pos;
    }
}

void TWmfWriter::Polyline(const std::vector<TPoint>& points) {
    // A record holds at most 32767 points; longer lines go in pieces that share their ends.
    const size_t chunk = 32000;
    for (size_t start = 0; start + 1 < points.size(); start += chunk) {
        size_t end = std::min(points.size(), start + chunk + 1);
        std::vector<U_POINT16> p;
        for (size_t i = start; i < end; ++i)
            p.push_back(P16(points[i]));
        Put(U_WMRPOLYLINE_set(static_cast<uint16_t>(p.size()), p.data()));
    }
}

void TWmfWriter::PolyPolygon(const std::vector<TPoint>& points, const std::vector<int>& counts) {
    // A record counts its polygons and their points in 16 bits; more go in further records.
    size_t at = 0, k = 0;
    while (k < counts.size()) {
        std::vector<U_POINT16> p;
        std::vector<uint16_t> n;
        while (k < counts.size() && n.size() < 32767) {
            const int count = std::clamp(counts[k], 0, 32767);
            for (int i = 0; i < count && at + i < points.size(); ++i)
                p.push_back(P16(points[at + i]));
            n.push_back(static_cast<uint16_t>(count));
            at += static_cast<size_t>(std::max(counts[k], 0));
            ++k;
        }
        Put(U_WMRPOLYPOLYGON_set(static_cast<uint16_t>(n.size()), n.data(), p.data()));
    }
}

void TWmfWriter::DrawPath(TMetaOp op) {
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
    if (FShadow->GetPath(points, types) < 0)
        return;
    FShadow->AbortPath();
    std::vector<TPoint> closedPts, openPts, allPts;
    std::vector<int> closedCounts, openCounts, allCounts;
    for (size_t i = 0; i < points.size();) {
        size_t end = i + 1;
        while (end < points.size() && (types[end] & ~PT_CLOSEFIGURE) != PT_MOVETO)
            ++end;
        const bool closed = (types[end - 1] & PT_CLOSEFIGURE) != 0;
        if (end - i >= 2) {
            auto& pts = closed ? closedPts : openPts;
            pts.insert(pts.end(), points.begin() + i, points.begin() + end);
            (closed ? closedCounts : openCounts).push_back(static_cast<int>(end - i));
            allPts.insert(allPts.end(), points.begin() + i, points.begin() + end);
            allCounts.push_back(static_cast<int>(end - i));
        }
        i = end;
    }
    if (allCounts.empty())
        return;
    const bool fill = op != TMetaOp::StrokePath, stroke = op != TMetaOp::FillPath;
    const TState keep = FWant;
    if (fill) {
        if (stroke && openCounts.empty()) {
            Flush();
            PolyPolygon(allPts, allCounts);
            return;
        }
        // Every figure fills as if closed, but open ones are stroked open.
        FWant.Pen = GetStockPen(NULL_PEN);
        Flush();
        PolyPolygon(allPts, allCounts);
        FWant.Pen = keep.Pen;
        if (!stroke)
            return;
    }
    if (!closedCounts.empty()) {
        FWant.Brush = GetStockBrush(NULL_BRUSH);
        Flush();
        PolyPolygon(closedPts, closedCounts);
        FWant.Brush = keep.Brush;
    }
    Flush();
    size_t at = 0;
    for (int n : openCounts) {
        Polyline(std::vector<TPoint>(openPts.begin() + at, openPts.begin() + at + n));
        at += static_cast<size_t>(n);
    }
}

void TWmfWriter::ArcTo(const TMetaRecord& r) {
    const TPoint pos = FWant.Pos.value_or(TPoint());
    FShadow->MoveToEx(pos.X, pos.Y);
    FShadow->BeginPath();
    PlayRecord(r, FShadowTarget);
    FShadow->EndPath();
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
    FShadow->GetPath(points, types);
    FShadow->AbortPath();
    Flush();
    Polyline(points);
    FWant.Pos = FShadow->GetCurrentPosition();
}

// A solid rectangle: right and bottom are outside.
void TWmfWriter::Fill(const TRect& r, TColor color) {
    TState keep = FWant;
    auto brush = std::make_shared<TGdiBrush>();
    brush->Color = color;
    FWant.Brush = brush;
    Flush();
    Put(U_WMRPATBLT_set(P16(r.Left, r.Top), P16(r.Width(), r.Height()), PATCOPY));
    FWant = keep;
}

void TWmfWriter::Text(const TMetaRecord& r) {
    std::string bytes = Utf8ToAnsi(r.Text).substr(0, 32767);
    uint16_t options = r.HasRect ? static_cast<uint16_t>(r.Value & (ETO_OPAQUE | ETO_CLIPPED)) : 0;
    if (bytes.empty() && !(options & ETO_OPAQUE))
        return;
    std::vector<int> advances =
        CharAdvances(FWant.Font ? FWant.Font->LogFont : TLogFont(), r.Text, FWant.CharExtra.value_or(0));
    std::vector<int16_t> dx;
    for (size_t i = 0; i < bytes.size(); ++i)
        dx.push_back(Clamp16(i < advances.size() ? advances[i] : 0));
    U_RECT16 rect = r.HasRect ? R16(r.Rect) : U_RECT16{0, 0, 0, 0};
    char* record = U_WMREXTTEXTOUT_set(P16(r.Points[0]), static_cast<int16_t>(bytes.size()), options,
                                       bytes.data(), dx.data(), rect);
    if (record && options) {
        // The rectangle of this record is a plain RECT (left, top, right, bottom); the library
        // stores it last corner first, which other readers take as an empty rectangle.
        int16_t box[4] = {rect.left, rect.top, rect.right, rect.bottom};
        std::memcpy(record + 14, box, sizeof box);
    }
    Put(record);
}

void TWmfWriter::StretchDib(const TRect& dst, const TMetaImage& img, uint32_t rop, bool mask) {
    TDibData dib = mask ? MaskToDib(img) : ImageToDib(img, false);
    Put(U_WMRSTRETCHDIB_set(
        P16(dst.Left, dst.Top), P16(dst.Width(), dst.Height()), P16(0, 0), P16(img.Width, img.Height),
        U_DIB_RGB_COLORS, rop, reinterpret_cast<const U_BITMAPINFO*>(dib.Info.data()),
        static_cast<uint32_t>(dib.Bits.size()), reinterpret_cast<const char*>(dib.Bits.data())));
}

void TWmfWriter::Image(const TMetaRecord& r) {
    if (!r.Image || r.Image->Width <= 0 || r.Image->Height <= 0)
        return;
    const TMetaImage& img = *r.Image;
    if (r.Op == TMetaOp::StretchImage) {
        StretchDib(r.Rect, img, static_cast<uint32_t>(r.Value), false);
        return;
    }
    // Transparent and blended pictures are drawn with a mask: invert with the picture, clear what it
    // covers, invert again. Blending keeps the pixels at least half opaque.
    TMetaImage colors = img, cover = img;
    bool any = false;
    for (size_t i = 0; i < img.Pixels.size(); ++i) {
        uint32_t p = img.Pixels[i];
        bool opaque;
        if (r.Op == TMetaOp::TransparentImage) {
            opaque = (p & 0x00FFFFFF) != ColorToPixel(ColorToRGB(r.Value));
        } else {
            uint32_t a = (r.Blend.AlphaFormat & AC_SRC_ALPHA) ? (p >> 24) : 255;
            opaque = a * r.Blend.SourceConstantAlpha >= 128 * 255;
            if (opaque && (r.Blend.AlphaFormat & AC_SRC_ALPHA) && a && a < 255) {
                uint32_t c = 0;
                for (int k = 0; k < 24; k += 8)
                    c |= std::min<uint32_t>(255, ((p >> k) & 0xFF) * 255 / a) << k;
                p = c;
            }
        }
        colors.Pixels[i] = opaque ? (p & 0x00FFFFFF) : 0;
        cover.Pixels[i] = opaque ? 0 : 0x00FFFFFF;
        any |= opaque;
    }
    if (!any)
        return;
    StretchDib(r.Rect, colors, SRCINVERT, false);
    StretchDib(r.Rect, cover, SRCAND, true);
    StretchDib(r.Rect, colors, SRCINVERT, false);
}

std::vector<uint8_t> TWmfWriter::Write(const TMetafileContent& content) {
    const int w = std::clamp(content.Width, 1, 32767), h = std::clamp(content.Height, 1, 32767);
    U_PAIRF size{static_cast<float>(w / 96.0), static_cast<float>(h / 96.0)};
    char* header = U_WMRHEADER_set(&size, 96);
    if (!header)
        throw EOutOfResources("Out of memory while writing a metafile");
    FOut.assign(header, header + kPlaceableSize + kHeaderSize);
    std::free(header);

    Put(U_WMRSETMAPMODE_set(U_MM_ANISOTROPIC));
    Put(U_WMRSETWINDOWORG_set(P16(0, 0)));
    Put(U_WMRSETWINDOWEXT_set(P16(w, h)));
    // The state every clip change returns to.
    Put(U_WMRSAVEDC_set());

    FFrame = std::make_unique<TFrameSurface>(content.Width, content.Height);
    FShadow = std::make_unique<TDeviceContext>(FFrame.get());
    FShadowTarget = TPlayTarget{FShadow.get(), TRect(0, 0, FFrame->Width(), FFrame->Height()),
                                FFrame->Width(), FFrame->Height(), nullptr};

    for (const TMetaRecord& r : content.Records) {
        const TRect& b = r.Rect;
        TPoint p0 = r.Points.empty() ? TPoint() : r.Points[0];
        TPoint p1 = r.Points.size() > 1 ? r.Points[1] : TPoint();
        if (IsStateOp(r.Op))
            PlayRecord(r, FShadowTarget);
        if (FShadow->InPathBracket() && BuildsPath(r.Op)) {
            PlayRecord(r, FShadowTarget);
            FWant.Pos = FShadow->GetCurrentPosition();
            continue;
        }
        // Without a direction of its own, the format draws arcs counter-clockwise only.
        if (FArcDirection == AD_CLOCKWISE &&
            (r.Op == TMetaOp::Arc || r.Op == TMetaOp::Pie || r.Op == TMetaOp::Chord))
            std::swap(p0, p1);
        switch (r.Op) {
        case TMetaOp::SelectPen:
            FWant.Pen = r.Pen;
            break;
        case TMetaOp::SelectBrush:
            FWant.Brush = r.Brush;
            break;
        case TMetaOp::SelectFont:
            FWant.Font = r.Font;
            break;
        case TMetaOp::SetBkColor:
            FWant.BkColor = r.Value;
            break;
        case TMetaOp::SetBkMode:
            FWant.BkMode = r.Value;
            break;
        case TMetaOp::SetTextColor:
            FWant.TextColor = r.Value;
            break;
        case TMetaOp::SetTextAlign:
            FWant.TextAlign = r.Value;
            break;
        case TMetaOp::SetROP2:
            FWant.Rop2 = r.Value;
            break;
        case TMetaOp::SetPolyFillMode:
            FWant.PolyFillMode = r.Value;
            break;
        case TMetaOp::SetStretchBltMode:
            FWant.StretchMode = r.Value;
            break;
        case TMetaOp::SetCharExtra:
            FWant.CharExtra = r.Value;
            break;
        case TMetaOp::SetBrushOrg:
            break; // not in this format
        case TMetaOp::SelectClip:
            FWantClip = r.Clip;
            break;
        case TMetaOp::MoveTo:
            FWant.Pos = p0;
            break;
        case TMetaOp::LineTo:
            Flush(true);
            Put(U_WMRLINETO_set(P16(p0)));
            FWant.Pos = FDone.Pos = p0;
            break;
        case TMetaOp::Polyline:
            Flush();
            Polyline(r.Points);
            break;
        case TMetaOp::PolylineTo:
        case TMetaOp::PolyBezierTo: {
            Flush();
            std::vector<TPoint> pts{FWant.Pos.value_or(TPoint())};
            pts.insert(pts.end(), r.Points.begin(), r.Points.end());
            Polyline(r.Op == TMetaOp::PolyBezierTo ? FlattenBezier(pts) : pts);
            FWant.Pos = r.Points.back();
            break;
        }
        case TMetaOp::PolyBezier:
            Flush();
            Polyline(FlattenBezier(r.Points));
            break;
        case TMetaOp::PolyPolyline: {
            Flush();
            size_t at = 0;
            for (int n : r.Counts) {
                Polyline(std::vector<TPoint>(r.Points.begin() + at, r.Points.begin() + at + n));
                at += n;
            }
            break;
        }
        case TMetaOp::Polygon: {
            Flush();
            std::vector<U_POINT16> p;
            for (size_t i = 0; i < r.Points.size() && i < 32767; ++i)
                p.push_back(P16(r.Points[i]));
            Put(U_WMRPOLYGON_set(static_cast<uint16_t>(p.size()), p.data()));
            break;
        }
        case TMetaOp::PolyPolygon:
            Flush();
            PolyPolygon(r.Points, r.Counts);
            break;
        case TMetaOp::Rectangle:
            Flush();
            Put(U_WMRRECTANGLE_set(R16(b)));
            break;
        case TMetaOp::RoundRect:
            Flush();
            Put(U_WMRROUNDRECT_set(Clamp16(p0.X), Clamp16(p0.Y), R16(b)));
            break;
        case TMetaOp::Ellipse:
            Flush();
            Put(U_WMRELLIPSE_set(R16(b)));
            break;
        case TMetaOp::Arc:
            Flush();
            Put(U_WMRARC_set(P16(p0), P16(p1), R16(b)));
            break;
        case TMetaOp::Pie:
            Flush();
            Put(U_WMRPIE_set(P16(p0), P16(p1), R16(b)));
            break;
        case TMetaOp::Chord:
            Flush();
            Put(U_WMRCHORD_set(P16(p0), P16(p1), R16(b)));
            break;
        case TMetaOp::PatBlt:
            Flush();
            Put(U_WMRPATBLT_set(P16(b.Left, b.Top), P16(b.Width(), b.Height()),
                                static_cast<uint32_t>(r.Value)));
            break;
        case TMetaOp::SetPixel:
            Flush();
            Put(U_WMRSETPIXEL_set(Ref(r.Value), P16(p0)));
            break;
        case TMetaOp::Text:
            Flush();
            Text(r);
            break;
        case TMetaOp::StretchImage:
        case TMetaOp::TransparentImage:
        case TMetaOp::AlphaImage:
            Flush();
            Image(r);
            break;
        case TMetaOp::GradientFill:
            for (const TGradientRect& g : r.Gradients) {
                if (g.UpperLeft >= r.Vertices.size() || g.LowerRight >= r.Vertices.size())
                    continue;
                for (const TBand& band : GradientBands(r.Vertices[g.UpperLeft], r.Vertices[g.LowerRight],
                                                       r.Value == GRADIENT_FILL_RECT_H))
                    Fill(band.Rect, band.Color);
            }
            break;
        case TMetaOp::SetArcDirection:
            FArcDirection = r.Value;
            break;
        case TMetaOp::ArcTo:
            ArcTo(r);
            break;
        case TMetaOp::BeginPath:
        case TMetaOp::EndPath:
        case TMetaOp::AbortPath:
        case TMetaOp::CloseFigure:
        case TMetaOp::WidenPath:
        case TMetaOp::FlattenPath:
            PlayRecord(r, FShadowTarget);
            break;
        case TMetaOp::StrokePath:
        case TMetaOp::FillPath:
        case TMetaOp::StrokeAndFillPath:
            DrawPath(r.Op);
            break;
        case TMetaOp::SelectClipPath: {
            PlayRecord(r, FShadowTarget);
            TRegion clip;
            FWantClip =
                FShadow->GetClipRgn(clip) ? std::make_shared<const TRegion>(std::move(clip)) : nullptr;
            break;
        }
        }
        // A path started later goes on from where the drawing left the position.
        if (FWant.Pos && !FShadow->InPathBracket() && FShadow->GetCurrentPosition() != *FWant.Pos)
            FShadow->MoveToEx(FWant.Pos->X, FWant.Pos->Y);
    }
    Put(U_WMREOF_set());

    // The placeable header's box is the frame at 96 units per inch; its checksum covers its first ten
    // words. The standard header counts the file in words, its objects and its largest record.
    int16_t* words = reinterpret_cast<int16_t*>(FOut.data());
    words[3] = 0;
    words[4] = 0;
    words[5] = static_cast<int16_t>(w);
    words[6] = static_cast<int16_t>(h);
    words[7] = 96;
    words[10] = U_16_checksum(words, 10);
    uint8_t* head = FOut.data() + kPlaceableSize;
    uint32_t fileWords = static_cast<uint32_t>((FOut.size() - kPlaceableSize) / 2);
    std::memcpy(head + 6, &fileWords, 4);
    uint16_t objects = static_cast<uint16_t>(std::max<size_t>(FPeak, 1));
    std::memcpy(head + 10, &objects, 2);
    std::memcpy(head + 12, &FLargest, 4);
    return std::move(FOut);
}

} // namespace

std::vector<uint8_t> WriteWmf(const TMetafileContent& content) {
    return TWmfWriter().Write(content);
}

} // namespace plat
