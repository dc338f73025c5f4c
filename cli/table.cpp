/* table.cpp -- brevant-cli's configuration files: read for a model as "Open
 * File..." reads them (the same reader and range repair), validated as the
 * main window validates, printed one line per row or as JSON, and exported
 * as "Export" writes the device image.
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

#include <algorithm>
#include <array>

int CLI_ParseConfigVersion(const std::string &v)
{
    const auto dot = v.find('.');
    if (dot == std::string::npos) return -1;
    const std::string major = v.substr(0, dot), minor = v.substr(dot + 1);
    if (!CLI_AllDigits(major) || !CLI_AllDigits(minor) || major.size() > 2 || minor.size() > 2)
        return -1;
    return MAIN_PackConfigVersion(std::stoi(major), std::stoi(minor));
}

/* Whether CLI_LoadTable tells what it finds, and the changes it found. */
static bool Tell = true;
static int Changes = 0;

int CLI_LoadChanges()
{
    return Changes;
}

/* What reading did to a value of row r that the group's lists do not
 * offer, told as a warning; returns 1 when it is found. */
static int warnChanged(int r, const char *what, int was, int now, const char *unit)
{
    if (was == now) return 0;
    if (Tell)
        std::fprintf(
            stderr,
            "brevant-cli: warning: row %d: %s %d %s is not offered by the %s; %d %s is used\n", r,
            what, was, unit, CLI_ModelName(VelnorData.Model).c_str(), now, unit);
    return 1;
}

/* Tells the rows whose UB number reading gave another, because the file's
 * was taken already or is not one of the model's; the count of them. */
static int warnRenumbered(const std::string &path)
{
    unsigned char *buf = nullptr;
    int size = 0;
    if (BREVCFG_LoadWholeFile(path.c_str(), &buf, &size) != 0) return 0;
    std::array<VelnorCfg_t, MAX_UB> written{};
    const int rows = BREVCFG_ParseConfigAsWritten(reinterpret_cast<const char *>(buf),
                                                  static_cast<std::size_t>(size), written.data(),
                                                  VelnorData.UBNumber);
    BREVCFG_DeallocFileBuffer(buf);
    int changes = 0;
    /* the rows the file holds; the others were never the file's */
    for (int r = 0; r < rows; r++) {
        const int was = written[static_cast<std::size_t>(r)].UBNo, now = VelnorCfg[r].UBNo;
        if (was == now) continue;
        changes++;
        if (Tell)
            std::fprintf(stderr,
                         "brevant-cli: warning: row %d: UB %d is %s on the %s; UB %d is used\n", r,
                         was,
                         was < MAIN_RowsInTable(VelnorData.UBNumber) ? "taken by an earlier row"
                                                                     : "not a UB",
                         CLI_ModelName(VelnorData.Model).c_str(), now);
    }
    return changes;
}

/* Tells every value of the rows in use that reading and the group's repair
 * changed from what the file says, or that the device will not keep; the
 * count of them. */
static int warnRepairs(const VelnorCfg_t *read)
{
    const bool en = DCSS_IsENGroup(VelnorData.Model);
    int changes = warnRenumbered(CliArgs.Positional[0]);
    for (int r = 0; r < MAIN_RowsInTable(VelnorData.UBNumber); r++) {
        const VelnorCfg_t &now = VelnorCfg[r];
        changes += warnChanged(r, "level", read[r].AGCVal, now.AGCVal, "dBm");
        changes += warnChanged(r, "bandwidth", read[r].BW, now.BW, "MHz");
        if (en && now.Active == 1 && now.UBFreqDec != 0) {
            if (Tell)
                std::fprintf(
                    stderr,
                    "brevant-cli: warning: row %d: frequency %u.%u MHz: the %s takes whole "
                    "MHz; %u MHz is programmed\n",
                    r, now.UBFreq, now.UBFreqDec, CLI_ModelName(VelnorData.Model).c_str(),
                    now.UBFreq);
            changes++;
        }
    }
    return changes;
}

int CLI_LoadTable(bool tell)
{
    Tell = tell;
    Changes = 0;
    const std::string &path = CliArgs.Positional[0];
    int rows = 0;
    if (BREVCFG_LoadConfigFile(path.c_str(), VelnorCfg, VelnorData.UBNumber, &rows) !=
        BREVCFG_FILE_OK)
        return tell ? CLI_FileFailure("cannot read", path) : CLI_FILE_ERROR;
    /* A file without a single band is a mistake far more often than an
     * intent: programmed, it would empty the device's table. */
    if (rows == 0 && !tell) return CLI_FILE_ERROR;
    if (rows == 0)
        return CLI_Fail(CLI_FILE_ERROR, path + " holds no user bands; give a configuration file "
                                               "saved by Brevant or by brevant-cli readout");
    std::array<VelnorCfg_t, MAX_UB> read{};
    std::copy(VelnorCfg, VelnorCfg + MAX_UB, read.begin());
    BREVCFG_RepairRanges(VelnorCfg, VelnorData.UBNumber, DCSS_IsENGroup(VelnorData.Model));
    const int changes = Changes = warnRepairs(read.data());
    if (changes > 0 && CLI_Given(OPT_STRICT) && !tell) return CLI_REFUSED;
    if (changes > 0 && CLI_Given(OPT_STRICT))
        return CLI_Fail(CLI_REFUSED, path + " does not hold the table as it stands for the " +
                                         CLI_ModelName(VelnorData.Model) + " (" +
                                         std::to_string(changes) +
                                         " changes above); without --strict they are used");
    if (CLI_Given(OPT_CONFIG_VERSION))
        VelnorData.DBaseVersion =
            static_cast<std::uint8_t>(CLI_ParseConfigVersion(CLI_Value(OPT_CONFIG_VERSION)));
    MAIN_ValidateTable();
    return CLI_OK;
}

static bool rowError(const VelnorCfg_t &row)
{
    return MAIN_RowHasError(row.UBNo);
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

int CLI_RefuseFaultyTable()
{
    const int n = errorRows();
    return CLI_Fail(CLI_REFUSED, CliArgs.Positional[0] + " has " + std::to_string(n) +
                                     (n == 1 ? " faulty row" : " faulty rows") + " for the " +
                                     CLI_ModelName(VelnorData.Model) +
                                     "; brevant-cli check shows them");
}

/* The rows in use with their status, as JSON members; a faulty table's go
 * into the failure's object. */
static void printJsonRows()
{
    std::string json =
        ", \"model\": " + CLI_Json(CLI_ModelName(VelnorData.Model)) + ", \"rows\": [";
    for (int r = 0; r < MAIN_RowsInTable(VelnorData.UBNumber); r++) {
        const VelnorCfg_t &w = VelnorCfg[r];
        char fields[256];
        std::snprintf(fields, sizeof fields,
                      ", \"error\": %s, \"Active\": %d, \"UBNo\": %u, \"Feed\": %u, "
                      "\"UBFreq\": %u, \"UBFreqDec\": %u, \"BW\": %u, \"StaticMode\": %d, "
                      "\"ConvFreq\": %u, \"ConvPol\": %s, \"AGCVal\": %d, "
                      "\"SpectralInversion\": %u}",
                      rowError(w) ? "true" : "false", w.Active, w.UBNo, w.Feed, w.UBFreq,
                      w.UBFreqDec, w.BW, w.StaticMode, w.ConvFreq,
                      CLI_Json(std::string(1, w.ConvPol)).c_str(), w.AGCVal, w.SpectralInversion);
        json += (r > 0 ? ", {\"row\": " : "{\"row\": ") + std::to_string(r) +
                ", \"ub\": " + std::to_string(w.UBNo) + ", \"status\": " + CLI_Json(rowStatus(w)) +
                fields;
    }
    json += "]";
    if (ConfigOK == 0)
        std::printf("{\"ok\": true%s}\n", json.c_str());
    else
        CLI_JsonMembers(json);
}

static void printRows()
{
    const int n = MAIN_RowsInTable(VelnorData.UBNumber);
    if (CliArgs.Json) return printJsonRows();
    std::printf("Model %s\n", CLI_ModelName(VelnorData.Model).c_str());
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

/* The table of --model, then the file read into it and validated. */
static int loadForModel(const char *command)
{
    const int model = CLI_ModelOption(command);
    if (model < 0) return CLI_USAGE;
    VelnorData.Model = static_cast<std::int8_t>(model);
    MAIN_InitStruct();
    return CLI_LoadTable();
}

int CLI_CmdCheck()
{
    if (const int r = loadForModel("check"); r != CLI_OK) return r;
    printRows();
    return ConfigOK == 0 ? CLI_OK : CLI_RefuseFaultyTable();
}

int CLI_CmdExport()
{
    if (const int r = loadForModel("export"); r != CLI_OK) return r;
    if (ConfigOK != 0) return CLI_RefuseFaultyTable();
    std::array<unsigned char, BREVCFG_IMAGE_MAX> image{};
    const std::int32_t size = BREVCFG_CompileForModel(VelnorCfg, &VelnorData, image.data());
    const std::string &out = CLI_Value(OPT_OUT);
    if (BREVCFG_SaveBytesFile(out.c_str(), image.data(), static_cast<std::size_t>(size),
                              BREVCFG_REPLACE) != BREVCFG_FILE_OK)
        return CLI_FileFailure("cannot write", out);
    if (CliArgs.Json)
        std::printf("{\"ok\": true, \"image\": %s, \"bytes\": %d}\n", CLI_Json(out).c_str(), size);
    return CLI_OK;
}
