/* enprog.cpp -- the device software upgrade and the EN programming dialog
 * (see enprog.h).
 *
 * State: the software file while it is sent (Ptr, CopiedSize, owned from
 * reading until release); for the EN dialog the progress display and the
 * dialog as the display of the EN programming steps (ops/enop.cpp, where
 * its step table is), which it drives from timer 8. The EN dialog changes
 * nothing in the table.
 *
 *   Opening: title, OK, bar, then the steps' opening.
 *   Timer 8: one step, the timer stopped during it.
 *   OK or Cancel, any time: "\r" (close), the dialog ends with the id.
 */
#include "dialogs/enprog.h"

#include "config/fileio.h"
#include "config/texts.h"
#include "dialogs/filedlg.h"
#include "dialogs/transfer.h"
#include "link/rs232.h"
#include "ops/enop.h"

constexpr unsigned EN_TIMER = 8;

/* Device software upgrade. */
static unsigned char *Ptr = nullptr;
static int CopiedSize = 0;

/* EN programming dialog. */
static Display_t Disp;
static DisplayShell_t Shell;

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

static void opening(HWND hDlg)
{
    DISPLAY_Reset(&Disp);
    WIN_SetWindowText(hDlg, TXT(TX_SOFTWARE_UPGRADE));
    WIN_SetWindowText(WIN_GetDlgItem(hDlg, IDOK), TXT(TX_OK));
    DISPLAY_CreateBar(hDlg, &Disp);
    DISPLAY_InitShell(&Shell, hDlg, &Disp, EN_TIMER);
    ENOP_Open(&Shell.Ops);
}

static void tick(HWND hDlg)
{
    WIN_KillTimer(hDlg, EN_TIMER);
    ENOP_Step();
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
