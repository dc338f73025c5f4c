/* ubcalc.cpp -- the user-band calculator dialog: four drop-down lists for a
 * transponder's frequency, symbol rate, polarity and gap. A selection is read
 * and dropped; nothing is stored or shown.
 *
 * State: the four list handles and the dialog font (made once, kept for the
 * life of the process). Must not touch the UB table.
 */
#include "app/ubcalc.h"

#include "config/limits.h"
#include "config/resource.h"
#include "platform/win.h"

#include <initializer_list>

const WIN_DlgTemplate UBCALC_Template = {300, 200, 8, nullptr, nullptr, 0};

HWND hTPFreq, hSR, hPol, hGap;
static HFONT calcFont;

static HWND makeList(HWND dlg, WinControl kind, int x, int w, int h, int field, int limit)
{
    HWND c = WIN_CreateControl(dlg, kind, nullptr, CS_TABSTOP | CS_VSCROLL, x, 25, w, h, 0);
    WIN_SetFont(c, calcFont);
    WIN_ComboSetItemHeight(c, 14);
    WIN_ComboSetFieldHeight(c, field);
    WIN_ComboLimitText(c, limit);
    return c;
}

static void initDialog(HWND dlg)
{
    WIN_SetWindowText(dlg, RES_Text(RS_UB_CALCULATOR));
    if (!calcFont) calcFont = WIN_CreateFont(14, 5, FW_MEDIUM, L"Arial");
    HDC dc = WIN_GetDC(dlg);
    WIN_SelectFont(dc, calcFont);
    WIN_ReleaseDC(dlg, dc);

    hTPFreq = makeList(dlg, WinControl::ComboEdit, 30, 60, 200, 14, 5);
    WIN_ComboAddRange(hTPFreq, TPFREQ_MIN, TPFREQ_MAX, 1);
    WIN_ComboSetCurSel(hTPFreq, 0);

    hSR = makeList(dlg, WinControl::ComboEdit, 87, 60, 200, 14, 5);
    WIN_ComboAddRange(hSR, 17800, 45000, 100); /* symbol rate */
    WIN_ComboSetCurSel(hSR, 42);

    hPol = makeList(dlg, WinControl::ComboList, 144, 35, 100, 32, 2);
    for (const wchar_t *p : {L"V", L"H", L"R", L"L"})
        WIN_ComboAddString(hPol, p);
    WIN_ComboSetCurSel(hPol, 0);

    hGap = makeList(dlg, WinControl::ComboEdit, 176, 35, 200, 32, 5);
    WIN_ComboAddRange(hGap, 0, 9, 1);
    WIN_ComboSetCurSel(hGap, 0);
}

INT_PTR UBCalc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: initDialog(hDlg); return 1;
    case WM_COMMAND:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            /* the choice is read and dropped: the calculator stores nothing */
            WIN_ComboGetCurSel(reinterpret_cast<HWND>(lParam));
            return 0;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            WIN_EndDialog(hDlg, IDCANCEL);
            return 1;
        }
        return 0;
    default: return 0;
    }
}
