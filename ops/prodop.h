/* prodop.h -- production on one Kaltro as a step machine, device after
 * device: wait until a device answers on the output, identify it, program
 * the table for its model, read the table back and compare it, report one
 * record, and wait until the device is gone before taking the next. A Kaltro
 * that goes away (unplugged, hung up) is waited for and taken up again.
 *
 * The windows' production window and brevant-cli production drive the same
 * steps (one Kaltro each; brevant-cli runs one process per Kaltro); the
 * shell says which table a model gets, writes the records and shows what
 * the run does.
 */
#pragma once

#include "config/compare.h"
#include "config/velnor.h"
#include "ops/ops.h"

#include <cstdint>
#include <ctime>

/* What a run does now, for its display. */
enum ProdPhase_t : int {
    PROD_CONNECTING =
        0,            /* the Kaltro does not answer (yet, or any more): asked again each second */
    PROD_WAITING = 1, /* for a device on the output */
    PROD_PROGRAMMING = 2, /* with a percentage */
    PROD_VERIFYING = 3,   /* reading the table back, with a percentage */
    PROD_RESULT = 4,      /* the device's record is written: its result stays until it is gone */
    PROD_SAME = 5,        /* the device just programmed is still (or again) there */
    PROD_STOPPED = 6,     /* the run has ended */
};

/* How a device ended; the names are the record's and never translated. */
enum ProdResult_t : int {
    PROD_PASS = 0,
    PROD_FAIL_PROGRAM = 1, /* the device or the Kaltro refused programming */
    PROD_FAIL_VERIFY = 2,  /* the table read back differs, or could not be read */
    PROD_WRONG_MODEL = 3,  /* the device's model does not take the file */
    PROD_LOST = 4,         /* the device or the Kaltro went away during programming */
    PROD_CANCELLED = 5,    /* the run was stopped during programming or verifying */
};
constexpr int PROD_RESULT_COUNT = 6;
/* "pass", "fail-program", "fail-verify", "wrong-model", "lost", "cancelled". */
const char *PROD_ResultName(ProdResult_t result);

/* What is known of one device and how it ended. */
struct ProdRecord_t {
    std::time_t Time;       /* when the record was made */
    unsigned KaltroVersion; /* major << 8 | minor */
    int DeviceID;           /* 0 .. 255 */
    int Model;              /* catalogue index */
    bool HasSerial;         /* the device gave a serial number */
    std::uint32_t Serial;
    std::uint8_t SWVersion;     /* major << 4 | minor */
    std::uint32_t FWVersion;    /* a.b.c.d, a in the top byte */
    std::uint8_t ConfigVersion; /* as programmed */
    std::uint8_t ReadVersion;   /* as read back */
    ProdResult_t Result;
    OpsEnd_t End;     /* how the operation that failed ended; done for a pass */
    const char *Step; /* "program", "version" ("lnad" refused), "verify", or nullptr */
    int DiffCount;    /* differences of the table read back, version included */
    CmpDiff_t Diffs[CMP_DIFF_MAX];
    unsigned ProgramMs, VerifyMs;
};

struct ProdArgs_t {
    int ComNumber;    /* the Kaltro's COM number, or 0 ... */
    const char *Path; /* ... its device path */
    bool Again;       /* program the same serial number twice in a row */
    unsigned LimitMs; /* the longest wait of a transfer for an answer; 0 for ever */
    void *Ctx;
    /* Makes VelnorCfg and VelnorData (model, UB count, configuration
     * version) the validated table for model; false when the model does not
     * take the file. */
    bool (*TableFor)(void *ctx, int model);
    /* Whether another device may be programmed (a run of N devices);
     * false ends the run before this one. */
    bool (*Claim)(void *ctx);
    /* One device's record; false ends the run (it could not be kept). */
    bool (*Record)(void *ctx, const ProdRecord_t *rec);
    /* What the run does: phase, percentage, and the device it is at (its
     * record so far), nullptr while there is none. */
    void (*Show)(void *ctx, ProdPhase_t phase, int percent, const ProdRecord_t *device);
};

/* Starts a run on args (kept by the caller until the run has ended): the
 * first step, which opens the Kaltro's port, is due at once. d's Tick and
 * Sleep drive it; its Ended reports the end of the run: done after a Claim
 * said no, refused when a record could not be kept. */
void PRODOP_Open(const ProdArgs_t *args, const OpsDisplay_t *d);
/* One exchange or a few a step. Its cancel ends the run between two steps:
 * a transfer the Kaltro is receiving is abandoned (OPS_ABANDON) or closed,
 * a device being programmed or verified is recorded as cancelled, and the
 * port is closed. */
extern const OpsOperation_t PRODOP_Operation;
