/* term.cpp -- the terminal side of brevant-cli (see term.h).
 *
 * State: the display of the operation that runs (its last text, colour,
 * percentage, whether OK is enabled, the next step's due time), one at a
 * time.
 */
#include "cli/term.h"

#include "config/texts.h"
#include "link/rs232.h"
#include "ops/opsdisp.h"

#include <csignal>
#include <ctime>
#include <unistd.h>

constexpr int BAR_WIDTH = 30;
constexpr int LINE_STEP = 10; /* plain lines report each further tenth */

struct Progress_t {
    bool Tty;
    bool Quiet;
    int TextId;
    int Colour;
    int Percent;
    int LastLine; /* the percentage of the last plain line */
    bool OK;
    bool Due;
    long long DueUs;
    bool Ended;
    int Result;
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

int CLI_Fail(int code, const std::string &what)
{
    std::fprintf(stderr, "brevant-cli: %s\n", what.c_str());
    return code;
}

static volatile std::sig_atomic_t Signalled = 0;

static void onSignal(int sig)
{
    Signalled = sig;
}

void CLI_CatchInterrupt()
{
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sa.sa_flags = SA_RESETHAND; /* a second signal kills */
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

static void show(void *, int textId, OpsColour_t colour)
{
    P.TextId = textId;
    P.Colour = colour;
    P.ShownUs = CLI_NowUs();
    if (P.Quiet) return;
    if (P.Tty)
        drawBar();
    else
        std::fprintf(stderr, "%s\n", statusText().c_str());
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

static void enableOK(void *, bool enable)
{
    P.OK = enable;
}

static void tick(void *, unsigned ms)
{
    P.Due = true;
    P.DueUs = CLI_NowUs() + static_cast<long long>(ms) * 1000;
}

static void pause(void *, unsigned ms)
{
    RS232_Pause(ms);
}

static void end(void *, int result)
{
    P.Ended = true;
    P.Result = result;
}

CliRun_t CLI_RunOperation(void (*open)(const OpsDisplay_t *), void (*step)(), bool quiet,
                          void (*abandon)())
{
    static const OpsDisplay_t display = {nullptr, show, progress, enableOK, tick, pause, end};
    P = Progress_t{};
    P.Tty = isatty(STDERR_FILENO) != 0;
    P.Quiet = quiet;
    P.TextId = -1;
    P.LastLine = 0;
    open(&display);
    while (P.Due && !P.Ended && !CLI_Interrupted()) {
        /* The user's OK on a success text ends the wait for the closing step. */
        if (P.Colour == OPS_GREEN && P.OK) break;
        P.Due = false;
        const long long wait = P.DueUs - CLI_NowUs();
        if (wait > 0) RS232_Pause(static_cast<unsigned>((wait + 999) / 1000));
        step();
    }
    if (CLI_Interrupted() && abandon != nullptr) abandon();
    if (!P.Ended) RS232_KaltroClose();
    if (!quiet && P.Tty) std::fprintf(stderr, "\n");
    return {P.TextId, P.Colour, P.Ended, P.Result, P.ShownUs, CLI_Interrupted()};
}

int CLI_RunCode(const CliRun_t &run)
{
    if (run.Ended || run.Colour == OPS_GREEN) return CLI_OK;
    if (run.Interrupted) return CLI_INTERRUPTED;
    if (run.TextId == TX_NO_REPLY_KALTRO || run.TextId == TX_NO_DEVICE) return CLI_NO_DEVICE;
    return CLI_REFUSED;
}
