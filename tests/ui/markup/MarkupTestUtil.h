// A canvas to lay captions out on, pictures made for the tests, and pixel reads shared by the markup
// tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/rtl/Stream.h"
#include "ui/markup/MarkupText.h"

namespace markuptest {

using namespace plat;

struct TPage {
    TBitmap Bitmap;
    explicit TPage(int w = 400, int h = 200) : Bitmap(w, h, pf32bit) {
        Canvas().Font()->SetName("Arial");
        Canvas().Font()->SetSize(10);
        Canvas().Font()->SetColor(clBlack);
        Clear();
    }
    TCanvas& Canvas() { return *Bitmap.Canvas(); }
    void Clear() {
        Canvas().Brush()->SetColor(clWhite);
        Canvas().Brush()->SetStyle(bsSolid);
        Canvas().FillRect(TRect(0, 0, Bitmap.Width(), Bitmap.Height()));
    }
    TColor At(int x, int y) { return Canvas().Pixels(x, y); }
    int Width(const std::string& text) { return Canvas().TextWidth(text); }
    int Gh() { return Canvas().TextHeight("gh"); }
    // Bounding box of the pixels in r that are not white; empty when there are none.
    TRect Ink(const TRect& r) {
        TRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (At(x, y) != clWhite) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box.Left == INT32_MAX ? TRect() : box;
    }
    int Count(const TRect& r, TColor c) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += At(x, y) == c;
        return n;
    }
};

inline ui::TMarkupResult Measure(TCanvas& canvas, const std::string& text, const TRect& rect,
                                 ui::TMarkupOptions options = {}) {
    options.MeasureOnly = true;
    ui::TMarkupResult result;
    ui::DrawMarkupText(canvas, text, rect, options, result);
    return result;
}

// The BMP file of a w by h picture in one colour.
inline std::vector<uint8_t> BmpBytes(int w, int h, TColor color) {
    TBitmap bitmap(w, h, pf24bit);
    bitmap.Canvas()->Brush()->SetColor(color);
    bitmap.Canvas()->FillRect(TRect(0, 0, w, h));
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    const auto* data = static_cast<const uint8_t*>(stream.Memory());
    return std::vector<uint8_t>(data, data + stream.Size());
}

// A GIF of one pixel with one frame per colour (red, green, blue, white by index), each frame behind its
// graphic control extension.
inline std::vector<uint8_t> GifBytes(const std::vector<int>& frameColors) {
    std::vector<uint8_t> g = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x81, 0, 0};
    const uint8_t table[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    g.insert(g.end(), std::begin(table), std::end(table));
    for (int index : frameColors) {
        const uint8_t frame[] = {0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0,
                                 0,
                                 // minimum code size 2: clear, the pixel, end of information
                                 0x02, 0x02, uint8_t(4 | (index << 3) | (1 << 6)), 0x01, 0x00};
        g.insert(g.end(), std::begin(frame), std::end(frame));
    }
    g.push_back(0x3B);
    return g;
}

inline std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const auto path = std::filesystem::temp_directory_path() / ("lumetra_markup_" + name);
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SaveToFile(path.string());
    return path.string();
}

} // namespace markuptest
