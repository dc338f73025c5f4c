/* devcmds.h -- the main window's commands that talk to the device or to the
 * Kaltro: the side panel's "Program" and "Configuration upload" buttons and
 * the dCSS Device, Kaltro and Serial Port menu items. The window procedure
 * calls each with the main window as owner, inside the handling of one
 * message, so a modal dialog opened here runs before the call returns.
 */
#pragma once

#include "platform/wintypes.h"

/* Side-panel buttons. */
void MAIN_CmdProgram(HWND hWindow);      /* "Program" */
void MAIN_CmdConfigUpload(HWND hWindow); /* "Configuration upload" */

/* dCSS Device menu. */
void MAIN_CmdDeviceSettings(HWND hWindow); /* 121 "Settings..." */
void MAIN_CmdDeviceUpgrade(HWND hWindow);  /* 122 "SW Upgrade..." */
void MAIN_CmdGetDevice(HWND hWindow);      /* 142 "Get dCSS device..." */
void MAIN_CmdCompare(HWND hWindow);        /* 160 "Compare with Device..." */
void MAIN_CmdVerifyChoice(HWND hWindow);   /* 161 "Verify after Program", toggled */
void MAIN_CmdProduction(HWND hWindow);     /* 162 "Production..." */
/* Whether Program verifies: the user's choice, remembered between runs
 * (off until chosen). */
bool MAIN_VerifyChosen();

/* Kaltro and Serial Port menus. */
void MAIN_CmdKaltroSettings(HWND hWindow);  /* 115 "Settings..." */
void MAIN_CmdKaltroUpgrade(HWND hWindow);   /* 116 "SW Upgrade..." */
void MAIN_CmdSaveCfgInKaltro(HWND hWindow); /* 137 "Save Cfg in Kaltro..." */
void MAIN_CmdSerialSettings(HWND hWindow);  /* 144 "Settings..." */
