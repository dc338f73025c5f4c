/* portinfo.cpp -- lock files, device ownership, USB adapter names and the
 * messages for a port that cannot be opened or was lost (see portinfo.h).
 *
 * No state. Reads /run/lock, /var/lock, /proc, /sys and the device nodes;
 * writes only the lock file of the port this program holds, and never opens
 * a terminal.
 */
#include "link/portinfo.h"

#include "config/texts.h"
#include "link/portname.h"
#include "link/rs232os.h"

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
#include <iterator>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

/* Where UUCP lock files are kept: the first is today's place, the second
 * the traditional one (often a link to the first). */
static const char *const lockFolders[] = {"/run/lock", "/var/lock"};
constexpr int LOCK_TRIES = 2;   /* a stale lock is removed once, then taken */
constexpr int SYSFS_LEVELS = 4; /* from the tty's device up to the USB device */
/* The group a port is given to for its users; the usual owner of serial
 * ports on Debian and its kind. */
static const char *const SERIAL_GROUP = "dialout";
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

/* The lock file's name for path, "LCK..<name>": "/dev/ttyUSB0" is locked
 * as "LCK..ttyUSB0", "/dev/pts/3" as "LCK..pts_3", links followed first. */
static void lockName(const char *path, char (&out)[PORTINFO_NAME_LEN * 4])
{
    char dev[PORTINFO_PATH_LEN];
    resolved(path, dev);
    const char *base = std::strncmp(dev, "/dev/", 5) == 0 ? dev + 5 : dev;
    char name[PORTINFO_NAME_LEN * 4 - 6];
    copyText(name, sizeof name, base);
    for (char *c = name; *c != '\0'; c++)
        if (*c == '/') *c = '_';
    std::snprintf(out, sizeof out, "LCK..%s", name);
}

/* 1 when a lock file's process lives and is another than this one. */
static int holds(int pid)
{
    return pid != 0 && pid != getpid() && (kill(pid, 0) == 0 || errno == EPERM);
}

int PORTINFO_LockOwner(const char *path, char *name, std::size_t len)
{
    if (name != nullptr && len > 0) name[0] = '\0';
    char lock[PORTINFO_NAME_LEN * 4];
    lockName(path, lock);
    for (const char *folder : lockFolders) {
        char file[PORTINFO_PATH_LEN];
        std::snprintf(file, sizeof file, "%s/%s", folder, lock);
        const int pid = lockPid(file);
        /* a lock whose process is gone is stale and holds nothing */
        if (!holds(pid)) continue;
        if (name != nullptr && len > 0) {
            char comm[64];
            std::snprintf(comm, sizeof comm, "/proc/%d/comm", pid);
            if (readLine(comm, name, len) != 0) name[0] = '\0';
        }
        return pid;
    }
    return 0;
}

int PORTINFO_LockWrite(const char *path, char *file, std::size_t len)
{
    if (len > 0) file[0] = '\0';
    char lock[PORTINFO_NAME_LEN * 4];
    lockName(path, lock);
    /* the HDB form every UUCP lock reader understands */
    char line[16];
    const int n = std::snprintf(line, sizeof line, "%10d\n", static_cast<int>(getpid()));
    for (const char *folder : lockFolders) {
        char name[PORTINFO_PATH_LEN];
        std::snprintf(name, sizeof name, "%s/%s", folder, lock);
        for (int attempt = 0; attempt < LOCK_TRIES; attempt++) {
            /* O_EXCL: of two programs opening the port at once, one writes */
            const int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
            if (fd >= 0) {
                const bool whole = write(fd, line, static_cast<std::size_t>(n)) == n;
                if (close(fd) == 0 && whole) {
                    copyText(file, len, name);
                    return 0;
                }
                unlink(name); /* a cut lock file would name no process */
                break;
            }
            if (errno != EEXIST) break; /* not a folder this user may write in */
            const int pid = lockPid(name);
            if (pid == getpid()) {
                copyText(file, len, name);
                return 0;
            }
            if (holds(pid)) return pid;
            unlink(name); /* stale: its process has ended */
        }
    }
    return 0;
}

void PORTINFO_LockRemove(const char *file)
{
    if (file != nullptr && file[0] != '\0' && lockPid(file) == getpid()) unlink(file);
}

int PORTINFO_IsBuiltin(const char *path)
{
    char dev[PORTINFO_PATH_LEN];
    resolved(path, dev);
    const std::size_t n = std::strlen(PORTNAME_BUILTIN_FAMILY);
    return std::strncmp(dev, PORTNAME_BUILTIN_FAMILY, n) == 0 && dev[n] >= '0' && dev[n] <= '9';
}

/* The sysfs folder of the USB device above tty base (the first folder up
 * from the tty's device that carries a vendor id) into dir; 0, or 1 when the
 * tty is not on USB. */
static int usbDevice(const char *base, char (&dir)[PATH_MAX])
{
    char link[PORTINFO_PATH_LEN];
    /* a path that does not fit would name another file */
    const int n = std::snprintf(link, sizeof link, "/sys/class/tty/%s/device", base);
    if (n < 0 || n >= static_cast<int>(sizeof link) || realpath(link, dir) == nullptr) return 1;
    for (int level = 0; level < SYSFS_LEVELS; level++) {
        char file[PATH_MAX + 16];
        std::snprintf(file, sizeof file, "%s/idVendor", dir);
        if (access(file, R_OK) == 0) return 0;
        char *slash = std::strrchr(dir, '/');
        if (slash == nullptr || slash == dir) return 1;
        *slash = '\0';
    }
    return 1;
}

/* One attribute of a sysfs folder (its first line) into out; empty when it
 * cannot be read. */
static void attribute(const char *dir, const char *name, char *out, std::size_t len)
{
    char file[PATH_MAX + 32];
    std::snprintf(file, sizeof file, "%s/%s", dir, name);
    if (readLine(file, out, len) != 0) out[0] = '\0';
}

/* "<maker> <product>" of the USB device above tty base, from sysfs; empty
 * when the tty is not on USB or the device gives no product name. */
static void usbName(const char *base, char *out, std::size_t len)
{
    out[0] = '\0';
    char dir[PATH_MAX];
    if (usbDevice(base, dir) != 0) return;
    char maker[PORTINFO_NAME_LEN];
    char product[PORTINFO_NAME_LEN];
    attribute(dir, "product", product, sizeof product);
    if (product[0] == '\0') return;
    attribute(dir, "manufacturer", maker, sizeof maker);
    std::snprintf(out, len, "%s%s%s", maker, maker[0] != '\0' ? " " : "", product);
}

/* The udev rule that gives the serial group read and write access to the
 * USB adapter of tty base, by its vendor and product ids, so that it holds
 * whichever ttyUSB number the adapter gets; empty when the tty is not on
 * USB. */
static void udevRule(const char *base, char *out, std::size_t len)
{
    out[0] = '\0';
    char dir[PATH_MAX];
    if (usbDevice(base, dir) != 0) return;
    char vendor[16];
    char product[16];
    attribute(dir, "idVendor", vendor, sizeof vendor);
    attribute(dir, "idProduct", product, sizeof product);
    if (vendor[0] == '\0' || product[0] == '\0') return;
    std::snprintf(out, len,
                  "SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"%s\", ATTRS{idProduct}==\"%s\", "
                  "GROUP=\"%s\", MODE=\"0660\"",
                  vendor, product, SERIAL_GROUP);
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

/* The owner, group and mode of path's node into err, through the port's
 * system-call table; left empty (Mode 0) when they cannot be had. */
static void nodeOwners(RS232_PortError_t *err, const char *path)
{
    const RS232_OsCalls *calls = RS232_GetOsCalls();
    unsigned uid = 0, gid = 0, mode = 0;
    if (calls->StatNode == nullptr || calls->StatNode(path, &uid, &gid, &mode) != 0) return;
    err->Mode = mode;
    char buf[4096];
    passwd pw{};
    passwd *user = nullptr;
    if (getpwuid_r(uid, &pw, buf, sizeof buf, &user) == 0 && user != nullptr)
        copyText(err->Owner, sizeof err->Owner, pw.pw_name);
    else
        std::snprintf(err->Owner, sizeof err->Owner, "%u", uid);
    group gr{};
    group *found = nullptr;
    if (getgrgid_r(gid, &gr, buf, sizeof buf, &found) == 0 && found != nullptr)
        copyText(err->Group, sizeof err->Group, gr.gr_name);
    else
        std::snprintf(err->Group, sizeof err->Group, "%u", gid);
}

void PORTINFO_ClassifyOpen(RS232_PortError_t *err, const char *path, int e)
{
    copyText(err->Path, sizeof err->Path, path);
    err->Errno = e;
    err->LockPid = 0;
    err->Group[0] = '\0';
    err->Process[0] = '\0';
    err->Owner[0] = '\0';
    err->Mode = 0;
    switch (e) {
    case EACCES:
    case EPERM:
        err->Fault = RS232_FAULT_PERMISSION;
        nodeOwners(err, path);
        break;
    case EBUSY:
    case EWOULDBLOCK: err->Fault = RS232_FAULT_IN_USE; break;
    case ENOTTY: err->Fault = RS232_FAULT_NOT_TTY; break;
    default: err->Fault = RS232_FAULT_NO_DEVICE; break;
    }
}

/* "crw-rw---- root dialout", as ls -l shows the node; question marks for
 * what is not known, as ls shows them too. */
static void lsLine(const RS232_PortError_t *err, char *out, std::size_t len)
{
    if (err->Mode == 0) {
        std::snprintf(out, len, "?????????? ? ?");
        return;
    }
    const unsigned m = err->Mode;
    const char type = S_ISCHR(m) ? 'c' : S_ISBLK(m) ? 'b' : S_ISDIR(m) ? 'd' : '-';
    char bits[10];
    const char *const rwx = "rwx";
    for (int i = 0; i < 9; i++)
        bits[i] = (m & (0400u >> i)) != 0 ? rwx[i % 3] : '-';
    bits[9] = '\0';
    std::snprintf(out, len, "%c%s %s %s", type, bits, err->Owner, err->Group);
}

/* 1 when joining the node's group would give the user the port: the group
 * may read and write it, and it is not root's. */
static int groupGivesAccess(const RS232_PortError_t *err)
{
    const unsigned rw = S_IRGRP | S_IWGRP;
    return err->Mode != 0 && (err->Mode & rw) == rw && err->Group[0] != '\0' &&
           std::strcmp(err->Group, "root") != 0;
}

int PORTINFO_Message(const RS232_PortError_t *err, wchar_t *out, std::size_t len)
{
    if (len == 0) return 0;
    out[0] = L'\0';
    /* the device node the user can look at, and the COM link beside it */
    char node[PORTINFO_PATH_LEN];
    resolved(err->Path, node);
    char named[2 * PORTINFO_PATH_LEN + 4];
    if (std::strcmp(node, err->Path) == 0)
        copyText(named, sizeof named, node);
    else
        std::snprintf(named, sizeof named, "%s (%s)", node, err->Path);
    wchar_t dev[PORTINFO_PATH_LEN];
    TXT_Widen(named, dev, PORTINFO_PATH_LEN);
    wchar_t extra[PORTINFO_NAME_LEN * 4];
    switch (err->Fault) {
    case RS232_FAULT_PERMISSION: {
        if (groupGivesAccess(err)) {
            TXT_Widen(err->Group, extra, PORTINFO_NAME_LEN);
            std::swprintf(out, len, TXT(TX_PORT_PERMISSION), dev, extra, extra);
            return 1;
        }
        /* The administrator's way: a udev rule for a USB adapter, whatever
         * number it gets; the node's group and mode for any other. */
        char ls[3 * PORTINFO_NAME_LEN];
        lsLine(err, ls, sizeof ls);
        TXT_Widen(ls, extra, std::size(extra));
        const char *slash = std::strrchr(node, '/');
        char how[3 * PORTINFO_PATH_LEN];
        udevRule(slash != nullptr ? slash + 1 : node, how, sizeof how);
        const bool usb = how[0] != '\0';
        if (!usb)
            std::snprintf(how, sizeof how, "sudo chgrp %s %s && sudo chmod g+rw %s", SERIAL_GROUP,
                          node, node);
        wchar_t group[PORTINFO_NAME_LEN];
        TXT_Widen(SERIAL_GROUP, group, PORTINFO_NAME_LEN);
        wchar_t wideHow[PORTINFO_TEXT_LEN];
        TXT_Widen(how, wideHow, std::size(wideHow));
        std::swprintf(out, len, TXT(usb ? TX_PORT_NO_ACCESS_USB : TX_PORT_NO_ACCESS), dev, extra,
                      group, wideHow);
        return 1;
    }
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
