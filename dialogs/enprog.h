/* enprog.h -- writing into the dCSS device: the device software upgrade of
 * the dCSS Device menu, and the programming of an EN-group device's user
 * bands one by one.
 *
 * The software upgrade sends the chosen file through the transfer dialog in
 * mode 0. The EN programming dialog sends one "entp" line per tick of timer
 * 8 for rows 0 to UBNumber - 1 of VelnorCfg; the caller has validated the
 * table and stored its configuration version ("lnad") before it opens it.
 */
#pragma once

#include "dialogs/display.h"
#include "platform/win.h"

/* "SW Upgrade..." of the dCSS Device menu: asks for a software file, sends
 * it in mode 0 and releases it. Always 0; a cancelled choice opens nothing. */
int dCSSUPGRADE_Init(HWND HWin, HINSTANCE hInstance);

/* The EN programming dialog, run from template 119 (KALTRO_Template); its
 * result is the id of the command that closed it. */
INT_PTR BrevantUpgrEN(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

/* What the EN programming dialog shows (for the tests). */
const Display_t *dCSSUPGRADE_GetDisplay();
