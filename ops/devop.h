/* devop.h -- short device exchanges that the windows and brevant-cli share:
 * powering and identifying the device as the start-up window does; what
 * Program sends for the model's group; handing a configuration to the Kaltro
 * to keep; the greeting every device operation opens with; and the voltages
 * of the Kaltro's supply levels.
 *
 * Pauses go through the caller's sleep: the windows pass the layer's
 * WIN_Sleep, brevant-cli RS232_Pause.
 */
#pragma once

#include "config/image.h"
#include "ops/ops.h"
#include "ops/xferop.h"

using DEVOP_Sleep_t = void (*)(unsigned ms);

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

/* Time a device needs to start after its supply has been raised. */
constexpr unsigned DEVOP_START_MS = 5000;
/* Raises the supply to level 6 when it is below 5; whether it did (the
 * device then needs DEVOP_START_MS before it answers). */
bool DEVOP_PowerOn();

/* Raises the supply to level 6 when it is below 5 and waits 5 s for the
 * device to start; then the device ID as a model index into *model (-1
 * for none). The outcome: done, no device, or line lost. Changes nothing in
 * VelnorData: the caller decides whether the model becomes the table's. */
OpsOutcome_t DEVOP_PowerAndIdentify(DEVOP_Sleep_t sleep, int *model);

/* What Program sends for VelnorData.Model's group: the EN group programs
 * the rows of VelnorCfg one by one (ENOP), the MxL group sends Image by
 * XModem in mode 0 (XFEROP with Xfer). */
struct DevopProgram_t {
    bool RowByRow;
    /* The device's answer to the configuration version ("lnad", EN group):
     * RS232_REPLY_ACCEPTED, _REFUSED or _NONE; -1 for the MxL group, whose
     * image carries it. */
    int VersionAnswer;
    unsigned char Image[BREVCFG_IMAGE_MAX];
    XferArgs_t Xfer;
};
/* Prepares Program of the validated table into *plan. EN group: stores the
 * configuration version VelnorData.DBaseVersion in the device ("lnad")
 * first. MxL group: compiles the image, which sorts the rows in use of
 * VelnorCfg by frequency; Xfer waits for answers at most limitMs (0: for
 * ever). */
void DEVOP_PlanProgram(DevopProgram_t *plan, unsigned limitMs);

/* Before a configuration goes to the Kaltro (transfer mode 2): "lnaw name"
 * (at most 43 characters, the rest as "?"), a 50 ms pause, the image of
 * VelnorCfg for VelnorData.Model compiled into image (BREVCFG_IMAGE_MAX
 * bytes; the MxL compiler sorts the rows in use by frequency), "lnal" with
 * its type (MxL 255, EN 254). Returns the image size. The table must have
 * been validated. */
int DEVOP_PrepareKaltroCfg(const char *name, unsigned char *image, DEVOP_Sleep_t sleep);
