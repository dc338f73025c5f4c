/* devcmds.cpp -- the device and Kaltro commands of the main window. The
 * dialogs they open are not part of the program yet, so each command does
 * nothing for now; the window procedure already hands every button and menu
 * item here.
 *
 * No state. Must not touch the table or the serial port until the commands
 * are filled in.
 */
#include "app/devcmds.h"

#include "app/mainwnd.h"
#include "app/ubtable.h"
#include "config/velnor.h"
#include "dialogs/dcsssetting.h"
#include "dialogs/getdevice.h"
#include "dialogs/kaltrosetting.h"
#include "dialogs/serialdlg.h"
#include "platform/win.h"

void MAIN_CmdProgram(HWND) {}
void MAIN_CmdConfigUpload(HWND) {}
void MAIN_CmdDeviceSettings(HWND hWindow)
{
    /* The dialog may find a model with another UB count; the table is then
     * rebuilt for it. */
    const int before = VelnorData.UBNumber;
    WIN_DialogBox(hWindow, &DCSSSETTING_Template, dCSSSetting);
    MAIN_ReDrawUBTable(hWindow, before);
}
void MAIN_CmdDeviceUpgrade(HWND) {}
void MAIN_CmdGetDevice(HWND hWindow)
{
    dCSSGETDEVICE_Init(hWindow, hInst);
    const std::int32_t model = dCSSGETDEVICE_GetID();
    if (model != -1) VelnorData.Model = static_cast<std::int8_t>(model);
    MAIN_ReDrawUBTable(hWindow, VelnorData.UBNumber);
}
void MAIN_CmdKaltroSettings(HWND hWindow)
{
    WIN_DialogBox(hWindow, &KALTROSETTING_Template, KaltroSetting);
}
void MAIN_CmdKaltroUpgrade(HWND) {}
void MAIN_CmdSaveCfgInKaltro(HWND) {}
void MAIN_CmdSerialSettings(HWND hWindow)
{
    RSSERIAL_Init(hWindow, hInst);
}
