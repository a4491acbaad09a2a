// The office radio group: where its buttons go, how ItemIndex follows code and clicks, which buttons are
// enabled, and what happens when the items change under a click.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/StandardClasses.h"
#include "ui/controls/KvxOfficeButtons.h"

using namespace plat;
using namespace ui;

namespace {

const std::vector<std::string> kFormats = {
    "Text", "Excel", "HTML", "XML", "Bitmap", "Enhanced MetaFile", "Windows MetaFile"};

class RadioGroupTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterStandardClasses();
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 480, 360);
        Form->Show();
        Driver.Pump();
    }

    TKvxOfficeRadioGroup* Group(int Width, int Height, const std::vector<std::string>& Items) {
        auto* g = new TKvxOfficeRadioGroup(Form);
        g->SetParent(Form);
        g->SetBounds(10, 10, Width, Height);
        g->SetCaption("Format");
        for (const std::string& s : Items)
            g->Items()->Add(s);
        Driver.Pump();
        return g;
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
};

TEST_F(RadioGroupTest, TheFormatGroupStacksItsButtonsInOneColumn) {
    auto* g = Group(153, 145, kFormats);
    ASSERT_EQ(g->ButtonCount(), 7);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        TKvxGroupButton* b = g->Buttons(i);
        EXPECT_EQ(b->BoundsRect(), TRect(8, 14 + 18 * i, 8 + 143, 14 + 18 * i + 18));
        EXPECT_EQ(b->Caption(), kFormats[i]);
        EXPECT_TRUE(b->Visible());
    }
}

TEST_F(RadioGroupTest, ItemsRunDownEachColumnInTurn) {
    auto* g = Group(210, 100, {"a", "b", "c", "d", "e"});
    g->SetColumns(2);
    const int cw = (210 - 10) / 2;
    const int expectedColumn[] = {0, 0, 0, 1, 1};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(g->Buttons(i)->Left(), 8 + expectedColumn[i] * cw) << i;
    EXPECT_EQ(g->Buttons(3)->Top(), g->Buttons(0)->Top());
    EXPECT_EQ(g->Buttons(0)->Width(), cw);

    struct Case {
        int Given, Kept;
    };
    for (Case c : {Case{0, 1}, Case{20, 16}, Case{-3, 1}, Case{16, 16}, Case{3, 3}}) {
        g->SetColumns(c.Given);
        EXPECT_EQ(g->Columns(), c.Kept) << c.Given;
    }
}

TEST_F(RadioGroupTest, ItemIndexFromCodeChecksTheButtonAndClicks) {
    auto* g = Group(153, 145, kFormats);
    int clicks = 0;
    g->OnClick = [&](TObject*) { ++clicks; };
    g->SetItemIndex(5);
    EXPECT_EQ(g->ItemIndex(), 5);
    EXPECT_TRUE(g->Buttons(5)->Checked());
    EXPECT_EQ(clicks, 1);

    g->SetItemIndex(5);
    EXPECT_EQ(clicks, 1) << "the same index changes nothing";
    g->SetItemIndex(2);
    EXPECT_FALSE(g->Buttons(5)->Checked());
    EXPECT_TRUE(g->Buttons(2)->Checked());
    EXPECT_EQ(clicks, 2);

    g->SetItemIndex(-1);
    for (int i = 0; i < g->ButtonCount(); ++i)
        EXPECT_FALSE(g->Buttons(i)->Checked()) << i;
    EXPECT_EQ(clicks, 2) << "no button checked, no click";

    g->SetItemIndex(40);
    EXPECT_EQ(g->ItemIndex(), 6) << "limited to the last button";
    g->SetItemIndex(-7);
    EXPECT_EQ(g->ItemIndex(), -1);
}

TEST_F(RadioGroupTest, AClickedButtonBecomesTheItemIndex) {
    auto* g = Group(153, 145, kFormats);
    g->SetItemIndex(1);
    std::vector<int> seen;
    g->OnClick = [&](TObject*) { seen.push_back(g->ItemIndex()); };
    Driver.Click(g->Buttons(4), TPoint(5, 9));
    EXPECT_EQ(g->ItemIndex(), 4);
    EXPECT_TRUE(g->Buttons(4)->Checked());
    EXPECT_FALSE(g->Buttons(1)->Checked());
    ASSERT_FALSE(seen.empty());
    for (int index : seen)
        EXPECT_EQ(index, 4) << "every click the group reports already has the new index";
}

TEST_F(RadioGroupTest, FewerItemsCutTheIndexAndTheButtons) {
    auto* g = Group(153, 145, kFormats);
    g->SetItemIndex(6);
    g->Items()->Delete(6);
    g->Items()->Delete(5);
    EXPECT_EQ(g->ButtonCount(), 5);
    EXPECT_EQ(g->ItemIndex(), 4);
    EXPECT_TRUE(g->Buttons(4)->Checked());
    g->Items()->Clear();
    EXPECT_EQ(g->ItemIndex(), -1);
    EXPECT_EQ(g->ButtonCount(), 0);
    // The group goes before the dropped buttons were freed.
    g->Free();
    Driver.Pump();
}

TEST_F(RadioGroupTest, TheClickedButtonMayBeDroppedByItsOwnClick) {
    // The handler rebuilds the items while the button that reported the click is still inside its own
    // handling: of the mouse release, or of its accelerator, after which it would take the focus.
    for (bool mouse : {true, false}) {
        SCOPED_TRACE(mouse ? "mouse" : "accelerator");
        auto* g = Group(153, 145, kFormats);
        g->Items()->SetStrings(6, "&Windows MetaFile");
        int clicks = 0;
        g->OnClick = [&](TObject*) {
            ++clicks;
            g->Items()->Clear();
            g->Items()->Add("only");
        };
        if (mouse)
            Driver.Click(g->Buttons(6), TPoint(5, 9));
        else
            Driver.PressKey('W', modAlt);
        Driver.Pump();
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(g->ButtonCount(), 1);
        EXPECT_EQ(g->Buttons(0)->Caption(), "only");
        int children = 0;
        for (int i = 0; i < g->ControlCount(); ++i)
            children += dynamic_cast<TKvxGroupButton*>(g->Controls(i)) != nullptr;
        EXPECT_EQ(children, 1) << "the dropped buttons are freed once their handling ended";
        g->Free();
        Driver.Pump();
    }
}

TEST_F(RadioGroupTest, OnIsEnabledDecidesAtEveryArrangement) {
    auto* g = Group(153, 145, kFormats);
    std::vector<bool> asked;
    g->OnIsEnabled = [&](TObject*, int Index, bool& Enabled) {
        if (Index == 3) {
            asked.push_back(Enabled);
            Enabled = false;
        }
    };
    g->SetShadowOffset(2); // any setting arranges the buttons again
    EXPECT_FALSE(g->Buttons(3)->Enabled());
    EXPECT_TRUE(g->Buttons(2)->Enabled());

    g->OnIsEnabled = nullptr;
    g->SetShadowOffset(1);
    EXPECT_FALSE(g->Buttons(3)->Enabled()) << "a button the handler disabled stays so";
    g->SetEnabled(false);
    g->SetEnabled(true);
    for (int i = 0; i < g->ButtonCount(); ++i)
        EXPECT_TRUE(g->Buttons(i)->Enabled()) << "enabling the group enables every button, " << i;
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(asked[0]);
    EXPECT_EQ(g->Buttons(0)->ShadowOffset(), 1) << "settings reach the buttons";
}

TEST_F(RadioGroupTest, TheGroupShowsItsButtons) {
    UI_HEADLESS_ONLY(Driver);
    Form->SetColor(0x00F4E8E0);
    auto* g = Group(153, 145, kFormats);
    g->SetItemIndex(5);
    auto* two = Group(
        260, 100, {"<b>Bold</b>", "<i>Italic</i>", "<font color=\"clRed\">Red</font>", "Plain", "Disabled"});
    two->OnIsEnabled = [](TObject*, int Index, bool& Enabled) { Enabled = Index != 4; };
    two->SetBounds(180, 10, 260, 100);
    two->SetColumns(2);
    two->SetCtl3D(true);
    two->SetCaption("Two columns");
    two->SetItemIndex(3);
    Driver.Pump();
    auto shot = Driver.Render(Form);
    TTestDriver::SavePng(*shot, TestOutputDir("controls") + "/office_radio_groups.png");
    // A checked glyph has its dark dot where the unchecked one is light.
    auto checked = Driver.Render(g->Buttons(5));
    auto unchecked = Driver.Render(g->Buttons(4));
    EXPECT_NE(TTestDriver::PixelOf(*checked, 5, 9), TTestDriver::PixelOf(*unchecked, 5, 9));
    // The buttons show the group's background, not a box of their own colour nor what was there before
    // the second group moved away.
    EXPECT_EQ(TTestDriver::PixelOf(*unchecked, 140, 2), Form->Color());
    auto moved = Driver.Render(g->Buttons(1));
    for (int x = 60; x < 140; ++x)
        EXPECT_EQ(TTestDriver::PixelOf(*moved, x, 2), Form->Color()) << x;
    EXPECT_FALSE(two->Buttons(4)->Enabled());
}

} // namespace
