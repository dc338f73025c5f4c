/* transfer.cpp -- the transfer dialog (see transfer.h): the XModem
 * transfer's progress dialog, timer 3; and the software upgrades that open
 * it with a file. No state: the image is its opener's, the transfer's state
 * is the steps'.
 */
#include "dialogs/transfer.h"

#include "config/fileio.h"
#include "config/texts.h"
#include "dialogs/filedlg.h"
#include "link/rs232.h"

static const WIN_DlgItem transferItems[] = {
    {IDOK, WinControl::PushButton, nullptr, CS_TABSTOP | CS_DISABLED, 75, 60, 50, 14},
};
const WIN_DlgTemplate KALTRO_Template = {200, 80, 9, nullptr, transferItems, 1};

constexpr unsigned TRANSFER_TIMER = 3;
constexpr INT_PTR TRANSFER_CLOSED = 0; /* the result of a transfer that closed itself */

static void open(LPARAM init, const OpsDisplay_t *d)
{
    XFEROP_Open(reinterpret_cast<const XferArgs_t *>(init), d);
}

static const DisplayOp_t Transfer = {
    TX_SOFTWARE_UPGRADE, IDOK, TX_OK, TRANSFER_TIMER, TRANSFER_CLOSED, open, &XFEROP_Operation,
};

INT_PTR KaltroWinProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DISPLAY_Proc(&Transfer, hDlg, message, wParam, lParam);
}

INT_PTR KALTRO_Run(HWND owner, const XferArgs_t *args)
{
    return WIN_DialogBoxParam(owner, &KALTRO_Template, KaltroWinProc,
                              reinterpret_cast<LPARAM>(args));
}

void KALTRO_SendFile(HWND owner, int mode)
{
    unsigned char *buffer = nullptr;
    int size = 0;
    if (BREVCFG_ReadFile(owner, &buffer, &size) == 0 && size > 0) {
        const XferArgs_t args = {mode, buffer, size, 0};
        KALTRO_Run(owner, &args);
    }
    BREVCFG_DeallocFileBuffer(buffer);
}

int KALTRO_Init(HWND HWin, HINSTANCE)
{
    KALTRO_SendFile(HWin, XM_TYPE_KALTRO_SW);
    return 0;
}
