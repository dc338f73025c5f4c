/* transfer.h -- the transfer dialog: every XModem transfer of the program,
 * one protocol step per tick of timer 3, with a status line, a progress bar
 * and a percentage; and the upgrade of the Kaltro's own software.
 *
 * The dialog runs in one of three modes, the transfer types of
 * RS232_KaltroDownloadInit: 0 a dCSS device image (device software, or an
 * MxL-group configuration), 1 the Kaltro's software, 2 a configuration kept
 * in the Kaltro's memory. Whoever opens the dialog first gives the mode and
 * the image with KALTRO_SetMode; the image stays the caller's and must stay
 * unchanged until the dialog has closed.
 */
#pragma once

#include "dialogs/display.h"
#include "platform/win.h"

/* Template 119: 200 x 80 dialog units, 9 pt, one button (id 1) that is
 * disabled at opening. The EN programming dialog uses it as well. */
extern const WIN_DlgTemplate KALTRO_Template;

/* Opening the dialog. */
/* The mode (0, 1 or 2), the image and its size in bytes, for the next
 * opening. */
void KALTRO_SetMode(int bMode, const unsigned char *Pointer, int Size);
/* "SW Upgrade..." of the Kaltro menu: asks for a software file, sends it in
 * mode 1, releases it. Always 0; a cancelled choice opens nothing. */
int KALTRO_Init(HWND HWin, HINSTANCE hInstance);
/* The dialog procedure. Result 0 when it closes by itself after a mode 1 or
 * mode 2 success, otherwise the id of the command that closed it. */
INT_PTR KaltroWinProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

/* The dialog's drawing: status text (nullptr redraws the kept one) and
 * percentage. */
void KALTRO_DisplayText(HDC hdc, const wchar_t *text, COLORREF color);
void KALTRO_DisplayPercents(HDC hdc, unsigned percent);

/* What the dialog shows (for the tests). */
const Display_t *KALTRO_GetDisplay();
