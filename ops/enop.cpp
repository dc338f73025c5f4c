/* enop.cpp -- EN programming as steps (see enop.h).
 *
 * State: the step (ENState), the next row (UB), the device's output number
 * (OutNum), the outcome programming ends with (Result) and the run. It
 * reads rows 0 to UBNumber - 1 of VelnorCfg and changes nothing in the table.
 *
 *   Opening: identification, tone off, device ID
 *     Kaltro silent / no model / a model outside the EN group   the outcome
 *     an EN-group model: "lndo"; no output number                no device
 *     else "Transmission started...", ENState 1, next step in 1 ms
 *
 *   Step      ENState   exchange           next
 *             1         "entp" of row UB   accepted, or refused with a UB
 *                                          frequency below LBAND_MIN (an inactive
 *                                          band is sent as 0): UB + 1, ENState 1,
 *                                          pause 100 ms; after the last row done, 2.
 *                                          Refused at LBAND_MIN or more: refused,
 *                                          "No more space for UBs", 2. No reply:
 *                                          "Transmission error", 2. Next in 10 ms;
 *                                          the outcome after the progress.
 *             2         "\r" (close)       nothing due
 *
 *   Rows already programmed before a failure stay programmed.
 */
#include "ops/enop.h"

#include "ops/devop.h"

#include "config/dcss.h"
#include "config/limits.h"
#include "config/texts.h"
#include "config/velnor.h"
#include "link/rs232.h"

constexpr int EN_PROGRAM = 1;
constexpr int EN_FINISHED = 2;
constexpr int EN_CLOSED = 3;

constexpr unsigned FIRST_TICK_MS = 1;   /* the first band as soon as the loop is free */
constexpr unsigned NEXT_TICK_MS = 10;   /* the next band, or the closing step, after a drawn step */
constexpr unsigned BAND_PAUSE_MS = 100; /* between two bands: the device's rest */

static int ENState = EN_CLOSED;
static int UB = 0;
static std::int8_t OutNum = 0;
static OpsEnd_t Result = {OPS_DONE, TX_SW_UPGRADE_OK, -1};
static OpsRun_t Run;

void ENOP_Open(const OpsDisplay_t *d)
{
    OPS_Start(&Run, d);
    UB = 0;
    ENState = EN_CLOSED;
    Result = {OPS_DONE, TX_SW_UPGRADE_OK, -1};

    int model = -1;
    if (!DEVOP_Greet(&model)) return OPS_End(&Run, OPS_NO_KALTRO, TX_NO_REPLY_KALTRO, -1);
    if (model < 0) return OPS_End(&Run, OPS_NO_DEVICE, TX_NO_DEVICE, -1);
    if (!DCSS_IsENGroup(model)) return OPS_End(&Run, OPS_REFUSED, TX_WRONG_DEVICE, -1);
    OutNum = RS232_GetOutputNumber();
    if (OutNum < 0) return OPS_End(&Run, OPS_NO_DEVICE, TX_NO_DEVICE, -1);

    d->Status(d->Ctx, TX_TRANSMISSION_STARTED);
    ENState = EN_PROGRAM;
    d->Tick(d->Ctx, FIRST_TICK_MS);
}

/* Programs row UB; false, with Result set, when programming stops there. */
static bool programRow(const VelnorCfg_t &row)
{
    const std::uint16_t freq = row.Active != 0 ? row.UBFreq : 0;
    const std::uint16_t tpFreq = row.StaticMode != 0 ? row.ConvFreq : 0;
    const std::uint8_t tpPol = (row.ConvPol == 'H' || row.ConvPol == 'h') ? 1 : 0;
    const std::int8_t result =
        RS232_ProgramEN5520(static_cast<std::uint8_t>(OutNum), row.UBNo, freq, row.BW, row.AGCVal,
                            tpFreq, tpPol, row.Feed, row.SpectralInversion);
    if (result == RS232_EN_NO_REPLY) {
        const OpsOutcome_t why = RS232_PortLost() ? OPS_LINE_LOST : OPS_NO_DEVICE;
        Result = {why, TX_TRANSMISSION_ERROR, UB};
        return false;
    }
    /* The device refuses a band it has no room for; an inactive band it may
     * refuse without harm. */
    if (result == RS232_EN_REFUSED && freq >= LBAND_MIN) {
        Result = {OPS_REFUSED, TX_NO_MORE_SPACE, UB};
        return false;
    }
    return true;
}

static void step()
{
    const OpsDisplay_t *d = Run.Disp;
    if (Run.Stopped || ENState == EN_CLOSED) return;
    if (ENState == EN_FINISHED) {
        ENState = EN_CLOSED;
        RS232_KaltroClose();
        return;
    }
    ENState = EN_FINISHED;
    const int n = MAIN_RowsInTable(VelnorData.UBNumber); /* the rows in use */
    if (UB >= n || programRow(VelnorCfg[UB])) {
        if (UB < n) UB++;
        if (UB < n) {
            ENState = EN_PROGRAM;
            d->Sleep(d->Ctx, BAND_PAUSE_MS);
        }
    }
    d->Tick(d->Ctx, NEXT_TICK_MS);
    d->Progress(d->Ctx, n > 0 ? UB * 100 / n : 100);
    /* The outcome after the progress it ends with; the closing step follows. */
    if (ENState == EN_FINISHED) OPS_End(&Run, Result.Outcome, Result.TextId, Result.Where);
}

static OpsEnd_t cancel(OpsCancel_t)
{
    ENState = EN_CLOSED;
    return OPS_Stop(&Run, true);
}

const OpsOperation_t ENOP_Operation = {step, cancel};
