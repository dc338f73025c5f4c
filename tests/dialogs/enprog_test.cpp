/* enprog_test.cpp -- EN programming, one "entp" per band, against the
 * simulated EN-group device: what reaches the device, the refusal rule for
 * active and inactive bands, and the refusals at opening. */
#include "tests/support/devicedialog.h"

#include "dialogs/displaystate.h"

#include "dialogs/enprog.h"
#include "dialogs/transfer.h"

namespace
{

class ENProgramming : public DeviceDialog
{
  protected:
    /* Runs the dialog until it shows textId (red unless it is the success
     * text) with OK enabled; OK closes it. */
    static void programExpecting(int textId)
    {
        const INT_PTR result = run(&KALTRO_Template, BrevantUpgrEN, [textId] {
            const Display_t *d = &DisplayShown;
            HWND ok = WIN_GetDlgItem(WIN_ActiveDialog(), IDOK);
            if (!waitText(d, textId)) return;
            EXPECT_EQ(d->GColor, textId == TX_SW_UPGRADE_OK ? DISPLAY_GREEN : DISPLAY_RED);
            EXPECT_TRUE(WIN_WaitFor([ok] { return WIN_IsWindowEnabled(ok); }, WAIT_MS));
            if (textId == TX_NO_MORE_SPACE) shot("en-program-no-space");
            click(IDOK);
        });
        EXPECT_EQ(result, IDOK);
    }
};

TEST_F(ENProgramming, SendsEveryRowInUseAndIgnoresRefusedInactiveBands)
{
    /* the device refuses UB numbers from 20 up: the inactive rows below */
    connect({"--model", "KX-108", "--ubs", "20"});
    useModel(8);
    VelnorCfg_t &r = VelnorCfg[3];
    r.StaticMode = 1;
    r.ConvFreq = 11000;
    r.ConvPol = 'H';
    r.Feed = 1;
    r.AGCVal = -25;
    r.SpectralInversion = 1;
    VelnorCfg[4].ConvFreq = 12000; /* not static: sent as 0 */
    VelnorCfg[4].ConvPol = 'h';
    for (int i = 20; i < 32; i++)
        VelnorCfg[i].Active = 0;

    programExpecting(TX_SW_UPGRADE_OK);
    EXPECT_EQ(DisplayShown.LastPercentage, 100);
    EXPECT_EQ(SIM_CommandCount("entp"), 32);
    SIM_Device dev;
    SIM_GetDevice(&dev);
    EXPECT_EQ(dev.ub[3].conv, 11000);
    EXPECT_EQ(dev.ub[3].pol, 1);
    EXPECT_EQ(dev.ub[3].feed, 1);
    EXPECT_EQ(dev.ub[3].level, -25);
    EXPECT_EQ(dev.ub[3].si, 1);
    EXPECT_EQ(dev.ub[4].conv, 0);
    EXPECT_EQ(dev.ub[4].pol, 1); /* "h" is horizontal too */
    for (int u = 0; u < 20; u++)
        EXPECT_EQ(dev.ub[u].freq, VelnorCfg[u].UBFreq) << u;

    /* only the rows in use are sent, and they make 100 % */
    VelnorData.UBNumber = 20;
    programExpecting(TX_SW_UPGRADE_OK);
    EXPECT_EQ(DisplayShown.LastPercentage, 100);
    EXPECT_EQ(SIM_CommandCount("entp"), 32 + 20);
}

TEST_F(ENProgramming, StopsAtARefusedActiveBandOrOneWithoutReply)
{
    connect({"--model", "KX-107", "--no-space", "5"});
    useModel(7);
    programExpecting(TX_NO_MORE_SPACE);
    EXPECT_EQ(DisplayShown.LastPercentage, 15); /* 5 of 32 */
    EXPECT_EQ(SIM_CommandCount("entp"), 6);

    /* port: gtid, to22; dialog: gtid, to22, lnbe, lndo, then rows 0 to 2 */
    RS232_Term();
    connect({"--model", "KX-107", "--stop-after", "9"});
    programExpecting(TX_TRANSMISSION_ERROR);
    EXPECT_EQ(DisplayShown.LastPercentage, 9);
    EXPECT_EQ(SIM_CommandCount("entp"), 4);
}

TEST_F(ENProgramming, ProgramsNothingWithoutAnENDevice)
{
    useModel(8);
    connect({"--model", "KX-103"});
    programExpecting(TX_WRONG_DEVICE);
    EXPECT_EQ(SIM_CommandCount("entp"), 0);

    RS232_Term();
    connect({"--model", "KX-108", "--refuse", "lndo"});
    programExpecting(TX_NO_DEVICE);
    EXPECT_EQ(SIM_CommandCount("entp"), 0);

    RS232_Term();
    connect({"--model", "KX-108", "--stop-after", "2"}); /* silent after opening */
    programExpecting(TX_NO_REPLY_KALTRO);
    EXPECT_EQ(SIM_CommandCount("lnbe"), 0);
}

} // namespace
