/* kaltrosetting.h -- the controller settings dialog (template 117): the LNB
 * supply voltage the Kaltro puts on the cable, chosen from 16 levels and sent
 * at once, and the Kaltro's software version. The main window opens it with
 * WIN_DialogBox(owner, &KALTROSETTING_Template, KaltroSetting).
 */
#pragma once

#include "platform/win.h"

/* The dialog. */
extern const WIN_DlgTemplate KALTROSETTING_Template; /* template 117 */
INT_PTR KaltroSetting(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

/* Control identifiers, for the tests. */
constexpr int IDC_KS_VOLTAGE = 1170;    /* the voltage box, one entry per level */
constexpr int IDC_KS_SW_VERSION = 1171; /* the software version field */
