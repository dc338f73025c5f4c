/* kaltrotogo.h -- "Save Cfg in Kaltro...": the dialog that shows the name of
 * the configuration stored in the Kaltro, and stores the current UB table,
 * compiled as a device image, in the Kaltro's memory under a new name. The
 * Kaltro later programs a device with it by itself, without a computer.
 */
#pragma once

#include "platform/win.h"

constexpr int KALTROTOGO_NAME_LEN = 50; /* 49 characters of the name field and a NUL */

/* Control ids of template 138. */
constexpr int IDC_CFG_NAME = 139;
constexpr int IDC_READ_NAME = 10;
constexpr int IDC_PROGRAM_CFG = 11;

/* Template 138: 170 x 120 dialog units, 8 pt. */
extern const WIN_DlgTemplate KALTROTOGO_Template;

/* Runs the dialog modally, owned by HWin. Always 0. */
int KALTROTOGO_Init(HWND HWin, HINSTANCE hInstance);
/* The dialog procedure; its result is the id of the command that closed it. */
INT_PTR KaltroToGo(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

/* The name field's text as the 8-bit text sent to the Kaltro: at most 49
 * characters, each outside printable ASCII as "?". */
void KALTROTOGO_NarrowName(const wchar_t *wide, char (&out)[KALTROTOGO_NAME_LEN]);
