/* rs232.cpp -- the serial port: which port number is current, opening it
 * (which includes proving that a Kaltro answers), scanning the numbers one by
 * one, writing raw bytes, reading raw bytes with a fixed time-out profile into
 * the shared reply buffer, and closing it.
 *
 * State: `Port` (current number), `hSerial` (the open descriptor or -1),
 * `COMs` (the device path of the last open) and `lpBuf` (the reply buffer).
 * Only this file includes <termios.h>; every system call goes through the
 * table of rs232os.h. It does not parse replies; the protocol and XModem
 * layers do, over ReadABuffer and WriteABuffer.
 *
 * Read profile, built on poll: at most 200 bytes; the read ends 10 ms after
 * the last byte once one has arrived, and 200 ms after it began in all (1 ms
 * per requested byte). NUL bytes are dropped as they come in.
 */
#include "link/rs232.h"
#include "link/portname.h"
#include "link/rs232os.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
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
        (back.c_iflag & (IXON | IXOFF)) || cfgetospeed(&back) != B115200)
        return -1;
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

static int realWait(int fd, short events, long timeoutUs)
{
    pollfd p{fd, events, 0};
    timespec ts{timeoutUs / 1000000, (timeoutUs % 1000000) * 1000};
    int r = ppoll(&p, 1, &ts, nullptr);
    if (r < 0) return errno == EINTR ? 0 : -1;
    if (r == 0) return 0;
    if (p.revents & events) return 1;
    return -1; /* hang-up or error without data */
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

static const RS232_OsCalls defaultCalls = {realOpen, realLock, realSetLine, realClearModemLines,
                                           realWait, realRead, realWrite,   realClose};
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
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

void RS232_Pause(unsigned ms)
{
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {}
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
}

const char *RS232_GetDevicePath()
{
    return COMs;
}

static void closePort()
{
    if (hSerial >= 0) calls.CloseDevice(hSerial);
    hSerial = -1;
}

int RS232_OpenPort(int PortNo)
{
    /* A port left open would leak its descriptor and keep its lock. */
    closePort();
    COMs[0] = '\0';
    if (PORTNAME_Device(PortNo, COMs, sizeof COMs) != 0) {
        COMs[0] = '\0';
        return RS232_FAILED;
    }
    int fd = calls.OpenDevice(COMs);
    if (fd < 0) return RS232_FAILED;
    if (calls.LockDevice(fd) != 0 || calls.SetLine(fd) != 0) {
        calls.CloseDevice(fd);
        return RS232_FAILED;
    }
    calls.ClearModemLines(fd); /* a pseudo-terminal has no modem lines */
    hSerial = fd;
    if (RS232_KaltroIdentification() != RS232_OK) {
        closePort();
        return RS232_FAILED;
    }
    RS232_Set22kHzTone(0);
    return RS232_OK;
}

int RS232_Progress()
{
    if (Port >= RS232_PORT_LIMIT) return RS232_PORT_NO_MORE;
    int r = RS232_OpenPort(Port);
    if (r != RS232_OK) {
        Port++;
        return RS232_PORT_NEXT;
    }
    return RS232_PORT_FOUND;
}

int RS232_Term()
{
    closePort();
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
        if (n < 0 && errno != EAGAIN && errno != EINTR) return 0;
        std::int64_t left = deadline - nowUs();
        /* Not all bytes taken within the budget: the command went out cut. */
        if (left <= 0 || calls.Wait(hSerial, POLLOUT, static_cast<long>(left)) < 0) return 0;
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
        int w = calls.Wait(hSerial, POLLIN, static_cast<long>(left));
        if (w == 0) continue; /* the loop re-checks the time */
        ssize_t n = (w > 0) ? calls.Read(hSerial, chunk, RS232_READ_MAX - got) : -1;
        if (n < 0 && (errno == EAGAIN || errno == EINTR) && w > 0) continue;
        if (n <= 0) {
            /* An error or a peer that hung up: the read fails as a whole. */
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
