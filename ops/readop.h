/* readop.h -- the read-out of a dCSS device's UB table into VelnorCfg as a
 * step machine: an opening, then one band per step.
 *
 * Before reading it checks that the Kaltro answers and that the device is
 * the model of VelnorData; band k goes into the row whose UBNo is k. It
 * writes rows 0 to UBNumber - 1 of VelnorCfg and nothing else.
 */
#pragma once

#include "config/velnor.h"
#include "ops/opsdisp.h"

/* Starts a read-out shown on d (kept until the next opening): the checks,
 * then the first step due at once through d->Tick. Nothing is due after a
 * check that failed; its text says which. */
void READOP_Open(const OpsDisplay_t *d);
/* One step: the next band, the closing after success (d->End(1)), or the
 * stop on a lost port or a missed band ("Transmission error"). */
void READOP_Step();
/* The bands of the last read-out that got no complete reply. */
int READOP_GetMissing();

/* Puts rows 0 .. n - 1 of table in ascending UBNo order, rows of equal UBNo
 * in their present order; no value changes. */
void READOP_OrderRows(VelnorCfg_t *table, int n);
