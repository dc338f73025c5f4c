/* readout.h -- "Configuration upload": the modal dialog that reads the UB
 * table stored in the connected dCSS device back into VelnorCfg, one band
 * per tick of timer 6, with a progress bar and a percentage (the steps are
 * ops/readop's).
 *
 * The dialog checks that the Kaltro answers and that the device is the model
 * chosen in the main window before it reads anything. Band k goes into the
 * row whose UBNo is k. The caller shows and validates the rows afterwards,
 * whatever the dialog's result.
 */
#pragma once

#include "dialogs/display.h"

/* Template 141: 200 x 80 dialog units, 9 pt, the Cancel button (id 2). */
extern const WIN_DlgTemplate CONFIGREADOUT_Template;

/* The dialog procedure. Result 1 after a complete read-out; otherwise the id
 * of the button that closed it (2 for Cancel). */
INT_PTR ConfigReadOut(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);
/* The result of a read-out that ran to its end and closed itself. */
constexpr INT_PTR CONFIGREADOUT_COMPLETE = 1;
/* Runs the dialog modally, owned by owner; its result. */
INT_PTR CONFIGREADOUT_Run(HWND owner);
