#include "platform/ui/SystemIcons.h"

#include <gtest/gtest.h>

#include "platform/gfx/Icon.h"
#include "platform/gfx/Surface.h"
#include "platform/testing/TestDriver.h"

using namespace plat;

namespace {

struct TIconCase {
    const char* Name;
    int Id;
};

const TIconCase kIcons[] = {
    {"application", IDI_APPLICATION}, {"information", IDI_INFORMATION},
    {"warning", IDI_WARNING},         {"error", IDI_ERROR},
    {"question", IDI_QUESTION},       {"shield", IDI_SHIELD},
};

uint32_t Alpha(uint32_t argb) {
    return argb >> 24;
}
int Red(uint32_t argb) {
    return (argb >> 16) & 0xFF;
}
int Green(uint32_t argb) {
    return (argb >> 8) & 0xFF;
}
int Blue(uint32_t argb) {
    return argb & 0xFF;
}
bool IsWhite(uint32_t argb) {
    return Alpha(argb) == 255 && Red(argb) > 240 && Green(argb) > 240 && Blue(argb) > 240;
}

} // namespace

TEST(SystemIconsTest, EveryIconIsDrawnAtBothSizesWithItsColoursAndClearCorners) {
    // A sheet of all icons at 16 and 32 pixels on white, for the eye.
    TImageSurface sheet(20 + 48 * 6, 82);
    for (int y = 0; y < sheet.Height(); ++y)
        for (int x = 0; x < sheet.Width(); ++x)
            sheet.Row(y)[x] = 0xFFFFFFFF;
    TDeviceContext dc(&sheet);
    for (int i = 0; i < 6; ++i) {
        HICON icon = LoadIcon(kIcons[i].Id);
        ASSERT_NE(icon, nullptr) << kIcons[i].Name;
        EXPECT_TRUE(DrawIconEx(&dc, 10 + 48 * i, 10, icon, 16, 16));
        EXPECT_TRUE(DrawIcon(&dc, 10 + 48 * i, 40, icon));
        for (int size : {16, 32}) {
            TPixelImage img = SystemIconImage(kIcons[i].Id, size);
            ASSERT_EQ(img.Width, size) << kIcons[i].Name;
            ASSERT_EQ(img.Height, size);
            EXPECT_EQ(Alpha(img.At(0, 0)), 0u) << kIcons[i].Name << " " << size << ": corners stay clear";
            EXPECT_EQ(Alpha(img.At(size - 1, size - 1)), 0u) << kIcons[i].Name << " " << size;
        }
    }
    TTestDriver::SavePng(sheet, "system-icons.png");
    // Four times larger, to judge the small sizes pixel by pixel.
    TImageSurface large(sheet.Width() * 4, sheet.Height() * 4);
    for (int y = 0; y < large.Height(); ++y)
        for (int x = 0; x < large.Width(); ++x)
            large.Row(y)[x] = sheet.Row(y / 4)[x / 4];
    TTestDriver::SavePng(large, "system-icons-x4.png");

    for (int size : {16, 32}) {
        const int c = size / 2;
        // Information: white "i" on a blue badge.
        TPixelImage info = SystemIconImage(IDI_INFORMATION, size);
        EXPECT_TRUE(IsWhite(info.At(c, size * 6 / 10))) << size << ": the stem";
        uint32_t badge = info.At(size / 4, c);
        EXPECT_GT(Blue(badge), Red(badge) + 60) << size << ": a blue badge";
        // Question: blue badge with a white dot below the middle.
        TPixelImage question = SystemIconImage(IDI_QUESTION, size);
        EXPECT_TRUE(IsWhite(question.At(c, size * 77 / 100))) << size << ": the dot";
        EXPECT_GT(Blue(question.At(size / 5, c)), Red(question.At(size / 5, c)) + 60) << size;
        // Error: white cross on red.
        TPixelImage error = SystemIconImage(IDI_ERROR, size);
        EXPECT_TRUE(IsWhite(error.At(c, c))) << size << ": the crossing";
        uint32_t red = error.At(c, size / 6);
        EXPECT_GT(Red(red), Blue(red) + 80) << size;
        // Warning: yellow triangle with a dark mark; the top corners are clear.
        TPixelImage warning = SystemIconImage(IDI_WARNING, size);
        uint32_t mark = warning.At(c, size / 2);
        EXPECT_LT(Red(mark) + Green(mark) + Blue(mark), 200) << size << ": the exclamation mark";
        uint32_t yellow = warning.At(size * 3 / 10, size * 3 / 4);
        EXPECT_GT(Red(yellow), 200) << size;
        EXPECT_GT(Green(yellow), 150) << size;
        EXPECT_LT(Blue(yellow), 100) << size;
        EXPECT_EQ(Alpha(warning.At(2, 2)), 0u) << size;
        // Shield: blue and yellow quarters.
        TPixelImage shield = SystemIconImage(IDI_SHIELD, size);
        uint32_t topLeft = shield.At(size * 3 / 10, size / 4), topRight = shield.At(size * 7 / 10, size / 4);
        EXPECT_GT(Blue(topLeft), Red(topLeft) + 60) << size;
        EXPECT_GT(Red(topRight), Blue(topRight) + 60) << size;
        EXPECT_EQ(Alpha(shield.At(c, size - 1)), 0u) << size << ": the point stops short of the bottom";
    }
}

TEST(SystemIconsTest, HandlesAreSharedAndUnknownIconsAreNone) {
    EXPECT_EQ(LoadIcon(IDI_WARNING), LoadIcon(IDI_EXCLAMATION));
    EXPECT_EQ(LoadIcon(IDI_ERROR), LoadIcon(IDI_HAND));
    EXPECT_EQ(LoadIcon(12345), nullptr);
    EXPECT_TRUE(SystemIconImage(12345, 32).Empty());
    HICON info = LoadIcon(IDI_INFORMATION);
    ASSERT_EQ(info->Images.size(), 2u);
    EXPECT_EQ(info->ImageFor(16, 16)->Width, 16);
    EXPECT_EQ(info->ImageFor(20, 20)->Width, 32) << "the smallest at least as large";
    EXPECT_EQ(info->ImageFor(48, 48)->Width, 32) << "else the largest";
    EXPECT_FALSE(DrawIcon(nullptr, 0, 0, info));
}

TEST(SystemIconsTest, AnIconBecomesAHandleAtSixteenAndThirtyTwoPixels) {
    TIcon empty;
    EXPECT_EQ(CreateIconHandle(empty), nullptr);
    // An icon with only a 48-pixel picture: both sizes are scaled from it, keeping colour and clear edges.
    TPixelImage big(48, 48);
    for (int y = 8; y < 40; ++y)
        for (int x = 8; x < 40; ++x)
            big.Row(y)[x] = 0xFF00A000;
    TIcon icon;
    icon.AddImage(big, true);
    auto handle = CreateIconHandle(icon);
    ASSERT_NE(handle, nullptr);
    ASSERT_EQ(handle->Images.size(), 2u);
    const TPixelImage& small = handle->Images[0];
    EXPECT_EQ(small.Width, 16);
    EXPECT_EQ(small.At(8, 8), 0xFF00A000u);
    EXPECT_EQ(Alpha(small.At(0, 0)), 0u);
    // Edge pixels average the covered and the clear part without darkening.
    uint32_t edge = ScaleIconImage(big, 32, 32).At(5, 16);
    EXPECT_GT(Alpha(edge), 0u);
    EXPECT_LT(Alpha(edge), 255u);
    EXPECT_EQ(Green(edge), 0xA0);
}
