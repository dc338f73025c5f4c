/* rsinit_test.cpp -- the start-up connection window, offscreen, clicked
 * through its real widgets, against kaltro-sim on a pseudo-terminal.
 *
 * Each test runs RSINIT_Init with its own message loop; the user's actions
 * are posted into that loop and wait there for what the window shows. The
 * simulator runs on a thread of the test; the ports folder is a fresh
 * temporary folder, so the scan finds the simulator and nothing else. Waits
 * run at the device dialogs' time scale. The window is found by its title,
 * its controls by their ids, and its fields are read from what is painted.
 */
#include "dialogs/rsinit.h"

#include "config/texts.h"
#include "link/rs232.h"
#include "platform/testsupport/wintest.h"
#include "tests/support/devicedialog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

namespace
{

constexpr COLORREF GREY = RGB(170, 170, 170);
constexpr COLORREF SCAN_GREY = RGB(178, 178, 178);
constexpr COLORREF GREEN = RGB(0, 153, 0);
constexpr COLORREF RED = RGB(170, 0, 0);

/* The three fields as the window paints them: a rectangle in the field's
 * colour with its text, black, in the window's font. */
struct Field {
    int left, top, right, bottom;
};
constexpr Field PORT{130, 10, 300, 30};
constexpr Field CONTROLLER{130, 40, 300, 60};
constexpr Field DEVICE{130, 70, 300, 90};

/* The start-up window, found by its title, and its controls. */
HWND window()
{
    return WIN_FindWindow(TXT(TX_TITLE));
}
HWND control(int id)
{
    return WIN_GetDlgItem(window(), id);
}

const char *colourName(COLORREF c)
{
    return c == GREEN       ? "green"
           : c == RED       ? "red"
           : c == GREY      ? "grey"
           : c == SCAN_GREY ? "scan grey"
                            : "another colour";
}

/* Whether a field shows text on colour as the user sees it: painted on the
 * window's surface, the text and nothing else. */
testing::AssertionResult shows(const Field &f, const std::wstring &text, COLORREF colour)
{
    const COLORREF c = WIN_GetPixel(window(), f.left, f.top);
    HFONT font = WIN_CreateFont(16, 6, FW_MEDIUM, L"Arial");
    const bool t =
        WIN_ShowsText(window(), f.left, f.top, f.right, f.bottom, text.c_str(), font, RGB(0, 0, 0));
    WIN_DeleteFont(font);
    if (c == colour && t) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the field at " << f.top << " is " << colourName(c)
                                       << (t ? " with" : " without") << " that text";
}

/* The scan has ended once the first button reads "OK"; the device row is
 * worked out in the same tick. */
bool scanEnded()
{
    return DeviceDialog::text(control(IDC_RS_FIRST)) == TXT(TX_OK);
}

class StartupWindow : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        WIN_SetTimeScale(TIME_SCALE);
        RS232_Term();
        RS232_ResetPortNumber();
        sim.logPath = ports.dir.path + "/sim.log";
    }
    void TearDown() override
    {
        RS232_Term();
        WIN_SetTimeScale(1);
    }

    /* Runs the window; script acts as the user from inside its loop and must
     * end the window. Returns RSINIT_Init's result. */
    int run(const std::function<void()> &script)
    {
        WIN_Post([script] {
            script();
            if (WIN_IsWindow(window())) {
                ADD_FAILURE() << "the start-up window is still open";
                WIN_DestroyWindow(window());
            }
        });
        return RSINIT_Init(nullptr, 1);
    }

    /* Waits for the end of the scan; false (and a failure) when it ran out. */
    static bool waitScan()
    {
        const bool ended = WIN_WaitFor(scanEnded, WAIT_MS);
        EXPECT_TRUE(ended) << "the scan did not end";
        return ended;
    }

    PortsFolder ports;
    SimThread sim;
};

TEST_F(StartupWindow, FindsTheControllerAndIdentifiesTheDevice)
{
    const int port = sim.Start({"--model", "KX-107", "--powered"});
    ASSERT_GT(port, 0);
    const int code = run([&] {
        if (!waitScan()) return;
        EXPECT_TRUE(shows(PORT, L"COM" + std::to_wstring(port), GREEN));
        EXPECT_TRUE(shows(CONTROLLER, L"Kaltro KX-P2", GREEN));
        EXPECT_TRUE(shows(DEVICE, L"KX-107", GREEN));
        EXPECT_EQ(control(IDC_RS_MODEL), nullptr);
        EXPECT_TRUE(WIN_IsWindowEnabled(control(IDC_RS_REPEAT)));
        EXPECT_EQ(RS232_GetLastPortNumber(), port);
        EXPECT_EQ(RSINIT_GetModel(), 7);

        /* The fields are painted in their colours. */
        WIN_UpdateWindow(window());
        HWND w = window();
        EXPECT_EQ(WIN_GetPixel(w, 132, 12), GREEN);
        EXPECT_EQ(WIN_GetPixel(w, 132, 42), GREEN);
        EXPECT_EQ(WIN_GetPixel(w, 132, 72), GREEN);
        EXPECT_EQ(WIN_GetPixel(w, 5, 5), GREY);

        /* Painting shows what was found without asking the device again. */
        const int queries = sim.Count("lnbe");
        const int volts = sim.Count("volt");
        for (int i = 0; i < 3; ++i) {
            WIN_InvalidateRect(w);
            WIN_UpdateWindow(w);
            WIN_ProcessEvents(20);
        }
        EXPECT_EQ(sim.Count("lnbe"), queries);
        EXPECT_EQ(sim.Count("volt"), volts);
        EXPECT_TRUE(shows(DEVICE, L"KX-107", GREEN));

        WIN_UserClick(control(IDC_RS_FIRST));
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(RSINIT_GetModel(), 7);
    /* The port stays open for the main window: the controller still answers. */
    EXPECT_EQ(RS232_KaltroIdentification(), 0);
}

TEST_F(StartupWindow, UnpoweredDeviceIsPoweredAndGivenTimeToStart)
{
    ASSERT_GT(sim.Start({"--model", "KX-103", "--power-delay", "150"}), 0);
    const auto begin = std::chrono::steady_clock::now();
    const int code = run([&] {
        if (!waitScan()) return;
        EXPECT_TRUE(shows(DEVICE, L"KX-103", GREEN));
        WIN_UserClick(control(IDC_RS_FIRST));
    });
    const auto took = std::chrono::steady_clock::now() - begin;
    EXPECT_EQ(code, 0);
    EXPECT_EQ(RSINIT_GetModel(), 3);
    const std::string log = sim.Log();
    const auto setv = log.find("setv 6");
    ASSERT_NE(setv, std::string::npos) << log;
    EXPECT_LT(log.find("volt"), setv);
    EXPECT_LT(setv, log.find("lnbe"));
    /* The scaled start-up wait of 5000 ms is a lower bound of the run. */
    EXPECT_GE(took, std::chrono::milliseconds(static_cast<int>(5000 * TIME_SCALE)));
}

TEST_F(StartupWindow, PoweredDeviceIsNotPoweredAgain)
{
    ASSERT_GT(sim.Start({"--model", "KX-100", "--powered"}), 0);
    const int code = run([&] {
        if (!waitScan()) return;
        EXPECT_TRUE(shows(DEVICE, L"KX-100", GREEN));
        WIN_UserClick(control(IDC_RS_FIRST));
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(RSINIT_GetModel(), 0);
    EXPECT_EQ(sim.Count("setv"), 0) << sim.Log();
    EXPECT_EQ(sim.Count("lnbe"), 1);
}

TEST_F(StartupWindow, NoControllerShowsNotFoundAndTheModelChoice)
{
    /* No simulator: every port fails at once. The scan starts above the
     * numbers that name real devices, so no hardware is touched. */
    RS232_SetPortNumber(129);
    const int code = run([&] {
        /* The port field shows each port as the scan tries it, counting up;
         * the scan ends only past COM1023. */
        int last = 129, changes = 0;
        bool rising = true, shown = true;
        const bool ended = WIN_WaitFor(
            [&] {
                if (scanEnded()) return true;
                const int n = RS232_GetLastPortNumber();
                shown = shown && shows(PORT, L"COM" + std::to_wstring(n), SCAN_GREY);
                rising = rising && n >= last && n <= 1024;
                changes += n != last;
                last = n;
                return false;
            },
            WAIT_MS);
        ASSERT_TRUE(ended);
        EXPECT_TRUE(shown) << "the port field did not show the port tried";
        EXPECT_TRUE(rising);
        EXPECT_GT(changes, 1);
        EXPECT_TRUE(shows(PORT, L"Not found", RED));
        EXPECT_TRUE(shows(CONTROLLER, L"Not found", RED));
        EXPECT_TRUE(shows(DEVICE, L"Unknown", RED));
        EXPECT_EQ(RS232_GetLastPortNumber(), 0);
        HWND select = control(IDC_RS_MODEL);
        ASSERT_NE(select, nullptr);
        EXPECT_EQ(WIN_ComboGetCount(select), 11);
        EXPECT_EQ(WIN_ComboGetCurSel(select), 0);
        wchar_t name[32];
        WIN_ComboGetItemText(select, 10, name, 32);
        EXPECT_STREQ(name, L"KX-110");
        EXPECT_EQ(RSINIT_GetModel(), 0);

        WIN_UpdateWindow(window());
        EXPECT_EQ(WIN_GetPixel(window(), 132, 72), RED);
        SaveShot(window(), "startup-not-found");

        WIN_UserSelect(select, 4);
        EXPECT_EQ(RSINIT_GetModel(), 4);
        WIN_UserClick(control(IDC_RS_FIRST));
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(RSINIT_GetModel(), 4);
}

TEST_F(StartupWindow, CancelThenOkStartsWithModelZeroAndNoPort)
{
    ASSERT_GT(sim.Start({"--model", "KX-105"}), 0);
    /* Timer periods stretched so that Cancel comes before the first tick. */
    WIN_SetTimeScale(1000);
    const int code = run([&] {
        EXPECT_EQ(DeviceDialog::text(control(IDC_RS_FIRST)), L"Cancel");
        EXPECT_FALSE(WIN_IsWindowEnabled(control(IDC_RS_REPEAT)));
        WIN_UserClick(control(IDC_RS_FIRST));
        EXPECT_EQ(DeviceDialog::text(control(IDC_RS_FIRST)), L"OK");
        EXPECT_TRUE(WIN_IsWindowEnabled(control(IDC_RS_REPEAT)));
        EXPECT_TRUE(shows(PORT, L"Not found", RED));
        EXPECT_TRUE(shows(DEVICE, L"Unknown", RED));
        ASSERT_NE(control(IDC_RS_MODEL), nullptr);
        EXPECT_EQ(WIN_ComboGetCurSel(control(IDC_RS_MODEL)), 0);
        EXPECT_EQ(RS232_GetLastPortNumber(), 1); /* where the scan stood */
        WIN_UserClick(control(IDC_RS_FIRST));
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(RSINIT_GetModel(), 0);
    /* No port was opened: the simulator saw nothing, and nothing answers. */
    EXPECT_EQ(sim.Log().find("gtid"), std::string::npos) << sim.Log();
    EXPECT_EQ(RS232_GetDeviceID(), -1);
}

TEST_F(StartupWindow, ClosingTheWindowEndsTheProgramOnlyBeforeTheFirstButton)
{
    WIN_SetTimeScale(1000); /* no tick comes in between */
    EXPECT_EQ(run([] { WIN_UserClose(window()); }), 1);

    /* Cancel, then the close box: the program goes on with model 0. */
    EXPECT_EQ(run([] {
                  WIN_UserClick(control(IDC_RS_FIRST));
                  WIN_UserClose(window());
              }),
              0);
    EXPECT_EQ(RSINIT_GetModel(), 0);

    /* Exit always ends it, also after Cancel. */
    EXPECT_EQ(run([] {
                  WIN_UserClick(control(IDC_RS_FIRST));
                  WIN_UserClick(control(IDC_RS_EXIT));
              }),
              1);
}

/* A device that gives an ID outside the catalogue, or none at all, leaves the
 * controller found and the model to the user. */
TEST_F(StartupWindow, UnidentifiedDeviceIsChosenByHand)
{
    struct Case {
        std::vector<std::string> sim;
        int choice;
        int replies; /* device replies the simulator sent */
    };
    for (const Case &k : {Case{{"--device-id", "0x30", "--powered"}, 8, 1},
                          Case{{"--no-device", "--powered"}, 5, 0}}) {
        SCOPED_TRACE(k.sim[0]);
        sim.Stop();
        RS232_Term();
        RS232_ResetPortNumber();
        const int port = sim.Start(k.sim);
        ASSERT_GT(port, 0);
        const int code = run([&] {
            if (!waitScan()) return;
            EXPECT_TRUE(shows(PORT, L"COM" + std::to_wstring(port), GREEN));
            EXPECT_TRUE(shows(CONTROLLER, L"Kaltro KX-P2", GREEN));
            EXPECT_TRUE(shows(DEVICE, L"Unknown", RED));
            ASSERT_NE(control(IDC_RS_MODEL), nullptr);
            EXPECT_EQ(WIN_ComboGetCurSel(control(IDC_RS_MODEL)), 0);
            EXPECT_EQ(RSINIT_GetModel(), 0);
            /* Repaints keep the box and the choice, and ask nothing. */
            WIN_UserSelect(control(IDC_RS_MODEL), k.choice);
            HWND select = control(IDC_RS_MODEL);
            const int queries = sim.Count("lnbe");
            WIN_InvalidateRect(window());
            WIN_UpdateWindow(window());
            EXPECT_EQ(control(IDC_RS_MODEL), select);
            EXPECT_EQ(WIN_ComboGetCurSel(select), k.choice);
            EXPECT_EQ(sim.Count("lnbe"), queries);
            WIN_UserClick(control(IDC_RS_FIRST));
        });
        EXPECT_EQ(code, 0);
        EXPECT_EQ(RSINIT_GetModel(), k.choice);
        EXPECT_EQ(sim.Count("Rx: 0xE4 0x30"), k.replies) << sim.Log();
    }
}

TEST_F(StartupWindow, RepeatScansAgainFromTheFirstPort)
{
    const int port = sim.Start({"--model", "KX-106", "--powered"});
    ASSERT_GT(port, 0);
    const int code = run([&] {
        if (!waitScan()) return;
        EXPECT_EQ(RSINIT_GetModel(), 6);

        /* Repeat: the port is closed, the scan starts again from COM1 and
         * Repeat waits for it. Timer periods are stretched to look at it. */
        WIN_SetTimeScale(1000);
        WIN_UserClick(control(IDC_RS_REPEAT));
        EXPECT_EQ(DeviceDialog::text(control(IDC_RS_FIRST)), L"Cancel");
        EXPECT_FALSE(WIN_IsWindowEnabled(control(IDC_RS_REPEAT)));
        EXPECT_EQ(RS232_GetLastPortNumber(), 1);
        EXPECT_TRUE(shows(PORT, L"COM1", SCAN_GREY));
        EXPECT_TRUE(shows(CONTROLLER, L"", GREY));
        EXPECT_TRUE(shows(DEVICE, L"", GREY));
        EXPECT_EQ(RS232_GetDeviceID(), -1); /* the port is closed */

        /* Cancel offers the first model, whatever was found before. */
        WIN_UserClick(control(IDC_RS_FIRST));
        ASSERT_NE(control(IDC_RS_MODEL), nullptr);
        EXPECT_EQ(WIN_ComboGetCurSel(control(IDC_RS_MODEL)), 0);
        EXPECT_EQ(RSINIT_GetModel(), 0);

        /* Repeat again: the selection and its label go; the scan finds the
         * controller and the device once more. */
        WIN_UserClick(control(IDC_RS_REPEAT));
        EXPECT_EQ(control(IDC_RS_MODEL), nullptr);
        HWND w = window();
        WIN_UpdateWindow(w);
        for (int x = 10; x < 180; x += 4)
            EXPECT_EQ(WIN_GetPixel(w, x, 115), GREY) << "label left at x " << x;
        WIN_SetTimeScale(TIME_SCALE);
        WIN_InvalidateRect(w); /* a paint during the scan asks nothing */
        if (!waitScan()) return;
        EXPECT_EQ(RS232_GetLastPortNumber(), port);
        EXPECT_TRUE(shows(DEVICE, L"KX-106", GREEN));
        EXPECT_EQ(control(IDC_RS_MODEL), nullptr);
        WIN_UserClick(control(IDC_RS_FIRST));
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(RSINIT_GetModel(), 6);
    EXPECT_EQ(sim.Count("gtid"), 2);
    EXPECT_EQ(sim.Count("lnbe"), 2);
}

/* Leftmost and rightmost columns in rows top .. top+16 of x0 .. x1 whose
 * pixels differ from bg; false when there are none. */
bool inkSpan(HWND w, int x0, int x1, int top, COLORREF bg, int *left, int *right)
{
    *left = x1;
    *right = x0 - 1;
    for (int x = x0; x < x1; ++x)
        for (int y = top; y < top + 16; ++y)
            if (WIN_GetPixel(w, x, y) != bg) {
                *left = std::min(*left, x);
                *right = std::max(*right, x);
            }
    return *right >= *left;
}

TEST_F(StartupWindow, TextsAreCentredAndDoNotOverlap)
{
    ASSERT_GT(sim.Start({"--model", "KX-108", "--powered"}), 0);
    const int code = run([&] {
        if (!waitScan()) return;
        HWND w = window();
        WIN_InvalidateRect(w);
        WIN_UpdateWindow(w);
        SaveShot(w, "startup-found");
        int left, right;
        /* Each field's text sits on the field's middle (215), inside it. */
        for (int top : {12, 42, 72}) {
            ASSERT_TRUE(inkSpan(w, 130, 300, top, GREEN, &left, &right)) << top;
            EXPECT_GT(left, 132);
            EXPECT_LT(right, 298);
            EXPECT_NEAR((left + right) / 2.0, 215, 3.0) << "field at " << top;
        }
        /* The labels end well before the fields. */
        for (int top : {12, 42, 72}) {
            ASSERT_TRUE(inkSpan(w, 0, 130, top, GREY, &left, &right)) << top;
            EXPECT_GE(left, 10);
            EXPECT_LT(right, 125);
        }
        /* The buttons fit the client area. */
        int cw, ch, x, y, bw, bh;
        WIN_GetClientSize(w, &cw, &ch);
        WIN_GetControlRect(control(IDC_RS_EXIT), &x, &y, &bw, &bh);
        EXPECT_LE(x + bw, cw);
        EXPECT_LE(y + bh, ch);
        int ow, oh;
        WIN_GetWindowSize(w, &ow, &oh);
        EXPECT_EQ(ow, 320);
        EXPECT_EQ(oh, 210);
        WIN_UserClick(control(IDC_RS_FIRST));
    });
    EXPECT_EQ(code, 0);
}

} // namespace
