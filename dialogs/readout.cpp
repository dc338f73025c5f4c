/* readout.cpp -- "Configuration upload": the modal progress dialog that
 * shows the read-out's steps (ops/readop.cpp, where its step table is) and
 * drives them from timer 6 (see readout.h).
 *
 * State: the progress display and the dialog as the steps' display. It
 * writes nothing of the table itself; it never draws into the main window,
 * which shows and validates the rows afterwards.
 *
 *   Opening: title, Cancel, bar, then the steps' opening.
 *   Timer 6: one step, the timer stopped during it.
 *   Cancel or OK, any time: "\r" (close), the dialog ends with the id.
 */
#include "dialogs/readout.h"

#include "config/texts.h"
#include "ops/readop.h"

constexpr unsigned READOUT_TIMER = 6;

static Display_t Disp;
static DisplayShell_t Shell;

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

static void opening(HWND hDlg)
{
    WIN_SetWindowText(hDlg, TXT(TX_CONFIG_UPLOAD));
    DISPLAY_Reset(&Disp);
    WIN_SetWindowText(WIN_GetDlgItem(hDlg, IDCANCEL), TXT(TX_CANCEL));
    DISPLAY_CreateBar(hDlg, &Disp);
    DISPLAY_InitShell(&Shell, hDlg, &Disp, READOUT_TIMER);
    READOP_Open(&Shell.Ops);
}

static void tick(HWND hDlg)
{
    WIN_KillTimer(hDlg, READOUT_TIMER);
    READOP_Step();
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
