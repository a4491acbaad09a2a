// Reads an enhanced metafile into a record list by replaying its records into a recording context.
// The file's own mapping (map mode, window and viewport, the scale and offset of a world transform)
// is folded into one mapping of the recorder, so what comes out is in frame pixels like a recording.
// Every offset and count is checked against its record before it is used.
#include <uemf.h>

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "platform/gfx/MetafileFormat.h"
#include "platform/gfx/MetafileRecorder.h"

namespace plat {

namespace {

using namespace metafile;

// What a saved state costs, counted in region rectangles, and how much the saved states may hold at once.
constexpr int64_t kSaveCost = 16;
constexpr int64_t kMaxSaveCost = int64_t(1) << 22;

constexpr int kMaxExtent = 65535;     // frames larger than this are taken as lies
constexpr size_t kMaxSpans = 1 << 22; // bounds the work a hostile clip region may ask for
// All regions of a file together: a record of a few bytes can name a region over every row around the
// frame, and repeating the record must not repeat that work without end.
constexpr size_t kMaxFileSpans = 1 << 23;

struct TObject {
    HPEN Pen;
    HBRUSH Brush;
    HFONT Font;
};

class TEmfReader {
public:
    TEmfReader(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
    TMetafileContent Read();

private:
    struct TMapping {
        int Mode = MM_TEXT;
        double WOrgX = 0, WOrgY = 0, WExtX = 1, WExtY = 1;
        double VOrgX = 0, VOrgY = 0, VExtX = 1, VExtY = 1;
        double M11 = 1, M22 = 1, Dx = 0, Dy = 0; // world transform, scale and offset only
    };

    void Record(uint32_t type, const TRecordReader& r);
    void SaveDC();
    void ApplyMapping();
    // Coordinates from the file are kept where an origin plus an extent still fits an int: a damaged
    // file's 0x4B4B4B4B would otherwise overflow the first sum that places a rectangle.
    static int Coord(int32_t v) { return std::clamp<int32_t>(v, -kCoordLimit, kCoordLimit); }
    TPoint Pt(const TRecordReader& r, size_t at) const {
        return TPoint(Coord(r.I32(at)), Coord(r.I32(at + 4)));
    }
    TRect Box(const TRecordReader& r, size_t at) const {
        return TRect(Coord(r.I32(at)), Coord(r.I32(at + 4)), Coord(r.I32(at + 8)), Coord(r.I32(at + 12)));
    }
    static constexpr int32_t kCoordLimit = 1 << 28;
    std::vector<TPoint> Points(const TRecordReader& r, size_t at, uint32_t count, bool small) const;
    TRegion Region(const TRecordReader& r, size_t at, size_t size);
    TMetaImage Bitmap(const TRecordReader& r, size_t offBmi, size_t cbBmi, size_t offBits, size_t cbBits);
    void Store(uint32_t index, TObject object);
    void Select(uint32_t index);
    void Delete(uint32_t index);
    void Poly(uint32_t type, const TRecordReader& r);
    void Blit(uint32_t type, const TRecordReader& r);
    void Text(uint32_t type, const TRecordReader& r);

    const uint8_t* FData;
    size_t FSize;
    std::unique_ptr<TMetafileRecorder> FRec;
    int FWidth = 0, FHeight = 0;
    double FDevPerMmX = 96 / 25.4, FDevPerMmY = 96 / 25.4; // reference device pixels per millimetre
    double FDevOrgX = 0, FDevOrgY = 0, FKx = 1, FKy = 1;   // reference device to frame pixels
    TMapping FMap;
    std::vector<TMapping> FMapStack;
    std::vector<TObject> FObjects;
    int64_t FBitmapPixels = 0;       // of every bitmap decoded so far
    std::vector<int64_t> FSaveCosts; // per saved state
    int64_t FSaveCost = 0;           // of the states saved now
    size_t FSpans = 0;               // of every region read so far
};

void TEmfReader::ApplyMapping() {
    const TMapping& m = FMap;
    double sx = 1, sy = 1;
    switch (m.Mode) {
    case 2:
        sx = FDevPerMmX * 0.1, sy = -FDevPerMmY * 0.1;
        break; // tenths of a millimetre
    case 3:
        sx = FDevPerMmX * 0.01, sy = -FDevPerMmY * 0.01;
        break; // hundredths of a millimetre
    case 4:
        sx = FDevPerMmX * 0.254, sy = -FDevPerMmY * 0.254;
        break; // hundredths of an inch
    case 5:
        sx = FDevPerMmX * 0.0254, sy = -FDevPerMmY * 0.0254;
        break; // thousandths of an inch
    case 6:
        sx = FDevPerMmX * 25.4 / 1440, sy = -FDevPerMmY * 25.4 / 1440;
        break; // twips
    case 7:
    case 8:
        sx = m.VExtX / m.WExtX;
        sy = m.VExtY / m.WExtY;
        if (m.Mode == 7) {
            // Isotropic: the smaller scale serves both axes.
            double s = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
        break;
    default:
        break;
    }
    // frame = ((x * M11 + Dx - WOrg) * s + VOrg - DevOrg) * k
    const double ax = m.M11 * sx * FKx, ay = m.M22 * sy * FKy;
    const double bx = ((m.Dx - m.WOrgX) * sx + m.VOrgX - FDevOrgX) * FKx;
    const double by = ((m.Dy - m.WOrgY) * sy + m.VOrgY - FDevOrgY) * FKy;
    auto ext = [](double a) {
        // Logical extent chosen so the integer viewport extent keeps the scale's precision.
        double w = 65536;
        if (std::abs(a) > 0 && std::abs(a) * w < 4096)
            w = std::min(1073741824.0, std::round(4096 / std::abs(a)));
        if (std::abs(a) * w > 1073741824.0)
            w = std::max(1.0, std::round(1073741824.0 / std::abs(a)));
        long v = std::lround(a * w);
        if (v == 0)
            v = a < 0 ? -1 : 1;
        return std::pair<int, int>(static_cast<int>(w), static_cast<int>(v));
    };
    auto [wx, vx] = ext(ax);
    auto [wy, vy] = ext(ay);
    FRec->SetMapMode(MM_ANISOTROPIC);
    FRec->SetWindowOrgEx(0, 0);
    FRec->SetWindowExtEx(wx, wy);
    FRec->SetViewportExtEx(vx, vy);
    FRec->SetViewportOrgEx(static_cast<int>(std::lround(std::clamp(bx, -1e9, 1e9))),
                           static_cast<int>(std::lround(std::clamp(by, -1e9, 1e9))));
}

std::vector<TPoint> TEmfReader::Points(const TRecordReader& r, size_t at, uint32_t count, bool small) const {
    const size_t item = small ? 4 : 8;
    size_t n = r.Count(at, count, item);
    std::vector<TPoint> out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = small ? TPoint(r.I16(at + i * 4), r.I16(at + i * 4 + 2))
                       : TPoint(Coord(r.I32(at + i * 8)), Coord(r.I32(at + i * 8 + 4)));
    return out;
}

// Region data in reference-device pixels, as frame pixels, cut to a margin around the frame.
TRegion TEmfReader::Region(const TRecordReader& r, size_t at, size_t size) {
    TRecordReader rd(r.Data() + at, std::min(size, r.Size() - std::min(at, r.Size())));
    const uint32_t headerSize = rd.U32(0);
    const uint32_t n = rd.U32(8);
    const size_t first = std::max<size_t>(headerSize, 32);
    rd.Count(first, n, 16);
    const TRect limit(-FWidth, -FHeight, 2 * FWidth, 2 * FHeight);
    std::vector<TRegion::TSpan> spans;
    for (uint32_t i = 0; i < n; ++i) {
        size_t o = first + size_t(i) * 16;
        auto fx = [&](int32_t v) { return static_cast<int>(std::lround((v - FDevOrgX) * FKx)); };
        auto fy = [&](int32_t v) { return static_cast<int>(std::lround((v - FDevOrgY) * FKy)); };
        TRect q(fx(rd.I32(o)), fy(rd.I32(o + 4)), fx(rd.I32(o + 8)), fy(rd.I32(o + 12)));
        TRect c;
        if (!IntersectRect(c, q, limit))
            continue;
        if (spans.size() + c.Height() > kMaxSpans)
            Invalid("a clip region is too complex");
        FSpans += static_cast<size_t>(c.Height());
        if (FSpans > kMaxFileSpans)
            Invalid("the regions are too complex");
        for (int y = c.Top; y < c.Bottom; ++y)
            spans.push_back({y, c.Left, c.Right});
    }
    return TRegion::FromSpans(std::move(spans));
}

TMetaImage TEmfReader::Bitmap(const TRecordReader& r, size_t offBmi, size_t cbBmi, size_t offBits,
                              size_t cbBits) {
    r.Need(offBmi, cbBmi);
    r.Need(offBits, cbBits);
    if (cbBmi < 12)
        Invalid("a bitmap has no header");
    TMetaImage image = DibToImage(r.Data() + offBmi, cbBmi, r.Data() + offBits, cbBits);
    // A compressed bitmap of a few bytes may stand for a large picture, and records may repeat it:
    // all of them together get the budget of one picture.
    FBitmapPixels += int64_t(image.Width) * image.Height;
    if (FBitmapPixels > TImageSurface::MaxPixels)
        Invalid("the bitmaps are too large");
    return image;
}

void TEmfReader::Store(uint32_t index, TObject object) {
    if (index == 0 || index >= 0x10000)
        Invalid("an object index is out of range");
    if (index >= FObjects.size())
        FObjects.resize(index + 1);
    FObjects[index] = std::move(object);
}

void TEmfReader::Select(uint32_t index) {
    if (index & 0x80000000u) {
        switch (index & 0x7FFFFFFF) {
        case 0:
            FRec->SelectBrush(GetStockBrush(WHITE_BRUSH));
            break;
        case 1:
            FRec->SelectBrush(GetStockBrush(LTGRAY_BRUSH));
            break;
        case 2:
            FRec->SelectBrush(GetStockBrush(GRAY_BRUSH));
            break;
        case 3:
            FRec->SelectBrush(GetStockBrush(DKGRAY_BRUSH));
            break;
        case 4:
            FRec->SelectBrush(GetStockBrush(BLACK_BRUSH));
            break;
        case 5:
            FRec->SelectBrush(GetStockBrush(NULL_BRUSH));
            break;
        case 6:
            FRec->SelectPen(GetStockPen(WHITE_PEN));
            break;
        case 7:
            FRec->SelectPen(GetStockPen(BLACK_PEN));
            break;
        case 8:
            FRec->SelectPen(GetStockPen(NULL_PEN));
            break;
        case 10:
        case 11:
        case 12:
        case 13:
        case 14:
        case 16:
            FRec->SelectFont(GetStockFont(SYSTEM_FONT));
            break;
        case 17:
            FRec->SelectFont(GetStockFont(DEFAULT_GUI_FONT));
            break;
        default:
            break;
        }
        return;
    }
    if (index >= FObjects.size())
        return; // a missing object selects nothing, as players do
    const TObject& o = FObjects[index];
    if (o.Pen)
        FRec->SelectPen(o.Pen);
    if (o.Brush)
        FRec->SelectBrush(o.Brush);
    if (o.Font)
        FRec->SelectFont(o.Font);
}

void TEmfReader::Delete(uint32_t index) {
    if (index < FObjects.size())
        FObjects[index] = TObject();
}

void TEmfReader::Poly(uint32_t type, const TRecordReader& r) {
    const bool small = type >= U_EMR_POLYBEZIER16;
    const uint32_t base = small ? type - U_EMR_POLYBEZIER16 + U_EMR_POLYBEZIER : type;
    std::vector<TPoint> pts;
    std::vector<int> counts;
    if (base == U_EMR_POLYPOLYLINE || base == U_EMR_POLYPOLYGON) {
        const uint32_t polys = r.U32(offsetof(U_EMRPOLYPOLYLINE, nPolys));
        const uint32_t total = r.U32(offsetof(U_EMRPOLYPOLYLINE, cptl));
        const size_t at = offsetof(U_EMRPOLYPOLYLINE, aPolyCounts);
        r.Count(at, polys, 4);
        uint64_t sum = 0;
        for (uint32_t i = 0; i < polys; ++i) {
            counts.push_back(static_cast<int>(std::min<uint32_t>(r.U32(at + i * 4), 0x7FFFFFFF)));
            sum += counts.back();
        }
        if (sum != total)
            Invalid("a poly-polygon's counts do not add up");
        pts = Points(r, at + size_t(polys) * 4, total, small);
    } else {
        pts = Points(r, offsetof(U_EMRPOLYLINE, aptl), r.U32(offsetof(U_EMRPOLYLINE, cptl)), small);
    }
    const int n = static_cast<int>(pts.size());
    switch (base) {
    case U_EMR_POLYBEZIER:
        FRec->PolyBezier(pts.data(), n);
        break;
    case U_EMR_POLYGON:
        FRec->Polygon(pts.data(), n);
        break;
    case U_EMR_POLYLINE:
        FRec->Polyline(pts.data(), n);
        break;
    case U_EMR_POLYBEZIERTO:
        FRec->PolyBezierTo(pts.data(), n);
        break;
    case U_EMR_POLYLINETO:
        FRec->PolylineTo(pts.data(), n);
        break;
    case U_EMR_POLYPOLYLINE:
        FRec->PolyPolyline(pts.data(), counts.data(), static_cast<int>(counts.size()));
        break;
    case U_EMR_POLYPOLYGON:
        FRec->PolyPolygon(pts.data(), counts.data(), static_cast<int>(counts.size()));
        break;
    default:
        break;
    }
}

void TEmfReader::Blit(uint32_t type, const TRecordReader& r) {
    TPoint dest, cdest, src, csrc;
    uint32_t rop = SRCCOPY, offBmi, cbBmi, offBits, cbBits;
    switch (type) {
    case U_EMR_BITBLT:
    case U_EMR_STRETCHBLT:
        dest = Pt(r, offsetof(U_EMRSTRETCHBLT, Dest));
        cdest = Pt(r, offsetof(U_EMRSTRETCHBLT, cDest));
        rop = r.U32(offsetof(U_EMRSTRETCHBLT, dwRop));
        src = Pt(r, offsetof(U_EMRSTRETCHBLT, Src));
        offBmi = r.U32(offsetof(U_EMRSTRETCHBLT, offBmiSrc));
        cbBmi = r.U32(offsetof(U_EMRSTRETCHBLT, cbBmiSrc));
        offBits = r.U32(offsetof(U_EMRSTRETCHBLT, offBitsSrc));
        cbBits = r.U32(offsetof(U_EMRSTRETCHBLT, cbBitsSrc));
        csrc = type == U_EMR_STRETCHBLT ? Pt(r, offsetof(U_EMRSTRETCHBLT, cSrc)) : cdest;
        break;
    case U_EMR_STRETCHDIBITS:
        dest = Pt(r, offsetof(U_EMRSTRETCHDIBITS, Dest));
        src = Pt(r, offsetof(U_EMRSTRETCHDIBITS, Src));
        csrc = Pt(r, offsetof(U_EMRSTRETCHDIBITS, cSrc));
        offBmi = r.U32(offsetof(U_EMRSTRETCHDIBITS, offBmiSrc));
        cbBmi = r.U32(offsetof(U_EMRSTRETCHDIBITS, cbBmiSrc));
        offBits = r.U32(offsetof(U_EMRSTRETCHDIBITS, offBitsSrc));
        cbBits = r.U32(offsetof(U_EMRSTRETCHDIBITS, cbBitsSrc));
        rop = r.U32(offsetof(U_EMRSTRETCHDIBITS, dwRop));
        cdest = Pt(r, offsetof(U_EMRSTRETCHDIBITS, cDest));
        break;
    case U_EMR_SETDIBITSTODEVICE:
        dest = Pt(r, offsetof(U_EMRSETDIBITSTODEVICE, Dest));
        src = Pt(r, offsetof(U_EMRSETDIBITSTODEVICE, Src));
        csrc = cdest = Pt(r, offsetof(U_EMRSETDIBITSTODEVICE, cSrc));
        offBmi = r.U32(offsetof(U_EMRSETDIBITSTODEVICE, offBmiSrc));
        cbBmi = r.U32(offsetof(U_EMRSETDIBITSTODEVICE, cbBmiSrc));
        offBits = r.U32(offsetof(U_EMRSETDIBITSTODEVICE, offBitsSrc));
        cbBits = r.U32(offsetof(U_EMRSETDIBITSTODEVICE, cbBitsSrc));
        break;
    default: // U_EMR_ALPHABLEND, U_EMR_TRANSPARENTBLT share one layout
        dest = Pt(r, offsetof(U_EMRALPHABLEND, Dest));
        cdest = Pt(r, offsetof(U_EMRALPHABLEND, cDest));
        rop = r.U32(offsetof(U_EMRALPHABLEND, Blend));
        src = Pt(r, offsetof(U_EMRALPHABLEND, Src));
        offBmi = r.U32(offsetof(U_EMRALPHABLEND, offBmiSrc));
        cbBmi = r.U32(offsetof(U_EMRALPHABLEND, cbBmiSrc));
        offBits = r.U32(offsetof(U_EMRALPHABLEND, offBitsSrc));
        cbBits = r.U32(offsetof(U_EMRALPHABLEND, cbBitsSrc));
        csrc = Pt(r, offsetof(U_EMRALPHABLEND, cSrc));
        break;
    }
    if (cbBmi == 0) {
        // No bitmap: a pattern operation.
        FRec->PatBlt(dest.X, dest.Y, cdest.X, cdest.Y, rop);
        return;
    }
    TMetaImage img = Bitmap(r, offBmi, cbBmi, offBits, cbBits);
    TImageSurface pixels(img.Width, img.Height);
    std::copy(img.Pixels.begin(), img.Pixels.end(), pixels.Pixels());
    TDeviceContext source(&pixels);
    if (type == U_EMR_ALPHABLEND) {
        TBlendFunction blend;
        blend.BlendOp = static_cast<uint8_t>(rop);
        blend.BlendFlags = static_cast<uint8_t>(rop >> 8);
        blend.SourceConstantAlpha = static_cast<uint8_t>(rop >> 16);
        blend.AlphaFormat = static_cast<uint8_t>(rop >> 24);
        FRec->AlphaBlend(dest.X, dest.Y, cdest.X, cdest.Y, &source, src.X, src.Y, csrc.X, csrc.Y, blend);
    } else if (type == U_EMR_TRANSPARENTBLT) {
        FRec->TransparentBlt(dest.X, dest.Y, cdest.X, cdest.Y, &source, src.X, src.Y, csrc.X, csrc.Y,
                             static_cast<TColor>(rop & 0x00FFFFFF));
    } else {
        FRec->StretchBlt(dest.X, dest.Y, cdest.X, cdest.Y, &source, src.X, src.Y, csrc.X, csrc.Y, rop);
    }
}

void TEmfReader::Text(uint32_t type, const TRecordReader& r) {
    const size_t t = offsetof(U_EMREXTTEXTOUTW, emrtext);
    const TPoint ref = Pt(r, t + offsetof(U_EMRTEXT, ptlReference));
    const uint32_t chars = r.U32(t + offsetof(U_EMRTEXT, nChars));
    const uint32_t offString = r.U32(t + offsetof(U_EMRTEXT, offString));
    const uint32_t options = r.U32(t + offsetof(U_EMRTEXT, fOptions));
    std::string text;
    if (type == U_EMR_EXTTEXTOUTW) {
        size_t n = r.Count(offString, chars, 2);
        std::vector<uint16_t> units(n);
        for (size_t i = 0; i < n; ++i)
            units[i] = r.U16(offString + i * 2);
        text = Utf16ToUtf8(units.data(), n);
    } else {
        size_t n = r.Count(offString, chars, 1);
        text = AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(r.Data() + offString), n));
    }
    TRect rect;
    const bool hasRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) != 0 && !(options & 0x100); // not ETO_NO_RECT
    if (hasRect)
        rect = Box(r, t + sizeof(U_EMRTEXT));
    FRec->ExtTextOut(ref.X, ref.Y, options & (ETO_OPAQUE | ETO_CLIPPED), hasRect ? &rect : nullptr, text);
}

void TEmfReader::SaveDC() {
    // Each saved state holds a copy of the clip region: a complex region saved over and over without
    // being restored would grow memory by its size every time.
    TRegion clip;
    FSaveCosts.push_back(kSaveCost +
                         (FRec->GetClipRgn(clip) ? static_cast<int64_t>(clip.Rects().size()) : 0));
    FSaveCost += FSaveCosts.back();
    if (FSaveCost > kMaxSaveCost)
        Invalid("too many saved states");
    FMapStack.push_back(FMap);
    FRec->SaveDC();
}

void TEmfReader::Record(uint32_t type, const TRecordReader& r) {
    switch (type) {
    case U_EMR_POLYBEZIER:
    case U_EMR_POLYGON:
    case U_EMR_POLYLINE:
    case U_EMR_POLYBEZIERTO:
    case U_EMR_POLYLINETO:
    case U_EMR_POLYPOLYLINE:
    case U_EMR_POLYPOLYGON:
    case U_EMR_POLYBEZIER16:
    case U_EMR_POLYGON16:
    case U_EMR_POLYLINE16:
    case U_EMR_POLYBEZIERTO16:
    case U_EMR_POLYLINETO16:
    case U_EMR_POLYPOLYLINE16:
    case U_EMR_POLYPOLYGON16:
        Poly(type, r);
        break;
    case U_EMR_SETWINDOWEXTEX:
    case U_EMR_SETVIEWPORTEXTEX: {
        int32_t cx = r.I32(8), cy = r.I32(12);
        if (cx == 0 || cy == 0)
            break;
        (type == U_EMR_SETWINDOWEXTEX ? FMap.WExtX : FMap.VExtX) = cx;
        (type == U_EMR_SETWINDOWEXTEX ? FMap.WExtY : FMap.VExtY) = cy;
        ApplyMapping();
        break;
    }
    case U_EMR_SETWINDOWORGEX:
    case U_EMR_SETVIEWPORTORGEX:
        (type == U_EMR_SETWINDOWORGEX ? FMap.WOrgX : FMap.VOrgX) = r.I32(8);
        (type == U_EMR_SETWINDOWORGEX ? FMap.WOrgY : FMap.VOrgY) = r.I32(12);
        ApplyMapping();
        break;
    case U_EMR_SCALEVIEWPORTEXTEX:
    case U_EMR_SCALEWINDOWEXTEX: {
        int32_t xn = r.I32(8), xd = r.I32(12), yn = r.I32(16), yd = r.I32(20);
        if (xn == 0 || xd == 0 || yn == 0 || yd == 0)
            break;
        double& ex = type == U_EMR_SCALEWINDOWEXTEX ? FMap.WExtX : FMap.VExtX;
        double& ey = type == U_EMR_SCALEWINDOWEXTEX ? FMap.WExtY : FMap.VExtY;
        ex = ex * xn / xd;
        ey = ey * yn / yd;
        ApplyMapping();
        break;
    }
    case U_EMR_SETMAPMODE: {
        uint32_t mode = r.U32(8);
        if (mode >= 1 && mode <= 8) {
            FMap.Mode = static_cast<int>(mode);
            ApplyMapping();
        }
        break;
    }
    case U_EMR_SETWORLDTRANSFORM:
    case U_EMR_MODIFYWORLDTRANSFORM: {
        // Only the scale and the offset are kept; rotation and shear are dropped.
        double m11 = r.F32(8), m22 = r.F32(20), dx = r.F32(24), dy = r.F32(28);
        if (!std::isfinite(m11) || !std::isfinite(m22) || !std::isfinite(dx) || !std::isfinite(dy))
            break;
        uint32_t mode = type == U_EMR_SETWORLDTRANSFORM ? 4 : r.U32(32);
        if (mode == 1) {
            FMap.M11 = FMap.M22 = 1;
            FMap.Dx = FMap.Dy = 0;
        } else if (mode == 2) { // the new transform applies first
            FMap.Dx += dx * FMap.M11;
            FMap.Dy += dy * FMap.M22;
            FMap.M11 *= m11;
            FMap.M22 *= m22;
        } else if (mode == 3) { // the new transform applies last
            FMap.Dx = FMap.Dx * m11 + dx;
            FMap.Dy = FMap.Dy * m22 + dy;
            FMap.M11 *= m11;
            FMap.M22 *= m22;
        } else if (mode == 4) {
            FMap.M11 = m11;
            FMap.M22 = m22;
            FMap.Dx = dx;
            FMap.Dy = dy;
        }
        if (FMap.M11 == 0 || FMap.M22 == 0) {
            FMap.M11 = FMap.M22 = 1;
        }
        ApplyMapping();
        break;
    }
    case U_EMR_SETBRUSHORGEX:
        FRec->SetBrushOrg(Pt(r, 8));
        break;
    case U_EMR_SETPIXELV: {
        TPoint p = Pt(r, 8);
        FRec->SetPixel(p.X, p.Y, static_cast<TColor>(r.U32(16) & 0x00FFFFFF));
        break;
    }
    case U_EMR_SETBKMODE:
        FRec->SetBkMode(static_cast<int>(r.U32(8)));
        break;
    case U_EMR_SETPOLYFILLMODE:
        FRec->SetPolyFillMode(static_cast<int>(r.U32(8)));
        break;
    case U_EMR_SETROP2:
        FRec->SetROP2(static_cast<int>(r.U32(8)));
        break;
    case U_EMR_SETSTRETCHBLTMODE:
        FRec->SetStretchBltMode(static_cast<int>(r.U32(8)));
        break;
    case U_EMR_SETTEXTALIGN:
        FRec->SetTextAlign(r.U32(8));
        break;
    case U_EMR_SETTEXTCOLOR:
        FRec->SetTextColor(static_cast<TColor>(r.U32(8) & 0x00FFFFFF));
        break;
    case U_EMR_SETBKCOLOR:
        FRec->SetBkColor(static_cast<TColor>(r.U32(8) & 0x00FFFFFF));
        break;
    case U_EMR_OFFSETCLIPRGN: {
        TPoint p = Pt(r, 8);
        FRec->OffsetClipRgn(p.X, p.Y);
        break;
    }
    case U_EMR_MOVETOEX: {
        TPoint p = Pt(r, 8);
        FRec->MoveToEx(p.X, p.Y);
        break;
    }
    case U_EMR_LINETO: {
        TPoint p = Pt(r, 8);
        FRec->LineTo(p.X, p.Y);
        break;
    }
    case U_EMR_EXCLUDECLIPRECT:
    case U_EMR_INTERSECTCLIPRECT: {
        TRect b = Box(r, 8);
        if (type == U_EMR_EXCLUDECLIPRECT)
            FRec->ExcludeClipRect(b.Left, b.Top, b.Right, b.Bottom);
        else
            FRec->IntersectClipRect(b.Left, b.Top, b.Right, b.Bottom);
        break;
    }
    case U_EMR_SAVEDC:
        SaveDC();
        break;
    case U_EMR_RESTOREDC: {
        int32_t level = r.I32(8);
        int n = static_cast<int>(FMapStack.size());
        int target = level < 0 ? n + level + 1 : level;
        if (target < 1 || target > n)
            break;
        FMap = FMapStack[target - 1];
        FMapStack.resize(target - 1);
        while (FSaveCosts.size() > FMapStack.size()) {
            FSaveCost -= FSaveCosts.back();
            FSaveCosts.pop_back();
        }
        FRec->RestoreDC(level);
        break;
    }
    case U_EMR_SELECTOBJECT:
        Select(r.U32(8));
        break;
    case U_EMR_DELETEOBJECT:
        Delete(r.U32(8));
        break;
    case U_EMR_CREATEPEN: {
        uint32_t style = r.U32(12);
        int width = r.I32(16);
        TColor color = static_cast<TColor>(r.U32(24) & 0x00FFFFFF);
        Store(r.U32(8), {(style & PS_TYPE_MASK) == PS_GEOMETRIC || width > 1
                             ? ExtCreatePen(style | PS_GEOMETRIC, width, TLogBrush{BS_SOLID, color, 0})
                             : CreatePen(style, width, color),
                         nullptr, nullptr});
        break;
    }
    case U_EMR_EXTCREATEPEN: {
        const size_t e = offsetof(U_EMREXTCREATEPEN, elp);
        uint32_t style = r.U32(e + offsetof(U_EXTLOGPEN, elpPenStyle));
        int width = static_cast<int>(std::min<uint32_t>(r.U32(e + offsetof(U_EXTLOGPEN, elpWidth)), 32767));
        TLogBrush lb{r.U32(e + offsetof(U_EXTLOGPEN, elpBrushStyle)),
                     static_cast<TColor>(r.U32(e + offsetof(U_EXTLOGPEN, elpColor)) & 0x00FFFFFF), 0};
        if (lb.lbStyle != BS_NULL)
            lb.lbStyle = BS_SOLID;
        uint32_t count = r.U32(e + offsetof(U_EXTLOGPEN, elpNumEntries));
        const size_t at = e + offsetof(U_EXTLOGPEN, elpStyleEntry);
        std::vector<int> dashes;
        if ((style & PS_STYLE_MASK) == PS_USERSTYLE) {
            size_t n = r.Count(at, count, 4);
            for (size_t i = 0; i < n && i < 16; ++i)
                dashes.push_back(static_cast<int>(std::min<uint32_t>(r.U32(at + i * 4), 32767)));
        }
        Store(r.U32(8), {ExtCreatePen(style, width, lb, dashes), nullptr, nullptr});
        break;
    }
    case U_EMR_CREATEBRUSHINDIRECT: {
        TLogBrush lb{r.U32(12), static_cast<TColor>(r.U32(16) & 0x00FFFFFF), r.U32(20)};
        if (lb.lbStyle != BS_NULL && lb.lbStyle != BS_HATCHED)
            lb.lbStyle = BS_SOLID;
        Store(r.U32(8), {nullptr, CreateBrushIndirect(lb), nullptr});
        break;
    }
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
    case U_EMR_CREATEMONOBRUSH: {
        TMetaImage tile = Bitmap(r, r.U32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, offBmi)),
                                 r.U32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, cbBmi)),
                                 r.U32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, offBits)),
                                 r.U32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, cbBits)));
        auto brush = std::make_shared<TGdiBrush>();
        brush->Style = BS_PATTERN;
        brush->Pattern = ImageToPattern(tile, type == U_EMR_CREATEMONOBRUSH);
        Store(r.U32(8), {nullptr, brush, nullptr});
        break;
    }
    case U_EMR_EXTCREATEFONTINDIRECTW: {
        const size_t f = offsetof(U_EMREXTCREATEFONTINDIRECTW, elfw);
        TLogFont lf;
        lf.Height = r.I32(f + offsetof(U_LOGFONT, lfHeight));
        lf.Width = r.I32(f + offsetof(U_LOGFONT, lfWidth));
        lf.Escapement = r.I32(f + offsetof(U_LOGFONT, lfEscapement));
        lf.Orientation = r.I32(f + offsetof(U_LOGFONT, lfOrientation));
        lf.Weight = r.I32(f + offsetof(U_LOGFONT, lfWeight));
        lf.Italic = r.U8(f + offsetof(U_LOGFONT, lfItalic)) != 0;
        lf.Underline = r.U8(f + offsetof(U_LOGFONT, lfUnderline)) != 0;
        lf.StrikeOut = r.U8(f + offsetof(U_LOGFONT, lfStrikeOut)) != 0;
        lf.CharSet = r.U8(f + offsetof(U_LOGFONT, lfCharSet));
        lf.OutPrecision = r.U8(f + offsetof(U_LOGFONT, lfOutPrecision));
        lf.ClipPrecision = r.U8(f + offsetof(U_LOGFONT, lfClipPrecision));
        lf.Quality = r.U8(f + offsetof(U_LOGFONT, lfQuality));
        lf.PitchAndFamily = r.U8(f + offsetof(U_LOGFONT, lfPitchAndFamily));
        const size_t face = f + offsetof(U_LOGFONT, lfFaceName);
        std::vector<uint16_t> name;
        for (size_t i = 0; i < U_LF_FACESIZE && r.Has(face + i * 2, 2); ++i) {
            uint16_t c = r.U16(face + i * 2);
            if (!c)
                break;
            name.push_back(c);
        }
        lf.FaceName = Utf16ToUtf8(name.data(), name.size());
        auto font = std::make_shared<TGdiFont>();
        font->LogFont = lf;
        Store(r.U32(8), {nullptr, nullptr, font});
        break;
    }
    case U_EMR_ELLIPSE:
    case U_EMR_RECTANGLE: {
        TRect b = Box(r, 8);
        if (type == U_EMR_RECTANGLE)
            FRec->Rectangle(b.Left, b.Top, b.Right, b.Bottom);
        else
            FRec->Ellipse(b.Left, b.Top, b.Right, b.Bottom);
        break;
    }
    case U_EMR_ROUNDRECT: {
        TRect b = Box(r, 8);
        FRec->RoundRect(b.Left, b.Top, b.Right, b.Bottom, r.I32(24), r.I32(28));
        break;
    }
    case U_EMR_ARC:
    case U_EMR_ARCTO:
    case U_EMR_CHORD:
    case U_EMR_PIE: {
        TRect b = Box(r, 8);
        TPoint s = Pt(r, 24), e = Pt(r, 32);
        if (type == U_EMR_ARC)
            FRec->Arc(b.Left, b.Top, b.Right, b.Bottom, s.X, s.Y, e.X, e.Y);
        else if (type == U_EMR_ARCTO)
            FRec->ArcTo(b.Left, b.Top, b.Right, b.Bottom, s.X, s.Y, e.X, e.Y);
        else if (type == U_EMR_CHORD)
            FRec->Chord(b.Left, b.Top, b.Right, b.Bottom, s.X, s.Y, e.X, e.Y);
        else
            FRec->Pie(b.Left, b.Top, b.Right, b.Bottom, s.X, s.Y, e.X, e.Y);
        break;
    }
    case U_EMR_SETARCDIRECTION:
        FRec->SetArcDirection(static_cast<int>(r.U32(8)));
        break;
    case U_EMR_BEGINPATH:
        FRec->BeginPath();
        break;
    case U_EMR_ENDPATH:
        FRec->EndPath();
        break;
    case U_EMR_CLOSEFIGURE:
        FRec->CloseFigure();
        break;
    case U_EMR_ABORTPATH:
        FRec->AbortPath();
        break;
    case U_EMR_FILLPATH:
        FRec->FillPath();
        break;
    case U_EMR_STROKEANDFILLPATH:
        FRec->StrokeAndFillPath();
        break;
    case U_EMR_STROKEPATH:
        FRec->StrokePath();
        break;
    case U_EMR_WIDENPATH:
        FRec->WidenPath();
        break;
    case U_EMR_FLATTENPATH:
        FRec->FlattenPath();
        break;
    case U_EMR_SELECTCLIPPATH:
        FRec->SelectClipPath(static_cast<int>(r.U32(8)));
        break;
    case U_EMR_EXTSELECTCLIPRGN: {
        uint32_t size = r.U32(8), mode = r.U32(12);
        if (mode < RGN_AND || mode > RGN_COPY)
            break;
        if (size == 0) {
            if (mode == RGN_COPY)
                FRec->SelectClipRgn(nullptr);
            break;
        }
        r.Need(16, size);
        TRegion rgn = Region(r, 16, size);
        FRec->ExtSelectClipRgn(&rgn, static_cast<int>(mode));
        break;
    }
    case U_EMR_FILLRGN:
    case U_EMR_PAINTRGN:
    case U_EMR_INVERTRGN: {
        // Regions are in device pixels: fill them through a mapping-free rectangle per band.
        const size_t at = type == U_EMR_FILLRGN ? 32 : 28;
        uint32_t size = r.U32(24);
        r.Need(at, size);
        TRegion rgn = Region(r, at, size);
        HBRUSH brush = FRec->CurrentBrush();
        if (type == U_EMR_FILLRGN) {
            uint32_t index = r.U32(28);
            if (index < FObjects.size() && FObjects[index].Brush)
                brush = FObjects[index].Brush;
        }
        FRec->SaveDC();
        FRec->SetMapMode(MM_TEXT);
        FRec->SetWindowOrgEx(0, 0);
        FRec->SetViewportOrgEx(0, 0);
        for (const TRect& q : rgn.Rects()) {
            if (type == U_EMR_INVERTRGN)
                FRec->InvertRect(q);
            else
                FRec->FillRect(q, brush);
        }
        FRec->RestoreDC(-1);
        break;
    }
    case U_EMR_BITBLT:
    case U_EMR_STRETCHBLT:
    case U_EMR_STRETCHDIBITS:
    case U_EMR_SETDIBITSTODEVICE:
    case U_EMR_ALPHABLEND:
    case U_EMR_TRANSPARENTBLT:
        Blit(type, r);
        break;
    case U_EMR_EXTTEXTOUTA:
    case U_EMR_EXTTEXTOUTW:
        Text(type, r);
        break;
    case U_EMR_GRADIENTFILL: {
        uint32_t nv = r.U32(offsetof(U_EMRGRADIENTFILL, nTriVert));
        uint32_t ng = r.U32(offsetof(U_EMRGRADIENTFILL, nGradObj));
        uint32_t mode = r.U32(offsetof(U_EMRGRADIENTFILL, ulMode));
        if (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V)
            break; // triangles are not drawn
        const size_t at = sizeof(U_EMRGRADIENTFILL);
        r.Count(at, nv, 16);
        r.Count(at + size_t(nv) * 16, ng, 8);
        std::vector<TTriVertex> v(nv);
        for (uint32_t i = 0; i < nv; ++i) {
            size_t o = at + size_t(i) * 16;
            v[i] =
                TTriVertex{r.I32(o), r.I32(o + 4), r.U16(o + 8), r.U16(o + 10), r.U16(o + 12), r.U16(o + 14)};
        }
        std::vector<TGradientRect> g(ng);
        for (uint32_t i = 0; i < ng; ++i) {
            size_t o = at + size_t(nv) * 16 + size_t(i) * 8;
            g[i] = TGradientRect{r.U32(o), r.U32(o + 4)};
        }
        FRec->GradientFill(v.data(), static_cast<int>(nv), g.data(), static_cast<int>(ng),
                           static_cast<int>(mode));
        break;
    }
    default:
        break; // palettes, colour spaces, comments and the rest change nothing we draw
    }
}

TMetafileContent TEmfReader::Read() {
    if (!LooksLikeEmf(FData, FSize))
        Invalid("not an enhanced metafile");
    TRecordReader h(FData, FSize);
    const uint32_t headerSize = h.U32(4);
    if (headerSize < 88 || headerSize % 4 || headerSize > FSize)
        Invalid("the header is damaged");
    const uint32_t total = h.U32(48);
    if (total > FSize)
        Invalid("the file is shorter than its header says");
    const size_t end = total >= headerSize ? total : FSize;

    const TRect bounds(h.I32(8), h.I32(12), h.I32(16), h.I32(20));
    const TRect frame(h.I32(24), h.I32(28), h.I32(32), h.I32(36));
    const int32_t devW = h.I32(72), devH = h.I32(76), mmW = h.I32(80), mmH = h.I32(84);
    if (devW > 0 && devH > 0 && mmW > 0 && mmH > 0) {
        FDevPerMmX = double(devW) / mmW;
        FDevPerMmY = double(devH) / mmH;
    }
    const double frameW = (double(frame.Right) - frame.Left) * 96 / 2540;
    const double frameH = (double(frame.Bottom) - frame.Top) * 96 / 2540;
    double devFrameW, devFrameH;
    if (frameW >= 0.5 && frameH >= 0.5 && frameW <= kMaxExtent && frameH <= kMaxExtent) {
        FWidth = static_cast<int>(std::lround(frameW));
        FHeight = static_cast<int>(std::lround(frameH));
        FDevOrgX = frame.Left / 100.0 * FDevPerMmX;
        FDevOrgY = frame.Top / 100.0 * FDevPerMmY;
        devFrameW = (double(frame.Right) - frame.Left) / 100.0 * FDevPerMmX;
        devFrameH = (double(frame.Bottom) - frame.Top) / 100.0 * FDevPerMmY;
    } else {
        // No usable frame: the bounds, in reference-device pixels, give the picture.
        double bw = double(bounds.Right) - bounds.Left + 1, bh = double(bounds.Bottom) - bounds.Top + 1;
        if (bw < 1 || bh < 1 || bw > kMaxExtent || bh > kMaxExtent)
            Invalid("the picture has no usable size");
        FWidth = static_cast<int>(bw);
        FHeight = static_cast<int>(bh);
        FDevOrgX = bounds.Left;
        FDevOrgY = bounds.Top;
        devFrameW = bw;
        devFrameH = bh;
    }
    FKx = FWidth / devFrameW;
    FKy = FHeight / devFrameH;
    // A frame written at 96 per inch maps one to one; keep rounding from moving every pixel.
    if (std::abs(FKx - 1) < 2e-3 && std::abs(FDevOrgX - std::round(FDevOrgX)) < 1e-6)
        FKx = 1;
    if (std::abs(FKy - 1) < 2e-3 && std::abs(FDevOrgY - std::round(FDevOrgY)) < 1e-6)
        FKy = 1;

    FRec = std::make_unique<TMetafileRecorder>(FWidth, FHeight);
    FObjects.resize(std::min<size_t>(h.U16(56), 0xFFFF) + 1);
    ApplyMapping();

    size_t at = headerSize;
    while (at < end) {
        if (end - at < 8)
            Invalid("a record is cut off at the end");
        TRecordReader head(FData + at, end - at);
        const uint32_t type = head.U32(0), size = head.U32(4);
        if (size < 8 || size % 4 || size > end - at)
            Invalid("a record runs past the end of the file");
        if (type == U_EMR_EOF)
            break;
        if (type == U_EMR_HEADER)
            Invalid("a second header");
        Record(type, TRecordReader(FData + at, size));
        at += size;
    }

    TMetafileContent content;
    content.Width = FWidth;
    content.Height = FHeight;
    content.Records = FRec->TakeRecords();
    return content;
}

} // namespace

bool LooksLikeEmf(const uint8_t* data, size_t size) {
    if (!data || size < 44)
        return false;
    uint32_t type, signature;
    std::memcpy(&type, data, 4);
    std::memcpy(&signature, data + 40, 4);
    return type == U_EMR_HEADER && signature == 0x464D4520;
}

TMetafileContent ReadEmf(const uint8_t* data, size_t size) {
    return TEmfReader(data, size).Read();
}

} // namespace plat
