/* setop.cpp -- the device settings read and write sequences (see setop.h).
 *
 * State: the step (State) shared by both sequences, which of them runs, the
 * entries chosen for the running write, the first step of the trailing run
 * of unanswered queries (SilentFrom), the values and the run.
 *
 *   Read: State 0, the first step due in 1 ms; every step but the last asks
 *   for the next in 100 ms and advances State.
 *     State  Exchange                   Shows / stores
 *     0      none                       "Unknown", "???", first entries,
 *                                       nothing writable; next step in 1 ms
 *     1      lnbe  device ID            model name and Model; no model:
 *                                       "Unknown", no device, END
 *     2      lnbv  software version     "%d.%d" of its nibbles
 *     3      lnbm  firmware version     "%d.%d.%d.%d" of its bytes
 *     4      lnbd  configuration ver.   "major.minor" (MAIN_ConfigVersionText)
 *     5      lnbn  serial number        "???" for 0, "No SN" for -1, else "%d"
 *     6      lnbj  LO frequencies       "???", "%d" or "%d / %d"
 *     7      lnbb  UB count             the report; UBNumber only when usable
 *     8      lnbc  IC temperature       "%i °C"
 *     9      lnbk  EN50494+             shown, and enabled on 0 or 1
 *     10     lnab  inputs type          by model; then the chain list is rebuilt
 *     11     legg  output port          enabled for the EN group only
 *     12     lncb  chain connection     entry shown; writable when any option
 *                                       is enabled; END: done, or no device when
 *                                       the device answered nothing from some
 *                                       step on
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
 *     13     none                       the outcome: done, "Configuration upgrade
 *                                       successful!", when every write was
 *                                       acknowledged, else refused or no device
 *                                       at the first that was not,
 *                                       "Transmission error"; END
 *
 *   A step that finds the port lost (hung up, unplugged) ends either sequence
 *   as line lost, "Transmission error"; what was read so far stays.
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
static constexpr int OPTION_STEP = 9; /* the read step of the first option */
static constexpr int LAST_READ = 12;  /* the read's last step */

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
static int Chosen[SETOP_OPTION_COUNT] = {};
static int SilentFrom = -1;
static OpsEnd_t Pending; /* the outcome of the step that ended a sequence */
static SetopValues_t V;
static OpsRun_t Run;

const SetopValues_t *SETOP_Values()
{
    return &V;
}

int SETOP_StepLabel(int step)
{
    if (step >= 1 && step < OPTION_STEP) return SETOP_FieldLabels[step - 1];
    if (step >= OPTION_STEP && step <= LAST_READ) return SETOP_OptionLabels[step - OPTION_STEP];
    return -1;
}

int SETOP_ChainEntryCount(bool pairs)
{
    return 1 + (pairs ? SETOP_CHAIN_OUTPUTS / 2 : SETOP_CHAIN_OUTPUTS);
}

void SETOP_ChainEntryText(int entry, bool pairs, wchar_t *text, int len)
{
    const int out = DCSS_ChainOutput(entry, pairs) + 1;
    if (pairs)
        std::swprintf(text, static_cast<std::size_t>(len), L"%d+%d", out, out + 1);
    else
        std::swprintf(text, static_cast<std::size_t>(len), L"%d", out);
}

/* ---- What the steps store ------------------------------------------------------ */

static void field(int f, const wchar_t *format, ...)
{
    va_list args;
    va_start(args, format);
    std::vswprintf(V.Field[f], SETOP_FIELD_LEN, format, args);
    va_end(args);
}

static void option(int o, int entry, bool settable)
{
    V.Entry[o] = entry;
    V.Settable[o] = settable;
}

/* The chain list rebuilt for VelnorData's model and inputs; "No" selected. */
static void rebuildChain()
{
    V.ChainPairs = DCSS_ChainPairList(VelnorData.Model, VelnorData.WideBand) != 0;
    V.ChainBuilds++;
    V.Entry[SETOP_CHAIN] = 0;
}

/* The fields back to their placeholders and the options to their first
 * entries; whether they may be changed stays until they are read again. */
static void clearFields()
{
    field(SETOP_MODEL, L"%ls", TXT(TX_UNKNOWN));
    for (int f = SETOP_MODEL + 1; f < SETOP_FIELD_COUNT; ++f)
        field(f, L"???");
    for (int &e : V.Entry)
        e = 0;
}

void SETOP_Open(const OpsDisplay_t *d)
{
    OPS_Start(&Run, d);
    Run.Stopped = true; /* nothing runs until a sequence starts */
    V = SetopValues_t{};
    for (int &w : V.Written)
        w = -1;
    clearFields();
    RS232_Set22kHzTone(0);
}

void SETOP_ChooseInputs(int entry)
{
    VelnorData.WideBand = static_cast<std::int8_t>(entry);
    V.Entry[SETOP_INPUTS] = entry;
    rebuildChain();
}

/* ---- Read sequence ---------------------------------------------------------------- */

/* Notes whether the query of this step got any reply, accepted or refused. */
static void noteAnswer()
{
    if (RS232_GetLastAnswer() != RS232_REPLY_NONE)
        SilentFrom = -1;
    else if (SilentFrom < 0)
        SilentFrom = State;
}

static void showLO(int low, int high)
{
    if (low != high)
        field(SETOP_LO, L"%d / %d", low, high);
    else if (low == 0)
        field(SETOP_LO, L"???");
    else
        field(SETOP_LO, L"%d", low);
}

/* An option read as v: shown and settable when it is 0 to last. */
static void showOption(int o, int v, int last)
{
    const bool known = v >= 0 && v <= last;
    option(o, known ? v : 0, known);
}

/* The end of a read that came through every step. */
static void readEnd()
{
    bool any = false;
    for (bool e : V.Settable)
        any = any || e;
    /* A device that answered no option leaves nothing to write. */
    V.Writable = any;
    if (SilentFrom >= 0)
        Pending = {OPS_NO_DEVICE, TX_TRANSMISSION_ERROR, SilentFrom};
    else
        Pending = {OPS_DONE, -1, -1};
}

/* Runs the read step for State; the delay before the next step, or 0 when
 * the sequence ends here. */
static unsigned readStep()
{
    const int model = VelnorData.Model;
    switch (State) {
    case 0:
        clearFields();
        V.Writable = false;
        SilentFrom = -1;
        return FIRST_STEP_MS;
    case 1: {
        const int found = DCSS_ModelOfDeviceID(RS232_GetDeviceID());
        if (found < 0) {
            field(SETOP_MODEL, L"%ls", TXT(TX_UNKNOWN));
            Pending = {OPS_NO_DEVICE, -1, State};
            return 0;
        }
        VelnorData.Model = static_cast<std::int8_t>(found);
        field(SETOP_MODEL, L"%ls", DCSS_GetModelName(found));
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
        wchar_t text[MAIN_VERSION_TEXT_LEN];
        MAIN_ConfigVersionText(VelnorData.DBaseVersion, text);
        field(SETOP_DBASE, L"%ls", text);
        break;
    }
    case 5:
        VelnorData.SN = RS232_GetSN();
        if (VelnorData.SN == 0)
            field(SETOP_SN, L"???");
        else if (VelnorData.SN == -1)
            field(SETOP_SN, L"%ls", TXT(TX_NO_SN));
        else
            field(SETOP_SN, L"%u", static_cast<unsigned>(VelnorData.SN)); /* 32 bits, unsigned */
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
            noteAnswer();
        } else {
            option(SETOP_INPUTS, model == DCSS_QUATTRO_ONLY_MODEL ? 0 : 1, false);
        }
        rebuildChain();
        return STEP_MS;
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
        noteAnswer();
        const int v = VelnorData.ChainConnection;
        option(SETOP_CHAIN, 0, false);
        /* Every negative value is a byte the device did not give: 0xFF reads
         * as -1, and nothing above 15 is a chain value. */
        if (v == 0) {
            option(SETOP_CHAIN, 0, true);
        } else if (v > 0) {
            rebuildChain();
            option(SETOP_CHAIN, DCSS_ChainEntry(v, V.ChainPairs), true);
        }
        readEnd();
        return 0;
    }
    default: return 0;
    }
    noteAnswer();
    return STEP_MS;
}

/* ---- Write sequence --------------------------------------------------------------- */

/* Notes the device's answer to the setter of option o. */
static void noteWrite(int o)
{
    V.Written[o] = RS232_GetDrainAnswer();
}

/* Writes the chosen entry of a settable option with setter. */
static void writeOption(int o, void (*setter)(std::uint8_t))
{
    const int entry = Chosen[o];
    if (!V.Settable[o] || entry < 0 || entry >= SETOP_OptionEntries[o].Count) return;
    setter(static_cast<std::uint8_t>(entry));
    noteWrite(o);
}

static void writeChain()
{
    const int chain = VelnorData.ChainConnection;
    if (!V.Settable[SETOP_CHAIN] || chain < 0) return;
    const int entry = Chosen[SETOP_CHAIN];
    if (entry >= 1) {
        RS232_SetChainConnection(1, DCSS_ChainOutput(entry, V.ChainPairs) | DCSS_CHAIN_ON);
        noteWrite(SETOP_CHAIN);
    } else if (entry == 0 && (chain & DCSS_CHAIN_ON) != 0) {
        RS232_SetChainConnection(0, 0);
        noteWrite(SETOP_CHAIN);
    }
}

/* The write's outcome: the first option the device did not acknowledge. */
static void writeEnd()
{
    for (int o = 0; o < SETOP_OPTION_COUNT; o++) {
        if (V.Written[o] == RS232_REPLY_REFUSED) {
            Pending = {OPS_REFUSED, TX_TRANSMISSION_ERROR, o};
            return;
        }
        if (V.Written[o] == RS232_REPLY_NONE) {
            Pending = {OPS_NO_DEVICE, TX_TRANSMISSION_ERROR, o};
            return;
        }
    }
    Pending = {OPS_DONE, TX_CONFIG_UPGRADE_OK, -1};
}

/* Runs the write step for State; the delay before the next step, or 0. */
static unsigned writeStep()
{
    switch (State) {
    case 9: writeOption(SETOP_EN50494, RS232_SetEN50494Plus); break;
    case 10: writeOption(SETOP_INPUTS, RS232_SetInputsType); break;
    case 11: writeOption(SETOP_OUTPUT, RS232_SetLegacyInfo); break;
    case 12: writeChain(); break;
    case 13: writeEnd(); return 0;
    default: return 0;
    }
    return STEP_MS;
}

/* ---- Driving ---------------------------------------------------------------------- */

/* Starts a sequence at step first. */
static void start(int first, bool writing)
{
    const OpsDisplay_t *d = Run.Disp;
    OPS_Start(&Run, d);
    State = first;
    Writing = writing;
    d->Tick(d->Ctx, FIRST_STEP_MS);
}

void SETOP_StartRead()
{
    start(0, false);
}

void SETOP_StartWrite(const int chosen[SETOP_OPTION_COUNT])
{
    for (int o = 0; o < SETOP_OPTION_COUNT; o++) {
        Chosen[o] = chosen[o];
        V.Written[o] = -1;
    }
    start(WRITE_FIRST, true);
}

static void step()
{
    if (Run.Stopped) return;
    const bool lost = RS232_PortLost() != 0;
    Pending = {OPS_CANCELLED, -1, -1};
    const unsigned next = lost ? 0 : Writing ? writeStep() : readStep();
    /* A port that hung up or went away ends the sequence at once, whichever
     * step found it, and whatever that step made of the silence. */
    if (RS232_PortLost()) return OPS_End(&Run, OPS_LINE_LOST, TX_TRANSMISSION_ERROR, State);
    if (next == 0) return OPS_End(&Run, Pending.Outcome, Pending.TextId, Pending.Where);
    ++State;
    Run.Disp->Tick(Run.Disp->Ctx, next);
}

static OpsEnd_t cancel(OpsCancel_t)
{
    return OPS_Stop(&Run, false);
}

const OpsOperation_t SETOP_Operation = {step, cancel};
