/* dcsssetting.cpp -- the device settings dialog: the device's identity,
 * versions, serial number, LO frequencies, UB count and temperature, and its
 * four options, read one query per tick and written one setter per tick.
 *
 * State owned here: the step counter State shared by both sequences (the
 * timer's id tells which sequence a tick belongs to) and the count of writes
 * sent and acknowledged by the device in the running write sequence. What is
 * read goes into VelnorData; the UB table itself is never touched here (the
 * main window rebuilds it after the dialog when the model's UB count changed).
 *
 *   Read: "Read" sets State 0 and starts timer 4 with 1 ms. A tick stops the
 *   timer, runs the step, and unless the step ends the sequence starts the
 *   timer again with 100 ms and advances State.
 *     State  Exchange                   Shows / stores
 *     0      none                       "Unknown", "???", first entries,
 *                                       "Program" off; next step in 1 ms
 *     1      lnbe  device ID            model name and Model; no model:
 *                                       "Unknown", END
 *     2      lnbv  software version     "%d.%d" of its nibbles
 *     3      lnbm  firmware version     "%d.%d.%d.%d" of its bytes
 *     4      lnbd  configuration ver.   "%d.%d" of its nibbles
 *     5      lnbn  serial number        "???" for 0, "No SN" for -1, else "%d"
 *     6      lnbj  LO frequencies       "???", "%d" or "%d / %d"
 *     7      lnbb  UB count             the report; UBNumber only when usable
 *     8      lnbc  IC temperature       "%i °C"
 *     9      lnbk  EN50494+             box selects and is enabled on 0 or 1
 *     10     lnab  inputs type          by model; then the chain list is rebuilt
 *     11     legg  output port          enabled for the EN group only
 *     12     lncb  chain connection     entry selected; "Program" on when
 *                                       any option box is enabled; END
 *
 *   Write: "Program" sets State 9, disables "Read" (the sequences share
 *   State) and starts timer 5 with 1 ms; steps 9 to 12 start it again with
 *   100 ms. A disabled box is never written. Each setter's drained reply is
 *   checked for the device's acknowledgement.
 *     State  Exchange                   When
 *     9      lnah  EN50494+             box enabled, selection 0 or 1
 *     10     lnaa  inputs type          box enabled, selection 0 or 1
 *     11     legs  output port          box enabled, selection 0 to 2
 *     12     lnca  chain connection     box enabled and a chain value read: an
 *                                       entry sends its output with bit 3; "No"
 *                                       switches off only when chaining was on
 *     13     none                       "Configuration upgrade successful!" when
 *                                       every write was acknowledged, else
 *                                       "Transmission error"; "Read" on; END
 *
 *   A tick that finds the port lost (hung up, unplugged) shows "Transmission
 *   error" and ends either sequence; "Read" opens the port again first.
 */
#include "dialogs/dcsssetting.h"

#include "app/texts.h"
#include "config/velnor.h"
#include "dialogs/dcss.h"
#include "link/rs232.h"

#include <cstdarg>
#include <cstdint>
#include <cwchar>
#include <iterator>

static constexpr unsigned READ_TIMER = 4;
static constexpr unsigned WRITE_TIMER = 5;
/* The first step runs as soon as the message loop is free. */
static constexpr unsigned FIRST_STEP_MS = 1;
/* Between two device exchanges the dialog answers the user. */
static constexpr unsigned STEP_MS = 100;

static constexpr int FIELD_LEN = 64;
static constexpr int CHAIN_OUTPUTS = 8; /* chain list entries after "No" */
static constexpr int CHAIN_PAIRS = 4;
static constexpr int CHAIN_ON = DCSS_CHAIN_ON;

/* ---- Template 123 ---------------------------------------------------------------- */

static constexpr int IDC_LABEL_FIRST = 1250; /* the twelve labels, in field order */
static constexpr int FIELD_COUNT = 8;        /* value fields from IDC_DS_MODEL */
static constexpr int LABEL_COUNT = 12;

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

static constexpr int labelTexts[LABEL_COUNT] = {
    TX_MODEL,         TX_SW_VERSION,     TX_FW_VERSION,    TX_CONFIG_VERSION,
    TX_SERIAL_NUMBER, TX_LO_FREQUENCIES, TX_NUMBER_OF_UBS, TX_IC_TEMPERATURE,
    TX_EN50494PLUS,   TX_INPUTS,         TX_OUTPUT_PORT,   TX_CHAIN_CONNECTION,
};

/* ---- Module state --------------------------------------------------------------- */

/* Step of the running sequence; kept between openings, it matters only while
 * a timer runs. */
static std::int32_t State = 0;
static int WritesSent = 0;
static int WritesAcked = 0;

/* ---- The rules ---------------------------------------------------------------- */

static constexpr int QUATTRO_ONLY_MODEL = 4;

/* ---- Controls ------------------------------------------------------------------- */

static HWND item(HWND d, int id)
{
    return WIN_GetDlgItem(d, id);
}

static void setField(HWND d, int id, const wchar_t *format, ...)
{
    wchar_t text[FIELD_LEN];
    va_list args;
    va_start(args, format);
    std::vswprintf(text, FIELD_LEN, format, args);
    va_end(args);
    WIN_SetWindowText(item(d, id), text);
}

/* Selects entry index of an option box and enables it or not. */
static void setOption(HWND box, int index, bool enable)
{
    WIN_ComboSetCurSel(box, index);
    WIN_EnableWindow(box, enable);
}

static bool pairList()
{
    return DCSS_ChainPairList(VelnorData.Model, VelnorData.WideBand) != 0;
}

void DCSS_SetChainConfiguration(HWND hDlg)
{
    HWND box = item(hDlg, IDC_DS_CHAIN);
    for (int i = CHAIN_OUTPUTS; i >= 1; --i)
        WIN_ComboDeleteString(box, i);
    if (pairList()) {
        for (const wchar_t *pair : {L"1+2", L"3+4", L"5+6", L"7+8"})
            WIN_ComboAddString(box, pair);
        WIN_ComboSetMinVisible(box, CHAIN_PAIRS);
    } else {
        WIN_ComboAddRange(box, 1, CHAIN_OUTPUTS, 1);
        WIN_ComboSetMinVisible(box, CHAIN_OUTPUTS + 1);
    }
    WIN_ComboSetCurSel(box, 0);
}

/* The value fields back to their placeholders and the boxes to their first
 * entries. */
static void clearFields(HWND d)
{
    WIN_SetWindowText(item(d, IDC_DS_MODEL), TXT(TX_UNKNOWN));
    for (int id = IDC_DS_MODEL + 1; id < IDC_DS_MODEL + FIELD_COUNT; ++id)
        WIN_SetWindowText(item(d, id), L"???");
    for (int id : {IDC_DS_EN50494, IDC_DS_INPUTS, IDC_DS_OUTPUT, IDC_DS_CHAIN})
        WIN_ComboSetCurSel(item(d, id), 0);
}

static void initDialog(HWND d)
{
    WIN_SetWindowText(d, TXT(TX_DCSS_SETTING_TITLE));
    WIN_SetWindowText(item(d, IDC_DS_READ), TXT(TX_READ));
    WIN_SetWindowText(item(d, IDC_DS_PROGRAM), TXT(TX_PROGRAM));
    WIN_SetWindowText(item(d, IDOK), TXT(TX_OK));
    for (int i = 0; i < LABEL_COUNT; ++i)
        WIN_SetWindowText(item(d, IDC_LABEL_FIRST + i), TXT(labelTexts[i]));

    const struct {
        int id;
        int texts[3];
        int count;
    } boxes[] = {
        {IDC_DS_EN50494, {TX_NO, TX_YES}, 2},
        {IDC_DS_INPUTS, {TX_QUATTRO, TX_WIDE_BAND}, 2},
        {IDC_DS_OUTPUT, {TX_DCSS, TX_LEGACY, TX_DCSS_LEGACY}, 3},
        {IDC_DS_CHAIN, {TX_NO}, 1},
    };
    for (const auto &b : boxes) {
        HWND box = item(d, b.id);
        for (int i = 0; i < b.count; ++i)
            WIN_ComboAddString(box, TXT(b.texts[i]));
        if (b.id != IDC_DS_CHAIN) WIN_ComboSetMinVisible(box, b.count);
    }
    clearFields(d);
    RS232_Set22kHzTone(0);
}

/* ---- Read sequence ---------------------------------------------------------------- */

static void showLO(HWND d, int low, int high)
{
    if (low != high)
        setField(d, IDC_DS_LO, L"%d / %d", low, high);
    else if (low == 0)
        setField(d, IDC_DS_LO, L"???");
    else
        setField(d, IDC_DS_LO, L"%d", low);
}

/* Runs the read step for State; the delay before the next step, or 0 when
 * the sequence ends here. */
static unsigned readStep(HWND d)
{
    const int model = VelnorData.Model;
    switch (State) {
    case 0:
        clearFields(d);
        WIN_EnableWindow(item(d, IDC_DS_PROGRAM), false);
        return FIRST_STEP_MS;
    case 1: {
        const int id = RS232_GetDeviceID();
        const int found = DCSS_ModelOfDeviceID(id);
        if (found < 0) {
            WIN_SetWindowText(item(d, IDC_DS_MODEL), TXT(TX_UNKNOWN));
            return 0;
        }
        VelnorData.Model = static_cast<std::int8_t>(found);
        WIN_SetWindowText(item(d, IDC_DS_MODEL), DCSS_GetModelName(found));
        break;
    }
    case 2: {
        VelnorData.SWVersion = RS232_GetSWVersion();
        const unsigned v = static_cast<std::uint8_t>(VelnorData.SWVersion);
        setField(d, IDC_DS_SW, L"%d.%d", v >> 4, v & 0x0F);
        break;
    }
    case 3: {
        const std::uint32_t v = static_cast<std::uint32_t>(RS232_GetFWVersion());
        VelnorData.FWVersion = v;
        setField(d, IDC_DS_FW, L"%d.%d.%d.%d", v >> 24, (v >> 16) & 0xFF, (v >> 8) & 0xFF,
                 v & 0xFF);
        break;
    }
    case 4: {
        VelnorData.DBaseVersion = static_cast<std::uint8_t>(RS232_GetDBaseVersion());
        const unsigned v = VelnorData.DBaseVersion;
        setField(d, IDC_DS_DBASE, L"%d.%d", v >> 4, v & 0x0F);
        break;
    }
    case 5:
        VelnorData.SN = RS232_GetSN();
        if (VelnorData.SN == 0)
            setField(d, IDC_DS_SN, L"???");
        else if (VelnorData.SN == -1)
            WIN_SetWindowText(item(d, IDC_DS_SN), TXT(TX_NO_SN));
        else
            setField(d, IDC_DS_SN, L"%d", VelnorData.SN);
        break;
    case 6:
        RS232_GetLOFrequency(&VelnorData.LOFreqL, &VelnorData.LOFreqH);
        showLO(d, VelnorData.LOFreqL, VelnorData.LOFreqH);
        break;
    case 7: {
        /* A count the table cannot hold, or no count at all, keeps the
         * model's own; the field still shows what the device said. */
        const int reported = RS232_GetUBNumber();
        VelnorData.UBNumber =
            static_cast<std::int8_t>(DCSS_UsableUBCount(reported, DCSS_GetUBNumber()));
        if (reported < 0)
            setField(d, IDC_DS_UBS, L"???");
        else
            setField(d, IDC_DS_UBS, L"%d", reported);
        break;
    }
    case 8:
        VelnorData.Temperature = static_cast<std::int16_t>(RS232_GetTemperature());
        setField(d, IDC_DS_TEMP, L"%i \u00B0C", static_cast<int>(VelnorData.Temperature));
        break;
    case 9: {
        VelnorData.EN50494Plus = RS232_GetEN50494Plus();
        const int v = VelnorData.EN50494Plus;
        const bool known = v == 0 || v == 1;
        setOption(item(d, IDC_DS_EN50494), known ? v : 0, known);
        break;
    }
    case 10: {
        HWND box = item(d, IDC_DS_INPUTS);
        if (DCSS_ReadsInputsType(model)) {
            VelnorData.WideBand = RS232_GetWideBandInfo();
            const int v = VelnorData.WideBand;
            const bool known = v == 0 || v == 1;
            setOption(box, known ? v : 0, known);
        } else {
            setOption(box, model == QUATTRO_ONLY_MODEL ? 0 : 1, false);
        }
        DCSS_SetChainConfiguration(d);
        break;
    }
    case 11: {
        VelnorData.Legacy = RS232_GetLegacyInfo();
        const int v = VelnorData.Legacy;
        HWND box = item(d, IDC_DS_OUTPUT);
        setOption(box, 0, false);
        if (v >= 0 && v <= 2 && DCSS_IsENGroup(model))
            setOption(box, v, true);
        else if (v < 0 && model == QUATTRO_ONLY_MODEL)
            WIN_ComboSetCurSel(box, 1); /* the KX-104 feeds its legacy output only */
        break;
    }
    case 12: {
        VelnorData.ChainConnection = RS232_GetChainConnection();
        const int v = VelnorData.ChainConnection;
        HWND box = item(d, IDC_DS_CHAIN);
        setOption(box, 0, false);
        /* Every negative value is a byte the device did not give: 0xFF reads
         * as -1, and nothing above 15 is a chain value. */
        if (v == 0) {
            WIN_EnableWindow(box, true);
        } else if (v > 0) {
            DCSS_SetChainConfiguration(d);
            setOption(box, DCSS_ChainEntry(v, pairList()), true);
        }
        /* A device that answered no option leaves nothing to write. */
        bool any = false;
        for (int id : {IDC_DS_EN50494, IDC_DS_INPUTS, IDC_DS_OUTPUT, IDC_DS_CHAIN})
            any = any || WIN_IsWindowEnabled(item(d, id));
        WIN_EnableWindow(item(d, IDC_DS_PROGRAM), any);
        return 0;
    }
    default: return 0;
    }
    return STEP_MS;
}

/* ---- Write sequence --------------------------------------------------------------- */

/* Counts a write and whether the device acknowledged it. */
static void noteWrite()
{
    ++WritesSent;
    if (RS232_GetDrainReply() == RS232_OK) ++WritesAcked;
}

/* Writes an option box's selection (0 to last) with setter when the box is
 * enabled. */
static void writeOption(HWND d, int id, int last, void (*setter)(std::uint8_t))
{
    HWND box = item(d, id);
    const int s = WIN_ComboGetCurSel(box);
    if (!WIN_IsWindowEnabled(box) || s < 0 || s > last) return;
    setter(static_cast<std::uint8_t>(s));
    noteWrite();
}

static void writeChain(HWND d)
{
    HWND box = item(d, IDC_DS_CHAIN);
    const int chain = VelnorData.ChainConnection;
    if (!WIN_IsWindowEnabled(box) || chain < 0) return;
    const int s = WIN_ComboGetCurSel(box);
    if (s >= 1) {
        RS232_SetChainConnection(1, DCSS_ChainOutput(s, pairList()) | CHAIN_ON);
        noteWrite();
    } else if (s == 0 && (chain & CHAIN_ON) != 0) {
        RS232_SetChainConnection(0, 0);
        noteWrite();
    }
}

/* Runs the write step for State; the delay before the next step, or 0. */
static unsigned writeStep(HWND d)
{
    switch (State) {
    case 9: writeOption(d, IDC_DS_EN50494, 1, RS232_SetEN50494Plus); break;
    case 10: writeOption(d, IDC_DS_INPUTS, 1, RS232_SetInputsType); break;
    case 11: writeOption(d, IDC_DS_OUTPUT, 2, RS232_SetLegacyInfo); break;
    case 12: writeChain(d); break;
    case 13: {
        const bool all = WritesAcked == WritesSent;
        WIN_MessageBox(d, TXT(all ? TX_CONFIG_UPGRADE_OK : TX_TRANSMISSION_ERROR),
                       TXT(TX_DCSS_SETTING_TITLE), MB_OK);
        WIN_EnableWindow(item(d, IDC_DS_READ), true);
        return 0;
    }
    default: return 0;
    }
    return STEP_MS;
}

/* ---- The procedure ------------------------------------------------------------------ */

static void tick(HWND d, unsigned timer)
{
    WIN_KillTimer(d, timer);
    const bool lost = RS232_PortLost() != 0;
    const unsigned next = lost ? 0 : timer == READ_TIMER ? readStep(d) : writeStep(d);
    /* A port that hung up or went away ends the sequence at once, whichever
     * step found it; what was read so far stays shown. */
    if (RS232_PortLost()) {
        WIN_MessageBox(d, TXT(TX_TRANSMISSION_ERROR), TXT(TX_DCSS_SETTING_TITLE), MB_OK);
        WIN_EnableWindow(item(d, IDC_DS_READ), true);
        return;
    }
    if (next == 0) return;
    ++State;
    WIN_SetTimer(d, timer, next);
}

static void command(HWND d, unsigned id, unsigned code)
{
    switch (id) {
    case IDC_DS_READ:
        RS232_Reconnect(); /* an adapter plugged in again is opened anew */
        State = 0;
        WIN_SetTimer(d, READ_TIMER, FIRST_STEP_MS);
        break;
    case IDC_DS_PROGRAM:
        State = 9;
        WritesSent = WritesAcked = 0;
        WIN_EnableWindow(item(d, IDC_DS_READ), false);
        WIN_SetTimer(d, WRITE_TIMER, FIRST_STEP_MS);
        break;
    case IDC_DS_INPUTS:
        if (code != CBN_SELCHANGE) break;
        VelnorData.WideBand = static_cast<std::int8_t>(WIN_ComboGetCurSel(item(d, id)));
        DCSS_SetChainConfiguration(d);
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
        tick(hDlg, static_cast<unsigned>(wParam));
        return 1;
    case WM_COMMAND: command(hDlg, LOWORD(wParam), HIWORD(wParam)); return 1;
    case WM_DESTROY:
        WIN_KillTimer(hDlg, READ_TIMER);
        WIN_KillTimer(hDlg, WRITE_TIMER);
        return 1;
    default: return 0;
    }
}
