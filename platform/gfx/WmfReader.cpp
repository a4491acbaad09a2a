// Reads a Windows metafile (placeable or not) into a record list by replaying its records into a
// recording context whose mapping takes the file's window onto the frame. Every field is read through
// a bounds-checked reader; a file that lies about a size is refused.
#include <algorithm>
#include <cmath>

#include "platform/gfx/MetafileFormat.h"
#include "platform/gfx/MetafileRecorder.h"

namespace plat {

namespace {

using namespace metafile;

// What a saved state costs, counted in region rectangles, and how much the saved states may hold at once.
constexpr int64_t kSaveCost = 16;
constexpr int64_t kMaxSaveCost = int64_t(1) << 22;

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr int kMaxExtent = 65535;
constexpr size_t kMaxObjects = 65535;

struct TObject {
    bool Used = false;
    HPEN Pen;
    HBRUSH Brush;
    HFONT Font;
};

class TWmfReader {
public:
    TWmfReader(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
    TMetafileContent Read();

private:
    void Record(uint16_t function, const TRecordReader& r);
    void SaveDC();
    void ApplyMapping();
    void Create(TObject object);
    void Blit(uint16_t function, const TRecordReader& r);
    TMetaImage Bitmap(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize);
    // Parameters are 16-bit words, most of them stored last first.
    static int W(const TRecordReader& r, size_t index) { return r.I16(6 + index * 2); }

    const uint8_t* FData;
    size_t FSize;
    std::unique_ptr<TMetafileRecorder> FRec;
    int FWidth = 0, FHeight = 0;
    double FOrgX = 0, FOrgY = 0, FExtX = 1, FExtY = 1;
    std::vector<std::pair<TPoint, TPoint>> FWindowStack; // origin and extent per saved state
    std::vector<TObject> FObjects;
    int64_t FBitmapPixels = 0;       // of every bitmap decoded so far
    std::vector<int64_t> FSaveCosts; // per saved state
    int64_t FSaveCost = 0;           // of the states saved now
};

void TWmfReader::ApplyMapping() {
    auto whole = [](double v) {
        long n = std::lround(std::clamp(v, -1e9, 1e9));
        return static_cast<int>(n);
    };
    auto extent = [&](double v) { return whole(v) != 0 ? whole(v) : 1; };
    // The window (origin and extent in the file's units) fills the frame.
    FRec->SetMapMode(MM_ANISOTROPIC);
    FRec->SetWindowExtEx(extent(FExtX), extent(FExtY));
    FRec->SetViewportExtEx(FWidth, FHeight);
    FRec->SetWindowOrgEx(whole(FOrgX), whole(FOrgY));
    FRec->SetViewportOrgEx(0, 0);
}

void TWmfReader::Create(TObject object) {
    object.Used = true;
    for (TObject& slot : FObjects)
        if (!slot.Used) {
            slot = std::move(object);
            return;
        }
    if (FObjects.size() >= kMaxObjects)
        Invalid("too many objects");
    FObjects.push_back(std::move(object));
}

TMetaImage TWmfReader::Bitmap(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize) {
    TMetaImage image = DibToImage(info, infoSize, bits, bitsSize);
    // A compressed bitmap of a few bytes may stand for a large picture, and records may repeat it:
    // all of them together get the budget of one picture.
    FBitmapPixels += int64_t(image.Width) * image.Height;
    if (FBitmapPixels > TImageSurface::MaxPixels)
        Invalid("the bitmaps are too large");
    return image;
}

void TWmfReader::Blit(uint16_t function, const TRecordReader& r) {
    // Without a bitmap the record is a pattern operation with one reserved word more.
    const bool noBitmap = r.Size() == (size_t((function >> 8) + 3) * 2);
    uint32_t rop = r.U32(6);
    int xd, yd, wd, hd, xs = 0, ys = 0, ws, hs;
    size_t dib;
    switch (function) {
    case 0x0940: // DIBBITBLT
        ys = W(r, 2), xs = W(r, 3);
        hd = W(r, noBitmap ? 5 : 4), wd = W(r, noBitmap ? 6 : 5), yd = W(r, noBitmap ? 7 : 6),
        xd = W(r, noBitmap ? 8 : 7);
        ws = wd, hs = hd;
        dib = 6 + 8 * 2;
        break;
    case 0x0B41: // DIBSTRETCHBLT
        hs = W(r, 2), ws = W(r, 3), ys = W(r, 4), xs = W(r, 5);
        hd = W(r, noBitmap ? 7 : 6), wd = W(r, noBitmap ? 8 : 7), yd = W(r, noBitmap ? 9 : 8),
        xd = W(r, noBitmap ? 10 : 9);
        dib = 6 + 10 * 2;
        break;
    case 0x0F43: // STRETCHDIB
        hs = W(r, 3), ws = W(r, 4), ys = W(r, 5), xs = W(r, 6);
        hd = W(r, 7), wd = W(r, 8), yd = W(r, 9), xd = W(r, 10);
        dib = 6 + 11 * 2;
        break;
    default: // SETDIBTODEV
        rop = SRCCOPY;
        hs = hd = W(r, 5), ws = wd = W(r, 6), ys = W(r, 3), xs = W(r, 4);
        yd = W(r, 7), xd = W(r, 8);
        dib = 6 + 9 * 2;
        break;
    }
    if (noBitmap && function != 0x0F43 && function != 0x0D33) {
        FRec->PatBlt(xd, yd, wd, hd, rop);
        return;
    }
    r.Need(dib, 4);
    TRecordReader d(r.Data() + dib, r.Size() - dib);
    uint32_t headerSize = d.U32(0);
    size_t infoSize;
    if (headerSize == 12) {
        uint16_t bits = d.U16(10);
        infoSize = 12 + (bits <= 8 ? (size_t(1) << bits) * 3 : 0);
    } else {
        uint16_t bits = d.U16(14);
        uint32_t compression = d.U32(16), used = d.U32(32);
        size_t colors = used ? used : bits <= 8 ? (size_t(1) << bits) : 0;
        if (colors > 256)
            Invalid("a bitmap has too many colours");
        infoSize = headerSize + colors * 4 + (compression == 3 && headerSize == 40 ? 12 : 0);
    }
    d.Need(0, infoSize);
    TMetaImage img = Bitmap(d.Data(), infoSize, d.Data() + infoSize, d.Size() - infoSize);
    TImageSurface pixels(img.Width, img.Height);
    std::copy(img.Pixels.begin(), img.Pixels.end(), pixels.Pixels());
    TDeviceContext source(&pixels);
    FRec->StretchBlt(xd, yd, wd, hd, &source, xs, ys, ws, hs, rop);
}

void TWmfReader::SaveDC() {
    // Each saved state holds a copy of the clip region: a complex region saved over and over without
    // being restored would grow memory by its size every time.
    TRegion clip;
    FSaveCosts.push_back(kSaveCost +
                         (FRec->GetClipRgn(clip) ? static_cast<int64_t>(clip.Rects().size()) : 0));
    FSaveCost += FSaveCosts.back();
    if (FSaveCost > kMaxSaveCost)
        Invalid("too many saved states");
    FWindowStack.push_back({TPoint(static_cast<int>(FOrgX), static_cast<int>(FOrgY)),
                            TPoint(static_cast<int>(FExtX), static_cast<int>(FExtY))});
    FRec->SaveDC();
}

void TWmfReader::Record(uint16_t function, const TRecordReader& r) {
    switch (function) {
    case 0x0201:
        FRec->SetBkColor(static_cast<TColor>(r.U32(6) & 0x00FFFFFF));
        break;
    case 0x0102:
        FRec->SetBkMode(W(r, 0));
        break;
    case 0x0104:
        FRec->SetROP2(W(r, 0));
        break;
    case 0x0106:
        FRec->SetPolyFillMode(W(r, 0));
        break;
    case 0x0107:
        FRec->SetStretchBltMode(W(r, 0));
        break;
    case 0x0108:
        FRec->SetTextCharacterExtra(W(r, 0));
        break;
    case 0x0209:
        FRec->SetTextColor(static_cast<TColor>(r.U32(6) & 0x00FFFFFF));
        break;
    case 0x012E:
        FRec->SetTextAlign(r.U16(6));
        break;
    case 0x020B: // SETWINDOWORG
        FOrgY = W(r, 0), FOrgX = W(r, 1);
        ApplyMapping();
        break;
    case 0x020C: // SETWINDOWEXT
        if (W(r, 0) != 0 && W(r, 1) != 0) {
            FExtY = W(r, 0), FExtX = W(r, 1);
            ApplyMapping();
        }
        break;
    case 0x020F: // OFFSETWINDOWORG
        FOrgY += W(r, 0), FOrgX += W(r, 1);
        ApplyMapping();
        break;
    case 0x0410: { // SCALEWINDOWEXT
        int yd = W(r, 0), yn = W(r, 1), xd = W(r, 2), xn = W(r, 3);
        if (yd && yn && xd && xn) {
            FExtY = FExtY * yn / yd;
            FExtX = FExtX * xn / xd;
            ApplyMapping();
        }
        break;
    }
    case 0x0213:
        FRec->LineTo(W(r, 1), W(r, 0));
        break;
    case 0x0214:
        FRec->MoveToEx(W(r, 1), W(r, 0));
        break;
    case 0x0415:
        FRec->ExcludeClipRect(W(r, 3), W(r, 2), W(r, 1), W(r, 0));
        break;
    case 0x0416:
        FRec->IntersectClipRect(W(r, 3), W(r, 2), W(r, 1), W(r, 0));
        break;
    case 0x0220:
        FRec->OffsetClipRgn(W(r, 1), W(r, 0));
        break;
    case 0x0817:
        FRec->Arc(W(r, 7), W(r, 6), W(r, 5), W(r, 4), W(r, 3), W(r, 2), W(r, 1), W(r, 0));
        break;
    case 0x081A:
        FRec->Pie(W(r, 7), W(r, 6), W(r, 5), W(r, 4), W(r, 3), W(r, 2), W(r, 1), W(r, 0));
        break;
    case 0x0830:
        FRec->Chord(W(r, 7), W(r, 6), W(r, 5), W(r, 4), W(r, 3), W(r, 2), W(r, 1), W(r, 0));
        break;
    case 0x0418:
        FRec->Ellipse(W(r, 3), W(r, 2), W(r, 1), W(r, 0));
        break;
    case 0x041B:
        FRec->Rectangle(W(r, 3), W(r, 2), W(r, 1), W(r, 0));
        break;
    case 0x061C:
        FRec->RoundRect(W(r, 5), W(r, 4), W(r, 3), W(r, 2), W(r, 1), W(r, 0));
        break;
    case 0x061D:
        FRec->PatBlt(W(r, 5), W(r, 4), W(r, 3), W(r, 2), r.U32(6));
        break;
    case 0x041F:
        FRec->SetPixel(W(r, 3), W(r, 2), static_cast<TColor>(r.U32(6) & 0x00FFFFFF));
        break;
    case 0x001E: // SAVEDC
        SaveDC();
        break;
    case 0x0127: { // RESTOREDC
        int level = W(r, 0);
        int n = static_cast<int>(FWindowStack.size());
        int target = level < 0 ? n + level + 1 : level;
        if (target < 1 || target > n)
            break;
        auto [org, ext] = FWindowStack[target - 1];
        FWindowStack.resize(target - 1);
        while (FSaveCosts.size() > FWindowStack.size()) {
            FSaveCost -= FSaveCosts.back();
            FSaveCosts.pop_back();
        }
        FRec->RestoreDC(level);
        FOrgX = org.X, FOrgY = org.Y, FExtX = ext.X, FExtY = ext.Y;
        ApplyMapping();
        break;
    }
    case 0x0324:   // POLYGON
    case 0x0325: { // POLYLINE
        size_t n = r.Count(8, r.U16(6), 4);
        std::vector<TPoint> pts(n);
        for (size_t i = 0; i < n; ++i)
            pts[i] = TPoint(r.I16(8 + i * 4), r.I16(10 + i * 4));
        if (function == 0x0324)
            FRec->Polygon(pts.data(), static_cast<int>(n));
        else
            FRec->Polyline(pts.data(), static_cast<int>(n));
        break;
    }
    case 0x0538: { // POLYPOLYGON
        size_t polys = r.Count(8, r.U16(6), 2);
        std::vector<int> counts(polys);
        size_t total = 0;
        for (size_t i = 0; i < polys; ++i)
            total += counts[i] = r.U16(8 + i * 2);
        const size_t at = 8 + polys * 2;
        r.Count(at, total, 4);
        std::vector<TPoint> pts(total);
        for (size_t i = 0; i < total; ++i)
            pts[i] = TPoint(r.I16(at + i * 4), r.I16(at + i * 4 + 2));
        FRec->PolyPolygon(pts.data(), counts.data(), static_cast<int>(polys));
        break;
    }
    case 0x0521: { // TEXTOUT
        size_t len = r.Count(8, r.U16(6), 1);
        size_t after = 8 + ((len + 1) & ~size_t(1));
        std::string text = AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(r.Data() + 8), len));
        FRec->TextOut(r.I16(after + 2), r.I16(after), text);
        break;
    }
    case 0x0A32: { // EXTTEXTOUT
        int y = W(r, 0), x = W(r, 1);
        uint16_t len = r.U16(10), options = r.U16(12);
        size_t at = 14;
        TRect rect;
        bool hasRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) != 0;
        if (hasRect) {
            rect = TRect(r.I16(14), r.I16(16), r.I16(18), r.I16(20));
            at += 8;
        }
        size_t n = r.Count(at, len, 1);
        std::string text = AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(r.Data() + at), n));
        FRec->ExtTextOut(x, y, options & (ETO_OPAQUE | ETO_CLIPPED), hasRect ? &rect : nullptr, text);
        break;
    }
    case 0x012D: { // SELECTOBJECT
        uint16_t index = r.U16(6);
        if (index >= FObjects.size() || !FObjects[index].Used)
            break;
        const TObject& o = FObjects[index];
        if (o.Pen)
            FRec->SelectPen(o.Pen);
        if (o.Brush)
            FRec->SelectBrush(o.Brush);
        if (o.Font)
            FRec->SelectFont(o.Font);
        break;
    }
    case 0x01F0: { // DELETEOBJECT
        uint16_t index = r.U16(6);
        if (index < FObjects.size())
            FObjects[index] = TObject();
        break;
    }
    case 0x02FA: { // CREATEPENINDIRECT
        uint16_t style = r.U16(6);
        int width = r.I16(8);
        TColor color = static_cast<TColor>(r.U32(12) & 0x00FFFFFF);
        TObject o;
        o.Pen = width > 1 ? ExtCreatePen(PS_GEOMETRIC | style, width, TLogBrush{BS_SOLID, color, 0})
                          : CreatePen(style, width, color);
        Create(std::move(o));
        break;
    }
    case 0x02FC: { // CREATEBRUSHINDIRECT
        TLogBrush lb{r.U16(6), static_cast<TColor>(r.U32(8) & 0x00FFFFFF), r.U16(12)};
        if (lb.lbStyle != BS_NULL && lb.lbStyle != BS_HATCHED)
            lb.lbStyle = BS_SOLID;
        TObject o;
        o.Brush = CreateBrushIndirect(lb);
        Create(std::move(o));
        break;
    }
    case 0x0142: { // DIBCREATEPATTERNBRUSH
        TObject o;
        uint16_t style = r.U16(6);
        if (style == BS_PATTERN) {
            o.Brush = CreateSolidBrush(clGray); // an old device bitmap: grey is the nearest we can do
        } else {
            TRecordReader d(r.Data() + 10, r.Size() - std::min<size_t>(10, r.Size()));
            uint32_t headerSize = d.U32(0);
            uint16_t bits = d.U16(headerSize == 12 ? 10 : 14);
            size_t colors = bits <= 8 ? (size_t(1) << bits) : 0;
            if (headerSize != 12 && d.U32(32))
                colors = std::min<size_t>(d.U32(32), 256);
            size_t infoSize = headerSize + colors * (headerSize == 12 ? 3 : 4);
            d.Need(0, infoSize);
            TMetaImage tile = Bitmap(d.Data(), infoSize, d.Data() + infoSize, d.Size() - infoSize);
            auto brush = std::make_shared<TGdiBrush>();
            brush->Style = BS_PATTERN;
            brush->Pattern = ImageToPattern(tile, false);
            o.Brush = brush;
        }
        Create(std::move(o));
        break;
    }
    case 0x02FB: { // CREATEFONTINDIRECT
        TLogFont lf;
        lf.Height = r.I16(6);
        lf.Width = r.I16(8);
        lf.Escapement = r.I16(10);
        lf.Orientation = r.I16(12);
        lf.Weight = r.I16(14);
        lf.Italic = r.U8(16) != 0;
        lf.Underline = r.U8(17) != 0;
        lf.StrikeOut = r.U8(18) != 0;
        lf.CharSet = r.U8(19);
        lf.OutPrecision = r.U8(20);
        lf.ClipPrecision = r.U8(21);
        lf.Quality = r.U8(22);
        lf.PitchAndFamily = r.U8(23);
        std::string face;
        for (size_t i = 24; i < 24 + 32 && r.Has(i, 1) && r.U8(i); ++i)
            face += static_cast<char>(r.U8(i));
        lf.FaceName = AnsiToUtf8(face);
        TObject o;
        auto font = std::make_shared<TGdiFont>();
        font->LogFont = lf;
        o.Font = font;
        Create(std::move(o));
        break;
    }
    case 0x00F7: // CREATEPALETTE
    case 0x01F9: // CREATEPATTERNBRUSH
    case 0x06FF: // CREATEREGION
        // Objects we do not draw with still take their place in the table.
        Create(TObject());
        break;
    case 0x0940:
    case 0x0B41:
    case 0x0F43:
    case 0x0D33:
        Blit(function, r);
        break;
    default:
        break;
    }
}

TMetafileContent TWmfReader::Read() {
    TRecordReader file(FData, FSize);
    size_t at = 0;
    bool placeable = FSize >= 22 && file.U32(0) == kPlaceableKey;
    double left = 0, top = 0, right = 0, bottom = 0;
    if (placeable) {
        left = file.I16(6), top = file.I16(8), right = file.I16(10), bottom = file.I16(12);
        int inch = file.U16(14);
        if (inch == 0)
            Invalid("the placeable header has no resolution");
        double w = std::abs(right - left) * 96 / inch, h = std::abs(bottom - top) * 96 / inch;
        if (w < 0.5 || h < 0.5 || w > kMaxExtent || h > kMaxExtent)
            Invalid("the placeable header has no usable size");
        FWidth = std::max(1, static_cast<int>(std::lround(w)));
        FHeight = std::max(1, static_cast<int>(std::lround(h)));
        at = 22;
    }
    if (FSize - at < 18)
        Invalid("not a Windows metafile");
    TRecordReader head(FData + at, FSize - at);
    uint16_t type = head.U16(0), headerWords = head.U16(2), version = head.U16(4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300))
        Invalid("not a Windows metafile");
    uint64_t words = head.U32(6);
    if (words * 2 > FSize - at)
        Invalid("the file is shorter than its header says");
    const size_t end = at + (words >= 9 ? static_cast<size_t>(words * 2) : FSize - at);
    FObjects.resize(std::min<size_t>(head.U16(10), kMaxObjects));

    if (!placeable) {
        // Without the placeable header the window extent is the size, in pixels.
        for (size_t p = at + 18; p + 10 <= end;) {
            TRecordReader rr(FData + p, end - p);
            uint64_t size = uint64_t(rr.U32(0)) * 2;
            if (size < 6 || size > end - p)
                break;
            if (rr.U16(4) == 0x020C && size >= 10) {
                FHeight = std::abs(rr.I16(6));
                FWidth = std::abs(rr.I16(8));
                break;
            }
            p += size;
        }
        if (FWidth <= 0 || FHeight <= 0)
            Invalid("the picture has no size");
        right = FWidth, bottom = FHeight;
    }
    FOrgX = left, FOrgY = top;
    FExtX = right - left, FExtY = bottom - top;
    FRec = std::make_unique<TMetafileRecorder>(FWidth, FHeight);
    ApplyMapping();

    at += 18;
    while (at < end) {
        if (end - at < 6)
            Invalid("a record is cut off at the end");
        TRecordReader rr(FData + at, end - at);
        uint64_t size = uint64_t(rr.U32(0)) * 2;
        if (size < 6 || size > end - at)
            Invalid("a record runs past the end of the file");
        uint16_t function = rr.U16(4);
        if (function == 0)
            break;
        Record(function, TRecordReader(FData + at, static_cast<size_t>(size)));
        at += static_cast<size_t>(size);
    }

    TMetafileContent content;
    content.Width = FWidth;
    content.Height = FHeight;
    content.Records = FRec->TakeRecords();
    return content;
}

} // namespace

TMetafileContent ReadWmf(const uint8_t* data, size_t size) {
    if (!data || size < 18)
        Invalid("not a Windows metafile");
    return TWmfReader(data, size).Read();
}

} // namespace plat
