/* smalldlgs_test.cpp -- the controller settings, get-device and serial-port
 * dialogs, offscreen, through their real widgets, against kaltro-sim.
 */
#include "dialogs/getdevice.h"
#include "dialogs/kaltrosetting.h"
#include "dialogs/serialdlg.h"
#include "ops/devop.h"

#include "config/texts.h"
#include "link/portname.h"
#include "link/rs232os.h"
#include "tests/support/devicedialog.h"

#include <cerrno>

namespace
{

INT_PTR runKaltro(const std::function<void(HWND)> &script)
{
    return DeviceDialog::run(
        [] { return WIN_DialogBox(nullptr, &KALTROSETTING_Template, KaltroSetting); }, script);
}

using KaltroSettings = DeviceDialog;

TEST_F(KaltroSettings, ShowsTheReportedLevelAndSendsTheChosenOne)
{
    ASSERT_TRUE(connectWithState({"volt_reading=14.62", "kaltro_sw=2.13"}));
    runKaltro([&](HWND d) {
        EXPECT_EQ(count(d, IDC_KS_VOLTAGE), 16);
        EXPECT_EQ(selection(d, IDC_KS_VOLTAGE), 7);
        EXPECT_EQ(text(d, IDC_KS_VOLTAGE), L"15.00V");
        EXPECT_EQ(text(d, IDC_KS_SW_VERSION), L"2.13");
        shot(d, "kaltro-settings");
        WIN_UserSelect(WIN_GetDlgItem(d, IDC_KS_VOLTAGE), 8);
        EXPECT_TRUE(WIN_WaitFor([&] { return sim.Count("> setv 8") == 1; }, WAIT_MS));
        WIN_UserSelect(WIN_GetDlgItem(d, IDC_KS_VOLTAGE), 0);
        EXPECT_TRUE(WIN_WaitFor([&] { return sim.Count("> setv 0") == 1; }, WAIT_MS));
    });
    EXPECT_EQ(DEVOP_VoltageLabel(8), std::wstring(L"18.15V"));
    EXPECT_EQ(DEVOP_VoltageLabel(16), nullptr);
}

TEST_F(KaltroSettings, EighteenVoltsIsTheFirstLevelAboveIt)
{
    ASSERT_TRUE(connectWithState({"volt_reading=18.00"}));
    runKaltro([&](HWND d) { EXPECT_EQ(text(d, IDC_KS_VOLTAGE), L"18.50V"); });
}

using GetDevice = DeviceDialog;

TEST_F(GetDevice, ReadSelectsTheModelAndUnknownGivesNone)
{
    ASSERT_TRUE(connectWithState({"model=KX-106"}));
    run([] { return static_cast<INT_PTR>(dCSSGETDEVICE_Init(nullptr, nullptr)); },
        [&](HWND d) {
            EXPECT_EQ(count(d, IDC_GD_MODEL), 12);
            EXPECT_EQ(text(d, IDC_GD_MODEL), L"???");
            EXPECT_FALSE(enabled(d, IDC_GD_MODEL));
            WIN_UserClick(WIN_GetDlgItem(d, IDC_GD_READ));
            EXPECT_EQ(selection(d, IDC_GD_MODEL), 6);
            EXPECT_TRUE(enabled(d, IDC_GD_MODEL));
            EXPECT_EQ(dCSSGETDEVICE_GetID(), 6);
            shot(d, "get-device");
            WIN_UserSelect(WIN_GetDlgItem(d, IDC_GD_MODEL), 11);
            EXPECT_EQ(dCSSGETDEVICE_GetID(), -1);
            WIN_UserSelect(WIN_GetDlgItem(d, IDC_GD_MODEL), 2);
            WIN_UserClose(d); /* the result stands however the dialog closes */
        });
    EXPECT_EQ(dCSSGETDEVICE_GetID(), 2);

    /* Opening again forgets it; closing without a choice gives none. */
    run([] { return static_cast<INT_PTR>(dCSSGETDEVICE_Init(nullptr, nullptr)); }, [](HWND) {});
    EXPECT_EQ(dCSSGETDEVICE_GetID(), -1);
}

class SerialPort : public DeviceDialog
{
  protected:
    static void runSerial(const std::function<void(HWND)> &script)
    {
        run([] { return static_cast<INT_PTR>(RSSERIAL_Init(nullptr, nullptr)); }, script);
    }
    /* Waits for a scan to end: the port box is enabled again. */
    static bool scanEnded(HWND d)
    {
        const bool ended = WIN_WaitFor([d] { return enabled(d, IDC_SP_PORT); }, 120000);
        EXPECT_TRUE(ended) << "the scan did not end";
        return ended;
    }
    /* Whether a port is open: only then does a write go out. */
    static bool portOpen() { return WriteABuffer("\r", 1) == 1; }
};

TEST_F(SerialPort, FindContinueChooseAndDisconnect)
{
    ASSERT_TRUE(connectWithState({}, {"--port", "3"}));
    ASSERT_EQ(port, 3);
    runSerial([&](HWND d) {
        EXPECT_EQ(count(d, IDC_SP_PORT), 1025);
        EXPECT_EQ(selection(d, IDC_SP_PORT), 3);
        EXPECT_EQ(text(d, IDC_SP_PORT), L"COM3");
        EXPECT_FALSE(enabled(d, IDC_SP_PORT));

        /* Find scans from COM1 and stops on the Kaltro, port open. */
        const int identifications = sim.Count("> gtid");
        WIN_UserClick(WIN_GetDlgItem(d, IDC_SP_FIND));
        EXPECT_FALSE(enabled(d, IDC_SP_PORT));
        if (!scanEnded(d)) return;
        EXPECT_EQ(selection(d, IDC_SP_PORT), 3);
        EXPECT_EQ(RS232_GetLastPortNumber(), 3);
        EXPECT_EQ(sim.Count("> gtid"), identifications + 1);
        shot(d, "serial-port");
        EXPECT_TRUE(portOpen());

        /* Continue tries COM4 onward and finds no other Kaltro. */
        WIN_UserClick(WIN_GetDlgItem(d, IDC_SP_CONTINUE));
        if (!scanEnded(d)) return;
        EXPECT_EQ(selection(d, IDC_SP_PORT), 0);
        EXPECT_EQ(text(d, IDC_SP_PORT), TXT(TX_NO_REPLY_KALTRO));
        EXPECT_EQ(RS232_GetLastPortNumber(), 0);
        EXPECT_FALSE(portOpen());

        /* Choosing COM3 by hand opens it. */
        WIN_UserSelect(WIN_GetDlgItem(d, IDC_SP_PORT), 3);
        EXPECT_EQ(RS232_GetLastPortNumber(), 3);
        EXPECT_TRUE(portOpen());

        /* Disconnect closes it. */
        WIN_UserClick(WIN_GetDlgItem(d, IDC_SP_DISCONNECT));
        EXPECT_EQ(selection(d, IDC_SP_PORT), 0);
        EXPECT_EQ(RS232_GetLastPortNumber(), 0);
        EXPECT_FALSE(portOpen());
    });
}

TEST_F(SerialPort, PortWithoutAKaltroClosesTheOpenOne)
{
    ASSERT_TRUE(connectWithState({}, {"--port", "3"}));
    runSerial([&](HWND d) {
        WIN_UserClick(WIN_GetDlgItem(d, IDC_SP_DISCONNECT));
        WIN_UserSelect(WIN_GetDlgItem(d, IDC_SP_PORT), 3);
        ASSERT_TRUE(portOpen());
        WIN_UserSelect(WIN_GetDlgItem(d, IDC_SP_PORT), 2);
        EXPECT_EQ(selection(d, IDC_SP_PORT), 0);
        EXPECT_FALSE(portOpen());
        EXPECT_EQ(RS232_GetLastPortNumber(), 3); /* the number stays */
    });
}

TEST_F(SerialPort, ARefusedPortIsToldWithItsDeviceAndWhatToDo)
{
    ASSERT_TRUE(connectWithState({}, {"--port", "1010"}));
    static std::string refused;
    char path[256];
    ASSERT_EQ(PORTNAME_Device(1010, path, sizeof path), 0);
    refused = path;
    /* The system refuses this user the port, as for one not in its group. */
    RS232_GetOsCalls()->OpenDevice = [](const char *p) {
        return refused == p ? (errno = EACCES, -1) : RS232_DefaultOsCalls().OpenDevice(p);
    };
    RS232_Term();
    RS232_SetPortNumber(1000);
    runSerial([&](HWND d) {
        WIN_QueueMessageBoxAnswer(IDOK);
        WIN_UserClick(WIN_GetDlgItem(d, IDC_SP_CONTINUE));
        if (!scanEnded(d)) return;
        const std::wstring told = WIN_LastMessageBoxText();
        EXPECT_NE(told.find(L"/dev/pts/"), std::wstring::npos) << "the device node";
        EXPECT_NE(told.find(L"COM1010) cannot be opened: permission denied"), std::wstring::npos);
        EXPECT_EQ(selection(d, IDC_SP_PORT), 0);

        /* Chosen by hand, it is told the same; the device line names it. */
        WIN_QueueMessageBoxAnswer(IDOK);
        WIN_UserSelect(WIN_GetDlgItem(d, IDC_SP_PORT), 1010);
        EXPECT_NE(std::wstring(WIN_LastMessageBoxText()).find(L"permission denied"),
                  std::wstring::npos);
        RS232_GetOsCalls()->OpenDevice = RS232_DefaultOsCalls().OpenDevice;
        WIN_UserSelect(WIN_GetDlgItem(d, IDC_SP_PORT), 1010);
        EXPECT_TRUE(portOpen());
        EXPECT_EQ(text(d, IDC_SP_DEVICE).rfind(L"/dev/pts/", 0), 0u) << "the device of COM1010";
        shot(d, "serial-port-device");
    });
    *RS232_GetOsCalls() = RS232_DefaultOsCalls();
}

} // namespace
