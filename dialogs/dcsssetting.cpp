/* dcsssetting.cpp -- the device settings dialog: the device's identity,
 * versions, serial number, LO frequencies, UB count and temperature, and its
 * four options, read one query per tick of timer 4 and written one setter per
 * tick of timer 5.
 *
 * The sequences themselves are ops/setop's; the dialog shows their fields in
 * its value fields and their options in its boxes, and runs their steps from
 * its timers. "Read" opens the port again first (an adapter plugged in again);
 * "Program" is enabled after a read that gave an option to write and disables
 * "Read" until the write has ended with its message box. What is read goes
 * into VelnorData; the main window rebuilds its table after the dialog when
 * the model's UB count changed.
 */
#include "dialogs/dcsssetting.h"

#include "config/texts.h"
#include "link/rs232.h"
#include "ops/setop.h"

#include <iterator>

static constexpr unsigned READ_TIMER = 4;
static constexpr unsigned WRITE_TIMER = 5;

/* ---- Template 123 ---------------------------------------------------------------- */

/* The labels of the fields, then of the options. */
static constexpr int IDC_LABEL_FIRST = 1250;

static constexpr WinControl LABEL = WinControl::Static;
static constexpr WinControl FIELD = WinControl::StaticSunken;
static constexpr WinControl BOX = WinControl::ComboList;
static constexpr unsigned BOX_STYLE = CS_VSCROLL | CS_DISABLED | CS_TABSTOP;
/* Wide enough for the longest entry, "dCSS/Legacy", in the dialog font. */
static constexpr int BOX_WIDTH = 62;

static constexpr WIN_DlgItem deviceItems[] = {
    {IDC_LABEL_FIRST + 0, LABEL, nullptr, 0, 10, 5, 78, 8},
    {IDC_DS_MODEL, FIELD, nullptr, 0, 12, 15, 50, 10},
    {IDC_LABEL_FIRST + 1, LABEL, nullptr, 0, 10, 30, 78, 8},
    {IDC_DS_SW, FIELD, nullptr, 0, 12, 40, 50, 10},
    {IDC_LABEL_FIRST + 2, LABEL, nullptr, 0, 10, 55, 78, 8},
    {IDC_DS_FW, FIELD, nullptr, 0, 12, 65, 50, 10},
    {IDC_LABEL_FIRST + 3, LABEL, nullptr, 0, 10, 80, 78, 8},
    {IDC_DS_DBASE, FIELD, nullptr, 0, 12, 90, 50, 10},
    {IDC_LABEL_FIRST + 4, LABEL, nullptr, 0, 10, 105, 78, 8},
    {IDC_DS_SN, FIELD, nullptr, 0, 12, 115, 50, 10},
    {IDC_LABEL_FIRST + 5, LABEL, nullptr, 0, 10, 130, 78, 8},
    {IDC_DS_LO, FIELD, nullptr, 0, 12, 140, 50, 10},
    {IDC_LABEL_FIRST + 6, LABEL, nullptr, 0, 90, 5, 68, 8},
    {IDC_DS_UBS, FIELD, nullptr, 0, 93, 15, 50, 10},
    {IDC_LABEL_FIRST + 7, LABEL, nullptr, 0, 90, 30, 68, 8},
    {IDC_DS_TEMP, FIELD, nullptr, 0, 93, 40, 50, 10},
    {IDC_LABEL_FIRST + 8, LABEL, nullptr, 0, 90, 55, 68, 8},
    {IDC_DS_EN50494, BOX, nullptr, BOX_STYLE, 93, 65, BOX_WIDTH, 100},
    {IDC_LABEL_FIRST + 9, LABEL, nullptr, 0, 90, 80, 68, 8},
    {IDC_DS_INPUTS, BOX, nullptr, BOX_STYLE, 93, 90, BOX_WIDTH, 100},
    {IDC_LABEL_FIRST + 10, LABEL, nullptr, 0, 90, 105, 68, 8},
    {IDC_DS_OUTPUT, BOX, nullptr, BOX_STYLE, 93, 115, BOX_WIDTH, 100},
    {IDC_LABEL_FIRST + 11, LABEL, nullptr, 0, 90, 130, 68, 8},
    {IDC_DS_CHAIN, BOX, nullptr, BOX_STYLE, 93, 140, BOX_WIDTH, 100},
    {IDC_DS_READ, WinControl::PushButton, nullptr, CS_TABSTOP, 10, 160, 40, 14},
    {IDC_DS_PROGRAM, WinControl::PushButton, nullptr, CS_TABSTOP | CS_DISABLED, 55, 160, 40, 14},
    {IDOK, WinControl::DefPushButton, nullptr, CS_TABSTOP, 100, 160, 40, 14},
};

const WIN_DlgTemplate DCSSSETTING_Template = {
    160, 180, 8, nullptr, deviceItems, static_cast<int>(std::size(deviceItems)),
};

/* ---- Module state --------------------------------------------------------------- */

/* The dialog while it is open, and the timer of the running sequence. */
static HWND Dlg = nullptr;
static unsigned Timer = READ_TIMER;

/* ---- Controls ------------------------------------------------------------------- */

static HWND item(HWND d, int id)
{
    return WIN_GetDlgItem(d, id);
}

static HWND box(int option)
{
    return item(Dlg, IDC_DS_EN50494 + option);
}

void DCSS_SetChainConfiguration(HWND hDlg)
{
    HWND chain = item(hDlg, IDC_DS_CHAIN);
    for (int i = SETOP_CHAIN_OUTPUTS; i >= 1; --i)
        WIN_ComboDeleteString(chain, i);
    const bool pairs = SETOP_ChainPairs();
    const int entries = pairs ? SETOP_CHAIN_OUTPUTS / 2 : SETOP_CHAIN_OUTPUTS;
    for (int e = 1; e <= entries; ++e) {
        wchar_t text[SETOP_FIELD_LEN];
        SETOP_ChainEntryText(e, pairs, text, SETOP_FIELD_LEN);
        WIN_ComboAddString(chain, text);
    }
    WIN_ComboSetMinVisible(chain, pairs ? entries : entries + 1);
    WIN_ComboSetCurSel(chain, 0);
}

/* ---- The dialog as the sequences' display ----------------------------------------- */

static void showField(void *, int field, const wchar_t *text)
{
    WIN_SetWindowText(item(Dlg, IDC_DS_MODEL + field), text);
}

static void showOption(void *, int option, int entry, bool enable)
{
    WIN_ComboSetCurSel(box(option), entry);
    WIN_EnableWindow(box(option), enable);
}

/* The list follows VelnorData, which the sequence has set before. */
static void chainList(void *, bool)
{
    DCSS_SetChainConfiguration(Dlg);
}

static int chosen(void *, int option)
{
    return WIN_ComboGetCurSel(box(option));
}

static void writable(void *, bool any)
{
    WIN_EnableWindow(item(Dlg, IDC_DS_PROGRAM), any);
}

static void tick(void *, unsigned ms)
{
    WIN_SetTimer(Dlg, Timer, ms);
}

static void done(void *, int textId)
{
    WIN_MessageBox(Dlg, TXT(textId), TXT(TX_DCSS_SETTING_TITLE), MB_OK);
    WIN_EnableWindow(item(Dlg, IDC_DS_READ), true);
}

static const SetopDisplay_t Shell = {
    nullptr, showField, showOption, chainList, chosen, writable, nullptr, tick, done,
};

/* ---- The procedure ------------------------------------------------------------------ */

static void initDialog(HWND d)
{
    Dlg = d;
    WIN_SetWindowText(d, TXT(TX_DCSS_SETTING_TITLE));
    WIN_SetWindowText(item(d, IDC_DS_READ), TXT(TX_READ));
    WIN_SetWindowText(item(d, IDC_DS_PROGRAM), TXT(TX_PROGRAM));
    WIN_SetWindowText(item(d, IDOK), TXT(TX_OK));
    for (int f = 0; f < SETOP_FIELD_COUNT; ++f)
        WIN_SetWindowText(item(d, IDC_LABEL_FIRST + f), TXT(SETOP_FieldLabels[f]));
    for (int o = 0; o < SETOP_OPTION_COUNT; ++o) {
        WIN_SetWindowText(item(d, IDC_LABEL_FIRST + SETOP_FIELD_COUNT + o),
                          TXT(SETOP_OptionLabels[o]));
        const SetopEntries_t &e = SETOP_OptionEntries[o];
        for (int i = 0; i < e.Count; ++i)
            WIN_ComboAddString(box(o), TXT(e.Texts[i]));
        if (o != SETOP_CHAIN) WIN_ComboSetMinVisible(box(o), e.Count);
    }
    SETOP_Open(&Shell);
}

static void command(HWND d, unsigned id, unsigned code)
{
    switch (id) {
    case IDC_DS_READ:
        RS232_Reconnect(); /* an adapter plugged in again is opened anew */
        Timer = READ_TIMER;
        SETOP_StartRead();
        break;
    case IDC_DS_PROGRAM:
        /* The sequences share one step counter. */
        WIN_EnableWindow(item(d, IDC_DS_READ), false);
        Timer = WRITE_TIMER;
        SETOP_StartWrite();
        break;
    case IDC_DS_INPUTS:
        if (code == CBN_SELCHANGE) SETOP_ChooseInputs(WIN_ComboGetCurSel(item(d, id)));
        break;
    case IDOK:
    case IDCANCEL:
        /* A running sequence is abandoned with the dialog. */
        WIN_KillTimer(d, READ_TIMER);
        WIN_KillTimer(d, WRITE_TIMER);
        WIN_EndDialog(d, static_cast<INT_PTR>(id));
        break;
    default: break;
    }
}

INT_PTR dCSSSetting(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: initDialog(hDlg); return 1;
    case WM_TIMER:
        if (wParam != READ_TIMER && wParam != WRITE_TIMER) return 0;
        WIN_KillTimer(hDlg, static_cast<unsigned>(wParam));
        SETOP_Step();
        return 1;
    case WM_COMMAND: command(hDlg, LOWORD(wParam), HIWORD(wParam)); return 1;
    case WM_DESTROY:
        WIN_KillTimer(hDlg, READ_TIMER);
        WIN_KillTimer(hDlg, WRITE_TIMER);
        return 1;
    default: return 0;
    }
}
