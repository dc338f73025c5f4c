/* rs232.cpp -- the serial port: which port number is current, opening it
 * (which includes proving that a Kaltro answers), scanning the numbers one by
 * one, writing raw bytes, reading raw bytes with a fixed time-out profile into
 * the shared reply buffer, and closing it.
 *
 * State: `Port` (current number), `hSerial` (the open descriptor or -1),
 * `COMs` (the device path of the last open), `lpBuf` (the reply buffer),
 * why the last open failed or what failed on the open port since (PortError,
 * each failure with its own system reason) and whether the open port was
 * lost (PortLost: it hung up or went away; the number stays for reopening),
 * and the UUCP lock file written for the open port (LockFile), removed when
 * the port closes and when the program ends normally.
 * Only this file includes <termios.h>; every system call goes through the
 * table of rs232os.h. It does not parse replies; the protocol and XModem
 * layers do, over ReadABuffer and WriteABuffer.
 *
 * Read profile, built on poll: at most 200 bytes; the read ends 10 ms after
 * the last byte once one has arrived, and 200 ms after it began in all (1 ms
 * per requested byte). NUL bytes are dropped as they come in. A port that
 * hangs up or is gone (an unplugged USB adapter, a simulator that ended) is
 * closed at once, so that every later read and write fails without waiting.
 * The protocol's pauses watch the open port for a hang-up while they wait,
 * so an unplugged controller ends a long pause at once, not at its end.
 */
#include "link/rs232.h"
#include "link/portinfo.h"
#include "link/portname.h"
#include "link/rs232os.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

constexpr std::int64_t READ_TOTAL_US = 1000 * RS232_READ_MAX; /* 1 ms per requested byte */
constexpr std::int64_t READ_GAP_US = 10000;      /* quiet time that ends a read once a byte came */
constexpr std::int64_t WRITE_PER_BYTE_US = 1000; /* write budget: 1 ms per byte ... */
constexpr std::int64_t WRITE_EXTRA_US = 1000;    /* ... plus 1 ms */

static int Port = 1;
static int hSerial = -1;
static char COMs[RS232_PATH_LEN];
static char lpBuf[RS232_BUF_SIZE];
static RS232_PortError_t PortError;
static RS232_PortError_t ScanRefusal; /* first port of the scan refused to the user */
static bool PortLost = false;
static char LockFile[RS232_PATH_LEN]; /* the lock file of the open port, or empty */

/* ---- The real system calls -------------------------------------------------- */

static termios savedLine; /* the settings found when the port was opened */
static bool savedLineValid = false;
/* Whether this program made the open terminal exclusive. The flag stays on
 * the terminal after a close while anyone else keeps it open (the simulator
 * keeps its own end open), and would then refuse the next open. */
static bool exclusiveSet = false;

static int realOpen(const char *path)
{
    int fd;
    do
        fd = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd;
}

static int realLock(int fd)
{
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return -1;
    /* TIOCEXCL refuses further opens of the terminal (except by root, which
     * the advisory lock above still stops when it plays by the rules). */
    if (ioctl(fd, TIOCEXCL) == 0)
        exclusiveSet = true;
    else if (errno != ENOTTY)
        return -1;
    return 0;
}

static int realSetLine(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0) return -1;
    savedLine = t;
    savedLineValid = true;
    cfmakeraw(&t); /* binary, no echo, no character processing, 8 bits, no parity */
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS | CSIZE | HUPCL);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (cfsetispeed(&t, B115200) != 0 || cfsetospeed(&t, B115200) != 0) return -1;
    if (tcsetattr(fd, TCSANOW, &t) != 0) return -1;
    /* tcsetattr succeeds when any one setting took; read back what holds. */
    termios back{};
    if (tcgetattr(fd, &back) != 0) return -1;
    if ((back.c_cflag & CSIZE) != CS8 || (back.c_cflag & (PARENB | CSTOPB | CRTSCTS)) ||
        (back.c_iflag & (IXON | IXOFF)) || cfgetospeed(&back) != B115200) {
        /* Every call succeeded, so errno still holds an older failure (the
         * lock-file probe's ENOENT); the reason given is the line's own: the
         * device did not take what it was told, an I/O error. */
        errno = EIO;
        return -1;
    }
    tcflush(fd, TCIOFLUSH);
    return 0;
}

static int realClearModemLines(int fd)
{
    /* Opening a port raises DTR and RTS on Linux even without flow control;
     * the Kaltro expects neither line asserted. */
    int lines = TIOCM_DTR | TIOCM_RTS;
    return ioctl(fd, TIOCMBIC, &lines) == 0 ? 0 : -1;
}

static int realHasUart(const char *path)
{
    /* sysfs tells the UART type without opening the port, so a port the user
     * may not open is still told apart from one with nothing behind it. */
    char real[PATH_MAX];
    if (realpath(path, real) == nullptr) return 1;
    const char *base = std::strrchr(real, '/');
    char file[PATH_MAX + 32];
    std::snprintf(file, sizeof file, "/sys/class/tty/%s/type", base != nullptr ? base + 1 : real);
    if (FILE *f = std::fopen(file, "re")) {
        int type = -1;
        const int got = std::fscanf(f, "%d", &type);
        std::fclose(f);
        if (got == 1) return type != PORT_UNKNOWN ? 1 : 0;
    }
    const int fd = open(path, O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return 1; /* the open for use will tell why */
    serial_struct ss{};
    const int r = ioctl(fd, TIOCGSERIAL, &ss);
    close(fd);
    return r != 0 || ss.type != PORT_UNKNOWN ? 1 : 0;
}

/* The reason of a poll that reported no wanted event: the descriptor was
 * not open, or the line hung up or failed. */
static int pollFailure(short revents)
{
    errno = (revents & POLLNVAL) ? EBADF : EIO;
    return -1;
}

static int realWait(int fd, short events, long timeoutUs)
{
    pollfd p{fd, events, 0};
    timespec ts{timeoutUs / 1000000, (timeoutUs % 1000000) * 1000};
    int r = ppoll(&p, 1, &ts, nullptr);
    if (r < 0) return errno == EINTR ? 0 : -1;
    if (r == 0) return 0;
    if (p.revents & events) return 1;
    return pollFailure(p.revents); /* hang-up or error without data */
}

static int realWatchHangUp(int fd, long timeoutUs)
{
    /* No events asked for: poll reports only a hang-up, an error or a closed
     * descriptor, and bytes that arrive stay unread for the next read. A
     * live pseudo-terminal reports none of these; its slave side reports
     * POLLHUP once the master (the simulator) has closed. */
    pollfd p{fd, 0, 0};
    timespec ts{timeoutUs / 1000000, (timeoutUs % 1000000) * 1000};
    int r = ppoll(&p, 1, &ts, nullptr);
    if (r < 0) return errno == EINTR ? 0 : -1;
    if (r == 0) return 0;
    return pollFailure(p.revents);
}

static ssize_t realRead(int fd, void *buf, std::size_t len)
{
    return read(fd, buf, len);
}

static ssize_t realWrite(int fd, const void *buf, std::size_t len)
{
    return write(fd, buf, len);
}

static int realClose(int fd)
{
    if (savedLineValid) tcsetattr(fd, TCSANOW, &savedLine);
    savedLineValid = false;
    /* Only an exclusive use this program set up is given back; a port that
     * another program holds keeps its own. */
    if (exclusiveSet) ioctl(fd, TIOCNXCL);
    exclusiveSet = false;
    return close(fd);
}

static int realStatNode(const char *path, unsigned *uid, unsigned *gid, unsigned *mode)
{
    struct stat st {
    };
    if (stat(path, &st) != 0) return -1;
    *uid = st.st_uid;
    *gid = st.st_gid;
    *mode = st.st_mode;
    return 0;
}

static std::int64_t realNowUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

static void realSleep(unsigned ms)
{
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {}
}

static const RS232_OsCalls defaultCalls = {
    realOpen,  realLock,        realSetLine,  realClearModemLines, realHasUart,
    realWait,  realRead,        realWrite,    realClose,           realNowUs,
    realSleep, realWatchHangUp, realStatNode, PORTINFO_LockWrite,  PORTINFO_LockRemove};
static RS232_OsCalls calls = defaultCalls;

RS232_OsCalls *RS232_GetOsCalls()
{
    return &calls;
}

const RS232_OsCalls &RS232_DefaultOsCalls()
{
    return defaultCalls;
}

/* ---- Time ------------------------------------------------------------------- */

static std::int64_t nowUs()
{
    return calls.NowUs();
}

/* ---- Port number and scan ------------------------------------------------------ */

int RS232_GetLastPortNumber()
{
    return Port;
}

void RS232_SetPortNumber(int NewPortNo)
{
    Port = NewPortNo;
}

void RS232_ResetPortNumber()
{
    Port = 1;
    RS232_ClearScanRefusal();
}

const RS232_PortError_t *RS232_GetScanRefusal()
{
    return &ScanRefusal;
}

void RS232_ClearScanRefusal()
{
    ScanRefusal = RS232_PortError_t{};
}

const char *RS232_GetDevicePath()
{
    return COMs;
}

/* Removes the lock file of the port; the port itself stays as it is. */
static void dropLock()
{
    if (LockFile[0] != '\0' && calls.DropLock != nullptr) calls.DropLock(LockFile);
    LockFile[0] = '\0';
}

/* A program that ends without closing its port (exit on an error, the
 * windows' quit) leaves no lock file behind. One killed leaves a stale one,
 * which every reader ignores once its process is gone. */
static void dropLockAtExit()
{
    if (LockFile[0] != '\0') PORTINFO_LockRemove(LockFile);
}

/* Writes the lock file of COMs for the port just opened: 0, or the id of
 * the live process that holds it. */
static int takeLock()
{
    static bool atExitSet = false;
    if (calls.TakeLock == nullptr) return 0;
    const int holder = calls.TakeLock(COMs, LockFile, sizeof LockFile);
    if (LockFile[0] != '\0' && !atExitSet) atExitSet = std::atexit(dropLockAtExit) == 0;
    return holder;
}

static void closePort()
{
    if (hSerial >= 0) calls.CloseDevice(hSerial);
    hSerial = -1;
    dropLock();
}

const RS232_PortError_t *RS232_GetPortError()
{
    return &PortError;
}

int RS232_PortLost()
{
    return PortLost ? 1 : 0;
}

int RS232_Reconnect()
{
    if (!PortLost || Port <= 0) return RS232_OK;
    return RS232_OpenPort(Port);
}

/* Records why the open of COMs failed and closes what was opened. */
static int openFailed(int fd, int fault, int e)
{
    if (fd >= 0) calls.CloseDevice(fd);
    dropLock();
    PORTINFO_ClassifyOpen(&PortError, COMs, e);
    if (fault != RS232_FAULT_NONE) PortError.Fault = fault;
    return RS232_FAILED;
}

/* The open port hung up or went away: it is closed at once, so that nothing
 * waits on it any more, and remembered as lost for the next command, with
 * the system's reason e (PORTINFO_LostMessage tells it). */
static void portGone(int e)
{
    closePort();
    PortLost = true;
    PORTINFO_ClassifyOpen(&PortError, COMs, e);
    PortError.Fault = RS232_FAULT_NO_DEVICE;
}

/* A read or write on the open port failed with reason e (ETIMEDOUT for a
 * write that ran out of its time) and the port stays open. */
static void ioFailed(int e)
{
    PORTINFO_ClassifyOpen(&PortError, COMs, e);
    PortError.Fault = RS232_FAULT_IO;
}

static bool isHangUp(int e)
{
    return e == EIO || e == ENXIO || e == ENODEV || e == EPIPE || e == EBADF;
}

/* errno after a failed system call, EIO when the call left none (errno is
 * cleared before the call, so an old value is never taken for its reason). */
static int failure()
{
    return errno != 0 ? errno : EIO;
}

int RS232_WatchLine()
{
    if (hSerial >= 0 && calls.WatchHangUp != nullptr) {
        errno = 0;
        if (calls.WatchHangUp(hSerial, 0) < 0) portGone(failure());
    }
    return PortLost ? 1 : 0;
}

static int openDevice();

int RS232_OpenPort(int PortNo)
{
    /* A port left open would leak its descriptor and keep its lock. */
    closePort();
    PortError = RS232_PortError_t{};
    COMs[0] = '\0';
    if (PORTNAME_Device(PortNo, COMs, sizeof COMs) != 0) {
        COMs[0] = '\0';
        PortError.Fault = RS232_FAULT_NO_DEVICE;
        PortError.Errno = ENOENT;
        return RS232_FAILED;
    }
    return openDevice();
}

int RS232_OpenPath(const char *Path)
{
    closePort();
    PortError = RS232_PortError_t{};
    std::snprintf(COMs, sizeof COMs, "%s", Path);
    /* Not one of the numbered ports: a lost one is not reopened by number. */
    Port = 0;
    return openDevice();
}

/* The open of COMs fails because process pid holds its lock file; fd, when
 * open, is closed. */
static int lockedBy(int fd, int pid)
{
    openFailed(fd, RS232_FAULT_IN_USE, EBUSY);
    PortError.LockPid = pid;
    PORTINFO_LockOwner(COMs, PortError.Process, sizeof PortError.Process);
    return RS232_FAILED;
}

/* Opens COMs for use and proves that a Kaltro answers there; the rest of
 * RS232_OpenPort and RS232_OpenPath once the device path is known. */
static int openDevice()
{
    /* A built-in port without a UART takes writes into nowhere: skip it. */
    if (PORTINFO_IsBuiltin(COMs) && calls.HasUart(COMs) == 0)
        return openFailed(-1, RS232_FAULT_NO_UART, ENODEV);
    /* A port that another program has locked by the UUCP convention is not
     * opened at all: a write into it would disturb that program. */
    if (const int pid = PORTINFO_LockOwner(COMs, nullptr, 0); pid > 0) return lockedBy(-1, pid);
    errno = 0;
    int fd = calls.OpenDevice(COMs);
    if (fd < 0) return openFailed(-1, RS232_FAULT_NONE, failure());
    if (calls.LockDevice(fd) != 0) return openFailed(fd, RS232_FAULT_IN_USE, EBUSY);
    /* The port is ours: the lock file says so to every other program. One
     * that locked it in the meantime keeps it. */
    if (const int pid = takeLock(); pid > 0) return lockedBy(fd, pid);
    errno = 0;
    if (calls.SetLine(fd) != 0) {
        const int e = failure();
        return openFailed(fd, e == ENOTTY ? RS232_FAULT_NOT_TTY : RS232_FAULT_LINE, e);
    }
    calls.ClearModemLines(fd); /* a pseudo-terminal has no modem lines */
    hSerial = fd;
    if (RS232_KaltroIdentification() != RS232_OK) {
        closePort();
        PortError.Fault = RS232_FAULT_NO_KALTRO;
        std::snprintf(PortError.Path, sizeof PortError.Path, "%s", COMs);
        return RS232_FAILED;
    }
    RS232_Set22kHzTone(0);
    /* A write that ran late on the way is no fault of a port that opened. */
    PortError = RS232_PortError_t{};
    PortLost = false;
    return RS232_OK;
}

int RS232_ScanPort(int PortNo)
{
    if (RS232_OpenPort(PortNo) != RS232_OK) {
        const int fault = PortError.Fault;
        /* The first port that exists but is refused to the user is what a
         * scan that finds no Kaltro must tell. */
        if (ScanRefusal.Fault == RS232_FAULT_NONE &&
            (fault == RS232_FAULT_PERMISSION || fault == RS232_FAULT_IN_USE))
            ScanRefusal = PortError;
        return RS232_PORT_NEXT;
    }
    Port = PortNo;
    return RS232_PORT_FOUND;
}

int RS232_Progress()
{
    if (Port >= RS232_PORT_LIMIT) return RS232_PORT_NO_MORE;
    const int r = RS232_ScanPort(Port);
    if (r != RS232_PORT_FOUND) Port++;
    return r;
}

int RS232_Term()
{
    closePort();
    PortLost = false;
    return 0;
}

/* ---- Raw transport ------------------------------------------------------------- */

int WriteABuffer(const char *Data, std::uint32_t dwToWrite)
{
    if (hSerial < 0) return 0;
    std::int64_t deadline =
        nowUs() + WRITE_PER_BYTE_US * static_cast<std::int64_t>(dwToWrite) + WRITE_EXTRA_US;
    std::uint32_t done = 0;
    while (done < dwToWrite) {
        ssize_t n = calls.Write(hSerial, Data + done, dwToWrite - done);
        if (n > 0) {
            done += static_cast<std::uint32_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            const int e = errno;
            if (isHangUp(e))
                portGone(e);
            else
                ioFailed(e);
            return 0;
        }
        std::int64_t left = deadline - nowUs();
        /* Not all bytes taken within the budget: the command went out cut. */
        if (left <= 0) {
            ioFailed(ETIMEDOUT);
            return 0;
        }
        errno = 0;
        if (calls.Wait(hSerial, POLLOUT, static_cast<long>(left)) < 0) {
            portGone(failure());
            return 0;
        }
    }
    return 1;
}

char *ReadABuffer(std::uint32_t *dwRead)
{
    std::memset(lpBuf, 0, sizeof lpBuf);
    *dwRead = 0;
    if (hSerial < 0) return lpBuf;

    std::int64_t start = nowUs();
    std::int64_t lastByte = 0;
    std::uint32_t got = 0;
    char chunk[RS232_READ_MAX];
    while (got < RS232_READ_MAX) {
        std::int64_t limit = start + READ_TOTAL_US;
        if (got > 0 && lastByte + READ_GAP_US < limit) limit = lastByte + READ_GAP_US;
        std::int64_t left = limit - nowUs();
        if (left <= 0) break;
        errno = 0;
        int w = calls.Wait(hSerial, POLLIN, static_cast<long>(left));
        if (w == 0) continue; /* the loop re-checks the time */
        if (w > 0) errno = 0;
        ssize_t n = (w > 0) ? calls.Read(hSerial, chunk, RS232_READ_MAX - got) : -1;
        if (n < 0 && (errno == EAGAIN || errno == EINTR) && w > 0) continue;
        if (n <= 0) {
            /* A hang-up, a device gone or an end of file: the read fails as a
             * whole, and so does everything after it on this port. Another
             * error fails this read only. */
            const int e = n == 0 ? EIO : failure();
            if (w < 0 || n == 0 || isHangUp(e))
                portGone(e);
            else
                ioFailed(e);
            std::memset(lpBuf, 0, sizeof lpBuf);
            return lpBuf;
        }
        lastByte = nowUs();
        for (ssize_t i = 0; i < n; i++)
            if (chunk[i] != '\0') lpBuf[got++] = chunk[i];
    }
    *dwRead = got;
    lpBuf[got] = '\0';
    return lpBuf;
}

void RS232_Pause(unsigned ms)
{
    if (hSerial < 0 || calls.WatchHangUp == nullptr) {
        calls.Sleep(ms);
        return;
    }
    /* The open port is watched for the whole pause: a hang-up ends it at
     * once and loses the port, as a failed read does. An interrupted wait
     * goes on for the time that is left, so a live line pauses exactly ms. */
    const std::int64_t end = nowUs() + 1000 * static_cast<std::int64_t>(ms);
    for (std::int64_t left = end - nowUs(); left > 0; left = end - nowUs()) {
        errno = 0;
        if (calls.WatchHangUp(hSerial, static_cast<long>(left)) < 0) {
            portGone(failure());
            return;
        }
    }
}
