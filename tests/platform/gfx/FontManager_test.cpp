#include "platform/gfx/FontManager.h"

#include <gtest/gtest.h>

#include <thread>

using namespace plat;

// Printing and exports realise fonts beside the GUI thread; the shared caches must hold up to that.
TEST(FontManager, FamiliesAndFontsResolveAlikeFromManyThreads) {
    auto& fm = TFontManager::Instance();
    const char* names[] = {"Arial", "Tahoma", "Courier New", "Times New Roman", "Verdana", "Segoe UI"};
    std::vector<std::string> expected;
    for (const char* n : names)
        expected.push_back(fm.MapFamily(n));
    std::vector<std::vector<std::string>> seen(6);
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 40; ++round) {
                // Names nobody asked for before, so the family cache keeps growing while others read it.
                std::string fresh = "Unknown Family " + std::to_string(t) + "-" + std::to_string(round);
                if (fm.MapFamily(fresh) != fresh)
                    seen[t].push_back("unmapped name changed: " + fresh);
                TLogFont lf;
                lf.FaceName = names[(t + round) % 6];
                lf.Height = -(8 + round % 7);
                auto font = fm.Realize(lf);
                if (!font || font->Metrics.tmHeight <= 0)
                    seen[t].push_back("no font for " + lf.FaceName);
                seen[t].push_back(fm.MapFamily(names[round % 6]));
            }
        });
    for (auto& th : threads)
        th.join();
    for (int t = 0; t < 6; ++t) {
        ASSERT_EQ(seen[t].size(), 40u);
        for (int round = 0; round < 40; ++round)
            EXPECT_EQ(seen[t][round], expected[round % 6]);
    }
}

// Text that switches fonts word by word (bold words in a caption) must not look each font up again
// whenever no context holds it any more.
TEST(FontManager, RecentlyRealisedFontsOutliveTheirUsers) {
    auto& fm = TFontManager::Instance();
    TLogFont lf;
    lf.FaceName = "Arial";
    lf.Height = -17;
    lf.Weight = 700;
    std::weak_ptr<const TFontInstance> bold = fm.Realize(lf);
    lf.Weight = 400;
    fm.Realize(lf);
    ASSERT_FALSE(bold.expired());
    lf.Weight = 700;
    EXPECT_EQ(fm.Realize(lf), bold.lock());
}
