#include "ui/drawing/DBKvxGlowButton.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/GfxResources.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/ImageList.h"

namespace {

using plat::TPoint;
using plat::TRect;
using namespace ui;

// A dataset of a number of records held as a position, recording the operations asked of it.
class TFakeDataSet : public TKvxDataSet {
public:
    explicit TFakeDataSet(int Records) : FRecords(Records) {}
    TDataSetState State() const override { return FState; }
    bool Bof() const override { return FRecords == 0 || FPos == 0; }
    bool Eof() const override { return FRecords == 0 || FPos == FRecords - 1; }
    bool CanModify() const override { return !ReadOnly; }
    void First() override { Move("First", 0); }
    void Prior() override { Move("Prior", FPos - 1); }
    void Next() override { Move("Next", FPos + 1); }
    void Last() override { Move("Last", FRecords - 1); }
    void Insert() override { SetState("Insert", dsInsert); }
    void Append() override { SetState("Append", dsInsert); }
    void Delete() override {
        Calls.push_back("Delete");
        if (FailNext)
            throw std::runtime_error("locked");
        --FRecords;
        NotifyDataSetChanged();
    }
    void Edit() override { SetState("Edit", dsEdit); }
    void Post() override { SetState("Post", dsBrowse); }
    void Cancel() override { SetState("Cancel", dsBrowse); }
    void Refresh() override { Calls.push_back("Refresh"); }
    void Open() {
        FState = dsBrowse;
        NotifyActiveChanged();
    }

    bool ReadOnly = false;
    bool FailNext = false;
    std::vector<std::string> Calls;

private:
    void Move(const char* call, int pos) {
        Calls.push_back(call);
        FPos = std::max(0, std::min(pos, FRecords - 1));
        NotifyDataSetChanged();
    }
    void SetState(const char* call, TDataSetState s) {
        Calls.push_back(call);
        FState = s;
        NotifyStateChanged();
    }
    int FRecords;
    int FPos = 0;
    TDataSetState FState = dsInactive;
};

class DBGlowButtonTest : public ::testing::Test {
protected:
    DBGlowButtonTest() : Source(nullptr) {
        Form = plat::NewForm<plat::TForm>(plat::Application);
        Form->SetBoundsRect(TRect(100, 100, 400, 300));
        Source.SetDataSet(&Data);
        Data.Open();
    }
    TDBKvxGlowButton* Add(TDBGlowButtonType type) {
        auto* b = new TDBKvxGlowButton(Form);
        b->SetParent(Form);
        b->SetBoundsRect(plat::Bounds(10, 10 + 50 * int(Form->ControlCount() - 1), 100, 41));
        b->SetDBButtonType(type);
        b->SetDataSource(&Source);
        return b;
    }
    // Clicks far enough apart that none of them counts as the second half of a double click.
    void Click(plat::TControl* c, TPoint at = TPoint(-1, -1)) {
        Driver.Advance(1000, 50);
        if (at.X < 0)
            Driver.Click(c);
        else
            Driver.Click(c, at);
    }
    plat::TTestDriver Driver;
    TFakeDataSet Data{3};
    TDataSource Source;
    plat::TForm* Form;
};

TEST_F(DBGlowButtonTest, PresetsFollowTheType) {
    struct Case {
        TDBGlowButtonType Type;
        TDBBDisableControls Expected;
    };
    const Case cases[] = {
        {dbFirst, DisableBit(drBOF) | DisableBit(drEditing) | DisableBit(drEmpty)},
        {dbLast, DisableBit(drEOF) | DisableBit(drEditing) | DisableBit(drEmpty)},
        {dbAppend, DisableBit(drReadonly) | DisableBit(drEditing)},
        {dbEdit, DisableBit(drReadonly) | DisableBit(drEditing) | DisableBit(drEmpty)},
        {dbCancel, DisableBit(drNotEditing)},
        {dbRefresh, DisableBit(drEditing)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Add(c.Type)->DisableControl(), c.Expected) << kDBGlowButtonTypeNames[c.Type];
    TDBKvxGlowButton custom(nullptr);
    custom.SetDisableControl(DisableBit(drEOF));
    custom.SetDBButtonType(dbCustom);
    EXPECT_EQ(custom.DisableControl(), DisableBit(drEOF));
    custom.SetDBButtonType(dbDelete);
    EXPECT_EQ(custom.ConfirmActionString(), "Delete record?");
}

TEST_F(DBGlowButtonTest, EnabledFollowsTheDataSetAndTheGlyphFollowsEnabled) {
    auto* next = Add(dbNext);
    auto* post = Add(dbPost);
    int postChanges = 0;
    post->OnEnabledChanged = [&](plat::TObject*) { ++postChanges; };
    Form->Show();
    Driver.Pump();
    EXPECT_TRUE(next->Enabled());
    EXPECT_FALSE(post->Enabled()) << "nothing to post while browsing";

    Click(next);
    Click(next);
    EXPECT_EQ(Data.Calls, (std::vector<std::string>{"Next", "Next"}));
    EXPECT_FALSE(next->Enabled()) << "at the last record";
    // The button shows the disabled glyph of its action.
    plat::TBitmap expected;
    plat::LoadBitmapResource(expected, "DBIMGNEXTD");
    ASSERT_NE(next->InternalGlyphs(), nullptr);
    const plat::TPixelImage shown = next->InternalGlyphs()->GetImage(0);
    ASSERT_EQ(shown.Width, 16);
    bool same = true;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const plat::TColor want = expected.Canvas()->Pixels(x, y);
            const uint32_t got = shown.Row(y)[x];
            if (want == plat::clFuchsia)
                same = same && (got >> 24) == 0;
            else
                same = same && (got >> 24) == 0xFF &&
                       (got & 0xFFFFFF) == uint32_t(plat::GetRValue(want) << 16 | plat::GetGValue(want) << 8 |
                                                    plat::GetBValue(want));
        }
    EXPECT_TRUE(same) << "the list holds DBIMGNEXTD with magenta see-through";

    Data.Edit();
    EXPECT_TRUE(post->Enabled());
    EXPECT_EQ(postChanges, 1);

    Data.ReadOnly = true;
    auto* insert = Add(dbInsert);
    EXPECT_FALSE(insert->Enabled());

    Source.SetDataSet(nullptr);
    EXPECT_FALSE(next->Enabled()) << "no active dataset";
}

TEST_F(DBGlowButtonTest, ConfirmationAndFailures) {
    auto* del = Add(dbDelete);
    del->SetConfirmAction(true);
    std::vector<std::string> asked;
    int answer = plat::mrCancel;
    del->Confirm = [&](const std::string& q, plat::TMsgDlgButtons buttons, int) {
        asked.push_back(q);
        EXPECT_EQ(buttons, (plat::TMsgDlgButtons{plat::mbOK, plat::mbCancel}));
        return answer;
    };
    Form->Show();
    Driver.Pump();
    Click(del);
    EXPECT_EQ(asked, (std::vector<std::string>{"Delete record?"}));
    EXPECT_TRUE(Data.Calls.empty()) << "Cancel leaves the record";
    answer = plat::mrOk;
    Click(del);
    EXPECT_EQ(Data.Calls, (std::vector<std::string>{"Delete"}));

    // A failure goes to OnAfterAction, which may swallow it.
    Data.FailNext = true;
    int after = 0;
    del->OnAfterAction = [&](plat::TObject*, bool& show) {
        ++after;
        show = false;
    };
    EXPECT_NO_THROW(del->Click());
    EXPECT_EQ(after, 1);
    del->OnAfterAction = [&](plat::TObject*, bool& show) { EXPECT_TRUE(show); };
    EXPECT_THROW(del->Click(), std::runtime_error);

    // OnBeforeAction can call the action off.
    Data.Calls.clear();
    del->SetConfirmAction(false);
    del->OnBeforeAction = [](plat::TObject*, bool& doIt) { doIt = false; };
    del->Click();
    EXPECT_TRUE(Data.Calls.empty());
}

TEST_F(DBGlowButtonTest, EventControlledAndImageListButtons) {
    auto* b = Add(dbCustom);
    b->SetDisableControl(DisableBit(drEvent));
    b->UpdateEnabled();
    EXPECT_TRUE(b->Enabled()) << "without a handler the event leaves it enabled";
    b->OnGetEnabled = [](plat::TObject*, bool& enabled) { enabled = false; };
    b->UpdateEnabled();
    EXPECT_FALSE(b->Enabled());

    auto* withList = new TDBKvxGlowButton(Form);
    plat::TImageList list(nullptr);
    withList->SetImages(&list);
    withList->SetDBButtonType(dbFirst);
    EXPECT_EQ(withList->InternalGlyphs(), nullptr) << "no resource glyph over the button's own list";
    withList->SetImages(nullptr);
}

} // namespace
