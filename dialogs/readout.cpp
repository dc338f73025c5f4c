/* readout.cpp -- "Configuration upload" (see readout.h): the read-out's
 * progress dialog, timer 6. No state of its own.
 */
#include "dialogs/readout.h"

#include "config/texts.h"
#include "ops/readop.h"

static const WIN_DlgItem readoutItems[] = {
    {IDCANCEL, WinControl::PushButton, nullptr, CS_TABSTOP, 75, 60, 50, 14},
};
const WIN_DlgTemplate CONFIGREADOUT_Template = {200, 80, 9, nullptr, readoutItems, 1};

constexpr unsigned READOUT_TIMER = 6;

static void open(LPARAM, const OpsDisplay_t *d)
{
    READOP_Open(d);
}

static const DisplayOp_t ReadOut = {
    TX_CONFIG_UPLOAD,       IDCANCEL, TX_CANCEL,         READOUT_TIMER,
    CONFIGREADOUT_COMPLETE, open,     &READOP_Operation,
};

INT_PTR ConfigReadOut(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DISPLAY_Proc(&ReadOut, hDlg, message, wParam, lParam);
}

INT_PTR CONFIGREADOUT_Run(HWND owner)
{
    return WIN_DialogBox(owner, &CONFIGREADOUT_Template, ConfigReadOut);
}
