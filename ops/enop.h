/* enop.h -- the programming of an EN-group device's user bands as a step
 * machine: one "entp" line per step for rows 0 to UBNumber - 1 of
 * VelnorCfg. The caller has validated the table and stored its
 * configuration version ("lnad", DEVOP_PlanProgram) before the opening. It
 * changes nothing in VelnorCfg or VelnorData.
 */
#pragma once

#include "ops/ops.h"

/* Starts the programming shown on d: identification, the EN-group check and
 * the device's output number; the first step is due, or the outcome says why
 * it did not start (no Kaltro; no device; refused, "Wrong dCSS Device"). */
void ENOP_Open(const OpsDisplay_t *d);
/* One row a step, 100 ms apart. After the last row, or at the row that
 * failed, the outcome: done ("Software upgrade successful!"), refused at a
 * row ("No more space for UBs"), no device at a row that got no reply, or
 * line lost ("Transmission error"); then a closing step 10 ms later closes
 * the exchange. Rows programmed before a failure stay programmed. */
extern const OpsOperation_t ENOP_Operation;
