// The X11 backend: real top-level windows through Xlib, keyboard text through an input method, the
// CLIPBOARD selection, cursors, pointer grabs, window icons and shapes, moves and sizes handed to the
// window manager, and a pipe that wakes the event wait from other threads.
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <iterator>
#include <memory>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include "platform/backend/Backend.h"
#include "platform/backend/DisplayError.h"
#include "platform/backend/InputCodes.h"
#include "platform/gfx/PixelDiff.h"
#include "platform/gfx/Surface.h"
#include "platform/rtl/StringUtils.h"

namespace plat {

namespace {

constexpr const char* TextMime = "text/plain;charset=utf-8";

// Clipboard contents larger than this go out in pieces (the INCR protocol), so one transfer neither
// exceeds what the server takes in one request nor holds it up for long.
constexpr size_t kIncrThreshold = 256 * 1024;
constexpr size_t kIncrChunk = 64 * 1024;
// A piecewise transfer whose requestor stopped taking pieces is given up after this long.
constexpr auto kIncrTimeout = std::chrono::seconds(10);

// Pictures of at least this many bytes go to the server through shared memory.
constexpr size_t kShmThreshold = 256 * 1024;
constexpr int kShmAfterPresents = 2;

constexpr long WindowEventMask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                                 ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask |
                                 StructureNotifyMask | FocusChangeMask | PropertyChangeMask;

// Requests on windows that went away meanwhile (a clipboard requestor that quit, a window destroyed by
// the window manager) fail without harm; Xlib's default handler would end the program for them.
int OnXError(Display* dpy, XErrorEvent* e) {
    if (e->error_code == BadWindow)
        return 0;
    char text[128] = {};
    XGetErrorText(dpy, e->error_code, text, sizeof text);
    std::fprintf(stderr, "lumetra: X error on request %d: %s\n", e->request_code, text);
    return 0;
}

// Set by the handler that stands in while a shared-memory segment is attached: a display on another machine
// (or one that refuses our segment) answers the attach with an error.
bool GShmAttachFailed = false;
int OnShmAttachError(Display*, XErrorEvent*) {
    GShmAttachFailed = true;
    return 0;
}

struct TMotifHints {
    unsigned long flags, functions, decorations;
    long inputMode;
    unsigned long status;
};

uint16_t VirtualKeyOf(KeySym k) {
    if (k >= XK_a && k <= XK_z)
        return static_cast<uint16_t>('A' + (k - XK_a));
    if (k >= XK_A && k <= XK_Z)
        return static_cast<uint16_t>('A' + (k - XK_A));
    if (k >= XK_0 && k <= XK_9)
        return static_cast<uint16_t>('0' + (k - XK_0));
    if (k >= XK_F1 && k <= XK_F12)
        return static_cast<uint16_t>(VK_F1 + (k - XK_F1));
    if (k >= XK_KP_0 && k <= XK_KP_9)
        return static_cast<uint16_t>(VK_NUMPAD0 + (k - XK_KP_0));
    switch (k) {
    case XK_BackSpace:
        return VK_BACK;
    case XK_Tab:
    case XK_ISO_Left_Tab:
        return VK_TAB;
    case XK_Return:
    case XK_KP_Enter:
        return VK_RETURN;
    case XK_Escape:
        return VK_ESCAPE;
    case XK_space:
        return VK_SPACE;
    case XK_Prior:
    case XK_KP_Prior:
        return VK_PRIOR;
    case XK_Next:
    case XK_KP_Next:
        return VK_NEXT;
    case XK_End:
    case XK_KP_End:
        return VK_END;
    case XK_Home:
    case XK_KP_Home:
        return VK_HOME;
    case XK_Left:
    case XK_KP_Left:
        return VK_LEFT;
    case XK_Up:
    case XK_KP_Up:
        return VK_UP;
    case XK_Right:
    case XK_KP_Right:
        return VK_RIGHT;
    case XK_Down:
    case XK_KP_Down:
        return VK_DOWN;
    case XK_Insert:
    case XK_KP_Insert:
        return VK_INSERT;
    case XK_Delete:
    case XK_KP_Delete:
        return VK_DELETE;
    case XK_Shift_L:
    case XK_Shift_R:
        return VK_SHIFT;
    case XK_Control_L:
    case XK_Control_R:
        return VK_CONTROL;
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R:
    case XK_ISO_Level3_Shift:
        return VK_MENU;
    case XK_Caps_Lock:
        return VK_CAPITAL;
    case XK_Num_Lock:
        return VK_NUMLOCK;
    case XK_Scroll_Lock:
        return VK_SCROLL;
    case XK_Pause:
        return VK_PAUSE;
    case XK_Print:
        return VK_SNAPSHOT;
    case XK_Menu:
        return VK_APPS;
    case XK_Super_L:
        return VK_LWIN;
    case XK_Super_R:
        return VK_RWIN;
    case XK_KP_Multiply:
        return VK_MULTIPLY;
    case XK_KP_Add:
        return VK_ADD;
    case XK_KP_Subtract:
        return VK_SUBTRACT;
    case XK_KP_Decimal:
        return VK_DECIMAL;
    case XK_KP_Divide:
        return VK_DIVIDE;
    case XK_semicolon:
        return VK_OEM_1;
    case XK_equal:
        return VK_OEM_PLUS;
    case XK_comma:
        return VK_OEM_COMMA;
    case XK_minus:
        return VK_OEM_MINUS;
    case XK_period:
        return VK_OEM_PERIOD;
    case XK_slash:
        return VK_OEM_2;
    case XK_grave:
        return VK_OEM_3;
    case XK_bracketleft:
        return VK_OEM_4;
    case XK_backslash:
        return VK_OEM_5;
    case XK_bracketright:
        return VK_OEM_6;
    case XK_apostrophe:
        return VK_OEM_7;
    }
    return 0;
}

unsigned CursorFontShape(TCursorShape s) {
    switch (s) {
    case csrCross:
        return XC_crosshair;
    case csrIBeam:
        return XC_xterm;
    case csrWait:
    case csrAppStarting:
        return XC_watch;
    case csrHandPoint:
        return XC_hand2;
    case csrSizeAll:
        return XC_fleur;
    case csrSizeNS:
    case csrVSplit:
        return XC_sb_v_double_arrow;
    case csrSizeWE:
    case csrHSplit:
        return XC_sb_h_double_arrow;
    case csrSizeNWSE:
        return XC_bottom_right_corner;
    case csrSizeNESW:
        return XC_bottom_left_corner;
    case csrNo:
    case csrNoDrop:
        return XC_X_cursor;
    case csrUpArrow:
        return XC_center_ptr;
    case csrHelp:
        return XC_question_arrow;
    default:
        return XC_left_ptr;
    }
}

class TX11Backend : public TBackend {
public:
    ~TX11Backend() override;
    bool Open(std::string& error);
    // Raises EDisplayError once the connection has broken.
    void CheckConnection() const;

    const char* Name() const override { return "x11"; }
    bool DrawsFrames() const override { return true; }
    TRect ScreenRect() const override {
        return TRect(0, 0, DisplayWidth(FDpy, FScreen), DisplayHeight(FDpy, FScreen));
    }
    TRect WorkArea() const override;

    TNativeWindow CreateWindow(const TNativeWindowSpec& spec) override;
    void DestroyWindow(TNativeWindow w) override;
    void ShowWindow(TNativeWindow w, bool show, bool activate) override;
    void MoveWindow(TNativeWindow w, const TRect& bounds) override;
    void SetTitle(TNativeWindow w, const std::string& title) override;
    void SetSizeLimits(TNativeWindow w, TSize minSize, TSize maxSize) override;
    void SetTopMost(TNativeWindow w, bool topMost) override;
    void SetOpacity(TNativeWindow w, uint8_t alpha) override;
    void SetState(TNativeWindow w, int sizeState) override;
    void Raise(TNativeWindow w) override;
    void Activate(TNativeWindow w) override;
    void Present(TNativeWindow w, const TImageSurface& image, const TRect& area) override;
    void Flush() override { XFlush(FDpy); }

    void SetCursor(TNativeWindow w, const TCursorImage& cursor) override;
    TPoint PointerPos() const override;
    void WarpPointer(TPoint screenPos) override;
    bool GrabPointer(TNativeWindow w) override;
    void UngrabPointer() override;

    void SetIcon(TNativeWindow w, const std::vector<TIconImage>& images) override;
    void SetShape(TNativeWindow w, const std::vector<TRect>* rects) override;
    bool BeginMoveResize(TNativeWindow w, TMoveResizeEdge edge, TPoint screenPos) override;
    void Bell() override {
        XBell(FDpy, 0);
        XFlush(FDpy);
    }
    std::optional<uint32_t> LockKeys() override;

    void SetClipboard(const TClipboardData& data) override;
    std::vector<std::string> ClipboardTypes() override;
    std::optional<std::vector<uint8_t>> ClipboardGet(const std::string& type) override;

    bool Poll(TBackendEvent& event) override;
    bool Wait(int timeoutMs) override;
    void Wake() override;
    void InjectEvent(const TBackendEvent& event) override { FEvents.push_back(event); }
    void Sync() override { XSync(FDpy, False); }

private:
    // A clipboard transfer in pieces to another program: the next piece goes out each time the requestor
    // deleted the last one from its window.
    struct TIncrTransfer {
        Window Requestor = 0;
        Atom Property = 0;
        Atom Type = 0;
        std::shared_ptr<const std::vector<uint8_t>> Data;
        size_t Offset = 0;
        std::chrono::steady_clock::time_point LastActivity;
    };

    struct TWin {
        XIC Ic = nullptr;
        TRect Bounds;
        bool Popup = false;
        bool Mapped = false;
        TNativeWindowSpec Spec;
    };

    Atom A(const char* name) const { return XInternAtom(FDpy, name, False); }
    void OpenInputMethod();
    void EnsureInputContext(Window w, bool forKey);
    void Translate(XEvent& ev);
    void Push(TBackendEvent e) { FEvents.push_back(std::move(e)); }
    uint32_t Modifiers(unsigned state) const;
    TRect RootBounds(Window w) const;
    void SendNetState(Window w, bool add, Atom a1, Atom a2 = 0);
    void ApplySizeHints(Window w, const TWin& win);
    void ServeSelection(const XSelectionRequestEvent& req);
    bool ContinueIncr(Window requestor, Atom property);
    void DropStaleIncr();
    bool WindowManagerSupports(Atom feature) const;
    bool WaitSelection(Atom target, Atom& type, std::vector<uint8_t>& data);
    Cursor CursorFor(const TCursorImage& img);
    bool ReserveShm(size_t bytes);
    void ReleaseShm();
    std::vector<Atom> TargetsFor(const std::string& mime) const;

    Display* FDpy = nullptr;
    bool FLost = false; // the connection broke; Xlib calls on it do nothing from then on
    int FScreen = 0;
    Window FRoot = 0;
    Window FHelper = 0; // owns the selection
    GC FGc = nullptr;
    XIM FIm = nullptr;
    bool FImTried = false;
    // Pictures go to a display on this machine through shared memory: the server copies them from there
    // instead of reading megabytes through the socket. FShmBusy: the server may still be reading the last.
    bool FShmUsable = false;
    XShmSegmentInfo FShm{};
    size_t FShmBytes = 0;
    bool FShmBusy = false;
    int FLargePresents = 0;
    // The segment holds, at the same places as the window's image, the pixels last put on one window;
    // within FMirrorValid they are what the server shows, so a picture put again carries only the blocks
    // that differ. Anything else drawing there (an exposure, a put through the socket) ends that.
    Window FMirrorWindow = 0;
    TSize FMirrorSize;
    TRect FMirrorValid;
    void ForgetMirror(Window w) {
        if (w == FMirrorWindow)
            FMirrorValid = TRect();
    }
    int FPipe[2] = {-1, -1};
    std::map<Window, TWin> FWins;
    std::deque<TBackendEvent> FEvents;
    std::map<int, Cursor> FCursors;
    Cursor FCustom = 0;
    std::vector<uint32_t> FCustomPixels;
    Window FGrab = 0;
    TClipboardData FClipboard;
    bool FOwnClipboard = false;
    std::vector<TIncrTransfer> FIncr;
    bool FHasShape = false;
    bool FHasXkb = false;
    bool FIndicatorsNamed = false;
    int FCapsIndicator = -1, FNumIndicator = -1, FScrollIndicator = -1;
    Atom WM_PROTOCOLS_, WM_DELETE_WINDOW_, NET_WM_NAME, UTF8_STRING_, NET_WM_STATE, NET_STATE_ABOVE,
        NET_STATE_MAXV, NET_STATE_MAXH, NET_STATE_HIDDEN, WM_STATE_, CLIPBOARD_, TARGETS_, INCR_, SELPROP,
        NET_WM_ICON, NET_WM_MOVERESIZE;
};

TX11Backend::~TX11Backend() {
    if (FDpy) {
        for (auto& [w, win] : FWins) {
            if (win.Ic)
                XDestroyIC(win.Ic);
            XDestroyWindow(FDpy, w);
        }
        if (FIm)
            XCloseIM(FIm);
        ReleaseShm();
        if (FGc)
            XFreeGC(FDpy, FGc);
        XCloseDisplay(FDpy);
    }
    for (int fd : FPipe)
        if (fd >= 0)
            close(fd);
}

bool TX11Backend::Open(std::string& error) {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) {
        error = "DISPLAY is not set";
        return false;
    }
    FDpy = XOpenDisplay(nullptr);
    if (!FDpy) {
        error = std::string("cannot connect to the X display ") + name;
        return false;
    }
    // Xlib ends the process when the connection breaks (the server quit or was killed); instead the
    // display is marked lost and the event loop raises.
    XSetIOErrorHandler([](Display*) { return 0; });
    XSetIOErrorExitHandler(
        FDpy, [](Display*, void* self) { static_cast<TX11Backend*>(self)->FLost = true; }, this);
    FScreen = DefaultScreen(FDpy);
    FRoot = RootWindow(FDpy, FScreen);
    if (DefaultDepth(FDpy, FScreen) < 24) {
        error = "the X display needs a colour depth of 24 bits or more";
        return false;
    }
    if (pipe2(FPipe, O_NONBLOCK | O_CLOEXEC) != 0) {
        error = std::string("cannot create the wake-up pipe: ") + std::strerror(errno);
        return false;
    }
    // One round trip for all of them instead of one each.
    const char* names[] = {"WM_PROTOCOLS",
                           "WM_DELETE_WINDOW",
                           "_NET_WM_NAME",
                           "UTF8_STRING",
                           "_NET_WM_STATE",
                           "_NET_WM_STATE_ABOVE",
                           "_NET_WM_STATE_MAXIMIZED_VERT",
                           "_NET_WM_STATE_MAXIMIZED_HORZ",
                           "_NET_WM_STATE_HIDDEN",
                           "WM_STATE",
                           "CLIPBOARD",
                           "TARGETS",
                           "INCR",
                           "LUMETRA_SELECTION",
                           "_NET_WM_ICON",
                           "_NET_WM_MOVERESIZE"};
    // Asked for later by name; Xlib keeps what one request interned, so they cost no round trip of their own.
    const char* later[] = {"_NET_WM_WINDOW_TYPE",
                           "_NET_WM_WINDOW_TYPE_NORMAL",
                           "_NET_WM_WINDOW_TYPE_DIALOG",
                           "_NET_WM_WINDOW_TYPE_UTILITY",
                           "_MOTIF_WM_HINTS",
                           "_NET_WORKAREA",
                           "Caps Lock",
                           "Num Lock",
                           "Scroll Lock"};
    Atom* targets[] = {
        &WM_PROTOCOLS_,    &WM_DELETE_WINDOW_, &NET_WM_NAME,    &UTF8_STRING_,     &NET_WM_STATE,
        &NET_STATE_ABOVE,  &NET_STATE_MAXV,    &NET_STATE_MAXH, &NET_STATE_HIDDEN, &WM_STATE_,
        &CLIPBOARD_,       &TARGETS_,          &INCR_,          &SELPROP,          &NET_WM_ICON,
        &NET_WM_MOVERESIZE};
    static_assert(std::size(names) == std::size(targets));
    const char* all[std::size(names) + std::size(later)];
    std::copy(std::begin(names), std::end(names), all);
    std::copy(std::begin(later), std::end(later), all + std::size(names));
    Atom atoms[std::size(all)];
    XInternAtoms(FDpy, const_cast<char**>(all), static_cast<int>(std::size(all)), False, atoms);
    for (size_t i = 0; i < std::size(names); ++i)
        *targets[i] = atoms[i];
    XSetErrorHandler(OnXError);
    int shapeEvent = 0, shapeError = 0;
    FHasShape = XShapeQueryExtension(FDpy, &shapeEvent, &shapeError);
    int xkbOpcode = 0, xkbEvent = 0, xkbError = 0, xkbMajor = XkbMajorVersion, xkbMinor = XkbMinorVersion;
    FHasXkb = XkbQueryExtension(FDpy, &xkbOpcode, &xkbEvent, &xkbError, &xkbMajor, &xkbMinor);
    FHelper = XCreateSimpleWindow(FDpy, FRoot, -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(FDpy, FHelper, PropertyChangeMask);
    FGc = XCreateGC(FDpy, FRoot, 0, nullptr);
    FShmUsable = XShmQueryExtension(FDpy) && DefaultVisual(FDpy, FScreen)->c_class == TrueColor;

    // Text input goes through an input method when one is available; the locale's character type must
    // support it, so an unset locale takes the UTF-8 one. The method itself opens with the first key.
    const char* ctype = std::setlocale(LC_CTYPE, "");
    if (!ctype || std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
    return true;
}

// Opening the input method reads the locale's whole compose table (or talks to an input-method server),
// the largest part of connecting; nothing before the first key needs it.
void TX11Backend::OpenInputMethod() {
    if (FImTried)
        return;
    FImTried = true;
    if (!XSupportsLocale())
        return;
    XSetLocaleModifiers("");
    FIm = XOpenIM(FDpy, nullptr, nullptr, nullptr);
    if (!FIm) {
        XSetLocaleModifiers("@im=none");
        FIm = XOpenIM(FDpy, nullptr, nullptr, nullptr);
    }
}

// The window's input context, made when it first takes a key (which opens the input method) or the
// focus once the method is open; a context made for a key starts focused, as the key says it has the
// focus.
void TX11Backend::EnsureInputContext(Window w, bool forKey) {
    auto it = FWins.find(w);
    if (it == FWins.end() || it->second.Ic)
        return;
    if (forKey)
        OpenInputMethod();
    if (!FIm)
        return;
    TWin& win = it->second;
    win.Ic = XCreateIC(FIm, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, w,
                       XNFocusWindow, w, nullptr);
    if (!win.Ic)
        return;
    long mask = 0;
    XGetICValues(win.Ic, XNFilterEvents, &mask, nullptr);
    if (mask)
        XSelectInput(FDpy, w, WindowEventMask | mask);
    if (forKey)
        XSetICFocus(win.Ic);
}

TRect TX11Backend::WorkArea() const {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    TRect r = ScreenRect();
    if (XGetWindowProperty(FDpy, FRoot, A("_NET_WORKAREA"), 0, 4, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data && count >= 4 && format == 32) {
        long* v = reinterpret_cast<long*>(data);
        r = Bounds(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                   static_cast<int>(v[3]));
    }
    if (data)
        XFree(data);
    return r;
}

void TX11Backend::ApplySizeHints(Window w, const TWin& win) {
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PPosition | USPosition | PSize | PWinGravity;
    hints->x = win.Bounds.Left;
    hints->y = win.Bounds.Top;
    hints->width = std::max(1, win.Bounds.Width());
    hints->height = std::max(1, win.Bounds.Height());
    hints->win_gravity = StaticGravity;
    if (!win.Spec.Sizeable) {
        hints->flags |= PMinSize | PMaxSize;
        hints->min_width = hints->max_width = hints->width;
        hints->min_height = hints->max_height = hints->height;
    } else {
        if (win.Spec.MinSize.cx > 0 || win.Spec.MinSize.cy > 0) {
            hints->flags |= PMinSize;
            hints->min_width = std::max(1, win.Spec.MinSize.cx);
            hints->min_height = std::max(1, win.Spec.MinSize.cy);
        }
        if (win.Spec.MaxSize.cx > 0 && win.Spec.MaxSize.cy > 0) {
            hints->flags |= PMaxSize;
            hints->max_width = win.Spec.MaxSize.cx;
            hints->max_height = win.Spec.MaxSize.cy;
        }
    }
    XSetWMNormalHints(FDpy, w, hints);
    XFree(hints);
}

TNativeWindow TX11Backend::CreateWindow(const TNativeWindowSpec& spec) {
    XSetWindowAttributes attrs;
    attrs.background_pixmap = None;
    attrs.bit_gravity = NorthWestGravity;
    attrs.override_redirect = spec.Popup ? True : False;
    attrs.event_mask = WindowEventMask;
    Window w =
        XCreateWindow(FDpy, FRoot, spec.Bounds.Left, spec.Bounds.Top, std::max(1, spec.Bounds.Width()),
                      std::max(1, spec.Bounds.Height()), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWBackPixmap | CWBitGravity | CWOverrideRedirect | CWEventMask, &attrs);
    TWin& win = FWins[w];
    win.Bounds = spec.Bounds;
    win.Popup = spec.Popup;
    win.Spec = spec;
    XSetWMProtocols(FDpy, w, &WM_DELETE_WINDOW_, 1);
    XClassHint* cls = XAllocClassHint();
    cls->res_name = const_cast<char*>("lumetra");
    cls->res_class = const_cast<char*>("Lumetra");
    XSetClassHint(FDpy, w, cls);
    XFree(cls);
    SetTitle(w, spec.Title);
    if (!spec.Popup) {
        ApplySizeHints(w, win);
        if (spec.Owner)
            XSetTransientForHint(FDpy, w, static_cast<Window>(spec.Owner));
        Atom type = A(spec.ToolWindow ? "_NET_WM_WINDOW_TYPE_UTILITY"
                      : spec.Dialog   ? "_NET_WM_WINDOW_TYPE_DIALOG"
                                      : "_NET_WM_WINDOW_TYPE_NORMAL");
        XChangeProperty(FDpy, w, A("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&type), 1);
        if (!spec.Decorated) {
            TMotifHints mh{2, 0, 0, 0, 0};
            Atom motif = A("_MOTIF_WM_HINTS");
            XChangeProperty(FDpy, w, motif, motif, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&mh),
                            5);
        }
        XWMHints* wm = XAllocWMHints();
        wm->flags = InputHint | StateHint;
        wm->input = True;
        wm->initial_state = NormalState;
        XSetWMHints(FDpy, w, wm);
        XFree(wm);
        if (spec.TopMost)
            XChangeProperty(FDpy, w, NET_WM_STATE, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&NET_STATE_ABOVE), 1);
    }
    return static_cast<TNativeWindow>(w);
}

void TX11Backend::DestroyWindow(TNativeWindow native) {
    Window w = static_cast<Window>(native);
    auto it = FWins.find(w);
    if (it == FWins.end())
        return;
    if (it->second.Ic)
        XDestroyIC(it->second.Ic);
    if (FGrab == w)
        UngrabPointer();
    FWins.erase(it);
    ForgetMirror(w);
    XDestroyWindow(FDpy, w);
    XFlush(FDpy);
}

void TX11Backend::ShowWindow(TNativeWindow native, bool show, bool activate) {
    Window w = static_cast<Window>(native);
    auto it = FWins.find(w);
    if (it == FWins.end())
        return;
    it->second.Mapped = show;
    ForgetMirror(w);
    if (show) {
        XMapRaised(FDpy, w);
        // The window manager may have moved a window it just mapped; put it where the tree has it.
        XMoveWindow(FDpy, w, it->second.Bounds.Left, it->second.Bounds.Top);
        if (activate && !it->second.Popup)
            Activate(native);
    } else {
        XUnmapWindow(FDpy, w);
    }
    XFlush(FDpy);
}

void TX11Backend::MoveWindow(TNativeWindow native, const TRect& bounds) {
    Window w = static_cast<Window>(native);
    auto it = FWins.find(w);
    if (it == FWins.end())
        return;
    it->second.Bounds = bounds;
    ForgetMirror(w);
    if (!it->second.Spec.Sizeable && !it->second.Popup)
        ApplySizeHints(w, it->second);
    XMoveResizeWindow(FDpy, w, bounds.Left, bounds.Top, std::max(1, bounds.Width()),
                      std::max(1, bounds.Height()));
}

void TX11Backend::SetTitle(TNativeWindow native, const std::string& title) {
    Window w = static_cast<Window>(native);
    XChangeProperty(FDpy, w, NET_WM_NAME, UTF8_STRING_, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    XStoreName(FDpy, w, title.c_str());
}

void TX11Backend::SetSizeLimits(TNativeWindow native, TSize minSize, TSize maxSize) {
    auto it = FWins.find(static_cast<Window>(native));
    if (it == FWins.end() || it->second.Popup)
        return;
    it->second.Spec.MinSize = minSize;
    it->second.Spec.MaxSize = maxSize;
    ApplySizeHints(it->first, it->second);
}

void TX11Backend::SendNetState(Window w, bool add, Atom a1, Atom a2) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = NET_WM_STATE;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = add ? 1 : 0;
    ev.xclient.data.l[1] = static_cast<long>(a1);
    ev.xclient.data.l[2] = static_cast<long>(a2);
    ev.xclient.data.l[3] = 1;
    XSendEvent(FDpy, FRoot, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
}

void TX11Backend::SetTopMost(TNativeWindow native, bool topMost) {
    SendNetState(static_cast<Window>(native), topMost, NET_STATE_ABOVE);
}

void TX11Backend::SetOpacity(TNativeWindow native, uint8_t alpha) {
    Window w = static_cast<Window>(native);
    Atom opacity = A("_NET_WM_WINDOW_OPACITY");
    if (alpha == 255) {
        XDeleteProperty(FDpy, w, opacity);
        return;
    }
    unsigned long value = static_cast<unsigned long>(alpha) * 0xFFFFFFFFul / 255;
    XChangeProperty(FDpy, w, opacity, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&value), 1);
}

void TX11Backend::SetState(TNativeWindow native, int sizeState) {
    Window w = static_cast<Window>(native);
    if (sizeState == SIZE_MINIMIZED) {
        XIconifyWindow(FDpy, w, FScreen);
    } else if (sizeState == SIZE_MAXIMIZED) {
        SendNetState(w, true, NET_STATE_MAXV, NET_STATE_MAXH);
    } else {
        SendNetState(w, false, NET_STATE_MAXV, NET_STATE_MAXH);
        auto it = FWins.find(w);
        if (it != FWins.end() && it->second.Mapped)
            XMapWindow(FDpy, w);
    }
}

void TX11Backend::Raise(TNativeWindow native) {
    XRaiseWindow(FDpy, static_cast<Window>(native));
}

void TX11Backend::Activate(TNativeWindow native) {
    Window w = static_cast<Window>(native);
    auto it = FWins.find(w);
    if (it == FWins.end() || it->second.Popup)
        return;
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = A("_NET_ACTIVE_WINDOW");
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 1;
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(FDpy, FRoot, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XWindowAttributes wa;
    if (XGetWindowAttributes(FDpy, w, &wa) && wa.map_state == IsViewable)
        XSetInputFocus(FDpy, w, RevertToParent, CurrentTime);
}

bool TX11Backend::ReserveShm(size_t bytes) {
    if (FShmBytes >= bytes)
        return true;
    ReleaseShm();
    // Whole megabytes, so a window growing a little does not make a new segment each time.
    bytes = (bytes + (1u << 20) - 1) & ~size_t((1u << 20) - 1);
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) {
        FShmUsable = false;
        return false;
    }
    void* at = shmat(id, nullptr, 0);
    if (at == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        FShmUsable = false;
        return false;
    }
    FShm.shmid = id;
    FShm.shmaddr = static_cast<char*>(at);
    FShm.readOnly = True;
    GShmAttachFailed = false;
    XErrorHandler previous = XSetErrorHandler(OnShmAttachError);
    const bool attached = XShmAttach(FDpy, &FShm);
    XSync(FDpy, False);
    XSetErrorHandler(previous);
    // Marked for removal now: the segment goes away by itself once both sides let go, also if we crash.
    shmctl(id, IPC_RMID, nullptr);
    if (!attached || GShmAttachFailed) {
        shmdt(at);
        FShm = {};
        FShmUsable = false;
        return false;
    }
    FShmBytes = bytes;
    return true;
}

void TX11Backend::ReleaseShm() {
    if (!FShmBytes)
        return;
    // The server keeps the segment until it detaches; a put still reading it is not cut short.
    XShmDetach(FDpy, &FShm);
    shmdt(FShm.shmaddr);
    FShm = {};
    FShmBytes = 0;
    FShmBusy = false;
    FMirrorWindow = 0;
    FMirrorValid = TRect();
}

void TX11Backend::Present(TNativeWindow native, const TImageSurface& image, const TRect& area) {
    Window w = static_cast<Window>(native);
    if (!FWins.count(w) || area.IsEmpty())
        return;
    TRect r;
    if (!IntersectRect(r, area, Bounds(0, 0, image.Width(), image.Height())))
        return;
    const int width = r.Width(), height = r.Height();
    // Small pictures go faster through the socket than through the segment's extra round trip, and making
    // a segment (and touching its memory) pays off only for a stream of pictures, not for the few a program
    // shows while it starts. The segment is made for the whole surface, so one serves every area of it.
    const size_t bytes = static_cast<size_t>(width) * height * 4;
    const bool large = bytes >= kShmThreshold && ++FLargePresents > kShmAfterPresents;
    if (FShmUsable && large && ReserveShm(static_cast<size_t>(image.Width()) * image.Height() * 4)) {
        XImage* img = XShmCreateImage(FDpy, DefaultVisual(FDpy, FScreen), 24, ZPixmap, FShm.shmaddr, &FShm,
                                      image.Width(), image.Height());
        if (img && img->bits_per_pixel == 32 && img->bytes_per_line == image.StridePixels() * 4 &&
            static_cast<size_t>(img->bytes_per_line) * image.Height() <= FShmBytes) {
            if (FShmBusy)
                XSync(FDpy, False); // the server has taken the last picture out of the segment
            uint32_t* mirror = reinterpret_cast<uint32_t*>(FShm.shmaddr);
            const int stride = image.StridePixels();
            const TSize size(image.Width(), image.Height());
            TRect known;
            if (FMirrorWindow == w && FMirrorSize == size && IntersectRect(known, FMirrorValid, r) &&
                known == r) {
                const std::vector<TRect> blocks = CopyChangedBlocks(image.Row(0), stride, mirror, stride, r);
                for (const TRect& b : blocks)
                    XShmPutImage(FDpy, w, FGc, img, b.Left, b.Top, b.Left, b.Top, b.Width(), b.Height(),
                                 False);
                FShmBusy = !blocks.empty();
            } else {
                for (int y = r.Top; y < r.Bottom; ++y)
                    std::memcpy(mirror + static_cast<size_t>(y) * stride + r.Left, image.Row(y) + r.Left,
                                static_cast<size_t>(width) * 4);
                XShmPutImage(FDpy, w, FGc, img, r.Left, r.Top, r.Left, r.Top, width, height, False);
                FShmBusy = true;
                FMirrorWindow = w;
                FMirrorSize = size;
                FMirrorValid = r;
            }
            img->data = nullptr;
            XDestroyImage(img);
            return;
        }
        if (img) {
            img->data = nullptr;
            XDestroyImage(img);
        }
        FShmUsable = false;
    }
    // The surface's own pixels go out as they lie, its rows being whole lines of the image: no copy of a
    // picture that may be the whole screen, and no fresh memory for it on every present.
    XImage* img = XCreateImage(FDpy, DefaultVisual(FDpy, FScreen), 24, ZPixmap, 0,
                               const_cast<char*>(reinterpret_cast<const char*>(image.Row(0))), image.Width(),
                               image.Height(), 32, image.StridePixels() * 4);
    if (!img)
        return;
    ForgetMirror(w);
    XPutImage(FDpy, w, FGc, img, r.Left, r.Top, r.Left, r.Top, width, height);
    img->data = nullptr; // the pixels are the surface's
    XDestroyImage(img);
}

Cursor TX11Backend::CursorFor(const TCursorImage& img) {
    if (img.Shape == csrCustom) {
        if (FCustom && FCustomPixels == img.Pixels)
            return FCustom;
        if (FCustom)
            XFreeCursor(FDpy, FCustom);
        int w = img.Width, h = img.Height, stride = (w + 7) / 8;
        std::vector<char> src(static_cast<size_t>(stride) * h), mask(static_cast<size_t>(stride) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint32_t p = img.Pixels[static_cast<size_t>(y) * w + x];
                int lum = (((p >> 16) & 0xFF) * 3 + ((p >> 8) & 0xFF) * 6 + (p & 0xFF)) / 10;
                if ((p >> 24) >= 128) {
                    mask[y * stride + x / 8] |= static_cast<char>(1 << (x % 8));
                    if (lum < 128)
                        src[y * stride + x / 8] |= static_cast<char>(1 << (x % 8));
                }
            }
        Pixmap s = XCreateBitmapFromData(FDpy, FRoot, src.data(), w, h);
        Pixmap m = XCreateBitmapFromData(FDpy, FRoot, mask.data(), w, h);
        XColor black{}, white{};
        white.red = white.green = white.blue = 0xFFFF;
        FCustom = XCreatePixmapCursor(FDpy, s, m, &black, &white, img.HotSpot.X, img.HotSpot.Y);
        XFreePixmap(FDpy, s);
        XFreePixmap(FDpy, m);
        FCustomPixels = img.Pixels;
        return FCustom;
    }
    auto it = FCursors.find(img.Shape);
    if (it != FCursors.end())
        return it->second;
    Cursor c;
    if (img.Shape == csrNone) {
        char empty = 0;
        Pixmap p = XCreateBitmapFromData(FDpy, FRoot, &empty, 1, 1);
        XColor black{};
        c = XCreatePixmapCursor(FDpy, p, p, &black, &black, 0, 0);
        XFreePixmap(FDpy, p);
    } else {
        c = XCreateFontCursor(FDpy, CursorFontShape(img.Shape));
    }
    FCursors[img.Shape] = c;
    return c;
}

void TX11Backend::SetCursor(TNativeWindow native, const TCursorImage& cursor) {
    Window w = static_cast<Window>(native);
    Cursor c = CursorFor(cursor);
    if (w && FWins.count(w)) {
        XDefineCursor(FDpy, w, c);
    } else {
        for (auto& [win, info] : FWins)
            XDefineCursor(FDpy, win, c);
    }
    if (FGrab)
        XChangeActivePointerGrab(FDpy, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, c,
                                 CurrentTime);
}

void TX11Backend::SetIcon(TNativeWindow native, const std::vector<TIconImage>& images) {
    Window w = static_cast<Window>(native);
    if (!FWins.count(w))
        return;
    if (images.empty()) {
        XDeleteProperty(FDpy, w, NET_WM_ICON);
        return;
    }
    // Width, height and the pixels of each size in turn, every value one CARDINAL (a long to Xlib).
    std::vector<long> data;
    for (const TIconImage& img : images) {
        if (img.Width <= 0 || img.Height <= 0 ||
            img.Pixels.size() != static_cast<size_t>(img.Width) * static_cast<size_t>(img.Height))
            continue;
        data.push_back(img.Width);
        data.push_back(img.Height);
        for (uint32_t p : img.Pixels)
            data.push_back(static_cast<long>(p));
    }
    if (data.empty()) {
        XDeleteProperty(FDpy, w, NET_WM_ICON);
        return;
    }
    XChangeProperty(FDpy, w, NET_WM_ICON, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(data.data()), static_cast<int>(data.size()));
    XFlush(FDpy);
}

void TX11Backend::SetShape(TNativeWindow native, const std::vector<TRect>* rects) {
    Window w = static_cast<Window>(native);
    if (!FHasShape || !FWins.count(w))
        return;
    if (!rects) {
        XShapeCombineMask(FDpy, w, ShapeBounding, 0, 0, None, ShapeSet);
    } else {
        auto clampShort = [](int v) { return static_cast<short>(std::clamp(v, -32768, 32767)); };
        std::vector<XRectangle> xr;
        xr.reserve(rects->size());
        for (const TRect& r : *rects) {
            if (r.IsEmpty())
                continue;
            XRectangle x;
            x.x = clampShort(r.Left);
            x.y = clampShort(r.Top);
            x.width = static_cast<unsigned short>(std::clamp(r.Width(), 0, 65535));
            x.height = static_cast<unsigned short>(std::clamp(r.Height(), 0, 65535));
            xr.push_back(x);
        }
        XShapeCombineRectangles(FDpy, w, ShapeBounding, 0, 0, xr.data(), static_cast<int>(xr.size()),
                                ShapeSet, Unsorted);
    }
    XFlush(FDpy);
}

bool TX11Backend::WindowManagerSupports(Atom feature) const {
    // A window manager that runs keeps a check window whose property names itself; a stale list of
    // features left by one that quit does not count.
    auto windowProperty = [&](Window on, Atom name, Window& out) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        bool ok = XGetWindowProperty(FDpy, on, name, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                                     &data) == Success &&
                  data && count == 1 && format == 32;
        if (ok)
            out = static_cast<Window>(reinterpret_cast<long*>(data)[0]);
        if (data)
            XFree(data);
        return ok;
    };
    Atom check = A("_NET_SUPPORTING_WM_CHECK");
    Window wm = 0, self = 0;
    if (!windowProperty(FRoot, check, wm) || !windowProperty(wm, check, self) || self != wm)
        return false;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    bool found = false;
    if (XGetWindowProperty(FDpy, FRoot, A("_NET_SUPPORTED"), 0, 4096, False, XA_ATOM, &type, &format, &count,
                           &after, &data) == Success &&
        data && format == 32) {
        const long* atoms = reinterpret_cast<const long*>(data);
        for (unsigned long i = 0; i < count && !found; ++i)
            found = static_cast<Atom>(atoms[i]) == feature;
    }
    if (data)
        XFree(data);
    return found;
}

bool TX11Backend::BeginMoveResize(TNativeWindow native, TMoveResizeEdge edge, TPoint screenPos) {
    Window w = static_cast<Window>(native);
    auto it = FWins.find(w);
    if (it == FWins.end() || it->second.Popup || !it->second.Mapped ||
        !WindowManagerSupports(NET_WM_MOVERESIZE))
        return false;
    // The window manager grabs the pointer itself; ours would stand in its way.
    XUngrabPointer(FDpy, CurrentTime);
    FGrab = 0;
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = NET_WM_MOVERESIZE;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = screenPos.X;
    ev.xclient.data.l[1] = screenPos.Y;
    ev.xclient.data.l[2] = static_cast<long>(edge); // the protocol numbers edges in this order
    ev.xclient.data.l[3] = Button1;
    ev.xclient.data.l[4] = 1; // a normal application asks
    XSendEvent(FDpy, FRoot, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    XFlush(FDpy);
    return true;
}

std::optional<uint32_t> TX11Backend::LockKeys() {
    if (!FHasXkb)
        return std::nullopt;
    if (!FIndicatorsNamed) {
        // Which indicator stands for which lock key is the keymap's choice; it names them. Three round
        // trips that a start does not need, so they wait for the first question.
        FIndicatorsNamed = true;
        auto indicator = [&](const char* name) {
            int index = -1;
            Bool on = False;
            if (!XkbGetNamedIndicator(FDpy, A(name), &index, &on, nullptr, nullptr))
                return -1;
            return index;
        };
        FCapsIndicator = indicator("Caps Lock");
        FNumIndicator = indicator("Num Lock");
        FScrollIndicator = indicator("Scroll Lock");
    }
    unsigned indicators = 0;
    if (XkbGetIndicatorState(FDpy, XkbUseCoreKbd, &indicators) != Success)
        return std::nullopt;
    XkbStateRec state{};
    XkbGetState(FDpy, XkbUseCoreKbd, &state);
    auto lit = [&](int index) { return index >= 0 && (indicators & (1u << index)) != 0; };
    uint32_t out = 0;
    // Keymaps without named indicators still lock the modifiers.
    if (FCapsIndicator >= 0 ? lit(FCapsIndicator) : (state.locked_mods & LockMask) != 0)
        out |= lockCaps;
    if (FNumIndicator >= 0 ? lit(FNumIndicator) : (state.locked_mods & Mod2Mask) != 0)
        out |= lockNum;
    if (lit(FScrollIndicator))
        out |= lockScroll;
    return out;
}

TPoint TX11Backend::PointerPos() const {
    Window root, child;
    int rx = 0, ry = 0, wx, wy;
    unsigned mask;
    XQueryPointer(FDpy, FRoot, &root, &child, &rx, &ry, &wx, &wy, &mask);
    return TPoint(rx, ry);
}

void TX11Backend::WarpPointer(TPoint p) {
    XWarpPointer(FDpy, None, FRoot, 0, 0, 0, 0, p.X, p.Y);
    XFlush(FDpy);
}

bool TX11Backend::GrabPointer(TNativeWindow native) {
    Window w = static_cast<Window>(native);
    int r = XGrabPointer(FDpy, w, True, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                         GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    if (r == GrabSuccess)
        FGrab = w;
    return r == GrabSuccess;
}

void TX11Backend::UngrabPointer() {
    XUngrabPointer(FDpy, CurrentTime);
    FGrab = 0;
    XFlush(FDpy);
}

std::vector<Atom> TX11Backend::TargetsFor(const std::string& mime) const {
    if (mime == TextMime)
        return {UTF8_STRING_, A(TextMime), XA_STRING, A("TEXT"), A("text/plain")};
    return {A(mime.c_str())};
}

void TX11Backend::SetClipboard(const TClipboardData& data) {
    FClipboard = data;
    FOwnClipboard = !data.empty();
    XSetSelectionOwner(FDpy, CLIPBOARD_, FOwnClipboard ? FHelper : None, CurrentTime);
    XFlush(FDpy);
}

void TX11Backend::ServeSelection(const XSelectionRequestEvent& req) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.requestor = req.requestor;
    reply.xselection.selection = req.selection;
    reply.xselection.target = req.target;
    reply.xselection.time = req.time;
    reply.xselection.property = None;
    Atom property = req.property ? req.property : req.target;
    if (req.selection == CLIPBOARD_ && FOwnClipboard) {
        if (req.target == TARGETS_) {
            std::vector<Atom> targets{TARGETS_};
            for (const auto& [mime, bytes] : FClipboard)
                for (Atom a : TargetsFor(mime))
                    targets.push_back(a);
            XChangeProperty(FDpy, req.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(targets.data()),
                            static_cast<int>(targets.size()));
            reply.xselection.property = property;
        } else {
            long limit = XExtendedMaxRequestSize(FDpy) > 0 ? XExtendedMaxRequestSize(FDpy) * 4 - 64
                                                           : XMaxRequestSize(FDpy) * 4 - 64;
            size_t threshold = std::min<size_t>(kIncrThreshold, static_cast<size_t>(std::max(limit, 1024L)));
            for (const auto& [mime, bytes] : FClipboard) {
                auto targets = TargetsFor(mime);
                if (std::find(targets.begin(), targets.end(), req.target) == targets.end())
                    continue;
                if (bytes.size() > threshold) {
                    // Announce the size, then send pieces as the requestor deletes each one.
                    bool ours = req.requestor == FHelper || FWins.count(req.requestor);
                    if (!ours)
                        XSelectInput(FDpy, req.requestor, PropertyChangeMask);
                    long size = static_cast<long>(bytes.size());
                    XChangeProperty(FDpy, req.requestor, property, INCR_, 32, PropModeReplace,
                                    reinterpret_cast<unsigned char*>(&size), 1);
                    TIncrTransfer t;
                    t.Requestor = req.requestor;
                    t.Property = property;
                    t.Type = req.target;
                    t.Data = std::make_shared<const std::vector<uint8_t>>(bytes);
                    t.LastActivity = std::chrono::steady_clock::now();
                    // A new request for the same property replaces an unfinished one.
                    std::erase_if(FIncr, [&](const TIncrTransfer& o) {
                        return o.Requestor == t.Requestor && o.Property == t.Property;
                    });
                    FIncr.push_back(std::move(t));
                } else {
                    XChangeProperty(FDpy, req.requestor, property, req.target, 8, PropModeReplace,
                                    bytes.data(), static_cast<int>(bytes.size()));
                }
                reply.xselection.property = property;
                break;
            }
        }
    }
    XSendEvent(FDpy, req.requestor, False, 0, &reply);
    XFlush(FDpy);
}

bool TX11Backend::ContinueIncr(Window requestor, Atom property) {
    auto it = std::find_if(FIncr.begin(), FIncr.end(), [&](const TIncrTransfer& t) {
        return t.Requestor == requestor && t.Property == property;
    });
    if (it == FIncr.end())
        return false;
    const std::vector<uint8_t>& data = *it->Data;
    size_t n = std::min(kIncrChunk, data.size() - it->Offset);
    // The last piece is empty: it tells the requestor the transfer is complete.
    XChangeProperty(FDpy, requestor, property, it->Type, 8, PropModeReplace, data.data() + it->Offset,
                    static_cast<int>(n));
    it->Offset += n;
    it->LastActivity = std::chrono::steady_clock::now();
    if (n == 0) {
        bool ours = requestor == FHelper || FWins.count(requestor);
        FIncr.erase(it);
        bool more = std::any_of(FIncr.begin(), FIncr.end(),
                                [&](const TIncrTransfer& t) { return t.Requestor == requestor; });
        if (!ours && !more)
            XSelectInput(FDpy, requestor, NoEventMask);
    }
    XFlush(FDpy);
    return true;
}

void TX11Backend::DropStaleIncr() {
    auto now = std::chrono::steady_clock::now();
    std::erase_if(FIncr, [&](const TIncrTransfer& t) { return now - t.LastActivity > kIncrTimeout; });
}

bool TX11Backend::WaitSelection(Atom target, Atom& type, std::vector<uint8_t>& data) {
    XDeleteProperty(FDpy, FHelper, SELPROP);
    XConvertSelection(FDpy, CLIPBOARD_, target, SELPROP, FHelper, CurrentTime);
    XFlush(FDpy);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
    XEvent ev;
    auto waitFor = [&](auto match) {
        for (;;) {
            if (XCheckIfEvent(FDpy, &ev, match, reinterpret_cast<XPointer>(this)))
                return true;
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd p{ConnectionNumber(FDpy), POLLIN, 0};
            poll(&p, 1, static_cast<int>(std::min<long>(left.count(), 50)));
        }
    };
    auto isNotify = [](Display*, XEvent* e, XPointer self) -> Bool {
        auto* b = reinterpret_cast<TX11Backend*>(self);
        return e->type == SelectionNotify && e->xselection.requestor == b->FHelper;
    };
    if (!waitFor(isNotify) || ev.xselection.property == None)
        return false;
    // The owner wrote the property before it answered, so that write's notice is queued already; a
    // piecewise transfer must not take it for the first piece.
    auto isStaleValue = [](Display*, XEvent* e, XPointer self) -> Bool {
        auto* b = reinterpret_cast<TX11Backend*>(self);
        return e->type == PropertyNotify && e->xproperty.window == b->FHelper &&
               e->xproperty.atom == b->SELPROP;
    };
    XEvent stale;
    while (XCheckIfEvent(FDpy, &stale, isStaleValue, reinterpret_cast<XPointer>(this))) {
    }
    auto readProperty = [&](std::vector<uint8_t>& out, Atom& outType) {
        int format;
        unsigned long count, after;
        unsigned char* bytes = nullptr;
        if (XGetWindowProperty(FDpy, FHelper, SELPROP, 0, 0x7FFFFFF, True, AnyPropertyType, &outType, &format,
                               &count, &after, &bytes) != Success)
            return false;
        size_t unit = format == 32 ? sizeof(long) : format / 8;
        if (bytes)
            out.assign(bytes, bytes + count * unit);
        if (bytes)
            XFree(bytes);
        return true;
    };
    if (!readProperty(data, type))
        return false;
    if (type == INCR_) {
        // Large transfers come in pieces, each announced by a new value of the property.
        data.clear();
        auto isNewValue = [](Display*, XEvent* e, XPointer self) -> Bool {
            auto* b = reinterpret_cast<TX11Backend*>(self);
            return e->type == PropertyNotify && e->xproperty.window == b->FHelper &&
                   e->xproperty.atom == b->SELPROP && e->xproperty.state == PropertyNewValue;
        };
        for (;;) {
            deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
            if (!waitFor(isNewValue))
                return false;
            std::vector<uint8_t> chunk;
            if (!readProperty(chunk, type) || type == None)
                return false;
            if (chunk.empty())
                break;
            data.insert(data.end(), chunk.begin(), chunk.end());
        }
    }
    return true;
}

std::vector<std::string> TX11Backend::ClipboardTypes() {
    std::vector<std::string> out;
    if (FOwnClipboard) {
        for (const auto& [mime, bytes] : FClipboard)
            out.push_back(mime);
        return out;
    }
    if (XGetSelectionOwner(FDpy, CLIPBOARD_) == None)
        return out;
    Atom type;
    std::vector<uint8_t> data;
    if (!WaitSelection(TARGETS_, type, data) || type != XA_ATOM)
        return out;
    const Atom* atoms = reinterpret_cast<const Atom*>(data.data());
    size_t n = data.size() / sizeof(Atom);
    bool text = false;
    for (size_t i = 0; i < n; ++i) {
        if (atoms[i] == UTF8_STRING_ || atoms[i] == XA_STRING) {
            text = true;
            continue;
        }
        char* name = XGetAtomName(FDpy, atoms[i]);
        if (name) {
            std::string s = name;
            XFree(name);
            if (s == TextMime || s == "text/plain")
                text = true;
            else if (s.find('/') != std::string::npos)
                out.push_back(s);
        }
    }
    if (text)
        out.insert(out.begin(), TextMime);
    return out;
}

std::optional<std::vector<uint8_t>> TX11Backend::ClipboardGet(const std::string& mime) {
    if (FOwnClipboard) {
        auto it = FClipboard.find(mime);
        if (it == FClipboard.end())
            return std::nullopt;
        return it->second;
    }
    if (XGetSelectionOwner(FDpy, CLIPBOARD_) == None)
        return std::nullopt;
    Atom type;
    std::vector<uint8_t> data;
    for (Atom target : TargetsFor(mime))
        if (WaitSelection(target, type, data) && type != None)
            return data;
    return std::nullopt;
}

uint32_t TX11Backend::Modifiers(unsigned state) const {
    return ((state & ShiftMask) ? modShift : 0) | ((state & ControlMask) ? modControl : 0) |
           ((state & Mod1Mask) ? modAlt : 0);
}

TRect TX11Backend::RootBounds(Window w) const {
    XWindowAttributes wa;
    if (!XGetWindowAttributes(FDpy, w, &wa))
        return {};
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(FDpy, w, FRoot, 0, 0, &x, &y, &child);
    return Bounds(x, y, wa.width, wa.height);
}

void TX11Backend::Translate(XEvent& ev) {
    Window w = ev.xany.window;
    if (ev.type == SelectionRequest) {
        ServeSelection(ev.xselectionrequest);
        return;
    }
    if (ev.type == PropertyNotify && ev.xproperty.state == PropertyDelete &&
        ContinueIncr(ev.xproperty.window, ev.xproperty.atom))
        return;
    if (ev.type == SelectionClear) {
        if (ev.xselectionclear.selection == CLIPBOARD_) {
            FOwnClipboard = false;
            FClipboard.clear();
            TBackendEvent e;
            e.Kind = beClipboardLost;
            Push(e);
        }
        return;
    }
    auto it = FWins.find(w);
    if (it == FWins.end())
        return;
    TBackendEvent e;
    e.Window = static_cast<TNativeWindow>(w);
    switch (ev.type) {
    case MotionNotify: {
        XEvent next;
        while (XCheckTypedWindowEvent(FDpy, w, MotionNotify, &next))
            ev = next;
        e.Kind = bePointerMove;
        e.ScreenPos = TPoint(ev.xmotion.x_root, ev.xmotion.y_root);
        e.Modifiers = Modifiers(ev.xmotion.state);
        e.Time = static_cast<uint32_t>(ev.xmotion.time);
        e.Window = 0; // the tree decides: a grab sends moves over other windows here too
        Push(e);
        break;
    }
    case ButtonPress:
    case ButtonRelease: {
        unsigned b = ev.xbutton.button;
        e.ScreenPos = TPoint(ev.xbutton.x_root, ev.xbutton.y_root);
        e.Modifiers = Modifiers(ev.xbutton.state);
        e.Time = static_cast<uint32_t>(ev.xbutton.time);
        e.Window = 0;
        if (b >= 4 && b <= 7) {
            if (ev.type == ButtonRelease)
                break;
            e.Kind = beWheel;
            e.Horizontal = b >= 6;
            e.WheelDelta = (b == 4 || b == 7) ? WHEEL_DELTA : -WHEEL_DELTA;
            Push(e);
            break;
        }
        e.Kind = ev.type == ButtonPress ? beButtonDown : beButtonUp;
        e.Button = b == 1 ? mbcLeft : b == 3 ? mbcRight : mbcMiddle;
        Push(e);
        break;
    }
    case KeyPress:
    case KeyRelease: {
        KeySym sym = XLookupKeysym(&ev.xkey, 0);
        e.Kind = ev.type == KeyPress ? beKeyDown : beKeyUp;
        e.VirtualKey = VirtualKeyOf(sym);
        e.Modifiers = Modifiers(ev.xkey.state);
        e.Time = static_cast<uint32_t>(ev.xkey.time);
        if (ev.type == KeyRelease) {
            // An auto-repeat sends release and press at the same time; the release is dropped.
            if (XEventsQueued(FDpy, QueuedAfterReading)) {
                XEvent next;
                XPeekEvent(FDpy, &next);
                if (next.type == KeyPress && next.xkey.time == ev.xkey.time &&
                    next.xkey.keycode == ev.xkey.keycode)
                    break;
            }
        } else {
            char buf[64];
            KeySym ks;
            int n = 0;
            if (it->second.Ic) {
                Status st;
                n = Xutf8LookupString(it->second.Ic, &ev.xkey, buf, sizeof buf - 1, &ks, &st);
                if (st != XLookupChars && st != XLookupBoth)
                    n = 0;
            } else {
                n = XLookupString(&ev.xkey, buf, sizeof buf - 1, &ks, nullptr);
                const std::string utf =
                    Latin1ToUtf8(std::string_view(buf, static_cast<size_t>(std::max(n, 0))));
                n = static_cast<int>(std::min(utf.size(), sizeof buf - 1));
                std::memcpy(buf, utf.data(), n);
            }
            if (n > 0)
                e.Text.assign(buf, n);
            if (!e.VirtualKey && e.Text.empty())
                break;
            if (!e.VirtualKey) {
                // A key without a code of its own (a dead key's result, a symbol): its text only.
                e.Kind = beText;
                Push(e);
                break;
            }
        }
        if (e.VirtualKey)
            Push(e);
        break;
    }
    case FocusIn:
    case FocusOut:
        if (ev.xfocus.detail == NotifyPointer || ev.xfocus.detail == NotifyInferior)
            break;
        if (it->second.Ic) {
            if (ev.type == FocusIn)
                XSetICFocus(it->second.Ic);
            else
                XUnsetICFocus(it->second.Ic);
        }
        e.Kind = beActivate;
        e.Active = ev.type == FocusIn;
        Push(e);
        break;
    case LeaveNotify:
        if (ev.xcrossing.detail != NotifyInferior && ev.xcrossing.mode == NotifyNormal) {
            Window root, child;
            int rx, ry, wx, wy;
            unsigned mask;
            XQueryPointer(FDpy, FRoot, &root, &child, &rx, &ry, &wx, &wy, &mask);
            bool ours = false;
            for (auto& [win, info] : FWins)
                if (info.Mapped) {
                    TRect r = info.Bounds;
                    if (r.Contains(TPoint(rx, ry)))
                        ours = true;
                }
            if (!ours) {
                e.Kind = bePointerLeave;
                Push(e);
            }
        }
        break;
    case ClientMessage:
        if (ev.xclient.message_type == WM_PROTOCOLS_ &&
            static_cast<Atom>(ev.xclient.data.l[0]) == WM_DELETE_WINDOW_) {
            e.Kind = beCloseRequest;
            Push(e);
        }
        break;
    case ConfigureNotify: {
        XEvent next;
        while (XCheckTypedWindowEvent(FDpy, w, ConfigureNotify, &next))
            ev = next;
        TRect r = RootBounds(w);
        if (r.IsEmpty() && ev.xconfigure.width > 0)
            r = Bounds(ev.xconfigure.x, ev.xconfigure.y, ev.xconfigure.width, ev.xconfigure.height);
        // The geometry is read after a round trip, so it already includes every move asked for. When it
        // is what was last asked for, this is only the echo of our own request: passing it on could land
        // after a newer move and put the window back where it was a moment ago.
        if (r == it->second.Bounds)
            break;
        it->second.Bounds = r;
        e.Kind = beConfigure;
        e.Rect = r;
        Push(e);
        break;
    }
    case Expose:
        ForgetMirror(w);
        e.Kind = beExpose;
        e.Rect = Bounds(ev.xexpose.x, ev.xexpose.y, ev.xexpose.width, ev.xexpose.height);
        Push(e);
        break;
    case PropertyNotify:
        if (ev.xproperty.atom == NET_WM_STATE || ev.xproperty.atom == WM_STATE_) {
            Atom type;
            int format;
            unsigned long count, after;
            unsigned char* data = nullptr;
            int state = SIZE_RESTORED;
            if (XGetWindowProperty(FDpy, w, WM_STATE_, 0, 2, False, WM_STATE_, &type, &format, &count, &after,
                                   &data) == Success &&
                data && count >= 1 && reinterpret_cast<long*>(data)[0] == IconicState)
                state = SIZE_MINIMIZED;
            if (data)
                XFree(data);
            data = nullptr;
            if (state != SIZE_MINIMIZED &&
                XGetWindowProperty(FDpy, w, NET_WM_STATE, 0, 32, False, XA_ATOM, &type, &format, &count,
                                   &after, &data) == Success &&
                data) {
                Atom* atoms = reinterpret_cast<Atom*>(data);
                bool v = false, h = false;
                for (unsigned long i = 0; i < count; ++i) {
                    v = v || atoms[i] == NET_STATE_MAXV;
                    h = h || atoms[i] == NET_STATE_MAXH;
                    if (atoms[i] == NET_STATE_HIDDEN)
                        state = SIZE_MINIMIZED;
                }
                if (v && h && state != SIZE_MINIMIZED)
                    state = SIZE_MAXIMIZED;
            }
            if (data)
                XFree(data);
            e.Kind = beStateChange;
            e.State = state;
            Push(e);
        }
        break;
    default:
        break;
    }
}

void TX11Backend::CheckConnection() const {
    if (FLost)
        throw EDisplayError("The connection to the X display was lost.");
}

bool TX11Backend::Poll(TBackendEvent& event) {
    CheckConnection();
    if (!FIncr.empty())
        DropStaleIncr();
    if (FEvents.empty()) {
        while (XPending(FDpy)) {
            XEvent ev;
            XNextEvent(FDpy, &ev);
            if (ev.type == KeyPress || ev.type == FocusIn)
                EnsureInputContext(ev.xany.window, ev.type == KeyPress);
            if (XFilterEvent(&ev, None))
                continue;
            Translate(ev);
        }
        CheckConnection();
    }
    if (FEvents.empty())
        return false;
    event = std::move(FEvents.front());
    FEvents.pop_front();
    return true;
}

bool TX11Backend::Wait(int timeoutMs) {
    CheckConnection();
    XFlush(FDpy);
    if (!FEvents.empty() || XPending(FDpy))
        return true;
    pollfd fds[2] = {{ConnectionNumber(FDpy), POLLIN, 0}, {FPipe[0], POLLIN, 0}};
    int r = poll(fds, 2, timeoutMs);
    if (r > 0 && (fds[1].revents & POLLIN)) {
        char buf[64];
        while (read(FPipe[0], buf, sizeof buf) > 0) {
        }
    }
    return r > 0;
}

void TX11Backend::Wake() {
    char c = 1;
    [[maybe_unused]] ssize_t n = write(FPipe[1], &c, 1);
}

} // namespace

std::unique_ptr<TBackend> CreateX11Backend(std::string& error) {
    auto backend = std::make_unique<TX11Backend>();
    if (!backend->Open(error))
        return nullptr;
    return backend;
}

} // namespace plat
