#include "platform/rtl/List.h"

#include <cstdint>
#include <functional>
#include <random>

#include <gtest/gtest.h>

#include "platform/rtl/Exception.h"

using namespace plat;

namespace {
void* P(intptr_t v) {
    return reinterpret_cast<void*>(v);
}
intptr_t V(void* p) {
    return reinterpret_cast<intptr_t>(p);
}

std::vector<intptr_t> Values(const TList& list) {
    std::vector<intptr_t> values;
    for (int i = 0; i < list.Count(); ++i)
        values.push_back(V(list[i]));
    return values;
}
} // namespace

TEST(TList, IndexErrorsNameTheIndex) {
    TList list;
    list.Add(P(1));
    list.Add(P(2));
    const struct {
        std::function<void()> op;
        const char* message;
    } cases[] = {
        {[&] { list.Get(2); }, "List index out of bounds (2)"},
        {[&] { list.Get(-1); }, "List index out of bounds (-1)"},
        {[&] { list.Put(5, nullptr); }, "List index out of bounds (5)"},
        {[&] { list.Delete(2); }, "List index out of bounds (2)"},
        {[&] { list.Insert(3, nullptr); }, "List index out of bounds (3)"},
        {[&] { list.Exchange(0, 2); }, "List index out of bounds (2)"},
        {[&] { list.Move(-1, 0); }, "List index out of bounds (-1)"},
        {[&] { list.SetCapacity(1); }, "List capacity out of bounds (1)"},
        {[&] { list.SetCount(-1); }, "List count out of bounds (-1)"},
    };
    for (const auto& c : cases) {
        try {
            c.op();
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    EXPECT_EQ(Values(list), (std::vector<intptr_t>{1, 2}));

    TList empty;
    EXPECT_THROW(empty.First(), EListError);
    EXPECT_THROW(empty.Last(), EListError);
}

TEST(TList, EditingOperations) {
    TList list;
    for (intptr_t v : {1, 2, 3, 4})
        list.Add(P(v));
    list.Insert(4, P(5)); // at the end is allowed
    list.Insert(0, P(0));
    EXPECT_EQ(Values(list), (std::vector<intptr_t>{0, 1, 2, 3, 4, 5}));
    list.Move(0, 5);
    EXPECT_EQ(Values(list), (std::vector<intptr_t>{1, 2, 3, 4, 5, 0}));
    list.Move(4, 1);
    EXPECT_EQ(Values(list), (std::vector<intptr_t>{1, 5, 2, 3, 4, 0}));
    list.Exchange(0, 5);
    EXPECT_EQ(Values(list), (std::vector<intptr_t>{0, 5, 2, 3, 4, 1}));
    EXPECT_EQ(list.Remove(P(3)), 3);
    EXPECT_EQ(list.Remove(P(3)), -1);
    EXPECT_EQ(list.Extract(P(5)), P(5));
    EXPECT_EQ(list.Extract(P(42)), nullptr);
    EXPECT_EQ(Values(list), (std::vector<intptr_t>{0, 2, 4, 1}));
    EXPECT_EQ(V(list.First()), 0);
    EXPECT_EQ(V(list.Last()), 1);

    list.SetCount(6);
    EXPECT_EQ(list[5], nullptr);
    list.Pack();
    EXPECT_EQ(Values(list), (std::vector<intptr_t>{2, 4, 1}));
    list.SetCapacity(100);
    EXPECT_GE(list.Capacity(), 100);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(TList, SortIsStableAndSurvivesInconsistentComparisons) {
    TList list;
    // Value / 10 is the key; the last digit records the original order.
    for (intptr_t v : {31, 10, 32, 20, 11, 33, 21})
        list.Add(P(v));
    list.Sort([](void* a, void* b) { return static_cast<int>(V(a) / 10 - V(b) / 10); });
    EXPECT_EQ(Values(list), (std::vector<intptr_t>{10, 11, 20, 21, 31, 32, 33}));

    // A comparison that answers at random must not take the sort outside the list.
    TList big;
    for (intptr_t v = 1; v <= 500; ++v)
        big.Add(P(v));
    static std::mt19937 rng(7);
    big.Sort([](void*, void*) { return static_cast<int>(rng() % 3) - 1; });
    std::vector<intptr_t> values = Values(big);
    std::sort(values.begin(), values.end());
    for (intptr_t v = 1; v <= 500; ++v)
        ASSERT_EQ(values[static_cast<size_t>(v - 1)], v);
}
