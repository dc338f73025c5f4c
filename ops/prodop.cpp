/* prodop.cpp -- production on one Kaltro as steps (see prodop.h).
 *
 * State: the caller's arguments (A), the step (State), the device at hand
 * (Rec, the table it is to hold in Want, the plan of its programming), the
 * serial number programmed last, the probes in a row that found no device,
 * the operation running inside a step (Sub) and the run.
 *
 *   State      exchange                               next
 *   Connect    open the port, the Kaltro's identifi-  Wait (after the start time
 *              cation and version, supply on           when the supply was raised);
 *                                                     failing: Connect in 1 s
 *   Wait       "lnbe", one read                       a model: Identify; else Wait in 100 ms
 *   Identify   "lnbn", "lnbv", "lnbf"                 the serial number just programmed:
 *                                                     Gone; no claim: the run ends;
 *                                                     a model without a table: a
 *                                                     wrong-model record; else Program
 *   Program    "lnad" (EN group), then EN program-    a failure: its record; else Verify
 *              ming or the image transfer, one of
 *              their steps a step
 *   Verify     "lnbd", then the read-out, a band a    the comparison and the record
 *              step
 *   Gone       "lnbe", one read; with an answer       two misses in a row: Wait; another
 *              "lnbn"                                 serial number: Identify; else
 *                                                     Gone in 100 ms
 *
 * The port going away in any step ends the device at hand as lost and goes
 * back to Connect. The operations inside (EN programming, the transfer, the
 * read-out) run with their own steps; each is closed as soon as it has
 * reported its outcome, a failed one abandoned on the Kaltro's side.
 */
#include "ops/prodop.h"

#include "config/dcss.h"
#include "link/rs232.h"
#include "ops/devop.h"
#include "ops/enop.h"
#include "ops/readop.h"
#include "ops/xferop.h"

#include <algorithm>

enum ProdState_t {
    ST_CONNECT,
    ST_WAIT,
    ST_IDENTIFY,
    ST_PROGRAM,
    ST_VERIFY,
    ST_GONE,
    ST_ENDED,
};

constexpr unsigned CONNECT_RETRY_MS = 1000; /* a Kaltro that is not there is asked again */
constexpr unsigned POLL_MS = 100;           /* between two looks for a device */
constexpr unsigned NEXT_MS = 1;             /* the next step as soon as the loop is free */
constexpr int GONE_MISSES = 2;              /* looks in a row without a device: it is gone */
constexpr int SN_UNREAD = -2;               /* not a value "lnbn" gives */

static const ProdArgs_t *A = nullptr;
static ProdState_t State = ST_ENDED;
static OpsRun_t Run;
static ProdRecord_t Rec;
static bool InDevice = false; /* programming or verifying: a record is due */
static VelnorCfg_t Want[MAX_UB];
static DevopProgram_t Plan;
static bool HasLast = false;
static std::uint32_t LastSerial = 0;
static int Misses = 0;
static unsigned KaltroVersion = 0;
static long long StartMs = 0;
static bool PortOpen = false;

/* The operation running inside the Program or Verify step. */
struct Sub_t {
    const OpsOperation_t *Op;
    bool Due, Lingering, Ended, Finished;
    OpsEnd_t End;
};
static Sub_t Sub;

const char *PROD_ResultName(ProdResult_t result)
{
    static const char *const Names[PROD_RESULT_COUNT] = {
        "pass", "fail-program", "fail-verify", "wrong-model", "lost", "cancelled"};
    return result >= 0 && result < PROD_RESULT_COUNT ? Names[result] : "?";
}

static void show(ProdPhase_t phase, int percent, const ProdRecord_t *device)
{
    A->Show(A->Ctx, phase, percent, device);
}

static void next(unsigned ms)
{
    Run.Disp->Tick(Run.Disp->Ctx, ms);
}

static long long elapsedMs()
{
    return OPS_NowMs() - StartMs;
}

/* ---- The operation inside a step ---------------------------------------------- */

static void subStatus(void *, int) {}
static void subProgress(void *, int percent)
{
    show(State == ST_PROGRAM ? PROD_PROGRAMMING : PROD_VERIFYING, percent, &Rec);
}
static void subTick(void *, unsigned ms)
{
    Sub.Due = true;
    next(ms);
}
static void subLinger(void *, unsigned)
{
    Sub.Lingering = true;
}
static void subSleep(void *, unsigned ms)
{
    Run.Disp->Sleep(Run.Disp->Ctx, ms);
}
static void subEnded(void *, const OpsEnd_t *end)
{
    Sub.Ended = true;
    Sub.End = *end;
}
static void subFinished(void *)
{
    Sub.Finished = true;
}
static const OpsDisplay_t Inner = {nullptr,   subStatus, subProgress, subTick,
                                   subLinger, subSleep,  subEnded,    subFinished};

static void programmed(const OpsEnd_t &end);
static void verified(const OpsEnd_t &end);

/* Once the operation inside has reported its outcome (or asks for nothing
 * more), it is closed and the run goes on from it. */
static void subAfterStep()
{
    if (!Sub.Ended && !Sub.Finished && !Sub.Lingering && Sub.Due) return;
    OpsEnd_t end = Sub.End;
    if (!Sub.Finished) {
        const OpsEnd_t closed =
            Sub.Op->Cancel(Sub.Ended && end.Outcome == OPS_DONE ? OPS_CLOSE : OPS_ABANDON);
        if (!Sub.Ended) end = closed;
    }
    Sub.Op = nullptr;
    if (State == ST_PROGRAM)
        programmed(end);
    else
        verified(end);
}

static void subStart(const OpsOperation_t *op)
{
    Sub = Sub_t{};
    Sub.Op = op;
}

/* ---- The device at hand ------------------------------------------------------- */

/* Completes the record of the device at hand and hands it to the shell;
 * whether it was kept. */
static bool keep(ProdResult_t result, const OpsEnd_t &end, const char *step)
{
    InDevice = false;
    Rec.Result = result;
    Rec.End = end;
    Rec.Step = step;
    Rec.Time = std::time(nullptr);
    HasLast = Rec.HasSerial;
    LastSerial = Rec.Serial;
    return A->Record(A->Ctx, &Rec);
}

/* Keeps the record of the device at hand and waits for it to go. */
static void record(ProdResult_t result, const OpsEnd_t &end, const char *step)
{
    if (!keep(result, end, step)) {
        State = ST_ENDED;
        show(PROD_STOPPED, 0, nullptr);
        return OPS_End(&Run, OPS_REFUSED, -1, -1);
    }
    show(PROD_RESULT, 100, &Rec);
    State = ST_GONE;
    Misses = 0;
    next(POLL_MS);
}

/* A device that did not get through: its result by how the operation ended. */
static void failed(const OpsEnd_t &end, const char *step, ProdResult_t refused)
{
    switch (end.Outcome) {
    case OPS_REFUSED: return record(refused, end, step);
    case OPS_CANCELLED: return record(PROD_CANCELLED, end, step);
    default: return record(PROD_LOST, end, step); /* no answer, the port or the time gone */
    }
}

static void programmed(const OpsEnd_t &end)
{
    Rec.ProgramMs = static_cast<unsigned>(elapsedMs());
    if (end.Outcome != OPS_DONE) return failed(end, "program", PROD_FAIL_PROGRAM);
    show(PROD_VERIFYING, 0, &Rec);
    StartMs = OPS_NowMs();
    State = ST_VERIFY;
    READOP_ReadVersion();
    Rec.ReadVersion = VelnorData.DBaseVersion;
    subStart(&READOP_Operation);
    READOP_Open(&Inner);
    subAfterStep();
}

static void verified(const OpsEnd_t &end)
{
    Rec.VerifyMs = static_cast<unsigned>(elapsedMs());
    if (end.Outcome != OPS_DONE) return failed(end, "verify", PROD_FAIL_VERIFY);
    Rec.DiffCount =
        BREVCFG_CompareStored(Want, VelnorCfg, MAIN_RowsInTable(VelnorData.UBNumber),
                              DCSS_IsENGroup(VelnorData.Model), Rec.Diffs, CMP_DIFF_MAX);
    const bool same = Rec.DiffCount == 0 && Rec.ReadVersion == Rec.ConfigVersion;
    record(same ? PROD_PASS : PROD_FAIL_VERIFY, end, same ? nullptr : "verify");
}

/* Plans the programming of the table for the device's model and starts it. */
static void program()
{
    StartMs = OPS_NowMs();
    State = ST_PROGRAM;
    show(PROD_PROGRAMMING, 0, &Rec);
    DEVOP_PlanProgram(&Plan, A->LimitMs);
    if (!Plan.RowByRow) {
        subStart(&XFEROP_Operation);
        XFEROP_Open(&Plan.Xfer, &Inner);
        return subAfterStep();
    }
    /* EN group: a device that does not take the configuration version is
     * not given the table under an old one. */
    if (Plan.VersionAnswer != RS232_REPLY_ACCEPTED) {
        Rec.ProgramMs = static_cast<unsigned>(elapsedMs());
        const bool refused = Plan.VersionAnswer == RS232_REPLY_REFUSED;
        const OpsOutcome_t why = refused            ? OPS_REFUSED
                                 : RS232_PortLost() ? OPS_LINE_LOST
                                                    : OPS_NO_DEVICE;
        return failed({why, -1, -1}, "version", PROD_FAIL_PROGRAM);
    }
    subStart(&ENOP_Operation);
    ENOP_Open(&Inner);
    subAfterStep();
}

/* Identifies the device that answered with id; sn is its serial number
 * when it has been read already, else SN_UNREAD. */
static void identify(int id, int model, int sn)
{
    Rec = ProdRecord_t{};
    Rec.KaltroVersion = KaltroVersion;
    Rec.DeviceID = id;
    Rec.Model = model;
    if (sn == SN_UNREAD) sn = RS232_GetSN();
    Rec.HasSerial = sn != 0 && sn != -1; /* 0: no answer; all ones: none stored */
    Rec.Serial = static_cast<std::uint32_t>(sn);
    Rec.SWVersion = static_cast<std::uint8_t>(RS232_GetSWVersion());
    Rec.FWVersion = static_cast<std::uint32_t>(RS232_GetFWVersion());
    if (RS232_PortLost()) return next(NEXT_MS); /* the next step takes up the loss */
    if (Rec.HasSerial && HasLast && Rec.Serial == LastSerial && !A->Again) {
        show(PROD_SAME, 100, &Rec);
        State = ST_GONE;
        Misses = 0;
        return next(POLL_MS);
    }
    if (!A->Claim(A->Ctx)) {
        State = ST_ENDED;
        show(PROD_STOPPED, 0, nullptr);
        return OPS_End(&Run, OPS_DONE, -1, -1);
    }
    InDevice = true;
    if (!A->TableFor(A->Ctx, model))
        return record(PROD_WRONG_MODEL, {OPS_REFUSED, -1, -1}, nullptr);
    std::copy(VelnorCfg, VelnorCfg + MAX_UB, Want);
    Rec.ConfigVersion = VelnorData.DBaseVersion;
    program();
}

/* ---- The Kaltro and the output ------------------------------------------------ */

static void connect()
{
    const int opened = A->ComNumber > 0 ? RS232_OpenPort(A->ComNumber) : RS232_OpenPath(A->Path);
    if (opened != RS232_OK) {
        RS232_Term();
        show(PROD_CONNECTING, 0, nullptr);
        return next(CONNECT_RETRY_MS);
    }
    PortOpen = true;
    KaltroVersion = RS232_GetKaltroSWVer();
    const bool raised = DEVOP_PowerOn();
    State = ST_WAIT;
    show(PROD_WAITING, 0, nullptr);
    next(raised ? DEVOP_START_MS : NEXT_MS);
}

/* The port went away: the device at hand is lost, the Kaltro waited for. */
static void portLost()
{
    if (InDevice) {
        failed({OPS_LINE_LOST, -1, -1}, State == ST_VERIFY ? "verify" : "program",
               PROD_FAIL_PROGRAM);
        if (State == ST_ENDED) return;
    }
    RS232_Term();
    PortOpen = false;
    State = ST_CONNECT;
    show(PROD_CONNECTING, 0, nullptr);
    next(CONNECT_RETRY_MS);
}

/* The model of the device that answers a quick look, or -1. */
static int look(int *id)
{
    *id = RS232_ProbeDeviceID();
    return *id >= 0 ? DCSS_ModelOfDeviceID(*id) : -1;
}

static void wait()
{
    int id = -1;
    const int model = look(&id);
    if (RS232_PortLost()) return portLost();
    if (model < 0) return next(POLL_MS);
    State = ST_IDENTIFY;
    identify(id, model, SN_UNREAD);
}

static void gone()
{
    int id = -1;
    const int model = look(&id);
    if (RS232_PortLost()) return portLost();
    if (model < 0) {
        if (++Misses < GONE_MISSES) return next(POLL_MS);
        State = ST_WAIT;
        show(PROD_WAITING, 0, nullptr);
        return next(POLL_MS);
    }
    Misses = 0;
    /* A device put on as soon as the last came off never leaves the output
     * silent: its serial number tells it. */
    const int sn = RS232_GetSN();
    if (HasLast && sn != 0 && sn != -1 && static_cast<std::uint32_t>(sn) != LastSerial) {
        State = ST_IDENTIFY;
        return identify(id, model, sn);
    }
    next(POLL_MS);
}

void PRODOP_Open(const ProdArgs_t *args, const OpsDisplay_t *d)
{
    OPS_Start(&Run, d);
    A = args;
    State = ST_CONNECT;
    InDevice = false;
    HasLast = false;
    Sub = Sub_t{};
    next(NEXT_MS);
}

static void step()
{
    if (Run.Stopped || State == ST_ENDED) return;
    if (Sub.Op != nullptr) {
        Sub.Due = false;
        Sub.Op->Step();
        return subAfterStep();
    }
    if (State != ST_CONNECT && RS232_PortLost()) return portLost();
    switch (State) {
    case ST_CONNECT: return connect();
    case ST_WAIT: return wait();
    case ST_GONE: return gone();
    default: return;
    }
}

static OpsEnd_t cancel(OpsCancel_t how)
{
    if (Sub.Op != nullptr) {
        Sub.Op->Cancel(how);
        Sub.Op = nullptr;
    }
    if (InDevice && State != ST_ENDED) {
        (State == ST_VERIFY ? Rec.VerifyMs : Rec.ProgramMs) = static_cast<unsigned>(elapsedMs());
        keep(PROD_CANCELLED, {OPS_CANCELLED, -1, -1}, State == ST_VERIFY ? "verify" : "program");
    }
    State = ST_ENDED;
    show(PROD_STOPPED, 0, nullptr);
    const OpsEnd_t end = OPS_Stop(&Run, PortOpen && !RS232_PortLost());
    RS232_Term();
    PortOpen = false;
    return end;
}

const OpsOperation_t PRODOP_Operation = {step, cancel};
