/* setop.cpp -- the device settings read and write sequences (see setop.h).
 *
 * State: the step (State) shared by both sequences, which of them runs, the
 * writes sent and acknowledged in the running write, whether each option may
 * be written, and the display the steps report to.
 *
 *   Read: State 0, the first step due in 1 ms; every step but the last asks
 *   for the next in 100 ms and advances State.
 *     State  Exchange                   Shows / stores
 *     0      none                       "Unknown", "???", first entries,
 *                                       nothing writable; next step in 1 ms
 *     1      lnbe  device ID            model name and Model; no model:
 *                                       "Unknown", END
 *     2      lnbv  software version     "%d.%d" of its nibbles
 *     3      lnbm  firmware version     "%d.%d.%d.%d" of its bytes
 *     4      lnbd  configuration ver.   "%d.%d" of its nibbles
 *     5      lnbn  serial number        "???" for 0, "No SN" for -1, else "%d"
 *     6      lnbj  LO frequencies       "???", "%d" or "%d / %d"
 *     7      lnbb  UB count             the report; UBNumber only when usable
 *     8      lnbc  IC temperature       "%i °C"
 *     9      lnbk  EN50494+             shown, and enabled on 0 or 1
 *     10     lnab  inputs type          by model; then the chain list is rebuilt
 *     11     legg  output port          enabled for the EN group only
 *     12     lncb  chain connection     entry shown; writable when any option
 *                                       is enabled; END
 *
 *   Write: State 9, the first step due in 1 ms, then 100 ms between steps.
 *   An option that is not enabled is never written.
 *     State  Exchange                   When
 *     9      lnah  EN50494+             enabled, entry 0 or 1
 *     10     lnaa  inputs type          enabled, entry 0 or 1
 *     11     legs  output port          enabled, entry 0 to 2
 *     12     lnca  chain connection     enabled and a chain value read: an
 *                                       entry sends its output with bit 3; "No"
 *                                       switches off only when chaining was on
 *     13     none                       Done: "Configuration upgrade successful!"
 *                                       when every write was acknowledged, else
 *                                       "Transmission error"; END
 *
 *   A step that finds the port lost (hung up, unplugged) ends either sequence
 *   with Done "Transmission error"; what was read so far stays shown.
 */
#include "ops/setop.h"

#include "config/dcss.h"
#include "config/texts.h"
#include "config/velnor.h"
#include "link/rs232.h"

#include <cstdarg>
#include <cstdint>
#include <cwchar>

/* The first step runs as soon as the caller is free. */
static constexpr unsigned FIRST_STEP_MS = 1;
/* Between two device exchanges the dialog answers the user. */
static constexpr unsigned STEP_MS = 100;
static constexpr int WRITE_FIRST = 9; /* the write's first step */

const int SETOP_FieldLabels[SETOP_FIELD_COUNT] = {
    TX_MODEL,         TX_SW_VERSION,     TX_FW_VERSION,    TX_CONFIG_VERSION,
    TX_SERIAL_NUMBER, TX_LO_FREQUENCIES, TX_NUMBER_OF_UBS, TX_IC_TEMPERATURE,
};
const int SETOP_OptionLabels[SETOP_OPTION_COUNT] = {
    TX_EN50494PLUS,
    TX_INPUTS,
    TX_OUTPUT_PORT,
    TX_CHAIN_CONNECTION,
};
const SetopEntries_t SETOP_OptionEntries[SETOP_OPTION_COUNT] = {
    {{TX_NO, TX_YES}, 2},
    {{TX_QUATTRO, TX_WIDE_BAND}, 2},
    {{TX_DCSS, TX_LEGACY, TX_DCSS_LEGACY}, 3},
    {{TX_NO}, 1},
};

static std::int32_t State = 0;
static bool Writing = false;
static int WritesSent = 0;
static int WritesAcked = 0;
static bool Enabled[SETOP_OPTION_COUNT] = {};
static const SetopDisplay_t *Disp = nullptr;

bool SETOP_Enabled(int option)
{
    return option >= 0 && option < SETOP_OPTION_COUNT && Enabled[option];
}

bool SETOP_ChainPairs()
{
    return DCSS_ChainPairList(VelnorData.Model, VelnorData.WideBand) != 0;
}

void SETOP_ChainEntryText(int entry, bool pairs, wchar_t *text, int len)
{
    const int out = DCSS_ChainOutput(entry, pairs) + 1;
    if (pairs)
        std::swprintf(text, static_cast<std::size_t>(len), L"%d+%d", out, out + 1);
    else
        std::swprintf(text, static_cast<std::size_t>(len), L"%d", out);
}

/* ---- What the steps show ------------------------------------------------------- */

static void field(int f, const wchar_t *format, ...)
{
    wchar_t text[SETOP_FIELD_LEN];
    va_list args;
    va_start(args, format);
    std::vswprintf(text, SETOP_FIELD_LEN, format, args);
    va_end(args);
    Disp->Field(Disp->Ctx, f, text);
}

static void option(int o, int entry, bool enable)
{
    Enabled[o] = enable;
    Disp->Option(Disp->Ctx, o, entry, enable);
}

/* The fields back to their placeholders and the options to their first
 * entries. */
static void clearFields()
{
    Disp->Field(Disp->Ctx, SETOP_MODEL, TXT(TX_UNKNOWN));
    for (int f = SETOP_MODEL + 1; f < SETOP_FIELD_COUNT; ++f)
        Disp->Field(Disp->Ctx, f, L"???");
    for (int o = 0; o < SETOP_OPTION_COUNT; ++o)
        Disp->Option(Disp->Ctx, o, 0, Enabled[o]);
}

void SETOP_Open(const SetopDisplay_t *d)
{
    Disp = d;
    for (bool &e : Enabled)
        e = false;
    clearFields();
    RS232_Set22kHzTone(0);
}

void SETOP_ChooseInputs(int entry)
{
    VelnorData.WideBand = static_cast<std::int8_t>(entry);
    Disp->ChainList(Disp->Ctx, SETOP_ChainPairs());
}

/* ---- Read sequence ---------------------------------------------------------------- */

static void showLO(int low, int high)
{
    if (low != high)
        field(SETOP_LO, L"%d / %d", low, high);
    else if (low == 0)
        field(SETOP_LO, L"???");
    else
        field(SETOP_LO, L"%d", low);
}

/* An option read as v: shown and enabled when it is 0 to last. */
static void showOption(int o, int v, int last)
{
    const bool known = v >= 0 && v <= last;
    option(o, known ? v : 0, known);
}

/* Runs the read step for State; the delay before the next step, or 0 when
 * the sequence ends here. */
static unsigned readStep()
{
    const int model = VelnorData.Model;
    switch (State) {
    case 0:
        clearFields();
        Disp->Writable(Disp->Ctx, false);
        return FIRST_STEP_MS;
    case 1: {
        const int found = DCSS_ModelOfDeviceID(RS232_GetDeviceID());
        if (found < 0) {
            Disp->Field(Disp->Ctx, SETOP_MODEL, TXT(TX_UNKNOWN));
            return 0;
        }
        VelnorData.Model = static_cast<std::int8_t>(found);
        Disp->Field(Disp->Ctx, SETOP_MODEL, DCSS_GetModelName(found));
        break;
    }
    case 2: {
        VelnorData.SWVersion = RS232_GetSWVersion();
        const unsigned v = static_cast<std::uint8_t>(VelnorData.SWVersion);
        field(SETOP_SW, L"%d.%d", v >> 4, v & 0x0F);
        break;
    }
    case 3: {
        const std::uint32_t v = static_cast<std::uint32_t>(RS232_GetFWVersion());
        VelnorData.FWVersion = v;
        field(SETOP_FW, L"%d.%d.%d.%d", v >> 24, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
        break;
    }
    case 4: {
        VelnorData.DBaseVersion = static_cast<std::uint8_t>(RS232_GetDBaseVersion());
        const unsigned v = VelnorData.DBaseVersion;
        field(SETOP_DBASE, L"%d.%d", v >> 4, v & 0x0F);
        break;
    }
    case 5:
        VelnorData.SN = RS232_GetSN();
        if (VelnorData.SN == 0)
            field(SETOP_SN, L"???");
        else if (VelnorData.SN == -1)
            Disp->Field(Disp->Ctx, SETOP_SN, TXT(TX_NO_SN));
        else
            field(SETOP_SN, L"%d", VelnorData.SN);
        break;
    case 6:
        RS232_GetLOFrequency(&VelnorData.LOFreqL, &VelnorData.LOFreqH);
        showLO(VelnorData.LOFreqL, VelnorData.LOFreqH);
        break;
    case 7: {
        /* A count the table cannot hold, or no count at all, keeps the
         * model's own; the field still shows what the device said. */
        const int reported = RS232_GetUBNumber();
        VelnorData.UBNumber =
            static_cast<std::int8_t>(DCSS_UsableUBCount(reported, DCSS_GetUBNumber()));
        if (reported < 0)
            field(SETOP_UBS, L"???");
        else
            field(SETOP_UBS, L"%d", reported);
        break;
    }
    case 8:
        VelnorData.Temperature = static_cast<std::int16_t>(RS232_GetTemperature());
        field(SETOP_TEMP, L"%i \u00B0C", static_cast<int>(VelnorData.Temperature));
        break;
    case 9:
        VelnorData.EN50494Plus = RS232_GetEN50494Plus();
        showOption(SETOP_EN50494, VelnorData.EN50494Plus, 1);
        break;
    case 10:
        if (DCSS_ReadsInputsType(model)) {
            VelnorData.WideBand = RS232_GetWideBandInfo();
            showOption(SETOP_INPUTS, VelnorData.WideBand, 1);
        } else {
            option(SETOP_INPUTS, model == DCSS_QUATTRO_ONLY_MODEL ? 0 : 1, false);
        }
        Disp->ChainList(Disp->Ctx, SETOP_ChainPairs());
        break;
    case 11: {
        VelnorData.Legacy = RS232_GetLegacyInfo();
        const int v = VelnorData.Legacy;
        option(SETOP_OUTPUT, 0, false);
        if (v >= 0 && v <= 2 && DCSS_IsENGroup(model))
            option(SETOP_OUTPUT, v, true);
        else if (v < 0 && model == DCSS_QUATTRO_ONLY_MODEL)
            option(SETOP_OUTPUT, 1, false); /* the KX-104 feeds its legacy output only */
        break;
    }
    case 12: {
        VelnorData.ChainConnection = RS232_GetChainConnection();
        const int v = VelnorData.ChainConnection;
        option(SETOP_CHAIN, 0, false);
        /* Every negative value is a byte the device did not give: 0xFF reads
         * as -1, and nothing above 15 is a chain value. */
        if (v == 0) {
            option(SETOP_CHAIN, 0, true);
        } else if (v > 0) {
            Disp->ChainList(Disp->Ctx, SETOP_ChainPairs());
            option(SETOP_CHAIN, DCSS_ChainEntry(v, SETOP_ChainPairs()), true);
        }
        /* A device that answered no option leaves nothing to write. */
        bool any = false;
        for (bool e : Enabled)
            any = any || e;
        Disp->Writable(Disp->Ctx, any);
        return 0;
    }
    default: return 0;
    }
    return STEP_MS;
}

/* ---- Write sequence --------------------------------------------------------------- */

/* Counts a write of option and whether the device acknowledged it. */
static void noteWrite(int o)
{
    const bool acked = RS232_GetDrainReply() == RS232_OK;
    ++WritesSent;
    if (acked) ++WritesAcked;
    if (Disp->Written != nullptr) Disp->Written(Disp->Ctx, o, acked);
}

/* Writes the chosen entry of an enabled option with setter. */
static void writeOption(int o, void (*setter)(std::uint8_t))
{
    const int entry = Disp->Chosen(Disp->Ctx, o);
    if (!Enabled[o] || entry < 0 || entry >= SETOP_OptionEntries[o].Count) return;
    setter(static_cast<std::uint8_t>(entry));
    noteWrite(o);
}

static void writeChain()
{
    const int chain = VelnorData.ChainConnection;
    if (!Enabled[SETOP_CHAIN] || chain < 0) return;
    const int entry = Disp->Chosen(Disp->Ctx, SETOP_CHAIN);
    if (entry >= 1) {
        RS232_SetChainConnection(1, DCSS_ChainOutput(entry, SETOP_ChainPairs()) | DCSS_CHAIN_ON);
        noteWrite(SETOP_CHAIN);
    } else if (entry == 0 && (chain & DCSS_CHAIN_ON) != 0) {
        RS232_SetChainConnection(0, 0);
        noteWrite(SETOP_CHAIN);
    }
}

/* Runs the write step for State; the delay before the next step, or 0. */
static unsigned writeStep()
{
    switch (State) {
    case 9: writeOption(SETOP_EN50494, RS232_SetEN50494Plus); break;
    case 10: writeOption(SETOP_INPUTS, RS232_SetInputsType); break;
    case 11: writeOption(SETOP_OUTPUT, RS232_SetLegacyInfo); break;
    case 12: writeChain(); break;
    case 13:
        Disp->Done(Disp->Ctx,
                   WritesAcked == WritesSent ? TX_CONFIG_UPGRADE_OK : TX_TRANSMISSION_ERROR);
        return 0;
    default: return 0;
    }
    return STEP_MS;
}

/* ---- Driving ---------------------------------------------------------------------- */

void SETOP_StartRead()
{
    State = 0;
    Writing = false;
    Disp->Tick(Disp->Ctx, FIRST_STEP_MS);
}

void SETOP_StartWrite()
{
    State = WRITE_FIRST;
    Writing = true;
    WritesSent = WritesAcked = 0;
    Disp->Tick(Disp->Ctx, FIRST_STEP_MS);
}

void SETOP_Step()
{
    const bool lost = RS232_PortLost() != 0;
    const unsigned next = lost ? 0 : Writing ? writeStep() : readStep();
    /* A port that hung up or went away ends the sequence at once, whichever
     * step found it. */
    if (RS232_PortLost()) {
        Disp->Done(Disp->Ctx, TX_TRANSMISSION_ERROR);
        return;
    }
    if (next == 0) return;
    ++State;
    Disp->Tick(Disp->Ctx, next);
}
