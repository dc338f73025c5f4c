/* rs232os.h -- the operating-system calls of the serial port, as a table.
 *
 * The port module makes every system call through this table, so a test can
 * put a failing call in place where no real device could be made to fail
 * (a line setting refused, a read error, permission refused, a hang-up), and
 * a fuzz target can answer every read itself on a clock of its own, so that
 * no time-out costs real time. Failing calls return -1 with errno set, as the
 * system does. The table speaks in plain ints and byte buffers; the terminal
 * settings stay inside the port module. The last three entries may be left
 * empty (a fuzz target's table): the port is then not watched between reads,
 * a refusal is told without the device's owner and mode, and no lock file is
 * written.
 */
#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

struct RS232_OsCalls {
    /* Opens path for reading and writing, non-blocking, not as the
     * controlling terminal. The descriptor, or -1. */
    int (*OpenDevice)(const char *path);
    /* Exclusive use: no further opens of the terminal, and an advisory lock
     * that a second program fails to take. 0, or -1 when in use. */
    int (*LockDevice)(int fd);
    /* Raw 115200 8N1 without flow control, settings read back, pending bytes
     * discarded. 0, or -1. */
    int (*SetLine)(int fd);
    /* Lowers DTR and RTS. 0, or -1 (ignored: not every terminal has them). */
    int (*ClearModemLines)(int fd);
    /* Asked of built-in ports only, before they are opened for use: 1 when
     * the kernel reports a UART behind path (or cannot say), 0 when it
     * reports none. Writes nothing to the line. */
    int (*HasUart)(const char *path);
    /* Waits up to timeoutUs microseconds until fd can be read (events =
     * POLLIN) or written (POLLOUT). 1 ready, 0 timed out, -1 error or hang-up
     * with errno set (EIO for a hang-up; the port is then taken as gone). */
    int (*Wait)(int fd, short events, long timeoutUs);
    ssize_t (*Read)(int fd, void *buf, std::size_t len);
    ssize_t (*Write)(int fd, const void *buf, std::size_t len);
    /* Puts back the settings found at SetLine and closes. */
    int (*CloseDevice)(int fd);
    /* The monotonic clock, in microseconds, that the read and write budgets
     * are measured on. */
    std::int64_t (*NowUs)();
    /* Blocks for ms milliseconds: the protocol's pauses (RS232_Pause) while
     * no port is open. */
    void (*Sleep)(unsigned ms);
    /* Waits up to timeoutUs microseconds (0: only looks) for fd to hang up,
     * without reading or taking a byte: 0 the line stayed up (or the wait was
     * interrupted), -1 it hung up or failed, errno set (EIO for a hang-up).
     * The pauses of an open port are made of it. A table that leaves it empty
     * gets plain sleeps and no watching. */
    int (*WatchHangUp)(int fd, long timeoutUs);
    /* The user and group owning the node at path (links followed) and its
     * st_mode (type and permission bits), asked when an open was refused, to
     * tell who may give access. 0, or -1 with errno set. */
    int (*StatNode)(const char *path, unsigned *uid, unsigned *gid, unsigned *mode);
    /* The UUCP lock file of the device at path, written once the port is
     * ours, so that other programs see who holds it (PORTINFO_LockWrite).
     * 0 with the file's path in file (empty when no lock folder may be
     * written), or the process id of a live other holder. */
    int (*TakeLock)(const char *path, char *file, std::size_t len);
    /* Removes a lock file TakeLock wrote, if it still names this process. */
    void (*DropLock)(const char *file);
};

/* The calls in use; tests may change entries and must put them back. */
RS232_OsCalls *RS232_GetOsCalls();
/* The real system calls. */
const RS232_OsCalls &RS232_DefaultOsCalls();
