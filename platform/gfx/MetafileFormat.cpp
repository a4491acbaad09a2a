#include "platform/gfx/MetafileFormat.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/FontManager.h"
#include "platform/gfx/PixelLine.h"
#include "platform/rtl/StringUtils.h"

namespace plat::metafile {

void Invalid(const std::string& reason) {
    throw EInvalidGraphic("Metafile is not valid: " + reason);
}

namespace {

// Decodes one code point at text[i], moving i past it; malformed bytes give U+FFFD. Overlong forms
// and encoded surrogates count as one character, as U+FFFD too: a lone surrogate would make the UTF-16
// text malformed and shift the advances that go with it.
uint32_t NextCodePoint(std::string_view text, size_t& i) {
    const TUtf8Char c = Utf8DecodeAt(text, i);
    i += c.Length;
    return c.CodePoint;
}

// Code page 1252 between 0x80 and 0x9F; the five holes keep their control-code value.
constexpr uint16_t kAnsiHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void PutU32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int k = 0; k < 4; ++k)
        v[at + k] = static_cast<uint8_t>(x >> (8 * k));
}

} // namespace

std::vector<uint16_t> Utf8ToUtf16(std::string_view text) {
    std::vector<uint16_t> out;
    for (size_t i = 0; i < text.size();) {
        uint32_t cp = NextCodePoint(text, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<uint16_t>(0xD800 | (cp >> 10)));
            out.push_back(static_cast<uint16_t>(0xDC00 | (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<uint16_t>(cp));
        }
    }
    return out;
}

std::string Utf16ToUtf8(const uint16_t* text, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        uint32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string Utf8ToAnsi(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        uint32_t cp = NextCodePoint(text, i);
        char c = '?';
        if (cp < 0x80 || (cp >= 0xA0 && cp < 0x100)) {
            c = static_cast<char>(cp);
        } else {
            for (int k = 0; k < 32; ++k)
                if (kAnsiHigh[k] == cp)
                    c = static_cast<char>(0x80 + k);
        }
        out += c;
    }
    return out;
}

std::string AnsiToUtf8(std::string_view text) {
    std::string out;
    for (char ch : text) {
        uint8_t b = static_cast<uint8_t>(ch);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kAnsiHigh[b - 0x80] : b);
    }
    return out;
}

std::vector<int> CharAdvances(const TLogFont& font, std::string_view text, int charExtra) {
    std::vector<TShapedGlyph> glyphs;
    auto realized = TFontManager::Instance().Realize(font);
    const int total = realized->Shape(text, glyphs, charExtra);
    // Pen position of each cluster (a byte offset into the text); characters inside a cluster share it.
    std::vector<int> starts;
    std::vector<size_t> offsets;
    for (size_t i = 0; i < text.size();) {
        offsets.push_back(i);
        NextCodePoint(text, i);
    }
    std::vector<int> pos(offsets.size(), 0);
    for (size_t k = 0; k < offsets.size(); ++k) {
        int at = k ? pos[k - 1] : 0;
        for (const TShapedGlyph& g : glyphs)
            if (static_cast<size_t>(g.Cluster) == offsets[k]) {
                at = g.X;
                break;
            }
        pos[k] = at;
    }
    std::vector<int> out(offsets.size());
    for (size_t k = 0; k < offsets.size(); ++k)
        out[k] = (k + 1 < offsets.size() ? pos[k + 1] : total) - pos[k];
    return out;
}

// ---- Bitmaps ----

TDibData ImageToDib(const TMetaImage& image, bool keepAlpha) {
    TDibData d;
    const int bpp = keepAlpha ? 4 : 3;
    const size_t stride = (static_cast<size_t>(image.Width) * bpp + 3) & ~size_t(3);
    d.Info.assign(40, 0);
    PutU32(d.Info, 0, 40);
    PutU32(d.Info, 4, static_cast<uint32_t>(image.Width));
    PutU32(d.Info, 8, static_cast<uint32_t>(image.Height));
    d.Info[12] = 1;
    d.Info[14] = static_cast<uint8_t>(bpp * 8);
    PutU32(d.Info, 20, static_cast<uint32_t>(stride * image.Height));
    PutU32(d.Info, 24, 3780); // 96 per inch
    PutU32(d.Info, 28, 3780);
    d.Bits.assign(stride * image.Height, 0);
    for (int y = 0; y < image.Height; ++y) {
        const uint32_t* src = image.Pixels.data() + static_cast<size_t>(image.Height - 1 - y) * image.Width;
        uint8_t* row = d.Bits.data() + y * stride;
        for (int x = 0; x < image.Width; ++x) {
            uint32_t p = src[x];
            row[x * bpp] = static_cast<uint8_t>(p);
            row[x * bpp + 1] = static_cast<uint8_t>(p >> 8);
            row[x * bpp + 2] = static_cast<uint8_t>(p >> 16);
            if (keepAlpha)
                row[x * bpp + 3] = static_cast<uint8_t>(p >> 24);
        }
    }
    return d;
}

TDibData MaskToDib(const TMetaImage& image) {
    TDibData d;
    const size_t stride = ((static_cast<size_t>(image.Width) + 31) / 32) * 4;
    d.Info.assign(48, 0);
    PutU32(d.Info, 0, 40);
    PutU32(d.Info, 4, static_cast<uint32_t>(image.Width));
    PutU32(d.Info, 8, static_cast<uint32_t>(image.Height));
    d.Info[12] = 1;
    d.Info[14] = 1;
    PutU32(d.Info, 20, static_cast<uint32_t>(stride * image.Height));
    PutU32(d.Info, 32, 2);
    PutU32(d.Info, 44, 0x00FFFFFF); // entry 0 black, entry 1 white
    d.Bits.assign(stride * image.Height, 0);
    for (int y = 0; y < image.Height; ++y) {
        const uint32_t* src = image.Pixels.data() + static_cast<size_t>(image.Height - 1 - y) * image.Width;
        uint8_t* row = d.Bits.data() + y * stride;
        for (int x = 0; x < image.Width; ++x)
            if (src[x] & 0x00FFFFFF)
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    return d;
}

TMetaImage DibToImage(const uint8_t* info, size_t infoSize, const uint8_t* bits, size_t bitsSize) {
    TRecordReader h(info, infoSize);
    uint32_t headerSize = h.U32(0);
    if (headerSize < 40) {
        // The old 12-byte core header: hand it to the BMP reader as it is.
        headerSize = 12;
    }
    h.Need(0, headerSize);
    TMetaImage image;
    if (headerSize >= 40 && h.U16(14) == 32 && (h.U32(16) == 0 || h.U32(16) == 3)) {
        // 32 bits per pixel: read directly so the alpha byte survives.
        const int32_t w = h.I32(4), hh = h.I32(8);
        if (w <= 0 || hh == 0 || hh == INT32_MIN)
            Invalid("a bitmap has no size");
        const int64_t height = std::abs(static_cast<int64_t>(hh));
        if (w * height > TImageSurface::MaxPixels)
            Invalid("a bitmap is too large");
        const size_t stride = static_cast<size_t>(w) * 4;
        if (bitsSize / stride < static_cast<size_t>(height))
            Invalid("a bitmap's rows are missing");
        image.Width = w;
        image.Height = static_cast<int>(height);
        image.Pixels.resize(static_cast<size_t>(w) * height);
        bool anyAlpha = false;
        for (int y = 0; y < image.Height; ++y) {
            const uint8_t* row = bits + static_cast<size_t>(hh > 0 ? image.Height - 1 - y : y) * stride;
            uint32_t* out = image.Pixels.data() + static_cast<size_t>(y) * w;
            for (int x = 0; x < w; ++x) {
                uint32_t p;
                std::memcpy(&p, row + x * 4, 4);
                out[x] = p;
                anyAlpha |= (p >> 24) != 0;
            }
        }
        if (!anyAlpha)
            for (uint32_t& p : image.Pixels)
                p |= 0xFF000000;
        return image;
    }
    // Every other depth through the BMP reader, behind a file header made up for it.
    std::vector<uint8_t> file(14 + infoSize + bitsSize);
    file[0] = 'B';
    file[1] = 'M';
    PutU32(file, 2, static_cast<uint32_t>(file.size()));
    PutU32(file, 10, static_cast<uint32_t>(14 + infoSize));
    std::memcpy(file.data() + 14, info, infoSize);
    if (bitsSize)
        std::memcpy(file.data() + 14 + infoSize, bits, bitsSize);
    TDib dib;
    try {
        dib = ReadBmp(file.data(), file.size());
    } catch (const EInvalidGraphic& e) {
        Invalid(std::string("a bitmap is damaged (") + e.what() + ")");
    }
    image.Width = dib.Width;
    image.Height = dib.Height;
    image.Pixels.resize(static_cast<size_t>(dib.Width) * dib.Height);
    for (int y = 0; y < dib.Height; ++y)
        for (int x = 0; x < dib.Width; ++x)
            image.Pixels[static_cast<size_t>(y) * dib.Width + x] = 0xFF000000 | dib.GetPixel(x, y);
    return image;
}

TMetaImage PatternToImage(const TBrushPattern& pattern) {
    TMetaImage image;
    image.Width = pattern.Width;
    image.Height = pattern.Height;
    image.Pixels = pattern.Pixels;
    image.Pixels.resize(static_cast<size_t>(image.Width) * image.Height, 0);
    return image;
}

std::shared_ptr<const TBrushPattern> ImageToPattern(const TMetaImage& image, bool monochrome) {
    auto p = std::make_shared<TBrushPattern>();
    // A pattern tile larger than 64 pixels is cut, as patterns are.
    p->Width = std::min(image.Width, 64);
    p->Height = std::min(image.Height, 64);
    p->Monochrome = monochrome;
    p->Pixels.resize(static_cast<size_t>(p->Width) * p->Height);
    for (int y = 0; y < p->Height; ++y)
        for (int x = 0; x < p->Width; ++x)
            p->Pixels[static_cast<size_t>(y) * p->Width + x] =
                image.Pixels[static_cast<size_t>(y) * image.Width + x] | 0xFF000000;
    return p;
}

// ---- Geometry ----

std::vector<TPoint> FlattenBezier(const std::vector<TPoint>& points) {
    std::vector<TPoint> out;
    if (points.empty())
        return out;
    out.push_back(points[0]);
    for (size_t i = 0; i + 3 < points.size(); i += 3) {
        const TPoint &p0 = points[i], &p1 = points[i + 1], &p2 = points[i + 2], &p3 = points[i + 3];
        double len = std::hypot(p1.X - p0.X, p1.Y - p0.Y) + std::hypot(p2.X - p1.X, p2.Y - p1.Y) +
                     std::hypot(p3.X - p2.X, p3.Y - p2.Y);
        int steps = std::clamp(static_cast<int>(len / 3), 2, 200);
        for (int k = 1; k <= steps; ++k) {
            double t = double(k) / steps, u = 1 - t;
            double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, e = t * t * t;
            out.push_back(TPoint(static_cast<int>(std::lround(a * p0.X + b * p1.X + c * p2.X + e * p3.X)),
                                 static_cast<int>(std::lround(a * p0.Y + b * p1.Y + c * p2.Y + e * p3.Y))));
        }
    }
    return out;
}

std::vector<TBand> GradientBands(const TTriVertex& va, const TTriVertex& vb, bool horizontal) {
    TTriVertex a = va, b = vb;
    if ((horizontal && b.x < a.x) || (!horizontal && b.y < a.y))
        std::swap(a, b);
    TRect r(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
    std::vector<TBand> out;
    int steps = horizontal ? r.Width() : r.Height();
    if (steps <= 0 || r.IsEmpty())
        return out;
    auto channel = [&](uint16_t from, uint16_t to, int i) {
        int c0 = from >> 8, c1 = to >> 8;
        return steps == 1 ? c0 : c0 + static_cast<int>(std::lround(double(c1 - c0) * i / (steps - 1)));
    };
    for (int i = 0; i < steps; ++i) {
        TColor c = RGB(channel(a.Red, b.Red, i), channel(a.Green, b.Green, i), channel(a.Blue, b.Blue, i));
        if (!out.empty() && out.back().Color == c) {
            (horizontal ? out.back().Rect.Right : out.back().Rect.Bottom) += 1;
            continue;
        }
        TRect band = horizontal ? TRect(r.Left + i, r.Top, r.Left + i + 1, r.Bottom)
                                : TRect(r.Left, r.Top + i, r.Right, r.Top + i + 1);
        out.push_back({band, c});
    }
    return out;
}

TFrameSurface::TFrameSurface(int width, int height)
    : FWidth(std::max(width, 1)), FHeight(std::max(height, 1)) {}

TFrameSurface::~TFrameSurface() {
    if (FScratch)
        cairo_surface_destroy(FScratch);
}

cairo_surface_t* TFrameSurface::CairoSurface() {
    if (!FScratch)
        FScratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    return FScratch;
}

} // namespace plat::metafile
