#include "platform/rtl/Clock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <thread>

using namespace plat;

TEST(Clock, FakeClockDrivesTicksAndDates) {
    TFakeClock clock(1000, EncodeDate(2024, 6, 15) + EncodeTime(23, 59, 0, 0));
    {
        TScopedClock scope(clock);
        EXPECT_EQ(&SystemClock(), &clock);
        EXPECT_EQ(GetTickCount64(), 1000u);
        clock.Advance(60000);
        EXPECT_EQ(GetTickCount(), 61000u);
        EXPECT_EQ(Date(), EncodeDate(2024, 6, 16));
        EXPECT_NEAR(Time(), 0, 1e-9);
        EXPECT_EQ(FormatDateTime("yymmdd_hhmmss", Now()), "240616_000000");
        // Setting the wall time leaves the monotonic time alone, and both move on together.
        clock.SetLocalNow(EncodeDate(2020, 1, 1));
        EXPECT_EQ(GetTickCount64(), 61000u);
        clock.Advance(1500);
        EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", Now()), "2020-01-01 00:00:01.500");
    }
    EXPECT_EQ(&SystemClock(), &RealClock());
}

TEST(Clock, TickCountWrapsAndDifferencesStayRight) {
    TFakeClock clock(0xFFFFFFF0ull);
    TScopedClock scope(clock);
    uint32_t start = GetTickCount();
    EXPECT_EQ(start, 0xFFFFFFF0u);
    clock.Advance(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
    EXPECT_EQ(static_cast<uint32_t>(GetTickCount() - start), 0x20u);
    EXPECT_EQ(GetTickCount64(), 0x100000010ull);
}

TEST(Clock, RealClockMatchesTheSystem) {
    EXPECT_EQ(SetClock(nullptr), &RealClock());
    uint64_t a = GetTickCount64();
    uint64_t b = GetTickCount64();
    EXPECT_LE(a, b);
    time_t t = time(nullptr);
    tm local{};
    localtime_r(&t, &local);
    TDateTime expected = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
                         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, 0);
    EXPECT_NEAR(Now(), expected, 5.0 / SecsPerDay);
}

TEST(Clock, FakeClockIsSafeToReadWhileAdvanced) {
    TFakeClock clock;
    std::thread reader([&] {
        uint64_t last = 0;
        for (int i = 0; i < 100000; ++i) {
            uint64_t now = clock.MonotonicMilliseconds();
            ASSERT_GE(now, last);
            last = now;
        }
    });
    for (int i = 0; i < 100000; ++i)
        clock.Advance(1);
    reader.join();
    EXPECT_EQ(clock.MonotonicMilliseconds(), 100000u);
}
