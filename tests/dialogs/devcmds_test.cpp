/* devcmds_test.cpp -- the main window's "Settings..." and "Get dCSS
 * device..." commands of the dCSS Device menu, chosen from the real menu,
 * against kaltro-sim: a device of another UB count rebuilds the table.
 */
#include "app/mainwnd.h"
#include "app/ubtable.h"
#include "config/resource.h"
#include "dialogs/dcsssetting.h"
#include "dialogs/getdevice.h"
#include "tests/dialogs/maindevice.h"

#include <cwchar>

namespace
{

class DeviceCommands : public MainDeviceDialog
{
  protected:
    /* Chooses the menu item; script acts in the dialog it opens. */
    static void menu(int command, const std::function<void(HWND)> &script)
    {
        run([command] { return static_cast<INT_PTR>(WIN_UserMenu(hWnd, command)); }, script);
    }
    /* Get-device: "Read", then the model box position entry. */
    static void getDevice(int entry)
    {
        menu(IDM_GET_DCSS_DEVICE, [entry](HWND d) {
            WIN_UserClick(WIN_GetDlgItem(d, IDC_GD_READ));
            WIN_UserSelect(WIN_GetDlgItem(d, IDC_GD_MODEL), entry);
        });
    }
};

TEST_F(DeviceCommands, AnotherUBCountRebuildsTheTable)
{
    openMain(3);
    ASSERT_TRUE(connectWithState({"model=KX-108", "sn=4242"}));
    ASSERT_EQ(hActive[24], nullptr);

    menu(IDM_DCSS_SETTINGS, [](HWND d) {
        WIN_UserClick(WIN_GetDlgItem(d, IDC_DS_READ));
        EXPECT_TRUE(WIN_WaitFor(
            [d] { return WIN_IsWindowEnabled(WIN_GetDlgItem(d, IDC_DS_PROGRAM)); }, WAIT_MS));
        EXPECT_EQ(VelnorData.SN, 4242);
    });
    EXPECT_EQ(VelnorData.Model, 8);
    EXPECT_EQ(VelnorData.UBNumber, 32);
    EXPECT_NE(hActive[31], nullptr);
    EXPECT_EQ(text(hModel), L"KX-108");
    EXPECT_EQ(VelnorData.SN, 0); /* the rebuild reset the device record */

    /* Get-device: a model chosen by hand with 24 UBs rebuilds again; "???"
     * keeps the model. */
    getDevice(3);
    EXPECT_EQ(VelnorData.Model, 3);
    EXPECT_EQ(VelnorData.UBNumber, 24);
    EXPECT_EQ(hActive[24], nullptr);
    EXPECT_NE(hActive[23], nullptr);
    EXPECT_EQ(text(hModel), L"KX-103");
    getDevice(11);
    EXPECT_EQ(VelnorData.Model, 3);
    EXPECT_EQ(text(hModel), L"KX-103");
}

} // namespace
