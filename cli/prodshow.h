/* prodshow.h -- what brevant-cli production shows: each Kaltro's worker
 * tells its events as short lines over a pipe; the run reads them, keeps one
 * status line per Kaltro and the running totals (redrawn in place on a
 * terminal, one line per event otherwise), and ends the workers when the
 * run is over.
 */
#pragma once

#include "ops/prodop.h"

#include <sys/types.h>

/* The longest event line of a worker, newline included (one pipe write). */
constexpr int SHOW_EVENT_LEN = 256;

/* One Kaltro of the run. */
struct ShowPort_t {
    int Com;         /* COM number, or 0 */
    char Path[256];  /* the path when there is no number */
    char Label[280]; /* "COM3", or the path */
    pid_t Pid;       /* its worker */
    int Fd;          /* the read end of the worker's pipe; -1 once it has ended */
    int Phase;       /* ProdPhase_t of the last status */
    char Status[SHOW_EVENT_LEN];
    char Pending[SHOW_EVENT_LEN]; /* a line read in part */
    int PendingLen;
    int Exit; /* the worker's exit status */
};

/* A phase as the status line and the event line tell it: "waiting for a
 * device", "programming 45 %, serial 12345679 (KX-103)" ... */
void SHOW_FormatPhase(ProdPhase_t phase, int percent, const ProdRecord_t *device, char *text,
                      int len);
/* A record as its event: "RESULT SERIAL|- the line shown for it". */
void SHOW_FormatRecord(const ProdRecord_t *rec, char *text, int len);
/* Reads the workers' events until every worker has ended; count is --count
 * (0 for none). Prints the totals and returns the run's exit status. */
int SHOW_Run(ShowPort_t *ports, int n, long count);
