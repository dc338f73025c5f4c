/* wndproc.cpp -- the main window procedure: every edit in a row goes into the
 * UB table at once and, for frequencies, bandwidths, levels and the two row
 * check boxes, is followed by a validation; the side-panel buttons and the
 * menu commands are handed on; the table scrolls in whole rows, also to
 * bring a row into view that gets the keyboard focus; destroying
 * the window closes the serial port and ends the program's loop.
 *
 * State: none beyond the main window's (mainwnd.h) and the table view's
 * (ubtable.h). It never talks to the device itself.
 */
#include "app/mainwnd.h"

#include "app/devcmds.h"
#include "app/ubtable.h"
#include "config/dcss.h"
#include "config/limits.h"
#include "config/resource.h"
#include "config/validate.h"
#include "link/rs232.h"
#include "platform/win.h"

#include <cstdlib>
#include <initializer_list>

constexpr int TYPED_MAX = 32;   /* the first 31 characters of a box are read */
constexpr int THUMB_SLACK = 28; /* a drag moves a row once it is this far off */

static bool twoSatellite()
{
    return DCSS_GetTwoSatelliteModel(VelnorData.Model) == 1;
}

void MAIN_Validate(HWND hWindow)
{
    HDC dc = WIN_GetDC(hWindow);
    MAIN_CheckCompatibility(dc);
    WIN_ReleaseDC(hWindow, dc);
}

void MAIN_ShowAllRows()
{
    for (int i = 0; i < MAIN_RowsInTable(VelnorData.UBNumber); i++)
        MAIN_DataUpdate(i);
}

/* The number typed into an editable box. */
static long long typedNumber(HWND box)
{
    wchar_t text[TYPED_MAX] = {};
    WIN_GetWindowText(box, text, TYPED_MAX);
    return MAIN_ReceiveNumber(text);
}

/* The number of a drop-down list's chosen entry. */
static long long listNumber(HWND box)
{
    wchar_t text[TYPED_MAX] = {};
    const int sel = WIN_ComboGetCurSel(box);
    if (sel >= 0)
        WIN_ComboGetItemText(box, sel, text, TYPED_MAX);
    else
        WIN_GetWindowText(box, text, TYPED_MAX);
    return MAIN_ReceiveNumber(text);
}

/* Stage 1 for the row boxes: returns true when the edit is to be validated. */
static bool editRow(HWND sender, unsigned code, int i, VelnorCfg_t &rec)
{
    const int sel = WIN_ComboGetCurSel(sender);
    if (sender == hUBFreq[i]) {
        if (code == CBN_EDITCHANGE) MAIN_StoreNumber(rec.UBFreq, typedNumber(sender));
        if (code == CBN_SELENDOK && sel >= 0) MAIN_StoreNumber(rec.UBFreq, LBAND_MIN + sel);
        rec.UBFreqDec = 0;
        return true;
    }
    if (sender == hBW[i]) {
        if (code == CBN_EDITCHANGE) MAIN_StoreNumber(rec.BW, typedNumber(sender));
        if (code == CBN_SELENDOK && sel >= 0) MAIN_StoreNumber(rec.BW, BW_MIN + sel);
        return true;
    }
    if (sender == hLevel[i]) {
        MAIN_StoreNumber(rec.AGCVal, listNumber(sender));
        return true;
    }
    if (sender == hConvFreq[i]) {
        if (code == CBN_EDITCHANGE) MAIN_StoreNumber(rec.ConvFreq, typedNumber(sender));
        if (code == CBN_SELENDOK && sel >= 0) MAIN_StoreNumber(rec.ConvFreq, TPFREQ_MIN + sel);
        return true;
    }
    if (sender == hConvPol[i]) {
        if (sel >= 0) rec.ConvPol = (sel == 0 || sel == 2) ? 'V' : 'H';
        return false;
    }
    if (sender == hFeed[i]) {
        if (sel >= 0 && sel < 8) rec.Feed = static_cast<std::uint8_t>(sel);
        return false;
    }
    return false;
}

/* The row in use whose box sender is (UB frequency, bandwidth, level, TP
 * frequency, polarity or input), or -1. */
static int boxRow(HWND sender)
{
    for (int i = 0; i < MAIN_RowsInTable(VelnorData.UBNumber); i++) {
        for (HWND h : {hUBFreq[i], hBW[i], hLevel[i], hConvFreq[i], hConvPol[i], hFeed[i]})
            if (h == sender) return i;
    }
    return -1;
}

/* Stage 1: a combo box of the window reports a selection, an edit or the
 * loss of the focus. */
static void controlNotification(HWND hWindow, HWND sender, unsigned code)
{
    if (sender == hDBase) {
        wchar_t text[TYPED_MAX] = {};
        WIN_GetWindowText(hDBase, text, TYPED_MAX);
        VelnorData.DBaseVersion = MAIN_ReceiveConfigVersion(text);
        return;
    }
    const int i = boxRow(sender);
    if (i < 0) return;
    const int j = MAIN_FindRow(i);
    if (j >= 0 && editRow(sender, code, i, VelnorCfg[j])) MAIN_Validate(hWindow);
}

static void clickActive(HWND hWindow, int i, VelnorCfg_t &rec)
{
    const bool active = !WIN_GetCheck(hActive[i]);
    WIN_SetCheck(hActive[i], active);
    rec.Active = active ? 1 : 0;
    for (HWND h : {hUBFreq[i], hBW[i], hMode[i], hLevel[i]})
        WIN_EnableWindow(h, active);
    if (WIN_GetCheck(hMode[i])) {
        WIN_EnableWindow(hConvFreq[i], active);
        WIN_EnableWindow(hConvPol[i], active);
        WIN_EnableWindow(hFeed[i], active && twoSatellite());
    }
    MAIN_Validate(hWindow);
}

static void clickStatic(HWND hWindow, int i, VelnorCfg_t &rec)
{
    if (!WIN_GetCheck(hMode[i])) {
        WIN_SetCheck(hMode[i], 1);
        rec.StaticMode = 1;
        if (rec.ConvFreq == 0) rec.ConvFreq = TPFREQ_DEFAULT;
    } else {
        WIN_SetCheck(hMode[i], 0);
        rec.StaticMode = 0;
        rec.ConvFreq = 0;
    }
    const bool on = rec.StaticMode == 1;
    WIN_EnableWindow(hConvFreq[i], on);
    WIN_EnableWindow(hConvPol[i], on);
    WIN_EnableWindow(hFeed[i], on && twoSatellite());
    MAIN_Validate(hWindow);
}

/* Stage 2, identifier 0: clicks on the row check boxes and the side panel. */
static void controlClick(HWND hWindow, HWND sender)
{
    for (int i = 0; i < MAIN_RowsInTable(VelnorData.UBNumber); i++) {
        if (sender != hActive[i] && sender != hMode[i]) continue;
        const int j = MAIN_FindRow(i);
        if (j < 0) break;
        if (sender == hActive[i])
            clickActive(hWindow, i, VelnorCfg[j]);
        else
            clickStatic(hWindow, i, VelnorCfg[j]);
        break;
    }

    if (sender == hProgram) {
        MAIN_CmdProgram(hWindow);
    } else if (sender == hGetConfig) {
        MAIN_CmdConfigUpload(hWindow);
    } else if (sender == hInversion) {
        const bool on = !WIN_GetCheck(hInversion);
        WIN_SetCheck(hInversion, on);
        for (int r = 0; r < MAIN_RowsInTable(VelnorData.UBNumber); r++)
            VelnorCfg[r].SpectralInversion = on ? 1 : 0;
    }
    WIN_UpdateWindow(hWindow);
}

/* Stage 2 for the menu; an identifier no command has does nothing. */
static void menuCommand(HWND hWindow, int id)
{
    switch (id) {
    case IDM_OPEN_FILE: MAIN_CmdOpenFile(hWindow); break;
    case IDM_SAVE_FILE: MAIN_CmdSaveFile(hWindow); break;
    case IDM_EXPORT: MAIN_CmdExport(hWindow); break;
    case IDM_RESET_TABLE: MAIN_CmdResetTable(hWindow); break;
    case IDM_EXIT: MAIN_CmdExit(hWindow); break;
    case IDM_DCSS_SETTINGS: MAIN_CmdDeviceSettings(hWindow); break;
    case IDM_DCSS_SW_UPGRADE: MAIN_CmdDeviceUpgrade(hWindow); break;
    case IDM_GET_DCSS_DEVICE: MAIN_CmdGetDevice(hWindow); break;
    case IDM_COMPARE: MAIN_CmdCompare(hWindow); break;
    case IDM_VERIFY: MAIN_CmdVerifyChoice(hWindow); break;
    case IDM_PRODUCTION: MAIN_CmdProduction(hWindow); break;
    case IDM_KALTRO_SETTINGS: MAIN_CmdKaltroSettings(hWindow); break;
    case IDM_KALTRO_SW_UPGRADE: MAIN_CmdKaltroUpgrade(hWindow); break;
    case IDM_SAVE_CFG_IN_KALTRO: MAIN_CmdSaveCfgInKaltro(hWindow); break;
    case IDM_SERIAL_SETTINGS: MAIN_CmdSerialSettings(hWindow); break;
    case IDM_ABOUT: MAIN_CmdAbout(hWindow); break;
    case IDM_UB_CALCULATOR: MAIN_CmdUBCalc(hWindow); break;
    case IDM_LANGUAGE_SYSTEM: MAIN_CmdLanguage(hWindow, -1); break;
    default:
        if (id >= IDM_LANGUAGE_FIRST && id < IDM_LANGUAGE_FIRST + LANG_COUNT)
            MAIN_CmdLanguage(hWindow, id - IDM_LANGUAGE_FIRST);
        break;
    }
}

/* Scrolling. T is the height of the table with its heading, H the outer
 * height of the window now; the offset stays between 0 and the first
 * multiple of a row at or below H - T. */
static void scrollHeights(HWND hWindow, int *T, int *H)
{
    int w = 0;
    *T = (VelnorData.UBNumber + 2) * ROW_HEIGHT;
    WIN_GetWindowSize(hWindow, &w, H);
}

static void setScrollPosition(HWND hWindow, int T, int H)
{
    WIN_SetScrollPos(hWindow, T > H ? std::abs(OffsetVert) * 100 / (T - H) : 0);
}

static void rowUp(HWND hWindow)
{
    if (OffsetVert >= 0) return;
    OffsetVert += ROW_HEIGHT; /* before the move: the repaint reads it */
    WIN_ScrollWindow(hWindow, ROW_HEIGHT);
}

static void rowDown(HWND hWindow, int T, int H)
{
    if (OffsetVert <= H - T) return;
    OffsetVert -= ROW_HEIGHT;
    WIN_ScrollWindow(hWindow, -ROW_HEIGHT);
}

/* Scrolls the table in whole rows until display row r is in view. */
static void scrollRowIntoView(HWND hWindow, int r)
{
    if (r < 0 || r >= MAIN_RowsInTable(VelnorData.UBNumber)) return;
    int T = 0, H = 0, w = 0, client = 0;
    scrollHeights(hWindow, &T, &H);
    WIN_GetClientSize(hWindow, &w, &client);
    /* Display row r lies one row below its top, under the headings. */
    const auto top = [r] { return OffsetVert + ROW_HEIGHT * (r + 1); };
    for (int n = 0; n < MAX_UB && top() < 0 && OffsetVert < 0; n++)
        rowUp(hWindow);
    for (int n = 0; n < MAX_UB && top() + ROW_HEIGHT > client && OffsetVert > H - T; n++)
        rowDown(hWindow, T, H);
    setScrollPosition(hWindow, T, H);
}

void MAIN_ScrollToFirstError(HWND hWindow)
{
    for (int r = 0; r < MAIN_RowsInTable(VelnorData.UBNumber); r++) {
        if (BoxColor[r] == BOX_RED) return scrollRowIntoView(hWindow, r);
    }
}

/* The keyboard focus reached a box of a row: that row comes into view. */
static void rowFocused(HWND hWindow, HWND sender)
{
    scrollRowIntoView(hWindow, boxRow(sender));
}

static void verticalScroll(HWND hWindow, WPARAM wParam)
{
    int T = 0, H = 0;
    scrollHeights(hWindow, &T, &H);
    setScrollPosition(hWindow, T, H);
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
    case SB_PAGEUP: rowUp(hWindow); break;
    case SB_LINEDOWN:
    case SB_PAGEDOWN: rowDown(hWindow, T, H); break;
    case SB_THUMBTRACK: {
        const int p = GET_HIWORD_SIGNED(wParam);
        const int target = -(p * (T - H) / 100);
        if (target < OffsetVert - THUMB_SLACK)
            rowDown(hWindow, T, H);
        else if (target > OffsetVert + THUMB_SLACK)
            rowUp(hWindow);
        break;
    }
    default: break;
    }
}

static void mouseWheel(HWND hWindow, WPARAM wParam)
{
    int T = 0, H = 0;
    scrollHeights(hWindow, &T, &H);
    setScrollPosition(hWindow, T, H);
    if (GET_HIWORD_SIGNED(wParam) < 0)
        rowDown(hWindow, T, H);
    else
        rowUp(hWindow);
}

static void paint(HWND hWindow)
{
    HDC dc = WIN_BeginPaint(hWindow);
    HFONT font = WIN_CreateFont(16, 6, FW_MEDIUM, L"Arial");
    HFONT old = WIN_SelectFont(dc, font);
    for (int i = 0; i < MAIN_RowsInTable(VelnorData.UBNumber); i++)
        MAIN_SetBoxes(dc, i);
    WIN_SelectFont(dc, old);
    WIN_DeleteFont(font);
    WIN_EndPaint(hWindow, dc);
}

LRESULT WndProc(HWND hWindow, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        HWND sender = reinterpret_cast<HWND>(lParam);
        const unsigned code = HIWORD(wParam);
        if (code == CBN_SETFOCUS) {
            rowFocused(hWindow, sender);
            return 0;
        }
        if (code == CBN_SELCHANGE || code == CBN_KILLFOCUS || code == CBN_EDITCHANGE ||
            code == CBN_SELENDOK)
            controlNotification(hWindow, sender, code);
        const int id = static_cast<int>(LOWORD(wParam));
        if (id == 0) {
            controlClick(hWindow, sender);
            return 0;
        }
        menuCommand(hWindow, id);
        return 0;
    }
    case WM_PAINT: paint(hWindow); return 0;
    case WM_VSCROLL: verticalScroll(hWindow, wParam); return 0;
    case WM_MOUSEWHEEL: mouseWheel(hWindow, wParam); return 0;
    case WM_LBUTTONUP: WIN_SetFocus(hWindow); return 0;
    case WM_DESTROY:
        RS232_Term();
        MAIN_ForgetWindows();
        hProgram = hGetConfig = hInversion = hDBase = nullptr;
        hWnd = nullptr;
        WIN_PostQuitMessage(0);
        return 0;
    default: return 0;
    }
}
