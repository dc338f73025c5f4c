/* compare_test.cpp -- Compare with Device and Verify after Program through
 * the main window's menu against kaltro-sim: the differences in the table's
 * words with the user's table left alone until the device's is taken, and a
 * verified Program that finds a band the device did not store.
 */
#include "tests/dialogs/maindevice.h"

#include "app/devcmds.h"
#include "app/mainwnd.h"
#include "app/ubtable.h"
#include "config/resource.h"
#include "config/settings.h"
#include "dialogs/diffs.h"
#include "dialogs/displaystate.h"
#include "ops/progop.h"

namespace
{

constexpr int IDC_DIFF_SUMMARY = 1601, IDC_DIFF_LIST = 1602, IDC_DIFF_TAKE = 1603;

class Compare : public MainDeviceDialog
{
  protected:
    /* The verify choice goes to a settings folder of the test's own. */
    TempDir config;
    void SetUp() override
    {
        MainDeviceDialog::SetUp();
        setenv("XDG_CONFIG_HOME", config.path.c_str(), 1);
    }

    /* Chooses command; the progress dialog runs to its end, then then acts
     * in the result dialog that follows. */
    void throughProgress(int command, std::function<void(HWND)> then)
    {
        during([then] {
            HWND progress = WIN_ActiveDialog();
            ASSERT_TRUE(WIN_WaitFor([progress] { return !open(progress); }, 60000));
            WIN_Post([then] {
                ASSERT_TRUE(WIN_WaitFor([] { return WIN_ActiveDialog() != nullptr; }, WAIT_MS));
                then(WIN_ActiveDialog());
            });
        });
        WndProc(hWnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
    static std::wstring box(HWND d, int id)
    {
        wchar_t buf[4096] = {};
        WIN_GetWindowText(WIN_GetDlgItem(d, id), buf, 4096);
        return buf;
    }
};

TEST_F(Compare, DifferencesInTheTablesWordsAndTheDevicesTableTakenOnlyWhenAsked)
{
    openMain(3);
    ASSERT_TRUE(connect({"--model", "KX-103"}));
    /* The factory table and version 1.0 on both sides: the device holds it. */
    VelnorData.DBaseVersion = 0x10;
    throughProgress(IDM_COMPARE, [](HWND d) {
        EXPECT_EQ(box(d, IDC_DIFF_SUMMARY), TXT(TX_DEVICE_HOLDS));
        EXPECT_FALSE(WIN_IsWindowVisible(WIN_GetDlgItem(d, IDC_DIFF_TAKE)));
        click(IDCANCEL);
    });
    /* Two changes on the screen; the first look leaves them there. */
    VelnorCfg[MAIN_FindRow(3)].UBFreqDec = 5;
    VelnorData.DBaseVersion = 0x12;
    const VelnorCfg_t mine = VelnorCfg[MAIN_FindRow(3)];
    const int freq = mine.UBFreq;
    throughProgress(IDM_COMPARE, [freq](HWND d) {
        shot(d, "compare-with-device");
        EXPECT_EQ(box(d, IDC_DIFF_LIST), L"Config Version 1.2 here, 1.0 in the device\nUB 3: "
                                         L"UB Frequency " +
                                             std::to_wstring(freq) + L".5 here, " +
                                             std::to_wstring(freq) + L".0 in the device");
        click(IDCANCEL);
    });
    EXPECT_EQ(VelnorCfg[MAIN_FindRow(3)].UBFreqDec, 5);
    EXPECT_EQ(VelnorData.DBaseVersion, 0x12);
    /* Taken: the device's table and version replace the screen's. */
    throughProgress(IDM_COMPARE, [](HWND) { click(IDC_DIFF_TAKE); });
    EXPECT_EQ(VelnorCfg[MAIN_FindRow(3)].UBFreqDec, 0);
    EXPECT_EQ(VelnorData.DBaseVersion, 0x10);
}

TEST_F(Compare, VerifiedProgramFindsABandTheDeviceDidNotStore)
{
    openMain(3);
    ASSERT_TRUE(connect({"--model", "KX-103", "--faulty", "100", "--seed", "8"}));
    SIM_RequestSwap(); /* device 2 keeps band 22 as it was */
    ASSERT_TRUE(WIN_WaitFor([] { return SIM_SwapCount() > 0 && RS232_GetDeviceID() >= 0; }, 10000));
    VelnorCfg[MAIN_FindRow(22)].AGCVal = -23;
    ASSERT_FALSE(MAIN_VerifyChosen());
    WndProc(hWnd, WM_COMMAND, MAKEWPARAM(IDM_VERIFY, 0), 0);
    ASSERT_TRUE(MAIN_VerifyChosen()); /* remembered in the settings file */

    during([] {
        if (waitText(&DisplayShown, TX_VERIFY_FAILED)) click(IDOK);
        WIN_Post([] {
            ASSERT_TRUE(WIN_WaitFor([] { return WIN_ActiveDialog() != nullptr; }, WAIT_MS));
            HWND d = WIN_ActiveDialog();
            EXPECT_EQ(box(d, IDC_DIFF_SUMMARY), TXT(TX_VERIFY_FAILED));
            EXPECT_EQ(box(d, IDC_DIFF_LIST), L"UB 22: Out Level -23 here, -21 in the device");
            click(IDCANCEL);
        });
    });
    WIN_UserClick(hProgram);
    EXPECT_EQ(PROGOP_Result()->DiffCount, 1);
    EXPECT_EQ(VelnorCfg[MAIN_FindRow(22)].AGCVal, -23); /* the screen's table stays */
    WndProc(hWnd, WM_COMMAND, MAKEWPARAM(IDM_VERIFY, 0), 0);
    EXPECT_FALSE(MAIN_VerifyChosen());
}

} // namespace
