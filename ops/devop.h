/* devop.h -- short device exchanges that the windows and brevant-cli share:
 * powering and identifying the device as the start-up window does, and
 * handing a configuration to the Kaltro to keep; the greeting every device
 * operation opens with; and the voltages of the Kaltro's supply levels.
 *
 * Pauses go through the caller's sleep: the windows pass the layer's
 * WIN_Sleep, brevant-cli RS232_Pause.
 */
#pragma once

#include "config/image.h"

using DEVOP_Sleep_t = void (*)(unsigned ms);

/* The largest image the Kaltro keeps, in bytes. */
constexpr int DEVOP_KALTRO_IMAGE = 512;
static_assert(DEVOP_KALTRO_IMAGE >= BREVCFG_IMAGE_MAX, "the largest image must fit");

/* The supply levels the Kaltro takes with "setv", 0 to 15. */
constexpr int DEVOP_LEVEL_COUNT = 16;
/* The voltage of supply level level ("0V", "13.00V" ... "20.50V"), or
 * nullptr outside 0 .. 15. */
const wchar_t *DEVOP_VoltageLabel(int level);

/* The opening of the read-out, the transfer and EN programming: the Kaltro's
 * identification, the 22 kHz tone off and the device ID as a model index
 * into *model (-1 when no model answers). False, with nothing more sent,
 * when the Kaltro did not answer. */
bool DEVOP_Greet(int *model);

/* Raises the supply to level 6 when it is below 5 and waits 5 s for the
 * device to start; then the device ID as a model index, or -1. */
int DEVOP_PowerAndIdentify(DEVOP_Sleep_t sleep);

/* Before a configuration goes to the Kaltro (transfer mode 2): "lnaw name"
 * (at most 43 characters, the rest as "?"), a 50 ms pause, the image of
 * VelnorCfg for VelnorData.Model compiled into image (DEVOP_KALTRO_IMAGE
 * bytes), "lnal" with its type (MxL 255, EN 254). Returns the image size.
 * The table must have been validated. */
int DEVOP_PrepareKaltroCfg(const char *name, unsigned char *image, DEVOP_Sleep_t sleep);
