#include "platform/testing/TestDriver.h"

#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <stdexcept>

#include "platform/rtl/MainThread.h"
#include "platform/rtl/StringUtils.h"
#include "platform/testing/TestOutput.h"
#include "platform/ui/Application.h"
#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/Input.h"
#include "platform/ui/MessageLoop.h"
#include "platform/ui/Paint.h"
#include "platform/ui/Screen.h"
#include "platform/ui/WindowSystem.h"

namespace plat {

namespace {

std::deque<std::function<void(TCustomForm&)>>& Answers() {
    static std::deque<std::function<void(TCustomForm&)>> answers;
    return answers;
}

void RunNextAnswer(TCustomForm& form) {
    auto& answers = Answers();
    if (answers.empty()) {
        // Nobody expected this form: close it rather than hang the test.
        form.SetModalResult(mrCancel);
        return;
    }
    auto answer = std::move(answers.front());
    answers.pop_front();
    answer(form);
}

} // namespace

TTestDriver::TTestDriver() : FClock(1000) {
    DoneApplication();
    std::unique_ptr<TBackend> backend;
    const char* x11 = std::getenv("LUMETRA_TEST_X11");
    if (x11 && std::string(x11) == "1") {
        std::string error;
        // A display that just lost a connection may refuse the next one for a moment.
        for (int attempt = 0; attempt < 40 && !backend; ++attempt) {
            backend = CreateX11Backend(error);
            if (!backend)
                Sleep(50);
        }
        if (!backend)
            throw std::runtime_error("LUMETRA_TEST_X11=1 but no X display: " + error);
    } else {
        auto headless = std::make_unique<THeadlessBackend>(1920, 1080);
        headless->SetStallLimit(5000);
        FHeadless = headless.get();
        backend = std::move(headless);
    }
    FBackend = backend.get();
    SelectBackend(std::move(backend));
    FClockScope = std::make_unique<TScopedClock>(FClock);
    SetMainThreadId();
    Answers().clear();
    SetModalHook(RunNextAnswer);
    if (Application)
        Application->Initialize();
}

TTestDriver::~TTestDriver() {
    SetModalHook(nullptr);
    Answers().clear();
    DoneApplication();
    // Leave nothing queued for the next test.
    for (int i = 0; i < 100; ++i) {
        try {
            if (!CheckSynchronize(0))
                break;
        } catch (...) {
        }
    }
    FClockScope.reset();
}

void TTestDriver::Pump(int limit) {
    for (int round = 0; round < limit; ++round) {
        FBackend->Sync();
        Application->ProcessMessages();
        bool done = Application->Idle();
        if (done && !HasPendingMessages())
            return;
    }
    throw std::runtime_error("the program keeps itself busy: messages are still pending after many rounds");
}

void TTestDriver::Advance(uint64_t milliseconds, uint64_t step) {
    step = std::max<uint64_t>(1, step);
    Pump();
    while (milliseconds > 0) {
        uint64_t d = std::min(milliseconds, step);
        FClock.Advance(d);
        milliseconds -= d;
        Pump();
    }
}

void TTestDriver::Inject(TBackendEvent e, bool pump) {
    if (e.Time == 0)
        e.Time = GetTickCount();
    FBackend->InjectEvent(e);
    if (pump)
        Pump();
}

TBackendEvent TTestDriver::PointerEvent(TBackendEventKind kind, TPoint screen, TTestMouseButton button,
                                        uint32_t modifiers) {
    TBackendEvent e;
    e.Kind = kind;
    e.ScreenPos = screen;
    e.Button = button;
    e.Modifiers = modifiers;
    return e;
}

void TTestDriver::MoveTo(TPoint screen, uint32_t modifiers) {
    TBackendEvent e;
    e.Kind = bePointerMove;
    e.ScreenPos = screen;
    e.Modifiers = modifiers;
    Inject(e);
}

void TTestDriver::Press(TPoint screen, TTestMouseButton button, uint32_t modifiers) {
    TBackendEvent e;
    e.Kind = beButtonDown;
    e.ScreenPos = screen;
    e.Button = button;
    e.Modifiers = modifiers;
    Inject(e);
}

void TTestDriver::Release(TPoint screen, TTestMouseButton button, uint32_t modifiers) {
    TBackendEvent e;
    e.Kind = beButtonUp;
    e.ScreenPos = screen;
    e.Button = button;
    e.Modifiers = modifiers;
    Inject(e);
}

// Gestures are queued whole before anything runs: a press may start a loop of its own (a drag, a
// caption button, a move) that takes the rest of the gesture from the queue.
void TTestDriver::Click(TPoint screen, TTestMouseButton button, uint32_t modifiers) {
    Inject(PointerEvent(bePointerMove, screen, button, modifiers), false);
    Inject(PointerEvent(beButtonDown, screen, button, modifiers), false);
    Inject(PointerEvent(beButtonUp, screen, button, modifiers));
}

void TTestDriver::DoubleClick(TPoint screen, TTestMouseButton button, uint32_t modifiers) {
    Inject(PointerEvent(bePointerMove, screen, button, modifiers), false);
    for (int i = 0; i < 2; ++i) {
        Inject(PointerEvent(beButtonDown, screen, button, modifiers), false);
        Inject(PointerEvent(beButtonUp, screen, button, modifiers), false);
    }
    Pump();
}

void TTestDriver::Drag(TPoint from, TPoint to, int steps, TTestMouseButton button, uint32_t modifiers) {
    Inject(PointerEvent(bePointerMove, from, button, modifiers), false);
    Inject(PointerEvent(beButtonDown, from, button, modifiers), false);
    steps = std::max(1, steps);
    for (int i = 1; i <= steps; ++i) {
        TPoint p(from.X + (to.X - from.X) * i / steps, from.Y + (to.Y - from.Y) * i / steps);
        Inject(PointerEvent(bePointerMove, p, button, modifiers), false);
    }
    Inject(PointerEvent(beButtonUp, to, button, modifiers));
}

void TTestDriver::Wheel(TPoint screen, int delta, uint32_t modifiers) {
    TBackendEvent e;
    e.Kind = beWheel;
    e.ScreenPos = screen;
    e.WheelDelta = delta;
    e.Modifiers = modifiers;
    Inject(e);
}

TPoint TTestDriver::ScreenPoint(HWND wnd, TPoint client) {
    ClientToScreen(wnd, client);
    return client;
}

TPoint TTestDriver::ScreenPoint(TControl* control, TPoint client) {
    return control->ClientToScreen(client);
}

TPoint TTestDriver::CenterClient(TControl* control) {
    TRect r = control->ClientRect();
    return TPoint(r.Width() / 2, r.Height() / 2);
}

TPoint TTestDriver::CenterOf(TControl* control) {
    return control->ClientToScreen(CenterClient(control));
}

void TTestDriver::Click(TControl* control, TPoint client, TTestMouseButton button, uint32_t modifiers) {
    Click(ScreenPoint(control, client), button, modifiers);
}

void TTestDriver::DoubleClick(TControl* control, TPoint client, TTestMouseButton button) {
    DoubleClick(ScreenPoint(control, client), button);
}

void TTestDriver::Drag(TControl* control, TPoint fromClient, TPoint toClient, int steps,
                       TTestMouseButton button) {
    Drag(ScreenPoint(control, fromClient), ScreenPoint(control, toClient), steps, button);
}

void TTestDriver::Wheel(TControl* control, TPoint client, int delta, uint32_t modifiers) {
    Wheel(ScreenPoint(control, client), delta, modifiers);
}

void TTestDriver::KeyDown(uint16_t vk, uint32_t modifiers, const std::string& text) {
    TBackendEvent e;
    e.Kind = beKeyDown;
    e.VirtualKey = vk;
    e.Modifiers = modifiers;
    e.Text = text;
    Inject(e);
}

void TTestDriver::KeyUp(uint16_t vk, uint32_t modifiers) {
    TBackendEvent e;
    e.Kind = beKeyUp;
    e.VirtualKey = vk;
    e.Modifiers = modifiers;
    Inject(e);
}

void TTestDriver::PressKey(uint16_t vk, uint32_t modifiers) {
    // The text a keyboard gives with the key, as an input method would.
    std::string text;
    bool ctrl = modifiers & modControl, alt = modifiers & modAlt, shift = modifiers & modShift;
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl && !alt)
            text = std::string(1, static_cast<char>(vk - 'A' + 1));
        else
            text = std::string(1, static_cast<char>(shift ? vk : std::tolower(vk)));
    } else if (vk >= '0' && vk <= '9' && !ctrl) {
        text = std::string(1, static_cast<char>(vk));
    } else if (vk == VK_SPACE) {
        text = " ";
    } else if (vk == VK_RETURN) {
        text = "\r";
    } else if (vk == VK_ESCAPE) {
        text = "\x1b";
    } else if (vk == VK_TAB && !ctrl) {
        text = "\t";
    } else if (vk == VK_BACK) {
        text = "\b";
    }
    TBackendEvent down;
    down.Kind = beKeyDown;
    down.VirtualKey = vk;
    down.Modifiers = modifiers;
    down.Text = text;
    Inject(down, false);
    TBackendEvent up;
    up.Kind = beKeyUp;
    up.VirtualKey = vk;
    up.Modifiers = modifiers;
    Inject(up);
}

void TTestDriver::Type(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isalpha(c)) {
            bool upper = std::isupper(c);
            KeyDown(static_cast<uint16_t>(std::toupper(c)), upper ? modShift : 0,
                    std::string(1, static_cast<char>(c)));
            KeyUp(static_cast<uint16_t>(std::toupper(c)), upper ? modShift : 0);
        } else if (std::isdigit(c) || c == ' ') {
            KeyDown(c, 0, std::string(1, static_cast<char>(c)));
            KeyUp(c, 0);
        } else {
            // Everything else arrives as committed text, one character (UTF-8 sequence) at a time.
            const TUtf8Char u = Utf8DecodeAt(text, i);
            const size_t len = u.Valid() ? u.Length : 1;
            TBackendEvent e;
            e.Kind = beText;
            e.Text = text.substr(i, len);
            i += len - 1;
            Inject(e);
        }
    }
}

HWND TTestDriver::FocusedWindow() {
    return GetFocus();
}

TControl* TTestDriver::FocusedControl() {
    return FindControl(GetFocus());
}

void TTestDriver::AnswerNextModal(std::function<void(TCustomForm& form)> answer) {
    Answers().push_back(std::move(answer));
}

int TTestDriver::PendingModalAnswers() const {
    return static_cast<int>(Answers().size());
}

namespace {
std::string WithoutAccel(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size())
            ++i;
        out += s[i];
    }
    return out;
}
} // namespace

TControl* TTestDriver::FindByCaption(TWinControl* parent, const std::string& caption) {
    if (!parent)
        return nullptr;
    const std::string wanted = WithoutAccel(caption);
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (WithoutAccel(c->Caption()) == wanted)
            return c;
    }
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(parent->Controls(i)))
            if (TControl* found = FindByCaption(w, caption))
                return found;
    return nullptr;
}

void TTestDriver::ClickButton(TWinControl* parent, const std::string& caption) {
    TControl* c = FindByCaption(parent, caption);
    if (!c)
        throw std::runtime_error("no control captioned \"" + caption + "\"");
    Click(c);
}

std::unique_ptr<TImageSurface> TTestDriver::Crop(HWND anyInTop, const TRect& screenRect) {
    Pump();
    FlushWindowPaint();
    HWND top = GetAncestorRoot(anyInTop);
    const TImageSurface* image = GetWindowImage(top);
    auto out =
        std::make_unique<TImageSurface>(std::max(1, screenRect.Width()), std::max(1, screenRect.Height()));
    if (!image)
        return out;
    TRect topRect;
    GetWindowRect(top, topRect);
    // The columns of the crop that lie on the window's image, copied a row at a time.
    const int shift = screenRect.Left - topRect.Left;
    const int first = std::max(0, -shift);
    const int last = std::min(out->Width(), image->Width() - shift);
    for (int y = 0; y < out->Height() && first < last; ++y) {
        int sy = screenRect.Top + y - topRect.Top;
        if (sy < 0 || sy >= image->Height())
            continue;
        std::copy(image->Row(sy) + first + shift, image->Row(sy) + last + shift, out->Row(y) + first);
    }
    return out;
}

std::unique_ptr<TImageSurface> TTestDriver::Render(HWND wnd) {
    TRect r;
    GetWindowRect(wnd, r);
    return Crop(wnd, r);
}

std::unique_ptr<TImageSurface> TTestDriver::Render(TControl* control) {
    if (auto* w = dynamic_cast<TWinControl*>(control))
        return Render(w->Handle());
    TPoint p = control->Parent()->ClientToScreen(TPoint(control->Left(), control->Top()));
    return Crop(control->Parent()->Handle(), Bounds(p.X, p.Y, control->Width(), control->Height()));
}

std::unique_ptr<TImageSurface> TTestDriver::RenderScreen(const TRect& area) {
    Pump();
    FlushWindowPaint();
    auto out = std::make_unique<TImageSurface>(std::max(1, area.Width()), std::max(1, area.Height()));
    TColor desk = ColorToRGB(clBackground);
    uint32_t deskPixel = 0xFF000000u | (GetRValue(desk) << 16) | (GetGValue(desk) << 8) | GetBValue(desk);
    for (int y = 0; y < out->Height(); ++y)
        std::fill(out->Row(y), out->Row(y) + out->Width(), deskPixel);
    std::vector<HWND> tops = GetChildWindows(nullptr);
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        HWND top = *it;
        if (!IsWindowVisible(top) || IsIconic(top))
            continue;
        const TImageSurface* image = GetWindowImage(top);
        if (!image)
            continue;
        TRect r;
        GetWindowRect(top, r);
        TRegion region;
        bool hasRegion = GetWindowRgn(top, region) != 0;
        uint8_t alpha = 255;
        GetLayeredWindowAttributes(top, nullptr, &alpha, nullptr);
        for (int y = 0; y < image->Height(); ++y) {
            int dy = r.Top + y - area.Top;
            if (dy < 0 || dy >= out->Height())
                continue;
            for (int x = 0; x < image->Width(); ++x) {
                int dx = r.Left + x - area.Left;
                if (dx < 0 || dx >= out->Width() || (hasRegion && !region.Contains(x, y)))
                    continue;
                uint32_t src = image->Row(y)[x];
                uint32_t& dst = out->Row(dy)[dx];
                if (alpha == 255) {
                    dst = src | 0xFF000000u;
                } else {
                    auto mix = [&](int shift) {
                        int s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
                        return static_cast<uint32_t>((s * alpha + d * (255 - alpha)) / 255) << shift;
                    };
                    dst = 0xFF000000u | mix(16) | mix(8) | mix(0);
                }
            }
        }
    }
    return out;
}

TColor TTestDriver::PixelOf(const TImageSurface& image, int x, int y) {
    if (x < 0 || y < 0 || x >= image.Width() || y >= image.Height())
        return clNone;
    uint32_t p = image.Row(y)[x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

TColor TTestDriver::Pixel(HWND wnd, int x, int y) {
    TPoint p(x, y);
    ClientToScreen(wnd, p);
    auto image = Crop(wnd, Bounds(p.X, p.Y, 1, 1));
    return PixelOf(*image, 0, 0);
}

TColor TTestDriver::Pixel(TControl* control, int x, int y) {
    if (auto* w = dynamic_cast<TWinControl*>(control))
        return Pixel(w->Handle(), x, y);
    return Pixel(control->Parent()->Handle(), control->Left() + x, control->Top() + y);
}

std::string TTestDriver::OutputDir() {
    return TestOutputDir("ui");
}

std::string TTestDriver::SavePng(const TImageSurface& image, const std::string& name) {
    std::filesystem::path path(name);
    if (path.is_relative())
        path = std::filesystem::path(OutputDir()) / path;
    auto& surface = const_cast<TImageSurface&>(image);
    surface.BeginCairo();
    cairo_status_t status = cairo_surface_write_to_png(surface.CairoSurface(), path.string().c_str());
    surface.EndCairo();
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path.string() + ": " + cairo_status_to_string(status));
    return path.string();
}

} // namespace plat
