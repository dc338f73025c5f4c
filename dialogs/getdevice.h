/* getdevice.h -- the get-device dialog (template 143): identifies the
 * connected dCSS device again, or lets the user pick its model, and hands the
 * model index back to the main window.
 */
#pragma once

#include "platform/win.h"

#include <cstdint>

/* Running the dialog: 0 once it has closed. Its result, a model index or -1
 * when none was determined, is kept for dCSSGETDEVICE_GetID. */
int dCSSGETDEVICE_Init(HWND hWnd, HINSTANCE hInstance);
std::int32_t dCSSGETDEVICE_GetID();
INT_PTR dCSSGetDevice(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

/* Control identifiers, for the tests. */
constexpr int IDC_GD_READ = 10;
constexpr int IDC_GD_MODEL = 1430; /* the model box: the 11 models, then "???" */
