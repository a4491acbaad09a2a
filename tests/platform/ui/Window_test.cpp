#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include "platform/backend/Headless.h"
#include "platform/rtl/Exception.h"

#include "platform/testing/TestDriver.h"
#include "platform/ui/SystemIcons.h"
#include "platform/ui/SystemMetrics.h"
#include "platform/ui/UiTestUtil.h"
#include "platform/ui/WindowSystem.h"

using namespace plat;
using namespace uitest;

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterRecorder(); }
    TTestDriver Driver;
};

size_t IndexOf(const std::vector<UINT>& v, UINT m) {
    return std::find(v.begin(), v.end(), m) - v.begin();
}

LRESULT (*GOldProc)(HWND, UINT, WPARAM, LPARAM) = nullptr;
int GSubclassCalls = 0;

LRESULT SubclassProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    ++GSubclassCalls;
    if (msg == WM_USER + 7)
        return 77;
    return CallWindowProc(GOldProc, w, msg, wp, lp);
}

} // namespace

TEST_F(WindowTest, CreationAndDestructionSendTheirMessagesInOrder) {
    HWND top = Top(Bounds(50, 60, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND child = Child(top, Bounds(10, 10, 50, 40));
    HWND owned = CreateWindowEx(0, "Recorder", "", WS_POPUP, 0, 0, 10, 10, top, 0);
    ASSERT_TRUE(top && child && owned);
    auto created = Rec().Of(top);
    EXPECT_LT(IndexOf(created, WM_NCCREATE), IndexOf(created, WM_NCCALCSIZE));
    EXPECT_LT(IndexOf(created, WM_NCCALCSIZE), IndexOf(created, WM_CREATE));
    EXPECT_LT(IndexOf(created, WM_CREATE), IndexOf(created, WM_SIZE));
    EXPECT_LT(IndexOf(created, WM_SIZE), IndexOf(created, WM_SHOWWINDOW));
    EXPECT_EQ(GetParent(child), top);
    EXPECT_EQ(GetParent(owned), top); // the owner of a top-level window
    EXPECT_EQ(GetWindow(owned, GW_OWNER), top);

    Rec().Log.clear();
    ASSERT_TRUE(DestroyWindow(top));
    // Owned windows go first; WM_DESTROY runs parent to child, WM_NCDESTROY child to parent.
    std::vector<std::pair<HWND, UINT>> order;
    for (const auto& e : Rec().Log)
        if (e.Msg == WM_DESTROY || e.Msg == WM_NCDESTROY)
            order.push_back({e.Wnd, e.Msg});
    std::vector<std::pair<HWND, UINT>> expected = {{owned, WM_DESTROY},   {owned, WM_NCDESTROY},
                                                   {top, WM_DESTROY},     {child, WM_DESTROY},
                                                   {child, WM_NCDESTROY}, {top, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(SendMessage(child, WM_USER, 0, 0), 0);
    EXPECT_FALSE(PostMessage(top, WM_USER, 0, 0));
    HWND again = Top(Bounds(0, 0, 10, 10));
    EXPECT_NE(again, top) << "handles are never reused";
}

TEST_F(WindowTest, RefusedCreationLeavesNoWindow) {
    // WM_CREATE answering -1 destroys the window again; the handle is known only inside the procedure.
    static HWND seen = nullptr;
    TWndClass cls;
    cls.Name = "Refuser";
    cls.WndProc = [](HWND w, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        seen = w;
        if (msg == WM_CREATE)
            return -1;
        return DefWindowProc(w, msg, wp, lp);
    };
    RegisterWindowClass(cls);
    EXPECT_EQ(CreateWindowEx(0, "Refuser", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, 0), nullptr);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_THROW(CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, 0), EOutOfResources);
}

TEST_F(WindowTest, GeometryFollowsFramesAndParents) {
    UI_HEADLESS_ONLY(Driver);
    HWND top = Top(Bounds(100, 50, 300, 200), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    TRect client;
    GetClientRect(top, client);
    int frame = GetSystemMetrics(SM_CXFRAME), caption = GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(client, TRect(0, 0, 300 - 2 * frame, 200 - 2 * frame - caption));
    HWND child = Child(top, Bounds(10, 20, 60, 30), WS_VISIBLE | WS_BORDER);
    TRect wr;
    GetWindowRect(child, wr);
    EXPECT_EQ(wr, Bounds(100 + frame + 10, 50 + frame + caption + 20, 60, 30));
    TPoint p(0, 0);
    ClientToScreen(child, p);
    EXPECT_EQ(p, TPoint(wr.Left + 1, wr.Top + 1));
    TPoint q = p;
    MapWindowPoints(nullptr, top, &q, 1);
    EXPECT_EQ(q, TPoint(11, 21));

    // Moving reports the new place; the procedure may change it on the way.
    Rec().Answers[{child, WM_WINDOWPOSCHANGING}] = [](WPARAM, LPARAM lp) -> LRESULT {
        reinterpret_cast<TWindowPos*>(lp)->cx = 80;
        return 0;
    };
    Rec().Log.clear();
    MoveWindow(child, 5, 6, 70, 40, true);
    EXPECT_EQ(GetWindowBounds(child), Bounds(5, 6, 80, 40));
    const TLogEntry* size = Rec().Last(child, WM_SIZE);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(LOWORD(size->LParam), 78);
    EXPECT_EQ(HIWORD(size->LParam), 38);
    const TLogEntry* move = Rec().Last(child, WM_MOVE);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(PointFromLParam(move->LParam), TPoint(6, 7));
}

TEST_F(WindowTest, ZOrderRegionsAndTransparencyDecideHits) {
    HWND top = Top(Bounds(0, 0, 400, 300), WS_POPUP | WS_VISIBLE);
    HWND a = Child(top, Bounds(10, 10, 100, 100));
    HWND b = Child(top, Bounds(50, 50, 100, 100));
    EXPECT_EQ(GetWindow(top, GW_CHILD), b) << "a new child comes on top";
    EXPECT_EQ(WindowFromPoint(TPoint(60, 60)), b);
    EXPECT_EQ(WindowFromPoint(TPoint(20, 20)), a);
    EXPECT_EQ(WindowFromPoint(TPoint(300, 250)), top);
    BringWindowToTop(a);
    EXPECT_EQ(WindowFromPoint(TPoint(60, 60)), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_EQ(GetWindow(b, GW_HWNDPREV), a);

    Rec().Answers[{a, WM_NCHITTEST}] = [](WPARAM, LPARAM) -> LRESULT { return HTTRANSPARENT; };
    EXPECT_EQ(WindowFromPoint(TPoint(60, 60)), b) << "a transparent answer lets the point through";
    Rec().Answers.clear();

    TRegion corner = CreateRectRgn(0, 0, 20, 20);
    SetWindowRgn(a, &corner, true);
    EXPECT_EQ(WindowFromPoint(TPoint(60, 60)), b) << "outside a's region";
    EXPECT_EQ(WindowFromPoint(TPoint(15, 15)), a);
    ShowWindow(a, SW_HIDE);
    EXPECT_EQ(WindowFromPoint(TPoint(15, 15)), top);
    EXPECT_EQ(ChildWindowFromPointEx(top, TPoint(60, 60), CWP_SKIPINVISIBLE), b);
    EXPECT_EQ(ChildWindowFromPoint(top, TPoint(500, 5)), nullptr);
}

TEST_F(WindowTest, TopLevelShapesAndIconsReachTheDisplay) {
    UI_HEADLESS_ONLY(Driver);
    HWND top = Top(Bounds(100, 100, 200, 100), WS_POPUP | WS_VISIBLE);
    HWND child = Child(top, Bounds(10, 10, 50, 50));
    TNativeWindow native = GetNativeWindow(top);
    ASSERT_NE(native, 0u);
    EXPECT_EQ(GetNativeWindow(child), 0u);
    EXPECT_FALSE(Driver.Backend().Shape(native).has_value());
    TRegion round = CreateRoundRectRgn(0, 0, 200, 100, 30, 30);
    SetWindowRgn(top, &round, true);
    ASSERT_TRUE(Driver.Backend().Shape(native).has_value());
    EXPECT_EQ(*Driver.Backend().Shape(native), round.Rects());
    // A child's region stays inside the program.
    TRegion corner = CreateRectRgn(0, 0, 5, 5);
    SetWindowRgn(child, &corner, true);
    EXPECT_EQ(*Driver.Backend().Shape(native), round.Rects());
    SetWindowRgn(top, nullptr, true);
    EXPECT_FALSE(Driver.Backend().Shape(native).has_value());

    // Icons: the small and the big one go to the display at 16 and 32 pixels, each standing in for the
    // other when alone; the window answers WM_GETICON with them.
    HICON info = LoadIcon(IDI_INFORMATION), warning = LoadIcon(IDI_WARNING);
    EXPECT_EQ(SendMessage(top, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(info)), 0);
    std::vector<TIconImage> shown = Driver.Backend().Icon(native);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].Width, 16);
    EXPECT_EQ(shown[0].Pixels, info->ImageFor(16, 16)->Pixels);
    EXPECT_EQ(shown[1].Pixels, info->ImageFor(32, 32)->Pixels);
    SendMessage(top, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(warning));
    shown = Driver.Backend().Icon(native);
    EXPECT_EQ(shown[0].Pixels, warning->ImageFor(16, 16)->Pixels);
    EXPECT_EQ(shown[1].Pixels, info->ImageFor(32, 32)->Pixels);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(top, WM_GETICON, ICON_SMALL, 0)), warning);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(top, WM_GETICON, ICON_BIG, 0)), info);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(top, WM_SETICON, ICON_SMALL, 0)), warning);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessage(top, WM_GETICON, ICON_SMALL2, 0)), info);
    SendMessage(top, WM_SETICON, ICON_BIG, 0);
    EXPECT_TRUE(Driver.Backend().Icon(native).empty());
}

TEST_F(WindowTest, ProceduresCanBeReplacedAndChained) {
    HWND w = Top(Bounds(0, 0, 100, 100));
    GOldProc = SetWindowProc(w, SubclassProc);
    EXPECT_EQ(GOldProc, &RecordingProc);
    EXPECT_EQ(GetWindowProc(w), &SubclassProc);
    GSubclassCalls = 0;
    EXPECT_EQ(SendMessage(w, WM_USER + 7, 0, 0), 77);
    Rec().Answers[{w, WM_USER + 8}] = [](WPARAM, LPARAM) -> LRESULT { return 88; };
    EXPECT_EQ(SendMessage(w, WM_USER + 8, 0, 0), 88)
        << "the old procedure still answers what the new one passes";
    EXPECT_EQ(GSubclassCalls, 2);
    SetWindowLongPtr(w, GWL_USERDATA, reinterpret_cast<LONG_PTR>(GOldProc));
    EXPECT_EQ(reinterpret_cast<TWndProc>(GetWindowLongPtr(w, GWL_USERDATA)), &RecordingProc);
    SetWindowProc(w, GOldProc);
    EXPECT_EQ(SendMessage(w, WM_USER + 7, 0, 0), 0);
}

TEST_F(WindowTest, TextStylesAndReparenting) {
    HWND top = Top(Bounds(0, 0, 200, 100), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, "first");
    EXPECT_EQ(GetWindowText(top), "first");
    SetWindowText(top, "zweite Überschrift");
    EXPECT_EQ(GetWindowText(top), "zweite Überschrift");
    EXPECT_EQ(GetWindowTextLength(top), static_cast<int>(std::string("zweite Überschrift").size()));

    Rec().Log.clear();
    LONG_PTR style = GetWindowLongPtr(top, GWL_STYLE);
    SetWindowLongPtr(top, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_THICKFRAME));
    EXPECT_EQ(Rec().Of(top, {WM_STYLECHANGING, WM_STYLECHANGED}),
              (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));

    HWND other = Top(Bounds(300, 0, 200, 100), WS_POPUP | WS_VISIBLE);
    HWND child = Child(top, Bounds(1, 2, 30, 20));
    EXPECT_TRUE(IsChild(top, child));
    EXPECT_EQ(SetParent(child, other), top);
    EXPECT_TRUE(IsChild(other, child));
    EXPECT_FALSE(IsChild(top, child));
    EXPECT_EQ(GetWindowBounds(child), Bounds(1, 2, 30, 20)) << "the place counts in the new parent";
}

// A window made while another was the main form is owned by it; handing that one to the first as its
// owner must not close a ring, or lifting owned windows above their owners would never end.
TEST_F(WindowTest, ANewOwnerThatThisWindowOwnsGivesThatTieUp) {
    HWND first = Top(Bounds(0, 0, 200, 100), WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND second = CreateWindowEx(0, "Recorder", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 50, 50, first, 0);
    HWND third = CreateWindowEx(0, "Recorder", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 50, 50, second, 0);
    ASSERT_EQ(GetWindow(third, GW_OWNER), second);
    SetWindowLongPtr(first, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(third));
    EXPECT_EQ(GetWindow(first, GW_OWNER), third);
    EXPECT_EQ(GetWindow(third, GW_OWNER), second);
    EXPECT_EQ(GetWindow(second, GW_OWNER), nullptr) << "the tie back to the first window is given up";
    SetWindowLongPtr(second, GWL_HWNDPARENT, reinterpret_cast<LONG_PTR>(second));
    EXPECT_EQ(GetWindow(second, GW_OWNER), nullptr) << "a window is not its own owner";
}

TEST_F(WindowTest, ChildrenMaximiseIntoTheParentAndRestore) {
    HWND top = Top(Bounds(0, 0, 400, 300), WS_POPUP | WS_VISIBLE);
    HWND child = Child(top, Bounds(20, 20, 150, 100), WS_VISIBLE | WS_OVERLAPPEDWINDOW);
    ShowWindow(child, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(child));
    TRect wr;
    GetWindowRect(child, wr);
    TPoint clientOrigin(0, 0);
    ClientToScreen(child, clientOrigin);
    TRect client;
    GetClientRect(child, client);
    EXPECT_EQ(clientOrigin, TPoint(0, 0)) << "the frame lies outside the parent";
    EXPECT_EQ(client, TRect(0, 0, 400, 300));
    ShowWindow(child, SW_RESTORE);
    EXPECT_FALSE(IsZoomed(child));
    EXPECT_EQ(GetWindowBounds(child), Bounds(20, 20, 150, 100));
    ShowWindow(child, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(child));
    TRect restored;
    GetRestoredBounds(child, restored);
    EXPECT_EQ(restored, Bounds(20, 20, 150, 100));
    EXPECT_EQ(GetWindowBounds(child).Height(), GetSystemMetrics(SM_CYMINIMIZED));
    EXPECT_EQ(GetWindowBounds(child).Bottom, 300) << "icons line up at the bottom";
}

// Without a display the first window raises, leaves nothing behind, and the program carries on: it may
// choose another backend, or print the message and end. Each case runs in a fresh process (the window
// system is process-wide); the process ends with 0 only if all of that held.
TEST(WindowSystemDeathTest, WithoutADisplayTheFirstWindowRaises) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* Display; // null: unset
        const char* Backend; // LUMETRA_BACKEND; null: unset
        const char* Message;
    } cases[] = {
        {nullptr, nullptr, "needs a graphical display and cannot open one \\(DISPLAY is not set\\)"},
        {"", "x11", "DISPLAY is not set"},
        {"bogus-host-that-does-not-exist:99", "x11", "cannot connect to the X display bogus-host"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Display ? c.Display : "(unset)");
        EXPECT_EXIT(
            {
                ShutdownWindowSystem();
                c.Display ? setenv("DISPLAY", c.Display, 1) : unsetenv("DISPLAY");
                c.Backend ? setenv("LUMETRA_BACKEND", c.Backend, 1) : unsetenv("LUMETRA_BACKEND");
                RegisterRecorder();
                try {
                    Top(Bounds(10, 10, 200, 100));
                    std::exit(2);
                } catch (const EDisplayError& e) {
                    std::fprintf(stderr, "%s\n", e.what());
                }
                // No half-made window is left: the backend may still be chosen, and windows then work.
                SelectBackend(std::make_unique<THeadlessBackend>(800, 600));
                HWND w = Top(Bounds(10, 10, 200, 100));
                std::exit(IsWindow(w) ? 0 : 3);
            },
            ::testing::ExitedWithCode(0), c.Message);
    }
}
