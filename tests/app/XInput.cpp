// lumetra_xinput: drives a program on an X display the way a user would, for the tests that start the
// program itself (on Xvfb, which has no window manager and no input of its own), and photographs the
// screen. Steps, in order:
//   wait:TITLE      waits (up to 30 s) for a shown top-level window of that title (TITLE* for a title
//                   that begins so); it becomes the window the clicks and keys go to, and its client
//                   origin the origin of the clicks
//   gone:TITLE      waits (up to 30 s) until no top-level window of that title is shown
//   click:X,Y       moves the pointer there (relative to the origin) and clicks the left button
//   rclick:X,Y      the same with the right button
//   key:SPEC        presses and releases a key: an X key name with ctrl+, shift+ or alt+ before it
//                   (Return, Down, ctrl+d)
//   type:TEXT       types the text, key by key (printable ASCII)
//   sleep:MS        waits
//   shot:FILE.png   writes the whole screen as a PNG file
// Exit code 0 when every step was done, 1 otherwise (with the step on the error stream).
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

Display* dpy = nullptr;
Window target = 0;
int originX = 0, originY = 0;

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool TitleIs(Window w, const std::string& title) {
    char* name = nullptr;
    bool same = false;
    if (XFetchName(dpy, w, &name) && name) {
        if (!title.empty() && title.back() == '*')
            same = std::strncmp(name, title.c_str(), title.size() - 1) == 0;
        else
            same = title == name;
        XFree(name);
    }
    return same;
}

Window FindShown(const std::string& title) {
    Window root = DefaultRootWindow(dpy), parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &children, &count))
        return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes wa;
        if (XGetWindowAttributes(dpy, children[i], &wa) && wa.map_state == IsViewable &&
            TitleIs(children[i], title))
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

bool Wait(const std::string& title) {
    for (int tries = 0; tries < 300; ++tries) {
        if (Window w = FindShown(title)) {
            Window child;
            XTranslateCoordinates(dpy, w, DefaultRootWindow(dpy), 0, 0, &originX, &originY, &child);
            target = w;
            return true;
        }
        Pause(100);
    }
    return false;
}

bool Gone(const std::string& title) {
    for (int tries = 0; tries < 300; ++tries) {
        if (!FindShown(title))
            return true;
        Pause(100);
    }
    return false;
}

void SendButton(int type, int x, int y, unsigned button) {
    XEvent ev{};
    ev.xbutton.type = type;
    ev.xbutton.display = dpy;
    ev.xbutton.window = target;
    ev.xbutton.root = DefaultRootWindow(dpy);
    ev.xbutton.x_root = x;
    ev.xbutton.y_root = y;
    ev.xbutton.x = x - originX;
    ev.xbutton.y = y - originY;
    ev.xbutton.button = button;
    ev.xbutton.state = type == ButtonRelease ? (button == Button3 ? Button3Mask : Button1Mask) : 0;
    ev.xbutton.same_screen = True;
    ev.xbutton.time = CurrentTime;
    XSendEvent(dpy, target, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &ev);
    XFlush(dpy);
}

bool Click(int x, int y, unsigned button) {
    if (!target)
        return false;
    const int rx = originX + x, ry = originY + y;
    XWarpPointer(dpy, None, DefaultRootWindow(dpy), 0, 0, 0, 0, rx, ry);
    XSync(dpy, False);
    Pause(80);
    SendButton(ButtonPress, rx, ry, button);
    Pause(40);
    SendButton(ButtonRelease, rx, ry, button);
    Pause(200);
    return true;
}

void SendKey(int type, unsigned keycode, unsigned state) {
    XEvent ev{};
    ev.xkey.type = type;
    ev.xkey.display = dpy;
    ev.xkey.window = target;
    ev.xkey.root = DefaultRootWindow(dpy);
    ev.xkey.keycode = keycode;
    ev.xkey.state = state;
    ev.xkey.same_screen = True;
    ev.xkey.time = CurrentTime;
    XSendEvent(dpy, target, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &ev);
    XFlush(dpy);
}

bool PressKey(KeySym sym, unsigned state) {
    const unsigned keycode = sym == NoSymbol ? 0 : XKeysymToKeycode(dpy, sym);
    if (!keycode)
        return false;
    SendKey(KeyPress, keycode, state);
    Pause(20);
    SendKey(KeyRelease, keycode, state);
    return true;
}

bool Key(std::string spec) {
    if (!target)
        return false;
    unsigned state = 0;
    for (const auto& [prefix, mask] :
         {std::pair<const char*, unsigned>{"ctrl+", ControlMask}, {"shift+", ShiftMask}, {"alt+", Mod1Mask}})
        if (spec.rfind(prefix, 0) == 0) {
            state |= mask;
            spec.erase(0, std::strlen(prefix));
        }
    if (!PressKey(XStringToKeysym(spec.c_str()), state))
        return false;
    Pause(120);
    return true;
}

// Latin-1 key symbols are the characters' codes; the shift state is the one the key map gives the
// character (index 1 of its key), so that the program's own lookup of the key finds the same character.
bool Type(const std::string& text) {
    if (!target)
        return false;
    for (const char c : text) {
        const KeySym sym = static_cast<unsigned char>(c);
        const KeyCode code = XKeysymToKeycode(dpy, sym);
        if (!code)
            return false;
        const unsigned state = XkbKeycodeToKeysym(dpy, code, 0, 0) == sym ? 0 : ShiftMask;
        SendKey(KeyPress, code, state);
        SendKey(KeyRelease, code, state);
        Pause(15);
    }
    Pause(200);
    return true;
}

bool Shot(const std::string& file) {
    Window root = DefaultRootWindow(dpy);
    XWindowAttributes wa;
    XGetWindowAttributes(dpy, root, &wa);
    XImage* image = XGetImage(dpy, root, 0, 0, wa.width, wa.height, AllPlanes, ZPixmap);
    if (!image)
        return false;
    FILE* out = std::fopen(file.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = out && png && info && !setjmp(png_jmpbuf(png));
    if (ok) {
        png_init_io(png, out);
        png_set_IHDR(png, info, wa.width, wa.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        std::vector<png_byte> row(static_cast<size_t>(wa.width) * 3);
        for (int y = 0; y < wa.height; ++y) {
            for (int x = 0; x < wa.width; ++x) {
                const unsigned long p = XGetPixel(image, x, y);
                row[x * 3] = static_cast<png_byte>((p & image->red_mask) >> 16);
                row[x * 3 + 1] = static_cast<png_byte>((p & image->green_mask) >> 8);
                row[x * 3 + 2] = static_cast<png_byte>(p & image->blue_mask);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    }
    if (png)
        png_destroy_write_struct(&png, info ? &info : nullptr);
    if (out)
        std::fclose(out);
    XDestroyImage(image);
    return ok;
}

bool Step(const std::string& step) {
    const size_t colon = step.find(':');
    const std::string verb = step.substr(0, colon);
    const std::string arg = colon == std::string::npos ? std::string() : step.substr(colon + 1);
    if (verb == "wait")
        return Wait(arg);
    if (verb == "gone")
        return Gone(arg);
    if (verb == "type")
        return Type(arg);
    if (verb == "sleep") {
        Pause(std::atoi(arg.c_str()));
        return true;
    }
    if (verb == "click" || verb == "rclick") {
        int x = 0, y = 0;
        return std::sscanf(arg.c_str(), "%d,%d", &x, &y) == 2 &&
               Click(x, y, verb == "click" ? Button1 : Button3);
    }
    if (verb == "key")
        return Key(arg);
    if (verb == "shot")
        return Shot(arg);
    return false;
}

} // namespace

// The program may close its window under an event being sent (that is what File > Exit does).
int IgnoreGoneWindows(Display*, XErrorEvent* error) {
    if (error->error_code != BadWindow)
        std::fprintf(stderr, "lumetra_xinput: X error %d\n", error->error_code);
    return 0;
}

int main(int argc, char** argv) {
    XSetErrorHandler(IgnoreGoneWindows);
    dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "lumetra_xinput: no display\n");
        return 1;
    }
    for (int i = 1; i < argc; ++i)
        if (!Step(argv[i])) {
            std::fprintf(stderr, "lumetra_xinput: step failed: %s\n", argv[i]);
            XCloseDisplay(dpy);
            return 1;
        }
    XCloseDisplay(dpy);
    return 0;
}
