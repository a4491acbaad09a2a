#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/gfx/Bitmap.h"
#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "ui/toolbars/KvxDockPanel.h"
#include "ui/toolbars/KvxToolBarControl.h"

using namespace plat;
using namespace ui;
using namespace ui::toolbar;

namespace {

class ToolBarPropertiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 600, 300);
        Dock = new TKvxDockPanel(Form);
        Dock->SetParent(Form);
        Form->Show();
    }
    TKvxToolBar* NewToolBar(TWinControl* parent, int buttons) {
        auto* bar = new TKvxToolBar(Form);
        bar->SetParent(parent);
        for (int i = 0; i < buttons; ++i) {
            auto* b = new TKvxToolBarButton(Form);
            b->SetWidth(20 + 4 * i); // told apart by their widths
            b->SetKvxToolBar(bar);
        }
        return bar;
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TKvxDockPanel* Dock = nullptr;
};

TEST_F(ToolBarPropertiesTest, SizeAndPositionsAreLeftToTheProgramOnlyOnAnOrdinaryParent) {
    TKvxToolBar* docked = NewToolBar(Dock, 2);
    docked->SetAutoSize(false);
    docked->SetAutoPositionControls(false);
    EXPECT_TRUE(docked->AutoSize()) << "a docked toolbar is sized by its row";
    EXPECT_TRUE(docked->AutoPositionControls());

    TKvxToolBar* placed = NewToolBar(Form, 2);
    ASSERT_EQ(placed->State(), tbsPlaced);
    ASSERT_NE(placed->Constraints()->MinWidth(), 0);
    placed->SetAutoSize(false);
    EXPECT_FALSE(placed->AutoSize());
    EXPECT_EQ(placed->Constraints()->MinWidth(), 0);
    EXPECT_EQ(placed->Constraints()->MaxWidth(), 0);
    EXPECT_EQ(placed->Constraints()->MinHeight(), 0);
    EXPECT_EQ(placed->Constraints()->MaxHeight(), 0);
    placed->SetBounds(10, 100, 300, 60);
    EXPECT_EQ(placed->Width(), 300);

    TKvxToolBar* free = NewToolBar(Form, 1);
    free->SetAutoPositionControls(false);
    EXPECT_FALSE(free->AutoPositionControls());
    EXPECT_FALSE(free->AutoSize()) << "positions left to the program take the size with them";
}

TEST_F(ToolBarPropertiesTest, ControlAccessByPosition) {
    TKvxToolBar* bar = NewToolBar(Dock, 3);
    ASSERT_EQ(bar->ToolBarControlCount(), 3);
    TControl* first = bar->ToolBarControl(0);
    TControl* last = bar->ToolBarControl(2);
    EXPECT_EQ(bar->ToolBarControl(-1), nullptr);
    EXPECT_EQ(bar->ToolBarControl(3), nullptr);
    EXPECT_EQ(bar->IndexOfToolBarControl(last), 2);
    EXPECT_EQ(bar->IndexOfToolBarControl(Dock), -1);

    for (auto [from, to] : {std::pair(-1, 0), std::pair(0, 3), std::pair(1, 1)}) {
        bar->MoveToolBarControl(from, to);
        EXPECT_EQ(bar->ToolBarControl(0), first) << from << "->" << to;
        EXPECT_EQ(bar->ToolBarControl(2), last) << from << "->" << to;
    }
    const int firstLeft = first->Left();
    bar->MoveToolBarControl(2, 0);
    EXPECT_EQ(bar->ToolBarControl(0), last);
    EXPECT_EQ(bar->ToolBarControl(1), first);
    EXPECT_EQ(last->Left(), firstLeft) << "the moved control is placed where the order puts it";
    EXPECT_EQ(first->Left(), firstLeft + last->Width());
}

TEST_F(ToolBarPropertiesTest, FloatingSettingsComeFromTheLayout) {
    const char* text = R"(object F: TForm
  object Dock: TKvxDockPanel
    object Menu: TKvxToolBar
      AllowFloating = False
      Locked = True
      AutoDockOnClose = True
      DockMode = dmParentDockPanelOnly
      Version = '9.9.9.9'
    end
  end
end
)";
    auto* form = NewForm<TForm>(Application);
    ReadComponentFromText(text, form);
    auto* bar = dynamic_cast<TKvxToolBar*>(form->FindComponent("Menu"));
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->AllowFloating());
    EXPECT_TRUE(bar->Locked());
    EXPECT_TRUE(bar->AutoDockOnClose());
    EXPECT_EQ(bar->DockMode(), dmParentDockPanelOnly);
    EXPECT_EQ(bar->Version(), "3.1.1.0");
    const std::string written = WriteComponentToText(form);
    for (const char* line : {"AllowFloating = False", "Locked = True", "DockMode = dmParentDockPanelOnly"})
        EXPECT_NE(written.find(line), std::string::npos) << line;
}

TEST_F(ToolBarPropertiesTest, CaptionCompactAndHintSettingsSurviveALayoutRoundTrip) {
    const char* text = R"(object F: TForm
  object Dock: TKvxDockPanel
    object Bar: TKvxToolBar
      AntiAlias = aaNone
      CaptionAlignment = taCenter
      HintCloseButton = 'Close it'
      CompactCaption = 'Tools'
      CompactImageIndex = 3
      CompactShortCutHint = 'Alt+T'
      OfficeHint.Title = 'Drawing tools'
      OfficeHint.ShowHelp = True
    end
  end
end
)";
    auto* form = NewForm<TForm>(Application);
    ReadComponentFromText(text, form);
    auto* bar = dynamic_cast<TKvxToolBar*>(form->FindComponent("Bar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->AntiAlias(), aaNone);
    EXPECT_EQ(bar->CaptionAlignment(), taCenter);
    EXPECT_EQ(bar->HintCloseButton(), "Close it");
    EXPECT_EQ(bar->CompactCaption(), "Tools");
    EXPECT_EQ(bar->CompactImageIndex(), 3);
    EXPECT_EQ(bar->CompactShortCutHint(), "Alt+T");
    EXPECT_EQ(bar->OfficeHint()->Title(), "Drawing tools");
    EXPECT_TRUE(bar->OfficeHint()->ShowHelp());
    EXPECT_TRUE(bar->CompactPicture()->Empty());

    const std::string written = WriteComponentToText(form);
    for (const char* line :
         {"AntiAlias = aaNone", "CaptionAlignment = taCenter", "HintCloseButton = 'Close it'",
          "CompactCaption = 'Tools'", "CompactImageIndex = 3", "CompactShortCutHint = 'Alt+T'",
          "OfficeHint.Title = 'Drawing tools'"})
        EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;

    // A fresh toolbar starts without a compact image, and the hint it owns is a copy, not the caller's.
    TKvxToolBar* fresh = NewToolBar(Dock, 0);
    EXPECT_EQ(fresh->CompactImageIndex(), -1);
    TKvxHintInfo hint;
    hint.SetTitle("Copied");
    fresh->SetOfficeHint(&hint);
    hint.SetTitle("Changed later");
    EXPECT_EQ(fresh->OfficeHint()->Title(), "Copied");
}

TEST_F(ToolBarPropertiesTest, ReadjustButtonsRemeasuresMenuButtonsOrEveryButton) {
    TKvxToolBar* bar = NewToolBar(Form, 0);
    auto* menuButton = new TKvxToolBarMenuButton(Form);
    menuButton->SetCaption("File");
    menuButton->SetShowCaption(true);
    menuButton->SetKvxToolBar(bar);
    auto* plain = new TKvxToolBarButton(Form);
    plain->SetCaption("Open");
    plain->SetShowCaption(true);
    plain->SetKvxToolBar(bar);
    const int menuWidth = menuButton->Width(), plainWidth = plain->Width();

    // Widths set from outside stand for sizes measured with an older font.
    menuButton->SetWidth(menuWidth + 30);
    plain->SetWidth(plainWidth + 30);
    bar->ReadjustButtons();
    EXPECT_EQ(menuButton->Width(), menuWidth);
    EXPECT_EQ(plain->Width(), plainWidth + 30) << "only menu buttons by default";
    bar->ReadjustButtons(false);
    EXPECT_EQ(plain->Width(), plainWidth);
}

TEST_F(ToolBarPropertiesTest, AButtonDrawsItsPictureAtItsExplicitPlace) {
    TKvxToolBar* bar = NewToolBar(Form, 0);
    auto* button = new TKvxToolBarButton(Form);
    button->SetKvxToolBar(bar);
    TBitmap image(20, 20);
    image.Canvas()->Brush()->SetColor(clFuchsia); // the corner colour is see-through
    image.Canvas()->FillRect(TRect(0, 0, 20, 20));
    image.Canvas()->Brush()->SetColor(clRed);
    image.Canvas()->FillRect(TRect(4, 4, 16, 16));
    TPicture picture;
    picture.SetGraphic(&image);
    button->SetPicture(&picture);
    EXPECT_GE(button->Width(), 20) << "the button grows to its picture";
    EXPECT_GE(button->Height(), 20);
    Driver.Pump();

    // Where the picture's red square is, in the toolbar's picture.
    auto redAt = [&](int x, int y) {
        const auto shot = Driver.Render(bar);
        return TTestDriver::PixelOf(*shot, button->Left() + x, button->Top() + y) == clRed;
    };
    const int ix = (button->Width() - 20) / 2, iy = (button->Height() - 20) / 2;
    EXPECT_TRUE(redAt(ix + 10, iy + 10));
    EXPECT_FALSE(redAt(ix + 2, iy + 2)) << "the corner colour stays transparent";

    TKvxToolBarButtonDrawPosition place;
    place.SetEnabled(true);
    place.SetImageX(-4); // the red square's corner at the button's corner
    place.SetImageY(-4);
    button->SetDrawPosition(&place);
    EXPECT_TRUE(redAt(0, 0));
    EXPECT_TRUE(redAt(11, 11));
    EXPECT_FALSE(redAt(12, 12));
    const auto shot = Driver.Render(bar);
    TTestDriver::SavePng(*shot, TestOutputDir("toolbars") + "/button-picture-placed.png");

    // The place and the hint reach the layout.
    button->SetName("Pic");
    button->OfficeHint()->SetTitle("Red square");
    auto* glyphButton = new TKvxToolBarButton(Form);
    glyphButton->SetName("Gly");
    glyphButton->SetGlyph(&image);
    glyphButton->SetKvxToolBar(bar);
    const std::string written = WriteComponentToText(Form);
    for (const char* line :
         {"DrawPosition.Enabled = True", "DrawPosition.ImageX = -4", "OfficeHint.Title = 'Red square'"})
        EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;

    // So does the picture: the button read back draws the red square at the same place.
    auto* again = NewForm<TForm>(Application);
    ReadComponentFromText(written, again);
    auto* read = dynamic_cast<TKvxToolBarButton*>(again->FindComponent("Pic"));
    ASSERT_NE(read, nullptr);
    ASSERT_NE(read->Picture()->Graphic(), nullptr);
    EXPECT_TRUE(read->Picture()->Graphic()->Is<TBitmap>());
    EXPECT_EQ(read->Picture()->Width(), 20);
    auto* readGlyph = dynamic_cast<TKvxToolBarButton*>(again->FindComponent("Gly"));
    ASSERT_NE(readGlyph, nullptr);
    EXPECT_EQ(readGlyph->Glyph()->Width(), 20) << "a glyph comes back too";
    EXPECT_EQ(readGlyph->Width(), glyphButton->Width());
    again->SetBounds(100, 100, 600, 300);
    again->Show();
    Driver.Pump();
    const auto readShot = Driver.Render(read->Parent());
    EXPECT_EQ(TTestDriver::PixelOf(*readShot, read->Left() + 11, read->Top() + 11), clRed);
    EXPECT_NE(TTestDriver::PixelOf(*readShot, read->Left() + 12, read->Top() + 12), clRed);
}

} // namespace
