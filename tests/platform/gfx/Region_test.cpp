#include "platform/gfx/Region.h"

#include <gtest/gtest.h>

using namespace plat;

namespace {
// Pixel-by-pixel membership over a window, for comparing against a direct definition.
std::string Pixels(const TRegion& r, int w, int h) {
    std::string s;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            s += r.Contains(x, y) ? '#' : '.';
        s += '\n';
    }
    return s;
}
} // namespace

TEST(Region, CombineGivesExactPixelsAndKinds) {
    TRegion a = TRegion::FromRect(0, 0, 6, 4);
    TRegion b = TRegion::FromRect(3, 2, 8, 6);
    struct Case {
        int mode;
        int kind;
        bool (*inside)(bool, bool);
    };
    Case cases[] = {
        {RGN_AND, SIMPLEREGION, [](bool p, bool q) { return p && q; }},
        {RGN_OR, COMPLEXREGION, [](bool p, bool q) { return p || q; }},
        {RGN_XOR, COMPLEXREGION, [](bool p, bool q) { return p != q; }},
        {RGN_DIFF, COMPLEXREGION, [](bool p, bool q) { return p && !q; }},
        {RGN_COPY, SIMPLEREGION, [](bool p, bool) { return p; }},
    };
    for (auto& c : cases) {
        TRegion out;
        EXPECT_EQ(out.Combine(a, b, c.mode), c.kind) << c.mode;
        for (int y = -1; y < 8; ++y)
            for (int x = -1; x < 10; ++x)
                EXPECT_EQ(out.Contains(x, y), c.inside(a.Contains(x, y), b.Contains(x, y)))
                    << "mode " << c.mode << " at " << x << "," << y;
    }
    TRegion none;
    EXPECT_EQ(none.Combine(a, TRegion::FromRect(10, 10, 12, 12), RGN_AND), NULLREGION);
    EXPECT_TRUE(none.IsEmpty());
    // Combining into one of the operands works too.
    TRegion c = a;
    c.Combine(c, b, RGN_OR);
    EXPECT_EQ(c.Bounds(), TRect(0, 0, 8, 6));
    // Two halves joined give the same region as the whole rectangle (bands are coalesced).
    TRegion left = TRegion::FromRect(0, 0, 5, 5), right = TRegion::FromRect(5, 0, 10, 5), whole;
    whole.Combine(left, right, RGN_OR);
    EXPECT_TRUE(EqualRgn(whole, TRegion::FromRect(0, 0, 10, 5)));
    EXPECT_EQ(whole.Kind(), SIMPLEREGION);
}

TEST(Region, TestsOffsetAndBox) {
    TRegion r = TRegion::FromRect(10, 20, 30, 40);
    EXPECT_TRUE(PtInRegion(r, 10, 20));
    EXPECT_FALSE(PtInRegion(r, 30, 20));
    EXPECT_FALSE(PtInRegion(r, 10, 40));
    EXPECT_TRUE(RectInRegion(r, TRect(29, 39, 50, 50)));
    EXPECT_FALSE(RectInRegion(r, TRect(30, 40, 50, 50)));
    EXPECT_EQ(OffsetRgn(r, -10, 5), SIMPLEREGION);
    TRect box;
    EXPECT_EQ(GetRgnBox(r, box), SIMPLEREGION);
    EXPECT_EQ(box, TRect(0, 25, 20, 45));
    // Corners given the wrong way round still make the rectangle.
    EXPECT_TRUE(EqualRgn(CreateRectRgn(5, 5, 0, 0), CreateRectRgn(0, 0, 5, 5)));
}

TEST(Region, EllipseRoundRectAndPolygonShapes) {
    TRegion e = CreateEllipticRgn(0, 0, 8, 6);
    EXPECT_EQ(Pixels(e, 8, 6), "..####..\n"
                               ".######.\n"
                               "########\n"
                               "########\n"
                               ".######.\n"
                               "..####..\n");
    TRegion rr = CreateRoundRectRgn(0, 0, 10, 6, 4, 4);
    EXPECT_FALSE(rr.Contains(0, 0));
    EXPECT_TRUE(rr.Contains(5, 0));
    EXPECT_TRUE(rr.Contains(0, 3));
    EXPECT_EQ(rr.Bounds(), TRect(0, 0, 10, 6));

    // A pentagram: its centre is outside with alternate filling and inside with winding.
    TPoint star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
    TRegion alt = CreatePolygonRgn(star, ALTERNATE), wind = CreatePolygonRgn(star, WINDING);
    EXPECT_FALSE(alt.Contains(10, 10));
    EXPECT_TRUE(wind.Contains(10, 10));
    EXPECT_TRUE(alt.Contains(10, 3));
    // A polygon covers the pixels whose centres lie inside: a square of corners 0..4 is 4 by 4.
    TPoint sq[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    EXPECT_TRUE(EqualRgn(CreatePolygonRgn(sq, ALTERNATE), CreateRectRgn(0, 0, 4, 4)));
}

TEST(Region, TwoRectanglesMeetInOneRectangleOrNone) {
    const TRect base(2, 2, 8, 6);
    struct Case {
        TRect other, meet;
    };
    const Case cases[] = {
        {TRect(5, 4, 12, 9), TRect(5, 4, 8, 6)}, // overlapping corner
        {TRect(0, 0, 10, 10), base},             // covering
        {TRect(3, 3, 4, 4), TRect(3, 3, 4, 4)},  // inside
        {TRect(8, 2, 10, 6), TRect()},           // touching the right edge only
        {TRect(2, 6, 8, 7), TRect()},            // touching the bottom edge only
        {TRect(20, 20, 30, 30), TRect()},        // apart
        {TRect(), TRect()},                      // empty operand
    };
    for (const Case& c : cases) {
        for (bool swapped : {false, true}) {
            TRegion a(base), b(c.other), out = TRegion::FromRect(0, 0, 1, 1); // out starts non-empty
            const int kind = swapped ? out.Combine(b, a, RGN_AND) : out.Combine(a, b, RGN_AND);
            EXPECT_EQ(kind, c.meet.IsEmpty() ? NULLREGION : SIMPLEREGION);
            EXPECT_TRUE(out == TRegion(c.meet)) << Pixels(out, 12, 10);
            EXPECT_EQ(out.Bounds(), c.meet);
        }
        // Into an operand: the result must not be computed from the half-written operand.
        TRegion a(base);
        a.Combine(a, TRegion(c.other), RGN_AND);
        EXPECT_TRUE(a == TRegion(c.meet)) << Pixels(a, 12, 10);
    }
}
