/* main.cpp -- brevant-cli: the device operations and the file checks of
 * Brevant from a terminal and from scripts, without windows.
 *
 * One subcommand a run. The files are read and written by the same functions
 * as the main window's File menu, and the device operations are the dialogs'
 * own step machines (ops/), driven in a loop with the protocol's pauses;
 * only the showing differs (term.cpp).
 *
 * State: the parsed command line (Args), for the one subcommand that runs.
 */
#include "app/texts.h"
#include "cli/term.h"
#include "config/cfgfile.h"
#include "config/fileio.h"
#include "config/image.h"
#include "config/validate.h"
#include "config/velnor.h"
#include "dialogs/dcss.h"
#include "link/portinfo.h"
#include "link/rs232.h"
#include "ops/devop.h"
#include "ops/enop.h"
#include "ops/readop.h"
#include "ops/xferop.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

constexpr int MAX_POSITIONAL = 2;
constexpr int CHAIN_OUTPUT_COUNT = 8;

/* Options, as bits of what a subcommand takes. */
enum : unsigned {
    OPT_PORT = 1u << 0,
    OPT_MODEL = 1u << 1,
    OPT_OUT = 1u << 2,
    OPT_NAME = 1u << 3,
    OPT_EN50494 = 1u << 4,
    OPT_INPUTS = 1u << 5,
    OPT_OUTPUT = 1u << 6,
    OPT_CHAIN = 1u << 7,
};

struct Option_t {
    const char *Name;
    unsigned Bit;
};
static const Option_t Options[] = {
    {"--port", OPT_PORT},     {"--model", OPT_MODEL},         {"-o", OPT_OUT},
    {"--name", OPT_NAME},     {"--en50494plus", OPT_EN50494}, {"--inputs", OPT_INPUTS},
    {"--output", OPT_OUTPUT}, {"--chain", OPT_CHAIN},
};
constexpr int OPTION_COUNT = static_cast<int>(sizeof Options / sizeof Options[0]);

struct Args_t {
    bool Json = false;
    bool Help = false;
    unsigned Given = 0;
    std::string Value[OPTION_COUNT];
    std::string Positional[MAX_POSITIONAL];
    int PositionalCount = 0;
};
static Args_t Args;

static bool given(unsigned bit)
{
    return (Args.Given & bit) != 0;
}

static const std::string &value(unsigned bit)
{
    static const std::string none;
    for (int i = 0; i < OPTION_COUNT; i++)
        if (Options[i].Bit == bit) return Args.Value[i];
    return none;
}

/* ---- Help ------------------------------------------------------------------- */

struct Command_t {
    const char *Name;
    int (*Run)();
    unsigned Takes;
    int MinPositional, MaxPositional;
    const char *Usage;
    const char *Help;
};

static const char *const PROGRAM_HELP =
    "Usage: brevant-cli [--json] COMMAND [OPTIONS]\n"
    "Configures dCSS LNBs through the Kaltro controller, without windows.\n"
    "\n"
    "Commands:\n"
    "  scan             every port with a device, and what answers there\n"
    "  identify         the Kaltro and the device in full\n"
    "  check FILE       read a configuration file and validate it\n"
    "  export FILE      write the device image of a configuration file\n"
    "  program FILE     program a configuration file into the device\n"
    "  readout          read the device's configuration into a file\n"
    "  settings         show or write the device settings\n"
    "  upgrade-device FILE   send device software\n"
    "  upgrade-kaltro FILE   send Kaltro software\n"
    "  save-in-kaltro FILE   keep a configuration in the Kaltro\n"
    "  voltage [LEVEL]  show or set the supply level (0 to 15)\n"
    "\n"
    "Common options:\n"
    "  --port N|PATH    the COM number or device path of the Kaltro; without it\n"
    "                   the first port where a Kaltro answers\n"
    "  --model NAME     the device model (KX-100 ... KX-110)\n"
    "  --json           print one JSON object\n"
    "  --help           help, also after a command\n"
    "  --version        the program's version\n"
    "\n"
    "Exit status: 0 success, 1 the device or the file said no, 2 wrong usage,\n"
    "3 no Kaltro or no device, 4 a file could not be read or written.\n";

static int usageError(const std::string &what, const char *command)
{
    const std::string more = command != nullptr ? std::string(" ") + command : std::string();
    return CLI_Fail(CLI_USAGE, what + "; see brevant-cli" + more + " --help");
}

/* ---- Port and device ------------------------------------------------------------ */

static std::string oneLine(const wchar_t *text)
{
    std::string s = CLI_Utf8(text);
    for (char &c : s)
        if (c == '\n' || c == '\r') c = ' ';
    return s;
}

/* The one line for a port that could not be used. */
static int portFailure(const RS232_PortError_t *err, const std::string &port)
{
    wchar_t text[PORTINFO_TEXT_LEN];
    if (PORTINFO_Message(err, text, PORTINFO_TEXT_LEN) != 0)
        return CLI_Fail(CLI_NO_DEVICE, oneLine(text));
    if (err->Fault == RS232_FAULT_NO_KALTRO)
        return CLI_Fail(CLI_NO_DEVICE, "no Kaltro answered on " + std::string(err->Path) +
                                           "; check its cable and power, or name its port");
    if (err->Fault == RS232_FAULT_NO_UART)
        return CLI_Fail(CLI_NO_DEVICE, port + " has no UART behind it; name the Kaltro's port");
    return CLI_Fail(CLI_NO_DEVICE, port + " names no serial device; plug in the Kaltro or name "
                                          "its port with --port");
}

static bool allDigits(const std::string &s)
{
    if (s.empty()) return false;
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

/* Opens the Kaltro's port: --port, or the first where a Kaltro answers. */
static int openKaltro()
{
    if (given(OPT_PORT)) {
        const std::string &port = value(OPT_PORT);
        if (allDigits(port)) {
            const long n = std::strtol(port.c_str(), nullptr, 10);
            if (n < 1 || n > RS232_PORT_LIMIT)
                return usageError("--port takes a COM number from 1 to 1024 or a device path",
                                  nullptr);
            if (RS232_OpenPort(static_cast<int>(n)) != RS232_OK)
                return portFailure(RS232_GetPortError(), "COM" + port);
            return CLI_OK;
        }
        if (RS232_OpenPath(port.c_str()) != RS232_OK)
            return portFailure(RS232_GetPortError(), port);
        return CLI_OK;
    }
    RS232_ResetPortNumber();
    for (;;) {
        const int r = RS232_Progress();
        if (r == RS232_PORT_FOUND) return CLI_OK;
        if (r == RS232_PORT_NO_MORE) break;
    }
    const RS232_PortError_t *refused = RS232_GetScanRefusal();
    if (refused->Fault != RS232_FAULT_NONE) return portFailure(refused, refused->Path);
    return CLI_Fail(CLI_NO_DEVICE,
                    "no Kaltro answered on any port; connect it, or name its port with --port");
}

/* The model of --model, or -1 (an error told) when it names none. */
static int modelOption(const char *command)
{
    std::wstring wide(value(OPT_MODEL).begin(), value(OPT_MODEL).end());
    const int model = DCSS_FindModel(wide.c_str());
    if (model < 0)
        usageError("unknown model '" + value(OPT_MODEL) + "' (KX-100 ... KX-110)", command);
    return model;
}

static std::string modelName(int model)
{
    return CLI_Utf8(DCSS_GetModelName(model));
}

/* Opens the Kaltro, powers and identifies the device, and makes its model
 * the table's (--model must agree). */
static int openDevice(const char *command)
{
    int wanted = -1;
    if (given(OPT_MODEL) && (wanted = modelOption(command)) < 0) return CLI_USAGE;
    if (const int r = openKaltro(); r != CLI_OK) return r;
    const int model = DEVOP_PowerAndIdentify(RS232_Pause);
    if (model < 0)
        return CLI_Fail(CLI_NO_DEVICE,
                        "no dCSS device answered; check the LNB on the Kaltro's output");
    if (wanted >= 0 && wanted != model)
        return CLI_Fail(CLI_REFUSED, CLI_Utf8(TXT(TX_WRONG_DEVICE)) + ": the device is a " +
                                         modelName(model) + ", not a " + modelName(wanted));
    VelnorData.Model = static_cast<std::int8_t>(model);
    MAIN_InitStruct();
    return CLI_OK;
}

/* ---- Files ------------------------------------------------------------------------ */

static int fileFailure(const std::string &what, const std::string &path)
{
    return CLI_Fail(CLI_FILE_ERROR, what + " " + path + ": " + BREVCFG_FileReason());
}

/* Reads a configuration file as "Open File..." does for the table's model,
 * and validates it. */
static int loadTable(const std::string &path)
{
    if (BREVCFG_LoadConfigFile(path.c_str(), VelnorCfg, VelnorData.UBNumber) != BREVCFG_FILE_OK)
        return fileFailure("cannot read", path);
    BREVCFG_RepairRanges(VelnorCfg, VelnorData.UBNumber, DCSS_IsENGroup(VelnorData.Model));
    MAIN_ValidateTable();
    return CLI_OK;
}

static bool rowError(const VelnorCfg_t &row)
{
    return row.UBNo >= MAX_UB || BoxColor[row.UBNo] == BOX_RED;
}

static std::string rowStatus(const VelnorCfg_t &row)
{
    return row.UBNo < MAX_UB ? CLI_Utf8(ErrorText[row.UBNo]) : std::string();
}

static int errorRows()
{
    int n = 0;
    for (int r = 0; r < MAIN_RowsInTable(VelnorData.UBNumber); r++)
        if (rowError(VelnorCfg[r])) n++;
    return n;
}

static int refuseFaultyTable(const std::string &path)
{
    return CLI_Fail(CLI_REFUSED, path + " has " + std::to_string(errorRows()) +
                                     " faulty rows for the " + modelName(VelnorData.Model) +
                                     "; brevant-cli check shows them");
}

static void printRows()
{
    const int n = MAIN_RowsInTable(VelnorData.UBNumber);
    if (Args.Json) {
        std::printf("{\"model\": %s, \"ok\": %s, \"rows\": [",
                    CLI_Json(modelName(VelnorData.Model)).c_str(),
                    ConfigOK == 0 ? "true" : "false");
        for (int r = 0; r < n; r++) {
            const VelnorCfg_t &w = VelnorCfg[r];
            std::printf("%s{\"row\": %d, \"ub\": %u, \"status\": %s, \"error\": %s, "
                        "\"Active\": %d, \"UBNo\": %u, \"Feed\": %u, \"UBFreq\": %u, "
                        "\"UBFreqDec\": %u, \"BW\": %u, \"StaticMode\": %d, \"ConvFreq\": %u, "
                        "\"ConvPol\": %s, \"AGCVal\": %d, \"SpectralInversion\": %u}",
                        r > 0 ? ", " : "", r, w.UBNo, CLI_Json(rowStatus(w)).c_str(),
                        rowError(w) ? "true" : "false", w.Active, w.UBNo, w.Feed, w.UBFreq,
                        w.UBFreqDec, w.BW, w.StaticMode, w.ConvFreq,
                        CLI_Json(std::string(1, w.ConvPol)).c_str(), w.AGCVal, w.SpectralInversion);
        }
        std::printf("]}\n");
        return;
    }
    std::printf("Model %s\n", modelName(VelnorData.Model).c_str());
    std::printf("Row UB  Frequency    BW  Level  Static          Inv  Status\n");
    for (int r = 0; r < n; r++) {
        const VelnorCfg_t &w = VelnorCfg[r];
        char fixed[32] = "-";
        if (w.StaticMode != 0)
            std::snprintf(fixed, sizeof fixed, "%u %c feed %u", w.ConvFreq, w.ConvPol, w.Feed);
        std::printf("%3d %2u  %4u.%u MHz  %3u  %5d  %-15s %3u  %s%s\n", r, w.UBNo, w.UBFreq,
                    w.UBFreqDec, w.BW, w.AGCVal, fixed, w.SpectralInversion,
                    rowError(w) ? "ERROR " : "", rowStatus(w).c_str());
    }
}

/* Loads a whole binary file into buffer (released by the caller). */
static int loadBinary(const std::string &path, unsigned char **buffer, int *size)
{
    if (BREVCFG_LoadWholeFile(path.c_str(), buffer, size) != 0)
        return fileFailure("cannot read", path);
    if (*size <= 0) return CLI_Fail(CLI_FILE_ERROR, path + " is empty; choose the software file");
    return CLI_OK;
}

/* ---- Device operations -------------------------------------------------------------- */

/* Ends an operation: the exit code of its last text, told on failure. */
static int finish(const CliRun_t &run)
{
    const int code = CLI_RunCode(run);
    const std::string text = run.TextId >= 0 ? CLI_Utf8(TXT(run.TextId)) : std::string();
    if (Args.Json)
        std::printf("{\"ok\": %s, \"status\": %s}\n", code == CLI_OK ? "true" : "false",
                    CLI_Json(text).c_str());
    if (code != CLI_OK)
        CLI_Fail(code, text + (code == CLI_NO_DEVICE ? " (check the Kaltro and the LNB)"
                                                     : " (nothing more was sent)"));
    return code;
}

static int transfer(int mode, const unsigned char *image, int size)
{
    XFEROP_SetMode(mode, image, size);
    const CliRun_t run = CLI_RunOperation(XFEROP_Open, XFEROP_Step, Args.Json);
    XFEROP_SetMode(mode, nullptr, 0); /* the image is the caller's */
    return finish(run);
}

/* ---- Commands ------------------------------------------------------------------------- */

static int cmdCheck()
{
    const int model = modelOption("check");
    if (model < 0) return CLI_USAGE;
    VelnorData.Model = static_cast<std::int8_t>(model);
    MAIN_InitStruct();
    if (const int r = loadTable(Args.Positional[0]); r != CLI_OK) return r;
    printRows();
    return ConfigOK == 0 ? CLI_OK : refuseFaultyTable(Args.Positional[0]);
}

static int cmdExport()
{
    const int model = modelOption("export");
    if (model < 0) return CLI_USAGE;
    VelnorData.Model = static_cast<std::int8_t>(model);
    MAIN_InitStruct();
    const std::string &file = Args.Positional[0];
    if (const int r = loadTable(file); r != CLI_OK) return r;
    if (ConfigOK != 0) return refuseFaultyTable(file);
    std::array<unsigned char, BREVCFG_IMAGE_MAX> image{};
    const std::int32_t size = DCSS_IsENGroup(model)
                                  ? BREVCFG_CompileEN(VelnorCfg, &VelnorData, image.data(), 0)
                                  : BREVCFG_CompileMxL(VelnorCfg, &VelnorData, image.data());
    const std::string &out = value(OPT_OUT);
    if (BREVCFG_SaveBytesFile(out.c_str(), image.data(), static_cast<std::size_t>(size),
                              BREVCFG_REPLACE) != BREVCFG_FILE_OK)
        return fileFailure("cannot write", out);
    if (Args.Json)
        std::printf("{\"ok\": true, \"image\": %s, \"bytes\": %d}\n", CLI_Json(out).c_str(), size);
    return CLI_OK;
}

/* Opens the device, then reads the file given for its model and validates
 * it; a faulty table is refused. CLI_OK when there is a table to send. */
static int openValidTable(const char *command)
{
    if (const int r = openDevice(command); r != CLI_OK) return r;
    const std::string &file = Args.Positional[0];
    if (const int r = loadTable(file); r != CLI_OK) return r;
    return ConfigOK != 0 ? refuseFaultyTable(file) : CLI_OK;
}

static int cmdProgram()
{
    if (const int r = openValidTable("program"); r != CLI_OK) return r;
    if (DCSS_IsENGroup(VelnorData.Model)) {
        /* EN-group devices take their bands one by one. */
        RS232_StoreDBaseVer(VelnorData.DBaseVersion);
        return finish(CLI_RunOperation(ENOP_Open, ENOP_Step, Args.Json));
    }
    std::array<unsigned char, BREVCFG_IMAGE_MAX> image{};
    const std::int32_t size = BREVCFG_CompileMxL(VelnorCfg, &VelnorData, image.data());
    return transfer(XM_TYPE_DEVICE, image.data(), size);
}

static int cmdReadout()
{
    if (const int r = openDevice("readout"); r != CLI_OK) return r;
    VelnorData.DBaseVersion = static_cast<std::uint8_t>(RS232_GetDBaseVersion());
    const int code = finish(CLI_RunOperation(READOP_Open, READOP_Step, Args.Json));
    if (code != CLI_OK) return code;
    const std::string &out = value(OPT_OUT);
    if (BREVCFG_SaveConfigFile(out.c_str(), VelnorCfg, VelnorData.UBNumber, BREVCFG_REPLACE) !=
        BREVCFG_FILE_OK)
        return fileFailure("cannot write", out);
    return CLI_OK;
}

static int cmdUpgradeDevice()
{
    if (const int r = openDevice("upgrade-device"); r != CLI_OK) return r;
    unsigned char *buffer = nullptr;
    int size = 0;
    int code = loadBinary(Args.Positional[0], &buffer, &size);
    if (code == CLI_OK) code = transfer(XM_TYPE_DEVICE, buffer, size);
    BREVCFG_DeallocFileBuffer(buffer);
    return code;
}

static int cmdUpgradeKaltro()
{
    unsigned char *buffer = nullptr;
    int size = 0;
    int code = loadBinary(Args.Positional[0], &buffer, &size);
    if (code == CLI_OK) code = openKaltro();
    if (code == CLI_OK) code = transfer(XM_TYPE_KALTRO_SW, buffer, size);
    BREVCFG_DeallocFileBuffer(buffer);
    return code;
}

static int cmdSaveInKaltro()
{
    if (const int r = openValidTable("save-in-kaltro"); r != CLI_OK) return r;
    std::array<unsigned char, DEVOP_KALTRO_IMAGE> image{};
    const int size = DEVOP_PrepareKaltroCfg(value(OPT_NAME).c_str(), image.data(), RS232_Pause);
    return transfer(XM_TYPE_KALTRO_CFG, image.data(), size);
}

static int cmdVoltage()
{
    int level = -1;
    if (Args.PositionalCount > 0) {
        const std::string &v = Args.Positional[0];
        level = allDigits(v) ? std::atoi(v.c_str()) : -1;
        if (level < 0 || level >= DEVOP_LEVEL_COUNT)
            return usageError("the supply level is a number from 0 to 15", "voltage");
    }
    if (const int r = openKaltro(); r != CLI_OK) return r;
    if (level >= 0) RS232_SetVoltage(level);
    const int now = RS232_GetVoltage();
    const std::string volts = CLI_Utf8(DEVOP_VoltageLabel(now));
    if (Args.Json)
        std::printf("{\"ok\": true, \"level\": %d, \"voltage\": %s}\n", now,
                    CLI_Json(volts).c_str());
    else
        std::printf("Supply level %d (%s)\n", now, volts.c_str());
    return CLI_OK;
}

/* What scan and identify tell of the Kaltro on the open port. */
static void kaltroFields(std::string &text, std::string &json)
{
    const unsigned ver = RS232_GetKaltroSWVer();
    const int level = RS232_GetVoltage();
    char line[160];
    std::snprintf(line, sizeof line, "Kaltro software %u.%u, supply level %d (%s)", ver >> 8,
                  ver & 0xFF, level, CLI_Utf8(DEVOP_VoltageLabel(level)).c_str());
    text += line;
    std::snprintf(line, sizeof line, "\"kaltro_version\": \"%u.%u\", \"level\": %d", ver >> 8,
                  ver & 0xFF, level);
    json += line;
}

static void deviceFields(int model, std::string &text, std::string &json)
{
    if (model < 0) {
        text += ", no dCSS device";
        json += ", \"model\": null";
        return;
    }
    char line[160];
    std::snprintf(line, sizeof line, ", device ID %d, model %s", DCSS_GetDeviceID(model),
                  modelName(model).c_str());
    text += line;
    std::snprintf(line, sizeof line, ", \"device_id\": %d, \"model\": %s", DCSS_GetDeviceID(model),
                  CLI_Json(modelName(model)).c_str());
    json += line;
}

static int cmdScan()
{
    std::string json;
    int found = 0;
    RS232_ResetPortNumber();
    for (;;) {
        const int r = RS232_Progress();
        if (r == RS232_PORT_NO_MORE) break;
        const int port = RS232_GetLastPortNumber();
        std::string text, entry;
        if (r == RS232_PORT_FOUND) {
            const std::string path = RS232_GetDevicePath();
            text = "COM" + std::to_string(port) + "  " + path + "  ";
            entry = "{\"port\": " + std::to_string(port) + ", \"path\": " + CLI_Json(path) +
                    ", \"kaltro\": true, ";
            kaltroFields(text, entry);
            deviceFields(DEVOP_PowerAndIdentify(RS232_Pause), text, entry);
            RS232_Term();
            RS232_SetPortNumber(port + 1);
            found++;
        } else {
            /* RS232_Progress has moved on to the next number. */
            const RS232_PortError_t *err = RS232_GetPortError();
            if (err->Fault == RS232_FAULT_NO_DEVICE || err->Fault == RS232_FAULT_NO_UART) continue;
            wchar_t why[PORTINFO_TEXT_LEN];
            std::string reason = PORTINFO_Message(err, why, PORTINFO_TEXT_LEN) != 0
                                     ? oneLine(why)
                                     : std::string("no Kaltro answered");
            text = "COM" + std::to_string(port - 1) + "  " + err->Path + "  " + reason;
            entry = "{\"port\": " + std::to_string(port - 1) +
                    ", \"path\": " + CLI_Json(err->Path) +
                    ", \"kaltro\": false, \"reason\": " + CLI_Json(reason);
        }
        if (Args.Json)
            json += (json.empty() ? "" : ", ") + entry + "}";
        else
            std::printf("%s\n", text.c_str());
    }
    if (Args.Json) std::printf("{\"ports\": [%s]}\n", json.c_str());
    if (found > 0) return CLI_OK;
    return CLI_Fail(CLI_NO_DEVICE, "no Kaltro answered on any port; connect it and scan again");
}

/* The device's settings as the device settings dialog reads them. */
struct Settings_t {
    int EN50494Plus, WideBand, Legacy, Chain;
};

static Settings_t readSettings()
{
    Settings_t s{};
    const int model = VelnorData.Model;
    s.EN50494Plus = RS232_GetEN50494Plus();
    s.WideBand = DCSS_ReadsInputsType(model) ? RS232_GetWideBandInfo() : (model == 4 ? 0 : 1);
    s.Legacy = RS232_GetLegacyInfo();
    s.Chain = RS232_GetChainConnection();
    VelnorData.EN50494Plus = static_cast<std::int8_t>(s.EN50494Plus);
    VelnorData.WideBand = static_cast<std::int8_t>(s.WideBand);
    return s;
}

static std::string chainText(int v)
{
    if (v < 0) return "unknown";
    if ((v & DCSS_CHAIN_ON) == 0) return "off";
    const int output = v & 7;
    if (DCSS_ChainPairList(VelnorData.Model, VelnorData.WideBand))
        return std::to_string(output + 1) + "+" + std::to_string(output + 2);
    return std::to_string(output + 1);
}

static const char *optionText(int v, const char *const *names, int count)
{
    return v >= 0 && v < count ? names[v] : "unknown";
}

static const char *const OnOff[] = {"off", "on"};
static const char *const Inputs[] = {"quattro", "wideband"};
static const char *const Outputs[] = {"dcss", "legacy", "dcss+legacy"};

static void printSettings(const Settings_t &s, std::string &text, std::string &json)
{
    char line[256];
    std::snprintf(line, sizeof line, "EN50494+ %s\nInputs %s\nOutput %s\nChain %s\n",
                  optionText(s.EN50494Plus, OnOff, 2), optionText(s.WideBand, Inputs, 2),
                  optionText(s.Legacy, Outputs, 3), chainText(s.Chain).c_str());
    text += line;
    std::snprintf(
        line, sizeof line, "\"en50494plus\": %s, \"inputs\": %s, \"output\": %s, \"chain\": %s",
        CLI_Json(optionText(s.EN50494Plus, OnOff, 2)).c_str(),
        CLI_Json(optionText(s.WideBand, Inputs, 2)).c_str(),
        CLI_Json(optionText(s.Legacy, Outputs, 3)).c_str(), CLI_Json(chainText(s.Chain)).c_str());
    json += line;
}

static int cmdIdentify()
{
    if (const int r = openKaltro(); r != CLI_OK) return r;
    std::string text = "Port " + std::string(RS232_GetDevicePath()) + "\n", json = "{";
    kaltroFields(text, json);
    const int model = DEVOP_PowerAndIdentify(RS232_Pause);
    deviceFields(model, text, json);
    if (model < 0) {
        std::printf("%s\n", Args.Json ? (json + "}").c_str() : text.c_str());
        return CLI_Fail(CLI_NO_DEVICE, "no dCSS device answered; check the LNB on the Kaltro's "
                                       "output");
    }
    VelnorData.Model = static_cast<std::int8_t>(model);
    const unsigned sw = static_cast<std::uint8_t>(RS232_GetSWVersion());
    const unsigned fw = static_cast<unsigned>(RS232_GetFWVersion());
    const unsigned db = static_cast<std::uint8_t>(RS232_GetDBaseVersion());
    const int sn = RS232_GetSN();
    int loL = 0, loH = 0;
    RS232_GetLOFrequency(&loL, &loH);
    const int ubs = RS232_GetUBNumber();
    const int temp = RS232_GetTemperature();
    char line[512];
    std::snprintf(line, sizeof line,
                  "\nSoftware %u.%u\nFirmware %u.%u.%u.%u\nConfiguration version %u.%u\n"
                  "Serial number %d\nLO frequencies %d / %d MHz\nUBs %d\nTemperature %d C\n",
                  sw >> 4, sw & 15, fw >> 24, (fw >> 16) & 255, (fw >> 8) & 255, fw & 255, db >> 4,
                  db & 15, sn, loL, loH, ubs, temp);
    text += line;
    std::snprintf(line, sizeof line,
                  ", \"software\": \"%u.%u\", \"firmware\": \"%u.%u.%u.%u\", "
                  "\"config_version\": \"%u.%u\", \"serial\": %d, \"lo_low\": %d, \"lo_high\": %d, "
                  "\"ubs\": %d, \"temperature\": %d, ",
                  sw >> 4, sw & 15, fw >> 24, (fw >> 16) & 255, (fw >> 8) & 255, fw & 255, db >> 4,
                  db & 15, sn, loL, loH, ubs, temp);
    json += line;
    printSettings(readSettings(), text, json);
    std::printf("%s", Args.Json ? (json + "}\n").c_str() : text.c_str());
    return CLI_OK;
}

/* The index of word among names, or -1. */
static int pick(const std::string &word, const char *const *names, int count)
{
    for (int i = 0; i < count; i++)
        if (word == names[i]) return i;
    return -1;
}

/* One setter and its acknowledgement; false when refused or unanswered. */
static bool reportWrite(const char *what, std::string &text, std::string &json)
{
    const bool ok = RS232_GetDrainReply() == RS232_OK;
    text += std::string(what) + (ok ? " accepted\n" : " refused\n");
    json +=
        std::string(json.size() > 1 ? ", " : "") + CLI_Json(what) + ": " + (ok ? "true" : "false");
    return ok;
}

static int cmdSettings()
{
    const unsigned writes = OPT_EN50494 | OPT_INPUTS | OPT_OUTPUT | OPT_CHAIN;
    const int en = given(OPT_EN50494) ? pick(value(OPT_EN50494), OnOff, 2) : 0;
    const int inputs = given(OPT_INPUTS) ? pick(value(OPT_INPUTS), Inputs, 2) : 0;
    const int output = given(OPT_OUTPUT) ? pick(value(OPT_OUTPUT), Outputs, 2) : 0;
    if (en < 0 || inputs < 0 || output < 0)
        return usageError("--en50494plus takes on|off, --inputs wideband|quattro, --output "
                          "dcss|legacy",
                          "settings");
    if (const int r = openDevice("settings"); r != CLI_OK) return r;
    const Settings_t now = readSettings();
    std::string text, json = "{";
    if ((Args.Given & writes) == 0) {
        printSettings(now, text, json);
        std::printf("%s", Args.Json ? (json + "}\n").c_str() : text.c_str());
        return CLI_OK;
    }
    int chainOutput = -1; /* -1 off */
    if (given(OPT_CHAIN) && value(OPT_CHAIN) != "off") {
        const bool pairs = DCSS_ChainPairList(VelnorData.Model, VelnorData.WideBand) != 0;
        for (int e = 1; e <= (pairs ? CHAIN_OUTPUT_COUNT / 2 : CHAIN_OUTPUT_COUNT); e++) {
            const int out = DCSS_ChainOutput(e, pairs);
            const std::string name = pairs ? std::to_string(out + 1) + "+" + std::to_string(out + 2)
                                           : std::to_string(out + 1);
            if (name == value(OPT_CHAIN)) chainOutput = out;
        }
        if (chainOutput < 0)
            return usageError(std::string("--chain takes off or ") +
                                  (pairs ? "1+2, 3+4, 5+6, 7+8" : "1 to 8") + " for this device",
                              "settings");
    }
    bool all = true;
    if (given(OPT_EN50494)) {
        RS232_SetEN50494Plus(static_cast<std::uint8_t>(en));
        all = reportWrite("en50494plus", text, json) && all;
    }
    if (given(OPT_INPUTS)) {
        RS232_SetInputsType(static_cast<std::uint8_t>(inputs));
        all = reportWrite("inputs", text, json) && all;
    }
    if (given(OPT_OUTPUT)) {
        RS232_SetLegacyInfo(static_cast<std::uint8_t>(output));
        all = reportWrite("output", text, json) && all;
    }
    if (given(OPT_CHAIN)) {
        if (chainOutput >= 0)
            RS232_SetChainConnection(1, chainOutput | DCSS_CHAIN_ON);
        else
            RS232_SetChainConnection(0, 0);
        all = reportWrite("chain", text, json) && all;
    }
    std::printf("%s", Args.Json ? (json + "}\n").c_str() : text.c_str());
    if (!all) return CLI_Fail(CLI_REFUSED, "the device refused a setting; check the values");
    return CLI_OK;
}

static const Command_t Commands[] = {
    {"scan", cmdScan, 0, 0, 0, "brevant-cli scan",
     "Tries every port number and lists each that has a device: its path and what\n"
     "answers there (Kaltro software and supply level, device ID and model).\n"
     "Devices with a low supply are powered, as the start-up window does.\n"},
    {"identify", cmdIdentify, OPT_PORT, 0, 0, "brevant-cli identify [--port N|PATH]",
     "The Kaltro and the device in full: versions, serial number, LO frequencies,\n"
     "UB count, temperature and the device settings.\n"},
    {"check", cmdCheck, OPT_MODEL, 1, 1, "brevant-cli check FILE --model NAME",
     "Reads FILE as \"Open File...\" does for the model and prints one line per row\n"
     "with the status the main window shows. Exit 0 when every row is OK, 1 when a\n"
     "row has an error.\n"},
    {"export", cmdExport, OPT_MODEL | OPT_OUT, 1, 1,
     "brevant-cli export FILE --model NAME -o IMAGE",
     "Writes the device image \"Export\" writes, after the same validation.\n"},
    {"program", cmdProgram, OPT_PORT | OPT_MODEL, 1, 1,
     "brevant-cli program FILE [--port N|PATH] [--model NAME]",
     "Identifies the device (--model must agree with it), reads FILE for its model,\n"
     "validates it and programs it: an image by XModem, or row by row for the EN\n"
     "group.\n"},
    {"readout", cmdReadout, OPT_PORT | OPT_MODEL | OPT_OUT, 0, 0,
     "brevant-cli readout [--port N|PATH] -o FILE",
     "Reads the device's UB table and saves it as \"Save File...\" would.\n"},
    {"settings", cmdSettings,
     OPT_PORT | OPT_MODEL | OPT_EN50494 | OPT_INPUTS | OPT_OUTPUT | OPT_CHAIN, 0, 0,
     "brevant-cli settings [--port N|PATH] [--en50494plus on|off] [--inputs wideband|quattro]\n"
     "                     [--output dcss|legacy] [--chain off|1..8|1+2..7+8]",
     "Without options prints the device settings; with options writes them and\n"
     "reports each setter's acknowledgement.\n"},
    {"upgrade-device", cmdUpgradeDevice, OPT_PORT | OPT_MODEL, 1, 1,
     "brevant-cli upgrade-device FILE [--port N|PATH]",
     "Sends device software to the dCSS device.\n"},
    {"upgrade-kaltro", cmdUpgradeKaltro, OPT_PORT, 1, 1,
     "brevant-cli upgrade-kaltro FILE [--port N|PATH]", "Sends software to the Kaltro.\n"},
    {"save-in-kaltro", cmdSaveInKaltro, OPT_PORT | OPT_MODEL | OPT_NAME, 1, 1,
     "brevant-cli save-in-kaltro FILE --name NAME [--port N|PATH] [--model NAME]",
     "Validates FILE for the device's model and keeps it in the Kaltro under NAME\n"
     "(at most 43 characters), for the Kaltro to program devices on its own.\n"},
    {"voltage", cmdVoltage, OPT_PORT, 0, 1, "brevant-cli voltage [LEVEL] [--port N|PATH]",
     "Prints the supply level, or sets it (0 to 15) first.\n"},
};

static const Command_t *findCommand(const char *name)
{
    for (const Command_t &c : Commands)
        if (std::strcmp(c.Name, name) == 0) return &c;
    return nullptr;
}

/* Parses the words after the command into Args; a usage error is told. */
static int parse(const Command_t &cmd, int argc, char **argv)
{
    for (int i = 0; i < argc; i++) {
        std::string word = argv[i];
        if (word == "--help" || word == "-h") {
            Args.Help = true;
            continue;
        }
        if (word == "--json") {
            Args.Json = true;
            continue;
        }
        if (word.size() > 1 && word[0] == '-') {
            std::string v;
            bool inlineValue = false;
            if (const auto eq = word.find('='); eq != std::string::npos) {
                v = word.substr(eq + 1);
                word = word.substr(0, eq);
                inlineValue = true;
            }
            int k = 0;
            while (k < OPTION_COUNT && word != Options[k].Name)
                k++;
            if (k == OPTION_COUNT || (cmd.Takes & Options[k].Bit) == 0)
                return usageError("unknown option " + word + " for " + cmd.Name, cmd.Name);
            if (!inlineValue) {
                if (i + 1 >= argc) return usageError(word + " needs a value", cmd.Name);
                v = argv[++i];
            }
            Args.Given |= Options[k].Bit;
            Args.Value[k] = v;
            continue;
        }
        if (Args.PositionalCount >= cmd.MaxPositional)
            return usageError("too many arguments for " + std::string(cmd.Name), cmd.Name);
        Args.Positional[Args.PositionalCount++] = word;
    }
    if (Args.Help) return CLI_OK;
    if (Args.PositionalCount < cmd.MinPositional)
        return usageError(std::string(cmd.Name) + " needs a file", cmd.Name);
    const unsigned none = 0;
    const unsigned needed = (cmd.Run == cmdCheck || cmd.Run == cmdExport ? OPT_MODEL : none) |
                            (cmd.Run == cmdExport || cmd.Run == cmdReadout ? OPT_OUT : none) |
                            (cmd.Run == cmdSaveInKaltro ? OPT_NAME : none);
    for (int k = 0; k < OPTION_COUNT; k++)
        if ((needed & Options[k].Bit) != 0 && !given(Options[k].Bit))
            return usageError(std::string(cmd.Name) + " needs " + Options[k].Name, cmd.Name);
    return CLI_OK;
}

int main(int argc, char **argv)
{
    int first = 1;
    for (; first < argc; first++) {
        const std::string word = argv[first];
        if (word == "--json") {
            Args.Json = true;
        } else if (word == "--help" || word == "-h") {
            std::printf("%s", PROGRAM_HELP);
            return CLI_OK;
        } else if (word == "--version") {
            std::printf("brevant-cli %s\n", BREVANT_VERSION);
            return CLI_OK;
        } else {
            break;
        }
    }
    if (first >= argc) return usageError("no command given", nullptr);
    const Command_t *cmd = findCommand(argv[first]);
    if (cmd == nullptr) return usageError(std::string("unknown command ") + argv[first], nullptr);
    if (const int r = parse(*cmd, argc - first - 1, argv + first + 1); r != CLI_OK) return r;
    if (Args.Help) {
        std::printf("Usage: %s\n%s", cmd->Usage, cmd->Help);
        return CLI_OK;
    }
    const int code = cmd->Run();
    RS232_Term();
    return code;
}
