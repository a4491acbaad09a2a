#include "platform/ui/Grid.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"

using namespace plat;

namespace {

struct TEditRecord {
    int Col, Row;
    std::string Text;
    bool EditorOpen;
};

// A 4 x 6 string grid (one fixed row and column) with editing and tabs, on a shown form.
class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 360, 240);
        Grid = new TStringGrid(Form);
        Grid->SetParent(Form);
        Grid->SetBounds(8, 8, 330, 120);
        Grid->SetColCount(4);
        Grid->SetRowCount(6);
        Grid->SetDefaultRowHeight(18);
        Grid->SetOptions(Grid->Options() | goEditing | goTabs);
        for (int r = 1; r < 6; ++r)
            for (int c = 1; c < 4; ++c)
                Grid->SetCells(c, r, std::to_string(c * 10 + r));
        Grid->OnSetEditText = [this](TObject*, int c, int r, const std::string& v) {
            Edits.push_back({c, r, v, Grid->EditorMode()});
        };
        Form->Show();
        Grid->SetFocus();
        Driver.Pump();
    }
    TPoint CellCenter(int c, int r) {
        TRect rc = Grid->CellRect(c, r);
        return TPoint((rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2);
    }
    TTestDriver Driver;
    TForm* Form = nullptr;
    TStringGrid* Grid = nullptr;
    std::vector<TEditRecord> Edits;
};

} // namespace

TEST_F(GridTest, TypingEditsTheCellAndEnterAndTabEndTheEdit) {
    ASSERT_EQ(Grid->Col(), 1);
    ASSERT_EQ(Grid->Row(), 1);
    Driver.Type("7");
    ASSERT_TRUE(Grid->EditorMode()) << "a typed character opens the editor";
    Driver.Type("5");
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "75") << "the first character replaced the old text";
    EXPECT_EQ(Grid->Cells(1, 1), "75") << "the text is stored as it is typed";
    ASSERT_FALSE(Edits.empty());
    EXPECT_TRUE(Edits.back().EditorOpen);
    Driver.PressKey(VK_RETURN);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Driver.FocusedControl(), Grid);
    EXPECT_EQ(Grid->Cells(1, 1), "75");
    EXPECT_FALSE(Edits.back().EditorOpen) << "the closing store comes with the editor closed";
    EXPECT_EQ(Edits.back().Text, "75");

    // F2 opens the editor on the old text; Tab stores it and moves on, wrapping to the next row.
    Grid->SetCol(3);
    Driver.PressKey(VK_F2);
    ASSERT_TRUE(Grid->EditorMode());
    EXPECT_EQ(Grid->InplaceEditor()->Text(), "31");
    Driver.PressKey(VK_END);
    Driver.Type("x");
    Driver.PressKey(VK_TAB);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Cells(3, 1), "31x");
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->Row(), 2);
    Driver.PressKey(VK_TAB, modShift);
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Grid->Row(), 1);
}

TEST_F(GridTest, EscapeTakesBackTheEditAndFixedCellsAreNeverEdited) {
    Grid->SetRow(2);
    Driver.Type("abc");
    EXPECT_EQ(Grid->Cells(1, 2), "abc");
    Driver.PressKey(VK_ESCAPE);
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Cells(1, 2), "12");
    EXPECT_EQ(Edits.back().Text, "12");

    // Without goEditing typing does nothing; fixed cells cannot become current.
    Grid->SetOptions(Grid->Options() & ~goEditing);
    Driver.Type("z");
    EXPECT_FALSE(Grid->EditorMode());
    EXPECT_EQ(Grid->Cells(1, 2), "12");
    EXPECT_THROW(Grid->SetCol(0), EInvalidOperation);
    Driver.Click(Grid, CellCenter(0, 3));
    EXPECT_EQ(Grid->Col(), 1);
    EXPECT_EQ(Grid->Row(), 2);
}

TEST_F(GridTest, SelectionByKeysAndMouse) {
    Driver.PressKey(VK_DOWN);
    Driver.PressKey(VK_RIGHT);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(Grid->Row(), 2);
    Driver.PressKey(VK_DOWN, modShift);
    Driver.PressKey(VK_RIGHT, modShift);
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 2, 3, 3}));
    Driver.PressKey(VK_HOME, modControl);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 1, 1}));

    Driver.Click(Grid, CellCenter(2, 1));
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 1, 2, 1}));
    Driver.Drag(Grid, CellCenter(2, 1), CellCenter(3, 3));
    EXPECT_EQ(Grid->Selection(), (TGridRect{2, 1, 3, 3}));
    Driver.Click(Grid, CellCenter(1, 2), tbLeft, modShift);
    EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 2, 2})) << "shift-click extends from the anchor";

    // OnSelectCell can refuse a cell.
    Grid->OnSelectCell = [](TObject*, int c, int, bool& can) { can = c != 3; };
    Driver.Click(Grid, CellCenter(3, 2));
    EXPECT_EQ(Grid->Col(), 1);
    // A click on the current cell of a focused grid opens the editor.
    Driver.Click(Grid, CellCenter(1, 2));
    Driver.Click(Grid, CellCenter(1, 2));
    EXPECT_TRUE(Grid->EditorMode());
}

TEST_F(GridTest, ScrollingKeepsTheCurrentCellInViewAndMouseToCellFollows) {
    Grid->SetRowCount(40);
    Grid->SetColCount(12);
    Driver.Pump();
    int visible = Grid->VisibleRowCount();
    ASSERT_LT(visible, 39);
    Driver.PressKey(VK_END, modControl);
    EXPECT_EQ(Grid->Row(), 39);
    EXPECT_EQ(Grid->Col(), 11);
    EXPECT_EQ(Grid->TopRow() + Grid->VisibleRowCount() - 1, 39);
    EXPECT_FALSE(Grid->CellRect(Grid->Col(), Grid->Row()).IsEmpty());
    EXPECT_TRUE(Grid->CellRect(1, 1).IsEmpty()) << "scrolled out of view";
    TRect last = Grid->CellRect(11, 39);
    int c = -2, r = -2;
    Grid->MouseToCell(last.Left + 1, last.Top + 1, c, r);
    EXPECT_EQ(c, 11);
    EXPECT_EQ(r, 39);
    Grid->MouseToCell(2, 2, c, r);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 0) << "the fixed cells stay in place";
    Driver.PressKey(VK_PRIOR);
    EXPECT_EQ(Grid->Row(), 39 - Grid->VisibleRowCount());
    Grid->SetTopRow(1);
    Grid->SetLeftCol(1);
    EXPECT_EQ(Grid->TopRow(), 1);
    Driver.Wheel(Grid, TPoint(100, 60), -120);
    EXPECT_EQ(Grid->TopRow(), 4);
    Driver.Wheel(Grid, TPoint(100, 60), 0);
    EXPECT_EQ(Grid->TopRow(), 4) << "no turn, no scroll";
}

TEST_F(GridTest, ColumnSizingByDraggingTheHeaderLine) {
    Grid->SetOptions(Grid->Options() | goColSizing);
    int right = Grid->CellRect(1, 0).Right;
    Driver.Drag(Grid, TPoint(right, 5), TPoint(right + 30, 5));
    EXPECT_EQ(Grid->ColWidths(1), 64 + 30);
    EXPECT_EQ(Grid->ColWidths(2), 64);
}

TEST_F(GridTest, DrawingShowsTextsFixedCellsAndTheSelection) {
    Grid->SetOptions(Grid->Options() | goDrawFocusSelected);
    Grid->SetSelection(TGridRect{1, 1, 2, 2});
    Grid->SetCells(1, 0, "Head");
    std::vector<std::pair<int, int>> drawn;
    Grid->OnDrawCell = [&](TObject*, int c, int r, TRect, TGridDrawState) { drawn.push_back({c, r}); };
    Driver.Pump();
    auto image = Driver.Render(Grid);
    TTestDriver::SavePng(*image, "grid.png");
    EXPECT_FALSE(drawn.empty());
    TRect sel = Grid->CellRect(2, 2);
    EXPECT_EQ(TTestDriver::PixelOf(*image, sel.Right - 3, sel.Bottom - 3), ColorToRGB(clHighlight));
    TRect fixed = Grid->CellRect(0, 3);
    EXPECT_EQ(TTestDriver::PixelOf(*image, fixed.Left + 10, fixed.Top + 8), ColorToRGB(clBtnFace));
    TRect plain = Grid->CellRect(3, 4);
    EXPECT_EQ(TTestDriver::PixelOf(*image, plain.Right - 3, plain.Bottom - 3), ColorToRGB(clWindow));
}
