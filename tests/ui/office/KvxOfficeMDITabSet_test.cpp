#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/Exception.h"
#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "ui/office/KvxOfficeTabSet.h"
#include "ui/office/KvxOfficeTabSetStylers.h"

namespace {

using plat::TCloseAction;
using plat::TForm;
using plat::TRect;
using namespace ui::tabset;

class MDITabSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        Frame = plat::NewForm<TForm>(plat::Application);
        Frame->SetFormStyle(plat::fsMDIForm);
        Frame->SetCaption("Lumetra");
        Frame->SetBounds(50, 50, 800, 500);
        TabSet = new TKvxOfficeMDITabSet(Frame);
        TabSet->SetParent(Frame);
        TabSet->SetAlign(plat::alTop);
        TabSet->SetHeight(27);
        TabSet->ButtonSettings()->SetCloseButton(true);
        TabSet->ButtonSettings()->SetTabListButton(true);
        TabSet->SetCloseOnTab(true);
        TabSet->TabSettings()->SetStartMargin(4);
        TabSet->Loaded();
        plat::Application->SetMainForm(Frame);
        Frame->Show();
        Driver.Pump();
    }

    TForm* Child(const std::string& caption) {
        TForm* c = plat::NewForm<TForm>(Frame);
        c->SetFormStyle(plat::fsMDIChild);
        c->SetCaption(caption);
        c->SetBounds(10 + 40 * Count, 10 + 30 * Count, 300, 200);
        ++Count;
        c->Show();
        Driver.Pump();
        return c;
    }

    // Three children with their tabs; the last one added is active.
    std::vector<TForm*> ThreeChildren() {
        std::vector<TForm*> children;
        for (const char* c : {"Live view", "Chart 1", "Chart 2"}) {
            children.push_back(Child(c));
            TabSet->AddChildTab(children.back());
        }
        return children;
    }

    plat::TTestDriver Driver;
    TForm* Frame = nullptr;
    TKvxOfficeMDITabSet* TabSet = nullptr;
    int Count = 0;
};

TEST(MDITabSetPlacement, RefusesAnythingButOneOnAnMDIFrame) {
    plat::TTestDriver driver;
    auto message = [](auto make) -> std::string {
        try {
            make();
        } catch (const plat::Exception& e) {
            return e.what();
        }
        return "created";
    };
    auto* owner = new plat::TComponent(nullptr);
    EXPECT_EQ(message([&] { new TKvxOfficeMDITabSet(owner); }),
              "KvxOfficeMDITabSet can only be placed on a Form.");
    auto* plain = plat::NewForm<TForm>(plat::Application);
    EXPECT_EQ(message([&] { new TKvxOfficeMDITabSet(plain); }),
              "KvxOfficeMDITabSet can only be placed on a MDIForm.");
    auto* frame = plat::NewForm<TForm>(plat::Application);
    frame->SetFormStyle(plat::fsMDIForm);
    EXPECT_EQ(message([&] { new TKvxOfficeMDITabSet(frame); }), "created");
    EXPECT_EQ(message([&] { new TKvxOfficeMDITabSet(frame); }),
              "Only one instance of KvxOfficeMDITabSet can be placed on a MDIForm.");
    EXPECT_EQ(owner->ComponentCount(), 0);
    EXPECT_EQ(plain->ComponentCount(), 0);
    owner->Free();
}

TEST_F(MDITabSetTest, ThreeChildrenOneTabEach) {
    std::vector<std::string> activated;
    TForm* early = Child("Live view");
    early->OnActivate = [&](plat::TObject* s) { activated.push_back(static_cast<TForm*>(s)->Caption()); };
    TabSet->AddChildTab(early);
    TForm* b = Child("Chart 1");
    TForm* c = Child("Chart 2");
    TabSet->AddChildTab(b);
    TabSet->AddChildTab(c);
    EXPECT_EQ(TabSet->AddChildTab(b), nullptr) << "a child has one tab";
    EXPECT_EQ(TabSet->AddChildTab(nullptr), nullptr);
    ASSERT_EQ(TabSet->GetTabCount(), 3);
    EXPECT_EQ(TabSet->GetTab(3), nullptr);
    EXPECT_EQ(TabSet->GetTab(1)->Caption(), "Chart 1");
    EXPECT_EQ(TabSet->GetTab(2)->ChildForm, c);
    EXPECT_EQ(TabSet->ActiveTabIndex(), 2);
    EXPECT_EQ(Frame->ActiveMDIChild(), c);

    activated.clear();
    Driver.Click(TabSet, TabSet->GetTabRect(0).CenterPoint());
    Driver.Pump();
    EXPECT_EQ(Frame->ActiveMDIChild(), early) << "the tab brings its child to front";
    EXPECT_EQ(TabSet->ActiveTabIndex(), 0);
    EXPECT_FALSE(activated.empty());
    EXPECT_EQ(activated.back(), "Live view") << "the child's own handler still runs, with itself as sender";

    Driver.Click(c->ClientToScreen(plat::TPoint(250, 150))); // where no other child covers it
    Driver.Pump();
    EXPECT_EQ(TabSet->ActiveTabIndex(), 2) << "activating a child selects its tab";

    b->SetWindowState(plat::wsMinimized);
    Driver.Pump();
    Driver.Click(TabSet, TabSet->GetTabRect(1).CenterPoint());
    Driver.Pump();
    EXPECT_EQ(b->WindowState(), plat::wsNormal) << "a minimised child is restored by its tab";

    auto image = Driver.Render(Frame);
    ASSERT_NE(image, nullptr);
    plat::TTestDriver::SavePng(*image, plat::TestOutputDir("office") + "/mdi-tabset.png");
}

// The close button of the active tab asks the child's OnClose, which decides what happens.
TEST_F(MDITabSetTest, CloseActionsOfTheChild) {
    struct Case {
        TCloseAction Action;
        int TabsAfter;       // once the messages are handled
        bool ChildVisible;   // of the closed child, when it still exists
        bool ChildMinimized; //
        bool TabVisible;     // of its tab, when it still exists
        int ActiveAfter;     // index of the active tab
    };
    const Case cases[] = {
        {plat::caNone, 3, true, false, true, 1},
        {plat::caHide, 3, false, false, false, 2},
        {plat::caFree, 2, false, false, false, 1},
        {plat::caMinimize, 3, true, true, true, 2},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(static_cast<int>(k.Action));
        std::vector<TForm*> children = ThreeChildren();
        TForm* closed = children[1];
        closed->OnClose = [&](plat::TObject*, TCloseAction& a) { a = k.Action; };
        TabSet->SetActiveTabIndex(1);
        Driver.Pump();
        ASSERT_NE(TabSet->CloseButton(), nullptr);
        Driver.Advance(1000, 50); // not a double click with the last case's
        Driver.Click(TabSet->CloseButton());
        Driver.Pump();
        EXPECT_EQ(TabSet->GetTabCount(), k.TabsAfter);
        const bool exists = Frame->MDIChildCount() == 3;
        EXPECT_EQ(exists, k.Action != plat::caFree) << "a freed child is gone";
        if (exists) {
            EXPECT_EQ(closed->Visible(), k.ChildVisible);
            EXPECT_EQ(closed->WindowState() == plat::wsMinimized, k.ChildMinimized);
            EXPECT_EQ(TabSet->GetTab(1)->Visible(), k.TabVisible);
        }
        EXPECT_EQ(TabSet->ActiveTabIndex(), k.ActiveAfter);
        if (k.Action == plat::caHide) {
            closed->Show();
            Driver.Pump();
            EXPECT_TRUE(TabSet->GetTab(1)->Visible()) << "activating the child again shows its tab";
            EXPECT_EQ(TabSet->ActiveTabIndex(), 1);
        }
        for (TForm* c : children)
            if (c != closed || exists)
                c->Free();
        Driver.Pump();
        EXPECT_EQ(TabSet->GetTabCount(), 0) << "each destroyed child took its tab";
    }
}

TEST_F(MDITabSetTest, ARefusedCloseQueryChangesNothing) {
    std::vector<TForm*> children = ThreeChildren();
    children[2]->OnCloseQuery = [](plat::TObject*, bool& can) { can = false; };
    EXPECT_THROW(TabSet->CloseButtonClick(), plat::EAbort);
    EXPECT_EQ(TabSet->ActiveTabIndex(), 2);
    EXPECT_TRUE(TabSet->GetTab(2)->Visible());
    EXPECT_TRUE(children[2]->Visible());
    Driver.Click(TabSet->CloseButton());
    Driver.Pump();
    EXPECT_EQ(TabSet->GetTabCount(), 3) << "through the button the abort is silent";
}

TEST_F(MDITabSetTest, TheLastTabClosedLeavesAnEmptyStrip) {
    TForm* only = Child("Live view");
    TabSet->AddChildTab(only);
    Driver.Click(TabSet->CloseButton());
    Driver.Pump();
    EXPECT_EQ(TabSet->GetTabCount(), 0);
    EXPECT_EQ(TabSet->ActiveTabIndex(), -1);
    EXPECT_EQ(Frame->MDIChildCount(), 0);
}

// Children that outlive the strip get their own handlers back and never reach it again.
TEST_F(MDITabSetTest, AFreedTabSetGivesTheChildrenTheirHandlersBack) {
    std::vector<std::string> log;
    TForm* a = Child("a");
    a->OnActivate = [&](plat::TObject*) { log.push_back("activate a"); };
    a->OnDestroy = [&](plat::TObject*) { log.push_back("destroy a"); };
    TForm* b = Child("b");
    TabSet->AddChildTab(a);
    TabSet->AddChildTab(b);
    TabSet->Free();
    EXPECT_FALSE(static_cast<bool>(b->OnActivate));
    EXPECT_FALSE(static_cast<bool>(b->OnDestroy));
    log.clear();
    Driver.Click(a->ClientToScreen(plat::TPoint(5, 5)));
    Driver.Pump();
    EXPECT_EQ(log, std::vector<std::string>{"activate a"});
    a->Free();
    EXPECT_EQ(log, (std::vector<std::string>{"activate a", "destroy a"}));
}

// The main window's layout: the strip, its styler and its tab list menu, read like the application's.
TEST(MDITabSetLayout, TheMainWindowsStripReadsFromItsLayout) {
    plat::TTestDriver driver;
    const char* layout = R"(object fmMain: TForm
  Left = 0
  Top = 0
  Width = 700
  Height = 400
  FormStyle = fsMDIForm
  object KvxOfficeMDITabSet1: TKvxOfficeMDITabSet
    Left = 0
    Top = 0
    Width = 692
    Height = 27
    Align = alTop
    KvxOfficeTabSetStyler = KvxOfficeTabSetOfficeStyler1
    ButtonSettings.CloseButton = True
    ButtonSettings.TabListButton = True
    CloseOnTab = True
    TabListMenu = pmTabs
    TabSettings.StartMargin = 4
  end
  object KvxOfficeTabSetOfficeStyler1: TKvxOfficeTabSetOfficeStyler
    Style = tsOffice2007Luna
  end
  object pmTabs: TPopupMenu
  end
end
)";
    auto* form = new TForm(plat::Application);
    plat::ReadComponentFromText(layout, form);
    auto* ts = dynamic_cast<TKvxOfficeMDITabSet*>(form->FindComponent("KvxOfficeMDITabSet1"));
    ASSERT_NE(ts, nullptr);
    EXPECT_EQ(ts->KvxOfficeTabSetStyler(), form->FindComponent("KvxOfficeTabSetOfficeStyler1"));
    EXPECT_EQ(ts->TabListMenu(), form->FindComponent("pmTabs"));
    EXPECT_EQ(ts->TabSettings()->StartMargin(), 4);
    EXPECT_TRUE(ts->CloseOnTab());
    EXPECT_NE(ts->TabListButton(), nullptr) << "loading placed the buttons";
    EXPECT_EQ(ts->CurrentStyler()->TabAppearance()->TextColor(), 0x8B4215) << "the Luna colours";
    form->Free();
}

} // namespace
