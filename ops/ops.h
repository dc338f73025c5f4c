/* ops.h -- what every device operation's step machine shares: the one
 * outcome it ends with, the display it reports to, the one cancel, and the
 * table a shell drives it by.
 *
 * Principles of operation
 * - An operation is opened by its own X_Open(arguments, display); each step
 *   is one exchange with the Kaltro or the device, and asks for the next
 *   through Tick. A shell runs the steps at the times asked for: a dialog
 *   from its window timer, brevant-cli from a loop.
 * - It ends by reporting exactly one outcome through Ended, with the text
 *   that tells it and the row or step it happened at. Closing steps may still
 *   follow (the read-out closes the exchange itself and pauses), or the
 *   outcome may linger before the operation closes itself (Linger).
 * - Nothing is decided from how things look: a shell derives colours,
 *   buttons, message boxes and exit codes from the outcome alone.
 * - Ops are called from one thread (the windows' or brevant-cli's) and block
 *   it for one exchange per step.
 */
#pragma once

/* How an operation ended. */
enum OpsOutcome_t : int {
    OPS_DONE = 0,      /* everything asked for was done */
    OPS_REFUSED = 1,   /* the device or the Kaltro said no, or the file is wrong for it */
    OPS_NO_KALTRO = 2, /* the Kaltro did not answer */
    OPS_NO_DEVICE = 3, /* no dCSS device answered, or it stopped answering */
    OPS_LINE_LOST = 4, /* the port hung up or went away */
    OPS_CANCELLED = 5, /* the user stopped it */
    OPS_TIMED_OUT = 6, /* a wait ran past the shell's limit */
};
constexpr int OPS_OUTCOME_COUNT = 7;

struct OpsEnd_t {
    OpsOutcome_t Outcome;
    int TextId; /* the status text that tells it (TX_), -1 for none */
    int Where;  /* the row, band, option or packet it happened at; -1 for none */
};

/* The outcome's name for scripts ("done", "no_device" ...), never translated. */
const char *OPS_OutcomeName(OpsOutcome_t outcome);

/* What an operation tells whoever shows it. Ctx is the shell's own. */
struct OpsDisplay_t {
    void *Ctx;
    /* A text that tells how the operation is getting on. */
    void (*Status)(void *ctx, int textId);
    /* Progress, 0 to 100. */
    void (*Progress)(void *ctx, int percent);
    /* The next step is due in ms milliseconds. A step that asks for nothing
     * has no step after it. */
    void (*Tick)(void *ctx, unsigned ms);
    /* The outcome stays to be seen for ms milliseconds; then the next step
     * closes the exchange and the operation Finishes. A shell that shows
     * nothing need not wait: it may close at once (the operation's Cancel). */
    void (*Linger)(void *ctx, unsigned ms);
    /* A pause inside a step: the device's rest between two exchanges. */
    void (*Sleep)(void *ctx, unsigned ms);
    /* The outcome, once per opening. */
    void (*Ended)(void *ctx, const OpsEnd_t *end);
    /* The operation has closed the exchange itself: nothing more is sent,
     * and the shell need not close it. */
    void (*Finished)(void *ctx);
};

/* How a shell stops an operation. */
enum OpsCancel_t : int {
    OPS_CLOSE = 0,   /* the windows' OK and Cancel: the closing "\r" only */
    OPS_ABANDON = 1, /* brevant-cli on a signal or a time limit: a transfer the Kaltro
                        is receiving is first abandoned with CAN CAN, so that the Kaltro
                        takes commands again at once instead of after its own time-out */
};

/* The steps and the cancel of one operation, for the shells that drive it. */
struct OpsOperation_t {
    /* Runs the step that is due. */
    void (*Step)();
    /* Stops the operation between two steps: nothing more is due, and unless
     * it has Finished, the exchange is closed as how says. Returns its
     * outcome: the one reported, or cancelled when none was yet. */
    OpsEnd_t (*Cancel)(OpsCancel_t how);
};

/* The monotonic clock in milliseconds, for time limits. */
long long OPS_NowMs();

/* ---- The bookkeeping every operation keeps of its run ----------------------- */

struct OpsRun_t {
    const OpsDisplay_t *Disp;
    OpsEnd_t End;
    bool Ended;    /* the outcome was reported */
    bool Finished; /* the operation closed the exchange itself */
    bool Stopped;  /* cancelled: no step runs any more */
};
/* A new run shown on d: no outcome yet. */
void OPS_Start(OpsRun_t *run, const OpsDisplay_t *d);
/* Reports the outcome through Ended; only the first of a run counts. A
 * failure while the port is lost is reported as line lost. */
void OPS_End(OpsRun_t *run, OpsOutcome_t outcome, int textId, int where);
/* The operation closed the exchange itself and is over (Finished). */
void OPS_Finish(OpsRun_t *run);
/* The cancel every operation shares: no step runs any more; unless the
 * operation Finished, the exchange is closed ("\r") when close is set.
 * Returns the outcome, cancelled when none was reported. */
OpsEnd_t OPS_Stop(OpsRun_t *run, bool close);

/* ---- An operation run inside the steps of another ---------------------------- */

struct OpsSub_t {
    const OpsOperation_t *Op;  /* nullptr while none runs */
    const OpsDisplay_t *Outer; /* where its Status, Progress, Tick and Sleep go on */
    bool Due, Lingering, Ended, Finished;
    OpsEnd_t End;
    OpsDisplay_t Display; /* what the inner operation is shown on */
};
/* Makes op the operation that runs in sub, shown through outer; its opening
 * (X_Open(..., &sub->Display)) follows, then OPS_SubOver. */
void OPS_SubStart(OpsSub_t *sub, const OpsOperation_t *op, const OpsDisplay_t *outer);
/* Runs its step that is due. */
void OPS_SubStep(OpsSub_t *sub);
/* Whether it is over (its outcome reported, or nothing more due); then it
 * is closed as a shell closes it (OPS_CLOSE after a success, OPS_ABANDON
 * after a failure, nothing when it Finished), its outcome goes into *end and
 * no operation runs in sub any more. */
bool OPS_SubOver(OpsSub_t *sub, OpsEnd_t *end);
