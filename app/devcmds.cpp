/* devcmds.cpp -- the device and Kaltro commands of the main window. The
 * dialogs they open are not part of the program yet, so each command does
 * nothing for now; the window procedure already hands every button and menu
 * item here.
 *
 * No state. Must not touch the table or the serial port until the commands
 * are filled in.
 */
#include "app/devcmds.h"

void MAIN_CmdProgram(HWND) {}
void MAIN_CmdConfigUpload(HWND) {}
void MAIN_CmdDeviceSettings(HWND) {}
void MAIN_CmdDeviceUpgrade(HWND) {}
void MAIN_CmdGetDevice(HWND) {}
void MAIN_CmdKaltroSettings(HWND) {}
void MAIN_CmdKaltroUpgrade(HWND) {}
void MAIN_CmdSaveCfgInKaltro(HWND) {}
void MAIN_CmdSerialSettings(HWND) {}
