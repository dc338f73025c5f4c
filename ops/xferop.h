/* xferop.h -- every XModem transfer of the program as a step machine: an
 * opening, then one protocol step per step.
 *
 * A transfer runs in one of three modes, the transfer types of
 * RS232_KaltroDownloadInit: 0 a dCSS device image (device software, or an
 * MxL-group configuration), 1 the Kaltro's software, 2 a configuration kept
 * in the Kaltro's memory. It changes nothing in VelnorCfg or VelnorData.
 */
#pragma once

#include "ops/ops.h"

struct XferArgs_t {
    int Mode;                   /* XM_TYPE_DEVICE, XM_TYPE_KALTRO_SW or XM_TYPE_KALTRO_CFG */
    const unsigned char *Image; /* the caller's; unchanged until the transfer has ended */
    int Size;                   /* bytes of Image */
    /* The longest wait for an answer of the receiver (a packet's or EOT's)
     * or for the device's acceptance of its image, in milliseconds; 0 waits
     * for ever (the windows, where Cancel ends it). */
    unsigned LimitMs;
};

/* Starts the transfer of args shown on d: identification, the device check
 * of mode 0 and the start code. The first step is due when it has started;
 * otherwise the outcome says why (no Kaltro; no device; refused: "Empty
 * file...", "Wrong dCSS Device", "Configuration error"). */
void XFEROP_Open(const XferArgs_t *args, const OpsDisplay_t *d);
/* One protocol step a step. The outcome: done, "Software upgrade
 * successful!" (mode 0 after the device's acceptance, nothing due; modes 1
 * and 2 after the Kaltro's last ACK, lingering 10 s before the closing step
 * Finishes); refused at a packet ("Wrong file" when the receiver cancels the
 * first, else "Transmission error"), or by the device that got the image
 * ("Wrong file"); no Kaltro when the receiver never got
 * ready; line lost; timed out past LimitMs. Its cancel with OPS_ABANDON sends
 * CAN CAN while the Kaltro is receiving (also after a time-out there). */
extern const OpsOperation_t XFEROP_Operation;
