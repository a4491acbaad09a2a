#include "platform/ui/ControlSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/gfx/DeviceContext.h"

using namespace plat;

TEST(ControlSupport, APaintScopeGivesTheCanvasBackEvenWhenPaintingThrows) {
    TCanvas canvas;
    TDeviceContext dc;
    {
        TCanvasPaintScope scope(canvas, &dc);
        EXPECT_EQ(canvas.LockCount(), 1);
        EXPECT_TRUE(canvas.HandleAllocated());
    }
    EXPECT_EQ(canvas.LockCount(), 0);
    EXPECT_FALSE(canvas.HandleAllocated());

    EXPECT_THROW(
        {
            TCanvasPaintScope scope(canvas, &dc);
            throw std::runtime_error("cannot draw");
        },
        std::runtime_error);
    EXPECT_EQ(canvas.LockCount(), 0) << "a failed paint leaves the canvas unlocked for other threads";
    EXPECT_FALSE(canvas.HandleAllocated()) << "nor does the canvas keep the borrowed context";
}

TEST(ControlSupport, WheelTurnsScrollThreeLinesANotch) {
    struct Case {
        int Delta, Lines;
    } cases[] = {
        {120, 3}, {-120, -3}, {360, 9}, {-240, -6},
        {30, 3},  {-30, -3},  {150, 3}, // a partial notch still moves; a notch and a bit is one notch
        {0, 0},                         // no turn, no scroll
    };
    for (const Case& c : cases)
        EXPECT_EQ(WheelScrollLines(c.Delta), c.Lines) << "delta " << c.Delta;
}
