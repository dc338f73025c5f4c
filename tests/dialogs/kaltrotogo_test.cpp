/* kaltrotogo_test.cpp -- "Save Cfg in Kaltro...": reading the stored name,
 * and storing name, configuration type and image, with and without a
 * device; nothing goes out while the table has an error. */
#include "tests/support/devicedialog.h"

#include "dialogs/displaystate.h"

#include "config/image.h"
#include "dialogs/kaltrotogo.h"
#include "dialogs/transfer.h"

#include <algorithm>

namespace
{

class SaveInKaltro : public DeviceDialog
{
  protected:
    static std::wstring field()
    {
        wchar_t text[64] = {};
        WIN_GetWindowText(WIN_GetDlgItem(WIN_ActiveDialog(), IDC_CFG_NAME), text, 64);
        return text;
    }
    /* Presses Program; the transfer dialog it opens must succeed and close
     * by itself. */
    static void programAndWait()
    {
        during([] {
            HWND dlg = WIN_ActiveDialog();
            EXPECT_TRUE(waitText(&DisplayShown, TX_SW_UPGRADE_OK));
            EXPECT_TRUE(WIN_WaitFor([dlg] { return !open(dlg); }, WAIT_MS));
        });
        click(IDC_PROGRAM_CFG);
    }
    /* The image the Kaltro received, padding cut off. */
    static std::vector<unsigned char> stored(int size)
    {
        std::vector<unsigned char> v(SIM_IMAGE_MAX);
        SIM_Transfer t;
        SIM_GetTransfer(&t, v.data(), SIM_IMAGE_MAX);
        EXPECT_EQ(t.kind, SIM_ImageKind::KaltroConfig);
        EXPECT_EQ(t.end, SIM_TransferEnd::Done);
        v.resize(static_cast<std::size_t>(std::min(size, t.size)));
        return v;
    }
};

TEST_F(SaveInKaltro, ReadNameShowsTheStoredNameOrNothing)
{
    connectWithState({"model=KX-103", "name=Roof west"});
    const INT_PTR result = run(&KALTROTOGO_Template, KaltroToGo, [] {
        EXPECT_EQ(field(), L"");
        click(IDC_READ_NAME);
        EXPECT_EQ(field(), L"Roof west");
        shot("save-in-kaltro");
        click(IDOK);
    });
    EXPECT_EQ(result, IDOK);

    RS232_Term();
    connect({"--model", "KX-103", "--stop-after", "2"}); /* silent after opening */
    run(&KALTROTOGO_Template, KaltroToGo, [] {
        WIN_SetWindowText(WIN_GetDlgItem(WIN_ActiveDialog(), IDC_CFG_NAME), L"stale");
        click(IDC_READ_NAME);
        EXPECT_EQ(field(), L"");
        click(IDOK);
    });
}

TEST_F(SaveInKaltro, ProgramStoresNameTypeAndImageWithOrWithoutADevice)
{
    /* EN group, no device on the cable */
    connect({"--model", "KX-108", "--no-device"});
    useModel(8);
    VelnorCfg[2].AGCVal = -27;
    run(&KALTROTOGO_Template, KaltroToGo, [] {
        WIN_UserType(WIN_GetDlgItem(WIN_ActiveDialog(), IDC_CFG_NAME), L"Hotel");
        programAndWait();
        click(IDOK);
    });
    unsigned char image[BREVCFG_IMAGE_MAX];
    int size = BREVCFG_CompileEN(VelnorCfg, &VelnorData, image, 0);
    EXPECT_EQ(stored(size), std::vector<unsigned char>(image, image + size));
    SIM_Kaltro k;
    SIM_GetKaltro(&k);
    EXPECT_STREQ(k.name, "Hotel");
    EXPECT_EQ(k.configType, 254);

    /* MxL group with a device; a name longer than the command takes */
    RS232_Term();
    connect({"--model", "KX-103"});
    useModel(3);
    run(&KALTROTOGO_Template, KaltroToGo, [] {
        WIN_SetWindowText(WIN_GetDlgItem(WIN_ActiveDialog(), IDC_CFG_NAME),
                          L"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN\u00e9");
        programAndWait();
        click(IDOK);
    });
    size = BREVCFG_CompileMxL(VelnorCfg, &VelnorData, image);
    EXPECT_EQ(stored(size), std::vector<unsigned char>(image, image + size));
    SIM_GetKaltro(&k);
    EXPECT_STREQ(k.name, "0123456789abcdefghijklmnopqrstuvwxyzABCDEFG"); /* 43 */
    EXPECT_EQ(k.configType, 255);
}

TEST_F(SaveInKaltro, ProgramSendsNothingWhileARowHasAnError)
{
    connect({"--model", "KX-103"});
    useModel(3);
    VelnorCfg[5].AGCVal = -50; /* outside the output levels */
    run(&KALTROTOGO_Template, KaltroToGo, [] {
        click(IDC_PROGRAM_CFG);
        WIN_ProcessEvents(20);
        click(IDOK);
    });
    EXPECT_EQ(ConfigOK, 1);
    EXPECT_EQ(BoxColor[VelnorCfg[5].UBNo], BOX_RED);
    EXPECT_EQ(SIM_CommandCount("lnaw"), 0);
    EXPECT_EQ(SIM_CommandCount("lnal"), 0);
    EXPECT_EQ(SIM_CommandCount("load"), 0);

    char name[KALTROTOGO_NAME_LEN];
    KALTROTOGO_NarrowName(L"Caf\u00e9 \u65e5", name);
    EXPECT_STREQ(name, "Caf? ?");
}

} // namespace
