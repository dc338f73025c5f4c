/* kaltrotogo.cpp -- "Save Cfg in Kaltro..." (see kaltrotogo.h).
 *
 * State: the image buffer handed to the transfer dialog, and the
 * owner window whose status boxes show a validation. The dialog itself has
 * no state besides its name field; each button is a whole exchange:
 *
 *   "Read Name"  "lnar"; the name found (up to 49 characters) goes into the
 *                field after a 200 ms pause; none leaves the field empty
 *   "Program"    validate; while any row has an error nothing is sent.
 *                Otherwise "lnaw <name>", pause 50 ms, compile (MxL group:
 *                type 255, EN group: type 254), "lnal <type>", then the
 *                transfer dialog in mode 2 ("load" and the image)
 *   OK, Cancel   the dialog ends with the id; nothing is sent
 *
 * The table is validated before it goes to the Kaltro because the Kaltro
 * programs devices with it later on its own: it must never get a table the
 * program itself would refuse to program. The MxL compiler sorts the rows in
 * use by frequency; nothing else of the table changes.
 */
#include "dialogs/kaltrotogo.h"

#include "config/dcss.h"
#include "config/image.h"
#include "config/texts.h"
#include "config/validate.h"
#include "config/velnor.h"
#include "dialogs/transfer.h"
#include "link/rs232.h"
#include "ops/devop.h"

#include <array>

constexpr unsigned NAME_SHOW_MS = 200; /* after the stored name has come */
constexpr int IDC_INFO = 8193;
constexpr int IDC_NAME_LABEL = 8194;

static std::array<unsigned char, BREVCFG_IMAGE_MAX> Image;
static HWND Owner = nullptr;

static const WIN_DlgItem toGoItems[] = {
    /* six lines of the explanation in the dialog font, as many as French
     * and Dutch take */
    {IDC_INFO, WinControl::Static, nullptr, 0, 8, 5, 162, 50},
    {IDC_NAME_LABEL, WinControl::Static, nullptr, 0, 8, 60, 155, 8},
    {IDC_CFG_NAME, WinControl::Edit, nullptr, CS_TABSTOP | CS_NOHSCROLL, 8, 70, 80, 12},
    /* the first two as wide as their longest words, "Odczytaj nazwę" and
     * "Programmieren" */
    {IDC_READ_NAME, WinControl::PushButton, nullptr, CS_TABSTOP, 5, 100, 59, 14},
    {IDC_PROGRAM_CFG, WinControl::PushButton, nullptr, CS_TABSTOP, 66, 100, 59, 14},
    {IDOK, WinControl::DefPushButton, nullptr, CS_TABSTOP, 128, 100, 40, 14},
};
const WIN_DlgTemplate KALTROTOGO_Template = {
    170, 120, 8, nullptr, toGoItems, static_cast<int>(sizeof toGoItems / sizeof toGoItems[0])};

void KALTROTOGO_NarrowName(const wchar_t *wide, char (&out)[KALTROTOGO_NAME_LEN])
{
    int n = 0;
    for (; wide != nullptr && wide[n] != L'\0' && n < KALTROTOGO_NAME_LEN - 1; n++)
        out[n] = (wide[n] >= 0x20 && wide[n] <= 0x7E) ? static_cast<char>(wide[n]) : '?';
    out[n] = '\0';
}

static void opening(HWND hDlg)
{
    WIN_SetWindowText(hDlg, TXT(TX_SEND_CFG_TITLE));
    WIN_SetWindowText(WIN_GetDlgItem(hDlg, IDC_INFO), TXT(TX_SEND_CFG_INFO));
    WIN_SetWindowText(WIN_GetDlgItem(hDlg, IDC_NAME_LABEL), TXT(TX_CONFIG_NAME));
    WIN_SetWindowText(WIN_GetDlgItem(hDlg, IDC_READ_NAME), TXT(TX_READ_NAME));
    WIN_SetWindowText(WIN_GetDlgItem(hDlg, IDC_PROGRAM_CFG), TXT(TX_PROGRAM));
    WIN_SetWindowText(WIN_GetDlgItem(hDlg, IDOK), TXT(TX_OK));
}

static void readName(HWND hDlg)
{
    HWND field = WIN_GetDlgItem(hDlg, IDC_CFG_NAME);
    wchar_t text[KALTROTOGO_NAME_LEN] = {};
    WIN_SetWindowText(field, L"");
    if (const char *name = RS232_ReadConfigName()) {
        /* The reply buffer is the serial layer's: copy before anything else. */
        for (int i = 0; name[i] != '\0' && i < KALTROTOGO_NAME_LEN - 1; i++)
            text[i] = static_cast<unsigned char>(name[i]);
        WIN_Sleep(NAME_SHOW_MS);
    }
    WIN_SetWindowText(field, text);
}

static void program(HWND hDlg)
{
    /* The owner's status column shows what the validation found. */
    const bool faulty = MAIN_ValidateTable() != 0;
    WIN_InvalidateRect(Owner);
    if (faulty) return;

    wchar_t wide[KALTROTOGO_NAME_LEN] = {};
    char name[KALTROTOGO_NAME_LEN];
    WIN_GetWindowText(WIN_GetDlgItem(hDlg, IDC_CFG_NAME), wide, KALTROTOGO_NAME_LEN);
    KALTROTOGO_NarrowName(wide, name);
    const int size = DEVOP_PrepareKaltroCfg(name, Image.data(), WIN_Sleep);
    const XferArgs_t args = {XM_TYPE_KALTRO_CFG, Image.data(), size, 0};
    KALTRO_Run(hDlg, &args);
}

INT_PTR KaltroToGo(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: opening(hDlg); return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_READ_NAME: readName(hDlg); return 1;
        case IDC_PROGRAM_CFG: program(hDlg); return 1;
        case IDOK:
        case IDCANCEL: WIN_EndDialog(hDlg, LOWORD(wParam)); return 1;
        default: return 0;
        }
    default: return 0;
    }
}

int KALTROTOGO_Init(HWND HWin, HINSTANCE)
{
    Owner = HWin;
    WIN_DialogBox(HWin, &KALTROTOGO_Template, KaltroToGo);
    Owner = nullptr;
    return 0;
}
