#include "platform/ui/ComboBox.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

using namespace plat;

namespace {

class ComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 300, 260);
        Combo = new TComboBox(Form);
        Combo->SetParent(Form);
        Combo->SetBounds(10, 10, 150, 21);
        for (const char* s : {"ONE_SHOT", "EXT_TRIGGER", "FREE_RUNNING", "EXT_EXP_CTRL", "SOFT_TRIGGER"})
            Combo->Items()->Add(s);
        Combo->OnChange = [this](TObject*) { Log += "change;"; };
        Combo->OnClick = [this](TObject*) { Log += "click;"; };
        Combo->OnDropDown = [this](TObject*) { Log += "drop;"; };
        Combo->OnCloseUp = [this](TObject*) { Log += "close;"; };
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(10, 200, 100, 21);
        Form->Show();
        Driver.Pump();
    }
    TPoint ListItemPoint(int i) {
        TCustomListBox* list = Combo->ListPart();
        TRect r = list->ItemRect(i);
        return TTestDriver::ScreenPoint(list, TPoint(r.Left + 10, (r.Top + r.Bottom) / 2));
    }
    TTestDriver Driver;
    TForm* Form = nullptr;
    TComboBox* Combo = nullptr;
    TEdit* Other = nullptr;
    std::string Log;
};

TEST_F(ComboBoxTest, DropDownListChoosesByMouseAndClosesOnOutsideClick) {
    Combo->SetStyle(csDropDownList);
    Combo->SetDropDownCount(4);
    Driver.Click(Combo);
    ASSERT_TRUE(Combo->DroppedDown());
    EXPECT_EQ(Combo->ListPart()->Height(), 4 * Combo->ItemHeight() + 2) << "DropDownCount rows";
    Driver.Click(ListItemPoint(2));
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_EQ(Combo->ItemIndex(), 2);
    EXPECT_EQ(Combo->Text(), "FREE_RUNNING");
    EXPECT_EQ(Log, "drop;click;change;close;") << "without OnSelect a choice raises OnChange";
    // A press outside the open list closes it without a choice.
    Log.clear();
    Driver.Click(Combo);
    ASSERT_TRUE(Combo->DroppedDown());
    Driver.Click(TTestDriver::ScreenPoint(Form, TPoint(250, 150)));
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_EQ(Combo->ItemIndex(), 2);
    EXPECT_EQ(Log, "drop;close;");
}

TEST_F(ComboBoxTest, KeysMoveTheSelectionAndDropTheList) {
    Combo->SetStyle(csDropDownList);
    int selects = 0;
    Combo->OnSelect = [&](TObject*) { ++selects; };
    Combo->SetFocus();
    Driver.Pump();
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(Combo->ItemIndex(), 0);
    Driver.PressKey(VK_END);
    EXPECT_EQ(Combo->ItemIndex(), 4);
    EXPECT_EQ(selects, 2);
    EXPECT_EQ(Log.find("change"), std::string::npos) << "OnSelect takes the place of OnChange";
    // Alt+Down drops, arrows move the highlight only, Escape leaves the choice alone, Enter takes it.
    Driver.PressKey(VK_DOWN, modAlt);
    ASSERT_TRUE(Combo->DroppedDown());
    Driver.PressKey(VK_UP);
    Driver.PressKey(VK_UP);
    EXPECT_EQ(Combo->ItemIndex(), 4);
    Driver.PressKey(VK_ESCAPE);
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_EQ(Combo->ItemIndex(), 4);
    Driver.PressKey(VK_F4);
    Driver.PressKey(VK_UP);
    Driver.PressKey(VK_RETURN);
    EXPECT_FALSE(Combo->DroppedDown());
    EXPECT_EQ(Combo->ItemIndex(), 3);
    EXPECT_EQ(selects, 3);
    Driver.Type("f");
    EXPECT_EQ(Combo->Text(), "FREE_RUNNING");
    // Leaving the control closes an open list.
    Driver.PressKey(VK_F4);
    ASSERT_TRUE(Combo->DroppedDown());
    Other->SetFocus();
    Driver.Pump();
    EXPECT_FALSE(Combo->DroppedDown());
}

TEST_F(ComboBoxTest, EditableComboTypesTextAndMatchesItems) {
    Combo->EditPart()->SetFocus();
    Driver.Pump();
    Driver.Type("0.0");
    EXPECT_EQ(Combo->Text(), "0.0");
    EXPECT_EQ(Combo->ItemIndex(), -1);
    EXPECT_EQ(Log, "change;change;change;") << "every typed character changes the text";
    Combo->SetTextProp("EXT_TRIGGER");
    EXPECT_EQ(Combo->ItemIndex(), 1);
    // The button drops the list; a choice replaces the text.
    Log.clear();
    TRect b = Combo->ButtonRect();
    Driver.Click(Combo, TPoint(b.Left + 4, b.Top + 4));
    ASSERT_TRUE(Combo->DroppedDown());
    Driver.Click(ListItemPoint(4));
    EXPECT_EQ(Combo->Text(), "SOFT_TRIGGER");
    EXPECT_EQ(Combo->ItemIndex(), 4);
}

TEST_F(ComboBoxTest, OwnerDrawnItemsGetTheEditState) {
    Combo->SetStyle(csOwnerDrawFixed);
    Combo->SetItemIndex(1);
    std::vector<std::pair<int, TOwnerDrawState>> calls;
    Combo->OnDrawItem = [&](TWinControl*, int i, TRect, TOwnerDrawState s) { calls.push_back({i, s}); };
    Combo->Invalidate();
    Driver.Pump();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().first, 1);
    EXPECT_TRUE(calls.back().second & odComboBoxEdit);
    calls.clear();
    Combo->SetDroppedDown(true);
    Driver.Pump();
    EXPECT_GE(calls.size(), 5u) << "the list's rows are drawn by the handler";
    Combo->SetDroppedDown(false);
}

// A combo that paints a wider button of its own gets the whole strip: the edit part stops before it and a
// press anywhere on it drops the list.
class TWideButtonCombo : public TComboBox {
public:
    using TComboBox::TComboBox;
    int Strip = 30;

protected:
    int ButtonStripWidth() const override { return Strip; }
};

TEST_F(ComboBoxTest, ButtonStripWidthIsTheOwnersChoice) {
    auto* wide = new TWideButtonCombo(Form);
    wide->SetParent(Form);
    wide->SetBounds(10, 60, 150, 21);
    wide->Items()->Assign(Combo->Items());
    Driver.Pump();
    TRect b = wide->ButtonRect();
    EXPECT_EQ(b.Width(), 30);
    EXPECT_EQ(b.Right, wide->ClientWidth());
    EXPECT_LE(wide->EditPart()->Left() + wide->EditPart()->Width(), b.Left);
    Driver.Click(wide, TPoint(b.Left + 2, b.Top + 4));
    EXPECT_TRUE(wide->DroppedDown());
    wide->SetDroppedDown(false);
    wide->Strip = 1000; // never wider than the control
    wide->SetBounds(10, 60, 151, 21);
    EXPECT_EQ(wide->ButtonRect().Left, 0);
}

} // namespace
