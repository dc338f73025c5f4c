/* devcmds.cpp -- brevant-cli's long device operations: programming,
 * read-out and verify, the software upgrades and a configuration kept in the Kaltro,
 * each the dialog's own step machine driven by the terminal's loop; and the
 * supply level.
 */
#include "cli/cli.h"
#include "cli/term.h"
#include "config/cfgfile.h"
#include "config/compare.h"
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

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

/* Loads a whole binary file into buffer (released by the caller). */
static int loadBinary(const std::string &path, unsigned char **buffer, int *size)
{
    if (BREVCFG_LoadWholeFile(path.c_str(), buffer, size) != 0)
        return CLI_FileFailure("cannot read", path);
    if (*size <= 0) return CLI_Fail(CLI_FILE_ERROR, path + " is empty; choose the software file");
    return CLI_OK;
}

/* Ends an operation: its exit code, from its outcome alone, and one line
 * that says what happened and what to do; json adds members to the JSON
 * object, which a failure's line carries. */
static int finish(const CliRun_t &run, const char *where, const std::string &json = std::string(),
                  const std::string &more = std::string(), bool jsonOnFailureOnly = false)
{
    const OpsEnd_t &end = run.End;
    const int code = CLI_ExitCode(end.Outcome);
    const std::string text = end.TextId >= 0 ? CLI_Utf8(TXT(end.TextId)) : std::string();
    const std::string members = ", \"outcome\": " + CLI_Json(OPS_OutcomeName(end.Outcome)) +
                                ", \"status\": " + CLI_Json(text) +
                                (end.Where >= 0 ? ", \"at\": " + std::to_string(end.Where) : "") +
                                json;
    if (code != CLI_OK) {
        CLI_JsonMembers(members);
        return CLI_Fail(code, CLI_OutcomeLine(end, where) + more);
    }
    if (CliArgs.Json && !jsonOnFailureOnly) std::printf("{\"ok\": true%s}\n", members.c_str());
    return code;
}

/* Runs the transfer of args in the terminal; with more to come, its JSON
 * object is left to what follows unless it failed; json adds members. */
static int transfer(const XferArgs_t &args, bool moreToCome = false,
                    const std::string &json = std::string())
{
    return finish(CLI_RunOperation(
                      [](const void *a, const OpsDisplay_t *d) {
                          XFEROP_Open(static_cast<const XferArgs_t *>(a), d);
                      },
                      &args, XFEROP_Operation, CliArgs.Json),
                  "packet", json, std::string(), moreToCome);
}

/* An operation opened without arguments. */
template <void (*Open)(const OpsDisplay_t *)>
static void openPlain(const void *, const OpsDisplay_t *d)
{
    Open(d);
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

static int verifyTable(const VelnorCfg_t *want, std::uint8_t version, const char *jsonMore);

int CLI_CmdProgram()
{
    if (const int r = openValidTable("program"); r != CLI_OK) return r;
    const bool verify = CLI_Given(OPT_VERIFY);
    std::array<VelnorCfg_t, MAX_UB> want{};
    std::copy(VelnorCfg, VelnorCfg + MAX_UB, want.begin());
    const std::uint8_t version = VelnorData.DBaseVersion;
    DevopProgram_t plan;
    DEVOP_PlanProgram(&plan, CLI_TimeLimitMs());
    int code = CLI_OK;
    if (plan.RowByRow) {
        const CliRun_t run =
            CLI_RunOperation(openPlain<ENOP_Open>, nullptr, ENOP_Operation, CliArgs.Json);
        const std::string v = CLI_ConfigVersionText(version);
        /* "lnad" went first: a table cut short stands under the new version. */
        const std::string partial =
            run.End.Outcome != OPS_DONE && plan.VersionAnswer == RS232_REPLY_ACCEPTED &&
                    run.End.Where > 0
                ? "; the device already holds configuration version " + v + " but only rows 0 to " +
                      std::to_string(run.End.Where - 1) + " of the table: program it again"
                : std::string();
        code = finish(run, "row", std::string(), partial,
                      verify || plan.VersionAnswer != RS232_REPLY_ACCEPTED);
        if (code == CLI_OK && plan.VersionAnswer != RS232_REPLY_ACCEPTED) {
            const bool refused = plan.VersionAnswer == RS232_REPLY_REFUSED;
            const std::string said = refused ? "refused" : "did not answer";
            CLI_JsonMembers(", \"outcome\": " +
                            CLI_Json(OPS_OutcomeName(refused ? OPS_REFUSED : OPS_NO_DEVICE)) +
                            ", \"status\": " + CLI_Json("configuration version " + v + " " + said));
            return CLI_Fail(refused ? CLI_REFUSED : CLI_NO_DEVICE,
                            "the device " + said + " configuration version " + v +
                                " (\"lnad\"): the table was programmed, the version is not " + v);
        }
    } else {
        code = transfer(plan.Xfer, verify);
    }
    if (code != CLI_OK || !verify) return code;
    return verifyTable(want.data(), version, ", \"programmed\": true");
}

/* The rows in use as the text file carries them, as a JSON array: each
 * row's position, UB number and the fields a band is compared by. */
static std::string rowsJson()
{
    std::string json = "[";
    for (int r = 0; r < MAIN_RowsInTable(VelnorData.UBNumber); r++) {
        const VelnorCfg_t &row = VelnorCfg[r];
        json += (r > 0 ? ", {\"row\": " : "{\"row\": ") + std::to_string(r) +
                ", \"ub\": " + std::to_string(row.UBNo);
        for (int f = 0; f < CMP_MISSING; f++) {
            char value[16];
            BREVCFG_FieldJson(f, BREVCFG_RowField(row, f), value, sizeof value);
            json += std::string(", ") + CLI_Json(BREVCFG_FieldKey(f)) + ": " + value;
        }
        json += "}";
    }
    return json + "]";
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
    READOP_ReadVersion();
    const CliRun_t run =
        CLI_RunOperation(openPlain<READOP_Open>, nullptr, READOP_Operation, CliArgs.Json);
    const bool read = run.End.Outcome == OPS_DONE;
    /* Saving normalises and sorts the rows: the JSON shows them as saved. */
    if (read && BREVCFG_SaveConfigFile(out.c_str(), VelnorCfg, VelnorData.UBNumber,
                                       BREVCFG_REPLACE) != BREVCFG_FILE_OK)
        return CLI_FileFailure("cannot write", out);
    const std::string version = CLI_ConfigVersionText(VelnorData.DBaseVersion);
    const int code = finish(
        run, "band",
        ", \"config_version\": " + CLI_Json(version) +
            (read ? ", \"file\": " + CLI_Json(out) + ", \"rows\": " + rowsJson() : std::string()));
    if (code == CLI_OK && !CliArgs.Json) std::printf("Configuration version %s\n", version.c_str());
    return code;
}

int CLI_CmdUpgradeDevice()
{
    unsigned char *buffer = nullptr;
    int size = 0;
    int code = loadBinary(CliArgs.Positional[0], &buffer, &size);
    if (code == CLI_OK) code = CLI_OpenDevice("upgrade-device");
    if (code == CLI_OK) code = transfer({XM_TYPE_DEVICE, buffer, size, CLI_TimeLimitMs()});
    BREVCFG_DeallocFileBuffer(buffer);
    return code;
}

int CLI_CmdUpgradeKaltro()
{
    unsigned char *buffer = nullptr;
    int size = 0;
    int code = loadBinary(CliArgs.Positional[0], &buffer, &size);
    if (code == CLI_OK) code = CLI_OpenKaltro();
    if (code == CLI_OK) code = transfer({XM_TYPE_KALTRO_SW, buffer, size, CLI_TimeLimitMs()});
    BREVCFG_DeallocFileBuffer(buffer);
    return code;
}

int CLI_CmdSaveInKaltro()
{
    /* The Kaltro keeps the name as "lnaw" carries it: cut to its length,
     * each byte outside printable ASCII a "?". What it will hold is told. */
    const std::string &name = CLI_Value(OPT_NAME);
    char command[RS232_NAME_CMD_LEN];
    RS232_BuildNameCommand(command, name.c_str());
    constexpr std::size_t VERB_LEN = 5; /* "lnaw " before the name, "\r" after it */
    const std::string kept(command + VERB_LEN, std::strlen(command) - VERB_LEN - 1);
    if (kept != name)
        std::fprintf(stderr,
                     "brevant-cli: warning: --name: the Kaltro keeps at most %d characters, "
                     "each printable ASCII (others become \"?\"); \"%s\" is stored\n",
                     RS232_NAME_MAX, kept.c_str());
    if (const int r = openValidTable("save-in-kaltro"); r != CLI_OK) return r;
    std::array<unsigned char, BREVCFG_IMAGE_MAX> image{};
    const int size = DEVOP_PrepareKaltroCfg(name.c_str(), image.data(), RS232_Pause);
    return transfer({XM_TYPE_KALTRO_CFG, image.data(), size, CLI_TimeLimitMs()}, false,
                    ", \"name\": " + CLI_Json(kept));
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
        std::printf("{\"ok\": true, \"level\": %d, \"voltage_v\": %s}\n", now,
                    CLI_VoltsJson(now).c_str());
    else
        std::printf("Supply level %d (%s)\n", now, volts.c_str());
    return CLI_OK;
}

/* One difference as a line and as a JSON object. */
static void diffLine(const CmpDiff_t &d, std::string &text, std::string &json)
{
    char want[32], have[32], line[CMP_LINE_LEN];
    BREVCFG_FieldValue(d.Field, d.Want, want, sizeof want);
    BREVCFG_FieldValue(d.Field, d.Have, have, sizeof have);
    BREVCFG_DiffLine(d, line);
    text += std::string(line) + "\n";
    json += std::string(json.empty() ? "" : ", ") + "{\"row\": " + std::to_string(d.Row) +
            ", \"ub\": " + std::to_string(d.UBNo) +
            ", \"field\": " + CLI_Json(BREVCFG_FieldName(d.Field)) +
            ", \"file\": " + CLI_Json(want) + ", \"device\": " + CLI_Json(have) + "}";
}

/* Reads the device's version and table and compares them with want, as
 * version and rows 0 .. UBNumber - 1 of it would be stored; prints the
 * result (jsonMore adds members to its JSON object). */
static int verifyTable(const VelnorCfg_t *want, std::uint8_t version, const char *jsonMore)
{
    const int n = MAIN_RowsInTable(VelnorData.UBNumber);
    READOP_ReadVersion();
    const CliRun_t run =
        CLI_RunOperation(openPlain<READOP_Open>, nullptr, READOP_Operation, CliArgs.Json);
    if (run.End.Outcome != OPS_DONE) return finish(run, "band", jsonMore);

    std::array<CmpDiff_t, CMP_DIFF_MAX> diffs{};
    const int count = BREVCFG_CompareStored(want, VelnorCfg, n, DCSS_IsENGroup(VelnorData.Model),
                                            diffs.data(), CMP_DIFF_MAX);
    std::string text, json;
    if (VelnorData.DBaseVersion != version) {
        const std::string w = CLI_ConfigVersionText(version),
                          h = CLI_ConfigVersionText(VelnorData.DBaseVersion);
        char line[CMP_LINE_LEN];
        BREVCFG_VersionDiffLine(version, VelnorData.DBaseVersion, line);
        text += std::string(line) + "\n";
        json += "{\"row\": null, \"ub\": null, \"field\": \"config_version\", \"file\": " +
                CLI_Json(w) + ", \"device\": " + CLI_Json(h) + "}";
    }
    for (int i = 0; i < count; i++)
        diffLine(diffs[static_cast<std::size_t>(i)], text, json);
    const bool equal = text.empty();
    const std::string members =
        ", \"outcome\": \"done\", \"equal\": " + std::string(equal ? "true" : "false") +
        ", \"differences\": [" + json + "]" + jsonMore;
    if (!CliArgs.Json)
        std::printf("%s", equal ? "The device holds this table.\n" : text.c_str());
    else if (equal)
        std::printf("{\"ok\": true%s}\n", members.c_str());
    if (equal) return CLI_OK;
    CLI_JsonMembers(members);
    return CLI_Fail(CLI_REFUSED, "verification failed: the device differs from " +
                                     CliArgs.Positional[0] +
                                     "; program it again, or read it out to see it whole");
}

int CLI_CmdVerify()
{
    if (const int r = openValidTable("verify"); r != CLI_OK) return r;
    /* The table as programming would send it; the read-out overwrites the
     * rows with what the device holds. */
    std::array<VelnorCfg_t, MAX_UB> want{};
    std::copy(VelnorCfg, VelnorCfg + MAX_UB, want.begin());
    return verifyTable(want.data(), VelnorData.DBaseVersion, "");
}
