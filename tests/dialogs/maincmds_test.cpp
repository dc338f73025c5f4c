/* maincmds_test.cpp -- the main window's device commands through its real
 * buttons and menu: a table programmed into the simulated device (MxL image
 * or EN bands) comes back the same through "Configuration upload"; a faulty
 * table is not sent; the upgrade and save-in-Kaltro items open their
 * dialogs. */
#include "tests/dialogs/maindevice.h"

#include "dialogs/displaystate.h"

#include "app/mainwnd.h"
#include "app/ubtable.h"
#include "config/resource.h"
#include "dialogs/enprog.h"
#include "dialogs/readout.h"
#include "dialogs/transfer.h"

namespace
{

/* What a UB's row says, by UB number; only what the row uses. */
struct Band {
    int active, freq, bw, level, stat, conv, pol, feed, si;
    bool operator==(const Band &) const = default;
};
Band band(int u)
{
    const VelnorCfg_t &r = VelnorCfg[MAIN_FindRow(u)];
    if (r.Active == 0) return Band{0, 0, 0, 0, 0, 0, 0, 0, 0};
    const int s = r.StaticMode == 1;
    return Band{1,          r.UBFreq,           r.BW, r.AGCVal, s, s * r.ConvFreq, s * r.ConvPol,
                s * r.Feed, r.SpectralInversion};
}

class DeviceCommands : public MainDeviceDialog
{
  protected:
    /* A table with something particular in several rows. */
    static void particularTable(bool twoSatellite)
    {
        /* UB 2 moves into the place of UB 9, which is switched off */
        VelnorCfg_t &a = VelnorCfg[MAIN_FindRow(2)];
        a.UBFreq = VelnorCfg[MAIN_FindRow(9)].UBFreq;
        a.BW = 30;
        a.AGCVal = -24;
        VelnorCfg_t &b = VelnorCfg[MAIN_FindRow(5)];
        b.StaticMode = 1;
        b.ConvFreq = 11600;
        b.ConvPol = 'H';
        b.Feed = twoSatellite ? 1 : 0;
        VelnorCfg[MAIN_FindRow(9)].Active = 0;
        for (int i = 0; i < VelnorData.UBNumber; i++)
            VelnorCfg[i].SpectralInversion = 1;
        VelnorData.DBaseVersion = 0x23;
        MAIN_ShowDBaseVersion();
        MAIN_ShowAllRows();
    }
    static std::vector<Band> bands()
    {
        std::vector<Band> v;
        for (int u = 0; u < VelnorData.UBNumber; u++)
            v.push_back(band(u));
        return v;
    }
    /* Program, through whichever dialog the model uses, to its success;
     * reset the table; read the device's back: the same table returns. */
    static void roundTrip(const Display_t *d)
    {
        const std::vector<Band> sent = bands();
        MAIN_Validate(hWnd);
        ASSERT_EQ(ConfigOK, 0) << "the table must be valid to be sent";
        during([d] {
            if (!waitText(d, TX_SW_UPGRADE_OK)) return;
            /* the EN dialog enables OK on the tick after its last band */
            HWND ok = WIN_GetDlgItem(WIN_ActiveDialog(), IDOK);
            EXPECT_TRUE(WIN_WaitFor([ok] { return WIN_IsWindowEnabled(ok); }, WAIT_MS));
            click(IDOK);
        });
        WIN_UserClick(hProgram);

        WndProc(hWnd, WM_COMMAND, MAKEWPARAM(IDM_RESET_TABLE, 0), 0);
        during([] {
            HWND dlg = WIN_ActiveDialog();
            EXPECT_TRUE(WIN_WaitFor([dlg] { return !open(dlg); }, WAIT_MS));
        });
        WIN_UserClick(hGetConfig);
        EXPECT_EQ(bands(), sent);
        EXPECT_EQ(text(hDBase), L"2.3");
        EXPECT_EQ(text(hUBFreq[2]), std::to_wstring(sent[2].freq));
        EXPECT_EQ(text(hConvFreq[5]), L"11600");
        EXPECT_EQ(ConfigOK, 0);
    }
    static std::wstring text(HWND w)
    {
        wchar_t buf[32] = {};
        WIN_GetWindowText(w, buf, 32);
        return buf;
    }
};

TEST_F(DeviceCommands, AnMxLTableProgrammedComesBackTheSame)
{
    openMain(3);
    connect({"--model", "KX-103"});
    particularTable(false);
    VelnorCfg[MAIN_FindRow(7)].AGCVal = -50; /* a faulty row: nothing is sent */
    WIN_UserClick(hProgram);
    EXPECT_EQ(SIM_CommandCount("lnbs"), 0);
    VelnorCfg[MAIN_FindRow(7)].AGCVal = -21;
    roundTrip(&DisplayShown);
    EXPECT_EQ(SIM_CommandCount("lnbs"), 1);
}

TEST_F(DeviceCommands, AnENTableProgrammedComesBackTheSame)
{
    openMain(8);
    connect({"--model", "KX-108"});
    particularTable(true);
    roundTrip(&DisplayShown);
    EXPECT_EQ(SIM_CommandCount("lnad"), 1);
    EXPECT_EQ(SIM_CommandCount("entp"), 32);
}

TEST_F(DeviceCommands, UpgradeAndSaveInKaltroItemsOpenTheirDialogs)
{
    openMain(3);
    connect({"--model", "KX-103"});
    std::string software(5000, '\0');
    for (std::size_t i = 0; i < software.size(); i++)
        software[i] = static_cast<char>(i * 13);
    const std::string path = tempFile(software);

    during([] {
        if (waitText(&DisplayShown, TX_SW_UPGRADE_OK)) click(IDOK);
    });
    WIN_QueueFileName(path.c_str());
    WndProc(hWnd, WM_COMMAND, MAKEWPARAM(IDM_DCSS_SW_UPGRADE, 0), 0);
    std::vector<unsigned char> got(8192);
    SIM_Transfer t;
    SIM_GetTransfer(&t, got.data(), 8192);
    EXPECT_EQ(t.kind, SIM_ImageKind::Device);
    EXPECT_EQ(t.end, SIM_TransferEnd::Done);
    EXPECT_EQ(t.deviceVerdict, 1); /* software, not a configuration */
    EXPECT_TRUE(
        std::equal(software.begin(), software.end(), got.begin(),
                   [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; }));

    WIN_QueueFileName(nullptr);
    WndProc(hWnd, WM_COMMAND, MAKEWPARAM(IDM_KALTRO_SW_UPGRADE, 0), 0);
    EXPECT_EQ(SIM_CommandCount("rest"), 0);

    bool saw = false;
    during([&saw] {
        saw = WIN_ActiveDialog() != nullptr;
        click(IDOK);
    });
    WndProc(hWnd, WM_COMMAND, MAKEWPARAM(IDM_SAVE_CFG_IN_KALTRO, 0), 0);
    EXPECT_TRUE(saw);
}

} // namespace
