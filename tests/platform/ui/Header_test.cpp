#include "platform/ui/Header.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"

using namespace plat;

namespace {

struct TTrack {
    int Section;
    int Width;
    TSectionTrackState State;
};

// A header with three sections (80, 60 and 100 wide) across the top of a shown form.
class HeaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form = NewForm<TForm>(Application);
        Form->SetBounds(100, 100, 320, 160);
        Header = new THeaderControl(Form);
        Header->SetParent(Form);
        for (auto [text, width] : {std::pair{"Name", 80}, {"Size", 60}, {"Date", 100}}) {
            THeaderSection* s = Header->Sections()->Add();
            s->SetText(text);
            s->SetWidth(width);
        }
        Header->OnSectionClick = [this](THeaderControl*, THeaderSection* s) { Clicks.push_back(s->Index()); };
        Header->OnSectionResize = [this](THeaderControl*, THeaderSection* s) {
            Resized.push_back(s->Index());
        };
        Header->OnSectionTrack = [this](THeaderControl*, THeaderSection* s, int w, TSectionTrackState st) {
            Tracks.push_back({s->Index(), w, st});
        };
        Form->Show();
        Driver.Pump();
    }
    TPoint Mid(int x) { return TPoint(x, Header->ClientHeight() / 2); }

    TTestDriver Driver;
    TForm* Form = nullptr;
    THeaderControl* Header = nullptr;
    std::vector<int> Clicks, Resized;
    std::vector<TTrack> Tracks;
};

} // namespace

TEST_F(HeaderTest, SectionsLieSideBySideAlongTheTop) {
    EXPECT_EQ(Header->Align(), alTop);
    EXPECT_EQ(Header->Width(), Form->ClientWidth());
    EXPECT_EQ(Header->Sections()->Items(2)->Left(), 140);
    EXPECT_EQ(Header->SectionRect(1), TRect(80, 0, 140, Header->ClientHeight()));
    EXPECT_EQ(Header->SectionAt(100), 1);
    EXPECT_EQ(Header->SectionAt(300), -1);
    EXPECT_EQ(Header->DividerAt(81), 0);
    EXPECT_EQ(Header->DividerAt(110), -1);
}

TEST_F(HeaderTest, DraggingADividerResizesWithinTheLimits) {
    THeaderSection* name = Header->Sections()->Items(0);
    name->SetMaxWidth(150);
    Driver.Drag(Header, Mid(80), Mid(120), 4);
    EXPECT_EQ(name->Width(), 120);
    EXPECT_EQ(Header->Sections()->Items(1)->Left(), 120) << "the sections to the right move along";
    ASSERT_GE(Tracks.size(), 3u);
    EXPECT_EQ(Tracks.front().State, tsTrackBegin);
    EXPECT_EQ(Tracks.back().State, tsTrackEnd);
    EXPECT_EQ(Tracks.back().Width, 120);
    EXPECT_EQ(Resized, std::vector<int>{0});
    EXPECT_TRUE(Clicks.empty()) << "a drag on a divider is no click";

    Driver.Drag(Header, Mid(120), Mid(300), 3);
    EXPECT_EQ(name->Width(), 150) << "held at the maximum";
    name->SetMinWidth(30);
    Driver.Drag(Header, Mid(150), Mid(2), 3);
    EXPECT_EQ(name->Width(), 30) << "held at the minimum";
}

TEST_F(HeaderTest, ClickingASectionReportsItUnlessItIsNotClickable) {
    Driver.Click(Header, Mid(110));
    EXPECT_EQ(Clicks, std::vector<int>{1});
    // A press that leaves the section before the release is no click.
    Driver.Drag(Header, Mid(40), TPoint(40, 60), 2);
    EXPECT_EQ(Clicks, std::vector<int>{1});
    Header->Sections()->Items(2)->SetAllowClick(false);
    Driver.Click(Header, Mid(200));
    EXPECT_EQ(Clicks, std::vector<int>{1});
    EXPECT_EQ(Header->PressedSection(), -1);
}

TEST_F(HeaderTest, OwnerDrawnSectionsAreDrawnByTheHandler) {
    THeaderSection* date = Header->Sections()->Items(2);
    date->SetStyle(hsOwnerDraw);
    std::vector<TRect> rects;
    Header->OnDrawSection = [&](THeaderControl* h, THeaderSection*, const TRect& r, bool) {
        rects.push_back(r);
        h->Canvas()->Brush()->SetColor(clLime);
        h->Canvas()->FillRect(TRect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2));
    };
    Header->Invalidate();
    Driver.Pump();
    ASSERT_FALSE(rects.empty());
    EXPECT_EQ(rects.back(), Header->SectionRect(2));
    EXPECT_EQ(Driver.Pixel(Header, 190, Header->ClientHeight() / 2), clLime);
}
