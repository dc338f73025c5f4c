/* progop.cpp -- Program with verification as steps (see progop.h).
 *
 * State: the phase, the operation running inside (EN programming or the
 * transfer, then the read-out), the plan of the programming with its image,
 * the table as sent and the user's table to put back, the result, and the
 * run.
 *
 *   Opening   the plan ("lnad" first for the EN group, the image compiled
 *             for the MxL group, which sorts the rows in use), then EN
 *             programming or the transfer opened
 *   Program   its steps; a failure is the outcome; without verification its
 *             success is the outcome
 *   Verify    "lnbd", then the read-out's steps; the comparison is the
 *             outcome ("Verified", or "Verification failed"), the user's
 *             table put back
 */
#include "ops/progop.h"

#include "config/dcss.h"
#include "config/texts.h"
#include "link/rs232.h"
#include "ops/devop.h"
#include "ops/enop.h"
#include "ops/readop.h"
#include "ops/xferop.h"

#include <algorithm>

enum ProgopPhase_t { PG_PROGRAM, PG_VERIFY, PG_OVER };

static ProgopPhase_t Phase = PG_OVER;
static bool Verify = false;
static OpsSub_t Sub;
static DevopProgram_t Plan;
static VelnorCfg_t Want[MAX_UB];
static VelnorCfg_t User[MAX_UB];
static ProgopResult_t R;
static long long StartMs = 0;
static OpsRun_t Run;

const ProgopResult_t *PROGOP_Result()
{
    return &R;
}

bool PROGOP_Verifying()
{
    return Phase == PG_VERIFY;
}

static unsigned elapsedMs()
{
    return static_cast<unsigned>(OPS_NowMs() - StartMs);
}

/* The user's table and version back in place of what was read. */
static void putBack()
{
    std::copy(User, User + MAX_UB, VelnorCfg);
    VelnorData.DBaseVersion = R.WantVersion;
}

/* The outcome; the operations inside have closed the exchange already. */
static void end(OpsOutcome_t outcome, int textId, int where)
{
    Phase = PG_OVER;
    OPS_End(&Run, outcome, textId, where);
    Run.Finished = true; /* closed: the shell's cancel sends nothing more */
}

static void verified(const OpsEnd_t &e)
{
    R.VerifyMs = elapsedMs();
    R.Verify = e;
    std::copy(VelnorCfg, VelnorCfg + MAX_UB, R.Device);
    putBack();
    if (e.Outcome != OPS_DONE) return end(e.Outcome, e.TextId, e.Where);
    R.Verified = true;
    R.DiffCount = BREVCFG_CompareStored(Want, R.Device, MAIN_RowsInTable(VelnorData.UBNumber),
                                        DCSS_IsENGroup(VelnorData.Model), R.Diffs, CMP_DIFF_MAX);
    const bool same = R.DiffCount == 0 && R.ReadVersion == R.WantVersion;
    end(same ? OPS_DONE : OPS_REFUSED, same ? TX_VERIFIED : TX_VERIFY_FAILED, -1);
}

static void programmed(const OpsEnd_t &e)
{
    R.ProgramMs = elapsedMs();
    R.Program = e;
    if (e.Outcome != OPS_DONE || !Verify) return end(e.Outcome, e.TextId, e.Where);
    Phase = PG_VERIFY;
    StartMs = OPS_NowMs();
    Run.Disp->Status(Run.Disp->Ctx, TX_VERIFYING);
    Run.Disp->Progress(Run.Disp->Ctx, 0);
    READOP_ReadVersion();
    R.ReadVersion = VelnorData.DBaseVersion;
    VelnorData.DBaseVersion = R.WantVersion;
    OPS_SubStart(&Sub, &READOP_Operation, Run.Disp);
    READOP_Open(&Sub.Display);
}

/* Goes on from the operation inside once it is over. */
static void afterStep()
{
    OpsEnd_t e{};
    while (Phase != PG_OVER && OPS_SubOver(&Sub, &e)) {
        if (Phase == PG_PROGRAM)
            programmed(e);
        else
            verified(e);
    }
}

void PROGOP_Open(unsigned limitMs, bool verify, const OpsDisplay_t *d)
{
    OPS_Start(&Run, d);
    R = ProgopResult_t{};
    R.Verify = {OPS_CANCELLED, -1, -1};
    Verify = verify;
    Phase = PG_PROGRAM;
    StartMs = OPS_NowMs();
    R.WantVersion = VelnorData.DBaseVersion;
    DEVOP_PlanProgram(&Plan, limitMs);
    R.VersionAnswer = Plan.VersionAnswer;
    /* as sent: the MxL image has sorted the rows in use */
    std::copy(VelnorCfg, VelnorCfg + MAX_UB, Want);
    std::copy(VelnorCfg, VelnorCfg + MAX_UB, User);
    OPS_SubStart(&Sub, Plan.RowByRow ? &ENOP_Operation : &XFEROP_Operation, d);
    if (Plan.RowByRow)
        ENOP_Open(&Sub.Display);
    else
        XFEROP_Open(&Plan.Xfer, &Sub.Display);
    afterStep();
}

static void step()
{
    if (Run.Stopped || Phase == PG_OVER) return;
    OPS_SubStep(&Sub);
    afterStep();
}

static OpsEnd_t cancel(OpsCancel_t how)
{
    if (Phase != PG_OVER && Sub.Op != nullptr) {
        Sub.Op->Cancel(how);
        Sub.Op = nullptr;
        Run.Finished = true; /* the operation inside closed the exchange */
    }
    if (Phase == PG_VERIFY) putBack();
    Phase = PG_OVER;
    return OPS_Stop(&Run, true);
}

const OpsOperation_t PROGOP_Operation = {step, cancel};
