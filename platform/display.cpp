/* display.cpp -- whether the windows have a display to open on, asked before
 * the application object is made: Qt, given a display it cannot reach,
 * aborts the program with a message about reinstalling it. A DISPLAY left
 * over from an ssh session that has ended, one kept by sudo for a user the X
 * server does not admit, and a WAYLAND_DISPLAY naming a socket that is not
 * there are told instead, in one line that names the display and says what
 * to do.
 *
 * An X11 display is reached as its client library reaches it (the local
 * socket, abstract or in /tmp/.X11-unix, then TCP) and greeted through that
 * library, libxcb, which the X11 platform loads anyway and which is opened
 * here only for the moment of the check; a Wayland display is its socket.
 * When only one of two named displays answers, Qt is pointed at that one,
 * so that it does not try the other first. A platform Qt is told to use that
 * needs no display (offscreen, vnc, ...) is not checked.
 *
 * No state; the one change is QT_QPA_PLATFORM where it was not set.
 */
#include "platform/win.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <pwd.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{

constexpr int X_TCP_PORT = 6000;  /* display n listens on 6000 + n */
constexpr int TCP_WAIT_MS = 3000; /* a remote display that answers does so at once */
constexpr int REASON_LEN = 256;   /* the X server's words for a refusal */
const char X_SOCKETS[] = "/tmp/.X11-unix/X";

/* What one display said. */
struct Reach {
    bool named;       /* its variable is set (or Qt was told to use it) */
    bool reached;     /* it can be opened, or it is not ours to judge */
    std::string why;  /* why not, for the one line */
    std::string todo; /* and what to do about it */
};

/* What to do about a display that is not there. */
const char *const START_IN_SESSION = "start it in a terminal of the desktop session";

/* Connects a stream socket to addr within TCP_WAIT_MS; the descriptor, or
 * -1 with errno set. */
int connectTo(int family, const sockaddr *addr, socklen_t len)
{
    const int fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    if (connect(fd, addr, len) == 0) return fd;
    if (errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        int err = 0;
        socklen_t n = sizeof err;
        if (poll(&p, 1, TCP_WAIT_MS) == 1 && getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &n) == 0 &&
            err == 0)
            return fd;
        errno = err != 0 ? err : ETIMEDOUT;
    }
    const int e = errno;
    close(fd);
    errno = e;
    return -1;
}

/* A local socket by path; abstract when the path starts with NUL. */
int connectLocal(const char *path, std::size_t len)
{
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    if (len >= sizeof a.sun_path) return errno = ENAMETOOLONG, -1;
    std::memcpy(a.sun_path, path, len);
    return connectTo(AF_UNIX, reinterpret_cast<sockaddr *>(&a),
                     static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + len));
}

int connectTcp(const std::string &host, int port)
{
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *list = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list) != 0)
        return errno = EHOSTUNREACH, -1;
    int fd = -1;
    for (addrinfo *a = list; a != nullptr && fd < 0; a = a->ai_next)
        fd = connectTo(a->ai_family, a->ai_addr, a->ai_addrlen);
    freeaddrinfo(list);
    return fd;
}

/* Greets the X server at display through libxcb, with its authorisation, as
 * the X11 platform will. "" when it admits the program, or why not: the
 * server's reason for refusing, or what libxcb found wrong. A library that
 * cannot be loaded leaves the judgement to Qt (""). libxcb writes the
 * server's reason on standard error; it is caught there, so the program
 * still says one line. */
std::string greetX(const char *display)
{
    constexpr int PARSE_ERROR = 5;    /* XCB_CONN_CLOSED_PARSE_ERR */
    constexpr int INVALID_SCREEN = 6; /* XCB_CONN_CLOSED_INVALID_SCREEN */
    void *lib = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) return "";
    using Connect = void *(*)(const char *, int *);
    using HasError = int (*)(void *);
    using Disconnect = void (*)(void *);
    const auto connectX = reinterpret_cast<Connect>(dlsym(lib, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(dlsym(lib, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(dlsym(lib, "xcb_disconnect"));
    std::string reason;
    int caught[2];
    if (connectX != nullptr && hasError != nullptr && disconnect != nullptr &&
        pipe2(caught, O_CLOEXEC | O_NONBLOCK) == 0) {
        std::fflush(stderr);
        const int saved = dup(STDERR_FILENO);
        dup2(caught[1], STDERR_FILENO);
        int screen = 0; /* asked for: libxcb then checks that the screen exists */
        void *c = connectX(display, &screen);
        const int error = hasError(c);
        disconnect(c);
        dup2(saved, STDERR_FILENO);
        close(saved);
        close(caught[1]);
        char text[REASON_LEN] = {};
        const ssize_t n = read(caught[0], text, sizeof text - 1);
        close(caught[0]);
        if (error == PARSE_ERROR)
            reason = "it is not a display name, [host]:number[.screen]";
        else if (error == INVALID_SCREEN)
            reason = "it has no such screen";
        else if (error != 0 && n > 0)
            reason =
                "it does not admit this user: " + std::string(text, static_cast<std::size_t>(n));
        else if (error != 0)
            reason = "the connection failed";
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == '.'))
            reason.pop_back();
        for (char &ch : reason)
            if (ch == '\n') ch = ' ';
    }
    dlclose(lib);
    return reason;
}

/* The name of the user the program runs as, for the X server's access list. */
std::string userName()
{
    char buf[1024];
    passwd pw{};
    passwd *found = nullptr;
    if (getpwuid_r(geteuid(), &pw, buf, sizeof buf, &found) == 0 && found != nullptr)
        return pw.pw_name;
    return std::to_string(geteuid());
}

/* What the X server at display (told as name) answers a greeting. */
Reach greeted(const char *display, const std::string &name)
{
    const std::string refused = greetX(display);
    if (refused.empty()) return {true, true, "", ""};
    if (refused.rfind("it does not admit", 0) == 0)
        return {true, false, name + ": " + refused,
                "run it as the user of the desktop session, or admit this user from that "
                "session with 'xhost +SI:localuser:" +
                    userName() + "'"};
    return {true, false, name + ": " + refused,
            std::string(START_IN_SESSION) + ", or set DISPLAY to a display that is running"};
}

/* The X11 display named by DISPLAY, "[protocol/][host]:number[.screen]";
 * forced: Qt is told to use X11. */
Reach x11(bool forced)
{
    const char *d = std::getenv("DISPLAY");
    if (d == nullptr || *d == '\0')
        return {forced, false, "QT_QPA_PLATFORM asks for X11, and DISPLAY is not set",
                START_IN_SESSION};
    const std::string display = d;
    const std::string name = "the X11 display " + display + " (DISPLAY)";
    std::string rest = display, protocol;
    const std::size_t colon = rest.rfind(':');
    if (const std::size_t slash = rest.find('/'); slash != std::string::npos && slash < colon) {
        protocol = rest.substr(0, slash);
        rest.erase(0, slash + 1);
    }
    const std::size_t at = rest.rfind(':');
    /* forms this check does not know (DECnet "host::0", a bad name): libxcb's */
    if (at == std::string::npos || at + 1 >= rest.size() || rest[at + 1] < '0' ||
        rest[at + 1] > '9' || (at > 0 && rest[at - 1] == ':'))
        return greeted(d, name);
    std::string host = rest.substr(0, at);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const int number = std::atoi(rest.c_str() + at + 1);

    int fd = -1;
    const bool local = host.empty() || host == "unix" || protocol == "unix";
    if (local) {
        /* the abstract socket first, then the file, as libxcb tries them */
        const std::string path = X_SOCKETS + std::to_string(number);
        const std::string abstract = std::string(1, '\0') + path;
        fd = connectLocal(abstract.data(), abstract.size());
        if (fd < 0) fd = connectLocal(path.c_str(), path.size());
    }
    if (fd < 0 && (!local || (host.empty() && protocol.empty())))
        fd = connectTcp(host.empty() ? "localhost" : host, X_TCP_PORT + number);
    if (fd < 0)
        return {true, false, name + ": no X server answers there (" + std::strerror(errno) + ")",
                std::string(START_IN_SESSION) +
                    ", or set DISPLAY to a display that is running (ssh -X forwards one)"};
    close(fd);
    return greeted(d, name);
}

/* The Wayland display named by WAYLAND_DISPLAY (forced: "wayland-0" when
 * unset, as the Wayland library takes it): its socket, an absolute path or
 * one in XDG_RUNTIME_DIR. */
Reach wayland(bool forced)
{
    if (const char *s = std::getenv("WAYLAND_SOCKET"); s != nullptr && *s != '\0')
        return {true, true, "", ""}; /* a connection handed over by the compositor */
    const char *w = std::getenv("WAYLAND_DISPLAY");
    if ((w == nullptr || *w == '\0') && !forced) return {false, false, "", ""};
    const std::string socketName = w != nullptr && *w != '\0' ? w : "wayland-0";
    const std::string name = "the Wayland display " + socketName + " (WAYLAND_DISPLAY)";
    std::string path = socketName;
    if (path.front() != '/') {
        const char *dir = std::getenv("XDG_RUNTIME_DIR");
        if (dir == nullptr || *dir == '\0')
            return {true, false, name + ": XDG_RUNTIME_DIR, where its socket is, is not set",
                    START_IN_SESSION};
        path = std::string(dir) + "/" + path;
    }
    const int fd = connectLocal(path.c_str(), path.size());
    if (fd < 0)
        return {true, false,
                name + ": no compositor answers at " + path + " (" + std::strerror(errno) + ")",
                std::string(START_IN_SESSION) +
                    ", or set WAYLAND_DISPLAY to the socket of a compositor that is running"};
    close(fd);
    return {true, true, "", ""};
}

/* What QT_QPA_PLATFORM asks for: both false when it is not set; other set
 * when it names a platform other than X11 and Wayland. */
struct Asked {
    bool set = false, xcb = false, wayland = false, other = false;
};

Asked asked()
{
    Asked a;
    const char *p = std::getenv("QT_QPA_PLATFORM");
    if (p == nullptr || *p == '\0') return a;
    a.set = true;
    /* "name[:options][;name...]": Qt tries the names in turn */
    std::string list = p;
    for (std::size_t start = 0; start <= list.size();) {
        std::size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        const std::string item = list.substr(start, end - start);
        const std::string plugin = item.substr(0, item.find(':'));
        if (plugin == "xcb")
            a.xcb = true;
        else if (plugin.rfind("wayland", 0) == 0)
            a.wayland = true;
        else if (!plugin.empty())
            a.other = true;
        start = end + 1;
    }
    return a;
}

} // namespace

int WIN_CheckDisplay(char *out, std::size_t len)
{
    const Asked a = asked();
    if (a.other) return 0;
    const Reach none{false, false, "", ""};
    const Reach x = !a.set || a.xcb ? x11(a.xcb) : none;
    const Reach w = !a.set || a.wayland ? wayland(a.wayland) : none;
    if (x.reached || w.reached) {
        /* Only one of the two answers: Qt, left to itself, tries Wayland
         * first and, where it is not there, fills standard error with its
         * failure before it falls back to X11. */
        if (!a.set && x.named && w.named && x.reached != w.reached)
            setenv("QT_QPA_PLATFORM", x.reached ? "xcb" : "wayland", 1);
        return 0;
    }
    if (!x.named && !w.named)
        std::snprintf(out, len,
                      "needs a graphical session: neither DISPLAY (X11) nor WAYLAND_DISPLAY "
                      "(Wayland) is set; %s",
                      START_IN_SESSION);
    else if (x.named && w.named)
        std::snprintf(out, len, "cannot open its windows: %s; %s; %s", x.why.c_str(), w.why.c_str(),
                      START_IN_SESSION);
    else
        std::snprintf(out, len, "cannot open its windows: %s; %s", (x.named ? x : w).why.c_str(),
                      (x.named ? x : w).todo.c_str());
    return 1;
}
