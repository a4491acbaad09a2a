#include "chart/PlotLisB.h"

#include <gtest/gtest.h>

#include "ChartTestUtil.h"
#include "chart/Chart.h"
#include "chart/PlotConst.h"
#include "chart/Series.h"
#include "chart/SeriesUtils.h"
#include "platform/backend/Backend.h"
#include "platform/gfx/Bitmap.h"
#include "platform/rtl/FormText.h"
#include "platform/testing/TestDriver.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Label.h"

using namespace plat;
using namespace chart;

namespace {

class ChartListBoxTest : public ::testing::Test {
protected:
    TTestDriver Driver;
    TForm* Form = nullptr;
    TChart* Chart = nullptr;
    TChartListBox* List = nullptr;
    TLineSeries* S[3] = {};

    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(0, 0, 640, 480);
        Chart = new TChart(Form);
        Chart->SetParent(Form);
        Chart->SetBounds(300, 10, 320, 300);
        const char* titles[] = {"Frame 1", "Frame 2", ""};
        const TColor colors[] = {clRed, clGreen, clBlue};
        for (int i = 0; i < 3; ++i) {
            S[i] = new TLineSeries(Form);
            S[i]->SetName("Series" + std::to_string(i + 1));
            S[i]->SetTitle(titles[i]);
            S[i]->SetSeriesColor(colors[i]);
            S[i]->AddXY(0, i), S[i]->AddXY(1, i + 1);
            Chart->AddSeries(S[i]);
        }
        List = new TChartListBox(Form);
        List->SetParent(Form);
        List->SetBounds(10, 10, 284, 200);
        List->SetChart(Chart);
        Form->Show();
        Driver.Pump();
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (int i = 0; i < List->Count(); ++i)
            rows.push_back(List->Items()->Strings(i));
        return rows;
    }
    TPoint Cell(int Row, TListBoxSection Section) const {
        const TRect r = List->ItemRect(Row);
        return TPoint(List->SectionLeft(Section) + List->SectionWidth(Section) / 2, (r.Top + r.Bottom) / 2);
    }
    std::vector<std::string> Expected(std::initializer_list<const char*> Names) {
        return std::vector<std::string>(Names.begin(), Names.end());
    }
};

TEST_F(ChartListBoxTest, RowsFollowTheChart) {
    EXPECT_EQ(Rows(), Expected({"Frame 1", "Frame 2", "Series3"}));
    EXPECT_EQ(List->CurrentSeries(), S[0]);
    std::vector<TCustomChartSeries*> removed;
    List->OnRemovedSeries = [&](TObject*, TCustomChartSeries* s) { removed.push_back(s); };
    S[1]->SetTitle("Peaks");
    EXPECT_EQ(Rows(), Expected({"Frame 1", "Peaks", "Series3"}));
    delete S[1];
    EXPECT_EQ(Rows(), Expected({"Frame 1", "Series3"}));
    ASSERT_EQ(removed.size(), 1u);
    EXPECT_EQ(List->SeriesAtIndex(5), nullptr);
    EXPECT_EQ(List->SeriesAtIndex(-1), nullptr);

    // With an item index but nothing selected, HasSelection selects that row.
    List->ClearSelection();
    List->SetItemIndex(1);
    EXPECT_TRUE(List->HasSelection());
    EXPECT_TRUE(List->Selected(1));

    List->SetChart(nullptr);
    EXPECT_EQ(List->Count(), 0);
    List->SetChart(Chart);
    EXPECT_EQ(List->Count(), 2);
    delete Chart;
    EXPECT_EQ(List->Count(), 0);
    EXPECT_EQ(List->Chart(), nullptr);
}

TEST_F(ChartListBoxTest, ChecksAndRadios) {
    Driver.Click(List, Cell(1, lbsCheck));
    EXPECT_FALSE(S[1]->Active());
    Driver.Click(List, Cell(1, lbsCheck));
    EXPECT_TRUE(S[1]->Active());
    List->SetCheckStyle(cbsRadio);
    EXPECT_TRUE(S[0]->Active());
    EXPECT_FALSE(S[1]->Active());
    EXPECT_FALSE(S[2]->Active());
    Driver.Click(List, Cell(2, lbsCheck));
    EXPECT_EQ(std::vector<bool>({S[0]->Active(), S[1]->Active(), S[2]->Active()}),
              std::vector<bool>({false, false, true}));
    TTestDriver::SavePng(*Driver.Render(List), TestOutputDir("chart-tools") + "/listbox-radio.png");
}

TEST_F(ChartListBoxTest, Picture) {
    S[2]->SetActive(false);
    Driver.Click(List, Cell(0, lbsTitle));
    Driver.Click(List, Cell(1, lbsTitle), tbLeft, modControl);
    EXPECT_TRUE(List->Selected(0));
    EXPECT_TRUE(List->Selected(1));
    EXPECT_FALSE(List->Selected(2));
    auto image = Driver.Render(List);
    TTestDriver::SavePng(*image, TestOutputDir("chart-tools") + "/listbox.png");
    // The colour column shows each series' colour.
    const TPoint red = Cell(0, lbsColor);
    EXPECT_EQ(TTestDriver::PixelOf(*image, red.X, red.Y), ColorToRGB(clRed));
}

TEST_F(ChartListBoxTest, DragReordersOnlyTheTwoRows) {
    std::vector<std::pair<TCustomChartSeries*, TCustomChartSeries*>> orders;
    List->OnChangeOrder = [&](TObject*, TCustomChartSeries* a, TCustomChartSeries* b) {
        orders.emplace_back(a, b);
    };
    Driver.Drag(List, Cell(0, lbsTitle), Cell(0, lbsTitle));
    EXPECT_TRUE(orders.empty()) << "dropping a row on itself does nothing";
    Driver.Advance(1000); // no double click
    Driver.Drag(List, Cell(0, lbsTitle), Cell(2, lbsTitle), 8);
    EXPECT_EQ(Rows(), Expected({"Series3", "Frame 2", "Frame 1"}));
    EXPECT_EQ(Chart->Series(0), S[2]);
    EXPECT_EQ(Chart->Series(1), S[1]);
    EXPECT_EQ(Chart->Series(2), S[0]);
    ASSERT_EQ(orders.size(), 1u);
    EXPECT_EQ(List->CurrentSeries(), S[0]);
}

TEST_F(ChartListBoxTest, RenameInPlaceWithF2) {
    Driver.Click(List, Cell(1, lbsTitle));
    Driver.PressKey(VK_F2);
    ASSERT_NE(List->TitleEditor(), nullptr);
    ASSERT_TRUE(List->TitleEditor()->Visible());
    EXPECT_EQ(List->TitleEditor()->Text(), "Frame 2");
    Driver.PressKey(VK_END);
    Driver.Type(" (dark)");
    Driver.PressKey(VK_RETURN);
    EXPECT_FALSE(List->TitleEditor()->Visible());
    EXPECT_EQ(S[1]->Title(), "Frame 2 (dark)");
    EXPECT_EQ(List->Items()->Strings(1), "Frame 2 (dark)");

    Driver.PressKey(VK_F2);
    Driver.Type("dropped");
    Driver.PressKey(VK_ESCAPE);
    EXPECT_EQ(S[1]->Title(), "Frame 2 (dark)");

    // With names shown, a name that is not a valid, unused component name is refused and told.
    List->SetShowSeriesNames(true);
    List->FocusSeries(S[1]);
    struct TCase {
        const char* Typed;
        const char* Name;
        bool Told;
    };
    for (const TCase& c : {TCase{"Series1", "Series2", true}, TCase{"two words", "Series2", true},
                           TCase{"Darks", "Darks", false}}) {
        bool told = false;
        if (c.Told)
            Driver.AnswerNextModal([&](TCustomForm&) {
                told = true;
                Driver.PressKey(VK_RETURN);
            });
        Driver.PressKey(VK_F2);
        Driver.PressKey(VK_END);
        for (int i = 0; i < 10; ++i)
            Driver.PressKey(VK_BACK);
        Driver.Type(c.Typed);
        Driver.PressKey(VK_RETURN);
        EXPECT_EQ(S[1]->Name(), c.Name) << c.Typed;
        EXPECT_EQ(told, c.Told) << c.Typed;
    }
    EXPECT_EQ(List->Items()->Strings(1), "Darks");
}

TEST_F(ChartListBoxTest, DeleteAsksAndCollectsTheSelectionFirst) {
    Driver.Click(List, Cell(0, lbsTitle));
    Driver.Click(List, Cell(2, lbsTitle), tbLeft, modControl);
    std::string asked;
    TRect at;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        auto* label = dynamic_cast<TLabel*>(form.FindComponent("Message"));
        asked = label ? label->Caption() : "";
        at = form.BoundsRect();
        Driver.ClickButton(&form, "No");
    });
    Driver.PressKey(VK_DELETE);
    EXPECT_EQ(asked, "Delete (Selected Series) ?");
    const TPoint origin = List->ClientOrigin();
    EXPECT_EQ(at.Left, origin.X + 20);
    EXPECT_EQ(at.Top, origin.Y + 30);
    EXPECT_EQ(Chart->SeriesCount(), 3);

    Driver.AnswerNextModal([&](TCustomForm& form) { Driver.ClickButton(&form, "Yes"); });
    Driver.PressKey(VK_DELETE);
    ASSERT_EQ(Chart->SeriesCount(), 1);
    EXPECT_EQ(Chart->Series(0), S[1]);
    EXPECT_EQ(Rows(), Expected({"Frame 2"}));
    EXPECT_EQ(List->ItemIndex(), 0);
}

} // namespace

namespace {

TEST_F(ChartListBoxTest, RenameThroughTheInputBox) {
    List->FocusSeries(S[0]);
    std::string caption, prompt;
    Driver.AnswerNextModal([&](TCustomForm& form) {
        caption = form.Caption();
        auto* label = dynamic_cast<TLabel*>(form.FindComponent("Prompt"));
        prompt = label ? label->Caption() : "";
        Driver.Type("Series1"); // replaces the selected text
        Driver.PressKey(VK_RETURN);
    });
    EXPECT_TRUE(List->RenameCurrentSeries());
    EXPECT_EQ(caption, "Change Series Title");
    EXPECT_EQ(prompt, "New Series Title:");
    EXPECT_EQ(S[0]->Title(), "") << "a title equal to the name is no title of its own";
    EXPECT_EQ(List->Items()->Strings(0), "Series1");
    EXPECT_TRUE(List->Selected(0));

    List->SetShowSeriesNames(true);
    List->FocusSeries(S[0]);
    bool told = false;
    Driver.AnswerNextModal([&](TCustomForm&) {
        Driver.Type("Series3");
        Driver.AnswerNextModal([&](TCustomForm&) {
            told = true;
            Driver.PressKey(VK_RETURN);
        });
        Driver.PressKey(VK_RETURN);
    });
    EXPECT_FALSE(List->RenameCurrentSeries());
    EXPECT_TRUE(told) << "a name another component has is refused with a message";
    EXPECT_EQ(S[0]->Name(), "Series1");
}

TEST_F(ChartListBoxTest, DoubleClickOnTheColourRunsTheColourDialog) {
    List->FocusSeries(S[1]);
    std::vector<TCustomChartSeries*> changed;
    List->OnChangeColor = [&](TObject*, TCustomChartSeries* s) { changed.push_back(s); };
    auto answer = [&](const char* Button, int Red) {
        Driver.AnswerNextModal([&, Button, Red](TCustomForm& form) {
            for (auto [name, value] :
                 {std::pair{"RedEdit", Red}, std::pair{"GreenEdit", 0}, std::pair{"BlueEdit", 0}})
                dynamic_cast<TEdit*>(form.FindComponent(name))->SetTextProp(std::to_string(value));
            Driver.ClickButton(&form, Button);
        });
    };
    answer("Cancel", 200);
    Driver.Advance(1000);
    Driver.DoubleClick(List, Cell(1, lbsColor));
    EXPECT_EQ(S[1]->SeriesColor(), clGreen);
    EXPECT_TRUE(changed.empty());

    answer("OK", 200);
    Driver.Advance(1000);
    Driver.DoubleClick(List, Cell(1, lbsColor));
    EXPECT_EQ(S[1]->SeriesColor(), TColor(200));
    ASSERT_EQ(changed.size(), 1u);

    // The same colour again is no change.
    TColor same = TColor(200);
    answer("OK", 200);
    EXPECT_FALSE(RunColorDialog(List, same));
}

TEST_F(ChartListBoxTest, PublishedSettingsKeepTheirDefaultsOutOfTheLayout) {
    List->SetName("ChartListBox1");
    Chart->SetName("Chart1");
    List->SetCheckStyle(cbsRadio);
    List->SetShowSeriesIcon(false);
    List->SetAskDelete(false);
    const std::string text = WriteComponentToText(List, Form);
    for (const char* line :
         {"Chart = Chart1", "CheckStyle = cbsRadio", "ShowSeriesIcon = False", "AskDelete = False"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    for (const char* absent : {"MultiSelect", "\n  Style", "ItemHeight", "AllowAddSeries", "ShowSeriesTitle"})
        EXPECT_EQ(text.find(absent), std::string::npos) << absent << "\n" << text;
}

TEST(SeriesSymbol, ASeriesWithoutAChartBorrowsOneAndLeavesNoneBehind) {
    TLineSeries series(nullptr);
    series.SetSeriesColor(clRed);
    TBitmap target(40, 20);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(TRect(0, 0, 40, 20));
    DrawSeriesSymbol(&series, target.Canvas(), TRect(4, 4, 36, 16));
    EXPECT_EQ(series.ParentChart(), nullptr);
    EXPECT_EQ(target.Canvas()->Pixels(20, 10), clRed);
}

} // namespace

namespace {

TEST_F(ChartListBoxTest, ChangingTheTypeOfTheSelectedSeriesKeepsThemSelectedInPlace) {
    struct THookScope {
        ~THookScope() { ChartListBoxTypeHook = nullptr; }
    } scope;
    ChartListBoxTypeHook = [](TChartSeries*) { return &TFastLineSeries::StaticClass(); };
    List->ClearSelection();
    List->SetSelected(0, true);
    List->SetSelected(2, true);
    List->ChangeSelectedSeriesType();
    ASSERT_EQ(Chart->SeriesCount(), 3);
    EXPECT_EQ(&Chart->Series(0)->ClassType(), &TFastLineSeries::StaticClass());
    EXPECT_EQ(Chart->Series(1), S[1]);
    EXPECT_EQ(&Chart->Series(2)->ClassType(), &TFastLineSeries::StaticClass());
    EXPECT_EQ(Chart->Series(0)->Name(), "Series1");
    EXPECT_EQ(Chart->Series(2)->Name(), "Series3");
    EXPECT_EQ(Rows(), Expected({"Frame 1", "Frame 2", "Series3"}));
    EXPECT_TRUE(List->Selected(0));
    EXPECT_FALSE(List->Selected(1));
    EXPECT_TRUE(List->Selected(2));
}

} // namespace
