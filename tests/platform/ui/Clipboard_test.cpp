#include "platform/ui/Clipboard.h"

#include <gtest/gtest.h>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Canvas.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Cursor.h"

using namespace plat;

TEST(ClipboardTest, TextGoesOnAndComesOffAsUtf8) {
    TTestDriver driver;
    Clipboard()->SetAsText("Peak 1: 532,8 nm – ok");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
    EXPECT_EQ(Clipboard()->AsText(), "Peak 1: 532,8 nm – ok");
    // The open-set-close protocol: nothing goes out before the close, and setting needs it open.
    EXPECT_FALSE(SetClipboardData(CF_UNICODETEXT, {'x'}));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));
    EmptyClipboard();
    UINT own = RegisterClipboardFormat("Lumetra Frames");
    EXPECT_GE(own, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("lumetra frames"), own);
    SetClipboardData(own, {1, 2, 3});
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    CloseClipboard();
    EXPECT_EQ(GetClipboardData(own), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(Clipboard()->AsText(), "");
}

TEST(ClipboardTest, BitmapsTravelAsPngAndBmp) {
    TTestDriver driver;
    TBitmap bitmap;
    bitmap.SetSize(4, 3);
    bitmap.Canvas()->Brush()->SetColor(clRed);
    bitmap.Canvas()->FillRect(TRect(0, 0, 4, 3));
    bitmap.Canvas()->SetPixels(1, 2, clBlue);
    Clipboard()->Assign(&bitmap);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_PNG));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    auto bmp = GetClipboardData(CF_BITMAP);
    ASSERT_TRUE(bmp.has_value());
    EXPECT_EQ((*bmp)[0], 'B');
    EXPECT_EQ((*bmp)[1], 'M');
    TBitmap back;
    back.Assign(Clipboard());
    EXPECT_EQ(back.Width(), 4);
    EXPECT_EQ(back.Height(), 3);
    EXPECT_EQ(back.Canvas()->Pixels(1, 2), clBlue);
    EXPECT_EQ(back.Canvas()->Pixels(3, 0), clRed);
    Clipboard()->SetAsText("text only");
    TBitmap none;
    EXPECT_THROW(none.Assign(Clipboard()), EInvalidGraphic);
}

TEST(CursorResourceTest, TheChartHandCursorComesFromTheProgramsResources) {
    TTestDriver driver;
    HCURSOR hand = LoadCursorResource(2020);
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(hand->Image.Shape, csrCustom);
    EXPECT_GT(hand->Image.Width, 0);
    EXPECT_EQ(LoadCursorResource(9999), nullptr);
    DestroyCursor(hand);
}
