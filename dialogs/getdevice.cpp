/* getdevice.cpp -- the get-device dialog: "Read" asks the device for its ID
 * and shows the model, or the user picks one from the list.
 *
 * State owned here: ID, the dialog's result, set to -1 at every opening and
 * kept after closing. The dialog asks the device only on "Read"; it changes
 * neither VelnorData nor the table (the main window stores the result).
 */
#include "dialogs/getdevice.h"

#include "config/dcss.h"
#include "config/texts.h"
#include "link/rs232.h"

#include <iterator>

/* ---- Template 143 ------------------------------------------------------------- */

static constexpr int IDC_LABEL_MODEL = 1431;

static constexpr WIN_DlgItem getDeviceItems[] = {
    {IDC_LABEL_MODEL, WinControl::Static, nullptr, 0, 8, 5, 150, 40},
    {IDC_GD_MODEL, WinControl::ComboList, nullptr, CS_VSCROLL | CS_DISABLED | CS_TABSTOP, 12, 20,
     120, 80},
    {IDC_GD_READ, WinControl::PushButton, nullptr, CS_TABSTOP, 25, 50, 45, 14},
    {IDOK, WinControl::DefPushButton, nullptr, CS_TABSTOP, 85, 50, 45, 14},
};

static const WIN_DlgTemplate getDeviceTemplate = {
    150, 75, 8, nullptr, getDeviceItems, static_cast<int>(std::size(getDeviceItems)),
};

/* ---- Module state ------------------------------------------------------------- */

static std::int32_t ID = -1;

/* The model box position of "???", after the model names. */
static int unknownEntry()
{
    return DCSS_GetNumberOfModels();
}

static void initDialog(HWND d)
{
    ID = -1;
    WIN_SetWindowText(d, TXT(TX_GET_DEVICE_TITLE));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_LABEL_MODEL), TXT(TX_MODEL));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_GD_READ), TXT(TX_READ));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDOK), TXT(TX_OK));
    HWND box = WIN_GetDlgItem(d, IDC_GD_MODEL);
    for (int i = 0; i < DCSS_GetNumberOfModels(); ++i)
        WIN_ComboAddString(box, DCSS_GetModelName(i));
    WIN_ComboAddString(box, L"???");
    WIN_ComboSetMinVisible(box, DCSS_GetNumberOfModels());
    WIN_ComboSetCurSel(box, unknownEntry());
}

static void readDevice(HWND d)
{
    const int id = RS232_GetDeviceID();
    ID = DCSS_ModelOfDeviceID(id);
    HWND box = WIN_GetDlgItem(d, IDC_GD_MODEL);
    WIN_EnableWindow(box, true);
    WIN_ComboSetCurSel(box, ID >= 0 ? ID : unknownEntry());
}

INT_PTR dCSSGetDevice(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: initDialog(hDlg); return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_GD_READ: readDevice(hDlg); return 1;
        case IDC_GD_MODEL:
            if (HIWORD(wParam) != CBN_SELCHANGE) return 0;
            {
                const int s = WIN_ComboGetCurSel(WIN_GetDlgItem(hDlg, IDC_GD_MODEL));
                ID = s >= 0 && s < DCSS_GetNumberOfModels() ? s : -1;
            }
            return 1;
        case IDOK:
        case IDCANCEL: WIN_EndDialog(hDlg, static_cast<INT_PTR>(LOWORD(wParam))); return 1;
        default: return 0;
        }
    default: return 0;
    }
}

int dCSSGETDEVICE_Init(HWND hWnd, HINSTANCE)
{
    WIN_DialogBox(hWnd, &getDeviceTemplate, dCSSGetDevice);
    return 0;
}

std::int32_t dCSSGETDEVICE_GetID()
{
    return ID;
}
