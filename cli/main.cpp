/* main.cpp -- brevant-cli: the device operations and the file checks of
 * Brevant from a terminal and from scripts, without windows.
 *
 * One subcommand a run. The files are read and written by the same functions
 * as the main window's File menu, and the device operations are the dialogs'
 * own step machines (ops/), driven in a loop with the protocol's pauses;
 * only the showing differs (term.cpp, settings.cpp).
 *
 * The lines written for people take the text table's words in the locale's
 * language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG); with --json everything is
 * English, so that scripts do not depend on the locale. The program's own
 * sentences are English.
 *
 * State: the parsed command line (CliArgs), for the one subcommand that runs.
 */
#include "cli/cli.h"
#include "cli/term.h"
#include "config/lang.h"
#include "link/rs232.h"

#include <cstdlib>
#include <cstring>

struct Option_t {
    const char *Name;
    unsigned Bit;
};
static const Option_t Options[CLI_OPTION_COUNT] = {
    {"--port", OPT_PORT},
    {"--model", OPT_MODEL},
    {"-o", OPT_OUT},
    {"--name", OPT_NAME},
    {"--en50494plus", OPT_EN50494},
    {"--inputs", OPT_INPUTS},
    {"--output", OPT_OUTPUT},
    {"--chain", OPT_CHAIN},
    {"--config-version", OPT_CONFIG_VERSION},
    {"--timeout", OPT_TIMEOUT},
    {"--strict", OPT_STRICT},
    {"--verify", OPT_VERIFY},
    {"--log", OPT_LOG},
    {"--log-format", OPT_LOG_FORMAT},
    {"--all", OPT_ALL},
    {"--again", OPT_AGAIN},
    {"--count", OPT_COUNT},
};
/* The options that are flags and take no value. */
constexpr unsigned FLAG_OPTIONS = OPT_STRICT | OPT_VERIFY | OPT_ALL | OPT_AGAIN;

CliArgs_t CliArgs;

bool CLI_Given(unsigned bit)
{
    return (CliArgs.Given & bit) != 0;
}

const std::string &CLI_Value(unsigned bit)
{
    static const std::string none;
    for (int i = 0; i < CLI_OPTION_COUNT; i++)
        if (Options[i].Bit == bit) return CliArgs.Value[i];
    return none;
}

int CLI_Usage(const std::string &what, const char *command)
{
    const std::string more = command != nullptr ? std::string(" ") + command : std::string();
    return CLI_Fail(CLI_USAGE, what + "; see brevant-cli" + more + " --help");
}

/* ---- Help ------------------------------------------------------------------- */

struct Command_t {
    const char *Name;
    int (*Run)();
    unsigned Takes; /* the options it takes */
    unsigned Needs; /* the options it cannot do without */
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
    "  verify FILE      compare the device's configuration with a file\n"
    "  settings         show or write the device settings\n"
    "  upgrade-device FILE   send device software\n"
    "  upgrade-kaltro FILE   send Kaltro software\n"
    "  save-in-kaltro FILE   keep a configuration in the Kaltro\n"
    "  voltage [LEVEL]  show or set the supply level (0 to 15)\n"
    "  production FILE  program device after device, with a record of each\n"
    "\n"
    "Common options:\n"
    "  --port N|PATH    the COM number or device path of the Kaltro; without it\n"
    "                   the first port where a Kaltro answers\n"
    "  --model NAME     the device model (MODELS)\n"
    "  --strict         refuse a file whose values reading had to change (check,\n"
    "                   export, program, verify, save-in-kaltro); without it they\n"
    "                   are told as warnings and the changed values used\n"
    "  --json           print one JSON object\n"
    "  --help           help, also after a command\n"
    "  --version        the program's version\n"
    "\n"
    "Exit status: 0 success, 1 the device or the file said no, 2 wrong usage,\n"
    "3 no Kaltro or no device (or its port went away), 4 a file could not be read\n"
    "or written, 5 a transfer timed out, 130 interrupted (Ctrl-C: the exchange\n"
    "with the Kaltro is closed first).\n";

/* ---- Commands --------------------------------------------------------------- */

/* Wording shared by the help of the commands that take a configuration
 * version. */
#define CONFIG_VERSION_HELP                                                                        \
    "--config-version X.Y is the configuration version written with the table, as\n"               \
    "the main window's Config Version field gives it (X and Y 0 to 15; 0.0 without it).\n"
/* Wording shared by the help of the commands that send an image. */
#define TIMEOUT_HELP                                                                               \
    "--timeout SECONDS is the longest wait for an answer during the transfer (default\n"           \
    "60); past it the transfer is abandoned, the exchange closed, and the exit status 5.\n"

static const Command_t Commands[] = {
    {"scan", CLI_CmdScan, 0, 0, 0, 0, "brevant-cli scan",
     "Tries every port number and lists each that has a device: its path and what\n"
     "answers there (Kaltro software and supply level, device ID and model).\n"
     "Devices with a low supply are powered, as the start-up window does.\n"},
    {"identify", CLI_CmdIdentify, OPT_PORT, 0, 0, 0, "brevant-cli identify [--port N|PATH]",
     "The Kaltro and the device in full, as the controller settings and device\n"
     "settings dialogs read them: Kaltro software and supply level; the device's\n"
     "model, versions, serial number, LO frequencies, UB count, temperature and\n"
     "settings.\n"},
    {"check", CLI_CmdCheck, OPT_MODEL | OPT_STRICT, OPT_MODEL, 1, 1,
     "brevant-cli check FILE --model NAME [--strict]",
     "Reads FILE as \"Open File...\" does for the model and prints one line per row\n"
     "with the status the main window shows. Exit 0 when every row is OK, 1 when a\n"
     "row has an error.\n"},
    {"export", CLI_CmdExport, OPT_MODEL | OPT_OUT | OPT_CONFIG_VERSION | OPT_STRICT,
     OPT_MODEL | OPT_OUT, 1, 1,
     "brevant-cli export FILE --model NAME -o IMAGE [--config-version X.Y]",
     "Writes the device image \"Export\" writes, after the same validation.\n" CONFIG_VERSION_HELP},
    {"program", CLI_CmdProgram,
     OPT_PORT | OPT_MODEL | OPT_CONFIG_VERSION | OPT_TIMEOUT | OPT_STRICT | OPT_VERIFY, 0, 1, 1,
     "brevant-cli program FILE [--port N|PATH] [--model NAME] [--config-version X.Y]\n"
     "                    [--timeout SECONDS] [--strict] [--verify]",
     "Identifies the device (--model must agree with it), reads FILE for its model,\n"
     "validates it and programs it: an image by XModem, or row by row for the EN\n"
     "group. --verify then reads the table back and compares it as verify does.\n"
     "An EN-group device that refuses the configuration version fails the "
     "run.\n" CONFIG_VERSION_HELP TIMEOUT_HELP},
    {"readout", CLI_CmdReadout, OPT_PORT | OPT_MODEL | OPT_OUT, OPT_OUT, 0, 0,
     "brevant-cli readout [--port N|PATH] [--model NAME] -o FILE",
     "Reads the device's configuration version and UB table and saves the table as\n"
     "\"Save File...\" would.\n"},
    {"verify", CLI_CmdVerify, OPT_PORT | OPT_MODEL | OPT_CONFIG_VERSION | OPT_STRICT, 0, 1, 1,
     "brevant-cli verify FILE [--port N|PATH] [--model NAME] [--config-version X.Y]",
     "Reads the device's configuration version and UB table and compares them with\n"
     "FILE as program would store them (read, repaired and validated as \"Open\n"
     "File...\" does; only what the model group's image or the EN commands carry\n"
     "counts). Prints \"The device holds this table.\" and exits 0 when they agree,\n"
     "else one line per difference and exits 1.\n" CONFIG_VERSION_HELP},
    {"settings", CLI_CmdSettings,
     OPT_PORT | OPT_MODEL | OPT_EN50494 | OPT_INPUTS | OPT_OUTPUT | OPT_CHAIN, 0, 0, 0,
     "brevant-cli settings [--port N|PATH] [--en50494plus on|off] [--inputs wideband|quattro]\n"
     "                     [--output dcss|legacy|dcss+legacy] [--chain off|1..8|1+2..7+8]",
     "Without options prints the device settings. With options reads them, changes\n"
     "those given and writes every setting the device offers, as the device\n"
     "settings dialog's Program does, reporting each setter's acknowledgement.\n"
     "A new inputs type keeps the chain output unless --chain is given; the chain\n"
     "takes output pairs on chain-pair models with wide-band inputs.\n"},
    {"upgrade-device", CLI_CmdUpgradeDevice, OPT_PORT | OPT_MODEL | OPT_TIMEOUT, 0, 1, 1,
     "brevant-cli upgrade-device FILE [--port N|PATH] [--model NAME] [--timeout SECONDS]",
     "Sends device software to the dCSS device.\n" TIMEOUT_HELP},
    {"upgrade-kaltro", CLI_CmdUpgradeKaltro, OPT_PORT | OPT_TIMEOUT, 0, 1, 1,
     "brevant-cli upgrade-kaltro FILE [--port N|PATH] [--timeout SECONDS]",
     "Sends software to the Kaltro.\n" TIMEOUT_HELP},
    {"save-in-kaltro", CLI_CmdSaveInKaltro,
     OPT_PORT | OPT_MODEL | OPT_NAME | OPT_CONFIG_VERSION | OPT_TIMEOUT | OPT_STRICT, OPT_NAME, 1,
     1,
     "brevant-cli save-in-kaltro FILE --name NAME [--port N|PATH] [--model NAME]\n"
     "                           [--config-version X.Y] [--timeout SECONDS]",
     "Validates FILE for the device's model and keeps it in the Kaltro under NAME\n"
     "(at most 43 characters), for the Kaltro to program devices on its "
     "own.\n" CONFIG_VERSION_HELP TIMEOUT_HELP},
    {"voltage", CLI_CmdVoltage, OPT_PORT, 0, 0, 1, "brevant-cli voltage [LEVEL] [--port N|PATH]",
     "Prints the supply level, or sets it (0 to 15) first.\n"},
    {"production", CLI_CmdProduction,
     OPT_PORT | OPT_ALL | OPT_MODEL | OPT_CONFIG_VERSION | OPT_TIMEOUT | OPT_STRICT | OPT_LOG |
         OPT_LOG_FORMAT | OPT_AGAIN | OPT_COUNT,
     OPT_LOG, 1, 1,
     "brevant-cli production FILE --log PATH [--port N|PATH]... [--all] [--model NAME]\n"
     "                       [--config-version X.Y] [--log-format csv|json] [--count N]\n"
     "                       [--again] [--timeout SECONDS] [--strict]",
     "Programs device after device on one Kaltro or several at once (--port more than\n"
     "once, or --all for every port where a Kaltro answers; without either the first).\n"
     "Each Kaltro powers its output and waits for a device; a device whose model\n"
     "does not take FILE (or is not --model) is refused as wrong-model; any other is\n"
     "programmed, read back and compared, and its record appended to the log; then\n"
     "the run waits until that device is gone. The same serial number twice in a row\n"
     "is programmed again only with --again. A Kaltro unplugged and plugged back in is\n"
     "taken up again.\n"
     "The log (appended to, never truncated; each record flushed to the disk) is CSV\n"
     "under a fixed header, or JSON lines with the same keys (--log-format json); the\n"
     "manual page lists the columns. result is pass, fail-program, fail-verify,\n"
     "wrong-model, lost or cancelled.\n"
     "--count N ends the run after N devices: exit 0 when every one passed, else 1.\n"
     "Ctrl-C ends it between steps (a transfer is abandoned on the Kaltro's side),\n"
     "prints the totals and exits 130. --timeout defaults to 5 s here.\n" CONFIG_VERSION_HELP},
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
            CliArgs.Help = true;
            continue;
        }
        if (word == "--json") {
            CliArgs.Json = true;
            CLI_JsonFailures(true);
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
            while (k < CLI_OPTION_COUNT && word != Options[k].Name)
                k++;
            if (k == CLI_OPTION_COUNT || (cmd.Takes & Options[k].Bit) == 0)
                return CLI_Usage("unknown option " + word + " for " + cmd.Name, cmd.Name);
            const bool flag = (Options[k].Bit & FLAG_OPTIONS) != 0;
            if (flag && inlineValue) return CLI_Usage(word + " takes no value", cmd.Name);
            if (!inlineValue && !flag) {
                if (i + 1 >= argc) return CLI_Usage(word + " needs a value", cmd.Name);
                v = argv[++i];
            }
            if (Options[k].Bit == OPT_PORT) {
                if (CliArgs.PortCount >= (cmd.Run == CLI_CmdProduction ? CLI_PORTS_MAX : 1))
                    return CLI_Usage("--port given too often", cmd.Name);
                CliArgs.Ports[CliArgs.PortCount++] = v;
            }
            CliArgs.Given |= Options[k].Bit;
            CliArgs.Value[k] = v;
            continue;
        }
        if (CliArgs.PositionalCount >= cmd.MaxPositional)
            return CLI_Usage("too many arguments for " + std::string(cmd.Name), cmd.Name);
        CliArgs.Positional[CliArgs.PositionalCount++] = word;
    }
    if (CliArgs.Help) return CLI_OK;
    if (CliArgs.PositionalCount < cmd.MinPositional)
        return CLI_Usage(std::string(cmd.Name) + " needs a file", cmd.Name);
    for (int i = 0; i < CliArgs.PortCount; i++)
        if (!CLI_PortOption(CliArgs.Ports[i], nullptr))
            return CLI_Usage("--port takes a COM number from 1 to " +
                                 std::to_string(RS232_PORT_LIMIT) +
                                 " or a device path that starts with / or . (/dev/ttyUSB0, ./tty)",
                             cmd.Name);
    if (CLI_Given(OPT_CONFIG_VERSION) && CLI_ParseConfigVersion(CLI_Value(OPT_CONFIG_VERSION)) < 0)
        return CLI_Usage("--config-version takes X.Y, each number 0 to 15", cmd.Name);
    if (CLI_Given(OPT_TIMEOUT) &&
        (!CLI_AllDigits(CLI_Value(OPT_TIMEOUT)) || CLI_Value(OPT_TIMEOUT).size() > 6 ||
         std::atoi(CLI_Value(OPT_TIMEOUT).c_str()) < 1))
        return CLI_Usage("--timeout takes a number of seconds from 1 to 999999", cmd.Name);
    for (int k = 0; k < CLI_OPTION_COUNT; k++)
        if ((cmd.Needs & Options[k].Bit) != 0 && !CLI_Given(Options[k].Bit))
            return CLI_Usage(std::string(cmd.Name) + " needs " + Options[k].Name, cmd.Name);
    return CLI_OK;
}

int main(int argc, char **argv)
{
    int first = 1;
    for (; first < argc; first++) {
        const std::string word = argv[first];
        if (word == "--json") {
            CliArgs.Json = true;
            CLI_JsonFailures(true);
        } else if (word == "--help" || word == "-h") {
            std::string help = PROGRAM_HELP;
            help.replace(help.find("MODELS"), 6, CLI_ModelRange());
            std::printf("%s", help.c_str());
            return CLI_OK;
        } else if (word == "--version") {
            std::printf("brevant-cli %s\n", BREVANT_VERSION);
            return CLI_OK;
        } else {
            break;
        }
    }
    if (first >= argc) return CLI_Usage("no command given", nullptr);
    const Command_t *cmd = findCommand(argv[first]);
    if (cmd == nullptr) return CLI_Usage(std::string("unknown command ") + argv[first], nullptr);
    if (const int r = parse(*cmd, argc - first - 1, argv + first + 1); r != CLI_OK) return r;
    if (CliArgs.Help) {
        std::printf("Usage: %s\n%s", cmd->Usage, cmd->Help);
        return CLI_OK;
    }
    LANG_Use(CliArgs.Json ? LANG_EN : LANG_FromEnvironment());
    CLI_CatchInterrupt();
    const int code = cmd->Run();
    RS232_Term();
    return code;
}
