// Shared by the chart tool tests: a flat chart in a bitmap with fixed axes, mouse input handed straight
// to the chart's tools, and where the tool pictures go.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ChartTestUtil.h"
#include "chart/PlotTools.h"
#include "platform/testing/TestDriver.h"

namespace charttest {

inline std::filesystem::path ToolsOutputDir() {
    return plat::TestOutputDir("chart-tools");
}

inline void SaveToolPng(TBitmap& Bitmap, const std::string& Name) {
    std::vector<uint8_t> bytes = WritePng(PixelImageFromBitmap(Bitmap));
    std::ofstream out(ToolsOutputDir() / Name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void SaveToolPng(const TImageSurface& Image, const std::string& Name) {
    TTestDriver::SavePng(Image, (ToolsOutputDir() / Name).string());
}

// A chart in a bitmap whose bottom and left axes show 0 .. 10, without legend.
struct TToolChart : TChartPicture {
    explicit TToolChart(int Width = 400, int Height = 300) : TChartPicture(Width, Height) {
        Chart->Legend()->SetVisible(false);
        Chart->BottomAxis()->SetAxisRange(0, 10);
        Chart->LeftAxis()->SetAxisRange(0, 10);
    }
    TChartAxis* Bottom() const { return Chart->BottomAxis(); }
    TChartAxis* Left() const { return Chart->LeftAxis(); }
    TPoint Point(double X, double Y) const {
        return TPoint(Bottom()->ValueToPixel(X), Left()->ValueToPixel(Y));
    }
    const TRect& Rect() const { return Chart->ChartRect(); }
    // The chart hands a mouse message to its tools as its own handlers do (CancelMouse starts clear).
    void Mouse(TChartMouseEventKind Kind, int X, int Y, TMouseButton Button = mbLeft, TShiftState Shift = 0) {
        Chart->SetCancelMouse(false);
        TChartTools* tools = Chart->Tools();
        for (int i = 0; i < tools->Count() && !Chart->CancelMouse(); ++i)
            if (tools->Items(i)->Active())
                tools->Items(i)->ChartMouseEvent(Kind, Button, Shift, X, Y);
    }
    void Mouse(TChartMouseEventKind Kind, TPoint P, TMouseButton Button = mbLeft) {
        Mouse(Kind, P.X, P.Y, Button);
    }
    // The bitmap's pixels, for comparing whole pictures.
    std::vector<uint32_t> Pixels() {
        std::vector<uint32_t> p;
        for (int y = 0; y < Target.Height(); ++y)
            for (int x = 0; x < Target.Width(); ++x)
                p.push_back(Target.Surface().Row(y)[x] & 0xFFFFFF);
        return p;
    }
};

} // namespace charttest
