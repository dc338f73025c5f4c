/* bench_mainwnd.cpp -- timing program for the main window: how long the
 * window takes to be made with 32 rows (each UB frequency list 1,201 items,
 * each TP frequency list 2,051), and how long the table takes to be rebuilt
 * after a change from a 24-UB to a 32-UB model. Each is measured until the
 * window has been painted, several times; the median and the slowest run are
 * printed in milliseconds.
 *
 *   bench_mainwnd [--runs N] [--shot PATH]
 *
 * --shot saves a picture of the main window (a 24-UB model with a static, an
 * inactive and a faulty row) as a PNG file. Runs on the offscreen platform
 * unless QT_QPA_PLATFORM says otherwise.
 */
#include "app/mainwnd.h"
#include "app/ubtable.h"
#include "config/resource.h"
#include "config/velnor.h"
#include "platform/testsupport/wintest.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

using Clock = std::chrono::steady_clock;

static double msSince(Clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

static void openMain(int model)
{
    VelnorData = VelnorData_t{};
    VelnorData.Model = static_cast<std::int8_t>(model);
    MyRegisterClass(nullptr);
    if (!InitInstance(nullptr, 1)) {
        std::fprintf(stderr, "the main window cannot be made\n");
        std::exit(1);
    }
}

static void closeMain()
{
    WIN_DestroyWindow(hWnd);
    int code;
    WIN_TakeQuit(&code);
    WIN_ProcessEvents(0);
}

static void report(const char *what, std::vector<double> t)
{
    std::sort(t.begin(), t.end());
    std::printf("%-44s median %7.1f ms   slowest %7.1f ms   (%zu runs)\n", what, t[t.size() / 2],
                t.back(), t.size());
}

static int shot(const char *path)
{
    openMain(3);
    WIN_UserClick(hMode[2]);
    WIN_UserSelect(hConvFreq[2], 300);
    WIN_UserClick(hActive[4]);
    WIN_UserType(hBW[6], L"60");
    WIN_ProcessEvents(50);
    const bool ok = WIN_SaveImage(hWnd, path);
    closeMain();
    if (!ok) std::fprintf(stderr, "cannot save %s\n", path);
    return ok ? 0 : 1;
}

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    WIN_Init(argc, argv);
    std::wcscpy(szTitle, RES_LoadString(IDS_APP_TITLE));

    int runs = 11;
    for (int i = 1; i < argc; i++) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        if (!std::strcmp(argv[i], "--shot") && i + 1 < argc) return shot(argv[++i]);
    }

    openMain(7); /* warm-up: fonts, styles, the shared number lists */
    closeMain();

    std::vector<double> create, rebuild;
    for (int r = 0; r < runs; r++) {
        const Clock::time_point t0 = Clock::now();
        openMain(7);
        WIN_ProcessEvents(0);
        create.push_back(msSince(t0));
        closeMain();

        openMain(3);
        WIN_ProcessEvents(0);
        VelnorData.Model = 7;
        const Clock::time_point t1 = Clock::now();
        MAIN_ReDrawUBTable(hWnd, VelnorData.UBNumber);
        WIN_ProcessEvents(0);
        rebuild.push_back(msSince(t1));
        closeMain();
    }
    report("main window with 32 rows, made and painted", create);
    report("rebuild from 24 to 32 rows, painted", rebuild);
    return 0;
}
