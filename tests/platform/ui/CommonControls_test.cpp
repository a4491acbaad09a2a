// A form with a header, a tree view, a date-time picker and a status bar, loaded from a layout; its
// controls read their properties and collections from the layout, and the form is saved as a picture.
#include <gtest/gtest.h>

#include "platform/rtl/ClassRegistry.h"
#include "platform/rtl/Locale.h"
#include "platform/rtl/PropertyInfo.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/DateTimePicker.h"
#include "platform/ui/Header.h"
#include "platform/ui/StatusBar.h"
#include "platform/ui/TreeView.h"

using namespace plat;

namespace {

class TfmCommon : public TForm {
    PLAT_CLASS(TfmCommon)
public:
    explicit TfmCommon(TComponent* AOwner) : TForm(AOwner) {}
    THeaderControl* hc_columns = nullptr;
    TTreeView* tv_items = nullptr;
    TDateTimePicker* dt_from = nullptr;
    TDateTimePicker* dt_at = nullptr;
    TStatusBar* sb_status = nullptr;
    std::vector<std::string> Selected;
    void tv_itemsChange(TObject*, TTreeNode* Node) { Selected.push_back(Node->Text()); }
};

PLAT_CLASS_INFO_CREATABLE(TfmCommon, TForm)

PLAT_PROPERTIES(TfmCommon) {
    props.Field("hc_columns", &TfmCommon::hc_columns);
    props.Field("tv_items", &TfmCommon::tv_items);
    props.Field("dt_from", &TfmCommon::dt_from);
    props.Field("dt_at", &TfmCommon::dt_at);
    props.Field("sb_status", &TfmCommon::sb_status);
    props.Method("tv_itemsChange", &TfmCommon::tv_itemsChange);
}

const char* const Layout = R"(object fmCommon: TfmCommon
  Left = 160
  Top = 90
  Caption = 'Common controls'
  ClientHeight = 300
  ClientWidth = 460
  Color = clBtnFace
  object hc_columns: THeaderControl
    Left = 0
    Top = 0
    Width = 460
    Height = 18
    Sections = <
      item
        Text = 'Frame'
        Width = 160
      end
      item
        Alignment = taRightJustify
        Text = 'Exposure'
        Width = 90
        MinWidth = 40
      end
      item
        Text = 'Taken'
        Width = 120
      end>
  end
  object tv_items: TTreeView
    Left = 8
    Top = 28
    Width = 200
    Height = 230
    HideSelection = False
    Indent = 19
    TabOrder = 0
    OnChange = tv_itemsChange
  end
  object dt_from: TDateTimePicker
    Left = 224
    Top = 28
    Width = 150
    Height = 21
    TabOrder = 1
  end
  object dt_at: TDateTimePicker
    Left = 224
    Top = 60
    Width = 150
    Height = 21
    Kind = dtkTime
    ShowCheckbox = True
    TabOrder = 2
  end
  object sb_status: TStatusBar
    Left = 0
    Top = 281
    Width = 460
    Height = 19
    Panels = <
      item
        Text = 'X='
        Width = 30
      end
      item
        Text = '512.25'
        Width = 80
      end
      item
        Text = 'Y='
        Width = 30
      end
      item
        Text = '1834'
        Width = 80
      end
      item
        Bevel = pbNone
        Text = 'Ready'
        Width = 50
      end>
  end
end
)";

class CommonControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TFormatSettings fs;
        fs.DateSeparator = '.';
        fs.ShortDateFormat = "dd/mm/yyyy";
        Settings = std::make_unique<TScopedFormatSettings>(fs);
        RegisterClasses({&THeaderControl::StaticClass(), &TTreeView::StaticClass(),
                         &TDateTimePicker::StaticClass(), &TStatusBar::StaticClass(),
                         &TfmCommon::StaticClass()});
        RegisterFormResource("TfmCommon", Layout);
    }
    std::unique_ptr<TScopedFormatSettings> Settings;
    TTestDriver Driver;
};

} // namespace

TEST_F(CommonControlsTest, FormWithTheCommonControlsLoadsWorksAndIsDrawn) {
    auto* form = NewForm<TfmCommon>(Application);
    ASSERT_NE(form->hc_columns, nullptr);
    ASSERT_EQ(form->hc_columns->Sections()->Count(), 3);
    EXPECT_EQ(form->hc_columns->Sections()->Items(1)->Text(), "Exposure");
    EXPECT_EQ(form->hc_columns->Sections()->Items(1)->Alignment(), taRightJustify);
    EXPECT_EQ(form->hc_columns->Sections()->Items(1)->MinWidth(), 40);
    ASSERT_EQ(form->sb_status->Panels()->Count(), 5);
    EXPECT_EQ(form->sb_status->Panels()->Items(4)->Bevel(), pbNone);
    EXPECT_EQ(form->sb_status->Align(), alBottom);
    EXPECT_FALSE(form->tv_items->HideSelection());
    EXPECT_EQ(form->dt_at->Kind(), dtkTime);
    EXPECT_TRUE(form->dt_at->ShowCheckbox());

    TTreeNodes* items = form->tv_items->Items();
    TTreeNode* frames = items->Add(nullptr, "Frames");
    for (const char* name : {"Dark", "Lamp 1", "Lamp 2", "Reference"})
        items->AddChild(frames, name);
    TTreeNode* results = items->Add(nullptr, "Results");
    items->AddChild(items->AddChild(results, "Peaks"), "Hg 546.07");
    items->AddChild(results, "Widths");
    items->Add(nullptr, "Notes");
    frames->Expand(false);
    results->Expand(true);
    form->dt_from->SetDateTime(ComposeDateTime(EncodeDate(2024, 6, 14), EncodeTime(9, 41, 0, 0)));
    form->dt_at->SetDateTime(form->dt_from->DateTime());
    form->Show();
    form->tv_items->SetFocus();
    Driver.Pump();

    // The handler named in the layout hears the tree.
    Driver.PressKey(VK_DOWN);
    Driver.PressKey(VK_DOWN);
    EXPECT_EQ(form->Selected, (std::vector<std::string>{"Frames", "Dark"}));
    EXPECT_EQ(form->dt_from->DisplayText(), "14.06.2024");
    EXPECT_EQ(form->dt_at->DisplayText(), "09:41:00");

    auto image = Driver.Render(form);
    std::string path = TTestDriver::SavePng(*image, "common-controls.png");
    EXPECT_FALSE(path.empty());
    // The selected node is drawn in the highlight colour.
    TRect label = items->Item(1)->DisplayRect(true);
    TPoint at = form->tv_items->ClientToParent(TPoint(label.Right - 3, label.Top + 3), form);
    EXPECT_EQ(Driver.Pixel(form, at.X, at.Y), ColorToRGB(clHighlight));

    // With the calendar open as well.
    form->dt_from->SetFocus();
    Driver.PressKey(VK_F4);
    ASSERT_TRUE(form->dt_from->DroppedDown());
    TRect area = form->BoundsRect();
    TDateTimePickerCalendar* cal = form->dt_from->Calendar();
    TRect calArea(cal->Left(), cal->Top(), cal->Left() + cal->Width(), cal->Top() + cal->Height());
    UnionRect(area, area, calArea);
    auto screen = Driver.RenderScreen(area);
    EXPECT_FALSE(TTestDriver::SavePng(*screen, "date-picker-calendar.png").empty());
    Driver.PressKey(VK_ESCAPE);
}
