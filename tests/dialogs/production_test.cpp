/* production_test.cpp -- the production window opened from the main
 * window's menu against a simulator whose devices are swapped as each record
 * is kept: one that passes, one that does not store a band, one stopped in
 * the middle of its programming; the log's records, the bell, the list, and
 * the main window's table and port afterwards. */
#include "tests/dialogs/maindevice.h"

#include "app/ubtable.h"
#include "config/resource.h"
#include "dialogs/production.h"
#include "ops/prodop.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

namespace
{

/* The window's controls. */
constexpr int LOG = 1703, CHOOSE = 1704, COUNTS = 1705, LIST = 1707, START = 1708, STOP = 1709;

class ProductionWindow : public MainDeviceDialog
{
  protected:
    void SetUp() override
    {
        MainDeviceDialog::SetUp();
        setenv("XDG_CONFIG_HOME", ports.dir.path.c_str(), 1); /* the remembered log */
    }
    void TearDown() override
    {
        MainDeviceDialog::TearDown();
        unsetenv("XDG_CONFIG_HOME");
    }
    /* The status field shows text in color. */
    static bool status(const std::wstring &text, COLORREF color)
    {
        return ProductionShown.Status == text && ProductionShown.Color == color;
    }
    static std::wstring format(int textId, const wchar_t *a, const wchar_t *b = L"")
    {
        wchar_t t[PRODUCTION_STATUS_LEN];
        std::swprintf(t, PRODUCTION_STATUS_LEN, TXT(textId), a, b);
        return t;
    }
    static std::wstring serial(int device)
    {
        SIM_Device d{};
        SIM_GetDevice(&d);
        EXPECT_EQ(SIM_SwapCount(), device - 1); /* the first device was never swapped in */
        return std::to_wstring(d.sn);
    }
    static void swap()
    {
        const int before = SIM_SwapCount();
        SIM_RequestSwap();
        ASSERT_TRUE(WIN_WaitFor([before] { return SIM_SwapCount() > before; }, WAIT_MS));
    }
};

/* Seed 8 makes device 2 keep band 22 as it was and device 3 drop off at the
 * second packet of its image. */
TEST_F(ProductionWindow, ThreeDevicesPassFailAndStopped)
{
    openMain(3);
    /* band 22 differs from what the device holds, so a device that does not
     * store it fails verification */
    VelnorCfg[MAIN_FindRow(22)].UBFreqDec = 5;
    MAIN_ShowAllRows();
    const std::vector<VelnorCfg_t> table(VelnorCfg, VelnorCfg + MAX_UB);
    ASSERT_TRUE(
        connect({"--model", "KX-103", "--swap-gap", "0", "--faulty", "100", "--seed", "8"}));
    const std::string log = ports.dir.File("line.csv");
    const int beeps = WIN_BeepCount();

    run([] { return static_cast<INT_PTR>(WIN_UserMenu(hWnd, IDM_PRODUCTION)); },
        [&](HWND dlg) {
            /* no log yet: nothing starts */
            click(START);
            EXPECT_EQ(std::wstring(WIN_LastMessageBoxText()), TXT(TX_PROD_NO_LOG));
            EXPECT_TRUE(enabled(dlg, START));
            WIN_QueueFileName(log.c_str());
            click(CHOOSE);
            EXPECT_EQ(text(dlg, LOG), std::wstring(log.begin(), log.end()));
            click(START);
            EXPECT_FALSE(enabled(dlg, START));
            EXPECT_FALSE(enabled(dlg, CHOOSE));

            const std::wstring first = serial(1);
            ASSERT_TRUE(WIN_WaitFor(
                [&] { return status(format(TX_PROD_PASS, first.c_str()), DISPLAY_GREEN); },
                WAIT_MS))
                << ProductionShown.Status;
            swap();
            const std::wstring second = serial(2);
            ASSERT_TRUE(WIN_WaitFor(
                [&] {
                    return status(format(TX_PROD_FAIL, second.c_str(), TXT(TX_VERIFY_FAILED)),
                                  DISPLAY_RED);
                },
                WAIT_MS))
                << ProductionShown.Status;
            shot(dlg, "production-window");
            swap();
            ASSERT_TRUE(
                WIN_WaitFor([] { return ProductionShown.Phase == PROD_PROGRAMMING; }, WAIT_MS));
            click(STOP);
            EXPECT_TRUE(status(TXT(TX_PROD_STOPPED), DISPLAY_BLACK));
            EXPECT_TRUE(enabled(dlg, START));
            EXPECT_FALSE(enabled(dlg, STOP));

            /* the list, newest first; the counts */
            wchar_t shown[2048] = {};
            WIN_GetWindowText(WIN_GetDlgItem(dlg, LIST), shown, 2048);
            std::wistringstream list(shown);
            std::wstring line;
            std::vector<std::wstring> lines;
            while (std::getline(list, line))
                lines.push_back(line);
            ASSERT_EQ(lines.size(), 3u);
            EXPECT_NE(lines[0].find(TXT(TX_RES_CANCELLED)), std::wstring::npos);
            EXPECT_NE(lines[1].find(second + L" "), std::wstring::npos);
            EXPECT_NE(lines[1].find(TXT(TX_VERIFY_FAILED)), std::wstring::npos);
            EXPECT_NE(lines[2].find(first + L" "), std::wstring::npos);
            EXPECT_EQ(text(dlg, COUNTS).rfind(L"Passed 1    Failed 2", 0), 0u) << text(dlg, COUNTS);
            click(IDCANCEL);
        });

    /* one record a device, appended and complete; a failure rings the bell */
    std::istringstream records(ReadFile(log));
    std::string line, results;
    std::getline(records, line);
    while (std::getline(records, line)) {
        std::string field;
        std::istringstream fields(line);
        for (int i = 0; i < 13; i++)
            std::getline(fields, field, ',');
        results += field + " ";
        EXPECT_NE(line.find(",COM" + std::to_string(port) + ","), std::string::npos) << line;
    }
    EXPECT_EQ(results, "pass fail-verify cancelled ");
    EXPECT_EQ(WIN_BeepCount() - beeps, 2);
    /* the main window goes on with its own table and its Kaltro */
    EXPECT_TRUE(std::equal(table.begin(), table.end(), VelnorCfg,
                           [](auto &a, auto &b) { return std::memcmp(&a, &b, sizeof a) == 0; }));
    EXPECT_GE(RS232_ProbeDeviceID(), 0);
}

/* Every text of the window shows whole in every language. */
TEST_F(ProductionWindow, TextsFitInEveryLanguage)
{
    useModel(3);
    const int saved = Lang;
    for (int l = 0; l < LANG_COUNT; l++) {
        Lang = l;
        run([] { return PRODUCTION_Run(nullptr); },
            [l](HWND dlg) {
                HWND children[16];
                const int n = WIN_GetChildren(dlg, children, 16);
                for (int i = 0; i < n; i++) {
                    int need = 0, room = 0;
                    EXPECT_TRUE(WIN_TextFits(children[i], -1, &need, &room))
                        << "language " << l << ", control " << WIN_GetControlId(children[i]) << ": "
                        << need << " > " << room;
                }
                click(IDCANCEL);
            });
    }
    Lang = saved;
}

} // namespace
