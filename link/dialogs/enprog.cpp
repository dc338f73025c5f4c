/* enprog.cpp -- the device software upgrade and the EN programming dialog
 * (see enprog.h).
 *
 * State: the software file while it is sent (Ptr, CopiedSize, owned from
 * reading until release); for the EN dialog the step (ENState), the next row
 * (UB), the device's output number (OutNum) and the progress display. The EN
 * dialog reads rows 0 to UBNumber - 1 of VelnorCfg and changes nothing in
 * the table.
 *
 *   Opening: identification, tone off, device ID
 *     Kaltro silent / no model / a model outside the EN group   red text, OK
 *     an EN-group model: "lndo"; no output number                red text, OK
 *     else "Transmission started...", ENState 1, timer 8 at 1 ms
 *
 *   Timer 8   ENState   exchange           next
 *             1         "entp" of row UB   accepted, or refused with a UB
 *                                          frequency below LBAND_MIN (an inactive
 *                                          band is sent as 0): UB + 1, ENState 1,
 *                                          pause 100 ms; after the last row
 *                                          "Software upgrade successful!", 2.
 *                                          Refused at LBAND_MIN or more: "No more
 *                                          space for UBs", 2. No reply:
 *                                          "Transmission error", 2. Timer 10 ms.
 *             2         "\r" (close)       OK enabled, no timer
 *
 *   OK or Cancel, any time: "\r" (close), the dialog ends with the id.
 *   Rows already programmed before a failure stay programmed.
 */
#include "link/dialogs/enprog.h"

#include "app/texts.h"
#include "config/filedlg.h"
#include "config/fileio.h"
#include "config/limits.h"
#include "config/velnor.h"
#include "dialogs/dcss.h"
#include "link/dialogs/transfer.h"
#include "link/rs232.h"

constexpr int EN_PROGRAM = 1;
constexpr int EN_FINISHED = 2;

constexpr unsigned EN_TIMER = 8;
constexpr unsigned FIRST_TICK_MS = 1;   /* the first band as soon as the loop is free */
constexpr unsigned NEXT_TICK_MS = 10;   /* the next band, or the closing step, after a drawn step */
constexpr unsigned BAND_PAUSE_MS = 100; /* between two bands: the device's rest */

/* Device software upgrade. */
static unsigned char *Ptr = nullptr;
static int CopiedSize = 0;

/* EN programming dialog. */
static int ENState = EN_FINISHED;
static int UB = 0;
static std::int8_t OutNum = 0;
static Display_t Disp;

const Display_t *dCSSUPGRADE_GetDisplay()
{
    return &Disp;
}

int dCSSUPGRADE_Init(HWND HWin, HINSTANCE)
{
    Ptr = nullptr;
    CopiedSize = 0;
    if (BREVCFG_ReadFile(HWin, &Ptr, &CopiedSize) == 0 && CopiedSize > 0) {
        KALTRO_SetMode(XM_TYPE_DEVICE, Ptr, CopiedSize);
        WIN_DialogBox(HWin, &KALTRO_Template, KaltroWinProc);
        KALTRO_SetMode(XM_TYPE_DEVICE, nullptr, 0);
    }
    BREVCFG_DeallocFileBuffer(Ptr);
    Ptr = nullptr;
    CopiedSize = 0;
    return 0;
}

static void show(HWND hDlg, int textId, COLORREF color)
{
    DISPLAY_Show(hDlg, &Disp, TXT(textId), color);
}

static void stopWith(HWND hDlg, int textId)
{
    show(hDlg, textId, DISPLAY_RED);
    WIN_EnableWindow(WIN_GetDlgItem(hDlg, IDOK), true);
}

static void opening(HWND hDlg)
{
    UB = 0;
    ENState = EN_FINISHED;
    DISPLAY_Reset(&Disp);
    WIN_SetWindowText(hDlg, TXT(TX_SOFTWARE_UPGRADE));
    WIN_SetWindowText(WIN_GetDlgItem(hDlg, IDOK), TXT(TX_OK));
    DISPLAY_CreateBar(hDlg, &Disp);

    if (RS232_KaltroIdentification() != RS232_OK) return stopWith(hDlg, TX_NO_REPLY_KALTRO);
    RS232_Set22kHzTone(0);
    const int id = RS232_GetDeviceID();
    const int model = DCSS_ModelOfDeviceID(id);
    if (model < 0) return stopWith(hDlg, TX_NO_DEVICE);
    if (!DCSS_IsENGroup(model)) return stopWith(hDlg, TX_WRONG_DEVICE);
    OutNum = RS232_GetOutputNumber();
    if (OutNum < 0) return stopWith(hDlg, TX_NO_DEVICE);

    show(hDlg, TX_TRANSMISSION_STARTED, DISPLAY_BLACK);
    ENState = EN_PROGRAM;
    WIN_SetTimer(hDlg, EN_TIMER, FIRST_TICK_MS);
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

static void tick(HWND hDlg)
{
    WIN_KillTimer(hDlg, EN_TIMER);
    if (ENState == EN_FINISHED) {
        WIN_EnableWindow(WIN_GetDlgItem(hDlg, IDOK), true);
        RS232_KaltroClose();
        return;
    }
    ENState = EN_FINISHED;
    const int n = MAIN_RowsInTable(VelnorData.UBNumber); /* the rows in use */
    const int failure = UB < n ? programRow(VelnorCfg[UB]) : -1;
    if (failure >= 0) {
        show(hDlg, failure, DISPLAY_RED);
    } else {
        if (UB < n) UB++;
        if (UB < n) {
            ENState = EN_PROGRAM;
            WIN_Sleep(BAND_PAUSE_MS);
        } else {
            show(hDlg, TX_SW_UPGRADE_OK, DISPLAY_GREEN);
        }
    }
    WIN_SetTimer(hDlg, EN_TIMER, NEXT_TICK_MS);
    DISPLAY_SetProgress(hDlg, &Disp, n > 0 ? UB * 100 / n : 100);
}

INT_PTR BrevantUpgrEN(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: opening(hDlg); return 1;
    case WM_TIMER:
        if (wParam == EN_TIMER) tick(hDlg);
        return 1;
    case WM_PAINT: DISPLAY_Paint(hDlg, &Disp); return 1;
    case WM_COMMAND: return DISPLAY_EndOnCommand(hDlg, EN_TIMER, wParam) ? 1 : 0;
    default: return 0;
    }
}
