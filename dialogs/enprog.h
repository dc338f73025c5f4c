/* enprog.h -- writing into the dCSS device: the device software upgrade of
 * the dCSS Device menu, Program's dialog for either model group, and the
 * programming of an EN-group device's user bands one by one.
 *
 * The software upgrade sends the chosen file through the transfer dialog in
 * mode 0. The EN programming dialog sends one "entp" line per tick of timer
 * 8 for rows 0 to UBNumber - 1 of VelnorCfg (the steps are ops/enop's).
 */
#pragma once

#include "dialogs/display.h"

/* "SW Upgrade..." of the dCSS Device menu: asks for a software file, sends
 * it in mode 0 and releases it. Always 0; a cancelled choice opens nothing. */
int dCSSUPGRADE_Init(HWND HWin, HINSTANCE hInstance);

/* Program of the validated table, owned by owner: as DEVOP_PlanProgram
 * prepares it, the EN programming dialog or the transfer dialog with the
 * compiled image. The dialog's result. */
INT_PTR dCSSUPGRADE_Program(HWND owner);
/* Program with verification (ops/progop) in the same dialog: the table
 * programmed, then read back and compared; the dialog ends with "Verified"
 * or with the failure. Afterwards PROGOP_Result tells what was found. */
INT_PTR dCSSUPGRADE_ProgramVerified(HWND owner);

/* The EN programming dialog, run from template 119 (KALTRO_Template); its
 * result is the id of the command that closed it. */
INT_PTR BrevantUpgrEN(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
