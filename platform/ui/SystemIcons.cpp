#include "platform/ui/SystemIcons.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>

#include "platform/gfx/Icon.h"
#include "platform/gfx/Surface.h"

namespace plat {

namespace {

// ---- A small supersampling rasteriser for the system icons ---------------------------------------------
//
// Shapes are point tests in pixel coordinates; each pixel is sampled 4 by 4 times, so curves come out
// smooth while edges on whole pixels stay sharp.

struct TColorF {
    float R = 0, G = 0, B = 0;
};

TColorF Rgb(uint32_t rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f};
}

TColorF Mix(TColorF a, TColorF b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t};
}

class TIconPainter {
public:
    explicit TIconPainter(int size) : FSize(size), FPixels(static_cast<size_t>(size) * size) {}

    int Size() const { return FSize; }

    // Paints what `inside` covers with the colour `colour` gives for a pixel row (a vertical gradient).
    template <class Inside, class Colour> void Fill(Inside inside, Colour colour) {
        constexpr int n = 4;
        for (int y = 0; y < FSize; ++y) {
            TColorF c = colour(y + 0.5f);
            for (int x = 0; x < FSize; ++x) {
                int hits = 0;
                for (int j = 0; j < n; ++j)
                    for (int i = 0; i < n; ++i)
                        hits += inside(x + (i + 0.5f) / n, y + (j + 0.5f) / n) ? 1 : 0;
                if (!hits)
                    continue;
                float a = static_cast<float>(hits) / (n * n);
                TPixelF& p = FPixels[static_cast<size_t>(y) * FSize + x];
                p.R = c.R * a + p.R * (1 - a);
                p.G = c.G * a + p.G * (1 - a);
                p.B = c.B * a + p.B * (1 - a);
                p.A = a + p.A * (1 - a);
            }
        }
    }
    template <class Inside> void Fill(Inside inside, TColorF colour) {
        Fill(inside, [colour](float) { return colour; });
    }

    TPixelImage Image() const {
        TPixelImage out(FSize, FSize);
        for (size_t i = 0; i < FPixels.size(); ++i) {
            const TPixelF& p = FPixels[i];
            if (p.A <= 0)
                continue;
            auto channel = [&](float premultiplied) {
                return static_cast<uint32_t>(std::lround(std::clamp(premultiplied / p.A, 0.0f, 1.0f) * 255));
            };
            uint32_t a = static_cast<uint32_t>(std::lround(std::clamp(p.A, 0.0f, 1.0f) * 255));
            out.Pixels[i] = (a << 24) | (channel(p.R) << 16) | (channel(p.G) << 8) | channel(p.B);
        }
        return out;
    }

private:
    struct TPixelF {
        float R = 0, G = 0, B = 0, A = 0; // premultiplied
    };
    int FSize;
    std::vector<TPixelF> FPixels;
};

float DistanceToSegment(float px, float py, float x1, float y1, float x2, float y2) {
    float dx = x2 - x1, dy = y2 - y1;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? std::clamp(((px - x1) * dx + (py - y1) * dy) / len2, 0.0f, 1.0f) : 0.0f;
    float ex = px - (x1 + t * dx), ey = py - (y1 + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

auto Disc(float cx, float cy, float r) {
    return [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

auto Box(float left, float top, float right, float bottom) {
    return [=](float x, float y) { return x >= left && x < right && y >= top && y < bottom; };
}

// A bar with round ends.
auto Capsule(float x1, float y1, float x2, float y2, float halfWidth) {
    return [=](float x, float y) { return DistanceToSegment(x, y, x1, y1, x2, y2) <= halfWidth; };
}

// The triangle grown by `radius` on every side (so with round corners).
auto RoundTriangle(std::array<float, 6> v, float radius) {
    return [=](float x, float y) {
        auto side = [&](int a, int b) {
            return (v[2 * b] - v[2 * a]) * (y - v[2 * a + 1]) -
                   (v[2 * b + 1] - v[2 * a + 1]) * (x - v[2 * a]);
        };
        float s0 = side(0, 1), s1 = side(1, 2), s2 = side(2, 0);
        if ((s0 >= 0 && s1 >= 0 && s2 >= 0) || (s0 <= 0 && s1 <= 0 && s2 <= 0))
            return true;
        float d = std::min({DistanceToSegment(x, y, v[0], v[1], v[2], v[3]),
                            DistanceToSegment(x, y, v[2], v[3], v[4], v[5]),
                            DistanceToSegment(x, y, v[4], v[5], v[0], v[1])});
        return d <= radius;
    };
}

// A band along a circle between two angles (radians, y pointing down, clockwise on screen).
auto ArcBand(float cx, float cy, float r, float halfWidth, float from, float to) {
    return [=](float x, float y) {
        float dx = x - cx, dy = y - cy;
        float d = std::sqrt(dx * dx + dy * dy);
        if (std::abs(d - r) > halfWidth)
            return false;
        float a = std::atan2(dy, dx);
        while (a < from)
            a += 2 * std::numbers::pi_v<float>;
        return a <= to;
    };
}

// The round badge the information, question and error icons sit on: a darker rim around a face that
// is lighter at the top.
void PaintBadge(TIconPainter& p, uint32_t rim, uint32_t top, uint32_t bottom) {
    float n = static_cast<float>(p.Size());
    float c = n / 2, r = n * 0.47f;
    float t = std::max(1.0f, n / 16);
    p.Fill(Disc(c, c, r), Rgb(rim));
    TColorF a = Rgb(top), b = Rgb(bottom);
    p.Fill(Disc(c, c, r - t), [=](float y) { return Mix(a, b, (y - (c - r)) / (2 * r)); });
}

// Stems and dots of the glyphs sit on whole pixels at every size, so they stay crisp when small.
float Snap(float v) {
    return std::round(v);
}

TPixelImage DrawInformation(int size) {
    TIconPainter p(size);
    PaintBadge(p, 0x1A4E9A, 0x7DB4F5, 0x1C5FC4);
    float n = static_cast<float>(size);
    float half = std::max(1.0f, Snap(n * 0.075f)); // half the stem width
    float c = n / 2;
    TColorF white = Rgb(0xFFFFFF);
    p.Fill(Box(c - half, Snap(n * 0.43f), c + half, Snap(n * 0.78f)), white);
    float dotTop = Snap(n * 0.22f);
    if (size < 24)
        p.Fill(Box(c - half, dotTop, c + half, dotTop + 2 * half), white);
    else
        p.Fill(Disc(c, dotTop + half * 1.2f, half * 1.25f), white);
    return p.Image();
}

TPixelImage DrawQuestion(int size) {
    TIconPainter p(size);
    PaintBadge(p, 0x1A4E9A, 0x7DB4F5, 0x1C5FC4);
    float n = static_cast<float>(size);
    float c = n / 2;
    float w = std::max(0.9f, n * 0.068f); // half the stroke width
    float r = n * 0.145f, cy = n * 0.39f;
    float pi = std::numbers::pi_v<float>;
    TColorF white = Rgb(0xFFFFFF);
    // The hook: from the left, over the top, round to the right and down towards the middle.
    p.Fill(ArcBand(c, cy, r, w, 0.92f * pi, 2.3f * pi), white);
    p.Fill(Disc(c + r * std::cos(0.92f * pi), cy + r * std::sin(0.92f * pi), w), white);
    float ex = c + r * std::cos(0.3f * pi), ey = cy + r * std::sin(0.3f * pi);
    float stemTop = n * 0.57f, stemBottom = n * 0.63f;
    p.Fill(Capsule(ex, ey, c, stemTop, w), white);
    p.Fill(Capsule(c, stemTop, c, stemBottom, w), white);
    p.Fill(Disc(c, n * 0.765f, w * 1.2f), white);
    return p.Image();
}

TPixelImage DrawError(int size) {
    TIconPainter p(size);
    PaintBadge(p, 0x8E0E0E, 0xF47A68, 0xC81A1A);
    float n = static_cast<float>(size);
    float c = n / 2, arm = n * 0.19f, w = std::max(1.0f, n * 0.07f);
    TColorF white = Rgb(0xFFFFFF);
    p.Fill(Capsule(c - arm, c - arm, c + arm, c + arm, w), white);
    p.Fill(Capsule(c - arm, c + arm, c + arm, c - arm, w), white);
    return p.Image();
}

TPixelImage DrawWarning(int size) {
    TIconPainter p(size);
    float n = static_cast<float>(size);
    float c = n / 2;
    float round = n * 0.07f, t = std::max(1.0f, n / 16);
    std::array<float, 6> tri{c, n * 0.13f, n * 0.09f, n * 0.86f, n * 0.91f, n * 0.86f};
    p.Fill(RoundTriangle(tri, round), Rgb(0x8A6200));
    TColorF a = Rgb(0xFFE98A), b = Rgb(0xF0B000);
    p.Fill(RoundTriangle(tri, round - t), [=](float y) { return Mix(a, b, y / n); });
    TColorF ink = Rgb(0x1A1A1A);
    float w = std::max(0.9f, n * 0.062f);
    p.Fill(Capsule(c, n * 0.38f, c, n * 0.63f, w), ink);
    p.Fill(Disc(c, n * 0.76f, w * 1.1f), ink);
    return p.Image();
}

TPixelImage DrawShield(int size) {
    TIconPainter p(size);
    float n = static_cast<float>(size);
    float c = n / 2;
    // Straight sides down to the shoulder, then a round point.
    auto shield = [=](float inset) {
        float top = n * 0.07f + inset, shoulder = n * 0.5f, tip = n * 0.93f - inset * 1.4f;
        float half = n * 0.37f - inset;
        return [=](float x, float y) {
            if (y < top || y > tip)
                return false;
            float h = half;
            if (y > shoulder) {
                float k = (y - shoulder) / (tip - shoulder);
                h = half * std::sqrt(std::max(0.0f, 1 - k * k));
            }
            return std::abs(x - c) <= h;
        };
    };
    float t = std::max(1.0f, n / 16);
    p.Fill(shield(0), Rgb(0x3A3A3A));
    auto inner = shield(t);
    float split = Snap(n * 0.46f);
    TColorF blueTop = Rgb(0x5A93E8), blueBottom = Rgb(0x1E56B4);
    TColorF yellowTop = Rgb(0xFFE066), yellowBottom = Rgb(0xE8A800);
    auto gradient = [=](TColorF a, TColorF b) { return [=](float y) { return Mix(a, b, y / n); }; };
    p.Fill([=](float x, float y) { return inner(x, y) && (x < c) == (y < split); },
           gradient(blueTop, blueBottom));
    p.Fill([=](float x, float y) { return inner(x, y) && (x < c) != (y < split); },
           gradient(yellowTop, yellowBottom));
    return p.Image();
}

TPixelImage DrawApplication(int size) {
    TIconPainter p(size);
    float n = static_cast<float>(size);
    float left = Snap(n * 0.06f), top = Snap(n * 0.12f), right = n - left, bottom = n - top;
    float t = std::max(1.0f, Snap(n / 16));
    p.Fill(Box(left, top, right, bottom), Rgb(0x404040));
    p.Fill(Box(left + t, top + t, right - t, bottom - t), Rgb(0xFFFFFF));
    float bar = std::max(2.0f, Snap(n * 0.19f));
    TColorF a = Rgb(0x0A246A), b = Rgb(0xA6CAF0);
    float from = left + t, to = right - t;
    // The caption runs dark to light from left to right, as classic title bars do.
    for (int x = static_cast<int>(from); x < static_cast<int>(to); ++x) {
        TColorF col = Mix(a, b, (x - from) / std::max(1.0f, to - from - 1));
        p.Fill(Box(static_cast<float>(x), top + t, x + 1.0f, top + t + bar), col);
    }
    return p.Image();
}

} // namespace

const TPixelImage* TIconHandle::ImageFor(int width, int height) const {
    const TPixelImage* best = nullptr;
    for (const TPixelImage& img : Images) {
        if (img.Empty())
            continue;
        bool fits = img.Width >= width && img.Height >= height;
        if (!best) {
            best = &img;
            continue;
        }
        bool bestFits = best->Width >= width && best->Height >= height;
        if (fits && (!bestFits || img.Width * img.Height < best->Width * best->Height))
            best = &img;
        else if (!fits && !bestFits && img.Width * img.Height > best->Width * best->Height)
            best = &img;
    }
    return best;
}

TPixelImage SystemIconImage(int id, int size) {
    if (size < 1 || size > 256)
        return {};
    switch (id) {
    case IDI_APPLICATION:
        return DrawApplication(size);
    case IDI_HAND:
        return DrawError(size);
    case IDI_QUESTION:
        return DrawQuestion(size);
    case IDI_EXCLAMATION:
        return DrawWarning(size);
    case IDI_ASTERISK:
        return DrawInformation(size);
    case IDI_SHIELD:
        return DrawShield(size);
    default:
        return {};
    }
}

HICON LoadIcon(int id) {
    // Drawn on first use and kept for the life of the program, as handles to system icons are shared.
    static std::map<int, std::unique_ptr<TIconHandle>> icons;
    auto it = icons.find(id);
    if (it != icons.end())
        return it->second.get();
    TPixelImage small = SystemIconImage(id, 16);
    if (small.Empty())
        return nullptr;
    auto handle = std::make_unique<TIconHandle>();
    handle->Images.push_back(std::move(small));
    handle->Images.push_back(SystemIconImage(id, 32));
    HICON result = handle.get();
    icons[id] = std::move(handle);
    return result;
}

TPixelImage ScaleIconImage(const TPixelImage& image, int width, int height) {
    if (image.Empty() || width <= 0 || height <= 0)
        return {};
    if (image.Width == width && image.Height == height)
        return image;
    TPixelImage out(width, height);
    // Each target pixel averages the source area it covers (premultiplied, so transparent pixels do not
    // darken the edges); enlarging picks the nearest source pixel.
    for (int y = 0; y < height; ++y) {
        int y0 = y * image.Height / height, y1 = std::max(y0 + 1, (y + 1) * image.Height / height);
        for (int x = 0; x < width; ++x) {
            int x0 = x * image.Width / width, x1 = std::max(x0 + 1, (x + 1) * image.Width / width);
            double a = 0, r = 0, g = 0, b = 0;
            int count = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) {
                    uint32_t p = image.At(sx, sy);
                    double pa = (p >> 24) / 255.0;
                    a += pa;
                    r += pa * ((p >> 16) & 0xFF);
                    g += pa * ((p >> 8) & 0xFF);
                    b += pa * (p & 0xFF);
                    ++count;
                }
            if (a <= 0)
                continue;
            auto channel = [&](double v) {
                return static_cast<uint32_t>(std::lround(std::clamp(v / a, 0.0, 255.0)));
            };
            uint32_t alpha = static_cast<uint32_t>(std::lround(a / count * 255));
            out.Row(y)[x] = (alpha << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
        }
    }
    return out;
}

std::unique_ptr<TIconHandle> CreateIconHandle(const TIcon& icon) {
    if (icon.Empty())
        return nullptr;
    auto handle = std::make_unique<TIconHandle>();
    for (int size : {16, 32}) {
        int index = icon.BestEntry(size, size);
        if (index < 0)
            continue;
        handle->Images.push_back(ScaleIconImage(icon.Entry(index).Image, size, size));
    }
    if (handle->Images.empty() || handle->Images.front().Empty())
        return nullptr;
    return handle;
}

bool DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, uint32_t flags) {
    if (!dc || !icon)
        return false;
    if (cx <= 0 || cy <= 0) {
        const TPixelImage* own = icon->ImageFor(32, 32);
        if (!own)
            return false;
        if (cx <= 0)
            cx = std::min(32, own->Width);
        if (cy <= 0)
            cy = std::min(32, own->Height);
    }
    const TPixelImage* image = icon->ImageFor(cx, cy);
    if (!image || !(flags & DI_NORMAL))
        return false;
    TImageSurface surface(image->Width, image->Height);
    for (int row = 0; row < image->Height; ++row) {
        const uint32_t* src = image->Row(row);
        uint32_t* dst = surface.Row(row);
        for (int col = 0; col < image->Width; ++col) {
            uint32_t p = src[col];
            uint32_t a = p >> 24;
            if ((flags & DI_NORMAL) == DI_MASK) {
                // The mask alone: black where the icon covers, transparent elsewhere.
                dst[col] = a << 24;
                continue;
            }
            if ((flags & DI_NORMAL) == DI_IMAGE)
                a = 255;
            auto premul = [&](uint32_t c) { return (c * a + 127) / 255; };
            dst[col] = (a << 24) | (premul((p >> 16) & 0xFF) << 16) | (premul((p >> 8) & 0xFF) << 8) |
                       premul(p & 0xFF);
        }
    }
    TDeviceContext source(&surface);
    TBlendFunction fn;
    fn.SourceConstantAlpha = 255;
    fn.AlphaFormat = AC_SRC_ALPHA;
    return dc->AlphaBlend(x, y, cx, cy, &source, 0, 0, image->Width, image->Height, fn);
}

bool DrawIcon(HDC dc, int x, int y, HICON icon) {
    return DrawIconEx(dc, x, y, icon, 0, 0, DI_NORMAL);
}

} // namespace plat
