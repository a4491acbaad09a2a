// The yardstick of the start-up benchmark: a client that does the least an X program must do to show
// something. It connects, maps a window, waits until it shows and draws one rectangle.
#include <X11/Xlib.h>

void BareXlibClient() {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return;
    const int screen = DefaultScreen(dpy);
    Window w = XCreateSimpleWindow(dpy, RootWindow(dpy, screen), 0, 0, 1100, 720, 0, BlackPixel(dpy, screen),
                                   WhitePixel(dpy, screen));
    XSelectInput(dpy, w, ExposureMask);
    XMapWindow(dpy, w);
    XEvent ev;
    do
        XNextEvent(dpy, &ev);
    while (ev.type != Expose);
    GC gc = XCreateGC(dpy, w, 0, nullptr);
    XFillRectangle(dpy, w, gc, 10, 10, 200, 100);
    XSync(dpy, False);
    XFreeGC(dpy, gc);
    XDestroyWindow(dpy, w);
    XCloseDisplay(dpy);
}

// An X server resets when its last client leaves (Xvfb does by default), and a program that connects
// just then is refused: one connection stays open for the whole run.
bool KeepDisplayOpen() {
    static Display* keeper = XOpenDisplay(nullptr);
    return keeper != nullptr;
}
