/* port.cpp -- brevant-cli's way to the Kaltro and the device: the port of
 * --port or the first where a Kaltro answers, the device powered and
 * identified as the start-up window does, and a port that cannot be used told
 * on one line as the windows tell it.
 */
#include "cli/cli.h"
#include "cli/term.h"
#include "config/dcss.h"
#include "config/fileio.h"
#include "config/texts.h"
#include "config/validate.h"
#include "config/velnor.h"
#include "link/portinfo.h"
#include "link/rs232.h"
#include "ops/devop.h"

#include <cstdlib>

std::string CLI_OneLine(const wchar_t *text)
{
    /* A box's text is paragraphs apart by blank lines, a command the user is
     * to type indented by itself; on one line the paragraphs follow one
     * another, each command in quotes, and every run of blanks is one. */
    const std::string s = CLI_Utf8(text);
    std::string line;
    std::size_t at = 0;
    while (at < s.size()) {
        std::size_t end = s.find('\n', at);
        if (end == std::string::npos) end = s.size();
        const bool command = s.compare(at, 4, "    ") == 0;
        std::string part = s.substr(at, end - at);
        at = end + 1;
        const std::size_t first = part.find_first_not_of(" \t\r");
        if (first == std::string::npos) continue;
        part = part.substr(first, part.find_last_not_of(" \t\r") + 1 - first);
        if (!line.empty()) line += ' ';
        line += command ? "'" + part + "'" : part;
    }
    return line;
}

/* The one line for a port that could not be used. */
static int portFailure(const RS232_PortError_t *err, const std::string &port)
{
    wchar_t text[PORTINFO_TEXT_LEN];
    if (PORTINFO_Message(err, text, PORTINFO_TEXT_LEN) != 0)
        return CLI_Fail(CLI_NO_DEVICE, CLI_OneLine(text));
    if (err->Fault == RS232_FAULT_NO_KALTRO)
        return CLI_Fail(CLI_NO_DEVICE, "no Kaltro answered on " + std::string(err->Path) +
                                           "; check its cable and power, or name its port");
    if (err->Fault == RS232_FAULT_NO_UART)
        return CLI_Fail(CLI_NO_DEVICE, port + " has no UART behind it; name the Kaltro's port");
    return CLI_Fail(CLI_NO_DEVICE, port + " names no serial device; plug in the Kaltro or name "
                                          "its port with --port");
}

bool CLI_AllDigits(const std::string &s)
{
    if (s.empty()) return false;
    for (const char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

bool CLI_PortOption(const std::string &port, int *number)
{
    if (number != nullptr) *number = 0;
    if (CLI_AllDigits(port)) {
        const long n = port.size() <= 5 ? std::strtol(port.c_str(), nullptr, 10) : 0;
        if (n < 1 || n > RS232_PORT_LIMIT) return false;
        if (number != nullptr) *number = static_cast<int>(n);
        return true;
    }
    /* A path names itself as one; any other word is a slip ("-1", "COMx"),
     * not a device that is missing. */
    return !port.empty() && (port[0] == '/' || port[0] == '.');
}

int CLI_OpenPortValue(const std::string &port)
{
    int n = 0;
    CLI_PortOption(port, &n); /* the command line was checked */
    if (n > 0) {
        if (RS232_OpenPort(n) != RS232_OK)
            return portFailure(RS232_GetPortError(), "COM" + std::to_string(n));
        return CLI_OK;
    }
    if (RS232_OpenPath(port.c_str()) != RS232_OK) return portFailure(RS232_GetPortError(), port);
    return CLI_OK;
}

int CLI_OpenKaltro()
{
    if (CLI_Given(OPT_PORT)) return CLI_OpenPortValue(CLI_Value(OPT_PORT));
    RS232_ClearScanRefusal();
    for (int port = 1; port < RS232_PORT_LIMIT; port++)
        if (RS232_ScanPort(port) == RS232_PORT_FOUND) return CLI_OK;
    const RS232_PortError_t *refused = RS232_GetScanRefusal();
    if (refused->Fault != RS232_FAULT_NONE) return portFailure(refused, refused->Path);
    return CLI_Fail(CLI_NO_DEVICE,
                    "no Kaltro answered on any port; connect it, or name its port with --port");
}

/* The model of --model, or -1 (an error told) when it names none. */
int CLI_ModelOption(const char *command)
{
    std::wstring wide(CLI_Value(OPT_MODEL).begin(), CLI_Value(OPT_MODEL).end());
    const int model = DCSS_FindModel(wide.c_str());
    if (model < 0)
        CLI_Usage("unknown model '" + CLI_Value(OPT_MODEL) + "' (" + CLI_ModelRange() + ")",
                  command);
    return model;
}

std::string CLI_ModelName(int model)
{
    return CLI_Utf8(DCSS_GetModelName(model));
}

std::string CLI_ModelRange()
{
    return CLI_ModelName(0) + " ... " + CLI_ModelName(DCSS_MODEL_COUNT - 1);
}

int CLI_NoDevice()
{
    return CLI_Fail(CLI_NO_DEVICE, "no dCSS device answered; check the LNB on the Kaltro's output");
}

/* The port that went away, and the system's reason. */
static std::string lostLine()
{
    wchar_t text[PORTINFO_TEXT_LEN];
    if (PORTINFO_LostMessage(RS232_GetPortError(), text, PORTINFO_TEXT_LEN) == 0)
        return "the Kaltro's port went away; plug it in again and run the command again";
    return CLI_OneLine(text) + "; plug it in again and run the command again";
}

std::string CLI_OutcomeLine(const OpsEnd_t &end, const char *where)
{
    std::string text = end.TextId >= 0 ? CLI_Utf8(TXT(end.TextId)) : std::string();
    if (where != nullptr && end.Where >= 0)
        text += std::string(" at ") + where + " " + std::to_string(end.Where);
    const int last = CLI_LastText();
    switch (end.Outcome) {
    case OPS_DONE: return text;
    case OPS_NO_KALTRO:
    case OPS_NO_DEVICE: return text + " (check the Kaltro and the LNB)";
    case OPS_LINE_LOST: return lostLine();
    case OPS_CANCELLED:
        return "interrupted at \"" + (last >= 0 ? CLI_Utf8(TXT(last)) : std::string("the start")) +
               "\"; the exchange with the Kaltro was closed and nothing more was sent: run the "
               "command again";
    case OPS_TIMED_OUT:
        return "timed out: no answer for " + std::to_string(CLI_TimeLimitMs() / 1000) +
               " s; the transfer was abandoned and the exchange closed, so the Kaltro is ready "
               "again (--timeout SECONDS waits longer)";
    default: return text + " (nothing more was sent)";
    }
}

unsigned CLI_TimeLimitMs()
{
    if (!CLI_Given(OPT_TIMEOUT)) return CLI_DEFAULT_TIMEOUT_S * 1000u;
    return static_cast<unsigned>(std::strtoul(CLI_Value(OPT_TIMEOUT).c_str(), nullptr, 10)) * 1000u;
}

std::string CLI_ConfigVersionText(std::uint8_t version)
{
    wchar_t text[MAIN_VERSION_TEXT_LEN];
    MAIN_ConfigVersionText(version, text);
    return CLI_Utf8(text);
}

/* Opens the Kaltro, powers and identifies the device, and makes its model
 * the table's (--model must agree). */
int CLI_OpenDevice(const char *command)
{
    int wanted = -1;
    if (CLI_Given(OPT_MODEL) && (wanted = CLI_ModelOption(command)) < 0) return CLI_USAGE;
    if (const int r = CLI_OpenKaltro(); r != CLI_OK) return r;
    int model = -1;
    const OpsOutcome_t found = DEVOP_PowerAndIdentify(RS232_Pause, &model);
    if (found == OPS_LINE_LOST) return CLI_Fail(CLI_NO_DEVICE, lostLine());
    if (found != OPS_DONE) return CLI_NoDevice();
    if (wanted >= 0 && wanted != model)
        return CLI_Fail(CLI_REFUSED, CLI_Utf8(TXT(TX_WRONG_DEVICE)) + ": the device is a " +
                                         CLI_ModelName(model) + ", not a " + CLI_ModelName(wanted));
    VelnorData.Model = static_cast<std::int8_t>(model);
    MAIN_InitStruct();
    return CLI_OK;
}

int CLI_FileFailure(const std::string &what, const std::string &path)
{
    return CLI_Fail(CLI_FILE_ERROR, what + " " + path + ": " + BREVCFG_FileReason());
}
