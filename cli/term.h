/* term.h -- what brevant-cli shows on the terminal: wide texts as UTF-8,
 * JSON strings, the one-line failures, and the progress of a device
 * operation, whose steps it drives in a loop.
 *
 * Progress goes to standard error: a bar redrawn in place on a terminal,
 * plain lines (each new status text, each further tenth) otherwise, also on
 * a terminal that may not clear a line (TERM dumb or not set).
 *
 * Under --json a run prints one JSON object on standard output, whatever
 * the end: a failure's object is made here, with what the command handed
 * over before it failed.
 */
#pragma once

#include "ops/ops.h"

#include <cstdio>
#include <string>

/* Exit codes. */
constexpr int CLI_OK = 0;            /* success */
constexpr int CLI_REFUSED = 1;       /* the device or the file said no */
constexpr int CLI_USAGE = 2;         /* wrong usage */
constexpr int CLI_NO_DEVICE = 3;     /* no Kaltro or no device */
constexpr int CLI_FILE_ERROR = 4;    /* a file could not be read or written */
constexpr int CLI_TIMED_OUT = 5;     /* the device or the Kaltro stopped answering a transfer */
constexpr int CLI_INTERRUPTED = 130; /* Ctrl-C or a termination signal, as a shell counts it */

/* A wide text (nullptr as empty) as UTF-8. */
std::string CLI_Utf8(const wchar_t *text);
/* s as a JSON string, quotes included. */
std::string CLI_Json(const std::string &s);
/* Prints "brevant-cli: what" on standard error and returns code. Under
 * --json it also prints the run's one object on standard output:
 * {"ok": false, "exit": code, "error": what} with the members of
 * CLI_JsonMembers; a second failure in the same run adds no second object. */
int CLI_Fail(int code, const std::string &what);
/* Whether failures print their JSON object: on once --json is seen. */
void CLI_JsonFailures(bool on);
/* The members (", \"outcome\": \"refused\", ...", each after a comma) a
 * failure's object carries besides ok, exit and error: what the command
 * would have printed in its own object. Replaces those given before. */
void CLI_JsonMembers(const std::string &members);

/* From now on SIGINT, SIGTERM and SIGHUP end the device exchange at the next
 * step instead of killing the program mid-exchange, so the Kaltro is told to
 * close and the port is given back. A second signal kills as usual, unless it
 * follows the first within half a second: GNU timeout, for one, signals the
 * program and then its whole group, and that is one request, not two. */
void CLI_CatchInterrupt();
/* Whether such a signal came. */
bool CLI_Interrupted();

/* The monotonic clock, in microseconds. */
long long CLI_NowUs();

/* How a device operation ended. */
struct CliRun_t {
    OpsEnd_t End;      /* its outcome; cancelled when a signal stopped it first */
    long long ShownUs; /* when the outcome, or the last text, was shown (CLI_NowUs) */
};
/* Runs an operation: open(arg, display), then its steps while one is due,
 * each at the time the last step asked for, until it Finishes or its outcome
 * lingers (the user's OK in a dialog). Then the operation's cancel closes the
 * exchange, as OK or Cancel closes a dialog: OPS_ABANDON after a signal or a
 * failure, so the Kaltro is ready for the next command at once, else
 * OPS_CLOSE. quiet shows no progress. */
CliRun_t CLI_RunOperation(void (*open)(const void *arg, const OpsDisplay_t *d), const void *arg,
                          const OpsOperation_t &op, bool quiet);
/* The status text shown last by the operation that ran last, or -1. */
int CLI_LastText();
/* The exit code of an outcome; the one table of them. */
int CLI_ExitCode(OpsOutcome_t outcome);
