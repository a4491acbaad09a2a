#include "platform/ui/ModalLoop.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/rtl/Exception.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Screen.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/TestControls.h"
#include "platform/ui/UiTestUtil.h"
#include "platform/ui/WindowScroll.h"

using namespace plat;
using namespace uitest;

namespace {

// A captionless form whose top strip moves it and whose bottom-right corner sizes it, so the move and
// size loops run here and not in a window manager. A handler of WM_MOVING or WM_SIZING raises on demand.
class TLoopForm : public TForm {
public:
    explicit TLoopForm(TComponent* AOwner) : TForm(AOwner) { SetBorderStyle(bsNone); }
    UINT RaiseOn = 0;
    int Entered = 0, Exited = 0;
    // Freed when the form gets kFree, as a handler that frees what a loop drives would.
    static constexpr UINT kFree = WM_APP + 8;
    TComponent* Doomed = nullptr;
    void Dispatch(TMessage& m) override {
        if (m.Msg == kFree && Doomed) {
            std::exchange(Doomed, nullptr)->Free();
            return;
        }
        if (m.Msg == WM_NCHITTEST) {
            m.Result = uitest::OwnFrameHitTest(*this, m.LParam);
            return;
        }
        Entered += m.Msg == WM_ENTERSIZEMOVE;
        Exited += m.Msg == WM_EXITSIZEMOVE;
        if (RaiseOn && m.Msg == RaiseOn) {
            RaiseOn = 0;
            throw Exception("handler failed");
        }
        TForm::Dispatch(m);
    }
};

class ModalLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestControls();
        Form = NewForm<TLoopForm>(Application);
        Form->SetBounds(300, 200, 400, 300);
        Application->OnException = [this](TObject*, Exception&) { ++Raised; };
        Form->Show();
        Driver.Pump();
    }
    void TearDown() override {
        SetMenuLoopHook(nullptr);
        Application->OnException = nullptr;
        Application->OnMessage = nullptr;
    }

    // Runs a gesture; an exception that leaves it counts like one the application reported.
    void Run(const std::function<void()>& gesture) {
        Driver.Advance(1000); // no press is taken for the second of a double click
        try {
            gesture();
        } catch (const Exception&) {
            ++Raised;
        }
        Driver.Pump();
    }

    TTestDriver Driver;
    TLoopForm* Form = nullptr;
    int Raised = 0;
};

// One nested loop: Arm makes a handler inside the loop raise once, Gesture runs the loop, Effect counts
// what the gestures achieved, Restored checks the loop's own record after the raise.
struct TLoopCase {
    const char* Name;
    std::function<void()> Arm;
    std::function<void()> Gesture;
    std::function<std::string()> Effect;
    std::function<void()> Restored;
};

} // namespace

TEST_F(ModalLoopTest, AHandlerThatRaisesInsideANestedLoopLeavesNothingBehind) {
    UI_HEADLESS_ONLY(Driver);
    // Drag and drop between two controls of the form.
    auto* source = new TTestBox(Form);
    source->SetParent(Form);
    source->SetBoundsRect(Bounds(10, 40, 40, 40));
    source->SetDragMode(dmAutomatic);
    auto* target = new TTestPanel(Form);
    target->SetParent(Form);
    target->SetBoundsRect(Bounds(200, 40, 100, 100));
    bool raiseOnDrop = false;
    int drops = 0;
    target->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; };
    target->OnDragDrop = [&](TObject*, TObject*, int, int) {
        if (std::exchange(raiseOnDrop, false))
            throw Exception("drop failed");
        ++drops;
    };

    // A window of its own with a vertical scroll bar whose thumb is tracked.
    RegisterRecorder(CS_DBLCLKS, clWhite);
    HWND scrolled = Top(TRect(800, 100, 1100, 300), WS_POPUP | WS_VISIBLE | WS_VSCROLL);
    TScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMax = 99;
    info.nPage = 10;
    SetScrollInfo(scrolled, SB_VERT, info, true);
    bool raiseOnTrack = false;
    int thumbPositions = 0;
    Rec().Answers[{scrolled, WM_VSCROLL}] = [&](WPARAM wp, LPARAM) -> LRESULT {
        if (LOWORD(wp) == SB_THUMBTRACK && std::exchange(raiseOnTrack, false))
            throw Exception("scroll failed");
        thumbPositions += LOWORD(wp) == SB_THUMBPOSITION;
        return 0;
    };

    // A pop-up menu whose first item draws itself.
    auto* popup = new TPopupMenu(Form);
    auto* item = new TMenuItem(Form);
    item->SetCaption("Alpha");
    popup->Items()->Add(item);
    bool raiseOnDraw = false;
    int clicks = 0;
    item->OnAdvancedDrawItem = [&](TObject*, TCanvas*, TRect, TOwnerDrawState) {
        if (std::exchange(raiseOnDraw, false))
            throw Exception("draw failed");
    };
    item->OnClick = [&](TObject*) { ++clicks; };

    // A modal form answered by a message its owner's application handler raises on.
    auto* dialog = NewForm<TForm>(Application);
    dialog->SetBounds(400, 300, 200, 100);
    const UINT kPoke = WM_APP + 7;
    bool raiseOnPoke = false;
    Application->OnMessage = [&](TMsg& m, bool&) {
        if (m.message == kPoke && std::exchange(raiseOnPoke, false))
            throw Exception("modal handler failed");
    };
    int modalOks = 0;

    const int arrow = GetSystemMetrics(SM_CXVSCROLL);
    const TPoint thumb(1100 - arrow / 2, 100 + arrow + 5);

    std::vector<TLoopCase> cases = {
        {"drag", [&] { raiseOnDrop = true; },
         [&] { Driver.Drag(Driver.CenterOf(source), target->ClientToScreen(TPoint(30, 40))); },
         [&] { return std::to_string(drops); },
         [&] {
             EXPECT_FALSE(source->Dragging());
             EXPECT_NE(GetCursor(), LoadCursor(IDC_DRAG));
             EXPECT_NE(GetCursor(), LoadCursor(IDC_NODROP));
         }},
        {"move", [&] { Form->RaiseOn = WM_MOVING; }, [&] { Driver.Drag(TPoint(500, 210), TPoint(510, 215)); },
         [&] { return std::to_string(Form->Left()) + "," + std::to_string(Form->Top()); },
         [&] { EXPECT_EQ(Form->Entered, Form->Exited); }},
        {"size", [&] { Form->RaiseOn = WM_SIZING; },
         [&] {
             TRect r = Form->BoundsRect();
             Driver.Drag(TPoint(r.Right - 5, r.Bottom - 5), TPoint(r.Right + 5, r.Bottom + 5));
         },
         [&] { return std::to_string(Form->Width()) + "x" + std::to_string(Form->Height()); },
         [&] { EXPECT_EQ(Form->Entered, Form->Exited); }},
        {"scroll track", [&] { raiseOnTrack = true; },
         [&] { Driver.Drag(thumb, TPoint(thumb.X, thumb.Y + 40), 2); },
         [&] { return std::to_string(thumbPositions); },
         [&] {
             TScrollInfo si;
             si.fMask = SIF_ALL;
             GetScrollInfo(scrolled, SB_VERT, si);
             EXPECT_EQ(si.nTrackPos, si.nPos) << "the thumb is back at rest";
         }},
        {"menu", [&] { raiseOnDraw = true; },
         [&] {
             SetMenuLoopHook([&](TMenu*) {
                 TRect r;
                 ASSERT_TRUE(GetMenuItemRect(item, r));
                 Driver.Click(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
             });
             popup->Popup(200, 200);
             SetMenuLoopHook(nullptr);
         },
         [&] { return std::to_string(clicks); }, [&] { EXPECT_FALSE(MenuTracking()); }},
        {"modal form", [&] { raiseOnPoke = true; },
         [&] {
             Driver.AnswerNextModal([&](TCustomForm& f) {
                 Screen->SetCursor(crHourGlass); // a busy handler that never put it back
                 PostMessage(f.Handle(), kPoke, 0, 0);
                 if (!raiseOnPoke)
                     f.SetModalResult(mrOk);
             });
             modalOks += dialog->ShowModal() == mrOk;
         },
         [&] { return std::to_string(modalOks); },
         [&] {
             EXPECT_FALSE(dialog->FormState() & fsModal);
             EXPECT_FALSE(dialog->Visible());
             EXPECT_TRUE(IsWindowEnabled(Form->Handle())) << "the other windows take input again";
             EXPECT_EQ(Screen->Cursor(), crDefault);
             EXPECT_EQ(Driver.PendingModalAnswers(), 0);
         }},
    };

    for (const TLoopCase& c : cases) {
        SCOPED_TRACE(c.Name);
        // A clean run shows what the gesture does; after the raising run the same gesture does it again.
        std::string before = c.Effect();
        Run(c.Gesture);
        std::string clean = c.Effect();
        EXPECT_NE(clean, before) << "the gesture has an effect to compare";
        Raised = 0;
        c.Arm();
        Run(c.Gesture);
        EXPECT_EQ(Raised, 1) << "the handler raised inside the loop";
        EXPECT_EQ(GetCapture(), nullptr);
        c.Restored();
        Raised = 0;
        std::string beforeNext = c.Effect();
        Run(c.Gesture);
        EXPECT_EQ(Raised, 0);
        EXPECT_NE(c.Effect(), beforeNext) << "the next gesture works";
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST_F(ModalLoopTest, TheLoopLearnsWhatWentAwayAndGivesEverythingBackOnAnException) {
    auto* watched = new TTestPanel(Form);
    auto* pointedAt = new TTestPanel(Form);
    TControl* target = pointedAt;
    std::vector<std::string> order;
    int state = 1;
    EXPECT_THROW(
        {
            TModalLoop loop;
            loop.Capture(Form->Handle());
            loop.Watch(watched);
            loop.Track(target);
            loop.Change(state, 2);
            loop.OnExit([&] { order.push_back("first"); });
            loop.OnExit([&] {
                order.push_back("second");
                throw Exception("restorer failed");
            });
            EXPECT_TRUE(loop.Alive());
            pointedAt->Free();
            EXPECT_EQ(target, nullptr) << "a tracked pointer is cleared";
            EXPECT_TRUE(loop.Alive()) << "a tracked component does not end the loop";
            watched->Free();
            EXPECT_FALSE(loop.Alive()) << "a watched component ends the loop";
            EXPECT_EQ(GetCapture(), Form->Handle());
            throw std::runtime_error("handler failed");
        },
        std::runtime_error);
    EXPECT_EQ(order, (std::vector<std::string>{"second", "first"})) << "newest first, all of them";
    EXPECT_EQ(state, 1);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ModalLoopTest, AControlFreedInsideItsLoopEndsTheLoopCleanly) {
    UI_HEADLESS_ONLY(Driver);
    // Each case makes the thing its loop drives, runs the loop with a handler that frees it, and answers
    // whether the same gesture works again with a fresh one.
    auto* target = new TTestPanel(Form);
    target->SetParent(Form);
    target->SetBoundsRect(Bounds(200, 40, 100, 100));
    int drops = 0;
    target->OnDragDrop = [&](TObject*, TObject*, int, int) { ++drops; };
    TComponent*& doomed = Form->Doomed;
    auto doom = [&](TComponent* c) {
        doomed = c;
        PostMessage(Form->Handle(), TLoopForm::kFree, 0, 0);
    };

    struct TCase {
        const char* Name;
        std::function<void(bool freeIt)> Run;
        std::function<int()> Effect;
    };
    std::vector<TCase> cases = {
        {"drag source",
         [&](bool freeIt) {
             auto* source = new TTestBox(Form);
             source->SetParent(Form);
             source->SetBoundsRect(Bounds(10, 40, 40, 40));
             source->SetDragMode(dmAutomatic);
             target->OnDragOver = [&, source, freeIt](TObject*, TObject*, int, int, TDragState,
                                                      bool& accept) {
                 accept = true;
                 if (freeIt && !doomed)
                     doom(source);
             };
             Driver.Drag(TTestDriver::CenterOf(source), target->ClientToScreen(TPoint(30, 40)), 6);
         },
         [&] { return drops; }},
        {"modal form",
         [&](bool freeIt) {
             auto* dialog = NewForm<TForm>(Application);
             dialog->SetBounds(400, 300, 200, 100);
             Driver.AnswerNextModal([&, freeIt](TCustomForm& f) {
                 if (freeIt)
                     doom(&f);
                 else
                     f.SetModalResult(mrOk);
             });
             int result = dialog->ShowModal();
             if (!freeIt) {
                 drops += result == mrOk;
                 dialog->Free();
             }
         },
         [&] { return drops; }},
        {"pop-up menu",
         [&](bool freeIt) {
             auto* popup = new TPopupMenu(Form);
             auto* item = new TMenuItem(popup);
             item->SetCaption("Alpha");
             item->OnClick = [&](TObject*) { ++drops; };
             popup->Items()->Add(item);
             SetMenuLoopHook([&, item, popup, freeIt](TMenu*) {
                 if (freeIt) {
                     doom(popup);
                     Driver.Pump();
                     return;
                 }
                 TRect r;
                 ASSERT_TRUE(GetMenuItemRect(item, r));
                 Driver.Click(TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
             });
             popup->Popup(200, 200);
             SetMenuLoopHook(nullptr);
             if (!freeIt)
                 popup->Free();
         },
         [&] { return drops; }},
    };

    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Driver.Advance(1000);
        c.Run(true);
        Driver.Pump();
        EXPECT_EQ(doomed, nullptr) << "the handler ran inside the loop";
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_FALSE(MenuTracking());
        EXPECT_TRUE(IsWindowEnabled(Form->Handle()));
        int before = c.Effect();
        Driver.Advance(1000);
        c.Run(false);
        EXPECT_EQ(c.Effect(), before + 1) << "the next gesture works";
        EXPECT_EQ(GetCapture(), nullptr);
    }
}
