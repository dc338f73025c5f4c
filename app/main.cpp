/* main.cpp -- the brevant program: answers --help and --version, refuses any
 * other argument, says so in one line when there is no graphical session to
 * open windows on or its display cannot be reached, and otherwise chooses the
 * windows' language (the one remembered from the Language menu, else the
 * locale's), starts the windowing layer and runs the program's start-up,
 * whose result is the exit code. The program takes no other options:
 * everything else happens in its windows. */
#include "app/mainwnd.h"
#include "config/lang.h"
#include "platform/win.h"

#include <cstdio>
#include <cstring>

static const char usage[] = "usage: brevant [--help | --version]\n";

static const char help[] =
    "Configures single-cable satellite LNBs (dCSS devices) through the Kaltro\n"
    "serial programming controller. The start-up window scans the serial ports\n"
    "for the Kaltro and identifies the device; the main window edits, checks,\n"
    "programs and reads back its table of user bands.\n"
    "\n"
    "  -h, --help     print this help and exit\n"
    "      --version  print the version and exit\n"
    "\n"
    "COM1-32 are /dev/ttyUSB0-31, COM33-64 /dev/ttyACM0-31, COM65-96 /dev/ttyS0-31,\n"
    "COM97-128 /dev/rfcomm0-31. Opening one needs membership of the group that\n"
    "owns it, usually dialout. Without hardware, start kaltro-sim first: the scan\n"
    "finds it. See brevant(1).\n"
    "\n"
    "The windows speak the language of the locale (LANGUAGE, LC_ALL, LC_MESSAGES,\n"
    "LANG) or the one chosen in the Language menu: English, German, French,\n"
    "Italian, Spanish, Polish or Dutch.\n";

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i];
        if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0)
            return std::printf("%s\n%s", usage, help), 0;
        if (std::strcmp(a, "--version") == 0) return std::puts("brevant " BREVANT_VERSION), 0;
        std::fprintf(stderr, "brevant: %s %s\n%sTry 'brevant --help'.\n",
                     a[0] == '-' ? "unknown option" : "unexpected argument", a, usage);
        return 2;
    }
    char why[WIN_DISPLAY_TEXT_LEN];
    if (WIN_CheckDisplay(why, sizeof why) != 0) {
        std::fprintf(stderr, "brevant: %s\n", why);
        return 1;
    }
    LANG_Use(LANG_ForWindows());
    WIN_Init(argc, argv);
    WIN_SetLanguage(LANG_Code(Lang));
    return wWinMain(nullptr, nullptr, L"", 1);
}
