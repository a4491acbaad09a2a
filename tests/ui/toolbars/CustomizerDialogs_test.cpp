#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/SpeedButton.h"
#include "ui/drawing/KvxGlowButton.h"
#include "ui/toolbars/CustomizerBtnU.h"
#include "ui/toolbars/CustomizerU.h"
#include "ui/toolbars/KvxDockPanel.h"
#include "ui/toolbars/KvxToolBarControl.h"
#include "ui/toolbars/KvxToolBarCustomizer.h"

using namespace plat;
using namespace ui;

namespace {

class CustomizeDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 600, 300);
        auto* dock = new TKvxDockPanel(Form);
        dock->SetParent(Form);
        Bar = new TKvxToolBar(Form);
        Bar->SetName("Tools");
        Bar->SetParent(dock);
        for (const char* name : {"Open", "kvxtoolbarseparator1", "Save", "KVXTOOLBARSEPARATOR2"}) {
            TKvxCustomToolBarControl* c;
            if (std::string(name).size() > 10)
                c = new TKvxToolBarSeparator(Form);
            else
                c = new TKvxToolBarButton(Form);
            c->SetName(name);
            if (auto* b = dynamic_cast<TKvxToolBarButton*>(c))
                b->SetCaption(name);
            c->SetKvxToolBar(Bar);
        }
        // One file per test: CTest runs the tests of this fixture side by side.
        Ini = TestOutputDir("toolbars") + "/customize-dialog-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        std::filesystem::remove(Ini);
        Cust = new TKvxToolBarCustomizer(Form);
        Cust->SetName("ChartTools");
        Cust->SetFileName(Ini);
        Cust->SetKvxToolBar(Bar);
        Cust->Commands().resize(2);
        Cust->Commands()[0].SetCaption("Zoom In");
        Cust->Commands()[1].SetCaption("Zoom Out");
        Cust->Options.DeleteAll = true;
        Form->Show();
        Driver.Pump();
        Cust->SaveInitialLayout();
    }
    static std::vector<std::string> Texts(const TCustomizerForm& dlg) {
        std::vector<std::string> t;
        for (const auto& e : dlg.Entries())
            t.push_back(e.Text);
        return t;
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

TEST_F(CustomizeDialogTest, EditedListIsWrittenAndAppliedOnOk) {
    Driver.AnswerNextModal([&](TCustomForm& form) {
        auto& dlg = dynamic_cast<TCustomizerForm&>(form);
        EXPECT_EQ(Texts(dlg), (Names{"Open", "Separator", "Save", "Separator"}));
        EXPECT_FALSE(dlg.CmBxIcon->Visible()) << "a toolbar without images has no icon box";
        EXPECT_EQ(dlg.LstBxCommand->Height(), 219);
        TTestDriver::SavePng(*Driver.Render(&dlg), TestOutputDir("toolbars") + "/customize-dialog.png");

        // The first entry swaps with the last.
        dlg.LstBxToolBarItems->SetItemIndex(0);
        dlg.UpClick();
        EXPECT_EQ(Texts(dlg), (Names{"Separator", "Separator", "Save", "Open"}));
        EXPECT_EQ(dlg.LstBxToolBarItems->ItemIndex(), 3);
        // Two new separators: names free on the toolbar and in the list.
        dlg.SeparatorClick();
        dlg.SeparatorClick();
        EXPECT_EQ(dlg.Entries()[4].Prop.Name, "KvxToolBarSeparator3");
        EXPECT_EQ(dlg.Entries()[5].Prop.Name, "KvxToolBarSeparator4");
        dlg.LstBxCommand->SetItemIndex(1);
        dlg.AddClick(false);
        EXPECT_EQ(dlg.Entries().back().Text, "Zoom_Out");
        // The button properties dialog renames the new button.
        Driver.AnswerNextModal([&](TCustomForm& inner) {
            auto& btn = dynamic_cast<TCusBtnForm&>(inner);
            TTestDriver::SavePng(*Driver.Render(&btn),
                                 TestOutputDir("toolbars") + "/customize-button-dialog.png");
            btn.EdtBtnCaption->SetTextProp("Smaller");
            btn.SetModalResult(mrOk);
        });
        dlg.EditClick();
        EXPECT_EQ(dlg.Entries().back().Text, "Smaller");
        EXPECT_TRUE(dlg.Modified());
        // The glow insert button adds the selected command as a glow button, after the selected entry.
        dlg.LstBxCommand->SetItemIndex(0);
        Driver.Click(dlg.AddGlowButton);
        EXPECT_EQ(dlg.Entries().back().Text, "Zoom_In");
        Driver.Click(dlg.BtnOk);
    });
    Cust->ShowCustomizeDialog();
    // A new button is named after its entry's text.
    EXPECT_EQ(Order(), (Names{"KVXTOOLBARSEPARATOR2", "kvxtoolbarseparator1", "Save", "Open",
                              "KvxToolBarSeparator3", "KvxToolBarSeparator4", "Smaller", "Zoom_In"}));
    auto* made = dynamic_cast<TKvxToolBarButton*>(Bar->ToolBarControl(6));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Caption(), "Smaller");
    EXPECT_NE(dynamic_cast<TKvxGlowButton*>(Bar->ToolBarControl(7)), nullptr);
}

TEST_F(CustomizeDialogTest, ListsShowTheToolBarsPictures) {
    auto* open = dynamic_cast<TKvxToolBarButton*>(Bar->ToolBarControl(0));
    ASSERT_NE(open, nullptr);
    TBitmap glyph(12, 12);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(TRect(0, 0, 12, 12));
    glyph.Canvas()->Brush()->SetColor(clRed);
    glyph.Canvas()->FillRect(TRect(2, 2, 10, 10));
    open->SetGlyph(&glyph);
    auto* images = new TImageList(Form);
    images->SetWidth(16);
    images->SetHeight(16);
    TBitmap blue(16, 16);
    blue.Canvas()->Brush()->SetColor(clBlue);
    blue.Canvas()->FillRect(TRect(0, 0, 16, 16));
    images->Add(&blue, nullptr);
    Bar->SetImages(images);

    Driver.AnswerNextModal([&](TCustomForm& form) {
        auto& dlg = dynamic_cast<TCustomizerForm&>(form);
        ASSERT_EQ(dlg.Entries()[0].Text, "Open");
        EXPECT_EQ(dlg.CmBxIcon->ItemHeight(), 19) << "the icon box fits the images";
        dlg.CmBxIcon->SetItemIndex(0);
        const auto list = Driver.Render(dlg.LstBxToolBarItems);
        const auto icon = Driver.Render(dlg.CmBxIcon);
        TTestDriver::SavePng(*Driver.Render(&dlg), TestOutputDir("toolbars") + "/customize-dialog-icons.png");
        // The glyph's red square beside the first entry, its see-through corner not drawn.
        EXPECT_EQ(TTestDriver::PixelOf(*list, 2 + 5, 2 + 5), clRed);
        EXPECT_NE(TTestDriver::PixelOf(*list, 2, 2), clFuchsia);
        // The selected image in the closed icon box.
        EXPECT_EQ(TTestDriver::PixelOf(*icon, 2 + 8, icon->Height() / 2), clBlue);
        // The button properties dialog's icon box too.
        dlg.LstBxToolBarItems->SetItemIndex(0);
        bool edited = false;
        Driver.AnswerNextModal([&](TCustomForm& inner) {
            auto& btn = dynamic_cast<TCusBtnForm&>(inner);
            ASSERT_TRUE(btn.CmBxGlyph->Visible());
            btn.CmBxGlyph->SetItemIndex(0);
            const auto glyphBox = Driver.Render(btn.CmBxGlyph);
            EXPECT_EQ(TTestDriver::PixelOf(*glyphBox, 2 + 8, glyphBox->Height() / 2), clBlue);
            edited = true;
            btn.SetModalResult(mrCancel);
        });
        dlg.EditClick();
        EXPECT_TRUE(edited);
        dlg.SetModalResult(mrCancel);
    });
    Cust->ShowCustomizeDialog();
}

TEST_F(CustomizeDialogTest, ClearAsksFirstAndResetRestores) {
    Driver.AnswerNextModal([&](TCustomForm& form) {
        auto& dlg = dynamic_cast<TCustomizerForm&>(form);
        Driver.AnswerNextModal([&](TCustomForm& box) { Driver.ClickButton(&box, "No"); });
        dlg.ClearClick();
        EXPECT_EQ(dlg.Entries().size(), 4u);
        EXPECT_FALSE(dlg.Modified());
        Driver.AnswerNextModal([&](TCustomForm& box) { Driver.ClickButton(&box, "Yes"); });
        dlg.ClearClick();
        EXPECT_TRUE(dlg.Entries().empty());
        Driver.Click(dlg.BtnOk);
    });
    Cust->ShowCustomizeDialog();
    EXPECT_EQ(Bar->ToolBarControlCount(), 0);

    Driver.AnswerNextModal(
        [&](TCustomForm& form) { Driver.Click(dynamic_cast<TCustomizerForm&>(form).BtnReset); });
    Cust->ShowCustomizeDialog();
    EXPECT_EQ(Order(), (Names{"Open", "kvxtoolbarseparator1", "Save", "KVXTOOLBARSEPARATOR2"}));
}

} // namespace
