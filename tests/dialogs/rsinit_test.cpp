/* rsinit_test.cpp -- the start-up connection window, offscreen, clicked
 * through its real widgets, against kaltro-sim on a pseudo-terminal.
 *
 * Each test runs RSINIT_Init with its own message loop; the user's actions
 * are posted into that loop and wait there for what the window shows. The
 * simulator runs on a thread of the test; the ports folder is a fresh
 * temporary folder, so the scan finds the simulator and nothing else. Waits
 * run at the device dialogs' time scale.
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

std::wstring field(RsinitField f, COLORREF *color = nullptr)
{
    wchar_t buf[128];
    const COLORREF c = RSINIT_GetField(f, buf, 128);
    if (color != nullptr) *color = c;
    return buf;
}

/* A field as the user sees it: "COM1 on green", " on grey" for an empty one. */
std::wstring shown(RsinitField f)
{
    COLORREF c;
    const std::wstring t = field(f, &c);
    const wchar_t *name = c == GREEN       ? L"green"
                          : c == RED       ? L"red"
                          : c == GREY      ? L"grey"
                          : c == SCAN_GREY ? L"scan grey"
                                           : L"another colour";
    return t + L" on " + name;
}

HWND item(RsinitItem i)
{
    return RSINIT_GetHandle(i);
}

/* The scan has ended once the first button reads "OK"; the device row is
 * worked out in the same tick. */
bool scanEnded()
{
    return DeviceDialog::text(item(RsinitItem::FirstButton)) == TXT(TX_OK);
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
            if (WIN_IsWindow(item(RsinitItem::Window))) {
                ADD_FAILURE() << "the start-up window is still open";
                WIN_DestroyWindow(item(RsinitItem::Window));
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
        EXPECT_EQ(shown(RsinitField::Port), L"COM" + std::to_wstring(port) + L" on green");
        EXPECT_EQ(shown(RsinitField::Controller), L"Kaltro KX-P2 on green");
        EXPECT_EQ(shown(RsinitField::Device), L"KX-107 on green");
        EXPECT_EQ(item(RsinitItem::Select), nullptr);
        EXPECT_TRUE(WIN_IsWindowEnabled(item(RsinitItem::Repeat)));
        EXPECT_EQ(RS232_GetLastPortNumber(), port);
        EXPECT_EQ(RSINIT_GetModel(), 7);

        /* The fields are painted in their colours. */
        WIN_UpdateWindow(item(RsinitItem::Window));
        HWND w = item(RsinitItem::Window);
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
        EXPECT_EQ(field(RsinitField::Device), L"KX-107");

        WIN_UserClick(item(RsinitItem::FirstButton));
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
        EXPECT_EQ(field(RsinitField::Device), L"KX-103");
        WIN_UserClick(item(RsinitItem::FirstButton));
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
        EXPECT_EQ(field(RsinitField::Device), L"KX-100");
        WIN_UserClick(item(RsinitItem::FirstButton));
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
        /* The port field counts up while the scan runs; it ends only past COM1023. */
        int last = 129, changes = 0;
        bool rising = true;
        const bool ended = WIN_WaitFor(
            [&] {
                const std::wstring port = field(RsinitField::Port);
                if (port.rfind(L"COM", 0) == 0) {
                    const int n = std::stoi(port.substr(3));
                    rising = rising && n >= last && n <= 1024;
                    changes += n != last;
                    last = n;
                }
                return scanEnded();
            },
            WAIT_MS);
        ASSERT_TRUE(ended);
        EXPECT_TRUE(rising);
        EXPECT_GT(changes, 1);
        EXPECT_EQ(shown(RsinitField::Port), L"Not found on red");
        EXPECT_EQ(shown(RsinitField::Controller), L"Not found on red");
        EXPECT_EQ(shown(RsinitField::Device), L"Unknown on red");
        EXPECT_EQ(RS232_GetLastPortNumber(), 0);
        HWND select = item(RsinitItem::Select);
        ASSERT_NE(select, nullptr);
        EXPECT_EQ(WIN_ComboGetCount(select), 11);
        EXPECT_EQ(WIN_ComboGetCurSel(select), 0);
        wchar_t name[32];
        WIN_ComboGetItemText(select, 10, name, 32);
        EXPECT_STREQ(name, L"KX-110");
        EXPECT_EQ(RSINIT_GetModel(), 0);

        WIN_UpdateWindow(item(RsinitItem::Window));
        EXPECT_EQ(WIN_GetPixel(item(RsinitItem::Window), 132, 72), RED);
        SaveShot(item(RsinitItem::Window), "startup-not-found");

        WIN_UserSelect(select, 4);
        EXPECT_EQ(RSINIT_GetModel(), 4);
        WIN_UserClick(item(RsinitItem::FirstButton));
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
        EXPECT_EQ(DeviceDialog::text(item(RsinitItem::FirstButton)), L"Cancel");
        EXPECT_FALSE(WIN_IsWindowEnabled(item(RsinitItem::Repeat)));
        WIN_UserClick(item(RsinitItem::FirstButton));
        EXPECT_EQ(DeviceDialog::text(item(RsinitItem::FirstButton)), L"OK");
        EXPECT_TRUE(WIN_IsWindowEnabled(item(RsinitItem::Repeat)));
        EXPECT_EQ(field(RsinitField::Port), L"Not found");
        EXPECT_EQ(field(RsinitField::Device), L"Unknown");
        ASSERT_NE(item(RsinitItem::Select), nullptr);
        EXPECT_EQ(WIN_ComboGetCurSel(item(RsinitItem::Select)), 0);
        EXPECT_EQ(RS232_GetLastPortNumber(), 1); /* where the scan stood */
        WIN_UserClick(item(RsinitItem::FirstButton));
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
    EXPECT_EQ(run([] { WIN_UserClose(item(RsinitItem::Window)); }), 1);

    /* Cancel, then the close box: the program goes on with model 0. */
    EXPECT_EQ(run([] {
                  WIN_UserClick(item(RsinitItem::FirstButton));
                  WIN_UserClose(item(RsinitItem::Window));
              }),
              0);
    EXPECT_EQ(RSINIT_GetModel(), 0);

    /* Exit always ends it, also after Cancel. */
    EXPECT_EQ(run([] {
                  WIN_UserClick(item(RsinitItem::FirstButton));
                  WIN_UserClick(item(RsinitItem::Exit));
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
            EXPECT_EQ(shown(RsinitField::Port), L"COM" + std::to_wstring(port) + L" on green");
            EXPECT_EQ(shown(RsinitField::Controller), L"Kaltro KX-P2 on green");
            EXPECT_EQ(shown(RsinitField::Device), L"Unknown on red");
            ASSERT_NE(item(RsinitItem::Select), nullptr);
            EXPECT_EQ(WIN_ComboGetCurSel(item(RsinitItem::Select)), 0);
            EXPECT_EQ(RSINIT_GetModel(), 0);
            /* Repaints keep the box and the choice, and ask nothing. */
            WIN_UserSelect(item(RsinitItem::Select), k.choice);
            HWND select = item(RsinitItem::Select);
            const int queries = sim.Count("lnbe");
            WIN_InvalidateRect(item(RsinitItem::Window));
            WIN_UpdateWindow(item(RsinitItem::Window));
            EXPECT_EQ(item(RsinitItem::Select), select);
            EXPECT_EQ(WIN_ComboGetCurSel(select), k.choice);
            EXPECT_EQ(sim.Count("lnbe"), queries);
            WIN_UserClick(item(RsinitItem::FirstButton));
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
        WIN_UserClick(item(RsinitItem::Repeat));
        EXPECT_EQ(DeviceDialog::text(item(RsinitItem::FirstButton)), L"Cancel");
        EXPECT_FALSE(WIN_IsWindowEnabled(item(RsinitItem::Repeat)));
        EXPECT_EQ(RS232_GetLastPortNumber(), 1);
        EXPECT_EQ(shown(RsinitField::Port), L"COM1 on scan grey");
        EXPECT_EQ(shown(RsinitField::Controller), L" on grey");
        EXPECT_EQ(shown(RsinitField::Device), L" on grey");
        EXPECT_EQ(RS232_GetDeviceID(), -1); /* the port is closed */

        /* Cancel offers the first model, whatever was found before. */
        WIN_UserClick(item(RsinitItem::FirstButton));
        ASSERT_NE(item(RsinitItem::Select), nullptr);
        EXPECT_EQ(WIN_ComboGetCurSel(item(RsinitItem::Select)), 0);
        EXPECT_EQ(RSINIT_GetModel(), 0);

        /* Repeat again: the selection and its label go; the scan finds the
         * controller and the device once more. */
        WIN_UserClick(item(RsinitItem::Repeat));
        EXPECT_EQ(item(RsinitItem::Select), nullptr);
        HWND w = item(RsinitItem::Window);
        WIN_UpdateWindow(w);
        for (int x = 10; x < 180; x += 4)
            EXPECT_EQ(WIN_GetPixel(w, x, 115), GREY) << "label left at x " << x;
        WIN_SetTimeScale(TIME_SCALE);
        WIN_InvalidateRect(w); /* a paint during the scan asks nothing */
        if (!waitScan()) return;
        EXPECT_EQ(RS232_GetLastPortNumber(), port);
        EXPECT_EQ(field(RsinitField::Device), L"KX-106");
        EXPECT_EQ(item(RsinitItem::Select), nullptr);
        WIN_UserClick(item(RsinitItem::FirstButton));
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
        HWND w = item(RsinitItem::Window);
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
        WIN_GetControlRect(item(RsinitItem::Exit), &x, &y, &bw, &bh);
        EXPECT_LE(x + bw, cw);
        EXPECT_LE(y + bh, ch);
        int ow, oh;
        WIN_GetWindowSize(w, &ow, &oh);
        EXPECT_EQ(ow, 320);
        EXPECT_EQ(oh, 210);
        WIN_UserClick(item(RsinitItem::FirstButton));
    });
    EXPECT_EQ(code, 0);
}

} // namespace
