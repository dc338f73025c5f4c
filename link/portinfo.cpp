/* portinfo.cpp -- lock files, device ownership, USB adapter names and the
 * messages for a port that cannot be opened or was lost (see portinfo.h).
 *
 * No state. Reads /run/lock, /var/lock, /proc, /sys and the device nodes;
 * writes nothing anywhere and never opens a terminal.
 */
#include "link/portinfo.h"

#include "config/texts.h"
#include "link/portname.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

/* Where UUCP lock files are kept: the first is today's place, the second
 * the traditional one (often a link to the first). */
static const char *const lockFolders[] = {"/run/lock", "/var/lock"};
constexpr int SYSFS_LEVELS = 4; /* from the tty's device up to the USB device */
/* A port lost while open: the device, then the system's reason. One line,
 * for a status line or a terminal. */
static const wchar_t *const LOST_TEXT = L"the Kaltro's port %ls went away";
static const wchar_t *const LOST_REASON_TEXT = L"the Kaltro's port %ls went away: %ls";

/* s into out, cut to its len - 1 bytes. */
static void copyText(char *out, std::size_t len, const char *s)
{
    if (len == 0) return;
    const std::size_t n = std::min(std::strlen(s), len - 1);
    std::memcpy(out, s, n);
    out[n] = '\0';
}

/* path with its links followed, or path itself when that fails. */
static void resolved(const char *path, char (&out)[PORTINFO_PATH_LEN])
{
    char buf[PATH_MAX];
    copyText(out, sizeof out, realpath(path, buf) != nullptr ? buf : path);
}

/* Reads the first line of a small file into out, without its line end.
 * 0, or 1 when it cannot be read. */
static int readLine(const char *file, char *out, std::size_t len)
{
    const int fd = open(file, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return 1;
    const ssize_t n = read(fd, out, len - 1);
    close(fd);
    if (n <= 0) return 1;
    out[n] = '\0';
    out[std::strcspn(out, "\n")] = '\0';
    return 0;
}

/* The process id in a lock file: ten ASCII digits (HDB), or a binary int
 * (the older form). 0 when the file holds neither. */
static int lockPid(const char *file)
{
    const int fd = open(file, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return 0;
    char buf[32] = {};
    const ssize_t n = read(fd, buf, sizeof buf - 1);
    close(fd);
    if (n == static_cast<ssize_t>(sizeof(int)) && std::strspn(buf, " 0123456789\n") != 4) {
        int pid = 0;
        std::memcpy(&pid, buf, sizeof pid);
        return pid > 0 ? pid : 0;
    }
    const long pid = n > 0 ? std::strtol(buf, nullptr, 10) : 0;
    return pid > 0 && pid < 0x7fffffff ? static_cast<int>(pid) : 0;
}

int PORTINFO_LockOwner(const char *path, char *name, std::size_t len)
{
    if (name != nullptr && len > 0) name[0] = '\0';
    char dev[PORTINFO_PATH_LEN];
    resolved(path, dev);
    /* "/dev/ttyUSB0" is locked as "LCK..ttyUSB0", "/dev/pts/3" as "LCK..pts_3" */
    const char *base = std::strncmp(dev, "/dev/", 5) == 0 ? dev + 5 : dev;
    char lockName[PORTINFO_NAME_LEN * 4];
    copyText(lockName, sizeof lockName, base);
    for (char *c = lockName; *c != '\0'; c++)
        if (*c == '/') *c = '_';

    for (const char *folder : lockFolders) {
        char file[PORTINFO_PATH_LEN];
        std::snprintf(file, sizeof file, "%s/LCK..%s", folder, lockName);
        const int pid = lockPid(file);
        /* a lock whose process is gone is stale and holds nothing */
        if (pid == 0 || (kill(pid, 0) != 0 && errno != EPERM)) continue;
        if (name != nullptr && len > 0) {
            char comm[64];
            std::snprintf(comm, sizeof comm, "/proc/%d/comm", pid);
            if (readLine(comm, name, len) != 0) name[0] = '\0';
        }
        return pid;
    }
    return 0;
}

int PORTINFO_Group(const char *path, char *out, std::size_t len)
{
    if (len == 0) return 1;
    out[0] = '\0';
    struct stat st {
    };
    if (stat(path, &st) != 0) return 1;
    group gr{};
    group *found = nullptr;
    char buf[4096];
    if (getgrgid_r(st.st_gid, &gr, buf, sizeof buf, &found) != 0 || found == nullptr) return 1;
    copyText(out, len, gr.gr_name);
    return 0;
}

int PORTINFO_IsBuiltin(const char *path)
{
    char dev[PORTINFO_PATH_LEN];
    resolved(path, dev);
    const std::size_t n = std::strlen(PORTNAME_BUILTIN_FAMILY);
    return std::strncmp(dev, PORTNAME_BUILTIN_FAMILY, n) == 0 && dev[n] >= '0' && dev[n] <= '9';
}

/* "<maker> <product>" of the USB device above tty base, from sysfs; empty
 * when the tty is not on USB. */
static void usbName(const char *base, char *out, std::size_t len)
{
    out[0] = '\0';
    char link[PORTINFO_PATH_LEN];
    char dir[PATH_MAX];
    /* a path that does not fit would name another file */
    const int n = std::snprintf(link, sizeof link, "/sys/class/tty/%s/device", base);
    if (n < 0 || n >= static_cast<int>(sizeof link) || realpath(link, dir) == nullptr) return;
    for (int level = 0; level < SYSFS_LEVELS; level++) {
        char file[PATH_MAX + 16];
        char maker[PORTINFO_NAME_LEN] = {};
        char product[PORTINFO_NAME_LEN] = {};
        std::snprintf(file, sizeof file, "%s/product", dir);
        if (readLine(file, product, sizeof product) == 0) {
            std::snprintf(file, sizeof file, "%s/manufacturer", dir);
            readLine(file, maker, sizeof maker);
            std::snprintf(out, len, "%s%s%s", maker, maker[0] != '\0' ? " " : "", product);
            return;
        }
        char *slash = std::strrchr(dir, '/');
        if (slash == nullptr || slash == dir) return;
        *slash = '\0';
    }
}

int PORTINFO_Describe(int PortNo, wchar_t *out, std::size_t len)
{
    if (len == 0) return 1;
    out[0] = L'\0';
    char path[PORTINFO_PATH_LEN];
    if (PORTNAME_Device(PortNo, path, sizeof path) != 0) return 1;
    char dev[PORTINFO_PATH_LEN];
    resolved(path, dev);
    const char *slash = std::strrchr(dev, '/');
    char usb[2 * PORTINFO_NAME_LEN + 2];
    usbName(slash != nullptr ? slash + 1 : dev, usb, sizeof usb);
    char text[PORTINFO_PATH_LEN + sizeof usb + 2];
    std::snprintf(text, sizeof text, "%s%s%s", dev, usb[0] != '\0' ? ", " : "", usb);
    TXT_Widen(text, out, static_cast<unsigned>(len));
    return 0;
}

void PORTINFO_ClassifyOpen(RS232_PortError_t *err, const char *path, int e)
{
    copyText(err->Path, sizeof err->Path, path);
    err->Errno = e;
    err->LockPid = 0;
    err->Group[0] = '\0';
    err->Process[0] = '\0';
    switch (e) {
    case EACCES:
    case EPERM:
        err->Fault = RS232_FAULT_PERMISSION;
        PORTINFO_Group(path, err->Group, sizeof err->Group);
        break;
    case EBUSY:
    case EWOULDBLOCK: err->Fault = RS232_FAULT_IN_USE; break;
    case ENOTTY: err->Fault = RS232_FAULT_NOT_TTY; break;
    default: err->Fault = RS232_FAULT_NO_DEVICE; break;
    }
}

int PORTINFO_Message(const RS232_PortError_t *err, wchar_t *out, std::size_t len)
{
    if (len == 0) return 0;
    out[0] = L'\0';
    wchar_t dev[PORTINFO_PATH_LEN];
    TXT_Widen(err->Path, dev, PORTINFO_PATH_LEN);
    wchar_t extra[PORTINFO_NAME_LEN * 2];
    switch (err->Fault) {
    case RS232_FAULT_PERMISSION:
        /* the usual owner of serial ports on Debian and its kind */
        TXT_Widen(err->Group[0] != '\0' ? err->Group : "dialout", extra, PORTINFO_NAME_LEN);
        std::swprintf(out, len, TXT(TX_PORT_PERMISSION), dev, extra, extra);
        return 1;
    case RS232_FAULT_IN_USE:
        if (err->LockPid == 0) {
            std::swprintf(out, len, TXT(TX_PORT_IN_USE), dev);
            return 1;
        }
        TXT_Widen(err->Process[0] != '\0' ? err->Process : "?", extra, PORTINFO_NAME_LEN);
        std::swprintf(out, len, TXT(TX_PORT_IN_USE_BY), dev, extra, err->LockPid);
        return 1;
    case RS232_FAULT_NOT_TTY: std::swprintf(out, len, TXT(TX_PORT_NOT_TTY), dev); return 1;
    case RS232_FAULT_LINE:
        TXT_Widen(std::strerror(err->Errno), extra, PORTINFO_NAME_LEN * 2);
        std::swprintf(out, len, TXT(TX_PORT_LINE), dev, extra);
        return 1;
    default: return 0;
    }
}

int PORTINFO_LostMessage(const RS232_PortError_t *err, wchar_t *out, std::size_t len)
{
    if (len == 0) return 0;
    out[0] = L'\0';
    if (err->Path[0] == '\0') return 0;
    wchar_t dev[PORTINFO_PATH_LEN];
    TXT_Widen(err->Path, dev, PORTINFO_PATH_LEN);
    if (err->Errno == 0) {
        std::swprintf(out, len, LOST_TEXT, dev);
        return 1;
    }
    wchar_t reason[PORTINFO_NAME_LEN * 2];
    TXT_Widen(std::strerror(err->Errno), reason, PORTINFO_NAME_LEN * 2);
    std::swprintf(out, len, LOST_REASON_TEXT, dev, reason);
    return 1;
}
