#include "platform/rtl/ScopeGuard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace plat;

TEST(ScopeGuardTest, RunsOnceOnEveryExitUnlessDismissed) {
    int runs = 0;
    {
        ScopeGuard guard([&] { ++runs; });
    }
    EXPECT_EQ(runs, 1);
    EXPECT_THROW(
        {
            ScopeGuard guard([&] { ++runs; });
            throw std::runtime_error("x");
        },
        std::runtime_error);
    EXPECT_EQ(runs, 2);
    {
        ScopeGuard guard([&] { ++runs; });
        guard.Dismiss();
    }
    EXPECT_EQ(runs, 2);
    // Moving hands the duty on: the action runs once, when the last owner ends.
    auto make = [&] { return ScopeGuard([&] { ++runs; }); };
    {
        auto outer = make();
        auto moved = std::move(outer);
        EXPECT_FALSE(outer.Active());
        EXPECT_EQ(runs, 2);
    }
    EXPECT_EQ(runs, 3);
}

TEST(ScopeGuardTest, AFailingActionNeverHidesTheExceptionAlreadyUnwinding) {
    try {
        ScopeGuard guard([] { throw std::logic_error("restore failed"); });
        throw std::runtime_error("first fault");
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "first fault");
    }
    // Without another exception in flight the action's own failure is reported.
    EXPECT_THROW({ ScopeGuard guard([] { throw std::logic_error("restore failed"); }); }, std::logic_error);
}

TEST(ScopeGuardTest, RestorersPutStateBackAlsoWhenUnwinding) {
    std::string text = "old";
    unsigned flags = 0x1;
    int depth = 0;
    EXPECT_THROW(
        {
            TemporaryChange change(text, std::string("new"));
            TemporaryFlags set(flags, 0x6u);
            ScopedCount count(depth);
            EXPECT_EQ(text, "new");
            EXPECT_EQ(change.OldValue(), "old");
            EXPECT_EQ(flags, 0x7u);
            EXPECT_EQ(depth, 1);
            throw std::runtime_error("x");
        },
        std::runtime_error);
    EXPECT_EQ(text, "old");
    EXPECT_EQ(flags, 0x1u);
    EXPECT_EQ(depth, 0);
    // A bit an outer scope set stays set when an inner scope that set it again ends.
    {
        TemporaryFlags outer(flags, 0x2u);
        { TemporaryFlags inner(flags, 0x2u); }
        EXPECT_EQ(flags, 0x3u);
    }
    EXPECT_EQ(flags, 0x1u);
}
