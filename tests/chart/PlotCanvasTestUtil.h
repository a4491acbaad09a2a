// Shared by the drawing-surface tests: a chart surface drawing into a white bitmap, pixel reads, and
// where sample pictures go.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "chart/PlotCanvas.h"
#include "platform/gfx/PixelLine.h"
#include "platform/gfx/PngImage.h"
#include "platform/testing/TestOutput.h"

namespace charttest {

using namespace plat;
using namespace chart;

// A TPlotCanvas3D drawing straight into Target (not buffered), flat unless Init3D is called.
struct TSurface {
    TBitmap Target;
    TPlotCanvas3D Canvas;

    TSurface(int w, int h, TColor background = clWhite) : Target(w, h) {
        Fill(background);
        Canvas.SetBuffered(false);
        Canvas.InitWindow(Target.Canvas(), nullptr, clWhite, false, TRect(0, 0, w, h));
        Canvas.ResetToDefaults();
    }
    void Fill(TColor c) {
        TCanvas* cv = Target.Canvas();
        cv->Brush()->SetStyle(bsSolid);
        cv->Brush()->SetColor(c);
        cv->FillRect(TRect(0, 0, Target.Width(), Target.Height()));
    }
    // Prepares a 3D projection over the whole bitmap with the given depth.
    void Init3D(TView3DOptions& options, int depth) {
        TRect r(0, 0, Target.Width(), Target.Height());
        Canvas.InitWindow(Target.Canvas(), &options, clWhite, true, r);
        Canvas.CalcCenter(depth, r);
    }
    TColor At(int x, int y) { return PixelToColor(Target.Surface().Row(y)[x] & 0xFFFFFF); }
    // Number of pixels of colour c inside r.
    int Count(TColor c, const TRect& r) {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += At(x, y) == c;
        return n;
    }
    // Bounding box of the pixels that differ from c.
    TRect InkBox(TColor c) {
        TRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
        for (int y = 0; y < Target.Height(); ++y)
            for (int x = 0; x < Target.Width(); ++x)
                if (At(x, y) != c) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box.Left == INT32_MAX ? TRect() : box;
    }
};

inline std::filesystem::path OutputDir() {
    return plat::TestOutputDir("chart");
}

inline void SavePng(TBitmap& bitmap, const std::string& name) {
    std::vector<uint8_t> bytes = WritePng(PixelImageFromBitmap(bitmap));
    std::ofstream out(OutputDir() / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

} // namespace charttest
