/* readop.cpp -- "Configuration upload" as steps (see readop.h).
 *
 * State: the step (State), the next band (UBNum), the bands without a
 * complete reply (Missing) and the display the steps report to.
 *
 *   Opening: identification, tone off, device ID
 *     Kaltro silent / no model / other model   red text, nothing due
 *     the model of the main window             rows put in UBNo order,
 *                                              "Upload in progress...", next step in 1 ms
 *
 *   Step      State      exchange               next
 *             Reading    "lnbg UBNum" into row  Reading, next in 1 ms, pause 100 ms;
 *                        UBNum, UBNum + 1       after the last band: Finished when
 *                                               every band replied ("Upload
 *                                               successfully finished!"), else
 *                                               Stopped ("Transmission error", nothing due)
 *             Finished   "\r" (close)           pause 1000 ms, the end with 1
 *
 *   A port lost (hung up, unplugged) stops the reading at the next step:
 *   Stopped, "Transmission error".
 *
 * A read-out that missed a band is not reported as a success: the row of
 * that band keeps what it held, and the user must see that.
 */
#include "ops/readop.h"

#include "ops/devop.h"

#include "config/dcss.h"
#include "config/texts.h"
#include "link/rs232.h"

enum CR_t { CR_READING = 0, CR_FINISHED = 1, CR_STOPPED = 2 };

constexpr unsigned TICK_MS = 1;            /* the next band as soon as the loop is free */
constexpr unsigned BAND_PAUSE_MS = 100;    /* between two bands: the device's rest */
constexpr unsigned SUCCESS_SHOW_MS = 1000; /* the success text stays this long */
constexpr int READOUT_DONE = 1;            /* the end of a complete read-out */

static CR_t State = CR_READING;
static int UBNum = 0;
static int Missing = 0;
static const OpsDisplay_t *Disp = nullptr;

int READOP_GetMissing()
{
    return Missing;
}

void READOP_OrderRows(VelnorCfg_t *table, int n)
{
    n = MAIN_RowsInTable(n);
    /* Insertion sort: stable, and at most 32 rows. */
    for (int i = 1; i < n; i++) {
        const VelnorCfg_t row = table[i];
        int j = i;
        for (; j > 0 && table[j - 1].UBNo > row.UBNo; j--)
            table[j] = table[j - 1];
        table[j] = row;
    }
}

/* The bands to read: the rows in use. */
static int bandCount()
{
    return MAIN_RowsInTable(VelnorData.UBNumber);
}

static void show(int textId, OpsColour_t colour)
{
    Disp->Show(Disp->Ctx, textId, colour);
}

void READOP_Open(const OpsDisplay_t *d)
{
    Disp = d;
    State = CR_READING;
    UBNum = 0;
    Missing = 0;

    int model = -1;
    if (!DEVOP_Greet(&model)) return show(TX_NO_REPLY_KALTRO, OPS_RED);
    if (model < 0) return show(TX_NO_DEVICE, OPS_RED);
    if (model != VelnorData.Model) return show(TX_WRONG_DEVICE, OPS_RED);

    /* Band k is read into row k: with the rows in UBNo order that is UB k's
     * own record, and a read-out cut short leaves no UB number twice. */
    READOP_OrderRows(VelnorCfg, bandCount());
    show(TX_UPLOAD_IN_PROGRESS, OPS_BLACK);
    Disp->Tick(Disp->Ctx, TICK_MS);
}

void READOP_Step()
{
    if (State == CR_FINISHED) {
        RS232_KaltroClose();
        Disp->Sleep(Disp->Ctx, SUCCESS_SHOW_MS);
        Disp->End(Disp->Ctx, READOUT_DONE);
        return;
    }
    if (State != CR_READING) return;
    if (RS232_PortLost()) {
        /* the port hung up or went away: no band can come any more */
        State = CR_STOPPED;
        show(TX_TRANSMISSION_ERROR, OPS_RED);
        return;
    }

    const int n = bandCount();
    if (UBNum < n) {
        if (RS232_ReadBand(&VelnorCfg[UBNum], UBNum) != 0) Missing++;
        UBNum++;
        Disp->Progress(Disp->Ctx, UBNum * 100 / n);
    }
    if (UBNum >= n) {
        if (Missing > 0) {
            State = CR_STOPPED;
            show(TX_TRANSMISSION_ERROR, OPS_RED);
            return;
        }
        State = CR_FINISHED;
        show(TX_UPLOAD_FINISHED, OPS_GREEN);
    }
    Disp->Tick(Disp->Ctx, TICK_MS);
    Disp->Sleep(Disp->Ctx, BAND_PAUSE_MS);
}
