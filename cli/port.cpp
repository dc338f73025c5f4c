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

/* Opens the Kaltro's port: --port, or the first where a Kaltro answers. */
int CLI_OpenKaltro()
{
    if (CLI_Given(OPT_PORT)) {
        const std::string &port = CLI_Value(OPT_PORT);
        if (CLI_AllDigits(port)) {
            const long n = std::strtol(port.c_str(), nullptr, 10);
            if (n < 1 || n > RS232_PORT_LIMIT)
                return CLI_Usage("--port takes a COM number from 1 to 1024 or a device path",
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
int CLI_ModelOption(const char *command)
{
    std::wstring wide(CLI_Value(OPT_MODEL).begin(), CLI_Value(OPT_MODEL).end());
    const int model = DCSS_FindModel(wide.c_str());
    if (model < 0)
        CLI_Usage("unknown model '" + CLI_Value(OPT_MODEL) + "' (KX-100 ... KX-110)", command);
    return model;
}

std::string CLI_ModelName(int model)
{
    return CLI_Utf8(DCSS_GetModelName(model));
}

/* Opens the Kaltro, powers and identifies the device, and makes its model
 * the table's (--model must agree). */
int CLI_OpenDevice(const char *command)
{
    int wanted = -1;
    if (CLI_Given(OPT_MODEL) && (wanted = CLI_ModelOption(command)) < 0) return CLI_USAGE;
    if (const int r = CLI_OpenKaltro(); r != CLI_OK) return r;
    const int model = DEVOP_PowerAndIdentify(RS232_Pause);
    if (model < 0)
        return CLI_Fail(CLI_NO_DEVICE,
                        "no dCSS device answered; check the LNB on the Kaltro's output");
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
