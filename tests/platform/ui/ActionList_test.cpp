#include "platform/ui/ActionList.h"

#include <gtest/gtest.h>

#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "platform/ui/TestControls.h"

using namespace plat;
using namespace uitest;

namespace {

class ActionListTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestControls();
        Form = NewForm<TForm>(Application);
        Form->SetBounds(50, 50, 300, 200);
        List = new TActionList(Form);
        Save = new TAction(Form);
        Save->SetActionList(List);
        Save->SetCaption("&Save");
        Save->SetShortCut(TShortCut(scCtrl | 'S'));
        Save->OnExecute = [this](TObject*) { ++Runs; };
        Menu = new TPopupMenu(Form);
        Item = new TMenuItem(Form);
        Menu->Items()->Add(Item);
        Item->SetAction(Save);
        Form->Show();
        Driver.Pump();
    }
    TTestDriver Driver;
    TForm* Form = nullptr;
    TActionList* List = nullptr;
    TAction* Save = nullptr;
    TPopupMenu* Menu = nullptr;
    TMenuItem* Item = nullptr;
    int Runs = 0;
};

} // namespace

TEST_F(ActionListTest, LinkedItemsFollowTheActionAndRunIt) {
    EXPECT_EQ(Item->Caption(), "&Save");
    EXPECT_EQ(Item->ShortCut(), TShortCut(scCtrl | 'S'));
    Save->SetEnabled(false);
    Save->SetCaption("Save &all");
    Save->SetChecked(true);
    EXPECT_FALSE(Item->Enabled());
    EXPECT_EQ(Item->Caption(), "Save &all");
    EXPECT_TRUE(Item->Checked());
    Item->Click();
    EXPECT_EQ(Runs, 0) << "a disabled action does not run";
    Save->SetEnabled(true);
    Item->Click();
    EXPECT_EQ(Runs, 1);
    // The action going away leaves the item alone.
    Save->Free();
    EXPECT_EQ(Item->Action(), nullptr);
    Item->Click();
    EXPECT_EQ(Runs, 1);
}

TEST_F(ActionListTest, IdleUpdatesAndShortCutsThroughTheForm) {
    bool canSave = false;
    Save->OnUpdate = [&](TObject*) { Save->SetEnabled(canSave); };
    Driver.Pump();
    EXPECT_FALSE(Item->Enabled()) << "OnUpdate ran when the program went idle";
    Form->SetFocus();
    Driver.PressKey('S', modControl);
    EXPECT_EQ(Runs, 0);
    canSave = true;
    Driver.PressKey('S', modControl);
    EXPECT_EQ(Runs, 1) << "the action's shortcut runs it";
    EXPECT_TRUE(Item->Enabled());
    // The list's own handler may take every action.
    List->OnExecute = [](TBasicAction*, bool& handled) { handled = true; };
    Driver.PressKey('S', modControl);
    EXPECT_EQ(Runs, 1);
}

TEST_F(ActionListTest, GroupedAutoCheckActionsBehaveAsRadioButtons) {
    auto* a = new TAction(Form);
    auto* b = new TAction(Form);
    for (TAction* x : {a, b}) {
        x->SetActionList(List);
        x->SetGroupIndex(3);
        x->SetAutoCheck(true);
    }
    a->Execute();
    b->Execute();
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(b->Checked());
    b->Execute();
    EXPECT_TRUE(b->Checked()) << "a checked group member stays checked";
    EXPECT_EQ(List->ActionCount(), 3);
    EXPECT_EQ(b->Index(), 2);
}

TEST(WindowActionsTest, ArrangeCloseAndMinimiseTheChildrenOfTheFrame) {
    TTestDriver driver;
    TForm* frame = NewForm<TForm>(Application);
    frame->SetFormStyle(fsMDIForm);
    frame->SetBounds(0, 0, 800, 600);
    Application->SetMainForm(frame);
    frame->Show();
    driver.Pump();
    auto* list = new TActionList(frame);
    auto make = [&](TWindowAction* a) {
        a->SetActionList(list);
        return a;
    };
    TWindowAction* cascade = make(new TWindowCascade(frame));
    TWindowAction* tileV = make(new TWindowTileVertical(frame));
    TWindowAction* minimize = make(new TWindowMinimizeAll(frame));
    TWindowAction* close = make(new TWindowClose(frame));
    cascade->Update();
    EXPECT_FALSE(cascade->Enabled()) << "nothing to arrange without children";
    std::vector<TForm*> kids;
    for (int i = 0; i < 2; ++i) {
        TForm* k = NewForm<TForm>(frame);
        k->SetFormStyle(fsMDIChild);
        k->SetBounds(5, 5, 200, 150);
        k->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
        k->Show();
        driver.Pump();
        kids.push_back(k);
    }
    EXPECT_TRUE(cascade->Execute());
    driver.Pump();
    EXPECT_NE(kids[0]->Left(), kids[1]->Left());
    EXPECT_NE(kids[0]->Top(), kids[1]->Top());
    EXPECT_TRUE(tileV->Execute());
    driver.Pump();
    EXPECT_EQ(kids[0]->Top(), kids[1]->Top()) << "side by side";
    EXPECT_EQ(frame->TileMode(), tbVertical);
    EXPECT_TRUE(minimize->Execute());
    driver.Pump();
    for (TForm* k : kids)
        EXPECT_EQ(k->WindowState(), wsMinimized);
    int before = frame->MDIChildCount();
    EXPECT_TRUE(close->Execute());
    driver.Pump();
    EXPECT_EQ(frame->MDIChildCount(), before - 1) << "the active child closed";
}

// Actions written inside their list's object belong to that list once read, so their shortcuts work.
TEST(ActionListLayoutTest, ActionsReadInsideAListJoinItAndKeepItsOrder) {
    TTestDriver driver;
    auto* form = NewForm<TForm>(Application);
    ReadComponentFromText("object fmActions: TForm\n"
                          "  object ActionList1: TActionList\n"
                          "    object Acn_one: TAction\n"
                          "      ShortCut = 16452\n"
                          "    end\n"
                          "    object Acn_two: TAction\n"
                          "    end\n"
                          "  end\n"
                          "end\n",
                          form);
    auto* list = dynamic_cast<TActionList*>(form->FindComponent("ActionList1"));
    auto* one = dynamic_cast<TAction*>(form->FindComponent("Acn_one"));
    auto* two = dynamic_cast<TAction*>(form->FindComponent("Acn_two"));
    ASSERT_NE(list, nullptr);
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(one->ActionList(), list);
    EXPECT_EQ(two->Index(), 1);
    int runs = 0;
    one->OnExecute = [&](TObject*) { ++runs; };
    form->Show();
    form->SetFocus();
    driver.Pump();
    driver.PressKey('D', modControl);
    EXPECT_EQ(runs, 1);
    // Written again, the actions stay inside the list.
    EXPECT_NE(
        WriteComponentToText(form).find("  object ActionList1: TActionList\n    object Acn_one: TAction"),
        std::string::npos);
    form->Free();
}
