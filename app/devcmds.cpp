/* devcmds.cpp -- the device and Kaltro commands of the main window: each
 * opens its modal dialog with the main window as owner, and shows and checks
 * the table again where the dialog may have changed it.
 *
 * No state. Program sends nothing while any row has an error. A
 * port that was lost (an adapter unplugged) is opened again, on the same
 * number, before each command talks to the device.
 */
#include "app/devcmds.h"

#include "app/mainwnd.h"
#include "app/ubtable.h"
#include "config/compare.h"
#include "config/dcss.h"
#include "config/resource.h"
#include "config/settings.h"
#include "config/texts.h"
#include "config/velnor.h"
#include "dialogs/dcsssetting.h"
#include "dialogs/diffs.h"
#include "dialogs/enprog.h"
#include "dialogs/getdevice.h"
#include "dialogs/kaltrosetting.h"
#include "dialogs/kaltrotogo.h"
#include "dialogs/production.h"
#include "dialogs/readout.h"
#include "dialogs/serialdlg.h"
#include "dialogs/transfer.h"
#include "link/rs232.h"
#include "ops/progop.h"
#include "ops/readop.h"
#include "platform/win.h"

#include <algorithm>
#include <cstring>

/* The settings key of the verify choice. */
static const char VERIFY_KEY[] = "verify";

bool MAIN_VerifyChosen()
{
    char v[SETTINGS_VALUE_LEN];
    return SETTINGS_Get(VERIFY_KEY, v, sizeof v) == 0 && std::strcmp(v, "1") == 0;
}

void MAIN_CmdVerifyChoice(HWND hWindow)
{
    const bool on = !MAIN_VerifyChosen();
    if (SETTINGS_Set(VERIFY_KEY, on ? "1" : "0") != 0) return MAIN_ReportSettingsFailure(hWindow);
    WIN_CheckMenuItem(hWindow, IDM_VERIFY, on);
}

void MAIN_CmdProgram(HWND hWindow)
{
    MAIN_Validate(hWindow);
    if (ConfigOK != 0) return MAIN_ScrollToFirstError(hWindow); /* the status column says why */
    RS232_Reconnect();
    if (!MAIN_VerifyChosen()) {
        dCSSUPGRADE_Program(hWindow);
        return;
    }
    dCSSUPGRADE_ProgramVerified(hWindow);
    /* a device that differs: the differences in a box of their own */
    const ProgopResult_t *r = PROGOP_Result();
    if (r->Verified && (r->DiffCount > 0 || r->ReadVersion != r->WantVersion)) {
        const DiffsShown_t shown = {TX_VERIFY_FAILED, r->Diffs,       r->DiffCount,
                                    r->WantVersion,   r->ReadVersion, false};
        DIFFS_Show(hWindow, &shown);
    }
}

void MAIN_CmdProduction(HWND hWindow)
{
    /* as Program: nothing is sent while any row has an error */
    MAIN_Validate(hWindow);
    if (ConfigOK != 0) return MAIN_ScrollToFirstError(hWindow);
    RS232_Reconnect();
    PRODUCTION_Run(hWindow);
}

void MAIN_CmdCompare(HWND hWindow)
{
    RS232_Reconnect();
    /* The device's table is read into the table as Configuration upload
     * reads it, then put aside; the user's table and version come back. */
    static VelnorCfg_t user[MAX_UB], device[MAX_UB];
    std::copy(VelnorCfg, VelnorCfg + MAX_UB, user);
    const std::uint8_t userVersion = VelnorData.DBaseVersion;
    READOP_ReadVersion();
    const std::uint8_t deviceVersion = VelnorData.DBaseVersion;
    const INT_PTR read = CONFIGREADOUT_Run(hWindow);
    std::copy(VelnorCfg, VelnorCfg + MAX_UB, device);
    std::copy(user, user + MAX_UB, VelnorCfg);
    VelnorData.DBaseVersion = userVersion;
    if (read != CONFIGREADOUT_COMPLETE) return; /* the read-out's dialog told why */

    static CmpDiff_t diffs[CMP_DIFF_MAX];
    const int count = BREVCFG_CompareStored(user, device, MAIN_RowsInTable(VelnorData.UBNumber),
                                            DCSS_IsENGroup(VelnorData.Model), diffs, CMP_DIFF_MAX);
    const DiffsShown_t shown = {TX_DEVICE_DIFFERS, diffs, count, userVersion, deviceVersion, true};
    if (!DIFFS_Show(hWindow, &shown)) return;
    /* taken, as Configuration upload takes it */
    std::copy(device, device + MAX_UB, VelnorCfg);
    VelnorData.DBaseVersion = deviceVersion;
    MAIN_ShowDBaseVersion();
    MAIN_ShowAllRows();
    MAIN_Validate(hWindow);
}
void MAIN_CmdConfigUpload(HWND hWindow)
{
    RS232_Reconnect();
    READOP_ReadVersion();
    MAIN_ShowDBaseVersion();
    CONFIGREADOUT_Run(hWindow);
    /* whatever the read-out's end, every row is shown and checked again */
    MAIN_ShowAllRows();
    MAIN_Validate(hWindow);
}
void MAIN_CmdDeviceSettings(HWND hWindow)
{
    RS232_Reconnect();
    /* The dialog may find a model with another UB count; the table is then
     * rebuilt for it. */
    const int before = VelnorData.UBNumber;
    WIN_DialogBox(hWindow, &DCSSSETTING_Template, dCSSSetting);
    MAIN_ReDrawUBTable(hWindow, before);
}
void MAIN_CmdDeviceUpgrade(HWND hWindow)
{
    RS232_Reconnect();
    dCSSUPGRADE_Init(hWindow, hInst);
}
void MAIN_CmdGetDevice(HWND hWindow)
{
    RS232_Reconnect();
    dCSSGETDEVICE_Init(hWindow, hInst);
    const std::int32_t model = dCSSGETDEVICE_GetID();
    if (model != -1) VelnorData.Model = static_cast<std::int8_t>(model);
    MAIN_ReDrawUBTable(hWindow, VelnorData.UBNumber);
}
void MAIN_CmdKaltroSettings(HWND hWindow)
{
    RS232_Reconnect();
    WIN_DialogBox(hWindow, &KALTROSETTING_Template, KaltroSetting);
}
void MAIN_CmdKaltroUpgrade(HWND hWindow)
{
    RS232_Reconnect();
    KALTRO_Init(hWindow, hInst);
}
void MAIN_CmdSaveCfgInKaltro(HWND hWindow)
{
    RS232_Reconnect();
    KALTROTOGO_Init(hWindow, hInst);
}
void MAIN_CmdSerialSettings(HWND hWindow)
{
    RS232_Reconnect(); /* an adapter unplugged and back is opened again first */
    RSSERIAL_Init(hWindow, hInst);
}
