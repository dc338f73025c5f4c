/* dcsssetting.h -- the device settings dialog (template 123).
 *
 * It reads the connected device's identity and state through the Kaltro, one
 * query per tick of timer 4, into VelnorData, and writes its four options
 * (EN50494+, inputs type, output port, chain connection) back, one setter per
 * tick of timer 5. The main window opens it with
 * WIN_DialogBox(owner, &DCSSSETTING_Template, dCSSSetting) and rebuilds its
 * table afterwards when the model's UB count changed.
 */
#pragma once

#include "config/dcss.h"

#include "platform/win.h"

/* ---- The dialog ------------------------------------------------------------ */

extern const WIN_DlgTemplate DCSSSETTING_Template; /* template 123 */
INT_PTR dCSSSetting(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
/* Rebuilds the chain box's list for VelnorData's model and WideBand: the
 * output pairs "1+2" .. "7+8" or the single outputs "1" .. "8" after "No",
 * which is selected. */
void DCSS_SetChainConfiguration(HWND hDlg);

/* Control identifiers, for the owner and the tests. */
constexpr int IDC_DS_READ = 10;
constexpr int IDC_DS_PROGRAM = 11;
constexpr int IDC_DS_MODEL = 1230; /* value fields, in the order of the read */
constexpr int IDC_DS_SW = 1231;
constexpr int IDC_DS_FW = 1232;
constexpr int IDC_DS_DBASE = 1233;
constexpr int IDC_DS_SN = 1234;
constexpr int IDC_DS_LO = 1235;
constexpr int IDC_DS_UBS = 1236;
constexpr int IDC_DS_TEMP = 1237;
constexpr int IDC_DS_EN50494 = 1238; /* option boxes */
constexpr int IDC_DS_INPUTS = 1239;
constexpr int IDC_DS_OUTPUT = 1240;
constexpr int IDC_DS_CHAIN = 1241;

/* The rules under the dialog (chain box, UB count) are in dialogs/dcss.h. */
