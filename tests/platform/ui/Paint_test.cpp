#include "platform/ui/Paint.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/testing/TestDriver.h"
#include "platform/ui/UiTestUtil.h"

using namespace plat;
using namespace uitest;

namespace {

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterRecorder(CS_DBLCLKS, clWhite);
        FTop = Top(Bounds(200, 100, 300, 200), WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
        Rec().PaintColor[FTop] = clBlue;
        Driver.Pump();
        Rec().Log.clear();
    }

    TTestDriver Driver;
    HWND FTop = nullptr;
};

} // namespace

TEST_F(PaintTest, InvalidatingPaintsOnceAndTheImageShowsIt) {
    EXPECT_EQ(Driver.Pixel(FTop, 10, 10), clBlue);
    InvalidateRect(FTop, nullptr, true);
    TRect part(0, 0, 20, 20);
    InvalidateRect(FTop, &part, false);
    EXPECT_EQ(Rec().Count(FTop, WM_PAINT), 0) << "painting waits for the loop";
    Driver.Pump();
    EXPECT_EQ(Rec().Count(FTop, WM_PAINT), 1) << "two invalidations, one paint";
    Rec().Log.clear();
    InvalidateRect(FTop, nullptr, false);
    ValidateRect(FTop, nullptr);
    Driver.Pump();
    EXPECT_EQ(Rec().Count(FTop, WM_PAINT), 0);

    // Erasing comes first, inside BeginPaint, with the class background.
    Rec().PaintColor.erase(FTop);
    Rec().Answers[{FTop, WM_PAINT}] = [&](WPARAM, LPARAM) -> LRESULT {
        TPaintStruct ps;
        HDC dc = BeginPaint(FTop, ps);
        EXPECT_EQ(ps.rcPaint, TRect(5, 5, 15, 15));
        EXPECT_EQ(dc->GetPixel(6, 6), clWhite) << "erased before the paint";
        EndPaint(FTop, ps);
        return 0;
    };
    TRect small(5, 5, 15, 15);
    InvalidateRect(FTop, &small, true);
    Driver.Pump();
    EXPECT_EQ(Rec().Of(FTop, {WM_ERASEBKGND, WM_PAINT}), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
    EXPECT_EQ(Driver.Pixel(FTop, 6, 6), clWhite);
    EXPECT_EQ(Driver.Pixel(FTop, 20, 20), clBlue) << "outside the invalid area nothing changed";
}

TEST_F(PaintTest, ParentsPaintAroundChildrenAndSiblingsOverlapInOrder) {
    HWND lower = Child(FTop, Bounds(20, 20, 100, 100));
    HWND upper = Child(FTop, Bounds(60, 60, 100, 100));
    Rec().PaintColor[lower] = clRed;
    Rec().PaintColor[upper] = clLime;
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(FTop, 30, 30), clRed);
    EXPECT_EQ(Driver.Pixel(FTop, 80, 80), clLime) << "the upper sibling covers the lower one";
    EXPECT_EQ(Driver.Pixel(FTop, 200, 180), clBlue);
    // Repainting the parent and the lower child leaves the upper child's pixels alone.
    InvalidateRect(FTop, nullptr, true);
    InvalidateRect(lower, nullptr, true);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(FTop, 80, 80), clLime);
    EXPECT_EQ(Driver.Pixel(FTop, 30, 30), clRed);
    // Moving the upper child uncovers the lower one, which paints again.
    MoveWindow(upper, 200, 100, 50, 50, true);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(FTop, 80, 80), clRed);
    EXPECT_EQ(Driver.Pixel(FTop, 210, 110), clLime);
    // Hiding it shows the parent again.
    ShowWindow(upper, SW_HIDE);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(FTop, 210, 110), clBlue);
}

TEST_F(PaintTest, DrawingOutsidePaintStaysInsideTheWindowsVisibleArea) {
    HWND chart = Child(FTop, Bounds(10, 10, 100, 80));
    HWND cover = Child(FTop, Bounds(50, 10, 100, 80));
    Rec().PaintColor[chart] = clWhite;
    Rec().PaintColor[cover] = clYellow;
    Driver.Pump();
    HDC dc = GetDC(chart);
    // Whatever clipping the caller chooses, the covering sibling keeps its pixels.
    dc->SelectClipRgn(nullptr);
    dc->FillSolidRect(TRect(-50, -50, 500, 500), clRed);
    dc->IntersectClipRect(0, 0, 10, 10);
    dc->FillSolidRect(TRect(0, 0, 100, 100), clBlack);
    ReleaseDC(chart, dc);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(chart, 5, 5), clBlack);
    EXPECT_EQ(Driver.Pixel(chart, 20, 5), clRed);
    EXPECT_EQ(Driver.Pixel(FTop, 70, 20), clYellow);
    EXPECT_EQ(Driver.Pixel(FTop, 5, 5), clBlue);
    EXPECT_EQ(Driver.Pixel(FTop, 30, 100), clBlue);
    if (Driver.IsHeadless()) {
        EXPECT_GT(Driver.Backend().Presents(), 0);
    }
}

TEST_F(PaintTest, UpdateWindowPaintsNowAndScrollingMovesPixels) {
    HWND w = Child(FTop, Bounds(0, 0, 100, 100), WS_VISIBLE);
    Driver.Pump();
    // Stripes: row y gets colour y.
    HDC dc = GetDC(w);
    for (int y = 0; y < 100; ++y)
        dc->FillSolidRect(TRect(0, y, 100, y + 1), RGB(y, 0, 0));
    ReleaseDC(w, dc);
    Rec().Log.clear();
    TRegion update;
    ScrollWindowEx(w, 0, -10, nullptr, nullptr, &update, nullptr, SW_INVALIDATE);
    EXPECT_EQ(update.Bounds(), TRect(0, 90, 100, 100));
    HDC check = GetDC(w);
    EXPECT_EQ(check->GetPixel(5, 0), RGB(10, 0, 0));
    EXPECT_EQ(check->GetPixel(5, 89), RGB(99, 0, 0));
    ReleaseDC(w, check);
    EXPECT_EQ(Rec().Count(w, WM_PAINT), 0);
    Rec().PaintColor[w] = clGreen;
    UpdateWindow(w);
    EXPECT_EQ(Rec().Count(w, WM_PAINT), 1) << "painted before UpdateWindow returned";
    EXPECT_EQ(Driver.Pixel(w, 5, 95), clGreen);
    EXPECT_EQ(Driver.Pixel(w, 5, 50), RGB(60, 0, 0));

    // Scrolling with children moves them too.
    HWND inner = Child(w, Bounds(10, 50, 20, 20));
    ScrollWindowEx(w, 5, -20, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_SCROLLCHILDREN);
    EXPECT_EQ(GetWindowBounds(inner), Bounds(15, 30, 20, 20));
}

TEST_F(PaintTest, FramesAreDrawnWithTheClassicCaptionAndScreenshotsCanBeSaved) {
    UI_HEADLESS_ONLY(Driver);
    HWND frame = Top(Bounds(700, 100, 260, 160), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, "Frame");
    Rec().PaintColor[frame] = clWhite;
    Driver.Pump();
    auto image = Driver.Render(frame);
    ASSERT_EQ(image->Width(), 260);
    // The caption bar starts in the active caption colour after the frame.
    EXPECT_EQ(TTestDriver::PixelOf(*image, 4, 5), ColorToRGB(clActiveCaption));
    EXPECT_EQ(TTestDriver::PixelOf(*image, 100, 100), clWhite);
    SetActiveWindow(FTop);
    Driver.Pump();
    auto inactive = Driver.Render(frame);
    EXPECT_EQ(TTestDriver::PixelOf(*inactive, 4, 5), ColorToRGB(clInactiveCaption));
    std::string path = TTestDriver::SavePng(*image, "paint-frame.png");
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(PaintTest, AWindowGetsItsImageMemoryOnlyWhenFirstPaintedAndAtItsFinalSize) {
    // Forms are made hidden and sized while they load; many are never shown in a run.
    HWND hidden = Top(Bounds(10, 10, 320, 240), WS_POPUP);
    SetWindowPos(hidden, nullptr, 0, 0, 300, 160, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Driver.Pump();
    EXPECT_EQ(GetWindowImage(hidden), nullptr) << "nothing drawn, nothing held";
    Rec().PaintColor[hidden] = clRed;
    ShowWindow(hidden, SW_SHOWNOACTIVATE);
    Driver.Pump();
    const TImageSurface* image = GetWindowImage(hidden);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 300);
    EXPECT_EQ(image->Height(), 160);
    EXPECT_EQ(Driver.Pixel(hidden, 290, 150), clRed);
}
