#include "platform/rtl/Exception.h"
#include "platform/rtl/Object.h"
#include "platform/rtl/Types.h"

#include <gtest/gtest.h>

using namespace plat;

TEST(Round, HalfGoesToEven) {
    struct Case {
        double in;
        int64_t out;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
                 {2.4999, 2}, {2.5001, 3}, {-7.6, -8}, {1e300, INT64_MAX}, {-1e300, INT64_MIN}};
    for (const auto& c : cases)
        EXPECT_EQ(Round(c.in), c.out) << c.in;
    EXPECT_EQ(Trunc(-2.7), -2);
    EXPECT_EQ(Trunc(2.7), 2);
}

TEST(Rect, RightAndBottomEdgesAreOutside) {
    TRect r(10, 20, 30, 40);
    EXPECT_TRUE(r.Contains({10, 20}));
    EXPECT_FALSE(r.Contains({30, 25}));
    EXPECT_FALSE(r.Contains({15, 40}));
    TRect out;
    EXPECT_FALSE(IntersectRect(out, r, TRect(30, 20, 50, 40)));
    EXPECT_EQ(out, TRect());
    EXPECT_TRUE(IntersectRect(out, r, TRect(25, 0, 50, 25)));
    EXPECT_EQ(out, TRect(25, 20, 30, 25));
}

TEST(Color, SystemColoursMapToClassicPalette) {
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    TColor c = 0;
    ASSERT_TRUE(IdentToColor("clbtnface", c));
    EXPECT_EQ(c, clBtnFace);
    const char* name = nullptr;
    ASSERT_TRUE(ColorToIdent(clNone, name));
    EXPECT_STREQ(name, "clNone");
    EXPECT_FALSE(ColorToIdent(RGB(1, 2, 3), name));
}

TEST(Exception, ReportsItsOwnClassName) {
    try {
        throw EConvertError("bad");
    } catch (const Exception& e) {
        EXPECT_STREQ(e.ClassName(), "EConvertError");
        EXPECT_EQ(e.Message(), "bad");
    }
}
