#include <gtest/gtest.h>

#include <vector>

#include "analysis/UnitTypes.h"
#include "platform/rtl/Exception.h"

using analysis::TPeaksObject;

namespace {

std::vector<int> Peaks(const TPeaksObject& p) {
    std::vector<int> v;
    for (int i = 0; i < p.PeakCount(); ++i)
        v.push_back(p.PeakAt(i));
    return v;
}

std::vector<int> Valleys(const TPeaksObject& p) {
    std::vector<int> v;
    for (int i = 0; i < p.ValleyCount(); ++i)
        v.push_back(p.ValleyAt(i));
    return v;
}

// Peaks 10, 30, 50, 70 with valleys 20, 40, 60 between them, as the peak finder leaves them.
TPeaksObject Found() {
    TPeaksObject p;
    for (int i = 0; i < 4; ++i) {
        p.AddPeak(10 + 20 * i);
        if (i < 3)
            p.AddValley(20 + 20 * i);
    }
    return p;
}

TEST(PeaksObject, StartsEmptyAndAddsInOrder) {
    TPeaksObject p;
    EXPECT_EQ(p.PeakCount(), 0);
    EXPECT_EQ(p.ValleyCount(), 0);
    const TPeaksObject found = Found();
    EXPECT_EQ(Peaks(found), (std::vector<int>{10, 30, 50, 70}));
    EXPECT_EQ(Valleys(found), (std::vector<int>{20, 40, 60}));
}

TEST(PeaksObject, ClearThenAdd) {
    TPeaksObject p = Found();
    p.ClearPeaks();
    EXPECT_EQ(p.ValleyCount(), 0);
    p.AddPeak(7);
    EXPECT_EQ(p.PeakCount(), 1);
    EXPECT_EQ(p.PeakAt(0), 7);
}

TEST(PeaksObject, DeleteByPosition) {
    const struct {
        int Position;
        std::vector<int> Peaks;
    } cases[] = {
        {3, {10, 30, 50}},     {0, {30, 50, 70}},      {1, {10, 50, 70}},
        {4, {10, 30, 50, 70}}, {-1, {10, 30, 50, 70}},
    };
    for (const auto& c : cases) {
        TPeaksObject p = Found();
        p.DeletePeak(c.Position);
        EXPECT_EQ(Peaks(p), c.Peaks) << c.Position;
        EXPECT_EQ(Valleys(p), (std::vector<int>{20, 40, 60}));
    }
    TPeaksObject p = Found();
    p.DeleteValley(1);
    p.DeleteValley(2);
    EXPECT_EQ(Valleys(p), (std::vector<int>{20, 60}));
    EXPECT_EQ(p.PeakCount(), 4);
}

TEST(PeaksObject, TruncateKeepsTheFirstEntries) {
    const struct {
        int N;
        std::vector<int> Valleys;
    } cases[] = {{1, {20}}, {0, {}}, {3, {20, 40, 60}}, {9, {20, 40, 60}}, {-2, {}}};
    for (const auto& c : cases) {
        TPeaksObject p = Found();
        p.TruncateValleys(c.N);
        EXPECT_EQ(Valleys(p), c.Valleys) << c.N;
        EXPECT_EQ(Peaks(p), (std::vector<int>{10, 30, 50, 70}));
    }
    TPeaksObject p = Found();
    p.TruncatePeaks(2);
    EXPECT_EQ(Peaks(p), (std::vector<int>{10, 30}));
    EXPECT_EQ(p.ValleyCount(), 3);
}

TEST(PeaksObject, ReadingOutsideTheListRaises) {
    const TPeaksObject p = Found();
    EXPECT_THROW(p.PeakAt(4), plat::EListError);
    EXPECT_THROW(p.PeakAt(-1), plat::EListError);
    EXPECT_THROW(p.ValleyAt(3), plat::EListError);
}

} // namespace
