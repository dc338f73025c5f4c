/* main.cpp -- kaltro-sim: runs the simulated Kaltro and dCSS device on a
 * pseudo-terminal until SIGINT or SIGTERM, printing the COM name first.
 * Everything else is in the brevant_sim library.
 */
#include "sim/sim.h"

#include <csignal>
#include <cstdio>
#include <cstring>

static const char usage[] =
    "usage: kaltro-sim [--model KX-103] [--port N] [--store DIR] [--state FILE] [--log FILE]\n"
    "                  [--voltage L] [--power-delay MS] [--reply-delay MS] [--silent] "
    "[--no-device]\n"
    "                  [--refuse CMD]... [--nak N] [--can-at K] [--split] [--nul] [--noise]\n"
    "                  [--stop-after N] [--line-rate] [--no-space N] [--ubs N] [--id N]\n";

static void onSignal(int)
{
    SIM_RequestStop();
}

int main(int argc, char **argv)
{
    static SIM_Options opt;
    char err[256] = "";
    for (int i = 1; i < argc; i++)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return std::fputs(usage, stdout), 0;
    if (SIM_ParseArgs(argc, argv, &opt, err, sizeof err) != 0)
        return std::fprintf(stderr, "kaltro-sim: %s\n%s", err, usage), 2;

    struct sigaction sa {
    };
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);

    int port = SIM_Open(&opt, err, sizeof err);
    if (port < 0) return std::fprintf(stderr, "kaltro-sim: %s\n", err), 1;
    std::printf("COM%d\n", port);
    std::fflush(stdout);
    SIM_Run();
    SIM_Close();
    return 0;
}
