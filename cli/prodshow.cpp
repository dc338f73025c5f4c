/* prodshow.cpp -- the display and the totals of brevant-cli production (see
 * prodshow.h).
 *
 * State: the totals by result, the lines drawn last on a terminal, and
 * whether the workers have been told to end.
 */
#include "cli/prodshow.h"

#include "cli/cli.h"
#include "cli/term.h"
#include "config/dcss.h"
#include "ops/prodlog.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

constexpr int REDRAW_MS = 500;

static long Totals[PROD_RESULT_COUNT];
static long Devices = 0;
static int Drawn = 0;
static bool Ending = false;
static bool LogFailed = false;
static char LogError[SHOW_EVENT_LEN + 512];

/* "serial 12345679 (KX-103)", or "no serial number (KX-103)". */
static void deviceText(const ProdRecord_t *d, char *text, std::size_t len)
{
    if (d->HasSerial)
        std::snprintf(text, len, "serial %u (%ls)", static_cast<unsigned>(d->Serial),
                      DCSS_GetModelName(d->Model));
    else
        std::snprintf(text, len, "no serial number (%ls)", DCSS_GetModelName(d->Model));
}

/* "PASS serial 12345679 (KX-103)", or "FAIL ...: fail-verify, 1 difference". */
static void verdictText(const ProdRecord_t *d, char *text, std::size_t len)
{
    char dev[96], reason[128];
    deviceText(d, dev, sizeof dev);
    PRODLOG_Reason(d, reason, sizeof reason);
    if (d->Result == PROD_PASS)
        std::snprintf(text, len, "PASS %s", dev);
    else
        std::snprintf(text, len, "FAIL %s: %s, %s", dev, PROD_ResultName(d->Result), reason);
}

void SHOW_FormatPhase(ProdPhase_t phase, int percent, const ProdRecord_t *d, char *text, int len)
{
    const auto n = static_cast<std::size_t>(len);
    char dev[96] = "";
    if (d != nullptr) deviceText(d, dev, sizeof dev);
    switch (phase) {
    case PROD_CONNECTING:
        std::snprintf(text, n, "the Kaltro does not answer; waiting for it to come back");
        break;
    case PROD_WAITING: std::snprintf(text, n, "waiting for a device"); break;
    case PROD_PROGRAMMING:
    case PROD_VERIFYING: {
        const char *what = phase == PROD_PROGRAMMING ? "programming" : "verifying";
        if (percent >= 0)
            std::snprintf(text, n, "%-11s %3d %%  %s", what, percent, dev);
        else
            std::snprintf(text, n, "%s %s", what, dev);
        break;
    }
    case PROD_RESULT: {
        char verdict[SHOW_EVENT_LEN];
        verdictText(d, verdict, sizeof verdict);
        std::snprintf(text, n, "%s; next device", verdict);
        break;
    }
    case PROD_SAME:
        std::snprintf(text, n, "%s was just programmed; take it off (--again programs it again)",
                      dev);
        break;
    default: std::snprintf(text, n, "stopped"); break;
    }
}

void SHOW_FormatRecord(const ProdRecord_t *rec, char *text, int len)
{
    char verdict[SHOW_EVENT_LEN];
    verdictText(rec, verdict, sizeof verdict);
    std::snprintf(text, static_cast<std::size_t>(len), "%s %s", PROD_ResultName(rec->Result),
                  verdict);
}

/* ---- The run's display ---------------------------------------------------------- */

static std::FILE *out()
{
    return CliArgs.Json ? stderr : stdout;
}

static bool onTerminal()
{
    const char *term = std::getenv("TERM");
    return isatty(fileno(out())) != 0 && term != nullptr && std::strcmp(term, "dumb") != 0;
}

static long passed()
{
    return Totals[PROD_PASS];
}

/* "5 devices: 4 passed, 1 failed (fail-verify 1); 412 an hour over 0:00:43". */
static std::string totals(long long startUs)
{
    const double s = static_cast<double>(CLI_NowUs() - startUs) / 1e6;
    std::string failed;
    for (int r = 1; r < PROD_RESULT_COUNT; r++)
        if (Totals[r] > 0)
            failed += std::string(failed.empty() ? "" : ", ") +
                      PROD_ResultName(static_cast<ProdResult_t>(r)) + " " +
                      std::to_string(Totals[r]);
    char line[256];
    const long t = static_cast<long>(s);
    std::snprintf(
        line, sizeof line,
        "%ld device%s: %ld passed, %ld failed%s%s%s; %.0f devices an hour over %ld:%02ld:%02ld",
        Devices, Devices == 1 ? "" : "s", passed(), Devices - passed(), failed.empty() ? "" : " (",
        failed.c_str(), failed.empty() ? "" : ")",
        s > 0 ? static_cast<double>(Devices) * 3600.0 / s : 0.0, t / 3600, t / 60 % 60, t % 60);
    return line;
}

static void redraw(const ShowPort_t *ports, int n, long long startUs)
{
    std::FILE *f = out();
    if (Drawn > 0) std::fprintf(f, "\033[%dA", Drawn);
    for (int i = 0; i < n; i++)
        std::fprintf(f, "\r%-8s %s\033[K\n", ports[i].Label, ports[i].Status);
    std::fprintf(f, "\r%s\033[K\n", totals(startUs).c_str());
    Drawn = n + 1;
    std::fflush(f);
}

/* Tells every worker still running to end at its next step. */
static void endWorkers(ShowPort_t *ports, int n)
{
    if (Ending) return;
    Ending = true;
    for (int i = 0; i < n; i++)
        if (ports[i].Fd >= 0) kill(ports[i].Pid, SIGTERM);
}

/* One event line of port p. */
static void event(ShowPort_t *ports, int n, ShowPort_t &p, char *line, long count, bool fancy)
{
    const char kind = line[0];
    char *text = line[0] != '\0' && line[1] == ' ' ? line + 2 : line + 1;
    if (kind == 'P') {
        /* "PHASE PERCENT text": the percentage goes into the status line */
        char *end = nullptr;
        const int phase = static_cast<int>(std::strtol(text, &end, 10));
        const int percent = static_cast<int>(std::strtol(end, &end, 10));
        text = *end == ' ' ? end + 1 : end;
        const char *rest = std::strchr(text, ' ');
        if ((phase == PROD_PROGRAMMING || phase == PROD_VERIFYING) && rest != nullptr)
            std::snprintf(p.Status, sizeof p.Status, "%-11.*s %3d %%  %s",
                          static_cast<int>(rest - text), text, percent, rest + 1);
        else
            std::snprintf(p.Status, sizeof p.Status, "%s", text);
        /* Without a terminal a line per event, not per percent: a result
         * comes with its record. */
        if (!fancy && phase != p.Phase && phase != PROD_RESULT && phase != PROD_STOPPED)
            std::fprintf(out(), "%s: %s\n", p.Label, text);
        p.Phase = phase;
    } else if (kind == 'R') {
        const char *sp = std::strchr(text, ' ');
        const std::string result(text, sp != nullptr ? static_cast<std::size_t>(sp - text) : 0);
        for (int r = 0; r < PROD_RESULT_COUNT; r++)
            if (result == PROD_ResultName(static_cast<ProdResult_t>(r))) Totals[r]++;
        Devices++;
        if (!fancy) std::fprintf(out(), "%s: %s\n", p.Label, sp != nullptr ? sp + 1 : text);
        if (count > 0 && Devices >= count) endWorkers(ports, n);
    } else if (kind == 'E') {
        if (!LogFailed)
            std::snprintf(LogError, sizeof LogError, "%s: cannot write the log %s: %s", p.Label,
                          CLI_Value(OPT_LOG).c_str(), text);
        LogFailed = true;
        endWorkers(ports, n);
    }
    std::fflush(out());
}

/* Reads what port p's worker has written; false at its end. */
static bool readEvents(ShowPort_t *ports, int n, ShowPort_t &p, long count, bool fancy)
{
    char buf[4096];
    const ssize_t got = read(p.Fd, buf, sizeof buf);
    if (got < 0 && errno == EINTR) return true;
    if (got <= 0) return false;
    for (ssize_t i = 0; i < got; i++) {
        if (buf[i] != '\n') {
            if (p.PendingLen < SHOW_EVENT_LEN - 1) p.Pending[p.PendingLen++] = buf[i];
            continue;
        }
        p.Pending[p.PendingLen] = '\0';
        event(ports, n, p, p.Pending, count, fancy);
        p.PendingLen = 0;
    }
    return true;
}

int SHOW_Run(ShowPort_t *ports, int n, long count)
{
    const bool fancy = onTerminal();
    const long long startUs = CLI_NowUs();
    for (int i = 0; i < n; i++) {
        ports[i].Phase = -1;
        std::snprintf(ports[i].Status, sizeof ports[i].Status, "opening");
    }
    int running = n;
    bool interrupted = false;
    while (running > 0) {
        if (CLI_Interrupted() && !interrupted) {
            interrupted = true;
            endWorkers(ports, n);
        }
        pollfd fds[CLI_PORTS_MAX];
        int map[CLI_PORTS_MAX], k = 0;
        for (int i = 0; i < n; i++)
            if (ports[i].Fd >= 0) {
                fds[k] = {ports[i].Fd, POLLIN, 0};
                map[k++] = i;
            }
        const int ready = poll(fds, static_cast<nfds_t>(k), REDRAW_MS);
        for (int j = 0; ready > 0 && j < k; j++) {
            if (fds[j].revents == 0) continue;
            ShowPort_t &p = ports[map[j]];
            if (readEvents(ports, n, p, count, fancy)) continue;
            close(p.Fd);
            p.Fd = -1;
            int status = 0;
            while (waitpid(p.Pid, &status, 0) < 0 && errno == EINTR) {}
            p.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : CLI_INTERRUPTED;
            running--;
        }
        if (fancy) redraw(ports, n, startUs);
    }
    const std::string line = totals(startUs);
    if (!fancy) std::fprintf(out(), "%s\n", line.c_str());
    int code = CLI_INTERRUPTED;
    if (LogFailed)
        code = CLI_FILE_ERROR;
    else if (!interrupted && count > 0 && Devices >= count)
        code = passed() == Devices ? CLI_OK : CLI_REFUSED;
    if (CliArgs.Json) {
        std::string results;
        for (int r = 0; r < PROD_RESULT_COUNT; r++)
            results += std::string(r > 0 ? ", " : "") +
                       CLI_Json(PROD_ResultName(static_cast<ProdResult_t>(r))) + ": " +
                       std::to_string(Totals[r]);
        const std::string members = ", \"devices\": " + std::to_string(Devices) +
                                    ", \"results\": {" + results +
                                    "}, \"totals\": " + CLI_Json(line);
        if (code == CLI_OK) std::printf("{\"ok\": true, \"exit\": 0%s}\n", members.c_str());
        CLI_JsonMembers(members);
    }
    if (LogFailed) return CLI_Fail(code, std::string(LogError) + "; the run stopped: " + line);
    if (code == CLI_INTERRUPTED) return CLI_Fail(code, "interrupted; " + line);
    if (code == CLI_REFUSED) return CLI_Fail(code, "not every device passed: " + line);
    return code;
}
