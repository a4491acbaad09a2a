#include "ui/drawing/KvxStyleIF.h"

#include <gtest/gtest.h>

#include "platform/rtl/ScopeGuard.h"
#include "platform/ui/SystemServices.h"

namespace {

TEST(KvxStyle, OrdinalsAreThoseOfStoredForms) {
    EXPECT_EQ(ui::tsCustom, 8);
    EXPECT_EQ(ui::tsOffice2007Silver, 9);
    EXPECT_STREQ(ui::kKVXStyleNames[9], "tsOffice2007Silver");
}

TEST(KvxStyle, VistaTestFollowsTheReportedSystem) {
    const plat::TSystemVersion saved = plat::GetSystemVersion();
    plat::ScopeGuard restore([&] { plat::SetSystemVersion(saved); });
    EXPECT_TRUE(ui::IsVistaOrLater());
    plat::SetSystemVersion({5, 1, 2600});
    EXPECT_FALSE(ui::IsVistaOrLater());
    plat::SetSystemVersion({6, 0, 6000});
    EXPECT_TRUE(ui::IsVistaOrLater());
}

} // namespace
