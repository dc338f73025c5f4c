/* xwin.cpp -- a small X client for the end-to-end run: finds a top-level
 * window by its exact title and closes it the way a window manager's close
 * button does (WM_DELETE_WINDOW), so the program sees an ordinary close.
 *
 *   xwin find TITLE MS    waits up to MS for a mapped window titled TITLE;
 *                         prints "id x y width height" (root coordinates)
 *   xwin gone TITLE MS    waits up to MS until no mapped window has TITLE
 *   xwin close TITLE      asks every window titled TITLE to close
 *
 * Exit status 0 on success, 1 when the wait ran out or nothing matched, 2 on
 * bad use or no display. It owns nothing beyond its display connection.
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace
{

constexpr int MAX_FOUND = 16;
/* Pause between two looks at the window tree while waiting. */
constexpr auto POLL = std::chrono::milliseconds(50);

/* The title as UTF-8: _NET_WM_NAME when set (Qt sets it), else WM_NAME. */
std::string windowTitle(Display *dpy, Window w)
{
    Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
    Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    std::string title;
    if (XGetWindowProperty(dpy, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr) {
        title.assign(reinterpret_cast<char *>(data), count);
        XFree(data);
        return title;
    }
    char *name = nullptr;
    if (XFetchName(dpy, w, &name) && name != nullptr) {
        title = name;
        XFree(name);
    }
    return title;
}

bool isMapped(Display *dpy, Window w)
{
    XWindowAttributes a;
    return XGetWindowAttributes(dpy, w, &a) && a.map_state == IsViewable;
}

/* Mapped children of the root (and their children, where a window manager
 * reparents) titled exactly title. */
int findWindows(Display *dpy, const char *title, Window *found)
{
    int n = 0;
    Window root = DefaultRootWindow(dpy), parent, *kids = nullptr;
    unsigned nkids = 0;
    if (!XQueryTree(dpy, root, &root, &parent, &kids, &nkids)) return 0;
    for (unsigned i = 0; i < nkids && n < MAX_FOUND; ++i) {
        Window top = kids[i], *sub = nullptr, dummy;
        unsigned nsub = 0;
        if (windowTitle(dpy, top) == title && isMapped(dpy, top))
            found[n++] = top;
        else if (XQueryTree(dpy, top, &dummy, &dummy, &sub, &nsub)) {
            for (unsigned j = 0; j < nsub && n < MAX_FOUND; ++j)
                if (windowTitle(dpy, sub[j]) == title && isMapped(dpy, sub[j])) found[n++] = sub[j];
        }
        if (sub != nullptr) XFree(sub);
    }
    if (kids != nullptr) XFree(kids);
    return n;
}

int waitFor(Display *dpy, const char *title, long ms, bool present)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    Window found[MAX_FOUND];
    for (;;) {
        const int n = findWindows(dpy, title, found);
        if (present && n > 0) {
            XWindowAttributes a;
            XGetWindowAttributes(dpy, found[0], &a);
            int x = 0, y = 0;
            Window child;
            XTranslateCoordinates(dpy, found[0], DefaultRootWindow(dpy), 0, 0, &x, &y, &child);
            std::printf("%lu %d %d %d %d\n", found[0], x, y, a.width, a.height);
            return 0;
        }
        if (!present && n == 0) return 0;
        if (std::chrono::steady_clock::now() >= end) return 1;
        std::this_thread::sleep_for(POLL);
    }
}

int closeWindows(Display *dpy, const char *title)
{
    Window found[MAX_FOUND];
    const int n = findWindows(dpy, title, found);
    Atom protocols = XInternAtom(dpy, "WM_PROTOCOLS", False);
    Atom del = XInternAtom(dpy, "WM_DELETE_WINDOW", False);
    for (int i = 0; i < n; ++i) {
        XEvent ev;
        std::memset(&ev, 0, sizeof ev);
        ev.xclient.type = ClientMessage;
        ev.xclient.window = found[i];
        ev.xclient.message_type = protocols;
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = static_cast<long>(del);
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(dpy, found[i], False, NoEventMask, &ev);
    }
    XFlush(dpy);
    return n > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "use: xwin find|gone TITLE MS | xwin close TITLE\n");
        return 2;
    }
    Display *dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        std::fprintf(stderr, "xwin: no display\n");
        return 2;
    }
    const std::string verb = argv[1];
    const long ms = argc > 3 ? std::strtol(argv[3], nullptr, 10) : 0;
    int rc = 2;
    if (verb == "find")
        rc = waitFor(dpy, argv[2], ms, true);
    else if (verb == "gone")
        rc = waitFor(dpy, argv[2], ms, false);
    else if (verb == "close")
        rc = closeWindows(dpy, argv[2]);
    XCloseDisplay(dpy);
    return rc;
}
