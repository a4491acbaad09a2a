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
    UI_HEADLESS_ONLY(driver); // a real keyboard's lock state overrides what is set
    SetKeyToggled(VK_CAPITAL, true);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
    EXPECT_EQ(GetKeyState(VK_NUMLOCK) & 1, 0);
    SetKeyToggled(VK_CAPITAL, false);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);
}

TEST(SystemServicesTest, BeepsRingTheDisplaysBell) {
    TTestDriver driver;
    UI_HEADLESS_ONLY(driver);
    int before = driver.Backend().Bells();
    EXPECT_TRUE(MessageBeep(0));
    EXPECT_TRUE(MessageBeep(0xFFFFFFFF));
    EXPECT_TRUE(Beep(750, 300));
    EXPECT_EQ(driver.Backend().Bells(), before + 3);
}

TEST(SystemServicesTest, LockKeysToggleWithTheirKeysOnTheVirtualScreen) {
    TTestDriver driver;
    UI_HEADLESS_ONLY(driver);
    SetKeyToggled(VK_NUMLOCK, false);
    driver.PressKey(VK_NUMLOCK);
    EXPECT_EQ(GetKeyState(VK_NUMLOCK) & 1, 1);
    EXPECT_EQ(GetAsyncKeyState(VK_NUMLOCK) & 0x8000, 0) << "released again";
    driver.PressKey(VK_NUMLOCK);
    EXPECT_EQ(GetKeyState(VK_NUMLOCK) & 1, 0);
    SetKeyToggled(VK_SCROLL, true);
    EXPECT_EQ(GetKeyState(VK_SCROLL) & 1, 1);
    SetKeyToggled(VK_SCROLL, false);
}
