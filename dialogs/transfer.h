/* transfer.h -- the transfer dialog: every XModem transfer of the program,
 * one protocol step per tick of timer 3 (the steps are ops/xferop's), with a
 * status line, a progress bar and a percentage; and the upgrade of the
 * Kaltro's own software.
 */
#pragma once

#include "dialogs/display.h"
#include "ops/xferop.h"

/* Template 119: 200 x 80 dialog units, 9 pt, OK (id 1) disabled at first. */
extern const WIN_DlgTemplate KALTRO_Template;

/* The dialog procedure; WM_INITDIALOG's parameter is the transfer's
 * XferArgs_t. Its result is 0 when the transfer closed itself, else the id
 * of the button that closed it. */
INT_PTR KaltroWinProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
/* Runs the transfer of args in the dialog, owned by owner; the image stays
 * the caller's until this returns. Its result. */
INT_PTR KALTRO_Run(HWND owner, const XferArgs_t *args);

/* Asks for a software file, sends it in mode and releases it; a cancelled
 * choice, or an empty file, opens nothing. */
void KALTRO_SendFile(HWND owner, int mode);
/* "SW Upgrade..." of the Kaltro menu: asks for a software file, sends it in
 * mode 1 and releases it. Always 0; a cancelled choice opens nothing. */
int KALTRO_Init(HWND HWin, HINSTANCE hInstance);
