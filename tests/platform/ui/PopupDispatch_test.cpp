// The pop-up mechanics as the two drop-down controls show them: each case runs for the combo box's list
// and for the date picker's calendar.
#include "platform/ui/PopupDispatch.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/SystemMetrics.h"

using namespace plat;

namespace {

// What a test needs of a drop-down control, whichever it is.
struct TDropDownOwner {
    TWinControl* Control = nullptr;
    std::function<bool()> DroppedDown;
    std::function<TWinControl*()> Popup; // while dropped down
    std::function<TRect()> ButtonRect;
    std::function<void()> CloseUp; // closed by the program
};

enum TOwnerKind { okComboBox, okDatePicker };

class PopupDispatchTest : public ::testing::TestWithParam<TOwnerKind> {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 320, 300);
        Other = new TEdit(Form);
        Other->SetParent(Form);
        Other->SetBounds(10, 200, 100, 21);
        Other->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++OtherPresses; };
        if (GetParam() == okComboBox) {
            auto* combo = new TComboBox(Form);
            combo->SetParent(Form);
            combo->SetBounds(10, 10, 150, 21);
            for (const char* s : {"ONE_SHOT", "EXT_TRIGGER", "FREE_RUNNING", "EXT_EXP_CTRL", "SOFT_TRIGGER",
                                  "FAST_TRIGGER", "SLOW_TRIGGER", "EXT_GATE"})
                combo->Items()->Add(s);
            combo->OnCloseUp = [this](TObject*) { ++CloseUps; };
            Owner = {combo, [combo] { return combo->DroppedDown(); }, [combo] { return combo->ListPart(); },
                     [combo] { return combo->ButtonRect(); }, [combo] { combo->SetDroppedDown(false); }};
        } else {
            auto* picker = new TDateTimePicker(Form);
            picker->SetParent(Form);
            picker->SetBounds(10, 10, 200, 21);
            picker->OnCloseUp = [this](TObject*) { ++CloseUps; };
            Owner = {picker, [picker] { return picker->DroppedDown(); },
                     [picker] { return picker->Calendar(); }, [picker] { return picker->ButtonRect(); },
                     [picker] { picker->SetDroppedDown(false); }};
        }
        Form->Show();
        Driver.Pump();
    }
    TPoint ButtonPoint() { return TTestDriver::ScreenPoint(Owner.Control, Owner.ButtonRect().CenterPoint()); }
    void Drop() {
        Driver.Click(ButtonPoint());
        ASSERT_TRUE(Owner.DroppedDown());
        ASSERT_EQ(GetCapture(), Owner.Popup()->WindowHandle()) << "an open pop-up holds the mouse";
    }
    // The pop-up is closed, has let the mouse go, and told its owner's handler once.
    void ExpectClosed() {
        EXPECT_FALSE(Owner.DroppedDown());
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(CloseUps, 1);
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TEdit* Other = nullptr;
    TDropDownOwner Owner;
    int OtherPresses = 0;
    int CloseUps = 0;
};

TEST_P(PopupDispatchTest, APressOutsideClosesThePopupAndGoesNoFurther) {
    for (TTestMouseButton button : {tbLeft, tbRight, tbMiddle}) {
        SCOPED_TRACE(button);
        CloseUps = 0;
        Drop();
        Driver.Click(TTestDriver::CenterOf(Other), button);
        ExpectClosed();
        EXPECT_EQ(OtherPresses, 0) << "the window under the press never sees it";
        EXPECT_NE(TTestDriver::FocusedControl(), Other);
    }
    // Once closed, the mouse reaches the other windows again.
    Driver.Click(TTestDriver::CenterOf(Other));
    EXPECT_EQ(OtherPresses, 1);
    EXPECT_EQ(TTestDriver::FocusedControl(), Other);
}

TEST_P(PopupDispatchTest, APressOnTheOwnersButtonClosesWithoutDroppingAgain) {
    Drop();
    Driver.Click(ButtonPoint());
    ExpectClosed();
}

TEST_P(PopupDispatchTest, MovesAndReleasesOutsideKeepThePopupOpen) {
    // The release of the press that dropped it, wherever it lands, leaves it open.
    Driver.Drag(ButtonPoint(), TTestDriver::ScreenPoint(Form, TPoint(280, 250)));
    EXPECT_TRUE(Owner.DroppedDown());
    EXPECT_EQ(GetCapture(), Owner.Popup()->WindowHandle());
    EXPECT_EQ(CloseUps, 0);
}

TEST_P(PopupDispatchTest, EveryWayOfClosingLetsTheMouseGo) {
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Escape", [this] { Driver.PressKey(VK_ESCAPE); }},
        {"Enter", [this] { Driver.PressKey(VK_RETURN); }},
        {"focus moved away",
         [this] {
             Other->SetFocus();
             Driver.Pump();
         }},
        {"another window takes the mouse",
         [this] {
             SetCapture(Other->Handle());
             ReleaseCapture();
         }},
        // As a modal form opening or an error report does with whatever holds the mouse.
        {"cancel mode", [] { SendMessage(GetCapture(), WM_CANCELMODE, 0, 0); }},
        {"the program closes it", [this] { Owner.CloseUp(); }},
        {"the owner is disabled", [this] { Owner.Control->SetEnabled(false); }},
        // Neither of these sends the owner an exit: only its window loses the focus.
        {"another form takes the focus",
         [] {
             TForm* second = NewForm<TForm>(Application);
             second->SetBounds(600, 100, 200, 200);
             second->Show();
         }},
        {"its form closes", [this] { Form->Close(); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        CloseUps = 0;
        Owner.Control->SetEnabled(true);
        Form->Show();
        Owner.Control->SetFocus();
        Driver.Pump();
        Drop();
        close();
        Driver.Pump();
        ExpectClosed();
    }
}

TEST_P(PopupDispatchTest, ThePopupStaysOnTheScreenNearItsEdges) {
    int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    // Room below: it opens just below its owner, left edges aligned.
    Drop();
    TRect owner, popup;
    GetWindowRect(Owner.Control->Handle(), owner);
    GetWindowRect(Owner.Popup()->Handle(), popup);
    EXPECT_EQ(popup.Top, owner.Bottom);
    EXPECT_EQ(popup.Left, owner.Left);
    Driver.PressKey(VK_ESCAPE);
    // In the bottom right corner it opens above its owner, pushed left to fit.
    Form->SetBounds(screenW - 140, screenH - 80, 320, 300);
    Driver.Pump();
    Drop();
    GetWindowRect(Owner.Control->Handle(), owner);
    GetWindowRect(Owner.Popup()->Handle(), popup);
    EXPECT_EQ(popup.Bottom, owner.Top) << "above the owner";
    EXPECT_EQ(popup.Right, screenW) << "inside the screen sideways";
    EXPECT_LT(popup.Left, owner.Left);
}

INSTANTIATE_TEST_SUITE_P(Owners, PopupDispatchTest, ::testing::Values(okComboBox, okDatePicker),
                         [](const ::testing::TestParamInfo<TOwnerKind>& info) {
                             return info.param == okComboBox ? "ComboBox" : "DatePicker";
                         });

} // namespace
