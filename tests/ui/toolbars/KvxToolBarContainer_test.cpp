#include "ui/toolbars/KvxToolBarContainer.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarStylers.h"

using namespace plat;
using namespace ui;

namespace {

class ContainerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 400, 200);
        Bar = new TKvxToolBar(Form);
        Bar->SetParent(Form);
        Bar->SetAutoSize(false);
        Bar->SetAutoPositionControls(false);
        Bar->SetBounds(10, 10, 300, 80);
        Box = new TKvxToolBarContainer(Form);
        Box->SetParent(Bar);
        Box->SetBounds(20, 20, 120, 50);
        Form->Show();
        Driver.Pump();
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TKvxToolBar* Bar = nullptr;
    TKvxToolBarContainer* Box = nullptr;
};

TEST_F(ContainerTest, TheFrameFollowsTheStylersLineColour) {
    ASSERT_EQ(Box->KvxToolBar(), Bar);
    Bar->CurrentStyler()->ContainerAppearance()->SetLineColor(clRed);
    Bar->CurrentStyler()->ContainerAppearance()->SetLine3D(false);
    Box->Invalidate();
    auto shot = Driver.Render(Box);
    TTestDriver::SavePng(*shot, TestOutputDir("toolbars") + "/container.png");
    // Closed frame: top line 4 below the top, left on the edge, bottom and right 2 inside.
    EXPECT_EQ(TTestDriver::PixelOf(*shot, 60, 4), clRed);
    EXPECT_EQ(TTestDriver::PixelOf(*shot, 0, 25), clRed);
    EXPECT_EQ(TTestDriver::PixelOf(*shot, 60, 48), clRed);
    EXPECT_EQ(TTestDriver::PixelOf(*shot, 118, 25), clRed);
    EXPECT_NE(TTestDriver::PixelOf(*shot, 60, 3), clRed);

    Bar->CurrentStyler()->ContainerAppearance()->SetLineColor(clNone);
    Box->SetLineColor(clBlue);
    Box->Invalidate();
    shot = Driver.Render(Box);
    for (TPoint p : {TPoint(60, 4), TPoint(0, 25), TPoint(60, 48)}) {
        EXPECT_NE(TTestDriver::PixelOf(*shot, p.X, p.Y), clRed);
        EXPECT_NE(TTestDriver::PixelOf(*shot, p.X, p.Y), clBlue) << "the styler's clNone wins";
    }
    Box->SetParentStyler(false);
    shot = Driver.Render(Box);
    EXPECT_EQ(TTestDriver::PixelOf(*shot, 60, 4), clBlue) << "its own colour without the styler";
}

TEST_F(ContainerTest, ToolBarControlsInsideTakeTheToolBar) {
    auto* button = new TKvxToolBarButton(Form);
    button->SetParent(Box);
    EXPECT_EQ(button->KvxToolBar(), Bar);
    EXPECT_EQ(button->Parent(), Box) << "it stays in the container";
    Form->Free();
}

} // namespace
