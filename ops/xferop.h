/* xferop.h -- every XModem transfer of the program as a step machine: an
 * opening, then one protocol step per step.
 *
 * A transfer runs in one of three modes, the transfer types of
 * RS232_KaltroDownloadInit: 0 a dCSS device image (device software, or an
 * MxL-group configuration), 1 the Kaltro's software, 2 a configuration kept
 * in the Kaltro's memory. The image stays the caller's and must stay
 * unchanged until the transfer has ended.
 */
#pragma once

#include "ops/opsdisp.h"

/* The mode (0, 1 or 2), the image and its size in bytes, for the next
 * opening. */
void XFEROP_SetMode(int mode, const unsigned char *image, int size);
/* Starts the transfer shown on d: identification, the device check of mode
 * 0 and the start code; the first step is due through d->Tick when it has
 * started, otherwise a red text says why and OK is enabled. */
void XFEROP_Open(const OpsDisplay_t *d);
/* One protocol step. Success is the green "Software upgrade successful!"
 * (mode 0: after the device's acceptance, nothing due; modes 1 and 2: the
 * closing step follows, which ends with d->End(0)); failure a red text with
 * nothing due. */
void XFEROP_Step();
/* The user stops the transfer between two steps (brevant-cli on a signal):
 * while the Kaltro is receiving, two CAN bytes end its side of the transfer,
 * as an XModem sender abandons one, so that it takes commands again at once
 * instead of after its own time-out. Nothing is sent in any other step. */
void XFEROP_Abandon();
