// Drives the window system in tests: puts in the headless backend and a clock the test advances, pumps
// messages until nothing is left to do, injects mouse and keyboard input at points or windows, answers
// modal forms, and renders windows to images that tests read and save as PNG files.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/backend/Headless.h"
#include "platform/gfx/Surface.h"
#include "platform/rtl/Clock.h"
#include "platform/ui/Keys.h"
#include "platform/ui/Messages.h"

// Tests that depend on the headless display (frames drawn by the program, cursors and presents it
// records) skip themselves on X11.
#define UI_HEADLESS_ONLY(driver)                                                                             \
    if (!(driver).IsHeadless())                                                                              \
    GTEST_SKIP() << "runs on the headless display only"

namespace plat {

class TControl;
class TWinControl;
class TCustomForm;

enum TTestMouseButton { tbLeft = mbcLeft, tbRight = mbcRight, tbMiddle = mbcMiddle };

class TTestDriver {
public:
    // Starts the window system on a fresh headless screen (1920 by 1080) with a fake clock; the
    // destructor frees the forms and windows the test left and puts the real clock back. With
    // LUMETRA_TEST_X11=1 and a display the same tests run on real X11 windows (input is still put in by
    // the test).
    TTestDriver();
    ~TTestDriver();
    TTestDriver(const TTestDriver&) = delete;
    TTestDriver& operator=(const TTestDriver&) = delete;

    // The headless display; only for tests that run on it (see IsHeadless).
    THeadlessBackend& Backend() { return *FHeadless; }
    bool IsHeadless() const { return FHeadless != nullptr; }
    TFakeClock& Clock() { return FClock; }

    // Runs messages, synchronized calls and idle processing until nothing is pending. Raises
    // std::runtime_error when the program keeps itself busy (more than `limit` rounds).
    void Pump(int limit = 100000);
    // Moves the clock forward in steps no longer than `step`, pumping after each step, so timers fire as
    // they would in real time.
    void Advance(uint64_t milliseconds, uint64_t step = 1);

    // Mouse input at screen points; modifiers are the backend's modShift/modControl/modAlt bits. Clicks,
    // double clicks and drags are queued whole before they run, so a press that starts a loop of its own
    // (a drag, a caption button) gets the rest of the gesture; a lone Press that starts such a loop waits
    // for input that never comes and fails the test after a few seconds.
    void MoveTo(TPoint screen, uint32_t modifiers = 0);
    void Press(TPoint screen, TTestMouseButton button = tbLeft, uint32_t modifiers = 0);
    void Release(TPoint screen, TTestMouseButton button = tbLeft, uint32_t modifiers = 0);
    void Click(TPoint screen, TTestMouseButton button = tbLeft, uint32_t modifiers = 0);
    void DoubleClick(TPoint screen, TTestMouseButton button = tbLeft, uint32_t modifiers = 0);
    // Press at from, moves in `steps` even steps to `to`, release there.
    void Drag(TPoint from, TPoint to, int steps = 4, TTestMouseButton button = tbLeft,
              uint32_t modifiers = 0);
    void Wheel(TPoint screen, int delta, uint32_t modifiers = 0);

    // The same at a point in a window's or control's client coordinates.
    static TPoint ScreenPoint(HWND wnd, TPoint client);
    static TPoint ScreenPoint(TControl* control, TPoint client);
    // The centre of a control on the screen.
    static TPoint CenterOf(TControl* control);
    void Click(TControl* control, TPoint client, TTestMouseButton button = tbLeft, uint32_t modifiers = 0);
    void Click(TControl* control) { Click(control, CenterClient(control)); }
    void DoubleClick(TControl* control, TPoint client, TTestMouseButton button = tbLeft);
    void Drag(TControl* control, TPoint fromClient, TPoint toClient, int steps = 4,
              TTestMouseButton button = tbLeft);
    void Wheel(TControl* control, TPoint client, int delta, uint32_t modifiers = 0);

    // Keys: a press is down and up. Text is typed as key presses where a key exists for the character
    // (letters, digits, space) and as committed text otherwise.
    void KeyDown(uint16_t vk, uint32_t modifiers = 0, const std::string& text = {});
    void KeyUp(uint16_t vk, uint32_t modifiers = 0);
    void PressKey(uint16_t vk, uint32_t modifiers = 0);
    void Type(const std::string& text);

    static HWND FocusedWindow();
    // The control that has the keyboard focus, or null.
    static TControl* FocusedControl();

    // Answers the next form shown modally: `answer` runs inside its modal loop (click its buttons, set
    // ModalResult). Later modal forms get the answers given after this one, in order.
    void AnswerNextModal(std::function<void(TCustomForm& form)> answer);
    int PendingModalAnswers() const;
    // The control under parent (at any depth) whose caption is `caption`, '&' markers ignored; null
    // when there is none. Dialog buttons are found this way ("OK", "&Yes" or "Yes").
    static TControl* FindByCaption(TWinControl* parent, const std::string& caption);
    // Clicks the control with that caption; raises std::runtime_error when parent has none.
    void ClickButton(TWinControl* parent, const std::string& caption);

    // A copy of what a window shows: its part of its top-level window's image (the whole window for a
    // top-level window), after pending painting was done.
    std::unique_ptr<TImageSurface> Render(HWND wnd);
    std::unique_ptr<TImageSurface> Render(TControl* control);
    // The screen as composed from the visible top-level windows (bottom ones first), clipped to area.
    std::unique_ptr<TImageSurface> RenderScreen(const TRect& area);
    // A pixel of a window's client area, 0x00BBGGRR.
    TColor Pixel(HWND wnd, int x, int y);
    TColor Pixel(TControl* control, int x, int y);

    static TColor PixelOf(const TImageSurface& image, int x, int y);
    // Writes the image as a PNG file; answers the path. Relative names go to <build>/test-output/ui.
    static std::string SavePng(const TImageSurface& image, const std::string& name);
    static std::string OutputDir();

private:
    static TPoint CenterClient(TControl* control);
    void Inject(TBackendEvent e, bool pump = true);
    static TBackendEvent PointerEvent(TBackendEventKind kind, TPoint screen, TTestMouseButton button,
                                      uint32_t modifiers);
    std::unique_ptr<TImageSurface> Crop(HWND anyInTop, const TRect& screenRect);

    TFakeClock FClock;
    std::unique_ptr<TScopedClock> FClockScope;
    TBackend* FBackend = nullptr;
    THeadlessBackend* FHeadless = nullptr;
};

} // namespace plat
