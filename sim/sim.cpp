/* sim.cpp -- the simulator's line: the pseudo-terminal and its COM link, the
 * serving loop, the pacing of both directions at the line rate, the faults
 * put on every answer, and the traffic log.
 *
 * State: the options, the terminal's descriptors, a queue of bytes read (each
 * with the moment it has fully arrived) and a queue of bytes to write (each
 * with the moment it may leave), the stop pipe (which also wakes the loop for
 * a swap request), the log, and the lock that
 * lets other threads inspect the simulator while it serves.
 *
 * At 115200 baud a byte (start bit, 8 data bits, stop bit) takes 86.8 us on
 * the wire. With --line-rate a byte read is taken in only when its wire time
 * has passed after the one before, and a byte written leaves only when its own
 * has; without it both happen at once.
 */
#include "sim/simint.h"

#include "link/portname.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <unistd.h>

constexpr std::int64_t BYTE_NS = 86806; /* 10 bits at 115200 baud */
/* --split's pause: longer than the program's 50 ms before a read, so each
 * piece arrives while a read is waiting and ends it (10 ms quiet). */
constexpr std::int64_t SPLIT_PAUSE_NS = 100000000;
constexpr std::int64_t NOISE_PAUSE_NS = 20000000; /* between --noise and the answer */
constexpr std::int64_t IDLE_WAIT_NS = 500000000;  /* the loop looks round at least this often */
constexpr int QUEUE_MAX = 1 << 16;
constexpr int NUL_EVERY = 3; /* --nul: a NUL after every third byte */
/* Line noise: no control byte of XModem, no "C", no "0x", no "Rx:". */
static const unsigned char noiseBytes[] = {0xFE, '#', 0x7F, '~', 0xF0, '%', 0x80};

static SIM_Options opts;
static int master = -1, slave = -1;
static char terminalPath[SIM_PATH_LEN];
static int port = -1;
static int stopPipe[2] = {-1, -1};
static std::atomic<bool> stopRequested{false};
static std::atomic<bool> swapRequested{false};
static std::mutex lock;
static FILE *logFile = nullptr;
static std::int64_t startTime = 0;
static bool muted = false;

/* A queue of bytes with a moment each, as a ring. */
struct TimedQueue {
    unsigned char byte[QUEUE_MAX];
    std::int64_t at[QUEUE_MAX];
    int head = 0, count = 0;
    std::int64_t last = 0; /* the moment of the byte queued last */

    bool push(unsigned char c, std::int64_t t)
    {
        if (count == QUEUE_MAX) return false;
        int i = (head + count) % QUEUE_MAX;
        byte[i] = c;
        at[i] = t;
        count++;
        last = t;
        return true;
    }
    void pop(int n)
    {
        head = (head + n) % QUEUE_MAX;
        count -= n;
    }
    void clear()
    {
        head = count = 0;
        last = 0;
    }
};
static TimedQueue in, out;

std::int64_t SIMIO_Now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

const SIM_Options &SIMIO_Options()
{
    return opts;
}

void SIMIO_Log(const char *fmt, ...)
{
    if (!logFile) return;
    std::fprintf(logFile, "%10.3f ", static_cast<double>(SIMIO_Now() - startTime) / 1e6);
    va_list ap;
    va_start(ap, fmt);
    std::vfprintf(logFile, fmt, ap);
    va_end(ap);
    std::fputc('\n', logFile);
    std::fflush(logFile);
}

void SIMIO_Append(char *out, std::size_t cap, std::size_t *len, const char *fmt, ...)
{
    if (cap == 0 || *len + 1 >= cap) return; /* full: only the NUL fits */
    va_list ap;
    va_start(ap, fmt);
    const int n = std::vsnprintf(out + *len, cap - *len, fmt, ap);
    va_end(ap);
    if (n < 0) {
        out[*len] = '\0';
        return;
    }
    const std::size_t room = cap - *len - 1;
    *len += static_cast<std::size_t>(n) < room ? static_cast<std::size_t>(n) : room;
}

static void logBytes(const char *dir, const unsigned char *p, std::size_t n)
{
    if (!logFile) return;
    char text[600] = "";
    std::size_t t = 0;
    for (std::size_t i = 0; i < n && t + 1 < sizeof text; i++) {
        unsigned char c = p[i];
        if (c == '\r')
            SIMIO_Append(text, sizeof text, &t, "\\r");
        else if (c == '\n')
            SIMIO_Append(text, sizeof text, &t, "\\n");
        else if (c >= 0x20 && c < 0x7F)
            SIMIO_Append(text, sizeof text, &t, "%c", c);
        else
            SIMIO_Append(text, sizeof text, &t, "\\x%02X", c);
    }
    SIMIO_Log("%s %s", dir, text);
}

void SIMIO_Mute()
{
    if (!muted) SIMIO_Log("  silent from here on (--stop-after)");
    muted = true;
}

/* Queues bytes to leave no earlier than notBefore, each after the one before
 * (and, at line rate, one byte time after it). */
static void emit(const unsigned char *p, std::size_t n, std::int64_t notBefore)
{
    for (std::size_t i = 0; i < n; i++) {
        std::int64_t t = out.last;
        if (i == 0 && notBefore > t) t = notBefore;
        if (opts.lineRate) t += BYTE_NS;
        if (!out.push(p[i], t)) return SIMIO_Log("! output queue full");
    }
}

/* Emits a piece of an answer, with --nul's NULs in it. */
static void emitPiece(const unsigned char *p, std::size_t n, std::int64_t notBefore)
{
    static const unsigned char nul = 0;
    for (std::size_t i = 0; i < n; i++) {
        emit(p + i, 1, i == 0 ? notBefore : 0);
        if (opts.nul && i % NUL_EVERY == NUL_EVERY - 1) emit(&nul, 1, 0);
    }
}

/* --noise: a burst of noise, then a pause, before the answer. The moment the
 * answer may start. */
static std::int64_t noiseFirst(std::int64_t notBefore)
{
    if (!opts.noise) return notBefore;
    emit(noiseBytes, sizeof noiseBytes, notBefore);
    return out.last + NOISE_PAUSE_NS;
}

void SIMIO_Send(const char *text, std::size_t len, const std::size_t *splits, int nsplits,
                int delayMs)
{
    if (opts.silent || muted || len == 0) return;
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    /* The echo of the command is logged by its mark only, so that the log
     * names each command once ("> lnbe"). */
    std::size_t echo = nsplits > 0 && splits[0] <= len ? splits[0] : 0;
    logBytes(echo ? "< [echo]" : "<", p + echo, len - echo);
    std::int64_t at = noiseFirst(SIMIO_Now() + static_cast<std::int64_t>(delayMs) * 1000000);
    std::size_t from = 0;
    for (int i = 0; opts.split && i < nsplits; i++) {
        if (splits[i] <= from || splits[i] >= len) continue;
        emitPiece(p + from, splits[i] - from, at);
        from = splits[i];
        at = out.last + SPLIT_PAUSE_NS;
    }
    emitPiece(p + from, len - from, at);
}

void SIMIO_SendControl(const unsigned char *bytes, std::size_t len)
{
    static const unsigned char nul = 0;
    if (opts.silent || muted) return;
    logBytes("<", bytes, len);
    std::int64_t at = noiseFirst(SIMIO_Now());
    for (std::size_t i = 0; i < len; i++) {
        if (opts.nul) emit(&nul, 1, i == 0 ? at : 0);
        emit(bytes + i, 1, i == 0 ? at : 0);
    }
}

/* ---- Set-up ------------------------------------------------------------------ */

static void closeAll()
{
    if (port > 0) PORTNAME_Unpublish(port, terminalPath);
    port = -1;
    for (int *fd : {&master, &slave, &stopPipe[0], &stopPipe[1]}) {
        if (*fd >= 0) close(*fd);
        *fd = -1;
    }
    if (logFile) std::fclose(logFile);
    logFile = nullptr;
}

static int fail(char *err, std::size_t errLen, const char *what)
{
    std::snprintf(err, errLen, "%s", what);
    closeAll();
    return -1;
}

static bool knownModel(const char *name)
{
    for (int m = 0; const SIM_Model *d = SIM_GetModel(m); m++)
        if (std::strcmp(d->name, name) == 0) return true;
    return false;
}

int SIM_Open(const SIM_Options *opt, char *err, std::size_t errLen)
{
    std::lock_guard<std::mutex> hold(lock);
    opts = *opt;
    in.clear();
    out.clear();
    muted = false;
    /* stopRequested is left as it is: a signal that came during start-up
     * ends the run at once. SIM_Close clears it for the next simulator. */
    startTime = SIMIO_Now();
    if (SIMDEV_Init(opts.model) != 0) return fail(err, errLen, "unknown model");
    SIM_Kaltro k{};
    k.tone = 1;
    k.swMajor = 2;
    k.swMinor = 13;
    if (opts.state[0] && SIMDEV_LoadState(opts.state, &k, err, errLen) != 0) return -1;
    SIM_Device &d = SIMDEV_State();
    if (opts.ubs >= 0) d.ubs = opts.ubs & 0xFF;
    if (opts.id >= 0) d.id = static_cast<std::uint8_t>(opts.id);
    if (opts.serial >= 0) d.sn = static_cast<std::uint32_t>(opts.serial);
    for (int i = 0; i < opts.modelCycleCount; i++)
        if (!knownModel(opts.modelCycle[i])) return fail(err, errLen, "unknown model in the cycle");
    swapRequested = false;
    SIMSWAP_Init(startTime);
    if (opts.voltage >= 0) k.level = opts.voltage;
    SIMKAL_Init(k);
    if (opts.log[0] && !(logFile = std::fopen(opts.log, "w")))
        return fail(err, errLen, "cannot write the log file");
    if (pipe2(stopPipe, O_NONBLOCK | O_CLOEXEC) != 0) return fail(err, errLen, "no pipe");
    if (PTY_Open(&master, &slave, terminalPath, sizeof terminalPath) != 0)
        return fail(err, errLen, "cannot create a pseudo-terminal");
    if (opts.port > 0)
        port = PORTNAME_Publish(opts.port, terminalPath) == 0 ? opts.port : -1;
    else
        port = PORTNAME_PublishFirstFree(terminalPath);
    if (port < 0) return fail(err, errLen, "cannot publish the COM link (number taken?)");
    SIMIO_Log("  COM%d is %s, device 1 on: %s, serial %u", port, terminalPath, opts.model,
              SIMDEV_State().sn);
    return port;
}

void SIM_Close()
{
    std::lock_guard<std::mutex> hold(lock);
    closeAll();
    stopRequested = false;
    swapRequested = false;
}

/* Raises flag and wakes the serving loop. Called from signal handlers: the
 * interrupted code's errno survives a write that fails (a full pipe is
 * already enough to wake the loop). */
static void request(std::atomic<bool> &flag)
{
    const int savedErrno = errno;
    flag = true;
    char c = 1;
    if (stopPipe[1] >= 0) (void)!write(stopPipe[1], &c, 1);
    errno = savedErrno;
}

void SIM_RequestStop()
{
    request(stopRequested);
}

void SIM_RequestSwap()
{
    request(swapRequested);
}

/* ---- Serving ------------------------------------------------------------------ */

/* Reads what the program wrote; each byte is due once its wire time has passed. */
static void readLine(std::int64_t now)
{
    unsigned char buf[4096];
    int room = QUEUE_MAX - in.count;
    if (room <= 0) return;
    ssize_t n = read(master, buf, sizeof buf < static_cast<std::size_t>(room) ? sizeof buf : room);
    for (ssize_t i = 0; i < n; i++) {
        std::int64_t t = now;
        if (opts.lineRate) t = (in.count && in.last > now ? in.last : now) + BYTE_NS;
        in.push(buf[i], t);
    }
}

/* Hands due bytes to the controller, runs its timers, writes due bytes. The
 * next moment something is due, or -1. */
static std::int64_t serve(std::int64_t now)
{
    std::lock_guard<std::mutex> hold(lock);
    /* A swap first, so that the commands after it meet the empty output. */
    if (swapRequested.exchange(false)) SIMSWAP_Begin(now);
    std::int64_t swap = SIMSWAP_NextTimer();
    if (swap >= 0 && swap <= now) SIMSWAP_Tick(now);
    int due = 0;
    while (due < in.count && in.at[(in.head + due) % QUEUE_MAX] <= now)
        due++;
    for (int i = 0; i < due; i++)
        SIMKAL_Input(in.byte[(in.head + i) % QUEUE_MAX], now);
    in.pop(due);
    std::int64_t t = SIMKAL_NextTimer();
    if (t >= 0 && t <= now) SIMKAL_Tick(now);

    while (out.count && out.at[out.head] <= now) {
        int run = 0;
        while (run < out.count && out.head + run < QUEUE_MAX && out.at[out.head + run] <= now)
            run++;
        ssize_t n = write(master, out.byte + out.head, static_cast<std::size_t>(run));
        if (n <= 0) break; /* the terminal is full; poll says when it drains */
        out.pop(static_cast<int>(n));
    }

    std::int64_t next = -1;
    auto consider = [&next](std::int64_t x) {
        if (x >= 0 && (next < 0 || x < next)) next = x;
    };
    if (in.count) consider(in.at[in.head]);
    if (out.count) consider(out.at[out.head]);
    consider(SIMKAL_NextTimer());
    consider(SIMSWAP_NextTimer());
    return next;
}

int SIM_Run()
{
    while (!stopRequested) {
        std::int64_t now = SIMIO_Now();
        std::int64_t next = serve(now);
        std::int64_t wait = next < 0 ? IDLE_WAIT_NS : next - now;
        if (wait > IDLE_WAIT_NS) wait = IDLE_WAIT_NS;
        if (wait < 0) wait = 0;
        bool blocked = out.count && out.at[out.head] <= now;
        pollfd fds[2] = {
            {master,
             static_cast<short>((in.count < QUEUE_MAX ? POLLIN : 0) | (blocked ? POLLOUT : 0)), 0},
            {stopPipe[0], POLLIN, 0}};
        timespec ts{static_cast<time_t>(wait / 1000000000), static_cast<long>(wait % 1000000000)};
        if (ppoll(fds, 2, &ts, nullptr) < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) readLine(SIMIO_Now());
        if (fds[1].revents & POLLIN) {
            char c;
            while (read(stopPipe[0], &c, 1) > 0) {}
        }
    }
    return 0;
}

/* ---- Inspection --------------------------------------------------------------- */

int SIM_GetPort()
{
    std::lock_guard<std::mutex> hold(lock);
    return port;
}

const char *SIM_GetTerminal()
{
    return terminalPath;
}

void SIM_GetDevice(SIM_Device *o)
{
    std::lock_guard<std::mutex> hold(lock);
    *o = SIMDEV_State();
}

void SIM_GetKaltro(SIM_Kaltro *o)
{
    std::lock_guard<std::mutex> hold(lock);
    *o = SIMKAL_State();
}

int SIM_CommandCount(const char *verb)
{
    std::lock_guard<std::mutex> hold(lock);
    return SIMKAL_CommandCount(verb);
}

void SIM_GetLastCommand(char *o, std::size_t len)
{
    std::lock_guard<std::mutex> hold(lock);
    std::snprintf(o, len, "%s", SIMKAL_LastCommand());
}

int SIM_SwapCount()
{
    std::lock_guard<std::mutex> hold(lock);
    return SIMSWAP_Count();
}

int SIM_GetTransfer(SIM_Transfer *o, unsigned char *image, int cap)
{
    std::lock_guard<std::mutex> hold(lock);
    *o = SIMXM_Transfer();
    int n = o->size < cap ? o->size : cap;
    if (image && n > 0) std::memcpy(image, SIMXM_Image(), static_cast<std::size_t>(n));
    return o->size;
}
