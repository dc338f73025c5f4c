/* cli.h -- what the parts of brevant-cli share: the parsed command line,
 * opening the Kaltro and the device, the failures told on one line, and the
 * subcommands, one function each.
 *
 * main.cpp parses the command line and runs one subcommand; port.cpp opens
 * the port and the device; table.cpp reads, checks and exports configuration
 * files; devcmds.cpp runs the long device operations; settings.cpp scans,
 * identifies and reads or writes the device settings.
 */
#pragma once

#include <cstdint>
#include <string>

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
    OPT_CONFIG_VERSION = 1u << 8,
    OPT_TIMEOUT = 1u << 9,
    OPT_STRICT = 1u << 10, /* a flag: no value */
    OPT_VERIFY = 1u << 11, /* a flag: no value */
    OPT_LOG = 1u << 12,
    OPT_LOG_FORMAT = 1u << 13,
    OPT_ALL = 1u << 14,   /* a flag: no value */
    OPT_AGAIN = 1u << 15, /* a flag: no value */
    OPT_COUNT = 1u << 16,
};
constexpr int CLI_OPTION_COUNT = 17;
/* The most Kaltros one production run drives, each --port once. */
constexpr int CLI_PORTS_MAX = 16;
/* The longest wait of a transfer for an answer without --timeout, in
 * seconds: far beyond any healthy transfer's. */
constexpr int CLI_DEFAULT_TIMEOUT_S = 60;
constexpr int CLI_MAX_POSITIONAL = 2;

/* The command line of the one subcommand that runs. */
struct CliArgs_t {
    bool Json = false;
    bool Help = false;
    unsigned Given = 0;
    std::string Value[CLI_OPTION_COUNT];
    std::string Positional[CLI_MAX_POSITIONAL];
    int PositionalCount = 0;
    /* Every --port, in order (production takes several). */
    std::string Ports[CLI_PORTS_MAX];
    int PortCount = 0;
};
extern CliArgs_t CliArgs;

/* Whether option bit was given, and its value ("" when not). */
bool CLI_Given(unsigned bit);
const std::string &CLI_Value(unsigned bit);
/* Tells a usage error and the help to read; returns CLI_USAGE. */
int CLI_Usage(const std::string &what, const char *command);
/* A message box's text on one line. */
std::string CLI_OneLine(const wchar_t *text);
/* Whether s is a non-empty string of decimal digits. */
bool CLI_AllDigits(const std::string &s);

/* Whether a --port value names a COM number from 1 to RS232_PORT_LIMIT
 * (into *number, when given) or a device path, one that starts with / or .
 * (*number 0). */
bool CLI_PortOption(const std::string &port, int *number);
/* Opens the Kaltro's port: --port, or the first where a Kaltro answers. */
int CLI_OpenKaltro();
/* Opens the port a --port value names (a COM number or a path); a port
 * that cannot be used is told. */
int CLI_OpenPortValue(const std::string &port);
/* Opens the Kaltro, powers and identifies the device, and makes its model
 * the table's (--model must agree). */
int CLI_OpenDevice(const char *command);
/* The model of --model, or -1 (an error told) when it names none. */
int CLI_ModelOption(const char *command);
std::string CLI_ModelName(int model);
/* The catalogue's models as the help gives them ("KX-100 ... KX-110"). */
std::string CLI_ModelRange();
/* The time limit of a transfer's waits (--timeout), in milliseconds. */
unsigned CLI_TimeLimitMs();
/* One line that says how a device operation ended and what to do; where
 * names what OpsEnd_t's Where counts ("row", "packet"), or nullptr. */
std::string CLI_OutcomeLine(const struct OpsEnd_t &end, const char *where);
/* The voltage of supply level as a JSON number of volts (14.66), or null. */
std::string CLI_VoltsJson(int level);
/* The configuration version byte as its "major.minor" text. */
std::string CLI_ConfigVersionText(std::uint8_t version);
/* The message when no dCSS device answers. */
int CLI_NoDevice();
/* Tells what could not be done to path and the system's reason; returns
 * CLI_FILE_ERROR. */
int CLI_FileFailure(const std::string &what, const std::string &path);

/* The subcommands; each returns the exit code. */
int CLI_CmdScan();
int CLI_CmdIdentify();
int CLI_CmdCheck();
int CLI_CmdExport();
int CLI_CmdProgram();
int CLI_CmdReadout();
int CLI_CmdVerify();
int CLI_CmdSettings();
int CLI_CmdUpgradeDevice();
int CLI_CmdUpgradeKaltro();
int CLI_CmdSaveInKaltro();
int CLI_CmdVoltage();
int CLI_CmdProduction();

/* The configuration version "X.Y", each one or two digits, as the byte the
 * device keeps (MAIN_PackConfigVersion), or -1 when it is not that or a
 * number is above 15. */
int CLI_ParseConfigVersion(const std::string &v);
/* Reads the configuration file of the first argument for the table's model
 * as "Open File..." does, takes --config-version, and validates it. A file
 * without a user band is refused (CLI_FILE_ERROR); each value reading or the
 * group's repair changed is told as a warning, and refused with --strict;
 * without tell nothing is told, only the exit code returned. */
int CLI_LoadTable(bool tell = true);
/* The values the last CLI_LoadTable found changed. */
int CLI_LoadChanges();
/* Tells that the table has faulty rows; returns CLI_REFUSED. */
int CLI_RefuseFaultyTable();
