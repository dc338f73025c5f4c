/* ops.cpp -- what the operations share (see ops.h): the outcome names, the
 * clock of their time limits and the bookkeeping of a run. No state: each
 * operation keeps its own OpsRun_t.
 */
#include "ops/ops.h"

#include "link/rs232.h"

#include <chrono>

static const char *const OutcomeNames[OPS_OUTCOME_COUNT] = {
    "done", "refused", "no_kaltro", "no_device", "line_lost", "cancelled", "timed_out",
};

const char *OPS_OutcomeName(OpsOutcome_t outcome)
{
    return outcome >= 0 && outcome < OPS_OUTCOME_COUNT ? OutcomeNames[outcome] : "unknown";
}

long long OPS_NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void OPS_Start(OpsRun_t *run, const OpsDisplay_t *d)
{
    *run = OpsRun_t{d, {OPS_CANCELLED, -1, -1}, false, false, false};
}

void OPS_End(OpsRun_t *run, OpsOutcome_t outcome, int textId, int where)
{
    if (run->Ended) return;
    /* Whatever the silence of a port that went away looked like (no Kaltro,
     * no device, a wait timed out), it was the port; the text stays. */
    if (outcome != OPS_DONE && RS232_PortLost()) outcome = OPS_LINE_LOST;
    run->Ended = true;
    run->End = {outcome, textId, where};
    run->Disp->Ended(run->Disp->Ctx, &run->End);
}

void OPS_Finish(OpsRun_t *run)
{
    run->Finished = true;
    run->Disp->Finished(run->Disp->Ctx);
}

OpsEnd_t OPS_Stop(OpsRun_t *run, bool close)
{
    run->Stopped = true;
    if (close && !run->Finished) RS232_KaltroClose();
    run->Finished = true;
    return run->End;
}

/* ---- An operation run inside the steps of another ---------------------------- */

static OpsSub_t *subOf(void *ctx)
{
    return static_cast<OpsSub_t *>(ctx);
}

static void subStatus(void *ctx, int textId)
{
    const OpsDisplay_t *o = subOf(ctx)->Outer;
    o->Status(o->Ctx, textId);
}
static void subProgress(void *ctx, int percent)
{
    const OpsDisplay_t *o = subOf(ctx)->Outer;
    o->Progress(o->Ctx, percent);
}
static void subTick(void *ctx, unsigned ms)
{
    subOf(ctx)->Due = true;
    const OpsDisplay_t *o = subOf(ctx)->Outer;
    o->Tick(o->Ctx, ms);
}
static void subLinger(void *ctx, unsigned)
{
    subOf(ctx)->Lingering = true;
}
static void subSleep(void *ctx, unsigned ms)
{
    const OpsDisplay_t *o = subOf(ctx)->Outer;
    o->Sleep(o->Ctx, ms);
}
static void subEnded(void *ctx, const OpsEnd_t *end)
{
    subOf(ctx)->Ended = true;
    subOf(ctx)->End = *end;
}
static void subFinished(void *ctx)
{
    subOf(ctx)->Finished = true;
}

void OPS_SubStart(OpsSub_t *sub, const OpsOperation_t *op, const OpsDisplay_t *outer)
{
    *sub = OpsSub_t{};
    sub->Op = op;
    sub->Outer = outer;
    sub->End = {OPS_CANCELLED, -1, -1};
    sub->Display = {sub,       subStatus, subProgress, subTick,
                    subLinger, subSleep,  subEnded,    subFinished};
}

void OPS_SubStep(OpsSub_t *sub)
{
    sub->Due = false;
    sub->Op->Step();
}

bool OPS_SubOver(OpsSub_t *sub, OpsEnd_t *end)
{
    if (sub->Op == nullptr) return true;
    if (!sub->Ended && !sub->Finished && !sub->Lingering && sub->Due) return false;
    *end = sub->End;
    if (!sub->Finished) {
        const OpsEnd_t closed =
            sub->Op->Cancel(sub->Ended && end->Outcome == OPS_DONE ? OPS_CLOSE : OPS_ABANDON);
        if (!sub->Ended) *end = closed;
    }
    sub->Op = nullptr;
    return true;
}
