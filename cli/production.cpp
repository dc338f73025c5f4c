/* production.cpp -- brevant-cli production: device after device on one
 * Kaltro or several, each record appended to a log.
 *
 * The file is read once for every model it may go to; then one process per
 * Kaltro (forked, so each has the serial link's state to itself) runs the
 * production steps (ops/prodop) in the terminal's step loop and appends its
 * records to the shared log itself, under the log's lock. Each tells this
 * process what it does over a pipe, one line per event; this process shows
 * them (prodshow.cpp) and counts the results.
 *
 * State: the table for each model, the ports, the options of the run, and in
 * each worker the port it drives; the claims of --count live in memory
 * shared by all.
 */
#include "cli/cli.h"
#include "cli/prodshow.h"
#include "cli/term.h"
#include "config/dcss.h"
#include "config/sha256.h"
#include "config/validate.h"
#include "config/velnor.h"
#include "link/rs232.h"
#include "ops/prodlog.h"
#include "ops/prodop.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

/* A transfer's longest wait here: a device that drops off is given up
 * within seconds, not the minute of a single programming. */
constexpr int PRODUCTION_TIMEOUT_S = 5;
constexpr long COUNT_MAX = 1000000;

struct ModelTable_t {
    bool Takes;
    VelnorCfg_t Cfg[MAX_UB];
    VelnorData_t Data;
};
static ModelTable_t Tables[DCSS_MODEL_COUNT];

static ShowPort_t Ports[CLI_PORTS_MAX];
static int PortCount = 0;
static long Count = 0; /* --count, 0 for no end */

/* What the workers share: the devices claimed so far. */
struct Shared_t {
    std::atomic<long> Claimed;
};
static Shared_t *Shared = nullptr;

/* ---- The file, for every model ------------------------------------------------ */

/* Reads the file for each model it may go to (--model, or all); the
 * models that take it keep their validated table. */
static int prepareTables()
{
    int only = -1;
    if (CLI_Given(OPT_MODEL) && (only = CLI_ModelOption("production")) < 0) return CLI_USAGE;
    std::string takes, changed;
    int readFailure = CLI_OK;
    for (int m = 0; m < DCSS_MODEL_COUNT; m++) {
        if (only >= 0 && m != only) continue;
        VelnorData.Model = static_cast<std::int8_t>(m);
        MAIN_InitStruct();
        const int r = CLI_LoadTable(only >= 0);
        if (r == CLI_FILE_ERROR) readFailure = r;
        if (r != CLI_OK) {
            if (only >= 0) return r;
            continue;
        }
        /* Without --model nobody was told of values the model would
         * change: such a model is not taken. */
        if (only < 0 && CLI_LoadChanges() > 0) {
            changed += (changed.empty() ? "" : ", ") + CLI_ModelName(m);
            continue;
        }
        if (ConfigOK != 0) {
            if (only >= 0) return CLI_RefuseFaultyTable();
            continue;
        }
        Tables[m].Takes = true;
        std::copy(VelnorCfg, VelnorCfg + MAX_UB, Tables[m].Cfg);
        Tables[m].Data = VelnorData;
        takes += (takes.empty() ? "" : ", ") + CLI_ModelName(m);
    }
    /* Unreadable or empty: the same for every model; told once. */
    if (readFailure != CLI_OK && takes.empty()) return CLI_LoadTable(true);
    if (takes.empty())
        return CLI_Fail(CLI_REFUSED, CliArgs.Positional[0] +
                                         " suits no model as it stands; brevant-cli check FILE "
                                         "--model NAME shows why, and --model takes one");
    if (only < 0)
        std::fprintf(stderr,
                     "brevant-cli: %s suits %s; devices of other models are refused as "
                     "wrong-model%s%s%s\n",
                     CliArgs.Positional[0].c_str(), takes.c_str(), changed.empty() ? "" : " (the ",
                     changed.c_str(),
                     changed.empty() ? "" : " would change values: --model takes one)");
    return CLI_OK;
}

/* ---- The Kaltros -------------------------------------------------------------- */

static void addPort(int com, const std::string &path)
{
    ShowPort_t &p = Ports[PortCount++];
    p = ShowPort_t{};
    p.Com = com;
    std::snprintf(p.Path, sizeof p.Path, "%s", path.c_str());
    if (com > 0)
        std::snprintf(p.Label, sizeof p.Label, "COM%d", com);
    else
        std::snprintf(p.Label, sizeof p.Label, "%s", path.c_str());
}

/* The ports of the run: each --port (checked now, so that a wrong one is
 * told before anything is programmed), every port with a Kaltro (--all),
 * or the first. */
static int findPorts()
{
    if (CLI_Given(OPT_ALL) && CliArgs.PortCount > 0)
        return CLI_Usage("--all and --port exclude each other", "production");
    for (int i = 0; i < CliArgs.PortCount; i++) {
        const std::string &v = CliArgs.Ports[i];
        if (const int r = CLI_OpenPortValue(v); r != CLI_OK) return r;
        RS232_Term();
        addPort(CLI_AllDigits(v) ? std::atoi(v.c_str()) : 0, v);
        for (int k = 0; k + 1 < PortCount; k++)
            if (std::strcmp(Ports[k].Label, Ports[PortCount - 1].Label) == 0)
                return CLI_Usage("--port " + v + " given twice", "production");
    }
    if (PortCount > 0) return CLI_OK;
    if (!CLI_Given(OPT_ALL)) {
        if (const int r = CLI_OpenKaltro(); r != CLI_OK) return r;
        addPort(RS232_GetLastPortNumber(), RS232_GetDevicePath());
        RS232_Term();
        return CLI_OK;
    }
    for (int n = 1; n < RS232_PORT_LIMIT && PortCount < CLI_PORTS_MAX; n++)
        if (RS232_ScanPort(n) == RS232_PORT_FOUND) {
            addPort(n, RS232_GetDevicePath());
            RS232_Term();
        }
    if (PortCount > 0) return CLI_OK;
    return CLI_Fail(
        CLI_NO_DEVICE,
        "no Kaltro answered on any port; connect them, or name their ports with --port");
}

/* The log's format: --log-format json, else CSV. */
static ProdLogFormat_t logFormat()
{
    return CLI_Value(OPT_LOG_FORMAT) == "json" ? PRODLOG_JSON : PRODLOG_CSV;
}

/* ---- One worker a Kaltro ------------------------------------------------------ */

static int Pipe = -1; /* the worker's line to the run */
static ShowPort_t *Mine = nullptr;
static bool LogFailed = false;

/* One event to the run: "kind text", on one line (short, so one write). */
static void tell(char kind, const char *text)
{
    char line[SHOW_EVENT_LEN];
    const int n = std::snprintf(line, sizeof line, "%c %s\n", kind, text);
    if (n > 0)
        (void)!write(Pipe, line,
                     static_cast<std::size_t>(n < SHOW_EVENT_LEN ? n : SHOW_EVENT_LEN - 1));
}

static bool tableFor(void *, int model)
{
    if (model < 0 || model >= DCSS_MODEL_COUNT || !Tables[model].Takes) return false;
    std::copy(Tables[model].Cfg, Tables[model].Cfg + MAX_UB, VelnorCfg);
    VelnorData = Tables[model].Data;
    return true;
}

static bool claim(void *)
{
    return Count == 0 || Shared->Claimed.fetch_add(1) < Count;
}

static bool record(void *, const ProdRecord_t *rec)
{
    if (PRODLOG_Append(rec, Mine->Label, RS232_GetDevicePath()) != 0) {
        LogFailed = true;
        tell('E', std::strerror(errno));
        return false;
    }
    char text[SHOW_EVENT_LEN - 4];
    SHOW_FormatRecord(rec, text, sizeof text);
    tell('R', text);
    return true;
}

static void show(void *, ProdPhase_t phase, int percent, const ProdRecord_t *device)
{
    static int lastPhase = -1, lastPercent = -1;
    if (phase == lastPhase && percent == lastPercent) return;
    lastPhase = phase;
    lastPercent = percent;
    char status[SHOW_EVENT_LEN - 24], text[SHOW_EVENT_LEN - 4];
    SHOW_FormatPhase(phase, -1, device, status, sizeof status);
    std::snprintf(text, sizeof text, "%d %d %s", static_cast<int>(phase), percent, status);
    tell('P', text);
}

static void openRun(const void *args, const OpsDisplay_t *d)
{
    PRODOP_Open(static_cast<const ProdArgs_t *>(args), d);
}

/* The worker's life: the production steps on its Kaltro until the run's
 * end. Its exit status: 0 at the end of the claims, 4 when the log could not
 * be written, 130 after a signal. */
static int worker(ShowPort_t *port, int fd, const std::string &file, const char *sha)
{
    Pipe = fd;
    Mine = port;
    /* Its own opening of the log: the lock belongs to an opening, and the
     * workers must exclude each other. */
    if (PRODLOG_Open(CLI_Value(OPT_LOG).c_str(), logFormat(), file.c_str(), sha) != 0) {
        tell('E', std::strerror(errno));
        return CLI_FILE_ERROR;
    }
    const unsigned limit =
        CLI_Given(OPT_TIMEOUT) ? CLI_TimeLimitMs() : PRODUCTION_TIMEOUT_S * 1000u;
    const ProdArgs_t args = {
        port->Com, port->Path, CLI_Given(OPT_AGAIN), limit, nullptr, tableFor, claim, record, show};
    const CliRun_t run = CLI_RunOperation(openRun, &args, PRODOP_Operation, true);
    PRODLOG_Close();
    if (LogFailed) return CLI_FILE_ERROR;
    return run.End.Outcome == OPS_DONE ? CLI_OK : CLI_INTERRUPTED;
}

/* ---- The run ------------------------------------------------------------------ */

static int checkOptions()
{
    const std::string &format = CLI_Value(OPT_LOG_FORMAT);
    if (CLI_Given(OPT_LOG_FORMAT) && format != "csv" && format != "json")
        return CLI_Usage("--log-format takes csv or json", "production");
    if (CLI_Given(OPT_COUNT)) {
        const std::string &v = CLI_Value(OPT_COUNT);
        Count = CLI_AllDigits(v) && v.size() <= 7 ? std::atol(v.c_str()) : 0;
        if (Count < 1 || Count > COUNT_MAX)
            return CLI_Usage("--count takes a number of devices from 1 to 1000000", "production");
    }
    return CLI_OK;
}

int CLI_CmdProduction()
{
    if (const int r = checkOptions(); r != CLI_OK) return r;
    const std::string &file = CliArgs.Positional[0];
    const std::string &log = CLI_Value(OPT_LOG);
    char sha[SHA256_HEX_LEN];
    if (SHA256_File(file.c_str(), sha) != 0)
        return CLI_Fail(CLI_FILE_ERROR, "cannot read " + file + ": " + std::strerror(errno));
    if (const int r = prepareTables(); r != CLI_OK) return r;
    /* A log that cannot be written stops the run before any device. */
    if (PRODLOG_Open(log.c_str(), logFormat(), file.c_str(), sha) != 0)
        return CLI_Fail(CLI_FILE_ERROR, "cannot write the log " + log + ": " +
                                            std::strerror(errno) + "; no device was programmed");
    PRODLOG_Close();
    if (const int r = findPorts(); r != CLI_OK) return r;

    void *mem =
        mmap(nullptr, sizeof(Shared_t), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (mem == MAP_FAILED)
        return CLI_Fail(CLI_FILE_ERROR, std::string("no memory: ") + std::strerror(errno));
    Shared = new (mem) Shared_t{};
    std::fflush(nullptr);
    for (int i = 0; i < PortCount; i++) {
        int fds[2];
        if (pipe(fds) != 0)
            return CLI_Fail(CLI_FILE_ERROR, std::string("no pipe: ") + std::strerror(errno));
        const pid_t pid = fork();
        if (pid < 0)
            return CLI_Fail(CLI_FILE_ERROR, std::string("cannot start: ") + std::strerror(errno));
        if (pid == 0) {
            close(fds[0]);
            for (int k = 0; k < i; k++)
                close(Ports[k].Fd);
            _exit(worker(&Ports[i], fds[1], file, sha));
        }
        close(fds[1]);
        Ports[i].Pid = pid;
        Ports[i].Fd = fds[0];
    }
    return SHOW_Run(Ports, PortCount, Count);
}
