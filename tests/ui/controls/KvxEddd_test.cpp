// Dragging text out of and onto the typed edits within the program.
#include "ui/controls/KvxEddd.h"

#include <gtest/gtest.h>

#include "EditTestUtil.h"
#include "platform/backend/Headless.h"
#include "platform/ui/Clipboard.h"

using namespace plat;
using namespace ui;
using namespace edittest;

namespace {

TEST(EditDragData, TheDataObjectServesTextInTheFormatsItLists) {
    TSourceDataObject data("héllo", "");
    std::shared_ptr<IEnumFormatEtc> formats;
    ASSERT_EQ(data.EnumFormatEtc(DATADIR_GET, formats), S_OK);
    TFormatEtc got[3];
    uint32_t fetched = 0;
    EXPECT_EQ(formats->Next(3, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 3u);
    EXPECT_EQ(got[0].Format, CF_TEXT);
    EXPECT_EQ(got[1].Format, CF_UNICODETEXT);
    EXPECT_EQ(got[2].Format, RichTextFormat());
    formats->Reset();
    EXPECT_EQ(formats->Skip(2), S_OK);
    EXPECT_EQ(formats->Next(2, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(formats->Skip(5), S_FALSE);
    std::shared_ptr<IEnumFormatEtc> none;
    EXPECT_EQ(data.EnumFormatEtc(2, none), E_NOTIMPL);
    EXPECT_EQ(none, nullptr);

    TStgMedium m;
    ASSERT_EQ(data.GetData(got[0] = TFormatEtc{CF_TEXT}, m), S_OK);
    EXPECT_EQ(std::string(m.Global.begin(), m.Global.end()), std::string("héllo") + '\0');
    ASSERT_EQ(data.GetData(TFormatEtc{CF_UNICODETEXT}, m), S_OK);
    EXPECT_EQ(m.Global.size(), 12u); // five UTF-16 units and the terminator
    EXPECT_EQ(data.GetData(TFormatEtc{RichTextFormat()}, m), DV_E_FORMATETC);
    TFormatEtc wrongMedium{CF_TEXT};
    wrongMedium.Tymed = 4;
    EXPECT_EQ(data.QueryGetData(wrongMedium), DV_E_FORMATETC);
    EXPECT_EQ(data.SetData(TFormatEtc{CF_TEXT}, m), DV_E_FORMATETC);
    EXPECT_EQ(data.DAdvise(), OLE_E_ADVISENOTSUPPORTED);
}

TEST(EditDragData, TheSourceFollowsEscapeAndTheButton) {
    TAEDropSource source;
    EXPECT_EQ(source.QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source.QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(source.QueryContinueDrag(false, MK_LBUTTON), S_OK);
    EXPECT_EQ(source.GiveFeedback(DROPEFFECT_NONE), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_TRUE(source.NoneFeedback());
}

// Data from elsewhere that cannot list its formats.
class TNoEnumerator : public TSourceDataObject {
public:
    TNoEnumerator() : TSourceDataObject("text", "") {}
    HRESULT EnumFormatEtc(uint32_t, std::shared_ptr<IEnumFormatEtc>& Enum) override {
        Enum.reset();
        return E_NOTIMPL;
    }
};

// A drop target that records what reaches it.
class TRecordingTarget : public TAEDropTarget {
public:
    std::vector<std::string> Texts;
    void DropText(TPoint, const std::string& Text) override { Texts.push_back(Text); }
};

TEST(EditDragData, DataWithoutAFormatEnumeratorIsRefused) {
    TNoEnumerator data;
    TRecordingTarget target;
    uint32_t effect = DROPEFFECT_COPY;
    EXPECT_EQ(target.DragEnter(&data, MK_LBUTTON, TPoint(), effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target.Drop(&data, 0, TPoint(), effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_TRUE(target.Texts.empty());

    TSourceDataObject text("text", "");
    EXPECT_EQ(target.DragEnter(&text, MK_LBUTTON | MK_CONTROL, TPoint(), effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    EXPECT_EQ(target.Drop(&text, 0, TPoint(), effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    EXPECT_EQ(target.Texts, std::vector<std::string>{"text"});
}

class EditDragTest : public EditFixture {
protected:
    void SetUp() override {
        EditFixture::SetUp();
        for (TKvxEdit* e : {Edit, Other}) {
            e->SetOleDropSource(true);
            e->SetOleDropTarget(true);
        }
    }
    TPoint CharPoint(TKvxEdit* e, int ch) {
        LRESULT r = e->Perform(EM_POSFROMCHAR, static_cast<WPARAM>(ch), 0);
        return TPoint(static_cast<int16_t>(LOWORD(r)) + 1, static_cast<int16_t>(HIWORD(r)) + 5);
    }
    TPoint EndPoint(TKvxEdit* e) { return TPoint(e->ClientWidth() - 4, CharPoint(e, 0).Y); }
    void SelectWord(TKvxEdit* e, int from, int length) {
        e->SetFocus();
        Driver.Pump();
        e->SetSelStart(from);
        e->SetSelLength(length);
    }
};

TEST_F(EditDragTest, DraggingASelectionMovesItAndCtrlCopiesIt) {
    ASSERT_TRUE(Edit->DropTargetRegistered());
    Edit->SetTextProp("one two three");
    SelectWord(Edit, 0, 4);
    Driver.Drag(TTestDriver::ScreenPoint(Edit, CharPoint(Edit, 1)),
                TTestDriver::ScreenPoint(Edit, EndPoint(Edit)));
    EXPECT_EQ(Edit->Text(), "two threeone ");
    EXPECT_EQ(Edit->DropCaretPos(), TPoint(-1, -1));

    Driver.Advance(1000); // a new press, not a double click
    Edit->SetTextProp("one two");
    SelectWord(Edit, 0, 3);
    Driver.Drag(TTestDriver::ScreenPoint(Edit, CharPoint(Edit, 1)),
                TTestDriver::ScreenPoint(Edit, EndPoint(Edit)), 4, tbLeft, modControl);
    EXPECT_EQ(Edit->Text(), "one twoone");
}

TEST_F(EditDragTest, DroppingOnTheOwnSelectionChangesNothing) {
    Edit->SetTextProp("one two");
    SelectWord(Edit, 0, 3);
    Driver.Drag(TTestDriver::ScreenPoint(Edit, CharPoint(Edit, 1)),
                TTestDriver::ScreenPoint(Edit, CharPoint(Edit, 2)));
    EXPECT_EQ(Edit->Text(), "one two");
}

TEST_F(EditDragTest, TextGoesFromOneEditToAnotherAndOnlyItsFirstLineIsDropped) {
    Edit->SetTextProp("alpha");
    Other->SetTextProp("beta");
    SelectWord(Edit, 0, 5);
    Driver.Drag(TTestDriver::ScreenPoint(Edit, CharPoint(Edit, 2)),
                TTestDriver::ScreenPoint(Other, EndPoint(Other)));
    EXPECT_EQ(Other->Text(), "betaalpha");
    EXPECT_EQ(Edit->Text(), "");

    TSourceDataObject lines("first\r\nsecond", "");
    IDropTarget* target = DropTargetOf(Other->Handle());
    ASSERT_NE(target, nullptr);
    uint32_t effect = 0;
    TPoint at = TTestDriver::ScreenPoint(Other, TPoint(2, 8));
    target->DragEnter(&lines, MK_LBUTTON, at, effect);
    target->Drop(&lines, 0, at, effect);
    EXPECT_EQ(Other->Text(), "firstbetaalpha");
}

TEST_F(EditDragTest, SwitchingTheTargetOffRevokesIt) {
    HWND wnd = Edit->Handle();
    EXPECT_NE(DropTargetOf(wnd), nullptr);
    Edit->SetOleDropTarget(false);
    EXPECT_FALSE(Edit->DropTargetRegistered());
    EXPECT_EQ(DropTargetOf(wnd), nullptr);
}

} // namespace
