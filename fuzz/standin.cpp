/* standin.cpp -- the stand-in serial port of the fuzz targets (standin.h).
 *
 * State: the reads not given yet, the piece a read is taking, the bytes the
 * read under way has given and the watch they go to, the clock, the bytes
 * written since the last read began and the check they go to, and whether
 * the port is open on the stand-in.
 */
#include "fuzz/standin.h"

#include "link/rs232.h"
#include "link/rs232os.h"

#include <cstdlib>
#include <cstring>
#include <poll.h>

constexpr int PORT_FD = 1000;         /* the descriptor the stand-in hands out */
constexpr std::uint8_t HANG_UP = 255; /* the count that stands for a hang-up */

static const std::uint8_t *input = nullptr, *inputEnd = nullptr; /* reads not given yet */
static std::size_t pieceLeft = 0; /* bytes of the piece under way not taken yet */
static bool reading = false;      /* a read has begun and not ended */
static std::int64_t clockUs = 0;
static std::size_t writeLimit = 0;
static unsigned char written[XM_FRAME_MAX]; /* one command or frame per read */
static std::size_t writtenLen = 0;
static STANDIN_WriteCheck writeCheck = nullptr;
static bool readOpen = false;                   /* the program's read has begun and not ended */
static unsigned char readBytes[RS232_READ_MAX]; /* what it has given so far */
static std::size_t readLen = 0;
static STANDIN_ReadWatch readWatch = nullptr;
static bool portOpen = false;

void STANDIN_Check(bool ok)
{
    if (!ok) std::abort();
}

static int openDevice(const char *)
{
    portOpen = true;
    return PORT_FD;
}

static int succeed(int)
{
    return 0;
}

static int hasUart(const char *)
{
    return 1;
}

static int closeDevice(int)
{
    portOpen = false;
    return 0;
}

void STANDIN_CheckWritten()
{
    if (writtenLen > 0 && writeCheck != nullptr) writeCheck(written, writtenLen);
    writtenLen = 0;
}

/* The program's read is over: its bytes go to the watch. */
static void endRead()
{
    if (!readOpen) return;
    readOpen = false;
    if (readWatch != nullptr) readWatch(readBytes, readLen);
}

/* A read takes the next piece, or the rest of one a full read cut; once it
 * is taken, the read's quiet gap passes at once. What was written before is
 * checked first, in the state it was written in. */
static int waitFor(int, short events, long timeoutUs)
{
    if (events == POLLOUT) return 1;
    STANDIN_CheckWritten();
    if (!readOpen) {
        readOpen = true;
        readLen = 0;
    }
    if (pieceLeft > 0) return 1;
    if (!reading) {
        reading = true;
        std::size_t count = input < inputEnd ? *input++ : 0;
        if (count == HANG_UP) {
            reading = false;
            endRead();
            return -1;
        }
        if (count > static_cast<std::size_t>(inputEnd - input)) count = inputEnd - input;
        pieceLeft = count;
        if (count > 0) return 1;
    }
    reading = false;
    endRead();
    clockUs += timeoutUs;
    return 0;
}

/* The read ends by itself once it holds RS232_READ_MAX bytes. */
static ssize_t readPiece(int, void *buf, std::size_t len)
{
    const std::size_t n = len < pieceLeft ? len : pieceLeft;
    std::memcpy(buf, input, n);
    for (std::size_t i = 0; i < n; i++)
        if (input[i] != 0 && readLen < sizeof readBytes) readBytes[readLen++] = input[i];
    input += n;
    pieceLeft -= n;
    if (readLen == sizeof readBytes) endRead();
    return static_cast<ssize_t>(n);
}

static ssize_t keepWrite(int, const void *buf, std::size_t len)
{
    const std::size_t n = writeLimit > 0 && len > writeLimit ? writeLimit : len;
    STANDIN_Check(writtenLen + n <= sizeof written);
    std::memcpy(written + writtenLen, buf, n);
    writtenLen += n;
    return static_cast<ssize_t>(n);
}

static std::int64_t clockNow()
{
    return clockUs;
}

static void clockSleep(unsigned ms)
{
    clockUs += 1000 * static_cast<std::int64_t>(ms);
}

void STANDIN_SetReads(const std::uint8_t *data, std::size_t size, std::size_t writeMax)
{
    input = data;
    inputEnd = data + size;
    pieceLeft = 0;
    reading = false;
    writeLimit = writeMax;
    writtenLen = 0;
    readOpen = false;
}

void STANDIN_SetWriteCheck(STANDIN_WriteCheck check)
{
    writeCheck = check;
}

void STANDIN_SetReadWatch(STANDIN_ReadWatch watch)
{
    readWatch = watch;
}

std::size_t STANDIN_ReadsLeft()
{
    return static_cast<std::size_t>(inputEnd - input);
}

bool STANDIN_Open()
{
    if (portOpen) return true;
    *RS232_GetOsCalls() = {.OpenDevice = openDevice,
                           .LockDevice = succeed,
                           .SetLine = succeed,
                           .ClearModemLines = succeed,
                           .HasUart = hasUart,
                           .Wait = waitFor,
                           .Read = readPiece,
                           .Write = keepWrite,
                           .CloseDevice = closeDevice,
                           .NowUs = clockNow,
                           .Sleep = clockSleep};
    /* The bare return's read, then the answer to "gtid". */
    static const std::uint8_t identification[] = {0, 4, '0', 'x', '5', '4'};
    STANDIN_SetReads(identification, sizeof identification, 0);
    return RS232_OpenPort(1) == RS232_OK;
}
