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
#include "config/dcss.h"
#include "config/velnor.h"
#include "dialogs/dcsssetting.h"
#include "dialogs/enprog.h"
#include "dialogs/getdevice.h"
#include "dialogs/kaltrosetting.h"
#include "dialogs/kaltrotogo.h"
#include "dialogs/readout.h"
#include "dialogs/serialdlg.h"
#include "dialogs/transfer.h"
#include "link/rs232.h"
#include "ops/readop.h"
#include "platform/win.h"

void MAIN_CmdProgram(HWND hWindow)
{
    MAIN_Validate(hWindow);
    if (ConfigOK != 0) return MAIN_ScrollToFirstError(hWindow); /* the status column says why */
    RS232_Reconnect();
    dCSSUPGRADE_Program(hWindow);
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
