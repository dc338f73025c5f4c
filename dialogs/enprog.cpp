/* enprog.cpp -- the device software upgrade, Program's dialog and the EN
 * programming dialog, timer 8 (see enprog.h).
 *
 * No state: Program's plan (with its image) lives on dCSSUPGRADE_Program's
 * stack while its dialog runs. Nothing here changes the table but for the
 * MxL compiler's sort of the rows in use by frequency.
 */
#include "dialogs/enprog.h"

#include "config/texts.h"
#include "dialogs/transfer.h"
#include "link/rs232.h"
#include "ops/devop.h"
#include "ops/enop.h"
#include "ops/progop.h"

int dCSSUPGRADE_Init(HWND HWin, HINSTANCE)
{
    KALTRO_SendFile(HWin, XM_TYPE_DEVICE);
    return 0;
}

INT_PTR dCSSUPGRADE_Program(HWND owner)
{
    DevopProgram_t plan;
    DEVOP_PlanProgram(&plan, 0);
    if (plan.RowByRow) return WIN_DialogBox(owner, &KALTRO_Template, BrevantUpgrEN);
    return KALTRO_Run(owner, &plan.Xfer);
}

constexpr unsigned EN_TIMER = 8;

static void open(LPARAM, const OpsDisplay_t *d)
{
    ENOP_Open(d);
}

static const DisplayOp_t ENProgramming = {
    TX_SOFTWARE_UPGRADE, IDOK, TX_OK, EN_TIMER, 0, open,
    &ENOP_Operation, /* it never closes itself */
};

INT_PTR BrevantUpgrEN(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DISPLAY_Proc(&ENProgramming, hDlg, message, wParam, lParam);
}

static void openVerified(LPARAM, const OpsDisplay_t *d)
{
    PROGOP_Open(0, true, d); /* the windows wait as long as it takes; Cancel ends it */
}

static const DisplayOp_t VerifiedProgramming = {
    TX_SOFTWARE_UPGRADE, IDOK, TX_OK, EN_TIMER, 0, openVerified, &PROGOP_Operation,
};

static INT_PTR verifiedProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DISPLAY_Proc(&VerifiedProgramming, hDlg, message, wParam, lParam);
}

INT_PTR dCSSUPGRADE_ProgramVerified(HWND owner)
{
    return WIN_DialogBox(owner, &KALTRO_Template, verifiedProc);
}
