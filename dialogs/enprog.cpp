/* enprog.cpp -- the device software upgrade, Program's dialog and the EN
 * programming dialog, timer 8 (see enprog.h).
 *
 * No state: the software file lives on dCSSUPGRADE_Init's stack frame from
 * reading until release, Program's plan (with its image) on
 * dCSSUPGRADE_Program's while its dialog runs. Neither changes the table,
 * but for the MxL compiler's sort of the rows in use by frequency.
 */
#include "dialogs/enprog.h"

#include "config/fileio.h"
#include "config/texts.h"
#include "dialogs/filedlg.h"
#include "dialogs/transfer.h"
#include "link/rs232.h"
#include "ops/devop.h"
#include "ops/enop.h"

int dCSSUPGRADE_Init(HWND HWin, HINSTANCE)
{
    unsigned char *buffer = nullptr;
    int size = 0;
    if (BREVCFG_ReadFile(HWin, &buffer, &size) == 0 && size > 0) {
        const XferArgs_t args = {XM_TYPE_DEVICE, buffer, size, 0};
        KALTRO_Run(HWin, &args);
    }
    BREVCFG_DeallocFileBuffer(buffer);
    return 0;
}

INT_PTR dCSSUPGRADE_Program(HWND owner)
{
    DevopProgram_t plan;
    DEVOP_PlanProgram(&plan, 0);
    if (plan.RowByRow) return WIN_DialogBox(owner, &KALTRO_Template, BrevantUpgrEN);
    return KALTRO_Run(owner, &plan.Xfer);
}

static void open(LPARAM, const OpsDisplay_t *d)
{
    ENOP_Open(d);
}

static const DisplayOp_t ENProgramming = {
    TX_SOFTWARE_UPGRADE, IDOK, TX_OK, 8, 0, open, &ENOP_Operation,
};

INT_PTR BrevantUpgrEN(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DISPLAY_Proc(&ENProgramming, hDlg, message, wParam, lParam);
}
