/* transfer.cpp -- the transfer dialog: shows the XModem transfer's steps
 * (ops/xferop.cpp, where its step table is) and drives them from timer 3
 * (see transfer.h); and the Kaltro software upgrade that opens it in mode 1.
 *
 * State: the progress display and the dialog as the steps' display; the
 * mode, the image and the transfer are the steps'. It never touches the UB
 * table.
 *
 *   Opening: title, OK (disabled), bar, then the steps' opening.
 *   Timer 3: one step, the timer stopped during it.
 *   OK or Cancel, any time: "\r", the dialog ends with the id; no CAN is sent.
 */
#include "dialogs/transfer.h"

#include "config/fileio.h"
#include "config/texts.h"
#include "dialogs/filedlg.h"
#include "link/rs232.h"
#include "ops/xferop.h"

constexpr unsigned TRANSFER_TIMER = 3;

static Display_t Disp;
static DisplayShell_t Shell;

static const WIN_DlgItem transferItems[] = {
    {IDOK, WinControl::PushButton, nullptr, CS_TABSTOP | CS_DISABLED, 75, 60, 50, 14},
};
const WIN_DlgTemplate KALTRO_Template = {200, 80, 9, nullptr, transferItems, 1};

void KALTRO_SetMode(int bMode, const unsigned char *Pointer, int Size)
{
    XFEROP_SetMode(bMode, Pointer, Size);
}

void KALTRO_DisplayText(HDC hdc, const wchar_t *text, COLORREF color)
{
    DISPLAY_Text(hdc, &Disp, text, color);
}

void KALTRO_DisplayPercents(HDC hdc, unsigned percent)
{
    DISPLAY_Percents(hdc, percent);
}

const Display_t *KALTRO_GetDisplay()
{
    return &Disp;
}

static void opening(HWND hDlg)
{
    DISPLAY_Reset(&Disp);
    WIN_SetWindowText(hDlg, TXT(TX_SOFTWARE_UPGRADE));
    WIN_SetWindowText(WIN_GetDlgItem(hDlg, IDOK), TXT(TX_OK));
    DISPLAY_CreateBar(hDlg, &Disp);
    DISPLAY_InitShell(&Shell, hDlg, &Disp, TRANSFER_TIMER);
    XFEROP_Open(&Shell.Ops);
}

static void tick(HWND hDlg)
{
    WIN_KillTimer(hDlg, TRANSFER_TIMER);
    XFEROP_Step();
}

INT_PTR KaltroWinProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: opening(hDlg); return 1;
    case WM_TIMER:
        if (wParam == TRANSFER_TIMER) tick(hDlg);
        return 1;
    case WM_PAINT: DISPLAY_Paint(hDlg, &Disp); return 1;
    case WM_COMMAND: return DISPLAY_EndOnCommand(hDlg, TRANSFER_TIMER, wParam) ? 1 : 0;
    default: return 0;
    }
}

int KALTRO_Init(HWND HWin, HINSTANCE)
{
    unsigned char *buffer = nullptr;
    int size = 0;
    if (BREVCFG_ReadFile(HWin, &buffer, &size) == 0 && size > 0) {
        KALTRO_SetMode(XM_TYPE_KALTRO_SW, buffer, size);
        WIN_DialogBox(HWin, &KALTRO_Template, KaltroWinProc);
    }
    /* The image is gone after this; the dialog must not keep pointing at it. */
    KALTRO_SetMode(XM_TYPE_KALTRO_SW, nullptr, 0);
    BREVCFG_DeallocFileBuffer(buffer);
    return 0;
}
