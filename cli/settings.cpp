/* settings.cpp -- what brevant-cli tells of the Kaltro and the device:
 * every port with a device (scan), the Kaltro and the device in full
 * (identify), and the device settings read and written by the device
 * settings dialog's own sequences (ops/setop), whose steps run here in a
 * loop with the dialog's pauses.
 *
 * State: the entries chosen for the write and the run of the sequence that
 * runs, for the one command that runs; what was read is the sequences' own
 * values (SETOP_Values).
 */
#include "cli/cli.h"
#include "cli/term.h"
#include "config/dcss.h"
#include "config/texts.h"
#include "config/velnor.h"
#include "link/portinfo.h"
#include "link/rs232.h"
#include "ops/devop.h"
#include "ops/setop.h"

#include <cstdio>

static std::string label(int textId)
{
    return CLI_Utf8(TXT(textId));
}

/* One line of what the dialogs show: the label in a column, then value. The
 * column is counted in characters, not bytes, for labels of other languages. */
static std::string row(const std::string &name, const std::string &value)
{
    constexpr std::size_t COLUMN = 22;
    std::size_t chars = 0;
    for (const char c : name)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) chars++;
    return name + std::string(chars < COLUMN ? COLUMN - chars : 1, ' ') + value + "\n";
}

std::string CLI_VoltsJson(int level)
{
    /* The label's number without its "V" ("14.66V" is 14.66). */
    std::string volts = CLI_Utf8(DEVOP_VoltageLabel(level));
    if (volts.empty() || volts.back() != 'V') return "null";
    volts.pop_back();
    return volts;
}

/* What scan (on one line) and identify (rows) tell of the Kaltro on the
 * open port. */
static void kaltroFields(bool rows, std::string &text, std::string &json)
{
    const unsigned ver = RS232_GetKaltroSWVer();
    const int level = RS232_GetVoltage();
    const std::string volts = CLI_Utf8(DEVOP_VoltageLabel(level));
    char version[16], line[160];
    std::snprintf(version, sizeof version, "%u.%u", ver >> 8, ver & 0xFF);
    std::snprintf(line, sizeof line, "%s (level %d)", volts.c_str(), level);
    if (rows)
        text +=
            row("Kaltro " + label(TX_SW_VERSION), version) + row(label(TX_OUTPUT_VOLTAGE), line);
    else
        text += std::string("Kaltro software ") + version + ", " + line;
    json += ", \"kaltro_version\": " + CLI_Json(version) + ", \"level\": " + std::to_string(level) +
            ", \"voltage_v\": " + CLI_VoltsJson(level);
}

/* The same of the device whose model the start-up identification found. */
static void deviceFields(bool rows, int model, std::string &text, std::string &json)
{
    if (model < 0) {
        text += rows ? row(label(TX_MODEL), label(TX_NO_DEVICE)) : ", " + label(TX_NO_DEVICE);
        json += ", \"model\": null";
        return;
    }
    const std::string id = std::to_string(DCSS_GetDeviceID(model));
    if (rows)
        text += row("Device ID", id) + row(label(TX_MODEL), CLI_ModelName(model));
    else
        text += ", device ID " + id + ", model " + CLI_ModelName(model);
    json += ", \"device_id\": " + id + ", \"model\": " + CLI_Json(CLI_ModelName(model));
}

int CLI_CmdScan()
{
    std::string json;
    int found = 0;
    RS232_ClearScanRefusal();
    for (int port = 1; port < RS232_PORT_LIMIT && !CLI_Interrupted(); port++) {
        std::string text, entry;
        if (RS232_ScanPort(port) == RS232_PORT_FOUND) {
            const std::string path = RS232_GetDevicePath();
            text = "COM" + std::to_string(port) + "  " + path + "  ";
            entry = "{\"port\": " + std::to_string(port) + ", \"path\": " + CLI_Json(path) +
                    ", \"kaltro\": true";
            kaltroFields(false, text, entry);
            int model = -1;
            DEVOP_PowerAndIdentify(RS232_Pause, &model);
            deviceFields(false, model, text, entry);
            RS232_Term();
            found++;
        } else {
            const RS232_PortError_t *err = RS232_GetPortError();
            if (err->Fault == RS232_FAULT_NO_DEVICE || err->Fault == RS232_FAULT_NO_UART) continue;
            wchar_t why[PORTINFO_TEXT_LEN];
            std::string reason = PORTINFO_Message(err, why, PORTINFO_TEXT_LEN) != 0
                                     ? CLI_OneLine(why)
                                     : std::string("no Kaltro answered");
            text = "COM" + std::to_string(port) + "  " + err->Path + "  " + reason;
            entry = "{\"port\": " + std::to_string(port) + ", \"path\": " + CLI_Json(err->Path) +
                    ", \"kaltro\": false, \"reason\": " + CLI_Json(reason);
        }
        if (CliArgs.Json)
            json += (json.empty() ? "" : ", ") + entry + "}";
        else
            std::printf("%s\n", text.c_str());
    }
    const std::string members = ", \"ports\": [" + json + "]";
    CLI_JsonMembers(members);
    if (CLI_Interrupted()) return CLI_Fail(CLI_INTERRUPTED, "interrupted; the scan did not end");
    if (found == 0)
        return CLI_Fail(CLI_NO_DEVICE, "no Kaltro answered on any port; connect it and scan again");
    if (CliArgs.Json) std::printf("{\"ok\": true%s}\n", members.c_str());
    return CLI_OK;
}

/* ---- The settings sequences on the terminal ------------------------------------ */

struct Run_t {
    int Entry[SETOP_OPTION_COUNT]; /* the read's entries, then the user's choices */
    bool Due;
    unsigned DueMs;
    OpsEnd_t End;
};
static Run_t S;

/* The words of the command line for each option and its entries; the chain's
 * entries after "off" are its outputs or pairs. */
static const char *const Keys[SETOP_OPTION_COUNT] = {"en50494plus", "inputs", "output", "chain"};
static const unsigned Bits[SETOP_OPTION_COUNT] = {OPT_EN50494, OPT_INPUTS, OPT_OUTPUT, OPT_CHAIN};
static const char *const Words[SETOP_OPTION_COUNT][3] = {
    {"off", "on"}, {"quattro", "wideband"}, {"dcss", "legacy", "dcss+legacy"}, {"off"}};

static bool pairs()
{
    return SETOP_Values()->ChainPairs;
}

static int entryCount(int o)
{
    return o == SETOP_CHAIN ? SETOP_ChainEntryCount(pairs()) : SETOP_OptionEntries[o].Count;
}

/* Entry e of option o as its command-line word ("on", "3+4"). */
static std::string word(int o, int e)
{
    if (e < 0 || e >= entryCount(o)) return "unknown";
    if (o != SETOP_CHAIN || e == 0) return Words[o][e];
    wchar_t text[SETOP_FIELD_LEN];
    SETOP_ChainEntryText(e, pairs(), text, SETOP_FIELD_LEN);
    return CLI_Utf8(text);
}

/* Entry e of option o as the dialog's box shows it ("Yes", "3+4"). */
static std::string entryText(int o, int e)
{
    if (e < 0 || e >= entryCount(o)) return "???";
    if (o == SETOP_CHAIN && e > 0) return word(o, e);
    return CLI_Utf8(TXT(SETOP_OptionEntries[o].Texts[e]));
}

static void none(void *, int) {}
static void nothing(void *) {}

static void tick(void *, unsigned ms)
{
    S.Due = true;
    S.DueMs = ms;
}

static void ended(void *, const OpsEnd_t *end)
{
    S.End = *end;
}

static void pause(void *, unsigned ms)
{
    RS232_Pause(ms);
}

static const OpsDisplay_t Display = {nullptr, none, none, tick, tick, pause, ended, nothing};

/* Runs a sequence from its start to its outcome, each step at the time the
 * last asked for, or until a signal; returns the outcome. */
static OpsEnd_t runSequence()
{
    S.End = {OPS_CANCELLED, -1, -1};
    while (S.Due && !CLI_Interrupted()) {
        S.Due = false;
        RS232_Pause(S.DueMs);
        SETOP_Operation.Step();
    }
    if (CLI_Interrupted()) return SETOP_Operation.Cancel(OPS_ABANDON);
    return S.End;
}

/* What a step asked for, for a line ("the EN50494+ query"). */
static std::string stepName(int step)
{
    const int label = SETOP_StepLabel(step);
    return label >= 0 ? "the " + CLI_Utf8(TXT(label)) + " query" : "step " + std::to_string(step);
}

/* Opens the settings as the dialog does and reads them all. */
static int readSettings()
{
    S = Run_t{};
    S.Due = false;
    SETOP_Open(&Display);
    SETOP_StartRead();
    const OpsEnd_t end = runSequence();
    for (int o = 0; o < SETOP_OPTION_COUNT; o++)
        S.Entry[o] = SETOP_Values()->Entry[o];
    switch (end.Outcome) {
    case OPS_DONE: return CLI_OK;
    case OPS_CANCELLED:
        return CLI_Fail(CLI_INTERRUPTED, "interrupted while reading the settings; nothing was "
                                         "written");
    case OPS_NO_DEVICE:
        if (end.Where <= 1) return CLI_NoDevice();
        return CLI_Fail(CLI_NO_DEVICE, "the device stopped answering at " + stepName(end.Where) +
                                           "; nothing was written: check the LNB on the Kaltro's "
                                           "output and run the command again");
    default: return CLI_Fail(CLI_ExitCode(end.Outcome), CLI_OutcomeLine(end, nullptr));
    }
}

/* The device's options, as the dialog shows them and by their words. */
static void printOptions(std::string &text, std::string &json)
{
    std::string settable;
    for (int o = 0; o < SETOP_OPTION_COUNT; o++) {
        const bool can = SETOP_Values()->Settable[o];
        text += row(label(SETOP_OptionLabels[o]),
                    entryText(o, S.Entry[o]) + (can ? "" : " (not settable)"));
        json += ", " + CLI_Json(Keys[o]) + ": " + CLI_Json(word(o, S.Entry[o]));
        if (can) settable += std::string(settable.empty() ? "" : ", ") + CLI_Json(Keys[o]);
    }
    json += ", \"settable\": [" + settable + "]";
}

/* The JSON keys of the fields after the model, with their units. */
static const char *const FieldKeys[SETOP_FIELD_COUNT] = {
    "model",  "software",           "firmware", "config_version",
    "serial", "lo_frequencies_mhz", "ubs",      "temperature_c"};

/* Field f as read: the versions as the dialog's texts, the rest as numbers,
 * null where the dialog shows a placeholder ("???", "No SN"). */
static std::string fieldJson(int f)
{
    const std::string text = CLI_Utf8(SETOP_Values()->Field[f]);
    const int low = VelnorData.LOFreqL, high = VelnorData.LOFreqH;
    char list[32];
    switch (f) {
    case SETOP_SN:
        /* "lnbn" gives 32 bits: a serial number above 2^31 is no negative one */
        return VelnorData.SN == 0 || VelnorData.SN == -1
                   ? "null"
                   : std::to_string(static_cast<std::uint32_t>(VelnorData.SN));
    case SETOP_LO:
        if (low == high && low == 0) return "null";
        if (low == high)
            std::snprintf(list, sizeof list, "[%d]", low);
        else
            std::snprintf(list, sizeof list, "[%d, %d]", low, high);
        return list;
    case SETOP_UBS: return CLI_AllDigits(text) ? text : "null";
    case SETOP_TEMP: return std::to_string(VelnorData.Temperature);
    default: return CLI_Json(text);
    }
}

int CLI_CmdIdentify()
{
    if (const int r = CLI_OpenKaltro(); r != CLI_OK) return r;
    std::string text = row("Port", RS232_GetDevicePath());
    std::string json = ", \"path\": " + CLI_Json(RS232_GetDevicePath());
    kaltroFields(true, text, json);
    int model = -1;
    const OpsOutcome_t found = DEVOP_PowerAndIdentify(RS232_Pause, &model);
    deviceFields(true, model, text, json);
    CLI_JsonMembers(json); /* what a failure from here on tells too */
    const int r = found == OPS_DONE ? readSettings() : CLI_NO_DEVICE;
    if (r == CLI_OK) {
        for (int f = SETOP_MODEL + 1; f < SETOP_FIELD_COUNT; f++) {
            text += row(label(SETOP_FieldLabels[f]), CLI_Utf8(SETOP_Values()->Field[f]));
            json += ", " + CLI_Json(FieldKeys[f]) + ": " + fieldJson(f);
        }
        printOptions(text, json);
    }
    if (!CliArgs.Json)
        std::printf("%s", text.c_str());
    else if (r == CLI_OK)
        std::printf("{\"ok\": true%s}\n", json.c_str());
    if (found != OPS_DONE) return CLI_NoDevice(); /* after what did answer */
    return r;
}

/* The entry of option o that the command line names, or -1. */
static int pick(int o)
{
    for (int e = 0; e < entryCount(o); e++)
        if (CLI_Value(Bits[o]) == word(o, e)) return e;
    return -1;
}

/* Takes the options of the command line into the entries to write; the
 * chain is checked against the list of the inputs chosen. */
static int choose()
{
    for (int o = 0; o < SETOP_OPTION_COUNT; o++)
        if (CLI_Given(Bits[o]) && !SETOP_Values()->Settable[o])
            return CLI_Fail(CLI_REFUSED, "the device offers no " + label(SETOP_OptionLabels[o]) +
                                             " to set (it did not report one, or the " +
                                             CLI_ModelName(VelnorData.Model) +
                                             " has it fixed); nothing was written");
    if (CLI_Given(OPT_EN50494)) S.Entry[SETOP_EN50494] = pick(SETOP_EN50494);
    if (CLI_Given(OPT_OUTPUT)) S.Entry[SETOP_OUTPUT] = pick(SETOP_OUTPUT);
    const int inputs = CLI_Given(OPT_INPUTS) ? pick(SETOP_INPUTS) : S.Entry[SETOP_INPUTS];
    if (inputs != S.Entry[SETOP_INPUTS]) {
        S.Entry[SETOP_INPUTS] = inputs;
        SETOP_ChooseInputs(inputs);
        /* The new list starts at "No"; the chain read keeps its output. */
        S.Entry[SETOP_CHAIN] = VelnorData.ChainConnection > 0
                                   ? DCSS_ChainEntry(VelnorData.ChainConnection, pairs())
                                   : 0;
    }
    if (CLI_Given(OPT_CHAIN)) {
        const int e = pick(SETOP_CHAIN);
        if (e < 0)
            return CLI_Usage(std::string("--chain takes off or ") +
                                 (pairs() ? "1+2, 3+4, 5+6, 7+8" : "1 to 8") + " for this device",
                             "settings");
        S.Entry[SETOP_CHAIN] = e;
    }
    return CLI_OK;
}

/* What the device answered each setter of the write: a line each, and in
 * json whether it accepted (written) and what it said (answers). */
static void printWrites(std::string &text, std::string &json, std::string &answers)
{
    for (int o = 0; o < SETOP_OPTION_COUNT; o++) {
        const int answer = SETOP_Values()->Written[o];
        if (answer < 0) continue;
        const char *said = answer == RS232_REPLY_ACCEPTED  ? "accepted"
                           : answer == RS232_REPLY_REFUSED ? "refused"
                                                           : "no answer";
        text += label(SETOP_OptionLabels[o]) + " " + entryText(o, S.Entry[o]) + ": " + said + "\n";
        const std::string comma = json.empty() ? "" : ", ";
        json += comma + CLI_Json(Keys[o]) + (answer == RS232_REPLY_ACCEPTED ? ": true" : ": false");
        answers += comma + CLI_Json(Keys[o]) + ": " + CLI_Json(said);
    }
}

int CLI_CmdSettings()
{
    for (int o = 0; o < SETOP_CHAIN; o++)
        if (CLI_Given(Bits[o]) && pick(o) < 0)
            return CLI_Usage("--en50494plus takes on|off, --inputs wideband|quattro, --output "
                             "dcss|legacy|dcss+legacy",
                             "settings");
    if (const int r = CLI_OpenDevice("settings"); r != CLI_OK) return r;
    if (const int r = readSettings(); r != CLI_OK) return r;
    std::string text, json = ", \"model\": " + CLI_Json(CLI_ModelName(VelnorData.Model));
    if ((CliArgs.Given & (OPT_EN50494 | OPT_INPUTS | OPT_OUTPUT | OPT_CHAIN)) == 0) {
        text = row(label(TX_MODEL), CLI_ModelName(VelnorData.Model));
        printOptions(text, json);
        std::printf("%s", CliArgs.Json ? ("{\"ok\": true" + json + "}\n").c_str() : text.c_str());
        return CLI_OK;
    }
    if (const int r = choose(); r != CLI_OK) return r;
    SETOP_StartWrite(S.Entry);
    const OpsEnd_t end = runSequence();
    std::string written, writtenJson, answers;
    printWrites(written, writtenJson, answers);
    const std::string status = end.TextId >= 0 ? label(end.TextId) : std::string();
    json += ", \"outcome\": " + CLI_Json(OPS_OutcomeName(end.Outcome)) +
            ", \"status\": " + CLI_Json(status) + ", \"written\": {" + writtenJson +
            "}, \"answers\": {" + answers + "}";
    CLI_JsonMembers(json);
    if (end.Outcome == OPS_CANCELLED) {
        std::printf("%s", CliArgs.Json ? "" : written.c_str());
        return CLI_Fail(CLI_INTERRUPTED, "interrupted while writing the settings; those above "
                                         "were sent, the rest not");
    }
    const bool ok = end.Outcome == OPS_DONE;
    if (!CliArgs.Json)
        std::printf("%s%s\n", written.c_str(), status.c_str());
    else if (ok)
        std::printf("{\"ok\": true%s}\n", json.c_str());
    if (ok) return CLI_OK;
    if (end.Outcome == OPS_REFUSED)
        return CLI_Fail(CLI_REFUSED, status + ": the device refused the " +
                                         label(SETOP_OptionLabels[end.Where]) +
                                         "; brevant-cli settings shows what it holds now");
    if (end.Outcome == OPS_NO_DEVICE)
        return CLI_Fail(CLI_NO_DEVICE, status + ": the device did not answer the " +
                                           label(SETOP_OptionLabels[end.Where]) +
                                           "; check the LNB, then brevant-cli settings shows what "
                                           "it holds now");
    return CLI_Fail(CLI_ExitCode(end.Outcome), CLI_OutcomeLine(end, nullptr));
}
