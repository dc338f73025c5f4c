/* term.h -- what brevant-cli shows on the terminal: wide texts as UTF-8,
 * JSON strings, the one-line failures, and the progress of a device
 * operation, whose steps it drives in a loop.
 *
 * Progress goes to standard error: a bar redrawn in place on a terminal,
 * plain lines (each new status text, each further tenth) otherwise.
 */
#pragma once

#include <cstdio>
#include <string>

/* Exit codes. */
constexpr int CLI_OK = 0;            /* success */
constexpr int CLI_REFUSED = 1;       /* the device or the file said no */
constexpr int CLI_USAGE = 2;         /* wrong usage */
constexpr int CLI_NO_DEVICE = 3;     /* no Kaltro or no device */
constexpr int CLI_FILE_ERROR = 4;    /* a file could not be read or written */
constexpr int CLI_INTERRUPTED = 130; /* Ctrl-C or a termination signal, as a shell counts it */

/* A wide text (nullptr as empty) as UTF-8. */
std::string CLI_Utf8(const wchar_t *text);
/* s as a JSON string, quotes included. */
std::string CLI_Json(const std::string &s);
/* Prints "brevant-cli: what" and returns code. */
int CLI_Fail(int code, const std::string &what);

/* From now on SIGINT, SIGTERM and SIGHUP end the device exchange at the next
 * step instead of killing the program mid-exchange, so the Kaltro is told to
 * close and the port is given back; a second signal kills as usual. */
void CLI_CatchInterrupt();
/* Whether such a signal came. */
bool CLI_Interrupted();

/* How a device operation ended. */
struct CliRun_t {
    int TextId;        /* the status text shown last, or -1 */
    int Colour;        /* its colour (OpsColour_t) */
    bool Ended;        /* the steps ended the operation themselves */
    int Result;        /* their result then */
    long long ShownUs; /* when the last text was shown (CLI_NowUs) */
    bool Interrupted;  /* a signal stopped it */
};
/* The monotonic clock, in microseconds. */
long long CLI_NowUs();
/* Runs an operation: open (the steps' opening, given the display), then
 * step while a step is due, each at the time the last step asked for. A
 * green text with OK enabled ends the run at once, as the user's OK would;
 * an operation that did not end itself is closed as OK or Cancel closes its
 * dialog ("\r"). quiet shows no progress. A signal stops the steps; abandon,
 * when given, then tells the other side before the close. */
CliRun_t CLI_RunOperation(void (*open)(const struct OpsDisplay_t *), void (*step)(), bool quiet,
                          void (*abandon)() = nullptr);
/* The exit code of a run: 0 green, 130 interrupted, 3 no Kaltro or no
 * device, else 1. */
int CLI_RunCode(const CliRun_t &run);
