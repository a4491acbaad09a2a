#include "platform/ui/PageControl.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/CheckListBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/TrackBar.h"
#include "platform/ui/UpDown.h"

using namespace plat;

namespace {

class PageControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 400, 300);
        Pages = new TPageControl(Form);
        Pages->SetParent(Form);
        Pages->SetBounds(10, 10, 300, 200);
        for (const char* c : {"Chart", "Series", "Data"}) {
            auto* s = new TTabSheet(Form);
            s->SetPageControl(Pages);
            s->SetCaption(c);
            Sheets.push_back(s);
        }
        Pages->OnChanging = [this](TObject*, bool& allow) {
            Log += "changing;";
            allow = Allow;
        };
        Pages->OnChange = [this](TObject*) { Log += "change;"; };
        Form->Show();
        Driver.Pump();
    }
    TPoint TabCentre(int i) {
        TRect r = Pages->TabRect(i);
        return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    TTestDriver Driver;
    TForm* Form = nullptr;
    TPageControl* Pages = nullptr;
    std::vector<TTabSheet*> Sheets;
    std::string Log;
    bool Allow = true;
};

TEST_F(PageControlTest, TabClicksSwitchPagesUnlessRefused) {
    EXPECT_EQ(Pages->ActivePage(), Sheets[0]) << "the first page inserted becomes active";
    EXPECT_TRUE(Sheets[0]->Visible());
    EXPECT_FALSE(Sheets[1]->Visible());
    Driver.Click(Pages, TabCentre(1));
    EXPECT_EQ(Pages->ActivePageIndex(), 1);
    EXPECT_TRUE(Sheets[1]->Visible());
    EXPECT_FALSE(Sheets[0]->Visible());
    EXPECT_EQ(Log, "changing;change;");
    Log.clear();
    Allow = false;
    Driver.Click(Pages, TabCentre(2));
    EXPECT_EQ(Pages->ActivePageIndex(), 1);
    EXPECT_EQ(Log, "changing;");
    // Code changes pages silently; the sheets fill the display area.
    Log.clear();
    Pages->SetActivePageIndex(2);
    EXPECT_EQ(Log, "");
    TRect area;
    Pages->AdjustClientRect(area);
    EXPECT_EQ(Sheets[2]->BoundsRect(), area);
    EXPECT_GT(area.Top, Pages->TabRect(0).Bottom - 1);
}

TEST_F(PageControlTest, CtrlTabCyclesVisibleTabs) {
    Allow = true;
    Sheets[1]->SetTabVisible(false);
    EXPECT_EQ(Sheets[2]->TabIndex(), 1);
    Pages->SetFocus();
    Driver.Pump();
    Driver.PressKey(VK_TAB, modControl);
    EXPECT_EQ(Pages->ActivePage(), Sheets[2]) << "the hidden tab is skipped";
    Driver.PressKey(VK_TAB, modControl);
    EXPECT_EQ(Pages->ActivePage(), Sheets[0]) << "wraps round";
    Driver.PressKey(VK_TAB, modControl | modShift);
    EXPECT_EQ(Pages->ActivePage(), Sheets[2]);
    EXPECT_EQ(Log, "changing;change;changing;change;changing;change;");
}

TEST_F(PageControlTest, SheetsMoveToAnotherPageControl) {
    auto* other = new TPageControl(Form);
    other->SetParent(Form);
    other->SetBounds(10, 10, 200, 150);
    auto* own = new TTabSheet(Form);
    own->SetPageControl(other);
    // Moving the active sheet makes the next one active in the old control.
    Sheets[0]->SetPageControl(other);
    EXPECT_EQ(Pages->PageCount(), 2);
    EXPECT_EQ(Pages->ActivePage(), Sheets[1]);
    EXPECT_EQ(other->PageCount(), 2);
    EXPECT_EQ(Sheets[0]->PageIndex(), 1);
    EXPECT_EQ(Sheets[0]->Parent(), other);
    EXPECT_FALSE(Sheets[0]->Visible()) << "a moved sheet is not the active one of its new control";
    // Setting a sheet's parent to a page control does the same (layouts load sheets so).
    Sheets[2]->SetParent(other);
    EXPECT_EQ(other->PageCount(), 3);
    EXPECT_EQ(Pages->PageCount(), 1);
    // Freeing a sheet takes it out.
    delete Sheets[1];
    EXPECT_EQ(Pages->PageCount(), 0);
    EXPECT_EQ(Pages->ActivePage(), nullptr);
}

// One of each control, left as a picture for the eye.
TEST_F(PageControlTest, Screenshot) {
    Form->SetBounds(100, 100, 560, 330);
    Form->SetCaption("List controls");
    Pages->SetBounds(300, 10, 240, 140);
    auto* list = new TListBox(Form);
    list->SetParent(Form);
    list->SetBounds(10, 10, 130, 120);
    list->SetMultiSelect(true);
    for (int i = 0; i < 12; ++i)
        list->Items()->Add("Frame " + std::to_string(i + 1));
    list->SetSelected(1, true);
    list->SetSelected(2, true);
    auto* check = new TCheckListBox(Form);
    check->SetParent(Form);
    check->SetBounds(150, 10, 140, 80);
    for (const char* s : {"Series", "Axes", "Titles", "Legend"})
        check->Items()->Add(s);
    check->SetChecked(0, true);
    check->SetItemEnabled(3, false);
    auto* combo = new TComboBox(Form);
    combo->SetParent(Form);
    combo->SetBounds(150, 100, 140, 21);
    combo->SetStyle(csDropDownList);
    for (const char* s : {"ONE_SHOT", "EXT_TRIGGER", "FREE_RUNNING"})
        combo->Items()->Add(s);
    combo->SetItemIndex(2);
    auto* combo2 = new TComboBox(Form);
    combo2->SetParent(Form);
    combo2->SetBounds(150, 130, 140, 21);
    combo2->Items()->Add("0.0");
    combo2->SetTextProp("0.##");
    auto* tb = new TTrackBar(Form);
    tb->SetParent(Form);
    tb->SetBounds(10, 160, 200, 45);
    tb->SetMax(100);
    tb->SetFrequency(10);
    tb->SetPosition(40);
    auto* edit = new TEdit(Form);
    edit->SetParent(Form);
    edit->SetBounds(230, 170, 50, 21);
    auto* ud = new TUpDown(Form);
    ud->SetParent(Form);
    ud->SetAssociate(edit);
    ud->SetPosition(25);
    auto* bottom = new TPageControl(Form);
    bottom->SetParent(Form);
    bottom->SetBounds(300, 160, 240, 130);
    bottom->SetTabPosition(tpBottom);
    for (const char* c : {"Format", "Text", "Gradient"}) {
        auto* s = new TTabSheet(Form);
        s->SetPageControl(bottom);
        s->SetCaption(c);
    }
    Pages->SetActivePageIndex(1);
    Driver.Pump();
    combo->SetFocus();
    combo->SetDroppedDown(true);
    Driver.Pump();
    auto image = Driver.RenderScreen(TRect(100, 100, 660, 430));
    std::string path = TTestDriver::SavePng(*image, "list-controls.png");
    EXPECT_FALSE(path.empty());
    combo->SetDroppedDown(false);
}

} // namespace
