/* dcsssetting_test.cpp -- the device settings dialog, offscreen, through its
 * real widgets, against kaltro-sim: what a read shows and stores, what a
 * write sends, and how the sequences end.
 */
#include "dialogs/dcsssetting.h"

#include "config/texts.h"
#include "tests/support/devicedialog.h"

namespace
{

class DeviceSettings : public DeviceDialog
{
  protected:
    static INT_PTR runSettings(const std::function<void(HWND)> &script)
    {
        return run([] { return WIN_DialogBox(nullptr, &DCSSSETTING_Template, dCSSSetting); },
                   script);
    }
    /* "Read", then wait for the read to end with "Program" enabled. */
    static bool readAll(HWND d)
    {
        WIN_UserClick(WIN_GetDlgItem(d, IDC_DS_READ));
        const bool done = WIN_WaitFor([d] { return enabled(d, IDC_DS_PROGRAM); }, WAIT_MS);
        EXPECT_TRUE(done) << "the read did not end";
        return done;
    }
    /* "Program", answering the final message box; its text. "Read" stays
     * disabled until the write sequence has ended. */
    static std::wstring program(HWND d)
    {
        WIN_QueueMessageBoxAnswer(IDOK);
        WIN_UserClick(WIN_GetDlgItem(d, IDC_DS_PROGRAM));
        EXPECT_FALSE(enabled(d, IDC_DS_READ));
        EXPECT_TRUE(WIN_WaitFor([d] { return enabled(d, IDC_DS_READ); }, WAIT_MS));
        return WIN_LastMessageBoxText();
    }
};

TEST_F(DeviceSettings, ChainPairModelShowsPairsAndWritesTheOutputIndex)
{
    ASSERT_TRUE(connectWithState({"model=KX-102", "wideband=1", "chain=10", "sn=-1", "lo_low=9750",
                                  "lo_high=10600", "sw=0x91", "fw=129.2.3.4", "temperature=-5"}));
    runSettings([&](HWND d) {
        EXPECT_EQ(text(d, IDC_DS_MODEL), TXT(TX_UNKNOWN));
        EXPECT_EQ(text(d, IDC_DS_SN), L"???");
        EXPECT_FALSE(enabled(d, IDC_DS_PROGRAM));
        EXPECT_EQ(sim.Count("> to22 0"), 2); /* opening the port, then the dialog */
        if (!readAll(d)) return;
        EXPECT_EQ(text(d, IDC_DS_MODEL), L"KX-102");
        EXPECT_EQ(text(d, IDC_DS_SW), L"9.1");
        EXPECT_EQ(text(d, IDC_DS_FW), L"129.2.3.4");
        EXPECT_EQ(text(d, IDC_DS_SN), TXT(TX_NO_SN));
        EXPECT_EQ(text(d, IDC_DS_LO), L"9750 / 10600");
        EXPECT_EQ(text(d, IDC_DS_TEMP), L"-5 \u00B0C");
        EXPECT_EQ(text(d, IDC_DS_INPUTS), TXT(TX_WIDE_BAND));
        EXPECT_TRUE(enabled(d, IDC_DS_INPUTS));
        EXPECT_EQ(count(d, IDC_DS_CHAIN), 5);
        EXPECT_EQ(text(d, IDC_DS_CHAIN), L"3+4");
        EXPECT_TRUE(enabled(d, IDC_DS_CHAIN));
        EXPECT_FALSE(enabled(d, IDC_DS_OUTPUT)); /* not an EN-group model */
        EXPECT_EQ(VelnorData.Model, 2);
        EXPECT_EQ(VelnorData.SN, -1);
        EXPECT_EQ(VelnorData.ChainConnection, 10);
        shot(d, "device-settings");

        /* Unchanged: inputs type 1 and output index 2 with chaining on. */
        EXPECT_EQ(program(d), TXT(TX_CONFIG_UPGRADE_OK));
        EXPECT_EQ(sim.Count("> lnah 1"), 1);
        EXPECT_EQ(sim.Count("> lnaa 1"), 1);
        EXPECT_EQ(sim.Count("> lnca 1 2"), 1);
        EXPECT_EQ(sim.Count("> legs"), 0);

        /* Quattro: the single list, "No" selected; chaining was on, so it is
         * switched off. */
        WIN_UserSelect(WIN_GetDlgItem(d, IDC_DS_INPUTS), 0);
        EXPECT_EQ(VelnorData.WideBand, 0);
        EXPECT_EQ(count(d, IDC_DS_CHAIN), 9);
        EXPECT_EQ(selection(d, IDC_DS_CHAIN), 0);
        wchar_t last[8] = {};
        WIN_ComboGetItemText(WIN_GetDlgItem(d, IDC_DS_CHAIN), 8, last, 8);
        EXPECT_STREQ(last, L"8");
        EXPECT_EQ(program(d), TXT(TX_CONFIG_UPGRADE_OK));
        EXPECT_EQ(sim.Count("> lnaa 0"), 1);
        EXPECT_EQ(sim.Count("> lnca 0 0"), 1);
    });
}

TEST_F(DeviceSettings, ChainOffSendsNothingAndARefusedWriteIsReported)
{
    ASSERT_TRUE(connectWithState(
        {"model=KX-103", "chain=0", "sn=305419896", "lo_low=10600", "lo_high=10600", "dbase=0x23"},
        {"--refuse", "lnah"}));
    runSettings([&](HWND d) {
        if (!readAll(d)) return;
        EXPECT_EQ(text(d, IDC_DS_SN), L"305419896");
        EXPECT_EQ(text(d, IDC_DS_LO), L"10600");
        EXPECT_EQ(text(d, IDC_DS_DBASE), L"2.3");
        EXPECT_EQ(text(d, IDC_DS_CHAIN), TXT(TX_NO));
        EXPECT_TRUE(enabled(d, IDC_DS_CHAIN));
        /* The device refuses the EN50494+ write: not a success. */
        EXPECT_EQ(program(d), TXT(TX_TRANSMISSION_ERROR));
        EXPECT_EQ(sim.Count("> lnah"), 1);
        EXPECT_EQ(sim.Count("> lnca"), 0);
    });
}

TEST_F(DeviceSettings, UnansweredOptionsStayDisabledAndAreNotWritten)
{
    ASSERT_TRUE(
        connectWithState({"model=KX-104", "sn=0", "lo_low=0", "lo_high=0", "fw=1.2.3.4", "sw=0x21"},
                         {"--refuse", "legg", "--refuse", "lnbk"}));
    runSettings([&](HWND d) {
        if (!readAll(d)) return;
        EXPECT_EQ(text(d, IDC_DS_MODEL), L"KX-104");
        EXPECT_EQ(text(d, IDC_DS_SW), L"2.1");
        EXPECT_EQ(text(d, IDC_DS_FW), L"1.2.3.4");
        EXPECT_EQ(text(d, IDC_DS_SN), L"???");
        EXPECT_EQ(text(d, IDC_DS_LO), L"???");
        EXPECT_EQ(text(d, IDC_DS_OUTPUT), TXT(TX_LEGACY));
        EXPECT_FALSE(enabled(d, IDC_DS_OUTPUT));
        EXPECT_EQ(text(d, IDC_DS_INPUTS), TXT(TX_QUATTRO));
        EXPECT_FALSE(enabled(d, IDC_DS_INPUTS));
        EXPECT_EQ(text(d, IDC_DS_EN50494), TXT(TX_NO));
        EXPECT_FALSE(enabled(d, IDC_DS_EN50494));
        EXPECT_EQ(VelnorData.Legacy, -1);
        EXPECT_EQ(program(d), TXT(TX_CONFIG_UPGRADE_OK));
        EXPECT_EQ(sim.Count("> legs"), 0);
        EXPECT_EQ(sim.Count("> lnaa"), 0);
        EXPECT_EQ(sim.Count("> lnah"), 0);
        EXPECT_EQ(sim.Count("> lnca"), 0); /* chain 0: nothing to switch off */
    });
}

TEST_F(DeviceSettings, NoDeviceStopsAfterTheIdentification)
{
    ASSERT_TRUE(connectWithState({"model=KX-103"}, {"--no-device"}));
    VelnorData.Model = 7;
    runSettings([&](HWND d) {
        WIN_UserClick(WIN_GetDlgItem(d, IDC_DS_READ));
        ASSERT_TRUE(WIN_WaitFor([&] { return sim.Count("> lnbe") == 1; }, WAIT_MS));
        /* Seven unanswered reads, then well past the next step's time. */
        WIN_ProcessEvents(3000);
        EXPECT_EQ(sim.Count("> lnbv"), 0);
        EXPECT_EQ(text(d, IDC_DS_MODEL), TXT(TX_UNKNOWN));
        EXPECT_EQ(text(d, IDC_DS_FW), L"???");
        EXPECT_FALSE(enabled(d, IDC_DS_PROGRAM));
    });
    EXPECT_EQ(VelnorData.Model, 7);
}

TEST_F(DeviceSettings, NothingToWriteKeepsProgramOffAndALostPortEndsTheRead)
{
    ASSERT_TRUE(connectWithState({"model=KX-103"}, {"--refuse", "lnbk", "--refuse", "lnab",
                                                    "--refuse", "legg", "--refuse", "lncb"}));
    runSettings([&](HWND d) {
        WIN_UserClick(WIN_GetDlgItem(d, IDC_DS_READ));
        ASSERT_TRUE(WIN_WaitFor([&] { return sim.Count("> lncb") == 1; }, WAIT_MS));
        WIN_ProcessEvents(1000);
        for (int id : {IDC_DS_EN50494, IDC_DS_INPUTS, IDC_DS_OUTPUT, IDC_DS_CHAIN})
            EXPECT_FALSE(enabled(d, id)) << id;
        EXPECT_FALSE(enabled(d, IDC_DS_PROGRAM))
            << "a read that gave no option leaves nothing to write";

        /* The controller is unplugged while the next read runs: the read ends
         * with "Transmission error" instead of going on with "???". */
        WIN_QueueMessageBoxAnswer(IDOK);
        WIN_UserClick(WIN_GetDlgItem(d, IDC_DS_READ));
        sim.Stop();
        EXPECT_TRUE(WIN_WaitFor([] { return RS232_PortLost() == 1; }, WAIT_MS));
        EXPECT_TRUE(WIN_WaitFor(
            [] { return std::wstring(WIN_LastMessageBoxText()) == TXT(TX_TRANSMISSION_ERROR); },
            WAIT_MS));
        EXPECT_TRUE(enabled(d, IDC_DS_READ));
    });
}

TEST_F(DeviceSettings, UnusableUBCountKeepsTheModelsOwn)
{
    ASSERT_TRUE(connectWithState({"model=KX-103"}, {"--ubs", "28"}));
    VelnorData.UBNumber = 24;
    runSettings([&](HWND d) {
        if (!readAll(d)) return;
        EXPECT_EQ(text(d, IDC_DS_UBS), L"28"); /* what the device said */
        EXPECT_EQ(VelnorData.UBNumber, 24);
    });

    /* An EN-group device feeding both outputs: its longest entry shows. */
    RS232_Term();
    sim.Stop();
    ASSERT_TRUE(connectWithState({"model=KX-107", "legacy=2"}));
    runSettings([&](HWND d) {
        if (!readAll(d)) return;
        EXPECT_EQ(text(d, IDC_DS_OUTPUT), TXT(TX_DCSS_LEGACY));
        shot(d, "device-settings-en");
    });
}

TEST(DeviceSettingsRules, UBCountAndChainMapping)
{
    /* Counts the table can hold are kept; the rest give the catalogue's. */
    EXPECT_EQ(DCSS_UsableUBCount(1, 24), 1);
    EXPECT_EQ(DCSS_UsableUBCount(24, 24), 24);
    EXPECT_EQ(DCSS_UsableUBCount(25, 24), 24);
    EXPECT_EQ(DCSS_UsableUBCount(0, 24), 24);
    EXPECT_EQ(DCSS_UsableUBCount(-1, 32), 32);
    EXPECT_EQ(DCSS_UsableUBCount(32, 32), 32);
    EXPECT_EQ(DCSS_UsableUBCount(33, 32), 32);
    EXPECT_EQ(DCSS_UsableUBCount(127, 32), 32);

    /* Pairs for chain-pair models with Wide Band only. */
    EXPECT_EQ(DCSS_ChainPairList(2, 1), 1);
    EXPECT_EQ(DCSS_ChainPairList(9, 1), 1);
    EXPECT_EQ(DCSS_ChainPairList(2, 0), 0);
    EXPECT_EQ(DCSS_ChainPairList(2, -1), 0);
    EXPECT_EQ(DCSS_ChainPairList(8, 1), 0);

    /* Read values to entries and entries back to output indices. */
    for (int value = 8; value <= 15; ++value) {
        const int output = value & 7;
        EXPECT_EQ(DCSS_ChainEntry(value, 0), output + 1);
        EXPECT_EQ(DCSS_ChainEntry(value, 1), output / 2 + 1);
        EXPECT_EQ(DCSS_ChainOutput(DCSS_ChainEntry(value, 0), 0), output);
        EXPECT_EQ(DCSS_ChainOutput(DCSS_ChainEntry(value, 1), 1), output & ~1);
    }
    EXPECT_EQ(DCSS_ChainEntry(0, 1), 0);
    EXPECT_EQ(DCSS_ChainEntry(3, 0), 4); /* an output without the chaining bit */
}

} // namespace
