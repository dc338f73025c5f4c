/* kaltrosetting.cpp -- the controller settings dialog: the supply voltage,
 * shown as the level the Kaltro reports and set by choosing another, and the
 * Kaltro's software version.
 *
 * State owned here: the software version field's font while the dialog is
 * open. Nothing is kept between openings; every choice goes to the Kaltro at
 * once and is not read back. The device and the UB table are not touched.
 */
#include "dialogs/kaltrosetting.h"

#include "config/texts.h"
#include "link/rs232.h"
#include "ops/devop.h"

#include <cstdint>
#include <cwchar>
#include <iterator>

static constexpr int VERSION_LEN = 16;

/* ---- Template 117 ------------------------------------------------------------- */

static constexpr int IDC_LABEL_VOLTAGE = 1172;
static constexpr int IDC_LABEL_VERSION = 1173;

/* 150 units wide, so that the second label has room for "SW Version" in
 * every language. */
static constexpr WIN_DlgItem kaltroItems[] = {
    {IDC_LABEL_VOLTAGE, WinControl::Static, nullptr, 0, 12, 5, 114, 8},
    {IDC_LABEL_VERSION, WinControl::Static, nullptr, 0, 80, 5, 114, 8},
    {IDC_KS_VOLTAGE, WinControl::ComboList, nullptr, CS_VSCROLL | CS_TABSTOP, 12, 15, 50, 100},
    {IDOK, WinControl::DefPushButton, nullptr, CS_TABSTOP, 90, 48, 50, 14},
};

const WIN_DlgTemplate KALTROSETTING_Template = {
    150, 70, 8, nullptr, kaltroItems, static_cast<int>(std::size(kaltroItems)),
};

/* The software version field is made at opening, in client pixels, below the
 * "SW Version" label and level with the voltage box. */
static constexpr int VERSION_X = 120, VERSION_Y = 25, VERSION_W = 60, VERSION_H = 20;
static constexpr int FONT_HEIGHT = 16, FONT_WIDTH = 6;

/* ---- Module state ------------------------------------------------------------- */

static HFONT hVersionFont = nullptr;

static void initDialog(HWND d)
{
    WIN_SetWindowText(d, TXT(TX_KALTRO_SETTINGS));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDOK), TXT(TX_OK));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_LABEL_VOLTAGE), TXT(TX_OUTPUT_VOLTAGE));
    WIN_SetWindowText(WIN_GetDlgItem(d, IDC_LABEL_VERSION), TXT(TX_SW_VERSION));

    HWND box = WIN_GetDlgItem(d, IDC_KS_VOLTAGE);
    /* the level is the list position and the value sent with "setv" */
    for (int level = 0; level < DEVOP_LEVEL_COUNT; level++)
        WIN_ComboAddString(box, DEVOP_VoltageLabel(level));
    WIN_ComboSetMinVisible(box, DEVOP_LEVEL_COUNT);
    WIN_ComboSetCurSel(box, RS232_GetVoltage());

    const std::uint16_t version = RS232_GetKaltroSWVer();
    wchar_t text[VERSION_LEN];
    std::swprintf(text, VERSION_LEN, L"%d.%d", version >> 8, version & 0xFF);
    HWND field = WIN_CreateControl(d, WinControl::StaticSunken, text, 0, VERSION_X, VERSION_Y,
                                   VERSION_W, VERSION_H, IDC_KS_SW_VERSION);
    hVersionFont = WIN_CreateFont(FONT_HEIGHT, FONT_WIDTH, FW_MEDIUM, L"Arial");
    WIN_SetFont(field, hVersionFont);
    WIN_ShowWindow(field, true);
}

INT_PTR KaltroSetting(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: initDialog(hDlg); return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_KS_VOLTAGE && HIWORD(wParam) == CBN_SELCHANGE) {
            /* Sent at once; the Kaltro's answer is left unread. */
            RS232_SetVoltage(WIN_ComboGetCurSel(WIN_GetDlgItem(hDlg, IDC_KS_VOLTAGE)));
            return 1;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            WIN_EndDialog(hDlg, static_cast<INT_PTR>(LOWORD(wParam)));
            return 1;
        }
        return 0;
    case WM_DESTROY:
        /* The field goes with the dialog; its font is the dialog's to free. */
        WIN_DeleteFont(hVersionFont);
        hVersionFont = nullptr;
        return 1;
    default: return 0;
    }
}
