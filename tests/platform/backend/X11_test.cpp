// The X11 display's own protocols, checked from a second connection to the same display. These run
// only with LUMETRA_TEST_X11=1 and a display (CI runs them under Xvfb).
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

#include "platform/backend/Backend.h"
#include "platform/backend/DisplayError.h"
#include "platform/gfx/Region.h"
#include "platform/testing/TestDriver.h"
#include "platform/ui/Application.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/Panel.h"
#include "platform/ui/SystemServices.h"
#include "platform/ui/TestControls.h"
#include "platform/ui/WindowSystem.h"

// Xlib's macros (None, Bool, Status…) would clash with the headers above.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

using namespace plat;

namespace {

constexpr const char* TextMime = "text/plain;charset=utf-8";

bool X11Wanted() {
    const char* flag = std::getenv("LUMETRA_TEST_X11");
    const char* display = std::getenv("DISPLAY");
    return flag && std::string(flag) == "1" && display && *display;
}

#define X11_ONLY()                                                                                           \
    if (!X11Wanted())                                                                                        \
    GTEST_SKIP() << "needs LUMETRA_TEST_X11=1 and a display"

// A plain Xlib connection of the test's own: another program on the same display.
class TOtherClient {
public:
    TOtherClient() {
        // A display that just lost a connection may refuse the next one for a moment.
        for (int attempt = 0; attempt < 40 && !FDpy; ++attempt) {
            FDpy = XOpenDisplay(nullptr);
            if (!FDpy)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~TOtherClient() {
        if (FDpy)
            XCloseDisplay(FDpy);
    }
    Display* operator*() const { return FDpy; }
    explicit operator bool() const { return FDpy != nullptr; }
    Atom A(const char* name) const { return XInternAtom(FDpy, name, False); }

private:
    Display* FDpy = nullptr;
};

std::vector<uint8_t> Pattern(size_t size) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>('a' + (i * 7 + i / 1000) % 26);
    return bytes;
}

// Lets the owner serve the selection while the test waits for an event of the other client.
template <class Match> bool WaitEvent(TBackend& owner, Display* dpy, XEvent& ev, Match match) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        TBackendEvent e;
        while (owner.Poll(e)) {
        }
        owner.Flush();
        while (XPending(dpy)) {
            XNextEvent(dpy, &ev);
            if (match(ev))
                return true;
        }
        owner.Wait(5);
    }
    return false;
}

// The colour another client reads at (x, y) of a window on the server.
unsigned long ServerPixel(Display* dpy, Window w, int x, int y) {
    XImage* img = XGetImage(dpy, w, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!img)
        return ~0ul;
    const unsigned long p = XGetPixel(img, 0, 0) & 0xFFFFFF;
    XDestroyImage(img);
    return p;
}

// A borderless red 900x700 form with a yellow panel at (600, 500, 100, 100): large enough for its
// pictures to go through shared memory.
std::pair<TForm*, TPanel*> RedFormWithYellowPanel() {
    TForm* form = NewForm<TForm>(Application);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 900, 700);
    form->SetColor(clRed);
    auto* panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBevelOuter(bvNone);
    panel->SetParentBackground(false);
    panel->SetColor(clYellow);
    panel->SetBounds(600, 500, 100, 100);
    return {form, panel};
}

} // namespace

TEST(X11BackendTest, LargeClipboardContentsGoOutInPiecesAndComeBackWhole) {
    X11_ONLY();
    std::string error;
    std::unique_ptr<TBackend> owner = CreateX11Backend(error);
    ASSERT_TRUE(owner) << error;
    const std::vector<uint8_t> text = Pattern(300 * 1024 + 17);
    owner->SetClipboard({{TextMime, text}});
    owner->Sync();

    // Another program asks for the text: it is told the size first (INCR) and then takes piece after
    // piece by deleting each one.
    TOtherClient other;
    ASSERT_TRUE(other);
    Window win = XCreateSimpleWindow(*other, DefaultRootWindow(*other), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(*other, win, PropertyChangeMask);
    Atom clipboard = other.A("CLIPBOARD"), utf8 = other.A("UTF8_STRING"), incr = other.A("INCR");
    Atom prop = other.A("TEST_PASTE");
    XConvertSelection(*other, clipboard, utf8, prop, win, CurrentTime);
    XFlush(*other);
    XEvent ev;
    ASSERT_TRUE(WaitEvent(*owner, *other, ev, [&](XEvent& e) { return e.type == SelectionNotify; }));
    ASSERT_EQ(ev.xselection.property, prop);
    auto take = [&](Atom& type, std::vector<uint8_t>& out) {
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        ASSERT_EQ(XGetWindowProperty(*other, win, prop, 0, 0x7FFFFFF, True, AnyPropertyType, &type, &format,
                                     &count, &after, &data),
                  Success);
        size_t unit = format == 32 ? sizeof(long) : 1;
        out.assign(data, data + count * unit);
        XFree(data);
        XFlush(*other);
    };
    Atom type = None;
    std::vector<uint8_t> piece;
    take(type, piece);
    ASSERT_EQ(type, incr) << "large contents are announced, not sent at once";
    ASSERT_EQ(piece.size(), sizeof(long));
    EXPECT_GE(*reinterpret_cast<const long*>(piece.data()), static_cast<long>(text.size()));
    std::vector<uint8_t> received;
    int pieces = 0;
    for (;;) {
        ASSERT_TRUE(WaitEvent(*owner, *other, ev,
                              [&](XEvent& e) {
                                  return e.type == PropertyNotify && e.xproperty.atom == prop &&
                                         e.xproperty.state == PropertyNewValue;
                              }))
            << "piece " << pieces;
        take(type, piece);
        EXPECT_EQ(type, utf8);
        if (piece.empty())
            break;
        ++pieces;
        received.insert(received.end(), piece.begin(), piece.end());
    }
    EXPECT_GT(pieces, 1);
    EXPECT_TRUE(received == text);
    XDestroyWindow(*other, win);

    // Our own reader (another connection of the program) gets the same bytes back.
    std::unique_ptr<TBackend> reader = CreateX11Backend(error);
    ASSERT_TRUE(reader) << error;
    std::optional<std::vector<uint8_t>> back;
    std::vector<std::string> types;
    std::atomic<bool> done{false};
    std::thread paste([&] {
        types = reader->ClipboardTypes();
        back = reader->ClipboardGet(TextMime);
        done = true;
    });
    while (!done) {
        TBackendEvent e;
        while (owner->Poll(e)) {
        }
        owner->Wait(5);
    }
    paste.join();
    ASSERT_FALSE(types.empty());
    EXPECT_EQ(types.front(), TextMime);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->size(), text.size());
    EXPECT_TRUE(*back == text);
}

TEST(X11BackendTest, WindowIconsAndShapesReachTheXWindow) {
    X11_ONLY();
    TTestDriver driver;
    TForm* form = NewForm<TForm>(Application);
    form->SetBounds(100, 100, 200, 160);
    TPixelImage small(16, 16), big(32, 32);
    std::fill(small.Pixels.begin(), small.Pixels.end(), 0xFF112233u);
    std::fill(big.Pixels.begin(), big.Pixels.end(), 0x80445566u);
    TIcon icon;
    icon.AddImage(small, true);
    icon.AddImage(big, true);
    form->SetIcon(&icon);
    form->Show();
    driver.Pump();
    CurrentBackend().Sync();
    Window xwin = static_cast<Window>(GetNativeWindow(form->Handle()));
    ASSERT_NE(xwin, 0u);

    TOtherClient other;
    ASSERT_TRUE(other);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    ASSERT_EQ(XGetWindowProperty(*other, xwin, other.A("_NET_WM_ICON"), 0, 1 << 20, False, XA_CARDINAL, &type,
                                 &format, &count, &after, &data),
              Success);
    ASSERT_NE(data, nullptr);
    const long* v = reinterpret_cast<const long*>(data);
    ASSERT_EQ(count, 2u + 16 * 16 + 2 + 32 * 32);
    EXPECT_EQ(v[0], 16);
    EXPECT_EQ(v[1], 16);
    EXPECT_EQ(static_cast<uint32_t>(v[2]), 0xFF112233u);
    EXPECT_EQ(v[2 + 256], 32);
    EXPECT_EQ(static_cast<uint32_t>(v[4 + 256]), 0x80445566u) << "ARGB, not premultiplied";
    XFree(data);

    // A window region reshapes the X window; removing it makes the window whole again.
    TRegion ellipse = CreateEllipticRgn(0, 0, 200, 160);
    SetWindowRgn(form->Handle(), &ellipse, true);
    driver.Pump();
    CurrentBackend().Sync();
    int rects = 0, ordering = 0;
    XRectangle* shape = XShapeGetRectangles(*other, xwin, ShapeBounding, &rects, &ordering);
    EXPECT_GT(rects, 10) << "an ellipse is many rows";
    bool cornerIn = false;
    for (int i = 0; i < rects; ++i)
        cornerIn = cornerIn || (shape[i].x == 0 && shape[i].y == 0);
    EXPECT_FALSE(cornerIn);
    XFree(shape);
    SetWindowRgn(form->Handle(), nullptr, true);
    driver.Pump();
    CurrentBackend().Sync();
    shape = XShapeGetRectangles(*other, xwin, ShapeBounding, &rects, &ordering);
    EXPECT_EQ(rects, 1);
    XFree(shape);
}

// Pictures reach the server through the socket or, in a stream of large ones, through shared memory; each
// way must show the window's own pixels where they belong, also when one picture follows another.
TEST(X11BackendTest, PresentedPicturesShowOnTheServer) {
    X11_ONLY();
    TTestDriver driver;
    TOtherClient other;
    ASSERT_TRUE(other);
    auto pixelAt = [&](TForm* form, int x, int y) {
        driver.Pump();
        CurrentBackend().Sync();
        return ServerPixel(*other, static_cast<Window>(GetNativeWindow(form->Handle())), x, y);
    };
    TForm* big = RedFormWithYellowPanel().first;
    TForm* small = NewForm<TForm>(Application);
    small->SetBorderStyle(bsNone);
    small->SetBounds(1000, 0, 100, 80);
    small->SetColor(clLime);
    big->Show();
    small->Show();
    for (auto [x, y] : {std::pair{0, 0}, {450, 350}, {899, 699}, {599, 550}, {650, 499}})
        EXPECT_EQ(pixelAt(big, x, y), 0xFF0000ul) << x << "," << y;
    for (auto [x, y] : {std::pair{600, 500}, {699, 599}})
        EXPECT_EQ(pixelAt(big, x, y), 0xFFFF00ul) << x << "," << y;
    EXPECT_EQ(pixelAt(small, 50, 40), 0x00FF00ul);
    // A stream of pictures (a live display) goes through shared memory after the first few.
    for (int i = 0; i < 40; ++i) {
        big->SetColor(i % 2 ? clBlue : clRed);
        big->Invalidate();
        driver.Pump();
    }
    for (auto [x, y] : {std::pair{0, 0}, {899, 699}, {599, 550}, {650, 499}})
        EXPECT_EQ(pixelAt(big, x, y), 0x0000FFul) << x << "," << y;
    for (auto [x, y] : {std::pair{600, 500}, {699, 599}})
        EXPECT_EQ(pixelAt(big, x, y), 0xFFFF00ul) << x << "," << y;
}

// In a stream of pictures only the blocks that changed go to the server again: a mark another client drew
// on the window stays where the picture did not change, until the server exposes the window and the
// whole picture must be shown again.
TEST(X11BackendTest, AStreamOfPicturesPutsOnlyWhatChanged) {
    X11_ONLY();
    TTestDriver driver;
    TOtherClient other;
    ASSERT_TRUE(other);
    auto [form, panel] = RedFormWithYellowPanel();
    form->Show();
    for (int i = 0; i < 40; ++i) {
        form->Invalidate();
        driver.Pump();
    }
    CurrentBackend().Sync();
    const Window xwin = static_cast<Window>(GetNativeWindow(form->Handle()));
    auto pixelAt = [&](int x, int y) { return ServerPixel(*other, xwin, x, y); };
    GC gc = XCreateGC(*other, xwin, 0, nullptr);
    XSetForeground(*other, gc, 0x000000);
    XFillRectangle(*other, xwin, gc, 100, 100, 50, 50);
    XFreeGC(*other, gc);
    XSync(*other, False);

    panel->SetColor(clBlue);
    form->Invalidate();
    driver.Pump();
    CurrentBackend().Sync();
    EXPECT_EQ(pixelAt(650, 550), 0x0000FFul);
    EXPECT_EQ(pixelAt(120, 120), 0x000000ul) << "the unchanged picture was put again";
    EXPECT_EQ(pixelAt(50, 50), 0xFF0000ul);

    XClearArea(*other, xwin, 0, 0, 0, 0, True);
    XSync(*other, False);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (pixelAt(120, 120) != 0xFF0000ul && std::chrono::steady_clock::now() < deadline) {
        driver.Pump();
        CurrentBackend().Sync();
    }
    EXPECT_EQ(pixelAt(120, 120), 0xFF0000ul);
    EXPECT_EQ(pixelAt(650, 550), 0x0000FFul);
}

// The input method opens only with the first key; that key's text must still arrive, and so must the
// keys typed into a second window after it.
TEST(X11BackendTest, TheFirstKeysTypedGiveTheirText) {
    X11_ONLY();
    TTestDriver driver;
    TOtherClient other;
    ASSERT_TRUE(other);
    auto typeInto = [&](TForm* form, TEdit* edit, const char* keys) {
        const Window xwin = static_cast<Window>(GetNativeWindow(form->Handle()));
        for (const char* k = keys; *k; ++k) {
            const char name[2] = {*k, 0};
            for (int type : {KeyPress, KeyRelease}) {
                XEvent ev{};
                ev.xkey.type = type;
                ev.xkey.display = *other;
                ev.xkey.window = xwin;
                ev.xkey.root = DefaultRootWindow(*other);
                ev.xkey.time = CurrentTime;
                ev.xkey.same_screen = True;
                ev.xkey.keycode = XKeysymToKeycode(*other, XStringToKeysym(name));
                XSendEvent(*other, xwin, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &ev);
            }
        }
        XSync(*other, False);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (edit->Text() != keys && std::chrono::steady_clock::now() < until) {
            CurrentBackend().Sync();
            driver.Pump();
        }
    };
    TEdit* edits[2] = {};
    TForm* forms[2] = {};
    for (int i = 0; i < 2; ++i) {
        forms[i] = NewForm<TForm>(Application);
        forms[i]->SetBounds(100 + 250 * i, 100, 200, 100);
        edits[i] = new TEdit(forms[i]);
        edits[i]->SetParent(forms[i]);
        forms[i]->Show();
    }
    driver.Pump();
    for (int i = 0; i < 2; ++i) {
        edits[i]->SetFocus();
        driver.Pump();
        typeInto(forms[i], edits[i], i == 0 ? "ab" : "cd");
    }
    EXPECT_EQ(edits[0]->Text(), "ab");
    EXPECT_EQ(edits[1]->Text(), "cd");
}

TEST(X11BackendTest, LockKeysComeFromTheKeyboard) {
    X11_ONLY();
    TTestDriver driver;
    TOtherClient other;
    ASSERT_TRUE(other);
    auto lockCaps = [&](bool on) {
        XkbLockModifiers(*other, XkbUseCoreKbd, LockMask, on ? LockMask : 0);
        XSync(*other, False);
    };
    lockCaps(true);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
    // The display's answer stands over what the program was told.
    SetKeyToggled(VK_CAPITAL, false);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
    lockCaps(false);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);
    EXPECT_TRUE(MessageBeep(0));
}

TEST(X11BackendTest, TheFrameTitleNamesItsMaximisedChild) {
    X11_ONLY();
    TTestDriver driver;
    TForm* frame = NewForm<TForm>(Application);
    frame->SetFormStyle(fsMDIForm);
    frame->SetCaption("Lumetra");
    frame->SetBounds(50, 50, 600, 400);
    Application->SetMainForm(frame);
    frame->Show();
    TForm* chart = NewForm<TForm>(frame);
    chart->SetFormStyle(fsMDIChild);
    chart->SetCaption("Chart 1");
    chart->Show();
    driver.Pump();
    TOtherClient other;
    ASSERT_TRUE(other);
    auto title = [&] {
        CurrentBackend().Sync();
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        std::string text;
        if (XGetWindowProperty(*other, static_cast<Window>(GetNativeWindow(frame->Handle())),
                               other.A("_NET_WM_NAME"), 0, 1024, False, other.A("UTF8_STRING"), &type,
                               &format, &count, &after, &data) == Success &&
            data)
            text.assign(reinterpret_cast<char*>(data), count);
        if (data)
            XFree(data);
        return text;
    };
    EXPECT_EQ(title(), "Lumetra");
    chart->SetWindowState(wsMaximized);
    driver.Pump();
    EXPECT_EQ(title(), "Lumetra - [Chart 1]");
    chart->SetWindowState(wsNormal);
    driver.Pump();
    EXPECT_EQ(title(), "Lumetra");
}

namespace {

// Stands in for a window manager: it announces _NET_WM_MOVERESIZE, maps and configures windows as asked
// and records the move and resize requests it gets.
class TFakeWindowManager {
public:
    explicit TFakeWindowManager(TOtherClient& client) : FClient(client), FDpy(*client) {
        Window root = DefaultRootWindow(FDpy);
        GRefused = false;
        XErrorHandler old = XSetErrorHandler([](Display*, XErrorEvent* e) {
            if (e->error_code == BadAccess)
                GRefused = true;
            return 0;
        });
        XSelectInput(FDpy, root, SubstructureRedirectMask | SubstructureNotifyMask);
        XSync(FDpy, False);
        XSetErrorHandler(old);
        FActive = !GRefused;
        if (!FActive)
            return;
        FCheck = XCreateSimpleWindow(FDpy, root, -10, -10, 1, 1, 0, 0, 0);
        Atom check = client.A("_NET_SUPPORTING_WM_CHECK");
        for (Window w : {root, FCheck})
            XChangeProperty(FDpy, w, check, XA_WINDOW, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&FCheck), 1);
        Atom supported = client.A("_NET_WM_MOVERESIZE");
        XChangeProperty(FDpy, root, client.A("_NET_SUPPORTED"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&supported), 1);
        XSync(FDpy, False);
    }
    ~TFakeWindowManager() {
        if (!FActive)
            return;
        Window root = DefaultRootWindow(FDpy);
        XDeleteProperty(FDpy, root, FClient.A("_NET_SUPPORTING_WM_CHECK"));
        XDeleteProperty(FDpy, root, FClient.A("_NET_SUPPORTED"));
        XDestroyWindow(FDpy, FCheck);
        XSelectInput(FDpy, root, NoEventMask);
        XSync(FDpy, False);
    }
    bool Active() const { return FActive; }

    // Handles what arrived; answers the move and resize requests among it.
    std::vector<XClientMessageEvent> Serve() {
        std::vector<XClientMessageEvent> requests;
        XSync(FDpy, False);
        while (XPending(FDpy)) {
            XEvent ev;
            XNextEvent(FDpy, &ev);
            if (ev.type == MapRequest) {
                XMapWindow(FDpy, ev.xmaprequest.window);
            } else if (ev.type == ConfigureRequest) {
                XWindowChanges c{};
                c.x = ev.xconfigurerequest.x;
                c.y = ev.xconfigurerequest.y;
                c.width = ev.xconfigurerequest.width;
                c.height = ev.xconfigurerequest.height;
                XConfigureWindow(FDpy, ev.xconfigurerequest.window,
                                 ev.xconfigurerequest.value_mask & (CWX | CWY | CWWidth | CWHeight), &c);
            } else if (ev.type == ClientMessage &&
                       ev.xclient.message_type == FClient.A("_NET_WM_MOVERESIZE")) {
                requests.push_back(ev.xclient);
            }
        }
        XSync(FDpy, False);
        return requests;
    }

private:
    static inline bool GRefused = false;
    TOtherClient& FClient;
    Display* FDpy;
    Window FCheck = 0;
    bool FActive = false;
};

class TOwnFrameForm : public TForm {
public:
    explicit TOwnFrameForm(TComponent* AOwner) : TForm(AOwner) { SetBorderStyle(bsNone); }
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_NCHITTEST) {
            m.Result = uitest::OwnFrameHitTest(*this, m.LParam);
            return;
        }
        TForm::Dispatch(m);
    }
};

} // namespace

TEST(X11BackendTest, TheWindowManagerMovesAndSizesCaptionlessForms) {
    X11_ONLY();
    TOtherClient other;
    ASSERT_TRUE(other);
    TFakeWindowManager wm(other);
    if (!wm.Active())
        GTEST_SKIP() << "a window manager runs on this display";
    TTestDriver driver;
    auto* form = NewForm<TOwnFrameForm>(Application);
    form->SetBounds(300, 200, 400, 300);
    form->Show();
    driver.Pump();
    CurrentBackend().Sync();
    wm.Serve();
    driver.Pump();
    Window xwin = static_cast<Window>(GetNativeWindow(form->Handle()));

    // A press on the form's own caption strip hands the move to the window manager at once.
    driver.Press(TPoint(500, 210));
    CurrentBackend().Sync();
    std::vector<XClientMessageEvent> requests = wm.Serve();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].window, xwin);
    EXPECT_EQ(requests[0].data.l[0], 500);
    EXPECT_EQ(requests[0].data.l[1], 210);
    EXPECT_EQ(requests[0].data.l[2], 8) << "move";
    EXPECT_EQ(requests[0].data.l[3], 1) << "the left button";
    EXPECT_GE(GetKeyState(VK_LBUTTON), 0) << "the press belongs to the window manager now";
    EXPECT_EQ(GetCapture(), nullptr);
    driver.Release(TPoint(500, 210));

    // The corner asks it to size from the bottom-right.
    driver.Press(TPoint(695, 495));
    CurrentBackend().Sync();
    requests = wm.Serve();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].data.l[2], 4) << "bottom-right";
    driver.Release(TPoint(695, 495));
}

void StopXServer(pid_t server) {
    kill(server, SIGKILL);
    waitpid(server, nullptr, 0);
}

// Starts an X server of the test's own, one it can kill, and points DISPLAY at it; its process id, or 0.
// A busy machine (other servers starting, a display number just freed) may spoil an attempt: it retries.
pid_t StartOwnXServer() {
    for (int attempt = 0; attempt < 5; ++attempt) {
        // Xvfb picks a free display number and writes it to the pipe once it accepts connections.
        int fds[2];
        if (pipe(fds) != 0)
            return 0;
        pid_t server = fork();
        if (server == 0) {
            // The server dies with the test and keeps off its output, which the test runner reads to the end.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            close(fds[0]);
            std::string fd = std::to_string(fds[1]);
            // -noreset: the probe below is the last client when it leaves, which would reset the server.
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                   "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c;
        ssize_t n;
        while ((n = read(fds[0], &c, 1)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0) {
                if (c == '\n')
                    break;
                number += c;
            }
        close(fds[0]);
        if (!number.empty()) {
            setenv("DISPLAY", (":" + number).c_str(), 1);
            for (int probe = 0; probe < 40; ++probe) {
                if (Display* dpy = XOpenDisplay(nullptr)) {
                    XCloseDisplay(dpy);
                    return server;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
        StopXServer(server);
    }
    return 0;
}

// The X server going away ends the event loop, not the process: the backend raises, the application's
// loop passes the error on (there is nothing left to show it on), and closing the dead connection is
// harmless. Runs wherever Xvfb is installed, each case in a process of its own.
TEST(X11BackendDeathTest, ALostConnectionRaisesInsteadOfEndingTheProcess) {
    if (std::system("command -v Xvfb > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "needs Xvfb";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            pid_t server = StartOwnXServer();
            std::string error;
            std::unique_ptr<TBackend> backend = server ? CreateX11Backend(error) : nullptr;
            if (!backend)
                std::exit(7);
            TNativeWindowSpec spec;
            spec.Bounds = TRect(10, 10, 110, 110);
            spec.ClientInWindow = TRect(0, 0, 100, 100);
            backend->ShowWindow(backend->CreateWindow(spec), true, false);
            backend->Flush();
            StopXServer(server);
            try {
                for (int i = 0; i < 200; ++i) {
                    backend->Wait(50);
                    TBackendEvent event;
                    while (backend->Poll(event)) {
                    }
                }
                std::exit(2); // the loss went unnoticed
            } catch (const EDisplayError& e) {
                std::fprintf(stderr, "%s\n", e.what());
            }
            backend.reset();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "connection to the X display was lost");

    EXPECT_EXIT(
        {
            ShutdownWindowSystem();
            unsetenv("LUMETRA_BACKEND");
            pid_t server = StartOwnXServer();
            if (!server)
                std::exit(7);
            Application->Initialize();
            // A program that logs errors and carries on, as most do.
            Application->OnException = [](TObject*, Exception&) {};
            TForm* form = nullptr;
            Application->CreateForm(form);
            std::optional<std::chrono::steady_clock::time_point> stopped;
            Application->OnIdle = [&](TObject*, bool& done) {
                if (!stopped) {
                    StopXServer(server);
                    stopped = std::chrono::steady_clock::now();
                }
                if (std::chrono::steady_clock::now() - *stopped > std::chrono::seconds(10))
                    std::exit(2); // the loss went unnoticed
                done = false;
            };
            try {
                Application->Run();
                std::exit(3);
            } catch (const EDisplayError& e) {
                std::fprintf(stderr, "%s\n", e.what());
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "connection to the X display was lost");
}
