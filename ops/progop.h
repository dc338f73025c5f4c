/* progop.h -- Program with verification as one step machine: the table of
 * VelnorCfg programmed as Program sends it (EN rows after "lnad", or the MxL
 * image), then, when that has succeeded, the configuration version and the
 * table read back and compared with what was sent.
 *
 * The windows' Program runs it when the user asked for verification (without
 * it, Program runs the transfer or EN programming alone, as ever), and
 * production runs it for every device. The user's table is left as it was:
 * the read-back goes into VelnorCfg for the read-out and is put aside before
 * the table is put back.
 */
#pragma once

#include "config/compare.h"
#include "config/velnor.h"
#include "ops/ops.h"

/* What programming and verification found, for the shell to show. */
struct ProgopResult_t {
    int VersionAnswer;        /* the EN group's "lnad": RS232_REPLY_*; -1 for the MxL group */
    OpsEnd_t Program;         /* how programming ended */
    bool Verified;            /* the read-back ran to its end and was compared */
    OpsEnd_t Verify;          /* how the read-back ended; cancelled when it did not run */
    std::uint8_t WantVersion; /* the configuration version sent */
    std::uint8_t ReadVersion; /* and the one read back */
    int DiffCount;            /* the table's differences */
    CmpDiff_t Diffs[CMP_DIFF_MAX];
    VelnorCfg_t Device[MAX_UB]; /* the table read back, rows in UBNo order */
    unsigned ProgramMs, VerifyMs;
};

/* Starts programming of the validated table for VelnorData.Model, shown on
 * d; the transfer waits at most limitMs for an answer (0: for ever). With
 * verify, the read-back follows a programming that succeeded. The outcome:
 * programming's own when it failed; refused when the device refused the
 * configuration version ("lnad", after the table as the windows send it) or
 * the read-back differs ("Verification failed"); the read-back's own when it
 * failed; else done ("Software upgrade successful!", or "Verified"). */
void PROGOP_Open(unsigned limitMs, bool verify, const OpsDisplay_t *d);
/* One step of the operation under way a step. */
extern const OpsOperation_t PROGOP_Operation;
/* What the last opening found so far. */
const ProgopResult_t *PROGOP_Result();
/* Whether the read-back is under way (for the display's caption). */
bool PROGOP_Verifying();
