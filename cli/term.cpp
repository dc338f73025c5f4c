/* term.cpp -- the terminal side of brevant-cli (see term.h).
 *
 * State: the display of the operation that runs (its last text, percentage,
 * the next step's due time, its outcome), one at a time; when the first
 * signal came; and under --json what a failure's object carries and whether
 * it was printed.
 */
#include "cli/term.h"

#include "config/texts.h"
#include "link/rs232.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

constexpr int BAR_WIDTH = 30;
constexpr int LINE_STEP = 10; /* plain lines report each further tenth */

struct Progress_t {
    bool Tty;
    bool Quiet;
    int TextId;
    int Percent;
    int LastLine; /* the percentage of the last plain line */
    bool Due;
    long long DueUs;
    bool Lingering;
    bool Finished;
    bool Failed;
    long long ShownUs;
};
static Progress_t P;

std::string CLI_Utf8(const wchar_t *text)
{
    std::string out;
    for (; text != nullptr && *text != L'\0'; text++) {
        const auto c = static_cast<unsigned long>(*text);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string CLI_Json(const std::string &s)
{
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

/* Under --json: the failure's object. */
struct JsonFailure_t {
    bool On;
    bool Printed; /* a run prints one object, never two */
    std::string Members;
};
static JsonFailure_t J;

int CLI_Fail(int code, const std::string &what)
{
    std::fprintf(stderr, "brevant-cli: %s\n", what.c_str());
    if (J.On && !J.Printed) {
        std::printf("{\"ok\": false, \"exit\": %d, \"error\": %s%s}\n", code,
                    CLI_Json(what).c_str(), J.Members.c_str());
        std::fflush(stdout);
        J.Printed = true;
    }
    return code;
}

void CLI_JsonFailures(bool on)
{
    J.On = on;
}

void CLI_JsonMembers(const std::string &members)
{
    J.Members = members;
}

static volatile std::sig_atomic_t Signalled = 0;
static volatile long long FirstSignalMs = 0;

/* A repeat within this time is the same request (a group signalled twice). */
constexpr long long REPEAT_MS = 500;

static long long nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts); /* safe in a signal handler */
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

static void onSignal(int sig)
{
    if (Signalled == 0) {
        Signalled = sig;
        FirstSignalMs = nowMs();
        return;
    }
    if (nowMs() - FirstSignalMs < REPEAT_MS) return;
    signal(sig, SIG_DFL); /* the user insists: end at once */
    raise(sig);
}

void CLI_CatchInterrupt()
{
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &sa, nullptr);
}

bool CLI_Interrupted()
{
    return Signalled != 0;
}

long long CLI_NowUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

static std::string statusText()
{
    return P.TextId >= 0 ? CLI_Utf8(TXT(P.TextId)) : std::string();
}

/* The bar, redrawn in place: "[#####.....]  45%  text". */
static void drawBar()
{
    const int filled = P.Percent * BAR_WIDTH / 100;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(BAR_WIDTH - filled), '.');
    std::fprintf(stderr, "\r[%s] %3d%%  %s\033[K", bar.c_str(), P.Percent, statusText().c_str());
    std::fflush(stderr);
}

static void showText(int textId)
{
    P.TextId = textId;
    P.ShownUs = CLI_NowUs();
    if (P.Quiet) return;
    if (P.Tty)
        drawBar();
    else
        std::fprintf(stderr, "%s\n", statusText().c_str());
}

static void status(void *, int textId)
{
    showText(textId);
}

static void progress(void *, int percent)
{
    P.Percent = percent;
    if (P.Quiet) return;
    if (P.Tty) return drawBar();
    if (percent >= P.LastLine + LINE_STEP || (percent == 100 && P.LastLine != 100)) {
        std::fprintf(stderr, "%d%%\n", percent);
        P.LastLine = percent;
    }
}

static void tick(void *, unsigned ms)
{
    P.Due = true;
    P.DueUs = CLI_NowUs() + static_cast<long long>(ms) * 1000;
}

static void linger(void *, unsigned)
{
    P.Lingering = true;
}

static void pause(void *, unsigned ms)
{
    RS232_Pause(ms);
}

static void ended(void *, const OpsEnd_t *end)
{
    P.Failed = end->Outcome != OPS_DONE;
    if (end->TextId >= 0) showText(end->TextId);
}

static void finished(void *)
{
    P.Finished = true;
}

CliRun_t CLI_RunOperation(void (*open)(const void *, const OpsDisplay_t *), const void *arg,
                          const OpsOperation_t &op, bool quiet)
{
    static const OpsDisplay_t display = {nullptr, status, progress, tick,
                                         linger,  pause,  ended,    finished};
    P = Progress_t{};
    /* A terminal that may not clear to the end of the line (TERM dumb, or
     * not set) gets the plain lines: the bar would leave its old text
     * behind, or show the escape. */
    const char *term = std::getenv("TERM");
    P.Tty = isatty(STDERR_FILENO) != 0 && term != nullptr && *term != '\0' &&
            std::strcmp(term, "dumb") != 0;
    P.Quiet = quiet;
    P.TextId = -1;
    open(arg, &display);
    /* A lingering outcome waits for the user's OK in a dialog; here it is
     * taken at once. */
    while (P.Due && !P.Finished && !P.Lingering && !CLI_Interrupted()) {
        P.Due = false;
        const long long wait = P.DueUs - CLI_NowUs();
        if (wait > 0) RS232_Pause(static_cast<unsigned>((wait + 999) / 1000));
        op.Step();
    }
    /* After a signal or a failure (a time-out, three NAKs) the Kaltro may
     * still be receiving: the transfer is abandoned on its side too, so that
     * the next command finds it ready. */
    const bool abandon = CLI_Interrupted() || P.Failed;
    const OpsEnd_t reported = op.Cancel(abandon ? OPS_ABANDON : OPS_CLOSE);
    if (!quiet && P.Tty) std::fprintf(stderr, "\n");
    return {reported, P.ShownUs};
}

int CLI_LastText()
{
    return P.TextId;
}

int CLI_ExitCode(OpsOutcome_t outcome)
{
    static const int Codes[OPS_OUTCOME_COUNT] = {
        CLI_OK,          /* done */
        CLI_REFUSED,     /* refused */
        CLI_NO_DEVICE,   /* no Kaltro */
        CLI_NO_DEVICE,   /* no device */
        CLI_NO_DEVICE,   /* line lost */
        CLI_INTERRUPTED, /* cancelled */
        CLI_TIMED_OUT,   /* timed out */
    };
    return outcome >= 0 && outcome < OPS_OUTCOME_COUNT ? Codes[outcome] : CLI_REFUSED;
}
