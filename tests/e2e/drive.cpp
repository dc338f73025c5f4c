/* drive.cpp -- the program's start-up and main window on whatever windowing
 * system the environment names, acted on from inside as the user would: OK
 * once the start-up window has identified the device, then the main window's
 * close box. For the Wayland run, where no outside tool can click or close a
 * window; the code between main() and the windows is the program's own.
 *
 *   e2e-drive PLATFORM [COMMAND]
 *
 * PLATFORM: the Qt platform the windows must be on. COMMAND, when given, is
 * run by the shell once the main window is on the screen and has had time
 * to reach it (a screenshot of the compositor's output, say); the window is
 * closed when it has ended.
 *
 * Exit status: the program's (0 after the close), or 1 with one line on
 * standard error when the platform is not the one expected, a step does not
 * come within its time, or COMMAND fails.
 */
#include "app/mainwnd.h"
#include "config/texts.h"
#include "dialogs/rsinit.h"
#include "platform/testsupport/wintest.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace
{

/* Bound of the whole run; the powered simulator is identified in about 1 s. */
constexpr auto LIMIT = std::chrono::seconds(30);
constexpr unsigned POLL_MS = 10; /* pause between two looks at the windows */
/* The start-up window's device field turns green when the device is
 * identified; a pixel inside it. */
constexpr int DEVICE_FIELD_X = 132, DEVICE_FIELD_Y = 72;
constexpr COLORREF FOUND_GREEN = RGB(0, 153, 0);
/* Looks at the windows between the main window's exposure and COMMAND: the
 * frames painted meanwhile reach the compositor. */
constexpr int SETTLE_LOOKS = 30;

std::chrono::steady_clock::time_point start;
bool clickedOk;
const char *whenShown; /* COMMAND, or nullptr */
int settled;           /* looks since the main window was exposed */

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "e2e-drive: %s\n", what);
    std::fflush(stderr);
    std::_Exit(1);
}

/* The start-up window, found by its title, or nullptr. */
HWND startupWindow()
{
    return WIN_FindWindow(TXT(TX_TITLE));
}

/* The start-up window's scan has ended, with the device identified. */
bool deviceFound()
{
    wchar_t button[32] = L"";
    WIN_GetWindowText(WIN_GetDlgItem(startupWindow(), IDC_RS_FIRST), button, 32);
    return std::wcscmp(button, TXT(TX_OK)) == 0 &&
           WIN_GetPixel(startupWindow(), DEVICE_FIELD_X, DEVICE_FIELD_Y) == FOUND_GREEN;
}

/* One look at the windows, then again after a pause, from whichever message
 * loop runs: the start-up window's, then the main window's. */
void watch()
{
    if (std::chrono::steady_clock::now() - start > LIMIT)
        fail(clickedOk ? "no main window after OK" : "the start-up window found no device");
    if (!clickedOk && WIN_IsWindow(startupWindow()) && deviceFound()) {
        WIN_UserClick(WIN_GetDlgItem(startupWindow(), IDC_RS_FIRST));
        clickedOk = true;
    } else if (clickedOk && hWnd && WIN_IsWindowVisible(hWnd)) {
        if (WIN_IsWindow(startupWindow()))
            fail("the start-up window is still open beside the main window");
        if (whenShown == nullptr || (WIN_IsOnScreen(hWnd) && ++settled >= SETTLE_LOOKS)) {
            if (whenShown != nullptr && std::system(whenShown) != 0)
                fail("the command run on the shown main window failed");
            WIN_UserClose(hWnd);
            return;
        }
    }
    WIN_Sleep(POLL_MS);
    WIN_Post(watch);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2 && argc != 3)
        return std::fputs("usage: e2e-drive PLATFORM [COMMAND]\n", stderr), 2;
    whenShown = argc == 3 ? argv[2] : nullptr;
    WIN_Init(1, argv);
    if (std::strcmp(WIN_PlatformName(), argv[1]) != 0) {
        std::fprintf(stderr, "e2e-drive: the windows are on %s, not %s\n", WIN_PlatformName(),
                     argv[1]);
        return 1;
    }
    start = std::chrono::steady_clock::now();
    WIN_Post(watch);
    return wWinMain(nullptr, nullptr, L"", 1);
}
