#include "platform/gfx/Surface.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace plat {
namespace {

// Small surfaces and those large enough for a memory mapping of their own must behave alike: black when
// made, the overlapping top-left kept and the rest black when resized, whichever way the size crosses.
struct TResize {
    const char* Name;
    int W0, H0, W1, H1;
};

const TResize kResizes[] = {
    {"SmallGrows", 30, 20, 50, 40},         {"SmallToLarge", 30, 20, 1100, 720},
    {"LargeToSmall", 1100, 720, 30, 20},    {"LargeToLarger", 826, 607, 1920, 1080},
    {"LargeNarrower", 1100, 720, 700, 900},
};

class SurfaceResizeTest : public testing::TestWithParam<TResize> {};

uint32_t Mark(int x, int y) {
    return 0xFF000000u | static_cast<uint32_t>(x * 131 + y * 7919);
}

TEST_P(SurfaceResizeTest, KeepsTheOverlapAndIsBlackElsewhere) {
    const TResize& c = GetParam();
    TImageSurface s(c.W0, c.H0);
    for (int y = 0; y < c.H0; ++y)
        for (int x = 0; x < c.W0; ++x) {
            ASSERT_EQ(s.Row(y)[x], 0u) << x << "," << y;
            s.Row(y)[x] = Mark(x, y);
        }
    s.SetSize(c.W1, c.H1);
    ASSERT_EQ(s.Width(), c.W1);
    ASSERT_EQ(s.Height(), c.H1);
    for (int y = 0; y < c.H1; ++y)
        for (int x = 0; x < c.W1; ++x) {
            const bool kept = x < c.W0 && y < c.H0;
            ASSERT_EQ(s.Row(y)[x], kept ? Mark(x, y) : 0u) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Sizes, SurfaceResizeTest, testing::ValuesIn(kResizes),
                         [](const testing::TestParamInfo<TResize>& i) { return std::string(i.param.Name); });

} // namespace
} // namespace plat
