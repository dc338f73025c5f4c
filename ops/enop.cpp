/* enop.cpp -- EN programming as steps (see enop.h).
 *
 * State: the step (ENState), the next row (UB), the device's output number
 * (OutNum) and the display. It reads rows 0 to UBNumber - 1 of VelnorCfg and
 * changes nothing in the table.
 *
 *   Opening: identification, tone off, device ID
 *     Kaltro silent / no model / a model outside the EN group   red text, OK
 *     an EN-group model: "lndo"; no output number                red text, OK
 *     else "Transmission started...", ENState 1, next step in 1 ms
 *
 *   Step      ENState   exchange           next
 *             1         "entp" of row UB   accepted, or refused with a UB
 *                                          frequency below LBAND_MIN (an inactive
 *                                          band is sent as 0): UB + 1, ENState 1,
 *                                          pause 100 ms; after the last row
 *                                          "Software upgrade successful!", 2.
 *                                          Refused at LBAND_MIN or more: "No more
 *                                          space for UBs", 2. No reply:
 *                                          "Transmission error", 2. Next in 10 ms.
 *             2         "\r" (close)       OK enabled, nothing due
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
static const OpsDisplay_t *Disp = nullptr;

static void show(int textId, OpsColour_t colour)
{
    Disp->Show(Disp->Ctx, textId, colour);
}

static void stopWith(int textId)
{
    show(textId, OPS_RED);
    Disp->EnableOK(Disp->Ctx, true);
}

void ENOP_Open(const OpsDisplay_t *d)
{
    Disp = d;
    UB = 0;
    ENState = EN_CLOSED;

    int model = -1;
    if (!DEVOP_Greet(&model)) return stopWith(TX_NO_REPLY_KALTRO);
    if (model < 0) return stopWith(TX_NO_DEVICE);
    if (!DCSS_IsENGroup(model)) return stopWith(TX_WRONG_DEVICE);
    OutNum = RS232_GetOutputNumber();
    if (OutNum < 0) return stopWith(TX_NO_DEVICE);

    show(TX_TRANSMISSION_STARTED, OPS_BLACK);
    ENState = EN_PROGRAM;
    Disp->Tick(Disp->Ctx, FIRST_TICK_MS);
}

/* Programs row UB; the text to stop with, or -1 to go on. */
static int programRow(const VelnorCfg_t &row)
{
    const std::uint16_t freq = row.Active != 0 ? row.UBFreq : 0;
    const std::uint16_t tpFreq = row.StaticMode != 0 ? row.ConvFreq : 0;
    const std::uint8_t tpPol = (row.ConvPol == 'H' || row.ConvPol == 'h') ? 1 : 0;
    const std::int8_t result =
        RS232_ProgramEN5520(static_cast<std::uint8_t>(OutNum), row.UBNo, freq, row.BW, row.AGCVal,
                            tpFreq, tpPol, row.Feed, row.SpectralInversion);
    if (result == RS232_EN_NO_REPLY) return TX_TRANSMISSION_ERROR;
    /* The device refuses a band it has no room for; an inactive band it may
     * refuse without harm. */
    if (result == RS232_EN_REFUSED && freq >= LBAND_MIN) return TX_NO_MORE_SPACE;
    return -1;
}

void ENOP_Step()
{
    if (ENState == EN_CLOSED) return;
    if (ENState == EN_FINISHED) {
        ENState = EN_CLOSED;
        Disp->EnableOK(Disp->Ctx, true);
        RS232_KaltroClose();
        return;
    }
    ENState = EN_FINISHED;
    const int n = MAIN_RowsInTable(VelnorData.UBNumber); /* the rows in use */
    const int failure = UB < n ? programRow(VelnorCfg[UB]) : -1;
    if (failure >= 0) {
        show(failure, OPS_RED);
    } else {
        if (UB < n) UB++;
        if (UB < n) {
            ENState = EN_PROGRAM;
            Disp->Sleep(Disp->Ctx, BAND_PAUSE_MS);
        } else {
            show(TX_SW_UPGRADE_OK, OPS_GREEN);
        }
    }
    Disp->Tick(Disp->Ctx, NEXT_TICK_MS);
    Disp->Progress(Disp->Ctx, n > 0 ? UB * 100 / n : 100);
}
