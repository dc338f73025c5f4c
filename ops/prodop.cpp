/* prodop.cpp -- production on one Kaltro as steps (see prodop.h).
 *
 * State: the caller's arguments (A), the step (State), the device at hand
 * (Rec), the serial number programmed last, the probes in a row that found
 * no device, programming with verification running inside the Program step
 * (Sub) and the run.
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
 *   Program    programming with verification          its record, by how programming
 *              (ops/progop): "lnad" (EN group), EN    and the read-back ended
 *              programming or the image transfer,
 *              "lnbd" and the read-out, one of their
 *              steps a step
 *   Gone       "lnbe", one read; with an answer       two misses in a row: Wait; another
 *              "lnbn"                                 serial number: Identify; else
 *                                                     Gone in 100 ms
 *
 * The port going away in any step ends the device at hand as lost and goes
 * back to Connect. The operations inside run with their own steps; each is
 * closed as soon as it has reported its outcome, a failed one abandoned on
 * the Kaltro's side.
 */
#include "ops/prodop.h"

#include "config/dcss.h"
#include "link/rs232.h"
#include "ops/devop.h"
#include "ops/progop.h"

#include <algorithm>

enum ProdState_t {
    ST_CONNECT,
    ST_WAIT,
    ST_IDENTIFY,
    ST_PROGRAM,
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
static bool HasLast = false;
static std::uint32_t LastSerial = 0;
static int Misses = 0;
static unsigned KaltroVersion = 0;
static bool PortOpen = false;

/* Program with verification, run inside the Program step. */
static OpsSub_t Sub;

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

/* ---- Program with verification inside the Program step ------------------------- */

/* What it shows goes to the run's display: its percentages as the run's. */
static void relayStatus(void *, int) {}
static void relayProgress(void *, int percent)
{
    show(PROGOP_Verifying() ? PROD_VERIFYING : PROD_PROGRAMMING, percent, &Rec);
}
static void relayTick(void *, unsigned ms)
{
    next(ms);
}
static void relaySleep(void *, unsigned ms)
{
    Run.Disp->Sleep(Run.Disp->Ctx, ms);
}
static void relayNone(void *, unsigned) {}
static void relayEnded(void *, const OpsEnd_t *) {}
static void relayFinished(void *) {}
static const OpsDisplay_t Relay = {nullptr,   relayStatus, relayProgress, relayTick,
                                   relayNone, relaySleep,  relayEnded,    relayFinished};

static void programmed(const OpsEnd_t &end);

/* Once programming with verification is over, the run goes on from it. */
static void subAfterStep()
{
    OpsEnd_t end{};
    if (OPS_SubOver(&Sub, &end)) programmed(end);
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

/* The device's result from how programming and verification ended. */
static void programmed(const OpsEnd_t &)
{
    const ProgopResult_t *r = PROGOP_Result();
    Rec.ProgramMs = r->ProgramMs;
    Rec.VerifyMs = r->VerifyMs;
    Rec.ReadVersion = r->ReadVersion;
    Rec.DiffCount = r->DiffCount;
    std::copy(r->Diffs, r->Diffs + r->DiffCount, Rec.Diffs);
    if (r->Program.Outcome != OPS_DONE) return failed(r->Program, "program", PROD_FAIL_PROGRAM);
    /* EN group: a device that refused the configuration version failed
     * programming, whatever the read-back shows. */
    if (r->VersionAnswer == RS232_REPLY_REFUSED)
        return record(PROD_FAIL_PROGRAM, {OPS_REFUSED, -1, -1}, "version");
    if (r->Verify.Outcome != OPS_DONE) return failed(r->Verify, "verify", PROD_FAIL_VERIFY);
    const bool same = r->Verified && r->DiffCount == 0 && r->ReadVersion == r->WantVersion;
    record(same ? PROD_PASS : PROD_FAIL_VERIFY, r->Verify, same ? nullptr : "verify");
}

/* Programs the table for the device's model, then reads it back. */
static void program()
{
    State = ST_PROGRAM;
    show(PROD_PROGRAMMING, 0, &Rec);
    OPS_SubStart(&Sub, &PROGOP_Operation, &Relay);
    PROGOP_Open(A->LimitMs, true, &Sub.Display);
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
        failed({OPS_LINE_LOST, -1, -1}, "program", PROD_FAIL_PROGRAM);
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
    Sub = OpsSub_t{};
    next(NEXT_MS);
}

static void step()
{
    if (Run.Stopped || State == ST_ENDED) return;
    if (Sub.Op != nullptr) {
        OPS_SubStep(&Sub);
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
    const bool verifying = Sub.Op != nullptr && PROGOP_Verifying();
    if (Sub.Op != nullptr) {
        Sub.Op->Cancel(how);
        Sub.Op = nullptr;
    }
    if (InDevice && State != ST_ENDED) {
        const ProgopResult_t *r = PROGOP_Result();
        Rec.ProgramMs = r->ProgramMs;
        Rec.VerifyMs = r->VerifyMs;
        keep(PROD_CANCELLED, {OPS_CANCELLED, -1, -1}, verifying ? "verify" : "program");
    }
    State = ST_ENDED;
    show(PROD_STOPPED, 0, nullptr);
    const OpsEnd_t end = OPS_Stop(&Run, PortOpen && !RS232_PortLost());
    RS232_Term();
    PortOpen = false;
    return end;
}

const OpsOperation_t PRODOP_Operation = {step, cancel};
