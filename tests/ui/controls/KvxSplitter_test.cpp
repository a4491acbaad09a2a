// The gradient splitter on the headless display: a double click gives the neighbour its default size,
// the grip's dots sit centred on the bar (from a negative start on short bars), the hot colours follow
// the mouse, and pictures of every grip style plain and hot.
#include "ui/controls/KvxSplitter.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Messages.h"
#include "platform/ui/Panel.h"

using namespace plat;
using namespace ui;
using namespace ui::kvxsplitter;

namespace {

class SplitterTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 400, 300);
        Form->Show();
        Driver.Pump();
    }
    void TearDown() override { Form->Free(); }

    TPanel* NewPanel(TWinControl* parent, TAlign align, int size) {
        auto* p = new TPanel(Form);
        p->SetParent(parent);
        p->SetBounds(0, 0, size, size);
        p->SetAlign(align);
        return p;
    }
    TKvxSplitter* NewSplitter(TWinControl* parent, TAlign align, int thickness, int at) {
        auto* s = new TKvxSplitter(Form);
        s->SetParent(parent);
        s->SetAlign(align);
        s->SetBounds(at, at, thickness, thickness);
        return s;
    }

    TTestDriver Driver;
    TForm* Form = nullptr;
};

TEST_F(SplitterTest, ADoubleClickGivesTheNeighbourItsDefaultSize) {
    struct Case {
        TAlign Align;
        int DefaultSize;
        int Expected;
    };
    for (const Case& c : {Case{alRight, 150, 150}, Case{alTop, 90, 90}, Case{alLeft, 0, 100}}) {
        auto* host = NewPanel(Form, alClient, 0);
        TPanel* side = NewPanel(host, c.Align, 100);
        bool vertical = c.Align == alTop || c.Align == alBottom;
        TKvxSplitter* bar = NewSplitter(host, c.Align, 3, c.Align == alRight ? 0 : 200);
        bar->SetDefaultSize(c.DefaultSize);
        int dbl = 0;
        bar->OnDblClick = [&](TObject*) { ++dbl; };
        Driver.Pump();
        ASSERT_EQ(bar->FindControl(), side);
        Driver.DoubleClick(bar, TPoint(1, 1));
        Driver.Pump();
        EXPECT_EQ(dbl, 1);
        EXPECT_EQ(vertical ? side->Height() : side->Width(), c.Expected) << c.Align;
        // The bar stays against its neighbour.
        if (c.Align == alRight) {
            EXPECT_EQ(bar->Left() + bar->Width(), side->Left());
        }
        host->Free();
    }
}

TEST_F(SplitterTest, DotsAreCentredOnTheBarAndStartNegativeOnShortBars) {
    auto* host = NewPanel(Form, alNone, 60);
    host->SetBevelOuter(bvNone);
    NewPanel(host, alRight, 20);
    TKvxSplitter* bar = NewSplitter(host, alRight, 3, 0);
    bar->Appearance()->SetColorTo(0x00FF00);
    Driver.Pump();
    for (int height : {200, 20}) {
        host->SetBounds(0, 0, 60, height);
        Driver.Pump();
        ASSERT_EQ(bar->Height(), height);
        int s = (height - 34) / 2 + 1;
        for (int i = 0; i < 9; ++i) {
            int y = s + 4 * i;
            if (y < 1 || y + 1 >= height)
                continue;
            EXPECT_EQ(Driver.Pixel(bar, 2, y + 1), clWhite) << "height " << height << " dot " << i;
            EXPECT_EQ(Driver.Pixel(bar, 0, y - 1), clBlack) << "height " << height << " dot " << i;
            EXPECT_EQ(Driver.Pixel(bar, 1, y), 0x00FF00) << "height " << height << " dot " << i;
        }
    }
}

TEST_F(SplitterTest, TheHotColoursFollowTheMouse) {
    auto* host = NewPanel(Form, alClient, 0);
    NewPanel(host, alTop, 80);
    TKvxSplitter* bar = NewSplitter(host, alTop, 8, 200);
    bar->SetGripStyle(sgNone);
    bar->Appearance()->SetColor(0x0000FF);
    bar->Appearance()->SetColorTo(0x0000FF);
    bar->Appearance()->SetColorHot(0xFF0000);
    bar->Appearance()->SetColorHotTo(0xFF0000);
    bar->Appearance()->SetBorderColorHot(0x00FF00);
    Driver.Pump();
    EXPECT_EQ(Driver.Pixel(bar, 50, 4), 0x0000FF);
    Driver.MoveTo(bar->ClientToScreen(TPoint(50, 4)));
    Driver.Pump();
    EXPECT_TRUE(bar->Hot());
    EXPECT_EQ(Driver.Pixel(bar, 50, 4), 0xFF0000);
    EXPECT_EQ(Driver.Pixel(bar, 50, 0), 0x00FF00);
    Driver.MoveTo(Form->ClientToScreen(TPoint(5, 290)));
    Driver.Pump();
    EXPECT_FALSE(bar->Hot());
    EXPECT_EQ(Driver.Pixel(bar, 50, 4), 0x0000FF);
}

TEST_F(SplitterTest, StylesSetTheBarColoursAndCustomLeavesThem) {
    auto* bar = NewSplitter(Form, alLeft, 3, 0);
    bar->Appearance()->SetDirectionType(dtFixed);
    bar->ApplyStyle(tsOffice2003Classic);
    EXPECT_EQ(bar->Appearance()->Color(), clBtnFace);
    EXPECT_EQ(bar->Appearance()->ColorTo(), clNone);
    EXPECT_EQ(bar->Appearance()->ColorHot(), 0xD2BDB6);
    EXPECT_EQ(bar->Appearance()->DirectionType(), dtAuto);
    bar->Appearance()->SetDirectionType(dtAutoInvers);
    bar->ApplyStyle(tsCustom);
    EXPECT_EQ(bar->Appearance()->DirectionType(), dtAutoInvers);
    bar->ApplyStyle(tsOffice2007Luna);
    EXPECT_EQ(bar->Appearance()->Color(), 0xFAF1E9);
    EXPECT_EQ(bar->Appearance()->ColorHotTo(), 0x76C1FF);
    EXPECT_EQ(bar->Version(), "1.1.1.0");
}

// Each grip style on a top bar and a side bar, drawn plain and then hot.
TEST_F(SplitterTest, EveryGripStylePlainAndHot) {
    Form->SetBounds(100, 100, 560, 200);
    std::vector<TKvxSplitter*> bars;
    for (int style = sgDots; style <= sgNone; ++style) {
        auto* cell = NewPanel(Form, alLeft, 108);
        cell->SetBevelOuter(bvNone);
        NewPanel(cell, alTop, 60);
        NewPanel(cell, alLeft, 40);
        for (TAlign align : {alTop, alLeft}) {
            TKvxSplitter* bar = NewSplitter(cell, align, 8, 70);
            bar->ApplyStyle(tsOffice2007Luna);
            bar->SetGripStyle(static_cast<TSplitterGripStyle>(style));
            bars.push_back(bar);
        }
    }
    Driver.Pump();
    auto plain = Driver.Render(Form);
    TTestDriver::SavePng(*plain, TestOutputDir("dialogs") + "/splitters-plain.png");
    for (TKvxSplitter* bar : bars)
        bar->Perform(CM_MOUSEENTER, 0, 0);
    Driver.Pump();
    auto hot = Driver.Render(Form);
    TTestDriver::SavePng(*hot, TestOutputDir("dialogs") + "/splitters-hot.png");
    for (TKvxSplitter* bar : bars)
        EXPECT_TRUE(bar->Hot());
    // The dots grip shows white on the plain top bar, centred along it.
    TKvxSplitter* dots = bars[0];
    int s = (dots->Width() - 34) / 2 + 1;
    EXPECT_EQ(Driver.Pixel(dots, s + 1, 8 / 2 + 1), clWhite);
}

} // namespace
