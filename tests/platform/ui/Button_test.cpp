#include "platform/ui/Button.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Panel.h"
#include "platform/ui/SpeedButton.h"

using namespace plat;

namespace {

class ButtonTest : public ::testing::Test {
protected:
    TForm* MakeForm(TRect bounds = TRect(100, 100, 500, 400)) {
        TForm* f = NewForm<TForm>(Application);
        f->SetBoundsRect(bounds);
        return f;
    }
    template <class T> T* Add(TWinControl* parent, TRect r) {
        T* c = new T(parent->Owner() ? parent : parent);
        c->SetParent(parent);
        c->SetBoundsRect(r);
        return c;
    }
    TTestDriver Driver;
};

TEST_F(ButtonTest, DefaultAndCancelButtonsEndAModalForm) {
    TForm* dialog = MakeForm();
    auto* edit = Add<TEdit>(dialog, TRect(10, 10, 150, 31));
    auto* ok = Add<TButton>(dialog, TRect(10, 50, 85, 75));
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = Add<TButton>(dialog, TRect(100, 50, 175, 75));
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    auto* other = Add<TButton>(dialog, TRect(200, 50, 275, 75));
    other->SetCaption("&Other");
    other->SetModalResult(mrRetry);
    int okClicks = 0;
    ok->OnClick = [&](TObject*) { ++okClicks; };
    dialog->SetActiveControl(edit);

    Driver.AnswerNextModal([&](TCustomForm&) {
        Driver.Type("x");
        Driver.PressKey(VK_RETURN);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(okClicks, 1);

    Driver.AnswerNextModal([&](TCustomForm&) { Driver.PressKey(VK_ESCAPE); });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);

    // Enter presses the focused button rather than the default one.
    Driver.AnswerNextModal([&](TCustomForm&) {
        other->SetFocus();
        Driver.PressKey(VK_RETURN);
    });
    EXPECT_EQ(dialog->ShowModal(), mrRetry);

    // Its accelerator, the space bar and a click press a button too.
    Driver.AnswerNextModal([&](TCustomForm&) { Driver.PressKey('O', modAlt); });
    EXPECT_EQ(dialog->ShowModal(), mrRetry);
    Driver.AnswerNextModal([&](TCustomForm&) {
        cancel->SetFocus();
        Driver.PressKey(VK_SPACE);
    });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    Driver.AnswerNextModal([&](TCustomForm&) { Driver.Click(ok); });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(okClicks, 2);
}

TEST_F(ButtonTest, PressReleasedOutsideDoesNotClick) {
    TForm* form = MakeForm();
    auto* b = Add<TButton>(form, TRect(10, 10, 85, 35));
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    Driver.Pump();
    Driver.Drag(b, TPoint(10, 10), TPoint(200, 200));
    EXPECT_EQ(clicks, 0);
    Driver.Click(b);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonTest, CheckBoxTogglesByClickAndSpace) {
    TForm* form = MakeForm();
    auto* box = Add<TCheckBox>(form, TRect(10, 10, 120, 27));
    box->SetCaption("Check");
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    Driver.Pump();
    Driver.Click(box);
    EXPECT_EQ(box->State(), cbChecked);
    EXPECT_TRUE(box->Focused());
    Driver.PressKey(VK_SPACE);
    EXPECT_EQ(box->State(), cbUnchecked);
    box->SetAllowGrayed(true);
    Driver.PressKey(VK_SPACE);
    Driver.PressKey(VK_SPACE);
    EXPECT_EQ(box->State(), cbGrayed);
    Driver.Click(box);
    EXPECT_EQ(box->State(), cbUnchecked);
    EXPECT_EQ(clicks, 5);
    box->SetChecked(true);
    EXPECT_EQ(clicks, 6) << "setting the state reports a click";
    box->SetChecked(true);
    EXPECT_EQ(clicks, 6);
}

TEST_F(ButtonTest, RadioButtonsAndRadioGroupsAreExclusive) {
    TForm* form = MakeForm();
    auto* a = Add<TRadioButton>(form, TRect(10, 10, 120, 27));
    auto* b = Add<TRadioButton>(form, TRect(10, 30, 120, 47));
    auto* panel = Add<TPanel>(form, TRect(150, 10, 300, 60));
    auto* c = Add<TRadioButton>(panel, TRect(5, 5, 100, 22));
    auto* group = Add<TRadioGroup>(form, TRect(10, 100, 250, 220));
    group->SetCaption("Mode");
    group->Items()->Add("One");
    group->Items()->Add("Two");
    group->Items()->Add("Three");
    group->SetColumns(2);
    int groupClicks = 0;
    group->OnClick = [&](TObject*) { ++groupClicks; };
    form->Show();
    Driver.Pump();

    c->SetChecked(true);
    Driver.Click(a);
    EXPECT_TRUE(a->Checked());
    Driver.Click(b);
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(c->Checked()) << "another parent is another group";

    EXPECT_EQ(group->ItemIndex(), -1);
    Driver.Click(group->Buttons(2));
    EXPECT_EQ(group->ItemIndex(), 2);
    EXPECT_GT(group->Buttons(2)->Left(), group->Buttons(0)->Left()) << "the third item opens column two";
    Driver.Click(group->Buttons(0));
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_FALSE(group->Buttons(2)->Checked());
    EXPECT_EQ(groupClicks, 2);
    group->SetItemIndex(1);
    EXPECT_TRUE(group->Buttons(1)->Checked());
    EXPECT_FALSE(group->Buttons(0)->Checked());
    group->Items()->Delete(2);
    EXPECT_EQ(group->ItemIndex(), 1);
}

TEST_F(ButtonTest, SpeedButtonGroups) {
    TForm* form = MakeForm();
    TSpeedButton* b[3];
    for (int i = 0; i < 3; ++i) {
        b[i] = new TSpeedButton(form);
        b[i]->SetParent(form);
        b[i]->SetBounds(10 + 25 * i, 10, 23, 22);
        b[i]->SetGroupIndex(1);
    }
    auto* plain = new TSpeedButton(form);
    plain->SetParent(form);
    plain->SetBounds(100, 10, 23, 22);
    int clicks = 0;
    plain->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    Driver.Pump();

    Driver.Click(b[0]);
    EXPECT_TRUE(b[0]->Down());
    Driver.Click(b[2]);
    EXPECT_TRUE(b[2]->Down());
    EXPECT_FALSE(b[0]->Down());
    Driver.Click(b[2]);
    EXPECT_TRUE(b[2]->Down()) << "without AllowAllUp one stays down";
    b[0]->SetAllowAllUp(true);
    Driver.Click(b[2]);
    EXPECT_FALSE(b[2]->Down()) << "AllowAllUp is shared by the group";

    Driver.Click(plain);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(plain->Down()) << "a button of no group never stays down";
}

} // namespace
