/* transfer_test.cpp -- the transfer dialog in its three modes against the
 * simulated controller's XModem receiver: success, the NAK and CAN rules,
 * the refusals at opening, and the Kaltro software upgrade from a file. */
#include "tests/support/devicedialog.h"

#include "dialogs/displaystate.h"

#include "config/image.h"
#include "dialogs/transfer.h"

namespace
{

class Transfer : public DeviceDialog
{
  protected:
    static INT_PTR send(int mode, const unsigned char *image, int size,
                        std::function<void()> script)
    {
        const XferArgs_t args = {mode, image, size, 0};
        during(std::move(script));
        return KALTRO_Run(nullptr, &args);
    }
    /* Expects the transfer to end with the red textId; OK closes it. */
    static void expectFailure(int mode, const unsigned char *image, int size, int textId)
    {
        const INT_PTR result = send(mode, image, size, [textId] {
            const Display_t *d = &DisplayShown;
            if (!waitText(d, textId)) return;
            EXPECT_EQ(d->GColor, DISPLAY_RED);
            EXPECT_TRUE(WIN_IsWindowEnabled(WIN_GetDlgItem(WIN_ActiveDialog(), IDOK)));
            click(IDOK);
        });
        EXPECT_EQ(result, IDOK);
    }
    static std::vector<unsigned char> pattern(int size)
    {
        std::vector<unsigned char> v(static_cast<std::size_t>(size));
        for (int i = 0; i < size; i++)
            v[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i * 7 + i / 256);
        return v;
    }
    static std::vector<unsigned char> received(SIM_Transfer *t)
    {
        std::vector<unsigned char> v(SIM_IMAGE_MAX);
        const int n = SIM_GetTransfer(t, v.data(), SIM_IMAGE_MAX);
        v.resize(static_cast<std::size_t>(n));
        return v;
    }
};

TEST_F(Transfer, DeviceImageIsSentVerifiedAndAcknowledged)
{
    connect({"--model", "KX-103"});
    useModel(3);
    VelnorCfg[4].UBFreq = 1333;
    unsigned char image[BREVCFG_IMAGE_MAX];
    const int size = BREVCFG_CompileMxL(VelnorCfg, &VelnorData, image);

    bool verified = false, okLocked = true;
    const INT_PTR result = send(0, image, size, [&] {
        const Display_t *d = &DisplayShown;
        HWND ok = WIN_GetDlgItem(WIN_ActiveDialog(), IDOK);
        WIN_WaitFor(
            [&] {
                verified = verified || shows(d, TX_VERIFICATION);
                if (shows(d, TX_DOWNLOAD_IN_PROGRESS))
                    okLocked = okLocked && !WIN_IsWindowEnabled(ok);
                return shows(d, TX_SW_UPGRADE_OK);
            },
            WAIT_MS);
        EXPECT_TRUE(shows(d, TX_SW_UPGRADE_OK));
        EXPECT_EQ(d->GColor, DISPLAY_GREEN);
        EXPECT_EQ(d->LastPercentage, 100);
        EXPECT_TRUE(WIN_IsWindowEnabled(ok));
        /* mode 0 does not close by itself: wait past the other modes' 10 s */
        WIN_ProcessEvents(static_cast<int>(10000 * TIME_SCALE) + 100);
        click(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(verified);
    EXPECT_TRUE(okLocked);

    SIM_Transfer t;
    const auto got = received(&t);
    EXPECT_EQ(t.kind, SIM_ImageKind::Device);
    EXPECT_EQ(t.end, SIM_TransferEnd::Done);
    EXPECT_EQ(t.deviceVerdict, 0);
    ASSERT_GE(got.size(), static_cast<std::size_t>(size));
    EXPECT_TRUE(std::equal(image, image + size, got.begin()));
    SIM_Device dev;
    SIM_GetDevice(&dev);
    EXPECT_EQ(dev.ub[4].freq, 1333);
}

TEST_F(Transfer, TwoNaksPerPacketDoNotFailAndModeTwoNeedsNoDevice)
{
    connect({"--model", "KX-103", "--no-device", "--nak", "2"});
    const auto image = pattern(300); /* three 128-byte packets */
    const INT_PTR result = send(2, image.data(), 300, [] {
        const Display_t *d = &DisplayShown;
        if (!waitText(d, TX_SW_UPGRADE_OK)) return;
        EXPECT_EQ(d->GColor, DISPLAY_GREEN);
        /* and then it closes by itself */
        HWND dlg = WIN_ActiveDialog();
        EXPECT_TRUE(WIN_WaitFor([dlg] { return !open(dlg); }, WAIT_MS));
    });
    EXPECT_EQ(result, 0);
    SIM_Transfer t;
    const auto got = received(&t);
    EXPECT_EQ(t.kind, SIM_ImageKind::KaltroConfig);
    EXPECT_EQ(t.end, SIM_TransferEnd::Done);
    EXPECT_EQ(t.packets, 3);
    EXPECT_EQ(t.naks, 6);
    ASSERT_GE(got.size(), 300u);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), got.begin()));
}

TEST_F(Transfer, ThreeNaksOrACancelEndTheTransfer)
{
    const auto image = pattern(768); /* six 128-byte packets */
    connect({"--model", "KX-103", "--nak", "3"});
    expectFailure(1, image.data(), 768, TX_TRANSMISSION_ERROR);

    RS232_Term();
    connect({"--model", "KX-103", "--can-at", "1"});
    expectFailure(1, image.data(), 768, TX_WRONG_FILE);

    RS232_Term();
    connect({"--model", "KX-103", "--can-at", "5"});
    expectFailure(1, image.data(), 768, TX_TRANSMISSION_ERROR);
    SIM_Transfer t;
    received(&t);
    EXPECT_EQ(t.packets, 4);
}

TEST_F(Transfer, AControllerUnpluggedMidwayEndsItAndIsOpenedAgainWhenBack)
{
    const int size = 64 * 1024;
    const auto image = pattern(size);
    connect({"--model", "KX-103", "--line-rate"});
    const int port = RS232_GetLastPortNumber();
    RS232_SetPortNumber(sim.port);
    const INT_PTR result = send(1, image.data(), size, [&] {
        const Display_t *d = &DisplayShown;
        ASSERT_TRUE(WIN_WaitFor([d] { return d->LastPercentage >= 5; }, WAIT_MS));
        shot("transfer");
        sim.Stop(); /* the controller's end of the line is gone */
        /* On a live line the wait for the ACK is endless; on a dead one the
         * dialog ends within a second. */
        EXPECT_TRUE(WIN_WaitFor([d] { return shows(d, TX_TRANSMISSION_ERROR); }, 1000));
        EXPECT_EQ(d->GColor, DISPLAY_RED);
        EXPECT_TRUE(WIN_IsWindowEnabled(WIN_GetDlgItem(WIN_ActiveDialog(), IDOK)));
        click(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(RS232_PortLost(), 1);
    EXPECT_EQ(WriteABuffer("\r", 1), 0) << "nothing waits on a lost port";

    /* Plugged in again on the same number: the next command opens it. */
    ASSERT_EQ(sim.Start({"--model", "KX-103", "--port", std::to_string(RS232_GetLastPortNumber()),
                         "--voltage", "6"}),
              RS232_GetLastPortNumber());
    EXPECT_EQ(RS232_Reconnect(), RS232_OK);
    EXPECT_EQ(RS232_PortLost(), 0);
    EXPECT_EQ(RS232_GetDeviceID(), 0x4E);
    RS232_SetPortNumber(port);
}

TEST_F(Transfer, RefusesToStartWithoutWhatTheModeNeeds)
{
    const auto image = pattern(200);
    useModel(3);
    connect({"--model", "KX-103"});
    expectFailure(0, image.data(), 0, TX_EMPTY_FILE);
    expectFailure(7, image.data(), 200, TX_CONFIGURATION_ERROR);

    RS232_Term();
    connect({"--model", "KX-107"}); /* not the main window's model */
    expectFailure(0, image.data(), 200, TX_WRONG_DEVICE);
    EXPECT_EQ(SIM_CommandCount("lnbs"), 0);

    RS232_Term();
    connect({"--model", "KX-103", "--refuse", "lnbs"});
    expectFailure(0, image.data(), 200, TX_NO_DEVICE);

    RS232_Term();
    connect({"--model", "KX-103", "--no-device"});
    expectFailure(0, image.data(), 200, TX_NO_DEVICE);

    RS232_Term();
    connect({"--model", "KX-103", "--stop-after", "2"}); /* silent after opening */
    expectFailure(2, image.data(), 200, TX_NO_REPLY_KALTRO);
    EXPECT_EQ(SIM_CommandCount("load"), 0);
}

TEST_F(Transfer, KaltroSoftwareComesFromAFileAndMayBeAbandoned)
{
    connect({"--model", "KX-103"});
    const auto image = pattern(1700); /* a 1024-byte block, then 128-byte blocks */
    const std::string path = tempFile(std::string(image.begin(), image.end()));

    WIN_QueueFileName(nullptr); /* the user cancels the file choice */
    EXPECT_EQ(KALTRO_Init(nullptr, nullptr), 0);
    EXPECT_EQ(SIM_CommandCount("rest"), 0);

    during([] {
        const Display_t *d = &DisplayShown;
        HWND dlg = WIN_ActiveDialog();
        EXPECT_TRUE(waitText(d, TX_SW_UPGRADE_OK));
        EXPECT_TRUE(WIN_WaitFor([dlg] { return !open(dlg); }, WAIT_MS));
    });
    WIN_QueueFileName(path.c_str());
    EXPECT_EQ(KALTRO_Init(nullptr, nullptr), 0);
    SIM_Transfer t;
    const auto got = received(&t);
    EXPECT_EQ(t.kind, SIM_ImageKind::KaltroSoftware);
    EXPECT_EQ(t.end, SIM_TransferEnd::Done);
    EXPECT_EQ(t.packets, 7);
    ASSERT_GE(got.size(), 1700u);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), got.begin()));

    /* the close box in the middle of a transfer abandons it */
    const auto big = pattern(64 * 1024);
    const INT_PTR result = send(1, big.data(), 64 * 1024, [] {
        const Display_t *d = &DisplayShown;
        EXPECT_TRUE(WIN_WaitFor([d] { return d->LastPercentage >= 3; }, WAIT_MS));
        WIN_UserClose(WIN_ActiveDialog());
    });
    EXPECT_EQ(result, IDCANCEL);
    received(&t);
    EXPECT_EQ(t.end, SIM_TransferEnd::Running);
}

} // namespace
