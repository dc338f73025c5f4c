/* main.cpp -- kaltro-sim: runs the simulated Kaltro and dCSS device on a
 * pseudo-terminal until SIGINT, SIGTERM or SIGHUP, printing the COM name
 * first, and swaps the device on SIGUSR1; its --help and --version. The handlers go in before the
 * simulator opens, so a signal during start-up still ends it and removes its link. Everything else
 * is in the brevant_sim library.
 */
#include "sim/sim.h"

#include <csignal>
#include <cstdio>
#include <cstring>

static const char usage[] = "usage: kaltro-sim [OPTION]...\n";

/* What --help prints after the usage line; the models follow it. */
static const char help[] =
    "Simulates the Kaltro programming controller and the dCSS device behind it on a\n"
    "pseudo-terminal, published as the link COMn in the ports folder\n"
    "($XDG_RUNTIME_DIR/brevant/ports, else /tmp/brevant-<uid>/ports), where brevant's\n"
    "port scan finds it. Prints the COM name on its first line, then serves until\n"
    "SIGINT, SIGTERM or SIGHUP, and removes the link. SIGUSR1 swaps the device\n"
    "at once, as --swap-every does.\n"
    "\n"
    "A value follows its option as the next word or after '=' (--nak 2, --nak=2);\n"
    "numbers are decimal or 0x hexadecimal.\n"
    "\n"
    "Device and controller:\n"
    "  --model NAME         device model, one of those below (default KX-103)\n"
    "  --port N             publish at COM N, 1 to 1024 (default: the first number\n"
    "                       that has neither a link nor a device)\n"
    "  --voltage L          supply level at start, 0 to 15 (default 0, unpowered,\n"
    "                       or the state file's)\n"
    "  --powered            start at supply level 6, as the start-up window sets it\n"
    "  --power-delay MS     time from supply level 5 until the device answers,\n"
    "                       0 to 60000 (default 300)\n"
    "  --reply-delay MS     extra time before every device answer, 0 to 60000\n"
    "                       (default 0)\n"
    "  --ubs N              UB count the device reports, 0 to 255 (default the\n"
    "                       model's, 24 or 32)\n"
    "  --id N, --device-id N\n"
    "                       device ID the device reports, 0 to 255 (default the\n"
    "                       model's)\n"
    "  --state FILE         load device and controller state from key=value lines\n"
    "                       (default none; see kaltro-sim(1))\n"
    "  --store DIR          save every image received as device-NNN.bin,\n"
    "                       kaltro-sw-NNN.bin or kaltro-cfg-NNN.bin (default none)\n"
    "  --log FILE           write the traffic log to FILE (default none)\n"
    "\n"
    "Device after device (a production run):\n"
    "  --swap-every SECONDS swap the device every SECONDS, 1 to 86400 (default\n"
    "                       never): it goes off the output, answering nothing, and\n"
    "                       after the gap a new one goes on with the next serial\n"
    "                       number, its model's factory table and configuration\n"
    "                       version 0.0; it answers after the power delay\n"
    "  --swap-gap MS        time without a device at a swap, 0 to 60000 (default\n"
    "                       1000)\n"
    "  --serial N           serial number of the first device, 0 to 4294967295\n"
    "                       (default the state file's, else 12345678); new devices\n"
    "                       count on from it\n"
    "  --model-cycle A,B,...\n"
    "                       the new devices take these models in turn, up to 16\n"
    "                       (default: all of --model)\n"
    "  --faulty SHARE       percent of the new devices with one fault, 0 to 100\n"
    "                       (default 0): a band not stored, a band (and images)\n"
    "                       refused, dropping off while programmed, or 'lnad'\n"
    "                       refused\n"
    "  --seed N             seed of the choice of faulty devices and faults,\n"
    "                       0 to 2147483647 (default 1); a seed repeats its devices\n"
    "\n"
    "Faults (default none; any may be combined):\n"
    "  --silent             answer nothing: the controller is not found\n"
    "  --no-device, --silent-device\n"
    "                       the controller answers, the device never does\n"
    "  --refuse CMD         refuse the command with verb CMD (repeatable, up to 32)\n"
    "  --nak N              NAK the first N receptions of every XModem packet,\n"
    "                       0 to 1000\n"
    "  --can-at K           send CAN CAN instead of ACK at packet K (1 based)\n"
    "  --mute-at K          answer nothing from packet K on (1 based); the sender's\n"
    "                       CAN, or ten quiet seconds, end the reception\n"
    "  --no-verdict         the device never says whether it took an image\n"
    "  --split              split every answer, with 100 ms pauses\n"
    "  --nul                NUL bytes inside answers and before XModem control bytes\n"
    "  --noise              line noise, then 20 ms, before every answer\n"
    "  --stop-after N       answer nothing after N commands\n"
    "  --line-rate          pace both directions at 115200 baud\n"
    "  --no-space N         take N active bands per programming session, 0 to 32;\n"
    "                       refuse more\n"
    "\n"
    "  -h, --help           print this help and exit\n"
    "      --version        print the version and exit\n"
    "\n"
    "Exit status: 0 when stopped by a signal, 1 when the port could not be\n"
    "published or the state file is wrong, 2 for wrong usage.\n"
    "\n"
    "Models:\n";

/* The help, and one line per model of the catalogue. */
static void printHelp()
{
    std::fputs(usage, stdout);
    std::fputs(help, stdout);
    for (int m = 0; const SIM_Model *d = SIM_GetModel(m); m++)
        std::printf("  %-8s device ID 0x%02X, %d UBs, %s\n", d->name, d->id, d->en ? 32 : 24,
                    d->en ? "programmed band by band (EN group)"
                          : "programmed as one image (MxL group)");
}

static void onSignal(int)
{
    SIM_RequestStop();
}

static void onSwapSignal(int)
{
    SIM_RequestSwap();
}

int main(int argc, char **argv)
{
    static SIM_Options opt;
    char err[256] = "";
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return printHelp(), 0;
        if (std::strcmp(argv[i], "--version") == 0)
            return std::puts("kaltro-sim " BREVANT_VERSION), 0;
    }
    if (SIM_ParseArgs(argc, argv, &opt, err, sizeof err) != 0)
        return std::fprintf(stderr, "kaltro-sim: %s\n%sTry 'kaltro-sim --help'.\n", err, usage), 2;

    struct sigaction sa {
    };
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    struct sigaction swap {
    };
    swap.sa_handler = onSwapSignal;
    sigemptyset(&swap.sa_mask);
    sigaction(SIGUSR1, &swap, nullptr);

    int port = SIM_Open(&opt, err, sizeof err);
    if (port < 0) return std::fprintf(stderr, "kaltro-sim: %s\n", err), 1;
    std::printf("COM%d\n", port);
    std::fflush(stdout);
    SIM_Run();
    SIM_Close();
    return 0;
}
