/* ubcalc.h -- the user-band calculator: a small modal dialog that collects
 * one transponder (frequency, symbol rate, polarity, gap). It computes and
 * shows nothing and changes nothing in the UB table.
 */
#pragma once

#include "platform/wintypes.h"

struct WIN_DlgTemplate;

/* Template 147: 300 x 200 dialog units, no controls of its own. */
extern const WIN_DlgTemplate UBCALC_Template;

/* The four lists, while the dialog is open. */
extern HWND hTPFreq, hSR, hPol, hGap;

/* The dialog procedure; the dialog ends with result 2. */
INT_PTR UBCalc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
