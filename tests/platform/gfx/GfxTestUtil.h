// Small helpers shared by the drawing tests: a surface with a context, pixel reads, and where sample
// pictures go.
#pragma once

#include <filesystem>
#include <string>

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/PixelLine.h"
#include "platform/testing/TestOutput.h"

namespace gfxtest {

using namespace plat;

struct TScene {
    TImageSurface Surface;
    TDeviceContext Dc;
    TScene(int w, int h, TColor background = clWhite) : Surface(w, h), Dc(&Surface) { Clear(background); }
    void Clear(TColor c) {
        for (int y = 0; y < Surface.Height(); ++y)
            for (int x = 0; x < Surface.Width(); ++x)
                Surface.Row(y)[x] = ColorToPixel(c);
    }
    TColor At(int x, int y) const { return PixelToColor(Surface.Row(y)[x] & 0x00FFFFFF); }
    // A reproducible pattern so raster operations meet every kind of bit.
    void Noise(unsigned seed = 1) {
        for (int y = 0; y < Surface.Height(); ++y)
            for (int x = 0; x < Surface.Width(); ++x) {
                seed = seed * 1103515245u + 12345u;
                Surface.Row(y)[x] = (seed >> 8) & 0x00FFFFFF;
            }
    }
    std::vector<uint32_t> Snapshot() const {
        std::vector<uint32_t> out;
        for (int y = 0; y < Surface.Height(); ++y)
            for (int x = 0; x < Surface.Width(); ++x)
                out.push_back(Surface.Row(y)[x] & 0x00FFFFFF);
        return out;
    }
    // Pixels of row y from x0 to x1 (exclusive) as '#' where the colour is c and '.' elsewhere.
    std::string RowMask(int y, int x0, int x1, TColor c) const {
        std::string s;
        for (int x = x0; x < x1; ++x)
            s += At(x, y) == c ? '#' : '.';
        return s;
    }
    // Bounding box of the pixels that differ from c.
    TRect InkBox(TColor c) const {
        TRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
        for (int y = 0; y < Surface.Height(); ++y)
            for (int x = 0; x < Surface.Width(); ++x)
                if (At(x, y) != c) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box.Left == INT32_MAX ? TRect() : box;
    }
};

// The build's test-output folder for sample pictures, <build>/test-output/gfx.
inline std::string OutputDir() {
    return plat::TestOutputDir("gfx");
}

} // namespace gfxtest
