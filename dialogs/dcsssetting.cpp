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
    /* Program as wide as its longest word, "Programmieren" */
    {IDC_DS_READ, WinControl::PushButton, nullptr, CS_TABSTOP, 10, 160, 40, 14},
    {IDC_DS_PROGRAM, WinControl::PushButton, nullptr, CS_TABSTOP | CS_DISABLED, 54, 160, 57, 14},
    {IDOK, WinControl::DefPushButton, nullptr, CS_TABSTOP, 115, 160, 40, 14},
};

const WIN_DlgTemplate DCSSSETTING_Template = {
    160, 180, 8, nullptr, deviceItems, static_cast<int>(std::size(deviceItems)),
};

/* ---- Module state --------------------------------------------------------------- */

/* The dialog while it is open, the timer of the running sequence, whether
 * that is the write, and the chain list's rebuild it shows. */
static HWND Dlg = nullptr;
static unsigned Timer = READ_TIMER;
static bool Writing = false;
static int ChainShown = 0;

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
    const bool pairs = SETOP_Values()->ChainPairs;
    HWND chain = item(hDlg, IDC_DS_CHAIN);
    for (int i = SETOP_CHAIN_OUTPUTS; i >= 1; --i)
        WIN_ComboDeleteString(chain, i);
    const int entries = SETOP_ChainEntryCount(pairs);
    for (int e = 1; e < entries; ++e) {
        wchar_t text[SETOP_FIELD_LEN];
        SETOP_ChainEntryText(e, pairs, text, SETOP_FIELD_LEN);
        WIN_ComboAddString(chain, text);
    }
    WIN_ComboSetMinVisible(chain, pairs ? entries - 1 : entries);
    WIN_ComboSetCurSel(chain, 0);
}

/* The chain list again when the sequence rebuilt it since it was shown. */
static void showChainList()
{
    if (SETOP_Values()->ChainBuilds == ChainShown) return;
    ChainShown = SETOP_Values()->ChainBuilds;
    DCSS_SetChainConfiguration(Dlg);
}

/* Shows what the read has found so far: the fields, each option's entry and
 * whether it may be changed, and whether Program may start. */
static void showValues()
{
    const SetopValues_t *v = SETOP_Values();
    for (int f = 0; f < SETOP_FIELD_COUNT; ++f)
        WIN_SetWindowText(item(Dlg, IDC_DS_MODEL + f), v->Field[f]);
    showChainList();
    for (int o = 0; o < SETOP_OPTION_COUNT; ++o) {
        WIN_ComboSetCurSel(box(o), v->Entry[o]);
        WIN_EnableWindow(box(o), v->Settable[o]);
    }
    WIN_EnableWindow(item(Dlg, IDC_DS_PROGRAM), v->Writable);
}

/* ---- The dialog as the sequences' display ----------------------------------------- */

static void none(void *, int) {}
static void nothing(void *) {}
static void noPause(void *, unsigned) {}

static void tick(void *, unsigned ms)
{
    WIN_SetTimer(Dlg, Timer, ms);
}

/* A write's end, and a port lost during a read, are told in a box; Read is
 * possible again after either. */
static void ended(void *, const OpsEnd_t *end)
{
    if (!Writing && end->Outcome != OPS_LINE_LOST) return;
    WIN_MessageBox(Dlg, TXT(end->TextId), TXT(TX_DCSS_SETTING_TITLE), MB_OK);
    WIN_EnableWindow(item(Dlg, IDC_DS_READ), true);
}

static const OpsDisplay_t Shell = {nullptr, none, none, tick, tick, noPause, ended, nothing};

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
    ChainShown = SETOP_Values()->ChainBuilds; /* "No" alone until a read */
    showValues();
}

static void command(HWND d, unsigned id, unsigned code)
{
    switch (id) {
    case IDC_DS_READ:
        RS232_Reconnect(); /* an adapter plugged in again is opened anew */
        Timer = READ_TIMER;
        Writing = false;
        SETOP_StartRead();
        break;
    case IDC_DS_PROGRAM: {
        /* The sequences share one step counter. */
        WIN_EnableWindow(item(d, IDC_DS_READ), false);
        int chosen[SETOP_OPTION_COUNT];
        for (int o = 0; o < SETOP_OPTION_COUNT; ++o)
            chosen[o] = WIN_ComboGetCurSel(box(o));
        Timer = WRITE_TIMER;
        Writing = true;
        SETOP_StartWrite(chosen);
        break;
    }
    case IDC_DS_INPUTS:
        if (code == CBN_SELCHANGE) {
            SETOP_ChooseInputs(WIN_ComboGetCurSel(item(d, id)));
            showChainList();
        }
        break;
    case IDOK:
    case IDCANCEL:
        /* A running sequence is abandoned with the dialog. */
        SETOP_Operation.Cancel(OPS_CLOSE);
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
        SETOP_Operation.Step();
        if (!Writing) showValues(); /* a write leaves the user's choices in the boxes */
        return 1;
    case WM_COMMAND: command(hDlg, LOWORD(wParam), HIWORD(wParam)); return 1;
    case WM_DESTROY:
        WIN_KillTimer(hDlg, READ_TIMER);
        WIN_KillTimer(hDlg, WRITE_TIMER);
        return 1;
    default: return 0;
    }
}
