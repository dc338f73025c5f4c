/* portinfo.h -- what the system says about a serial device: who holds it by
 * a UUCP lock file (and the lock file this program writes for the port it
 * holds), who owns its node and with what mode, whether it is a built-in
 * port, which USB adapter it is, and the words that tell the user why a port
 * could not be opened or was lost. (Whether a built-in port has a UART
 * behind it is the port module's question, asked through its system-call
 * table.)
 *
 * No state: every answer is read from the file system at the moment of the
 * call. Nothing here opens a terminal for use; the port module does, and
 * keeps the name of the lock file it had written.
 */
#pragma once

#include <cstddef>

/* Why the last RS232_OpenPort failed, or what went wrong on the open port
 * since (RS232_GetPortError). */
enum RS232_PortFault : int {
    RS232_FAULT_NONE = 0,       /* opened, or nothing tried yet */
    RS232_FAULT_NO_DEVICE = 1,  /* the number names no device, or it has gone */
    RS232_FAULT_NO_UART = 2,    /* a built-in port without a UART: left untouched */
    RS232_FAULT_PERMISSION = 3, /* the user may not open the device */
    RS232_FAULT_IN_USE = 4,     /* another program holds it (lock, exclusive use) */
    RS232_FAULT_NOT_TTY = 5,    /* the device is not a terminal */
    RS232_FAULT_LINE = 6,       /* the line settings were refused */
    RS232_FAULT_NO_KALTRO = 7,  /* opened, but no Kaltro answered */
    RS232_FAULT_IO = 8,         /* a read or write on the open port failed, or a
                                   write ran out of its time; the port stays open */
};

constexpr int PORTINFO_PATH_LEN = 4096;
constexpr int PORTINFO_NAME_LEN = 64;
constexpr int PORTINFO_TEXT_LEN = 1024; /* wide characters of a port message */

struct RS232_PortError_t {
    int Fault = RS232_FAULT_NONE;
    int Errno = 0;                        /* the system's reason, 0 for none */
    int LockPid = 0;                      /* the process a live lock file names, or 0 */
    char Path[PORTINFO_PATH_LEN] = {};    /* the device tried */
    char Group[PORTINFO_NAME_LEN] = {};   /* the group owning the device node */
    char Process[PORTINFO_NAME_LEN] = {}; /* the name of LockPid, when known */
    char Owner[PORTINFO_NAME_LEN] = {};   /* the user owning the device node */
    unsigned Mode = 0;                    /* the node's st_mode (type and permissions), 0 unknown */
};

/* Lock files and ownership. */
/* The process named by a live UUCP lock file "LCK..<name>" of path in
 * /run/lock or /var/lock, or 0 (none, unreadable, its process is gone, or it
 * is this process). The name is the path after "/dev/" with "/" turned into
 * "_"; links are followed first. name (len bytes, may be nullptr) receives
 * the process's command name when it can be read. */
int PORTINFO_LockOwner(const char *path, char *name, std::size_t len);
/* Writes the lock file of path with this process's id, ten ASCII digits and
 * a line end, in the first lock folder the user may write in; a stale one (its
 * process gone) is replaced. 0 with the file's path in file (empty when no
 * folder may be written: the port is then held without one), or the id of
 * the live process that holds the lock. */
int PORTINFO_LockWrite(const char *path, char *file, std::size_t len);
/* Removes the lock file file when it still names this process; a lock that
 * another process has taken since (after a fork, say) stays. */
void PORTINFO_LockRemove(const char *file);
/* 1 when path (links followed) is a built-in serial port, /dev/ttyS<n>. */
int PORTINFO_IsBuiltin(const char *path);

/* What the user is shown. */
/* "<device path>" and, for a USB adapter, ", <maker> <product>" as the
 * kernel reports them, for port PortNo; an empty text when it names no
 * device. 0, or 1 when the number names no device. */
int PORTINFO_Describe(int PortNo, wchar_t *out, std::size_t len);
/* Fills err for a failure of path with errno e at opening (permission, in
 * use, no device), reading the node's owner, group and mode through the
 * port's system-call table where permission was refused. */
void PORTINFO_ClassifyOpen(RS232_PortError_t *err, const char *path, int e);
/* The message for a port the user can do something about (permission, in
 * use, not a terminal, line settings refused), naming the device node, with
 * the COM link beside it when the port is one, and what to do. A refused
 * permission advises joining the node's group only when that group may read
 * and write it and is not root; otherwise it tells the node's mode and owner
 * and how an administrator gives access (for a USB adapter, the udev rule).
 * 1 with the text in out, 0 (out empty) for other faults. */
int PORTINFO_Message(const RS232_PortError_t *err, wchar_t *out, std::size_t len);
/* The one line for a port that was lost while open (RS232_PortLost): "the
 * Kaltro's port <device path> went away: <the system's reason>", the reason
 * left out when err holds none. 1 with the text in out, 0 (out empty) when
 * err names no device. */
int PORTINFO_LostMessage(const RS232_PortError_t *err, wchar_t *out, std::size_t len);
