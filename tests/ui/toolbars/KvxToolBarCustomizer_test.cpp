#include "ui/toolbars/KvxToolBarCustomizer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/rtl/IniFile.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/toolbars/KvxDockPanel.h"
#include "ui/toolbars/KvxToolBarControl.h"

using namespace plat;
using namespace ui;
using namespace ui::toolbar;

namespace {

class CustomizerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 600, 300);
        auto* dock = new TKvxDockPanel(Form);
        dock->SetName("Dock");
        dock->SetParent(Form);
        Bar = new TKvxToolBar(Form);
        Bar->SetName("Tools");
        Bar->SetParent(dock);
        for (const char* name : {"B0", "S1", "B1", "B2"}) {
            TKvxCustomToolBarControl* c;
            if (name[0] == 'S')
                c = new TKvxToolBarSeparator(Form);
            else
                c = new TKvxToolBarButton(Form);
            c->SetName(name);
            c->SetKvxToolBar(Bar);
        }
        Ini = TestOutputDir("toolbars") + "/" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        std::filesystem::remove(Ini);
        Cust = new TKvxToolBarCustomizer(Form);
        Cust->SetName("Cust");
        Cust->SetFileName(Ini);
        Cust->SetKvxToolBar(Bar);
        Form->Show();
    }
    std::vector<std::string> Order() const {
        std::vector<std::string> names;
        for (int i = 0; i < Bar->ToolBarControlCount(); ++i)
            names.push_back(Bar->ToolBarControl(i)->Name());
        return names;
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TKvxToolBar* Bar = nullptr;
    TKvxToolBarCustomizer* Cust = nullptr;
    std::string Ini;
};

using Names = std::vector<std::string>;

TEST_F(CustomizerTest, CustomizedLayoutIsAppliedAndResetBringsBackTheInitialOne) {
    int executed = 0;
    Cust->Commands().push_back({});
    Cust->Commands()[0].SetCaption("Zoom In");
    Cust->Commands()[0].OnExecute = [&](TObject*) { ++executed; };
    EXPECT_EQ(Cust->Commands()[0].Caption(), "Zoom_In");
    Cust->SaveInitialLayout();

    TKTBItemProp b2;
    b2.Control = Bar->ToolBarControl(3);
    b2.Caption = "Two";
    b2.ShowCaption = true;
    TKTBItemProp added;
    added.FromCommand = true;
    added.CommandIndex = 0;
    added.Name = Cust->Commands()[0].Caption();
    added.Caption = "Zoom";
    TKTBItemProp sep;
    sep.Separator = true;
    sep.Name = "NewSep";
    Cust->SaveCustomization("Edited", gpTop, false, {b2, sep, added});
    Cust->LoadCustomization();

    EXPECT_EQ(Bar->Caption(), "Edited");
    EXPECT_EQ(Order(), (Names{"B2", "NewSep", "Zoom_In"}));
    auto* b = dynamic_cast<TKvxToolBarButton*>(Bar->ToolBarControl(0));
    EXPECT_EQ(b->Caption(), "Two");
    EXPECT_TRUE(b->ShowCaption());
    EXPECT_EQ(b->GlyphPosition(), gpTop);
    auto* made = dynamic_cast<TKvxToolBarButton*>(Bar->ToolBarControl(2));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Caption(), "Zoom");
    made->Click();
    EXPECT_EQ(executed, 1) << "the command runs from the button made for it";
    EXPECT_EQ(Cust->RemovedControls().size(), 3u);

    Cust->RestoreInitialLayout();
    EXPECT_EQ(Order(), (Names{"B0", "S1", "B1", "B2"}));
    EXPECT_TRUE(Cust->RemovedControls().empty());
    EXPECT_EQ(Form->FindComponent("B2")->ComponentState() & csDestroying, 0u);
    EXPECT_FALSE(TIniFile(Ini).SectionExists("Cust")) << "the next start shows the initial layout";
    EXPECT_TRUE(TIniFile(Ini).SectionExists("CustOrg"));
}

TEST_F(CustomizerTest, GlowEntriesAreWrittenAsSuchAndComeBackAsGlowButtons) {
    int executed = 0;
    Cust->Commands().resize(1);
    Cust->Commands()[0].OnExecute = [&](TObject*) { ++executed; };
    auto* images = new TImageList(Form);
    Bar->SetImages(images);
    Cust->SaveInitialLayout();

    TKTBItemProp glow;
    glow.FromCommand = true;
    glow.CommandIndex = 0;
    glow.GlowButton = true;
    glow.Name = "Shine";
    glow.Caption = "Shine";
    glow.ShowCaption = true;
    glow.ImageIndex = 2;
    glow.Hint = "Make it shine";
    TKTBItemProp b0;
    b0.Control = Bar->ToolBarControl(0);
    Cust->SaveCustomization("Tools", gpRight, false, {glow, b0});
    EXPECT_EQ(TIniFile(Ini).ReadString("Cust", "Name0.ClassName", ""), "KVXCUSTOMGLOWBUTTON");
    Cust->LoadCustomization();

    EXPECT_EQ(Order(), (Names{"Shine", "B0"}));
    auto* g = dynamic_cast<TKvxGlowButton*>(Bar->ToolBarControl(0));
    ASSERT_NE(g, nullptr) << "a glow entry makes a glow button, not a toolbar button";
    EXPECT_EQ(g->Parent(), Bar);
    EXPECT_EQ(g->Images(), images);
    EXPECT_EQ(g->ImageIndex(), 2);
    EXPECT_EQ(g->Caption(), "Shine");
    EXPECT_TRUE(g->ShowCaption());
    EXPECT_EQ(g->Hint(), "Make it shine");
    EXPECT_EQ(g->Layout(), blGlyphRight);
    g->Click();
    EXPECT_EQ(executed, 1);

    // Written again, an existing glow button keeps its class; a glow button the program placed keeps
    // its own image whatever the file says.
    TKTBItemProp again;
    again.Control = g;
    again.ImageIndex = 2;
    auto* placed = new TKvxGlowButton(Form);
    placed->SetName("Placed");
    placed->SetImageIndex(4);
    placed->SetParent(Bar);
    TKTBItemProp mine;
    mine.Control = placed;
    mine.ImageIndex = 7;
    Cust->SaveCustomization("Tools", gpLeft, false, {again, mine});
    EXPECT_EQ(TIniFile(Ini).ReadString("Cust", "Name0.ClassName", ""), "KVXCUSTOMGLOWBUTTON");
    EXPECT_EQ(TIniFile(Ini).ReadString("Cust", "Name1.ClassName", ""), "KVXCUSTOMGLOWBUTTON");
    Cust->LoadCustomization();
    EXPECT_EQ(Order(), (Names{"Shine", "Placed"}));
    EXPECT_EQ(placed->ImageIndex(), 4);
    EXPECT_EQ(g->ImageIndex(), 2);

    Cust->RestoreInitialLayout();
    EXPECT_EQ(Order(), (Names{"B0", "S1", "B1", "B2"}));
}

// The initial layout carries every button's and glow button's properties whatever the dialog edits, so a
// reset takes back what a customization changed on either.
TEST_F(CustomizerTest, TheInitialLayoutKeepsAllButtonPropertiesAndResetRestoresThem) {
    auto* glow = new TKvxGlowButton(Form);
    glow->SetName("Glow");
    glow->SetCaption("Shine");
    glow->SetHint("Glow hint");
    glow->SetParent(Bar);
    auto* b0 = dynamic_cast<TKvxToolBarButton*>(Form->FindComponent("B0"));
    b0->SetCaption("Open");
    b0->SetHint("Open hint");
    Cust->ButtonProperties = {false, false, false, false, false};
    Cust->SaveInitialLayout();
    TIniFile ini(Ini);
    const int glowEntry = Bar->IndexOfToolBarControl(glow);
    for (const std::string& key : {std::string("Name0"), "Name" + std::to_string(glowEntry)})
        for (const char* property : {".ImageIndex", ".Visible", ".ShowCaption", ".Caption", ".Hint"})
            EXPECT_TRUE(ini.ValueExists("CustOrg", key + property)) << key << property;
    EXPECT_EQ(ini.ReadString("CustOrg", "Name" + std::to_string(glowEntry) + ".Caption", ""), "Shine");

    Cust->ButtonProperties = {true, true, true, true, true};
    TKTBItemProp g, b;
    g.Control = glow;
    g.Caption = "Dull";
    g.Hint = "changed";
    g.Visible = false;
    b.Control = b0;
    b.Caption = "Shut";
    b.ShowCaption = true;
    Cust->SaveCustomization("Tools", gpLeft, false, {g, b});
    Cust->LoadCustomization();
    ASSERT_EQ(glow->Caption(), "Dull");
    ASSERT_EQ(b0->Caption(), "Shut");

    Cust->RestoreInitialLayout();
    EXPECT_EQ(glow->Caption(), "Shine");
    EXPECT_EQ(glow->Hint(), "Glow hint");
    EXPECT_TRUE(glow->Visible());
    EXPECT_EQ(b0->Caption(), "Open");
    EXPECT_EQ(b0->Hint(), "Open hint");
    EXPECT_FALSE(b0->ShowCaption());
}

// Layouts from a damaged or hand-edited file.
TEST_F(CustomizerTest, StoredEntriesAreCheckedBeforeTheyChangeTheToolBar) {
    Cust->Commands().resize(1);
    const struct {
        const char* what;
        const char* section;
        Names order;
    } cases[] = {
        {"an empty name without a command is skipped and removes nothing in its place",
         "ToolBarItemCount=4\nName0=B0\nName0.ClassName=KVXTOOLBARBUTTON\nName1=\nName1.ClassName="
         "KVXTOOLBARBUTTON\n"
         "Name2=S1\nName2.ClassName=KVXTOOLBARSEPARATOR\nName3=B1\nName3.ClassName=KVXTOOLBARBUTTON\n",
         {"B0", "S1", "B1"}},
        {"an empty name with a command makes a button with a name of its own",
         "ToolBarItemCount=2\nName0=\nName0.ClassName=KVXTOOLBARBUTTON\nName0.CommandID=0\nName1=B0\n"
         "Name1.ClassName=KVXTOOLBARBUTTON\n",
         {"KvxToolBarButton1", "B0"}},
        {"a command outside the list leaves an unnamed entry out",
         "ToolBarItemCount=2\nName0=\nName0.ClassName=KVXTOOLBARBUTTON\nName0.CommandID=5\nName1=B2\n"
         "Name1.ClassName=KVXTOOLBARBUTTON\n",
         {"B2"}},
        {"names that are no identifiers or already taken are replaced",
         "ToolBarItemCount=3\nName0=2 bad\nName0.ClassName=KVXTOOLBARBUTTON\nName1=Dock\n"
         "Name1.ClassName=KVXTOOLBARSEPARATOR\nName2=b1\nName2.ClassName=KVXTOOLBARBUTTON\n",
         {"KvxToolBarButton1", "Dock1", "B1"}},
        {"unknown classes and entries without class create nothing",
         "ToolBarItemCount=3\nName0=X\nName0.ClassName=TMEMO\nName1=B1\nName2=B2\nName2.ClassName="
         "KVXTOOLBARBUTTON\n",
         {"B2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Cust->SaveInitialLayout();
        std::ofstream(Ini, std::ios::app) << "[Cust]\n" << c.section;
        Cust->LoadCustomization();
        EXPECT_EQ(Order(), c.order);
        for (int i = 0; i < Bar->ToolBarControlCount(); ++i)
            EXPECT_TRUE(IsValidIdent(Bar->ToolBarControl(i)->Name()));
        Cust->RestoreInitialLayout();
        EXPECT_EQ(Order(), (Names{"B0", "S1", "B1", "B2"}));
        std::filesystem::remove(Ini);
    }
}

TEST_F(CustomizerTest, EmptyLayoutEmptiesTheToolBarAndWithoutPersistenceNothingHappens) {
    Cust->SaveInitialLayout();
    Cust->SaveCustomization("", 0, false, {});
    Cust->LoadCustomization();
    EXPECT_EQ(Bar->ToolBarControlCount(), 0);
    Cust->RestoreInitialLayout();
    EXPECT_EQ(Order(), (Names{"B0", "S1", "B1", "B2"}));

    std::filesystem::remove(Ini);
    Cust->SetEnablePersistence(false);
    Cust->SaveInitialLayout();
    Cust->SaveCustomization("", 0, false, {});
    Cust->LoadCustomization();
    EXPECT_FALSE(std::filesystem::exists(Ini));
    EXPECT_EQ(Bar->ToolBarControlCount(), 4);
}

} // namespace
