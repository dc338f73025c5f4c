/* commands.cpp -- the main window's commands that need no device: the File
 * menu (open, save, export, reset, exit), the About box and the user-band
 * calculator.
 *
 * No state. Saving and exporting validate first and do nothing while any
 * row has an error; the red status boxes show why, and the first of them is
 * scrolled into view. A file that cannot be
 * written or read is told in a message box.
 */
#include "app/mainwnd.h"

#include "app/ubcalc.h"
#include "app/ubtable.h"
#include "config/cfgfile.h"
#include "config/dcss.h"
#include "config/fileio.h"
#include "config/image.h"
#include "config/resource.h"
#include "config/texts.h"
#include "dialogs/filedlg.h"
#include "platform/win.h"

#include <array>

void MAIN_CmdOpenFile(HWND hWindow)
{
    /* what follows runs also when the user cancelled the file dialog */
    BREVCFG_ReadConfigFile(hWindow, VelnorCfg, VelnorData.UBNumber);
    BREVCFG_RepairRanges(VelnorCfg, VelnorData.UBNumber, DCSS_IsENGroup(VelnorData.Model));
    bool inverted = false;
    for (int i = 0; i < MAIN_RowsInTable(VelnorData.UBNumber); i++) {
        MAIN_DataUpdate(i);
        if (VelnorCfg[i].SpectralInversion == 1) inverted = true;
    }
    WIN_SetCheck(hInversion, inverted);
    MAIN_Validate(hWindow);
}

void MAIN_CmdSaveFile(HWND hWindow)
{
    MAIN_Validate(hWindow);
    if (ConfigOK == 0)
        BREVCFG_WriteFile(hWindow, VelnorCfg, VelnorData.UBNumber);
    else
        MAIN_ScrollToFirstError(hWindow);
    /* the save sorts and normalises the shared table */
    MAIN_ShowAllRows();
}

void MAIN_CmdExport(HWND hWindow)
{
    MAIN_Validate(hWindow);
    if (ConfigOK != 0) return MAIN_ScrollToFirstError(hWindow);

    char path[BREVCFG_NAME_MAX * 4 + 1];
    if (!BREVCFG_AskBinaryName(hWindow, path, static_cast<int>(sizeof path))) return;

    std::array<unsigned char, BREVCFG_IMAGE_MAX> image{};
    const std::int32_t size = BREVCFG_CompileForModel(VelnorCfg, &VelnorData, image.data());
    if (size <= 0) return;
    /* an existing file is replaced without a question, but only once the
     * whole image is on the disk */
    if (BREVCFG_SaveBytesFile(path, image.data(), static_cast<std::size_t>(size),
                              BREVCFG_REPLACE) != BREVCFG_FILE_OK)
        BREVCFG_ReportFileError(hWindow, path, TX_SAVE_FAILED);
}

void MAIN_CmdResetTable(HWND hWindow)
{
    MAIN_InitStruct();
    MAIN_ShowAllRows();
    WIN_SetCheck(hInversion, 0);
    /* the reset cleared the configuration version too */
    MAIN_ShowDBaseVersion();
    MAIN_Validate(hWindow);
}

void MAIN_CmdExit(HWND hWindow)
{
    WIN_DestroyWindow(hWindow);
}

/* About box, template 103: the program's name and version, and OK; the
 * caption and OK are given in the language in use at opening. */
static const WIN_DlgItem aboutItems[] = {
    {-1, WinControl::Static, L"Brevant v." BREVANT_VERSION, 0, 42, 14, 114, 8},
    {-1, WinControl::Static, L"Halvorn Int.", 0, 42, 26, 114, 8},
    {IDOK, WinControl::DefPushButton, nullptr, CS_TABSTOP, 113, 61, 50, 14},
};
static const WIN_DlgTemplate aboutTemplate = {
    170, 82, 8, nullptr, aboutItems, static_cast<int>(sizeof aboutItems / sizeof aboutItems[0])};

INT_PTR About(HWND hDlg, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        WIN_SetWindowText(hDlg, RES_Text(RS_ABOUT_TITLE));
        WIN_SetWindowText(WIN_GetDlgItem(hDlg, IDOK), TXT(TX_OK));
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            WIN_EndDialog(hDlg, LOWORD(wParam));
            return 1;
        }
        return 0;
    default: return 0;
    }
}

void MAIN_CmdAbout(HWND hWindow)
{
    WIN_DialogBox(hWindow, &aboutTemplate, About);
}

void MAIN_CmdUBCalc(HWND hWindow)
{
    WIN_DialogBox(hWindow, &UBCALC_Template, UBCalc);
}
