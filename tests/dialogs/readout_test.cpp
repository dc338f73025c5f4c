/* readout_test.cpp -- "Configuration upload": the read-out dialog against
 * the simulated device, its progress, and every way it stops. */
#include "tests/support/devicedialog.h"

#include "dialogs/displaystate.h"

#include "dialogs/readout.h"
#include "ops/readop.h"

namespace
{

class ReadOut : public DeviceDialog
{
  protected:
    /* Runs the dialog until it ends by itself; the percentages it drew, in
     * order, go to steps (each band's tick is followed by a turn of the
     * loop, where the wait looks). */
    INT_PTR readAll(std::vector<int> *steps)
    {
        return run(&CONFIGREADOUT_Template, ConfigReadOut, [steps] {
            const Display_t *d = &DisplayShown;
            HWND dlg = WIN_ActiveDialog();
            WIN_WaitFor(
                [&] {
                    const int p = d->LastPercentage;
                    if (p >= 0 && (steps->empty() || steps->back() != p)) steps->push_back(p);
                    return !open(dlg);
                },
                WAIT_MS);
            EXPECT_TRUE(shows(d, TX_UPLOAD_FINISHED));
            EXPECT_EQ(d->GColor, DISPLAY_GREEN);
        });
    }
    /* Opens the dialog and expects it to stop at once with a red textId,
     * having read no band; Cancel closes it. */
    void expectStop(int textId)
    {
        const INT_PTR result = run(&CONFIGREADOUT_Template, ConfigReadOut, [textId] {
            const Display_t *d = &DisplayShown;
            EXPECT_TRUE(shows(d, textId));
            EXPECT_EQ(d->GColor, DISPLAY_RED);
            WIN_ProcessEvents(20); /* no tick may follow */
            click(IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(SIM_CommandCount("lnbg"), 0);
    }
};

TEST_F(ReadOut, ReadsEveryBandIntoItsOwnUBRecord)
{
    connectWithState({"model=KX-103", "ub.0=1210.5,30,-25,11500,H,1,1", "ub.7=empty"},
                     {"--model", "KX-103"});
    useModel(3);
    /* rows in reverse UB order, with values the device does not have */
    for (int i = 0; i < 24; i++) {
        VelnorCfg[i].UBNo = static_cast<std::uint8_t>(23 - i);
        VelnorCfg[i].UBFreq = 2000;
    }
    std::vector<int> steps;
    EXPECT_EQ(readAll(&steps), IDOK);
    EXPECT_EQ(READOP_GetMissing(), 0);

    SIM_Device dev;
    SIM_GetDevice(&dev);
    for (int k = 0; k < 24; k++) {
        EXPECT_EQ(VelnorCfg[k].UBNo, k);
        if (k != 7) {
            EXPECT_EQ(VelnorCfg[k].UBFreq, dev.ub[k].freq) << k;
        }
    }
    const VelnorCfg_t &r0 = VelnorCfg[0];
    EXPECT_EQ(r0.UBFreqDec, 5);
    EXPECT_EQ(r0.BW, 30);
    EXPECT_EQ(r0.AGCVal, -25);
    EXPECT_EQ(r0.StaticMode, 1);
    EXPECT_EQ(r0.ConvFreq, 11500);
    EXPECT_EQ(r0.ConvPol, 'H');
    EXPECT_EQ(r0.Feed, 1);
    EXPECT_EQ(r0.SpectralInversion, 1);
    EXPECT_EQ(VelnorCfg[7].Active, 0); /* an empty slot */
    EXPECT_EQ(VelnorCfg[7].UBFreq, 0);

    /* one step per band: 4, 8, 12, 16, 20, 25 ... 100 */
    ASSERT_EQ(steps.size(), 24u);
    EXPECT_EQ(std::vector<int>(steps.begin(), steps.begin() + 6),
              (std::vector<int>{4, 8, 12, 16, 20, 25}));
    EXPECT_EQ(steps.back(), 100);
}

TEST_F(ReadOut, ThirtyTwoBandsStepByThreeAndAQuarter)
{
    connect({"--model", "KX-107"});
    useModel(7);
    std::vector<int> steps;
    EXPECT_EQ(readAll(&steps), IDOK);
    ASSERT_EQ(steps.size(), 32u);
    EXPECT_EQ(std::vector<int>(steps.begin(), steps.begin() + 8),
              (std::vector<int>{3, 6, 9, 12, 15, 18, 21, 25}));
    EXPECT_EQ(steps.back(), 100);
}

TEST_F(ReadOut, BandsWithoutReplyAreATransmissionError)
{
    /* port: gtid, to22; dialog: gtid, to22, lnbe, then bands 0 to 21 */
    connect({"--model", "KX-103", "--stop-after", "27"});
    useModel(3);
    for (int i = 0; i < 24; i++) /* rows in reverse UB order */
        VelnorCfg[i].UBNo = static_cast<std::uint8_t>(23 - i);
    VelnorCfg[1].UBFreq = 1999; /* UB 22 */
    VelnorCfg[0].UBFreq = 2001; /* UB 23 */
    const INT_PTR result = run(&CONFIGREADOUT_Template, ConfigReadOut, [] {
        const Display_t *d = &DisplayShown;
        if (!waitText(d, TX_TRANSMISSION_ERROR)) return;
        shot("readout-error");
        EXPECT_EQ(d->GColor, DISPLAY_RED);
        EXPECT_EQ(d->LastPercentage, 100);
        WIN_ProcessEvents(50); /* it waits for the user */
        EXPECT_TRUE(open(WIN_ActiveDialog()));
        click(IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(READOP_GetMissing(), 2);
    /* every UB keeps one record of its own: the bands read, and the two
     * missing ones as they were */
    for (int u = 0; u < 24; u++)
        EXPECT_EQ(VelnorCfg[u].UBNo, u);
    EXPECT_EQ(VelnorCfg[21].UBFreq, 950 + 1200 * 21 / 24 + 25);
    EXPECT_EQ(VelnorCfg[22].UBFreq, 1999);
    EXPECT_EQ(VelnorCfg[23].UBFreq, 2001);
}

TEST_F(ReadOut, StopsBeforeReadingWhenTheControllerOrDeviceIsWrong)
{
    useModel(3);
    connect({"--model", "KX-103", "--stop-after", "2"}); /* silent after opening */
    expectStop(TX_NO_REPLY_KALTRO);

    RS232_Term();
    connect({"--model", "KX-103", "--no-device"});
    expectStop(TX_NO_DEVICE);

    RS232_Term();
    connect({"--model", "KX-107"});
    expectStop(TX_WRONG_DEVICE);
}

} // namespace
