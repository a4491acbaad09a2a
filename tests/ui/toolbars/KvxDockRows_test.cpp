#include "ui/toolbars/KvxDockRows.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/rtl/Exception.h"

using namespace ui;
using namespace ui::toolbar;
using plat::TRect;

namespace {

// A docked toolbar reduced to what the rows see. Bounds requests made without the positioning flag go
// through the rows, as the real toolbar's do.
struct FakeBar : IDockRowClient {
    TRowCollection* Rows = nullptr;
    TRect B;
    TRect Limits; // min width, min height, max width, max height
    bool Visible = true, FullSize = false, Loading = false, Pos = false;
    int Row = -1;
    int Arranged = 0;

    FakeBar(int l, int t, int w, int h) : B(plat::Bounds(l, t, w, h)), Limits(w, h, w, h) {}
    TRect DockBounds() const override { return B; }
    void SetDockBounds(int l, int t, int w, int h) override {
        if (!Pos && Rows && Row >= 0)
            Rows->AdjustToolBarBounds(this, l, t, w, h);
        B = plat::Bounds(l, t, w, h);
    }
    bool DockVisible() const override { return Visible; }
    bool DockFullSize() const override { return FullSize; }
    bool DockLoading() const override { return Loading; }
    TRect DockConstraints() const override { return Limits; }
    void SetDockConstraints(int minW, int minH, int maxW, int maxH) override {
        Limits = {minW, minH, maxW, maxH};
    }
    int RowIndex() const override { return Row; }
    void SetRowIndex(int v) override { Row = v; }
    bool Positioning() const override { return Pos; }
    void SetPositioning(bool v) override { Pos = v; }
    void ArrangeDockedControls() override { ++Arranged; }

    void MoveTo(int l, int t) { SetDockBounds(l, t, B.Width(), B.Height()); }
};

struct FakePanel : IDockRowsOwner {
    TDockAlign Align = daTop;
    bool Lock = false, Design = false, RunTimeHeight = true, Loaded = true;
    int MinSize = 3;
    TRect B = plat::Bounds(0, 0, 722, 3);
    TDockAlign DockAlign() const override { return Align; }
    bool LockHeight() const override { return Lock; }
    int MinimumSize() const override { return MinSize; }
    bool UseRunTimeHeight() const override { return RunTimeHeight; }
    bool Designing() const override { return Design; }
    bool RowsLoaded() const override { return Loaded; }
    TRect PanelBounds() const override { return B; }
    void SetPanelBounds(int l, int t, int w, int h) override { B = plat::Bounds(l, t, w, h); }
};

struct Dock {
    FakePanel panel;
    TRowCollection rows{&panel};
    std::vector<std::unique_ptr<FakeBar>> bars;

    FakeBar* Bar(int l, int t, int w, int h = 26) {
        bars.push_back(std::make_unique<FakeBar>(l, t, w, h));
        bars.back()->Rows = &rows;
        return bars.back().get();
    }
    // Each toolbar in a row of its own, in the order given.
    FakeBar* Docked(int w, int h = 26) {
        FakeBar* b = Bar(0, 0, w, h);
        rows.AddRow()->AddToolBar(b);
        return b;
    }
    // The rows as text: one group per row, each toolbar as Left@Top.
    std::string Layout() const {
        std::string s;
        for (int r = 0; r < rows.Count(); ++r) {
            s += "[";
            for (int i = 0; i < rows.Rows(r)->Count(); ++i) {
                const TRect b = rows.Rows(r)->ToolBars(i)->DockBounds();
                s += (i ? " " : "") + std::to_string(b.Left) + "@" + std::to_string(b.Top);
            }
            s += "]";
        }
        return s;
    }
    // The chart window's three toolbars as they come out of its layout.
    void LoadChartWindow() {
        panel.Loaded = false;
        std::vector<IDockRowClient*> list{Bar(3, 1, 112, 52), Bar(575, 1, 144, 52), Bar(117, 1, 456, 52)};
        rows.LoadRows(list);
        panel.Loaded = true;
    }
};

struct DockRows : ::testing::Test, Dock {};

TEST_F(DockRows, ChartWindowLoadsIntoOneRowAndA54PixelPanel) {
    LoadChartWindow();
    EXPECT_EQ(Layout(), "[3@1 117@1 575@1]");
    EXPECT_EQ(rows.Rows(0)->RowRect(), TRect(1, 1, 721, 54));
    EXPECT_EQ(panel.B.Height(), 54);
    for (auto& b : bars)
        EXPECT_EQ(b->Row, 0);
}

TEST_F(DockRows, RowsStackWithGapsAndThicknessAtLeast26) {
    FakeBar* a = Docked(100, 20);
    FakeBar* b = Bar(0, 0, 80, 20);
    rows.Rows(0)->AddToolBar(b);
    EXPECT_EQ(a->B.Left, 3);
    EXPECT_EQ(b->B.Left, 3 + 100 + 2);
    EXPECT_EQ(rows.Rows(0)->RowThickness(), 26);
    Docked(50, 40);
    EXPECT_EQ(Layout(), "[3@1 105@1][3@28]");
    EXPECT_EQ(panel.B.Height(), 1 + 27 + 41);
    // Already in the row: refused.
    EXPECT_EQ(rows.Rows(0)->AddToolBar(a), -1);
}

// Dragging the second toolbar of the upper row up or down by a few pixels.
TEST_F(DockRows, SmallVerticalDragsOpenRowsOrStay) {
    struct Case {
        int dy;
        const char* layout;
    } cases[] = {
        {-2, "[3@1 105@1]"},                        // too little: stays in its row
        {-4, "[105@1][3@28]"},                      // opens a row above, keeping its place along the row
        {+4, "[3@1][105@28]"},                      // opens a row below
        {+2, "[3@1 105@1]"},   {-6, "[3@1 105@1]"}, // the dead pixel between "new row" and "previous row"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dy);
        Dock f;
        f.Docked(100);
        FakeBar* b = f.Bar(0, 0, 100);
        f.rows.Rows(0)->AddToolBar(b);
        b->MoveTo(b->B.Left, b->B.Top + c.dy);
        EXPECT_EQ(f.Layout(), c.layout);
        EXPECT_EQ(f.rows.FindRowOf(b), c.dy == -4 ? 0 : c.dy == 4 ? 1 : 0);
        if (c.dy == -4) { // the dragged toolbar is the one on top
            EXPECT_EQ(b->B.Top, 1);
        }
    }
}

TEST_F(DockRows, DragSevenPixelsUpJoinsThePreviousRow) {
    FakeBar* a = Docked(100);
    FakeBar* b = Docked(100);
    ASSERT_EQ(Layout(), "[3@1][3@28]");
    b->MoveTo(200, b->B.Top - 7);
    EXPECT_EQ(Layout(), "[3@1 200@1]");
    EXPECT_EQ(b->Row, 0);
    EXPECT_EQ(a->Row, 0);
    EXPECT_EQ(panel.B.Height(), 28);
}

TEST_F(DockRows, DragTowardsTheStartExchangesWithinFivePixels) {
    for (int x : {9, 8}) {
        SCOPED_TRACE(x);
        Dock f;
        FakeBar* a = f.Docked(100);
        FakeBar* b = f.Bar(0, 0, 100);
        f.rows.Rows(0)->AddToolBar(b);
        ASSERT_EQ(b->B.Left, 105);
        b->MoveTo(x, b->B.Top);
        if (x == 8) {
            EXPECT_EQ(f.rows.Rows(0)->ToolBars(0), b);
            EXPECT_EQ(b->B.Left, 3);
            EXPECT_EQ(a->B.Left, 105);
        } else {
            EXPECT_EQ(f.rows.Rows(0)->ToolBars(0), a);
            EXPECT_EQ(b->B.Left, 105);
        }
    }
}

TEST_F(DockRows, DragAlongTheRowUsesFreeSpaceAndStopsAtTheEnd) {
    LoadChartWindow();
    FakeBar* frames = bars[0].get();
    FakeBar* toolbox = bars[1].get();
    // No free space after the last one: it stays.
    toolbox->MoveTo(600, 1);
    EXPECT_EQ(toolbox->B.Left, 575);
    // The first toolbar moves only as far as the row allows.
    frames->MoveTo(-20, 1);
    EXPECT_EQ(frames->B.Left, 3);
}

TEST_F(DockRows, FullSizeToolBarKeepsItsRowAlone) {
    FakeBar* menu = Bar(0, 0, 300);
    menu->FullSize = true;
    rows.AddRow()->AddToolBar(menu);
    EXPECT_EQ(menu->B.Left, 3);
    EXPECT_EQ(menu->B.Width(), 722 - 2 - 4);
    EXPECT_EQ(menu->Limits.Left, menu->B.Width());
    EXPECT_GE(menu->Arranged, 1);
    FakeBar* other = Docked(100);
    // Dragged into the full-size row: a new row above it instead.
    other->MoveTo(3, 1 + 4);
    EXPECT_EQ(rows.Rows(0)->Count(), 1);
    other->MoveTo(3, 1);
    EXPECT_EQ(rows.FindRowOf(menu), rows.FindRowOf(other) == 0 ? 1 : 0);
    EXPECT_EQ(rows.Rows(rows.FindRowOf(menu))->Count(), 1);
    // With locked rows it stays where it was.
    FakeBar* third = Docked(100);
    panel.Lock = true;
    const int before = rows.Count();
    const int row = rows.FindRowOf(third);
    third->MoveTo(3, rows.Rows(rows.FindRowOf(menu))->RowRect().Top + 2);
    EXPECT_EQ(rows.Count(), before);
    EXPECT_EQ(rows.FindRowOf(third), row);
}

TEST_F(DockRows, DraggingAboveTheFirstRowJoinsRowZero) {
    FakeBar* a = Docked(100);
    Docked(100);
    FakeBar* c = Docked(100);
    c->MoveTo(300, -40);
    EXPECT_EQ(rows.FindRowOf(c), 0);
    EXPECT_EQ(rows.FindRowOf(a), 0);
    EXPECT_EQ(rows.Count(), 2);
}

TEST_F(DockRows, DraggingPastTheLastRowOpensANewLastRowOrJoinsItWhenLocked) {
    for (bool locked : {false, true}) {
        SCOPED_TRACE(locked);
        Dock f;
        FakeBar* a = f.Docked(100);
        FakeBar* b = f.Bar(0, 0, 100);
        f.rows.Rows(0)->AddToolBar(b);
        FakeBar* c = f.Docked(100);
        f.panel.Lock = locked;
        b->MoveTo(b->B.Left, 500);
        EXPECT_EQ(f.rows.Count(), locked ? 2 : 3);
        EXPECT_EQ(f.rows.FindRowOf(b), f.rows.Count() - 1);
        EXPECT_EQ(f.rows.FindRowOf(a), 0);
        EXPECT_EQ(f.rows.FindRowOf(c), 1);
    }
}

// A toolbar alone in its row, dropped onto a later row that refuses it: its own row disappears, and the
// new row must still come right after the refusing one.
TEST_F(DockRows, NewRowAfterARefusingRowCountsTheDeletedRow) {
    FakeBar* a = Docked(100);
    FakeBar* menu = Bar(0, 0, 300);
    menu->FullSize = true;
    rows.AddRow()->AddToolBar(menu);
    FakeBar* c = Docked(100);
    a->MoveTo(3, rows.Rows(1)->RowRect().Top + 10);
    ASSERT_EQ(rows.Count(), 3);
    EXPECT_EQ(rows.FindRowOf(menu), 0);
    EXPECT_EQ(rows.FindRowOf(a), 1);
    EXPECT_EQ(rows.FindRowOf(c), 2);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(rows.Rows(r)->ToolBars(0)->RowIndex(), r);
}

TEST_F(DockRows, HidingTheOnlyToolBarOfARowDeletesItAndShowingAppends) {
    FakeBar* a = Docked(100);
    Docked(100);
    ASSERT_EQ(panel.B.Height(), 55);
    a->Visible = false;
    rows.ToolBarVisibilityChanged(a);
    EXPECT_EQ(rows.Count(), 1);
    EXPECT_EQ(panel.B.Height(), 28);
    EXPECT_EQ(a->Row, -1);
    a->Visible = true;
    rows.ToolBarVisibilityChanged(a);
    EXPECT_EQ(rows.Count(), 2);
    EXPECT_EQ(rows.FindRowOf(a), 1);
}

TEST_F(DockRows, EmptyPanelSizes) {
    struct Case {
        TDockAlign align;
        bool design;
        int size;
    } cases[] = {{daTop, false, 3}, {daTop, true, 13}, {daLeft, true, 15}, {daBottom, false, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(kDockAlignNames[c.align]);
        FakePanel p;
        p.Align = c.align;
        p.Design = c.design;
        p.RunTimeHeight = false;
        p.B = plat::Bounds(0, 100, 400, 50);
        TRowCollection r(&p);
        r.UpdateRows();
        EXPECT_EQ(c.align == daLeft ? p.B.Width() : p.B.Height(), c.size);
    }
}

TEST_F(DockRows, BottomPanelGrowsUpwards) {
    panel.Align = daBottom;
    panel.B = plat::Bounds(0, 400, 722, 3);
    Docked(100);
    EXPECT_EQ(panel.B.Bottom, 403);
    EXPECT_EQ(panel.B.Height(), 28);
}

TEST_F(DockRows, VerticalPanelFillsRowsFromTheFarEnd) {
    panel.Align = daLeft;
    panel.B = plat::Bounds(0, 0, 3, 400);
    FakeBar* a = Bar(0, 0, 26, 100);
    a->Limits = {26, 100, 26, 100};
    rows.AddRow()->AddToolBar(a);
    EXPECT_EQ(rows.Rows(0)->RowRect(), TRect(1, 1, 28, 399));
    EXPECT_EQ(a->B.Left, 1);
    EXPECT_EQ(a->B.Top, 399 - 2 - 100);
    EXPECT_EQ(panel.B.Width(), 29);
}

TEST_F(DockRows, BadIndicesRaise) {
    FakeBar* a = Docked(100);
    FakeBar stranger(0, 0, 10, 10);
    EXPECT_THROW(rows.MoveToRow(a, 1), plat::Exception);
    EXPECT_THROW(rows.MoveToRow(a, -1), plat::Exception);
    int x = 0, w = 10;
    try {
        rows.Rows(0)->ResolveBoundsInRow(&stranger, x, w);
        ADD_FAILURE();
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.Message(), "Invalid ToolBar Index");
    }
}

TEST_F(DockRows, PositioningFlagIsRestoredAfterEveryRowChange) {
    LoadChartWindow();
    bars[2]->MoveTo(200, 1);
    for (auto& b : bars)
        EXPECT_FALSE(b->Pos);
}

} // namespace
