#include "platform/ui/Input.h"

#include <gtest/gtest.h>

#include "platform/testing/TestDriver.h"
#include "platform/ui/Cursor.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/UiTestUtil.h"

using namespace plat;
using namespace uitest;

namespace {

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterRecorder();
        FTop = Top(Bounds(100, 100, 400, 300), WS_POPUP | WS_VISIBLE);
        FChild = Child(FTop, Bounds(50, 40, 100, 80));
        Driver.Pump();
        Rec().Log.clear();
    }

    std::vector<UINT> Mouse(HWND w) {
        return Rec().Of(w, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                            WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_NCLBUTTONDBLCLK});
    }

    TTestDriver Driver;
    HWND FTop = nullptr;
    HWND FChild = nullptr;
};

} // namespace

TEST_F(InputTest, ClicksReachTheWindowUnderThePointerInClientCoordinates) {
    Driver.Click(TPoint(160, 150));
    EXPECT_EQ(Mouse(FChild), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_TRUE(Mouse(FTop).empty());
    EXPECT_EQ(PointFromLParam(Rec().Last(FChild, WM_LBUTTONDOWN)->LParam), TPoint(10, 10));
    EXPECT_EQ(Rec().Last(FChild, WM_LBUTTONDOWN)->WParam & MK_LBUTTON, MK_LBUTTON);

    // A disabled child passes the click to its parent.
    EnableWindow(FChild, false);
    Rec().Log.clear();
    Driver.Click(TPoint(160, 150));
    EXPECT_TRUE(Mouse(FChild).empty());
    EXPECT_EQ(Mouse(FTop), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_EQ(PointFromLParam(Rec().Last(FTop, WM_LBUTTONDOWN)->LParam), TPoint(60, 50));
}

TEST_F(InputTest, TheCaptureKeepsTheMouseDuringADrag) {
    Rec().Answers[{FChild, WM_LBUTTONDOWN}] = [&](WPARAM, LPARAM) -> LRESULT {
        SetCapture(FChild);
        return 0;
    };
    Rec().Answers[{FChild, WM_LBUTTONUP}] = [](WPARAM, LPARAM) -> LRESULT {
        ReleaseCapture();
        return 0;
    };
    Driver.Drag(TPoint(160, 150), TPoint(20, 30), 3);
    EXPECT_EQ(GetCapture(), nullptr);
    // Every move went to the child, also those far outside it, in its client coordinates.
    const TLogEntry* lastMove = Rec().Last(FChild, WM_MOUSEMOVE);
    ASSERT_NE(lastMove, nullptr);
    EXPECT_EQ(PointFromLParam(lastMove->LParam), TPoint(20 - 150, 30 - 140));
    EXPECT_EQ(Rec().Count(FTop, WM_MOUSEMOVE), 0);
    EXPECT_EQ(Mouse(FChild), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_EQ(Rec().Count(FChild, WM_CAPTURECHANGED), 1);

    // A window that takes the capture away tells the old holder who has it now.
    SetCapture(FChild);
    SetCapture(FTop);
    EXPECT_EQ(reinterpret_cast<HWND>(Rec().Last(FChild, WM_CAPTURECHANGED)->LParam), FTop);
    ReleaseCapture();
}

TEST_F(InputTest, DoubleClicksNeedTimeDistanceAndTheClassStyle) {
    struct TCase {
        const char* Name;
        uint64_t Pause;
        int Dx;
        std::vector<UINT> Expected;
    };
    const TCase cases[] = {
        {"quick and close", 100, 1, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
        {"at the time limit", 500, 0, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}},
        {"too slow", 501, 0, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}},
        {"too far", 10, 3, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}},
    };
    for (const TCase& c : cases) {
        Rec().Log.clear();
        Driver.Advance(1000); // nothing left of the last case
        Driver.Click(TPoint(160, 150));
        Driver.Clock().Advance(c.Pause);
        Driver.Click(TPoint(160 + c.Dx, 150));
        EXPECT_EQ(Mouse(FChild), c.Expected) << c.Name;
    }
    // The third click of a quick series is a plain press again.
    Rec().Log.clear();
    Driver.Advance(1000);
    Driver.Click(TPoint(160, 150));
    Driver.Click(TPoint(160, 150));
    Driver.Click(TPoint(160, 150));
    EXPECT_EQ(Rec().Count(FChild, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(Rec().Count(FChild, WM_LBUTTONDOWN), 2);

    TWndClass plain;
    plain.Name = "NoDouble";
    plain.WndProc = RecordingProc;
    RegisterWindowClass(plain);
    HWND single = CreateWindowEx(0, "NoDouble", "", WS_CHILD | WS_VISIBLE, 200, 10, 50, 50, FTop, 0);
    Driver.Advance(1000);
    Driver.DoubleClick(TPoint(310, 120));
    EXPECT_EQ(Rec().Count(single, WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(Rec().Count(single, WM_LBUTTONDOWN), 2);
}

TEST_F(InputTest, LeavingATrackedWindowPostsMouseLeaveOnce) {
    Driver.MoveTo(TPoint(160, 150));
    TTrackMouseEvent track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = FChild;
    ASSERT_TRUE(TrackMouseEvent(track));
    Driver.MoveTo(TPoint(165, 155));
    EXPECT_EQ(Rec().Count(FChild, WM_MOUSELEAVE), 0);
    Driver.MoveTo(TPoint(110, 110));
    Driver.MoveTo(TPoint(112, 110));
    EXPECT_EQ(Rec().Count(FChild, WM_MOUSELEAVE), 1);
    // Asking while the pointer is already outside reports at once.
    TrackMouseEvent(track);
    Driver.Pump();
    EXPECT_EQ(Rec().Count(FChild, WM_MOUSELEAVE), 2);
}

TEST_F(InputTest, KeysGoToTheFocusAndTurnIntoCharacters) {
    SetFocus(FChild);
    EXPECT_EQ(GetFocus(), FChild);
    EXPECT_EQ(Rec().Of(FChild, {WM_SETFOCUS}), (std::vector<UINT>{WM_SETFOCUS}));
    Driver.PressKey('A', modShift);
    std::vector<UINT> keys = Rec().Of(FChild, {WM_KEYDOWN, WM_CHAR, WM_KEYUP});
    EXPECT_EQ(keys, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    EXPECT_EQ(Rec().Last(FChild, WM_CHAR)->WParam, static_cast<WPARAM>('A'));
    Rec().Log.clear();
    Driver.Type("é€");
    std::vector<WPARAM> chars;
    for (const auto& e : Rec().Log)
        if (e.Wnd == FChild && e.Msg == WM_CHAR)
            chars.push_back(e.WParam);
    EXPECT_EQ(chars, (std::vector<WPARAM>{0xE9, 0x20AC}));
    // Malformed text, committed or carried by a key, gives U+FFFD for each bad byte: never the '/' an
    // overlong form spells, nor a surrogate.
    Rec().Log.clear();
    Driver.Type("\xC0\xAF\xED\xA0\x80");
    Driver.KeyDown('A', 0, "\xC0\xAF");
    Driver.KeyUp('A', 0);
    chars.clear();
    for (const auto& e : Rec().Log)
        if (e.Wnd == FChild && e.Msg == WM_CHAR)
            chars.push_back(e.WParam);
    EXPECT_EQ(chars, std::vector<WPARAM>(7, 0xFFFD));

    // Key states follow the keys; Alt makes system keys; Alt+F4 closes the top-level window.
    Driver.KeyDown(VK_CONTROL, modControl);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    Driver.KeyUp(VK_CONTROL, 0);
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    Rec().Log.clear();
    Driver.PressKey(VK_F4, modAlt);
    EXPECT_EQ(Rec().Count(FChild, WM_SYSKEYDOWN), 1);
    EXPECT_EQ(Rec().Count(FTop, WM_CLOSE), 1);
    EXPECT_FALSE(IsWindow(FTop));
}

// The keypad's decimal key and the main period key type the same character; only the keypad bit,
// carried from the key to its character, tells them apart.
TEST_F(InputTest, KeypadKeysAndTheirCharactersCarryTheKeypadBit) {
    SetFocus(FChild);
    struct Case {
        uint16_t Vk;
        bool Keypad;
    } cases[] = {{VK_DECIMAL, true}, {VK_OEM_PERIOD, false}, {VK_NUMPAD0 + 7, true}, {'7', false}};
    for (const Case& c : cases) {
        Rec().Log.clear();
        Driver.KeyDown(c.Vk, 0, c.Vk == VK_DECIMAL || c.Vk == VK_OEM_PERIOD ? "." : "7");
        Driver.KeyUp(c.Vk, 0);
        const auto* down = Rec().Last(FChild, WM_KEYDOWN);
        const auto* ch = Rec().Last(FChild, WM_CHAR);
        ASSERT_TRUE(down && ch) << c.Vk;
        EXPECT_EQ((down->LParam & KF_KEYPAD_BIT) != 0, c.Keypad) << c.Vk;
        EXPECT_EQ((ch->LParam & KF_KEYPAD_BIT) != 0, c.Keypad) << c.Vk;
    }
}

TEST_F(InputTest, TheMenuKeyAloneAndAltWithALetterAskForTheKeyboardMenu) {
    SetFocus(FChild);
    std::vector<WPARAM> commands;
    std::vector<LPARAM> letters;
    Rec().Answers[{FTop, WM_SYSCOMMAND}] = [&](WPARAM wp, LPARAM lp) -> LRESULT {
        commands.push_back(wp & 0xFFF0);
        letters.push_back(lp);
        return 0;
    };
    Driver.KeyDown(VK_MENU, modAlt);
    Driver.KeyUp(VK_MENU, 0);
    Driver.KeyDown(VK_MENU, modAlt);
    Driver.PressKey('F', modAlt);
    Driver.KeyUp(VK_MENU, 0);
    EXPECT_EQ(commands, (std::vector<WPARAM>{SC_KEYMENU, SC_KEYMENU}));
    EXPECT_EQ(letters, (std::vector<LPARAM>{0, 'f'}))
        << "Alt, F, release: the letter only, no second menu key";
}

TEST_F(InputTest, ClickingAnInactiveWindowActivatesItAndMovesTheFocus) {
    HWND other = Top(Bounds(600, 100, 200, 200), WS_POPUP | WS_VISIBLE);
    Driver.Pump();
    EXPECT_EQ(GetActiveWindow(), other);
    SetFocus(other);
    Rec().Log.clear();
    Driver.Click(TPoint(120, 120));
    EXPECT_EQ(GetActiveWindow(), FTop);
    ASSERT_NE(Rec().Last(FTop, WM_ACTIVATE), nullptr);
    EXPECT_EQ(LOWORD(Rec().Last(FTop, WM_ACTIVATE)->WParam), WA_CLICKACTIVE);
    EXPECT_EQ(LOWORD(Rec().Last(other, WM_ACTIVATE)->WParam), WA_INACTIVE);
    EXPECT_EQ(GetFocus(), FTop);
    // The old window lost the focus before the new one got it.
    size_t kill = 0, set = 0;
    for (size_t i = 0; i < Rec().Log.size(); ++i) {
        if (Rec().Log[i].Wnd == other && Rec().Log[i].Msg == WM_KILLFOCUS)
            kill = i;
        if (Rec().Log[i].Wnd == FTop && Rec().Log[i].Msg == WM_SETFOCUS)
            set = i;
    }
    EXPECT_LT(kill, set);

    // A disabled window with an enabled owned one: the click brings the owned one forward instead.
    HWND dialog = CreateWindowEx(0, "Recorder", "", WS_POPUP | WS_VISIBLE, 700, 500, 100, 50, FTop, 0);
    EnableWindow(FTop, false);
    SetActiveWindow(other);
    Rec().Log.clear();
    Driver.Click(TPoint(120, 120));
    EXPECT_EQ(Rec().Count(FTop, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(GetActiveWindow(), dialog);
}

TEST_F(InputTest, TheWheelGoesUnderThePointerAndUpToTheParent) {
    Driver.Wheel(TPoint(160, 150), -WHEEL_DELTA);
    ASSERT_NE(Rec().Last(FChild, WM_MOUSEWHEEL), nullptr);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(Rec().Last(FChild, WM_MOUSEWHEEL)->WParam), -WHEEL_DELTA);
    EXPECT_EQ(PointFromLParam(Rec().Last(FTop, WM_MOUSEWHEEL)->LParam), TPoint(160, 150))
        << "unhandled, it reaches the parent with the screen point";
}

TEST_F(InputTest, FramesMoveAndSizeWindowsThroughTheirNonClientArea) {
    UI_HEADLESS_ONLY(Driver);
    HWND frame = Top(Bounds(300, 400, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Driver.Pump();
    // Drag by the caption: the window follows the pointer.
    Driver.Drag(TPoint(400, 410), TPoint(450, 430), 2);
    EXPECT_EQ(GetWindowBounds(frame), Bounds(350, 420, 300, 200));
    EXPECT_EQ(Rec().Count(frame, WM_ENTERSIZEMOVE), 1);
    EXPECT_EQ(Rec().Count(frame, WM_EXITSIZEMOVE), 1);
    // Drag the bottom-right corner; the size never goes below the minimum tracking size.
    Driver.Drag(TPoint(648, 618), TPoint(668, 628), 2);
    EXPECT_EQ(GetWindowBounds(frame), Bounds(350, 420, 320, 210));
    Driver.Drag(TPoint(668, 628), TPoint(0, 0), 2);
    EXPECT_EQ(GetWindowBounds(frame).Width(), GetSystemMetrics(SM_CXMINTRACK));
    EXPECT_EQ(GetWindowBounds(frame).Height(), GetSystemMetrics(SM_CYMINTRACK));
    // The pointer over a border shows the size cursor; over the client area the arrow.
    MoveWindow(frame, 350, 420, 300, 200, true);
    Driver.MoveTo(TPoint(351, 470));
    EXPECT_EQ(GetCursor()->Image.Shape, csrSizeWE);
    Driver.MoveTo(TPoint(400, 480));
    EXPECT_EQ(GetCursor()->Image.Shape, csrArrow);
    // The close button closes.
    TRect wr;
    GetWindowRect(frame, wr);
    Driver.Click(TPoint(wr.Right - 10, wr.Top + 10));
    EXPECT_FALSE(IsWindow(frame));
}

TEST_F(InputTest, SynthesisedMouseInputTakesTheSamePathAsRealInput) {
    Driver.MoveTo(TPoint(160, 150));
    Rec().Log.clear();
    // A press and release at the pointer, as a component forwarding a click makes them.
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0);
    EXPECT_TRUE(Mouse(FChild).empty()) << "queued like real input, not sent at once";
    Driver.Pump();
    EXPECT_EQ(Mouse(FChild), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}));
    EXPECT_EQ(PointFromLParam(Rec().Last(FChild, WM_LBUTTONDOWN)->LParam), TPoint(10, 10));

    // A second click soon after is a double click, as with real input (the class asks for them).
    Rec().Log.clear();
    mouse_event(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP, 0, 0, 0);
    Driver.Pump();
    EXPECT_EQ(Mouse(FChild), (std::vector<UINT>{WM_LBUTTONDBLCLK, WM_LBUTTONUP}));

    // Relative and absolute moves; the capture holds for synthesised input too.
    Driver.Advance(1000);
    Rec().Log.clear();
    Rec().Answers[{FChild, WM_RBUTTONDOWN}] = [&](WPARAM, LPARAM) -> LRESULT {
        SetCapture(FChild);
        return 0;
    };
    TMouseInput inputs[3];
    inputs[0].dwFlags = MOUSEEVENTF_RIGHTDOWN;
    inputs[1].dwFlags = MOUSEEVENTF_MOVE;
    inputs[1].dx = 200;
    inputs[1].dy = 100;
    inputs[2].dwFlags = MOUSEEVENTF_RIGHTUP;
    EXPECT_EQ(SendInput(inputs), 3u);
    Driver.Pump();
    EXPECT_EQ(Mouse(FChild), (std::vector<UINT>{WM_RBUTTONDOWN, WM_RBUTTONUP}));
    EXPECT_EQ(PointFromLParam(Rec().Last(FChild, WM_RBUTTONUP)->LParam), TPoint(210, 110));
    ReleaseCapture();
    TPoint p;
    GetCursorPos(p);
    EXPECT_EQ(p, TPoint(360, 250));
    mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 32768, 32768, 0);
    Driver.Pump();
    GetCursorPos(p);
    TRect screen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(p, TPoint(screen.Width() / 2, screen.Height() / 2));
}

// A toolbar torn off into a floating window moves its live window while the drag holds the capture.
TEST_F(InputTest, AWindowMovedToAnotherTopLevelWindowKeepsTheCapture) {
    HWND other = Top(Bounds(600, 500, 200, 100), WS_POPUP | WS_VISIBLE);
    Driver.Pump();
    SetCapture(FChild);
    SetParent(FChild, other);
    SetWindowPos(FChild, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(GetCapture(), FChild);
    EXPECT_EQ(GetParent(FChild), other);
    Rec().Log.clear();
    Driver.MoveTo(TPoint(150, 120));
    // Still the child's, in its new place's client coordinates.
    const TLogEntry* move = Rec().Last(FChild, WM_MOUSEMOVE);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(PointFromLParam(move->LParam), TPoint(150 - 610, 120 - 510));
    EXPECT_EQ(Rec().Count(FChild, WM_CAPTURECHANGED), 0);
    ReleaseCapture();
}
