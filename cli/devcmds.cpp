/* devcmds.cpp -- brevant-cli's long device operations: programming,
 * read-out, the software upgrades and a configuration kept in the Kaltro,
 * each the dialog's own step machine driven by the terminal's loop; and the
 * supply level.
 */
#include "cli/cli.h"
#include "cli/term.h"
#include "config/cfgfile.h"
#include "config/dcss.h"
#include "config/fileio.h"
#include "config/image.h"
#include "config/texts.h"
#include "config/validate.h"
#include "config/velnor.h"
#include "link/rs232.h"
#include "ops/devop.h"
#include "ops/enop.h"
#include "ops/readop.h"
#include "ops/xferop.h"

#include <array>
#include <cstdlib>

/* Loads a whole binary file into buffer (released by the caller). */
static int loadBinary(const std::string &path, unsigned char **buffer, int *size)
{
    if (BREVCFG_LoadWholeFile(path.c_str(), buffer, size) != 0)
        return CLI_FileFailure("cannot read", path);
    if (*size <= 0) return CLI_Fail(CLI_FILE_ERROR, path + " is empty; choose the software file");
    return CLI_OK;
}

/* Ends an operation: the exit code of its last text, told on failure; json
 * adds members to the JSON object. */
static int finish(const CliRun_t &run, const std::string &json = std::string())
{
    const int code = CLI_RunCode(run);
    const std::string text = run.TextId >= 0 ? CLI_Utf8(TXT(run.TextId)) : std::string();
    if (CliArgs.Json)
        std::printf("{\"ok\": %s, \"status\": %s%s}\n", code == CLI_OK ? "true" : "false",
                    CLI_Json(text).c_str(), json.c_str());
    if (code == CLI_INTERRUPTED)
        CLI_Fail(code, "interrupted at \"" + text +
                           "\"; the exchange with the Kaltro was closed and nothing more was "
                           "sent: run the command again");
    else if (code != CLI_OK)
        CLI_Fail(code, text + (code == CLI_NO_DEVICE ? " (check the Kaltro and the LNB)"
                                                     : " (nothing more was sent)"));
    return code;
}

static int transfer(int mode, const unsigned char *image, int size)
{
    XFEROP_SetMode(mode, image, size);
    const CliRun_t run = CLI_RunOperation(XFEROP_Open, XFEROP_Step, CliArgs.Json, XFEROP_Abandon);
    XFEROP_SetMode(mode, nullptr, 0); /* the image is the caller's */
    return finish(run);
}

/* Opens the device, then reads the file given for its model and validates
 * it; a faulty table is refused. CLI_OK when there is a table to send. */
static int openValidTable(const char *command)
{
    /* A file that cannot be read is told before the device is powered. */
    unsigned char *buffer = nullptr;
    int size = 0;
    const int readable = BREVCFG_LoadWholeFile(CliArgs.Positional[0].c_str(), &buffer, &size);
    BREVCFG_DeallocFileBuffer(buffer);
    if (readable != 0) return CLI_FileFailure("cannot read", CliArgs.Positional[0]);
    if (const int r = CLI_OpenDevice(command); r != CLI_OK) return r;
    if (const int r = CLI_LoadTable(); r != CLI_OK) return r;
    return ConfigOK != 0 ? CLI_RefuseFaultyTable() : CLI_OK;
}

int CLI_CmdProgram()
{
    if (const int r = openValidTable("program"); r != CLI_OK) return r;
    if (DCSS_IsENGroup(VelnorData.Model)) {
        /* EN-group devices take their bands one by one. */
        RS232_StoreDBaseVer(VelnorData.DBaseVersion);
        return finish(CLI_RunOperation(ENOP_Open, ENOP_Step, CliArgs.Json));
    }
    std::array<unsigned char, BREVCFG_IMAGE_MAX> image{};
    const std::int32_t size = BREVCFG_CompileMxL(VelnorCfg, &VelnorData, image.data());
    return transfer(XM_TYPE_DEVICE, image.data(), size);
}

int CLI_CmdReadout()
{
    /* A file that cannot be made is told before the read, not after it. */
    const std::string &out = CLI_Value(OPT_OUT);
    BrevSave_t probe;
    if (BREVCFG_SaveBegin(&probe, out.c_str(), BREVCFG_REPLACE) != BREVCFG_FILE_OK)
        return CLI_FileFailure("cannot write", out);
    BREVCFG_SaveAbort(&probe);
    if (const int r = CLI_OpenDevice("readout"); r != CLI_OK) return r;
    /* The configuration version first, as the main window's upload button
     * reads it; the file holds the table only. */
    const unsigned v = static_cast<std::uint8_t>(RS232_GetDBaseVersion());
    VelnorData.DBaseVersion = static_cast<std::uint8_t>(v);
    const CliRun_t run = CLI_RunOperation(READOP_Open, READOP_Step, CliArgs.Json);
    if (CLI_RunCode(run) == CLI_OK &&
        BREVCFG_SaveConfigFile(out.c_str(), VelnorCfg, VelnorData.UBNumber, BREVCFG_REPLACE) !=
            BREVCFG_FILE_OK)
        return CLI_FileFailure("cannot write", out);
    char version[48];
    std::snprintf(version, sizeof version, "%u.%u", v >> 4, v & 0x0F);
    const int code = finish(run, std::string(", \"config_version\": \"") + version + "\"");
    if (code == CLI_OK && !CliArgs.Json) std::printf("Configuration version %s\n", version);
    return code;
}

int CLI_CmdUpgradeDevice()
{
    unsigned char *buffer = nullptr;
    int size = 0;
    int code = loadBinary(CliArgs.Positional[0], &buffer, &size);
    if (code == CLI_OK) code = CLI_OpenDevice("upgrade-device");
    if (code == CLI_OK) code = transfer(XM_TYPE_DEVICE, buffer, size);
    BREVCFG_DeallocFileBuffer(buffer);
    return code;
}

int CLI_CmdUpgradeKaltro()
{
    unsigned char *buffer = nullptr;
    int size = 0;
    int code = loadBinary(CliArgs.Positional[0], &buffer, &size);
    if (code == CLI_OK) code = CLI_OpenKaltro();
    if (code == CLI_OK) code = transfer(XM_TYPE_KALTRO_SW, buffer, size);
    BREVCFG_DeallocFileBuffer(buffer);
    return code;
}

int CLI_CmdSaveInKaltro()
{
    if (const int r = openValidTable("save-in-kaltro"); r != CLI_OK) return r;
    std::array<unsigned char, DEVOP_KALTRO_IMAGE> image{};
    const int size = DEVOP_PrepareKaltroCfg(CLI_Value(OPT_NAME).c_str(), image.data(), RS232_Pause);
    return transfer(XM_TYPE_KALTRO_CFG, image.data(), size);
}

int CLI_CmdVoltage()
{
    int level = -1;
    if (CliArgs.PositionalCount > 0) {
        const std::string &v = CliArgs.Positional[0];
        level = CLI_AllDigits(v) ? std::atoi(v.c_str()) : -1;
        if (level < 0 || level >= DEVOP_LEVEL_COUNT)
            return CLI_Usage("the supply level is a number from 0 to 15", "voltage");
    }
    if (const int r = CLI_OpenKaltro(); r != CLI_OK) return r;
    if (level >= 0) RS232_SetVoltage(level);
    const int now = RS232_GetVoltage();
    const std::string volts = CLI_Utf8(DEVOP_VoltageLabel(now));
    if (CliArgs.Json)
        std::printf("{\"ok\": true, \"level\": %d, \"voltage\": %s}\n", now,
                    CLI_Json(volts).c_str());
    else
        std::printf("Supply level %d (%s)\n", now, volts.c_str());
    return CLI_OK;
}
