/* readout.cpp -- "Configuration upload": reads the device's UB table into
 * VelnorCfg in a modal progress dialog (see readout.h).
 *
 * State: the step (State), the next band (UBNum), the bands without a
 * complete reply (Missing) and the progress display. It writes rows 0 to
 * UBNumber - 1 of VelnorCfg and nothing else of the table; it never draws
 * into the main window, which shows and validates the rows afterwards.
 *
 *   Opening: identification, tone off, device ID
 *     Kaltro silent / no model / other model   red text, no timer, wait for Cancel
 *     the model of the main window             rows put in UBNo order,
 *                                              "Upload in progress...", timer 6 at 1 ms
 *
 *   Timer 6   State      exchange               next
 *             Reading    "lnbg UBNum" into row  Reading, timer 1 ms, pause 100 ms;
 *                        UBNum, UBNum + 1       after the last band: Finished when
 *                                               every band replied ("Upload
 *                                               successfully finished!"), else
 *                                               Stopped ("Transmission error", no timer)
 *             Finished   "\r" (close)           pause 1000 ms, the dialog ends with 1
 *
 *   A port lost (hung up, unplugged) stops the reading at the next tick:
 *   Stopped, "Transmission error".
 *
 *   Cancel or OK, any time: "\r" (close), the dialog ends with the id.
 *
 * A read-out that missed a band is not reported as a success: the row of
 * that band keeps what it held, and the user must see that.
 */
#include "link/dialogs/readout.h"

#include "app/texts.h"
#include "dialogs/dcss.h"
#include "link/rs232.h"

enum CR_t { CR_READING = 0, CR_FINISHED = 1, CR_STOPPED = 2 };

constexpr unsigned READOUT_TIMER = 6;
constexpr unsigned TICK_MS = 1;            /* the next band as soon as the loop is free */
constexpr unsigned BAND_PAUSE_MS = 100;    /* between two bands: the device's rest */
constexpr unsigned SUCCESS_SHOW_MS = 1000; /* the success text stays this long */

static CR_t State = CR_READING;
static int UBNum = 0;
static int Missing = 0;
static Display_t Disp;

static const WIN_DlgItem readoutItems[] = {
    {IDCANCEL, WinControl::PushButton, nullptr, CS_TABSTOP, 75, 60, 50, 14},
};
const WIN_DlgTemplate CONFIGREADOUT_Template = {200, 80, 9, nullptr, readoutItems, 1};

void CONFIGREADOUT_DisplayText(HDC hdc, const wchar_t *text, COLORREF color)
{
    DISPLAY_Text(hdc, &Disp, text, color);
}

void CONFIGREADOUT_DisplayPercents(HDC hdc, unsigned percent)
{
    DISPLAY_Percents(hdc, percent);
}

const Display_t *CONFIGREADOUT_GetDisplay()
{
    return &Disp;
}

int CONFIGREADOUT_GetMissing()
{
    return Missing;
}

void CONFIGREADOUT_OrderRows(VelnorCfg_t *table, int n)
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

static void show(HWND hDlg, int textId, COLORREF color)
{
    DISPLAY_Show(hDlg, &Disp, TXT(textId), color);
}

static void opening(HWND hDlg)
{
    WIN_SetWindowText(hDlg, TXT(TX_CONFIG_UPLOAD));
    State = CR_READING;
    UBNum = 0;
    Missing = 0;
    DISPLAY_Reset(&Disp);
    WIN_SetWindowText(WIN_GetDlgItem(hDlg, IDCANCEL), TXT(TX_CANCEL));
    DISPLAY_CreateBar(hDlg, &Disp);

    if (RS232_KaltroIdentification() != RS232_OK)
        return show(hDlg, TX_NO_REPLY_KALTRO, DISPLAY_RED);
    RS232_Set22kHzTone(0);
    const int id = RS232_GetDeviceID();
    const int model = DCSS_ModelOfDeviceID(id);
    if (model < 0) return show(hDlg, TX_NO_DEVICE, DISPLAY_RED);
    if (model != VelnorData.Model) return show(hDlg, TX_WRONG_DEVICE, DISPLAY_RED);

    /* Band k is read into row k: with the rows in UBNo order that is UB k's
     * own record, and a read-out cut short leaves no UB number twice. */
    CONFIGREADOUT_OrderRows(VelnorCfg, bandCount());
    show(hDlg, TX_UPLOAD_IN_PROGRESS, DISPLAY_BLACK);
    WIN_SetTimer(hDlg, READOUT_TIMER, TICK_MS);
}

static void tick(HWND hDlg)
{
    WIN_KillTimer(hDlg, READOUT_TIMER);
    if (State == CR_FINISHED) {
        RS232_KaltroClose();
        WIN_Sleep(SUCCESS_SHOW_MS);
        WIN_EndDialog(hDlg, IDOK);
        return;
    }
    if (State != CR_READING) return;
    if (RS232_PortLost()) {
        /* the port hung up or went away: no band can come any more */
        State = CR_STOPPED;
        show(hDlg, TX_TRANSMISSION_ERROR, DISPLAY_RED);
        return;
    }

    const int n = bandCount();
    if (UBNum < n) {
        if (RS232_ReadBand(&VelnorCfg[UBNum], UBNum) != 0) Missing++;
        UBNum++;
        DISPLAY_SetProgress(hDlg, &Disp, UBNum * 100 / n);
    }
    if (UBNum >= n) {
        if (Missing > 0) {
            State = CR_STOPPED;
            show(hDlg, TX_TRANSMISSION_ERROR, DISPLAY_RED);
            return;
        }
        State = CR_FINISHED;
        show(hDlg, TX_UPLOAD_FINISHED, DISPLAY_GREEN);
    }
    WIN_SetTimer(hDlg, READOUT_TIMER, TICK_MS);
    WIN_Sleep(BAND_PAUSE_MS);
}

INT_PTR ConfigReadOut(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: opening(hDlg); return 1;
    case WM_TIMER:
        if (wParam == READOUT_TIMER) tick(hDlg);
        return 1;
    case WM_PAINT: DISPLAY_Paint(hDlg, &Disp); return 1;
    case WM_COMMAND: return DISPLAY_EndOnCommand(hDlg, READOUT_TIMER, wParam) ? 1 : 0;
    default: return 0;
    }
}
