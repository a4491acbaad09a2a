#include "ui/drawing/TaskDialog.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Button.h"
#include "platform/ui/Form.h"

using namespace plat;
using namespace ui;

namespace {

class CommandLinkTest : public ::testing::Test {
protected:
    CommandLinkTest() {
        Form = NewForm<TForm>(nullptr);
        Form->SetColor(clWhite);
        Form->SetBounds(100, 100, 360, 200);
        Link = new TTaskDialogButton(Form);
        Link->SetParent(Form);
        Link->SetBounds(10, 10, 300, 50);
        TFont heading;
        heading.SetName("DejaVu Sans");
        heading.SetSize(11);
        heading.SetStyle(fsBold);
        heading.SetColor(0xC45300);
        Link->SetHeadingFont(&heading);
        Link->Font()->SetColor(0xC45300);
        Link->BorderColorHot = 0xFFE16C;
        Link->BorderColorDown = 0xFFE16C;
        Other = new TButton(Form);
        Other->SetParent(Form);
        Other->SetBounds(10, 120, 75, 23);
        Form->Show();
        Driver.Pump();
    }
    ~CommandLinkTest() override { Form->Free(); }

    // Rows of the link that hold text of that colour.
    std::vector<int> RowsWith(TColor color) {
        auto image = Driver.Render(Link);
        std::vector<int> rows;
        for (int y = 0; y < Link->Height(); ++y)
            for (int x = 0; x < Link->Width(); ++x)
                if (TTestDriver::PixelOf(*image, x, y) == color) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
    TTaskDialogButton* Link = nullptr;
    TButton* Other = nullptr;
};

TEST_F(CommandLinkTest, HeadingAndNotesStandOnTheirOwnLines) {
    UI_HEADLESS_ONLY(Driver);
    Link->SetCaption("Save\\nto a file");
    std::vector<int> twoLines = RowsWith(0xC45300);
    ASSERT_FALSE(twoLines.empty());
    Link->SetCaption("Save");
    std::vector<int> oneLine = RowsWith(0xC45300);
    ASSERT_FALSE(oneLine.empty());
    // One heading line is centred; with notes the heading moves up and the notes go below it.
    EXPECT_LT(twoLines.front(), oneLine.front());
    EXPECT_GT(twoLines.back(), oneLine.back());
    int middle = (oneLine.front() + oneLine.back()) / 2;
    EXPECT_NEAR(middle, Link->Height() / 2, 3);
}

TEST_F(CommandLinkTest, DisabledTextIsGreyAndTheFocusShowsTheDownBorder) {
    UI_HEADLESS_ONLY(Driver);
    Link->SetCaption("Save\\nto a file");
    Link->SetEnabled(false);
    EXPECT_TRUE(RowsWith(0xC45300).empty());
    EXPECT_FALSE(RowsWith(0xC0C0C0).empty());

    Link->SetEnabled(true);
    Link->BorderColorDown = 0x0000FF;
    Other->SetFocus();
    Driver.Pump();
    EXPECT_NE(Driver.Pixel(Link, Link->Width() / 2, 0), TColor(0x0000FF));
    Link->SetFocus();
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(Link, Link->Width() / 2, 0), TColor(0x0000FF)) << "the focused link is framed";
    EXPECT_EQ(Driver.Pixel(Link, 0, Link->Height() / 2), TColor(0x0000FF));
}

TEST_F(CommandLinkTest, ClickSetsTheFormsModalResultThenRunsOnClick) {
    Link->SetCaption("Go");
    Link->ModalResult = 105;
    int resultSeen = -1;
    Link->OnClick = [&](TObject*) { resultSeen = Form->ModalResult(); };
    Driver.Click(Link);
    EXPECT_EQ(resultSeen, 105);
    Form->SetModalResult(mrNone);
    resultSeen = -1;
    Link->SetFocus();
    Driver.PressKey(VK_SPACE);
    EXPECT_EQ(resultSeen, 105);
    Form->SetModalResult(mrNone);
    resultSeen = -1;
    Driver.PressKey(VK_RETURN);
    EXPECT_EQ(resultSeen, 105);
}

TEST_F(CommandLinkTest, HoverTakesTheFocusOnlyWhenAsked) {
    Other->SetFocus();
    Driver.MoveTo(TTestDriver::CenterOf(Link));
    EXPECT_TRUE(Link->Hot());
    EXPECT_FALSE(Link->Focused());
    Driver.MoveTo(TTestDriver::CenterOf(Other));
    EXPECT_FALSE(Link->Hot());
    Link->FocusOnHover = true;
    Driver.MoveTo(TTestDriver::CenterOf(Link));
    EXPECT_TRUE(Link->Focused());
}

TEST(CommandLinkMeasure, NotesWidenAndHeightenTheCaption) {
    TBitmap bitmap(1, 1);
    TCanvas& canvas = *bitmap.Canvas();
    TFont heading, text;
    heading.SetSize(11);
    heading.SetStyle(fsBold);
    int h1 = 0, w1 = 0, h2 = 0, w2 = 0, hp = 0, wp = 0;
    MeasureCommandLinkText(canvas, "Save", &heading, true, h1, w1, 0, &text);
    MeasureCommandLinkText(canvas, "Save\\na much longer line of notes", &heading, false, h2, w2, 0, &text);
    MeasureCommandLinkText(canvas, "Save\\na much longer line of notes", &heading, true, hp, wp, 0, &text);
    EXPECT_GT(h2, h1);
    EXPECT_GT(w2, w1);
    EXPECT_EQ(wp, w2 + 8);
    EXPECT_EQ(hp, h2 + 10 + 2);
    EXPECT_EQ(canvas.Font()->Size(), TFont().Size()) << "the canvas font is put back";
}

} // namespace
