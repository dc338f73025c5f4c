/* ubtable.cpp -- the UB table view: creates each row's eight controls, paints
 * the column headings, the side panel's texts, the row frames and the status
 * boxes, rebuilds the table when the device model changes, and destroys the
 * row controls.
 *
 * State: the row control handles by display row, the model label and the
 * scroll offset. It reads the table and the per-UB status but changes the
 * table only through MAIN_InitStruct on a rebuild.
 */
#include "app/ubtable.h"

#include "app/mainwnd.h"
#include "config/dcss.h"
#include "config/limits.h"
#include "config/texts.h"
#include "platform/win.h"

#include <cwchar>
#include <initializer_list>

HWND hActive[MAX_UB], hUBFreq[MAX_UB], hBW[MAX_UB], hLevel[MAX_UB];
HWND hMode[MAX_UB], hConvFreq[MAX_UB], hConvPol[MAX_UB], hFeed[MAX_UB];
HWND hModel;
int OffsetVert;

/* Row geometry: offsets below the table's or a row's top, and the status box. */
constexpr int HEAD_Y = 10;       /* headings sit this far below the table top */
constexpr int CTRL_DY = 35;      /* combo boxes sit this far below the row top */
constexpr int CHECK_DY = 40;     /* check boxes likewise */
constexpr int TEXT_DY = 38;      /* unit texts and the status box */
constexpr int FIELD_HEIGHT = 16; /* selection field of every row combo box */
constexpr int STATUS_LEFT = 654; /* status box, 220 x 20 */
constexpr int STATUS_RIGHT = 874;
constexpr int STATUS_MIDDLE = 764;

struct PaintedText {
    int x;
    int dy; /* below the row top, or below the table top for a heading */
    bool heading;
    int text; /* a text number, or -1 for a unit given in unit */
    const wchar_t *unit;
};

/* Painted texts of a row, in drawing order, after "No." and the row number.
 * Headings and side-panel texts are drawn again with every row; they land
 * on the same pixels. */
static constexpr PaintedText rowTexts[] = {
    {49, HEAD_Y, true, TX_COL_ACTIVE, nullptr},
    {99, HEAD_Y, true, TX_COL_UBFREQ, nullptr},
    {162, TEXT_DY, false, -1, L"MHz"},
    {194, HEAD_Y, true, TX_COL_BW, nullptr},
    {243, TEXT_DY, false, -1, L"MHz"},
    {274, HEAD_Y, true, TX_COL_LEVEL, nullptr},
    {328, TEXT_DY, false, -1, L"dBm"},
    {354, HEAD_Y, true, TX_COL_STATIC, nullptr},
    {434, HEAD_Y, true, TX_COL_TPFREQ, nullptr},
    {504, TEXT_DY, false, -1, L"MHz"},
    {539, HEAD_Y, true, TX_COL_TPPOL, nullptr},
    {609, HEAD_Y, true, TX_COL_INPUT, nullptr},
    {654, HEAD_Y, true, TX_COL_STATUS, nullptr},
    {PANEL_X, HEAD_Y, true, TX_MODEL, nullptr},
    {913, 125, true, TX_SPECTRAL_INVERSION, nullptr},
    {951, 155, true, TX_CONFIG_VERSION, nullptr},
};

static bool validRow(int r)
{
    return r >= 0 && r < MAX_UB;
}

static int rowTop(int r)
{
    return OffsetVert + ROW_HEIGHT * r;
}

static HWND makeCombo(HWND parent, WinControl kind, unsigned style, int x, int y, int w, int h)
{
    HWND c = WIN_CreateControl(parent, kind, nullptr, style, x, y, w, h, 0);
    WIN_SetFont(c, hFont1);
    WIN_ComboSetFieldHeight(c, FIELD_HEIGHT);
    return c;
}

void MAIN_Draw(HWND HWin, int Index)
{
    if (!validRow(Index)) return;
    /* the lists offer exactly what validation accepts for the model's group */
    const UBLimits_t lim = MAIN_GroupLimits(DCSS_IsENGroup(VelnorData.Model));
    const int y0 = rowTop(Index);
    const unsigned list = CS_TABSTOP | CS_VSCROLL;

    hActive[Index] =
        WIN_CreateControl(HWin, WinControl::CheckBox, nullptr, 0, 49, y0 + CHECK_DY, 14, 14, 0);

    hUBFreq[Index] = makeCombo(HWin, WinControl::ComboEdit, list, 99, y0 + CTRL_DY, 60, 360);
    WIN_ComboLimitText(hUBFreq[Index], 4);
    WIN_ComboAddRange(hUBFreq[Index], LBAND_MIN, LBAND_MAX, 1);

    hBW[Index] = makeCombo(HWin, WinControl::ComboEdit, list, 194, y0 + CTRL_DY, 46, 180);
    WIN_ComboLimitText(hBW[Index], 2);
    WIN_ComboAddRange(hBW[Index], lim.bwMin, lim.bwMax, 1);

    hLevel[Index] = makeCombo(HWin, WinControl::ComboList, list, 274, y0 + CTRL_DY, 50, 200);
    WIN_ComboAddRange(hLevel[Index], lim.levelMin, lim.levelMax, 1);

    hMode[Index] =
        WIN_CreateControl(HWin, WinControl::CheckBox, nullptr, 0, 374, y0 + CHECK_DY, 14, 14, 0);

    hConvFreq[Index] =
        makeCombo(HWin, WinControl::ComboEdit, list | CS_DISABLED, 434, y0 + CTRL_DY, 65, 200);
    WIN_ComboLimitText(hConvFreq[Index], 5);
    WIN_ComboAddRange(hConvFreq[Index], TPFREQ_MIN, TPFREQ_MAX, 1);

    hConvPol[Index] = makeCombo(HWin, WinControl::ComboList, CS_TABSTOP | CS_DISABLED, 539,
                                y0 + CTRL_DY, 40, 120);
    for (const wchar_t *p : {L"V", L"H", L"R", L"L"})
        WIN_ComboAddString(hConvPol[Index], p);

    hFeed[Index] = makeCombo(HWin, WinControl::ComboList, CS_TABSTOP | CS_DISABLED, 609,
                             y0 + CTRL_DY, 35, 160);
    WIN_ComboAddRange(hFeed[Index], 1, 8, 1);

    if (!WIN_IsWindow(hModel)) {
        const wchar_t *name = DCSS_GetModelName(VelnorData.Model);
        hModel = WIN_CreateControl(HWin, WinControl::StaticSunken, name ? name : L"", 0, PANEL_X,
                                   OffsetVert + 30, 100, 20, 0);
        WIN_SetFont(hModel, hFont1);
    }

    BoxColor[Index] = BOX_GREEN;
    std::wcsncpy(ErrorText[Index], TXT(TX_OK), ERROR_TEXT_LEN - 1);
    ErrorText[Index][ERROR_TEXT_LEN - 1] = L'\0';
}

void MAIN_SetBoxes(HDC hdc, int Number)
{
    if (!validRow(Number)) return;
    const int y0 = rowTop(Number);
    wchar_t num[8];

    WIN_SetBkMode(hdc, OPAQUE);
    WIN_SetTextColor(hdc, RGB(0, 0, 0));
    WIN_SetBkColor(hdc, WINDOW_BACKGROUND);

    WIN_TextOut(hdc, 6, OffsetVert + HEAD_Y, TXT(TX_COL_NO), -1);
    std::swprintf(num, 8, L"%d", Number + 1);
    WIN_TextOut(hdc, 9, y0 + 39, num, -1);
    for (const PaintedText &t : rowTexts) {
        const int y = (t.heading ? OffsetVert : y0) + t.dy;
        WIN_TextOut(hdc, t.x, y, t.text >= 0 ? TXT(t.text) : t.unit, -1);
    }

    /* Neighbouring row frames share one line: each is 35 pixels high on a
     * 34-pixel pitch. */
    WIN_FrameRect(hdc, 5, y0 + 30, 879, y0 + 65, FRAME_BLUE);
    WIN_FrameRect(hdc, 886, OffsetVert + 70, 1056, OffsetVert + 185, FRAME_BLUE);

    MAIN_RefreshErrorBoxes(hdc, Number);
}

void MAIN_RefreshErrorBoxes(HDC hdc, int Number)
{
    if (!validRow(Number)) return;
    const int y0 = rowTop(Number);
    const COLORREF colour = BoxColor[Number];

    WIN_SetBkMode(hdc, OPAQUE);
    WIN_SetTextColor(hdc, RGB(0, 0, 0));
    WIN_SetBkColor(hdc, colour);
    WIN_FillRect(hdc, STATUS_LEFT, y0 + TEXT_DY, STATUS_RIGHT, y0 + TEXT_DY + 20, colour);

    /* Centred on the box on the assumption of 7 pixels per character. */
    const int n = static_cast<int>(wcsnlen(ErrorText[Number], ERROR_TEXT_LEN));
    WIN_TextOut(hdc, STATUS_MIDDLE - (n * 7) / 2, y0 + 39, ErrorText[Number], n);
}

static void setInputBoxes()
{
    const bool twoSat = DCSS_GetTwoSatelliteModel(VelnorData.Model) == 1;
    for (int r = 0; r < MAIN_RowsInTable(VelnorData.UBNumber); r++)
        if (WIN_GetCheck(hActive[r]) && WIN_GetCheck(hMode[r])) WIN_EnableWindow(hFeed[r], twoSat);
}

void MAIN_ReDrawUBTable(HWND hWindow, int UBNumber)
{
    const wchar_t *name = DCSS_GetModelName(VelnorData.Model);
    if (!name) return;

    if (DCSS_GetUBNumber() != UBNumber) {
        HDC dc = WIN_GetDC(hWindow);
        HFONT old = WIN_SelectFont(dc, hFont1);
        MAIN_DestroyWindows(dc);
        MAIN_InitStruct();
        for (int i = 0; i < MAIN_RowsInTable(VelnorData.UBNumber); i++) {
            MAIN_Draw(hWindow, i);
            MAIN_DataUpdate(i);
            MAIN_SetBoxes(dc, i);
        }
        WIN_SelectFont(dc, old);
        WIN_ReleaseDC(hWindow, dc);
        /* the reset cleared the configuration version as well */
        MAIN_ShowDBaseVersion();
    }

    WIN_SetWindowText(hModel, name);
    setInputBoxes();
}

void MAIN_DestroyWindows(HDC Hdc)
{
    for (int r = 0; r < MAX_UB; r++) {
        for (HWND *h : {&hUBFreq[r], &hBW[r], &hLevel[r], &hMode[r], &hConvFreq[r], &hConvPol[r],
                        &hFeed[r], &hActive[r]}) {
            if (*h) WIN_DestroyWindow(*h);
            *h = nullptr;
        }
    }
    int w = 0, h = 0;
    WIN_GetClientSize(hWnd, &w, &h);
    WIN_FillRect(Hdc, 0, 0, TABLE_RIGHT, h, WINDOW_BACKGROUND);
}

void MAIN_ForgetWindows()
{
    for (int r = 0; r < MAX_UB; r++) {
        hActive[r] = hUBFreq[r] = hBW[r] = hLevel[r] = nullptr;
        hMode[r] = hConvFreq[r] = hConvPol[r] = hFeed[r] = nullptr;
    }
    hModel = nullptr;
    OffsetVert = 0;
}
