/* enop.h -- the programming of an EN-group device's user bands as a step
 * machine: one "entp" line per step for rows 0 to UBNumber - 1 of
 * VelnorCfg. The caller has validated the table and stored its
 * configuration version ("lnad") before the opening.
 */
#pragma once

#include "ops/opsdisp.h"

/* Starts the programming shown on d: identification, the EN-group check and
 * the device's output number; the first step is due through d->Tick, or a
 * red text says why it did not start and OK is enabled. */
void ENOP_Open(const OpsDisplay_t *d);
/* One step: the next row, then the closing step, which enables OK and
 * closes the exchange; a failure shows its red text and goes to the closing
 * step. Success is the green "Software upgrade successful!". */
void ENOP_Step();
