/* readop.cpp -- "Configuration upload" as steps (see readop.h).
 *
 * State: the step (State), the next band (UBNum), the bands without a
 * complete reply (Missing, the first in FirstMissing, refused or not) and the
 * run.
 *
 *   Opening: identification, tone off, device ID
 *     Kaltro silent / no model / other model   the outcome: no Kaltro, no
 *                                              device, refused; nothing due
 *     the model of the main window             rows put in UBNo order,
 *                                              "Upload in progress...", next step in 1 ms
 *
 *   Step      State      exchange               next
 *             Reading    "lnbg UBNum" into row  Reading, next in 1 ms, pause 100 ms;
 *                        UBNum, UBNum + 1       after the last band: Finished when
 *                                               every band replied (done, "Upload
 *                                               successfully finished!"), else
 *                                               Stopped ("Transmission error", nothing due)
 *             Finished   "\r" (close)           pause 1000 ms, Finish
 *
 *   A port lost (hung up, unplugged) stops the reading at the next step:
 *   Stopped, line lost, "Transmission error". Two bands in a row without any
 *   answer stop it too: Stopped, no device, "Transmission error" at the first.
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
/* Bands in a row without any answer after which the device is taken to be
 * gone: asking each of the rest would only cost 1.5 s a band. */
constexpr int SILENT_BANDS_MAX = 2;

static CR_t State = CR_STOPPED;
static int UBNum = 0;
static int Missing = 0;
static int FirstMissing = -1;
static bool FirstRefused = false;
static int Silent = 0;      /* bands in a row that got no answer at all */
static int SilentFrom = -1; /* the first of them */
static OpsRun_t Run;

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

void READOP_ReadVersion()
{
    VelnorData.DBaseVersion = static_cast<std::uint8_t>(RS232_GetDBaseVersion());
}

void READOP_Open(const OpsDisplay_t *d)
{
    OPS_Start(&Run, d);
    State = CR_STOPPED;
    UBNum = 0;
    Missing = 0;
    FirstMissing = -1;
    FirstRefused = false;
    Silent = 0;
    SilentFrom = -1;

    int model = -1;
    if (!DEVOP_Greet(&model)) return OPS_End(&Run, OPS_NO_KALTRO, TX_NO_REPLY_KALTRO, -1);
    if (model < 0) return OPS_End(&Run, OPS_NO_DEVICE, TX_NO_DEVICE, -1);
    if (model != VelnorData.Model) return OPS_End(&Run, OPS_REFUSED, TX_WRONG_DEVICE, -1);

    /* Band k is read into row k: with the rows in UBNo order that is UB k's
     * own record, and a read-out cut short leaves no UB number twice. */
    READOP_OrderRows(VelnorCfg, bandCount());
    State = CR_READING;
    d->Status(d->Ctx, TX_UPLOAD_IN_PROGRESS);
    d->Tick(d->Ctx, TICK_MS);
}

/* Reads band UBNum and counts it when it did not come. */
static void readBand()
{
    const bool missed = RS232_ReadBand(&VelnorCfg[UBNum], UBNum) != 0;
    if (missed && RS232_PortLost()) return; /* the next step tells the loss at this band */
    const bool silent = missed && RS232_GetLastAnswer() == RS232_REPLY_NONE;
    if (!silent)
        Silent = 0;
    else if (Silent++ == 0)
        SilentFrom = UBNum;
    if (missed && Missing++ == 0) {
        FirstMissing = UBNum;
        FirstRefused = RS232_GetLastAnswer() == RS232_REPLY_REFUSED;
    }
    UBNum++;
}

static void step()
{
    const OpsDisplay_t *d = Run.Disp;
    if (Run.Stopped) return;
    if (State == CR_FINISHED) {
        RS232_KaltroClose();
        d->Sleep(d->Ctx, SUCCESS_SHOW_MS);
        return OPS_Finish(&Run);
    }
    if (State != CR_READING) return;
    if (RS232_PortLost()) {
        /* the port hung up or went away: no band can come any more */
        State = CR_STOPPED;
        return OPS_End(&Run, OPS_LINE_LOST, TX_TRANSMISSION_ERROR, UBNum);
    }

    const int n = bandCount();
    if (UBNum < n) {
        readBand();
        d->Progress(d->Ctx, UBNum * 100 / n);
        if (Silent >= SILENT_BANDS_MAX) {
            State = CR_STOPPED;
            return OPS_End(&Run, OPS_NO_DEVICE, TX_TRANSMISSION_ERROR, SilentFrom);
        }
    }
    if (UBNum >= n) {
        if (Missing > 0) {
            State = CR_STOPPED;
            const OpsOutcome_t why = RS232_PortLost() ? OPS_LINE_LOST
                                     : FirstRefused   ? OPS_REFUSED
                                                      : OPS_NO_DEVICE;
            return OPS_End(&Run, why, TX_TRANSMISSION_ERROR, FirstMissing);
        }
        State = CR_FINISHED;
        OPS_End(&Run, OPS_DONE, TX_UPLOAD_FINISHED, -1);
    }
    d->Tick(d->Ctx, TICK_MS);
    d->Sleep(d->Ctx, BAND_PAUSE_MS);
}

static OpsEnd_t cancel(OpsCancel_t)
{
    State = CR_STOPPED;
    return OPS_Stop(&Run, true);
}

const OpsOperation_t READOP_Operation = {step, cancel};
