/* rowdata.cpp -- between the UB table and the rows on the screen: shows a
 * record in its row's controls, and runs the validation with the drawing of
 * every status box.
 *
 * No state of its own. It writes a record only to replace a ConvFreq of 0
 * with the default transponder frequency when the record is shown.
 */
#include "app/ubtable.h"

#include "config/dcss.h"
#include "config/limits.h"
#include "config/validate.h"
#include "platform/win.h"

#include <initializer_list>

/* Selects the entry of value in a list of first .. last in steps of 1, or no
 * entry when the list has none for it. */
static void selectValue(HWND list, int value, int first, int last)
{
    WIN_ComboSetCurSel(list, (value >= first && value <= last) ? value - first : -1);
}

static int polarityEntry(char pol)
{
    switch (pol) {
    case 'V': return 0;
    case 'H': return 1;
    case 'R': return 2;
    case 'L': return 3;
    default: return -1;
    }
}

void MAIN_DataUpdate(int Index)
{
    if (Index < 0 || Index >= MAIN_RowsInTable(VelnorData.UBNumber)) return;
    VelnorCfg_t &rec = VelnorCfg[Index];
    const int u = rec.UBNo;
    /* a record numbered outside the table has no row to show it in */
    if (u >= MAX_UB || !hActive[u]) return;

    const UBLimits_t lim = MAIN_GroupLimits(DCSS_IsENGroup(VelnorData.Model));

    WIN_SetCheck(hActive[u], rec.Active == 1);
    selectValue(hUBFreq[u], rec.UBFreq, LBAND_MIN, LBAND_MAX);
    selectValue(hBW[u], rec.BW, lim.bwMin, lim.bwMax);
    selectValue(hLevel[u], rec.AGCVal, lim.levelMin, lim.levelMax);
    WIN_SetCheck(hMode[u], rec.StaticMode == 1);
    if (rec.ConvFreq == 0) rec.ConvFreq = TPFREQ_DEFAULT;
    selectValue(hConvFreq[u], rec.ConvFreq, TPFREQ_MIN, TPFREQ_MAX);
    const int pol = polarityEntry(rec.ConvPol);
    if (pol >= 0) WIN_ComboSetCurSel(hConvPol[u], pol);
    selectValue(hFeed[u], rec.Feed, 0, 7);

    const bool active = rec.Active == 1;
    const bool tp = active && rec.StaticMode == 1;
    for (HWND h : {hUBFreq[u], hBW[u], hLevel[u], hMode[u]})
        WIN_EnableWindow(h, active);
    WIN_EnableWindow(hConvFreq[u], tp);
    WIN_EnableWindow(hConvPol[u], tp);
    WIN_EnableWindow(hFeed[u], tp && DCSS_GetTwoSatelliteModel(VelnorData.Model) == 1);
}

void MAIN_CheckCompatibility(HDC hdc)
{
    /* the status texts are drawn in their own font, whatever hdc carries */
    static HFONT statusFont = WIN_CreateFont(16, 6, FW_MEDIUM, L"Arial");
    HFONT old = WIN_SelectFont(hdc, statusFont);

    MAIN_ValidateTable();
    for (int k = 0; k < MAIN_RowsInTable(VelnorData.UBNumber); k++)
        MAIN_RefreshErrorBoxes(hdc, k);

    WIN_SelectFont(hdc, old);
}
