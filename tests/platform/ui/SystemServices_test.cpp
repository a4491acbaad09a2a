#include "platform/ui/SystemServices.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Input.h"

using namespace plat;

TEST(SystemServicesTest, VersionAndVisualStylesAreSettingsTestsCanFlip) {
    EXPECT_FALSE(VisualStylesEnabled());
    EXPECT_GE(GetSystemVersion().Major, 6) << "a newer system";
    SetVisualStylesEnabled(true);
    SetSystemVersion({5, 1, 2600});
    EXPECT_TRUE(VisualStylesEnabled());
    EXPECT_EQ(GetSystemVersion().Minor, 1);
    SetVisualStylesEnabled(false);
    SetSystemVersion({});
    EXPECT_EQ(GetSystemVersion().Major, 10);
}

TEST(SystemServicesTest, KeyNamesForShortcutTexts) {
    const std::pair<uint16_t, const char*> cases[] = {
        {'A', "A"},
        {'7', "7"},
        {VK_F1, "F1"},
        {VK_F12, "F12"},
        {VK_CONTROL, "Ctrl"},
        {VK_RETURN, "Enter"},
        {VK_ESCAPE, "Esc"},
        {VK_NEXT, "Page Down"},
        {VK_NUMPAD0 + 3, "Num 3"},
        {VK_DELETE, "Del"},
        {0xFF, ""},
    };
    for (const auto& [vk, name] : cases)
        EXPECT_EQ(GetKeyNameText(vk), name) << vk;
}

TEST(SystemServicesTest, LockKeyTogglesShowInTheKeyState) {
    TTestDriver driver;
    SetKeyToggled(VK_CAPITAL, true);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
    EXPECT_EQ(GetKeyState(VK_NUMLOCK) & 1, 0);
    SetKeyToggled(VK_CAPITAL, false);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);
}
