/* readop.h -- the read-out of a dCSS device's UB table into VelnorCfg as a
 * step machine: an opening, then one band per step.
 *
 * Before reading it checks that the Kaltro answers and that the device is
 * the model of VelnorData; band k goes into the row whose UBNo is k.
 * Changes: rows 0 to UBNumber - 1 of VelnorCfg (put in UBNo order, then
 * filled), and VelnorData.DBaseVersion through READOP_ReadVersion; nothing
 * else.
 */
#pragma once

#include "config/velnor.h"
#include "ops/ops.h"

/* The read-out's first exchange, before its opening: the device's
 * configuration version ("lnbd") into VelnorData.DBaseVersion (0 without an
 * answer). The main window shows it while the bands are read. */
void READOP_ReadVersion();
/* Starts a read-out shown on d (kept until the next opening): the checks,
 * then the first step due at once. A check that failed is the outcome: no
 * Kaltro, no device, or refused (another model, "Wrong dCSS Device"). */
void READOP_Open(const OpsDisplay_t *d);
/* One step a band; the outcome after the last: done ("Upload successfully
 * finished!", then a closing step that closes the exchange, pauses 1 s and
 * Finishes), or "Transmission error" for a band that did not come (no
 * device, or refused when the device refused it) or a port lost. Two bands
 * in a row without any answer end it there and then: the device is gone (no
 * device, at the first of them). */
extern const OpsOperation_t READOP_Operation;
/* The bands of the last read-out that got no complete reply. */
int READOP_GetMissing();

/* Puts rows 0 .. n - 1 of table in ascending UBNo order, rows of equal UBNo
 * in their present order; no value changes. */
void READOP_OrderRows(VelnorCfg_t *table, int n);
