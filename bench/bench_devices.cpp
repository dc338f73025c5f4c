/* bench_devices.cpp -- timing program for the device operations: each runs
 * through its real dialog, at real time scale, against the simulated
 * controller and device (kaltro-sim on a thread of this program) pacing both
 * directions at 115200 baud. Each operation runs several times; the fastest
 * and the median run are printed in milliseconds beside the least time the
 * protocol's pauses, read time-outs and the line rate allow (worked out in
 * docs/PERFORMANCE.md).
 *
 *   bench_devices [--runs N]
 *
 * Times run from the opening of the dialog to the moment it shows its
 * success ("Upload successfully finished!" closes the read-out itself, so a
 * read-out is timed until the dialog has ended). The same operations run
 * once more through brevant-cli's step loop (cli/term.cpp), timed the same
 * way: to the success text, or to the end of the read-out. Runs on the
 * offscreen platform unless QT_QPA_PLATFORM says otherwise.
 */
#include "cli/term.h"
#include "config/image.h"
#include "config/velnor.h"
#include "dialogs/displaystate.h"
#include "dialogs/enprog.h"
#include "dialogs/readout.h"
#include "dialogs/transfer.h"
#include "link/rs232.h"
#include "ops/devop.h"
#include "ops/enop.h"
#include "ops/ops.h"
#include "ops/readop.h"
#include "ops/xferop.h"
#include "platform/testsupport/wintest.h"
#include "sim/sim.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "config/texts.h"

using Clock = std::chrono::steady_clock;

constexpr int SOFTWARE_SIZE = 64 * 1024;
constexpr int WAIT_MS = 120000; /* far longer than any operation */

static std::thread simThread;

/* Starts the simulator at the line rate with a powered device of model and
 * opens its port. */
static void startSim(const char *model)
{
    std::string m = model;
    std::vector<std::string> words{"kaltro-sim", "--line-rate", "--voltage", "6", "--model", m};
    std::vector<char *> argv;
    for (auto &w : words)
        argv.push_back(w.data());
    SIM_Options opt;
    char err[256];
    int port = -1;
    if (SIM_ParseArgs(static_cast<int>(argv.size()), argv.data(), &opt, err, sizeof err) == 0)
        port = SIM_Open(&opt, err, sizeof err);
    if (port < 0) {
        std::fprintf(stderr, "kaltro-sim: %s\n", err);
        std::exit(1);
    }
    simThread = std::thread(SIM_Run);
    if (RS232_OpenPort(port) != RS232_OK) {
        std::fprintf(stderr, "no Kaltro on COM%d\n", port);
        std::exit(1);
    }
}

static void stopSim()
{
    RS232_Term();
    SIM_RequestStop();
    simThread.join();
    SIM_Close();
}

static void useModel(int m)
{
    VelnorData = VelnorData_t{};
    VelnorData.Model = static_cast<std::int8_t>(m);
    MAIN_InitStruct();
}

static bool showsText(const Display_t *d, int textId)
{
    return std::wcscmp(d->KaltroText, TXT(textId)) == 0;
}

/* Runs a dialog from t0 until it shows textId (or, with textId -1, until it
 * has ended); closes it with OK when it stays open. Milliseconds. */
static double timeDialog(Clock::time_point t0, const WIN_DlgTemplate *t, DLGPROC proc,
                         const Display_t *d, int textId, const XferArgs_t *args = nullptr)
{
    Clock::time_point t1 = t0;
    bool ok = textId < 0;
    if (textId >= 0) {
        WIN_Post([&] {
            ok = WIN_WaitFor([&] { return showsText(d, textId); }, WAIT_MS);
            t1 = Clock::now();
            WIN_UserClose(WIN_ActiveDialog());
        });
    }
    WIN_DialogBoxParam(nullptr, t, proc, reinterpret_cast<LPARAM>(args));
    if (textId < 0) t1 = Clock::now();
    if (!ok) {
        std::fprintf(stderr, "the operation did not succeed\n");
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

static double upload()
{
    const double ms =
        timeDialog(Clock::now(), &CONFIGREADOUT_Template, ConfigReadOut, &DisplayShown, -1);
    if (READOP_GetMissing() != 0 || !showsText(&DisplayShown, TX_UPLOAD_FINISHED)) {
        std::fprintf(stderr, "the read-out missed bands\n");
        std::exit(1);
    }
    return ms;
}

static double programMxL()
{
    static unsigned char image[BREVCFG_IMAGE_MAX];
    const Clock::time_point t0 = Clock::now();
    const int size = BREVCFG_CompileMxL(VelnorCfg, &VelnorData, image);
    const XferArgs_t args = {XM_TYPE_DEVICE, image, size, 0};
    return timeDialog(t0, &KALTRO_Template, KaltroWinProc, &DisplayShown, TX_SW_UPGRADE_OK, &args);
}

static double programEN()
{
    const Clock::time_point t0 = Clock::now();
    RS232_StoreDBaseVer(VelnorData.DBaseVersion);
    return timeDialog(t0, &KALTRO_Template, BrevantUpgrEN, &DisplayShown, TX_SW_UPGRADE_OK);
}

static double upgradeSoftware()
{
    static std::vector<unsigned char> software(SOFTWARE_SIZE);
    for (int i = 0; i < SOFTWARE_SIZE; i++)
        software[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i * 31 + (i >> 9));
    const XferArgs_t args = {XM_TYPE_DEVICE, software.data(), SOFTWARE_SIZE, 0};
    return timeDialog(Clock::now(), &KALTRO_Template, KaltroWinProc, &DisplayShown,
                      TX_SW_UPGRADE_OK, &args);
}

/* An operation through brevant-cli's loop, from t0 (CLI_NowUs) to its
 * success text, or to its end for the read-out. Milliseconds. */
static double timeCli(long long t0, void (*open)(const void *, const OpsDisplay_t *),
                      const void *arg, const OpsOperation_t &op, int textId)
{
    const CliRun_t run = CLI_RunOperation(open, arg, op, true);
    const long long t1 = textId < 0 ? CLI_NowUs() : run.ShownUs;
    if (run.End.Outcome != OPS_DONE) {
        std::fprintf(stderr, "the operation did not succeed\n");
        std::exit(1);
    }
    return static_cast<double>(t1 - t0) / 1000.0;
}

template <void (*Open)(const OpsDisplay_t *)>
static void openPlain(const void *, const OpsDisplay_t *d)
{
    Open(d);
}

static void openTransfer(const void *args, const OpsDisplay_t *d)
{
    XFEROP_Open(static_cast<const XferArgs_t *>(args), d);
}

static double cliUpload()
{
    const double ms = timeCli(CLI_NowUs(), openPlain<READOP_Open>, nullptr, READOP_Operation, -1);
    if (READOP_GetMissing() != 0) {
        std::fprintf(stderr, "the read-out missed bands\n");
        std::exit(1);
    }
    return ms;
}

static double cliProgramMxL()
{
    static unsigned char image[BREVCFG_IMAGE_MAX];
    const long long t0 = CLI_NowUs();
    const int size = BREVCFG_CompileMxL(VelnorCfg, &VelnorData, image);
    const XferArgs_t args = {XM_TYPE_DEVICE, image, size, 0};
    return timeCli(t0, openTransfer, &args, XFEROP_Operation, TX_SW_UPGRADE_OK);
}

static double cliProgramEN()
{
    const long long t0 = CLI_NowUs();
    RS232_StoreDBaseVer(VelnorData.DBaseVersion);
    return timeCli(t0, openPlain<ENOP_Open>, nullptr, ENOP_Operation, TX_SW_UPGRADE_OK);
}

struct Operation {
    const char *what;
    const char *model; /* simulated device */
    int index;         /* its model index */
    double leastMs;    /* docs/PERFORMANCE.md */
    double (*run)();
};

int main(int argc, char **argv)
{
    int runs = 3;
    for (int i = 1; i < argc; i++)
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) runs = std::atoi(argv[++i]);
    if (runs < 1) runs = 1;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    char dir[] = "/tmp/brevant-bench-XXXXXX";
    if (mkdtemp(dir) != nullptr) setenv("XDG_RUNTIME_DIR", dir, 1);
    WIN_Init(argc, argv);

    const Operation ops[] = {
        {"configuration upload, 24 bands", "KX-103", 3, 5653, upload},
        {"configuration upload, 32 bands", "KX-107", 7, 6941, upload},
        {"programming a 24-UB MxL table", "KX-103", 3, 3651, programMxL},
        {"programming a 32-UB EN table", "KX-107", 7, 6234, programEN},
        {"64 KiB device software upgrade", "KX-103", 3, 10032, upgradeSoftware},
        {"brevant-cli: upload, 24 bands", "KX-103", 3, 5653, cliUpload},
        {"brevant-cli: upload, 32 bands", "KX-107", 7, 6941, cliUpload},
        {"brevant-cli: programming MxL, 24", "KX-103", 3, 3651, cliProgramMxL},
        {"brevant-cli: programming EN, 32", "KX-107", 7, 6234, cliProgramEN},
    };
    std::printf("%-34s %9s %9s %9s %8s\n", "operation", "least", "fastest", "median", "added");
    for (const Operation &op : ops) {
        startSim(op.model);
        std::vector<double> t;
        for (int r = 0; r < runs; r++) {
            useModel(op.index);
            t.push_back(op.run());
        }
        stopSim();
        std::sort(t.begin(), t.end());
        const double median = t[t.size() / 2];
        std::printf("%-34s %7.0f ms %6.0f ms %6.0f ms %7.1f %%\n", op.what, op.leastMs, t.front(),
                    median, 100.0 * (median - op.leastMs) / op.leastMs);
        std::fflush(stdout);
    }
    std::system((std::string("rm -rf '") + dir + "'").c_str());
    return 0;
}
